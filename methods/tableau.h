// The methods of the catalogue as explicit Runge-Kutta schemes: a Butcher
// tableau per method (nodes c, matrix a, weights b, and for the embedded
// pairs the weights e of the error estimate). The listed digits come from the
// hand-written step procedures, whose evaluation order is fixed; the tableaus
// are what the explanations (stages, stability, error estimates) build on.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pelorin {

// A tableau entry (rational + surd·√radicand) / denominator: exact fractions,
// Gill's coefficients with 1/√2 and Gauss-Legendre's with √3, written the way
// a textbook prints them, or as a student typed them: every part is a whole
// number a double holds exactly, so that value() rounds only in its own
// three operations.
struct Coefficient {
    std::int64_t rational = 0;
    std::int64_t surd = 0;
    std::int64_t denominator = 1;
    std::int64_t radicand = 2;

    double value() const;
    bool isZero() const { return rational == 0 && surd == 0; }
    // "0", "1/2", "-7200/2197", "(2 - √2)/6", "-√2/2", "(3 - 2√3)/12".
    std::string text() const;

    bool operator==(const Coefficient&) const = default;
};

inline constexpr int maxStages = 8;

// What a typed tableau does to y' = λy, worked out exactly where it was
// typed, for the steps' layers, which work out only the catalogue's
// tableaus themselves: R(z) = P(z)/Q(z) with its coefficients from z⁰ up,
// each rounded once, whether R keeps the left half-plane and dies out at
// infinity, and its limit there where it has one.
struct TypedStability {
    std::vector<double> numerator, denominator;
    bool aStable = false;
    bool lStable = false;
    bool poleOnTheLeft = false;  // some pole with Re z ≤ 0
    bool hasLimit = false;       // P no higher in degree than Q
    double atInfinity = 0;
};
using Coefficients = std::array<Coefficient, maxStages>;

struct Tableau {
    int stages;
    Coefficients c;                              // nodes
    std::array<Coefficients, maxStages> a;        // a[j][l]: l < j if explicit
    Coefficients b;                              // weights
    // Weights of the embedded error estimate Σ e_j k_j: the difference
    // between the two combinations of an embedded pair; all zero if none.
    Coefficients e;
    // A typed tableau's stability as worked out exactly; null for the
    // catalogue's.
    const TypedStability* stability = nullptr;

    bool hasErrorEstimate() const;
    // A stage that needs itself or a later one: some a[j][l] with l >= j.
    bool isImplicit() const;

    bool operator==(const Tableau&) const = default;
};

// A tableau as a student types it into the boxes c1 … cs, a11 … ass (row,
// then column), b1 … bs and embedded b1 … embedded bs. An empty a box is 0,
// as a printed tableau leaves its zeros blank; the embedded weights are all
// empty where there is no pair.
struct TableauTexts {
    std::vector<std::string> c;
    std::vector<std::vector<std::string>> a;  // s rows of s
    std::vector<std::string> b;
    std::vector<std::string> embedded;

    std::size_t stages() const { return c.size(); }
    bool operator==(const TableauTexts&) const = default;
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
