// The lab's catalogue: the window's seven as the window lists them, then the
// further explicit Runge-Kutta methods, the implicit ones, the partitioned
// ones and the multistep ones. A new method is one more row here, with its coefficients.
#include "methods/implicit_tableaus.h"
#include "methods/methods.h"
#include "methods/multistep_formulas.h"

#include <array>

namespace pelorin {
namespace {

// Ralston's choice of the two-stage second-order methods: the one whose
// third-order error terms are smallest.
constexpr Tableau ralston2Tableau{
    2, {frac(0), frac(2, 3)}, {{{}, {frac(2, 3)}}}, {frac(1, 4), frac(3, 4)}, {}};

// Heun's third-order method: stages at a third and two thirds of the step.
constexpr Tableau heun3Tableau{
    3,
    {frac(0), frac(1, 3), frac(2, 3)},
    {{{}, {frac(1, 3)}, {frac(0), frac(2, 3)}}},
    {frac(1, 4), frac(0), frac(3, 4)},
    {}};

// The strong-stability-preserving method of Shu and Osher: a convex
// combination of Euler steps, so that it keeps any bound an Euler step keeps
// with the same h.
constexpr Tableau sspRungeKutta3Tableau{
    3,
    {frac(0), frac(1), frac(1, 2)},
    {{{}, {frac(1)}, {frac(1, 4), frac(1, 4)}}},
    {frac(1, 6), frac(1, 6), frac(2, 3)},
    {}};

// Kutta's other fourth-order method, the "3/8 rule" of its weights.
constexpr Tableau kutta38Tableau{
    4,
    {frac(0), frac(1, 3), frac(2, 3), frac(1)},
    {{{}, {frac(1, 3)}, {frac(-1, 3), frac(1)}, {frac(1), frac(-1), frac(1)}}},
    {frac(1, 8), frac(3, 8), frac(3, 8), frac(1, 8)},
    {}};

// Kutta's third-order method, the tableau the own Runge-Kutta method's boxes
// hold until a teacher types another: a classic that the catalogue does not
// step, with the R(z) of every three-stage third-order method.
constexpr Tableau kutta3Tableau{
    3,
    {frac(0), frac(1, 2), frac(1)},
    {{{}, {frac(1, 2)}, {frac(-1), frac(2)}}},
    {frac(1, 6), frac(2, 3), frac(1, 6)},
    {}};

// Alexander's two-stage singly diagonally implicit method, γ = 1 - √2/2:
// each stage needs only itself and the ones before, with the same γ on the
// diagonal, and the second stage ends the step (stiffly accurate), which
// makes it L-stable.
constexpr Tableau sdirk2Tableau{
    2,
    {withRoot2(2, -1, 2), frac(1)},
    {{{withRoot2(2, -1, 2), frac(0)}, {withRoot2(0, 1, 2), withRoot2(2, -1, 2)}}},
    {withRoot2(0, 1, 2), withRoot2(2, -1, 2)},
    {}};

// The partitioned pairs. Symplectic Euler moves the momenta first with the
// old positions (their tableau is backward Euler's, whose one stage sits at
// the step's end), then the positions with the new momenta (Euler's tableau):
// p1 = p0 + h·g(q0), q1 = q0 + h·f(p1).
// Störmer-Verlet pairs Lobatto IIIA (the trapezoid) for the positions with
// Lobatto IIIB for the momenta: half a step of the momenta, a whole step of
// the positions, the second half step of the momenta.
// Lobatto IIIB's nodes are the Lobatto points 0 and 1, not its rows' sums.
constexpr Tableau lobattoIIIB2Tableau{
    2, {frac(0), frac(1)}, {{{frac(1, 2), frac(0)}, {frac(1, 2), frac(0)}}}, {frac(1, 2), frac(1, 2)}, {}};

constexpr Method at(std::size_t row) { return methodCatalogue[row]; }

constexpr std::array catalogue{
    at(0), at(1), at(2), at(3), at(4), at(5), at(6),
    Method{"Ralston 2", "Ralston Method", "Ralston2", ExplicitRungeKutta{&ralston2Tableau},
           "k1 = h\u00b7f(x0, y0), k2 = h\u00b7f(x0 + 2h/3, y0 + 2k1/3); y1 = y0 + (k1 + 3k2)/4"},
    Method{"Heun 3", "Heun Third-Order Method", "Heun3", ExplicitRungeKutta{&heun3Tableau},
           "k1 = h\u00b7f(x0, y0), k2 = h\u00b7f(x0 + h/3, y0 + k1/3), "
           "k3 = h\u00b7f(x0 + 2h/3, y0 + 2k2/3); y1 = y0 + (k1 + 3k3)/4"},
    Method{"SSP Runge-Kutta 3", "Strong-Stability-Preserving Runge-Kutta Method", "SSPRK3",
           ExplicitRungeKutta{&sspRungeKutta3Tableau},
           "k1 = h\u00b7f(x0, y0), k2 = h\u00b7f(x0 + h, y0 + k1), "
           "k3 = h\u00b7f(x0 + h/2, y0 + (k1 + k2)/4); y1 = y0 + (k1 + k2 + 4k3)/6"},
    Method{"Kutta 3/8", "Kutta 3/8-Rule Method", "Kutta38", ExplicitRungeKutta{&kutta38Tableau},
           "k1 = h\u00b7f(x0, y0), k2 = h\u00b7f(x0 + h/3, y0 + k1/3), "
           "k3 = h\u00b7f(x0 + 2h/3, y0 \u2212 k1/3 + k2), k4 = h\u00b7f(x0 + h, y0 + k1 \u2212 k2 + k3); "
           "y1 = y0 + (k1 + 3k2 + 3k3 + k4)/8"},
    Method{"Backward Euler", "Backward Euler Method", "BackwardEuler",
           ImplicitRungeKutta{&backwardEulerTableau},
           "y1 = y0 + h\u00b7f(x1, y1), solved for y1 by Newton's method"},
    Method{"Trapezoid", "Trapezoid Method", "Trapezoid", ImplicitRungeKutta{&trapezoidTableau},
           "y1 = y0 + h\u00b7(f(x0, y0) + f(x1, y1))/2, solved for y1 by Newton's method"},
    Method{"Implicit mid point", "Implicit Mid-Point Method", "ImplicitMidPoint",
           ImplicitRungeKutta{&implicitMidPointTableau},
           "y1 = y0 + h\u00b7f(x0 + h/2, (y0 + y1)/2), solved for y1 by Newton's method"},
    Method{"SDIRK 2", "Singly Diagonally Implicit Runge-Kutta Method", "SDIRK2",
           ImplicitRungeKutta{&sdirk2Tableau},
           "\u03b3 = 1 \u2212 \u221a2/2: K1 = f(x0 + \u03b3h, y0 + h\u03b3K1), "
           "K2 = f(x1, y0 + h((1 \u2212 \u03b3)K1 + \u03b3K2)); y1 = y0 + h((1 \u2212 \u03b3)K1 + \u03b3K2), "
           "solved by Newton's method"},
    Method{"Radau IIA 3", "Radau IIA Method", "RadauIIA3", ImplicitRungeKutta{&radauIIA3Tableau},
           "two stages at x0 + h/3 and x1, each needing both: K1 = f(x0 + h/3, y0 + h(5K1 \u2212 K2)/12), "
           "K2 = f(x1, y0 + h(3K1 + K2)/4); y1 = y0 + h(3K1 + K2)/4, solved by Newton's method"},
    Method{"Gauss-Legendre 4", "Gauss-Legendre Method", "GaussLegendre4",
           ImplicitRungeKutta{&gaussLegendre4Tableau},
           "two stages at the Gauss points x0 + (3 \u2213 \u221a3)h/6, each needing both; "
           "y1 = y0 + h(K1 + K2)/2, solved by Newton's method"},
    Method{"Symplectic Euler", "Symplectic Euler Method", "SymplecticEuler",
           PartitionedRungeKutta{&eulerTableau, &backwardEulerTableau},
           "with q' = f(x, p), p' = g(x, q): first p1 = p0 + h\u00b7g(x0 + h, q0), then "
           "q1 = q0 + h\u00b7f(x0, p1)"},
    Method{"St\u00f6rmer-Verlet", "St\u00f6rmer-Verlet Method", "StormerVerlet",
           PartitionedRungeKutta{&trapezoidTableau, &lobattoIIIB2Tableau},
           "with q' = f(x, p), p' = g(x, q): p\u00bd = p0 + (h/2)\u00b7g(x0, q0), "
           "q1 = q0 + h\u00b7(f(x0, p\u00bd) + f(x0 + h, p\u00bd))/2, p1 = p\u00bd + (h/2)\u00b7g(x0 + h, q1)"},
    Method{"Adams-Bashforth 2", "Adams-Bashforth Method, 2 Steps", "AdamsBashforth2",
           LinearMultistep{&adamsBashforth2Method},
           "y(n+2) = y(n+1) + h\u00b7(3f(n+1) \u2212 f(n))/2"},
    Method{"Adams-Bashforth 3", "Adams-Bashforth Method, 3 Steps", "AdamsBashforth3",
           LinearMultistep{&adamsBashforth3Method},
           "y(n+3) = y(n+2) + h\u00b7(23f(n+2) \u2212 16f(n+1) + 5f(n))/12"},
    Method{"Adams-Bashforth 4", "Adams-Bashforth Method, 4 Steps", "AdamsBashforth4",
           LinearMultistep{&adamsBashforth4Method},
           "y(n+4) = y(n+3) + h\u00b7(55f(n+3) \u2212 59f(n+2) + 37f(n+1) \u2212 9f(n))/24"},
    Method{"Adams-Moulton 3", "Adams-Moulton Method, 3 Steps", "AdamsMoulton3",
           LinearMultistep{&adamsMoulton3Method},
           "y(n+3) = y(n+2) + h\u00b7(9f(n+3) + 19f(n+2) \u2212 5f(n+1) + f(n))/24, solved for y(n+3) "
           "by Newton's method"},
    Method{"Adams predictor-corrector 4", "Adams Predictor-Corrector Method", "AdamsPECE4",
           LinearMultistep{&adamsPredictorCorrector4Method},
           "predict p = y(n+3) + h\u00b7(55f(n+3) \u2212 59f(n+2) + 37f(n+1) \u2212 9f(n))/24, then "
           "correct once: y(n+4) = y(n+3) + h\u00b7(9f(x(n+4), p) + 19f(n+3) \u2212 5f(n+2) + f(n+1))/24"},
    Method{"BDF 2", "Backward Differentiation Formula, 2 Steps", "BDF2", LinearMultistep{&bdf2Method},
           "3y(n+2) \u2212 4y(n+1) + y(n) = 2h\u00b7f(n+2), solved for y(n+2) by Newton's method"},
    Method{"BDF 3", "Backward Differentiation Formula, 3 Steps", "BDF3", LinearMultistep{&bdf3Method},
           "11y(n+3) \u2212 18y(n+2) + 9y(n+1) \u2212 2y(n) = 6h\u00b7f(n+3), solved for y(n+3) by "
           "Newton's method"},
    Method{"BDF 4", "Backward Differentiation Formula, 4 Steps", "BDF4", LinearMultistep{&bdf4Method},
           "25y(n+4) \u2212 48y(n+3) + 36y(n+2) \u2212 16y(n+1) + 3y(n) = 12h\u00b7f(n+4), solved for "
           "y(n+4) by Newton's method"},
    Method{"Own Runge-Kutta method", "Own Runge-Kutta Method", "OwnRungeKutta",
           ExplicitRungeKutta{&kutta3Tableau, nullptr, nullptr, true},
           "the tableau typed in the boxes c, a and b: K(j) = f(x0 + c(j)\u00b7h, y0 + "
           "h\u00b7\u03a3 a(j,l)\u00b7K(l)), y1 = y0 + h\u00b7\u03a3 b(j)\u00b7K(j); solved by "
           "Newton's method where a stage needs itself or a later one"},
    Method{"Own multistep method", "Own Multistep Method", "OwnMultistep",
           LinearMultistep{&classicUnstableMethod, true},
           "the coefficients typed in the boxes alpha and beta: "
           "\u03b1(k)y(n+k) + \u2026 + \u03b1(0)y(n) = h\u00b7(\u03b2(k)f(n+k) + \u2026 + \u03b2(0)f(n))"},
};

}  // namespace

std::span<const Method> labCatalogue() { return catalogue; }

}  // namespace pelorin
