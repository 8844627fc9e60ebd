// The methods of the catalogue as explicit Runge-Kutta schemes: a Butcher
// tableau per method (nodes c, matrix a, weights b, and for the embedded
// pairs the weights e of the error estimate). The listed digits come from the
// hand-written step procedures, whose evaluation order is fixed; the tableaus
// are what the explanations (stages, stability, error estimates) build on.
#pragma once

#include <array>
#include <string>

namespace pelorin {

// A tableau entry (rational + surd·√radicand) / denominator: exact fractions,
// Gill's coefficients with 1/√2 and Gauss-Legendre's with √3, written the way
// a textbook prints them.
struct Coefficient {
    int rational = 0;
    int surd = 0;
    int denominator = 1;
    int radicand = 2;

    double value() const;
    bool isZero() const { return rational == 0 && surd == 0; }
    // "0", "1/2", "-7200/2197", "(2 - √2)/6", "-√2/2", "(3 - 2√3)/12".
    std::string text() const;
};

inline constexpr int maxStages = 6;
using Coefficients = std::array<Coefficient, maxStages>;

struct Tableau {
    int stages;
    Coefficients c;                              // nodes
    std::array<Coefficients, maxStages> a;        // a[j][l]: l < j if explicit
    Coefficients b;                              // weights
    // Weights of the embedded error estimate Σ e_j k_j: the difference
    // between the two combinations of an embedded pair; all zero if none.
    Coefficients e;

    bool hasErrorEstimate() const;
    // A stage that needs itself or a later one: some a[j][l] with l >= j.
    bool isImplicit() const;
};

// p/q, (p + s√2)/q and (p + s√3)/q, to keep the tables readable.
constexpr Coefficient frac(int p, int d = 1) { return {p, 0, d}; }
constexpr Coefficient withRoot2(int p, int s, int d) { return {p, s, d, 2}; }
constexpr Coefficient withRoot3(int p, int s, int d) { return {p, s, d, 3}; }

inline constexpr Tableau eulerTableau{1, {frac(0)}, {}, {frac(1)}, {}};

// Heun: the mean of the slopes at both ends.
inline constexpr Tableau eulerEndPointTableau{
    2, {frac(0), frac(1)}, {{{}, {frac(1)}}}, {frac(1, 2), frac(1, 2)}, {}};

// The slope at the middle of the step.
inline constexpr Tableau eulerMidPointTableau{
    2, {frac(0), frac(1, 2)}, {{{}, {frac(1, 2)}}}, {frac(0), frac(1)}, {}};

inline constexpr Tableau rungeKutta4Tableau{
    4,
    {frac(0), frac(1, 2), frac(1, 2), frac(1)},
    {{{}, {frac(1, 2)}, {frac(0), frac(1, 2)}, {frac(0), frac(0), frac(1)}}},
    {frac(1, 6), frac(1, 3), frac(1, 3), frac(1, 6)},
    {}};

// Fehlberg's pair: b combines the stages to fifth order, and the estimate is
// the fifth- minus the fourth-order combination (16/135 - 25/216 = 1/360, ...).
inline constexpr Tableau fehlbergTableau{
    6,
    {frac(0), frac(1, 4), frac(3, 8), frac(12, 13), frac(1), frac(1, 2)},
    {{{},
      {frac(1, 4)},
      {frac(3, 32), frac(9, 32)},
      {frac(1932, 2197), frac(-7200, 2197), frac(7296, 2197)},
      {frac(439, 216), frac(-8), frac(3680, 513), frac(-845, 4104)},
      {frac(-8, 27), frac(2), frac(-3544, 2565), frac(1859, 4104), frac(-11, 40)}}},
    {frac(16, 135), frac(0), frac(6656, 12825), frac(28561, 56430), frac(-9, 50), frac(2, 55)},
    {frac(1, 360), frac(0), frac(-128, 4275), frac(-2197, 75240), frac(1, 50), frac(2, 55)}};

// Merson's five stages; the estimate (2k1 - 9k3 + 8k4 - k5)/30 is the fourth-
// order combination minus a third-order one (1/10, 0, 3/10, 2/5, 1/5).
inline constexpr Tableau mersonTableau{
    5,
    {frac(0), frac(1, 3), frac(1, 3), frac(1, 2), frac(1)},
    {{{}, {frac(1, 3)}, {frac(1, 6), frac(1, 6)}, {frac(1, 8), frac(0), frac(3, 8)},
      {frac(1, 2), frac(0), frac(-3, 2), frac(2)}}},
    {frac(1, 6), frac(0), frac(0), frac(2, 3), frac(1, 6)},
    {frac(2, 30), frac(0), frac(-9, 30), frac(8, 30), frac(-1, 30)}};

// Gill's variant of the classical method: a31 = -1/2 + 1/√2, a32 = 1 - 1/√2,
// a42 = -1/√2, a43 = 1 + 1/√2.
inline constexpr Tableau gillTableau{
    4,
    {frac(0), frac(1, 2), frac(1, 2), frac(1)},
    {{{}, {frac(1, 2)}, {withRoot2(-1, 1, 2), withRoot2(2, -1, 2)}, {frac(0), withRoot2(0, -1, 2), withRoot2(2, 1, 2)}}},
    {frac(1, 6), withRoot2(2, -1, 6), withRoot2(2, 1, 6), frac(1, 6)},
    {}};

}  // namespace pelorin
