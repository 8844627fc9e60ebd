// The differential equation dy/dx = -2x - y and the seven fixed-step one-step
// methods that solve it, or any equation or system of equations, with the
// catalogue that names them for the window.
#pragma once

#include "methods/implicit_tableaus.h"
#include "methods/multistep.h"
#include "methods/state_vector.h"
#include "methods/tableau.h"

#include <array>
#include <span>
#include <string_view>
#include <type_traits>

namespace pelorin {

// How a slope receives the state: a number by value, the components of a
// system by reference.
template <class State>
using StateArgument = std::conditional_t<std::is_arithmetic_v<State>, State, const State&>;

// A slope function y' = f(x, y): a plain function such as f1, or any object
// callable as f(x, y), such as an equation the user typed. A Slope refers to
// that object and does not own it, so it is cheap to pass on; the object must
// outlive it (a temporary object is refused; a lambda without captures is
// taken as a plain function). A SystemSlope is the same for a system
// y' = F(x, y), whose value has as many components as the state y.
template <class State>
class SlopeOf {
public:
    using Function = State (*)(double x, StateArgument<State> y);

    constexpr SlopeOf(Function function) : function_(function) {}

    template <class F>
        requires std::is_convertible_v<const F&, Function>
    constexpr SlopeOf(const F& function) : function_(function) {}

    template <class F>
        requires(!std::is_convertible_v<const F&, Function> && !std::is_same_v<F, SlopeOf> &&
                 std::is_invocable_r_v<State, const F&, double, StateArgument<State>>)
    SlopeOf(const F& object)
        : object_(&object), call_([](const void* o, double x, StateArgument<State> y) -> State {
              return (*static_cast<const F*>(o))(x, y);
          }) {}

    template <class F>
        requires(!std::is_convertible_v<const F&, Function> && !std::is_same_v<F, SlopeOf> &&
                 !std::is_lvalue_reference_v<F>)
    SlopeOf(F&& temporary) = delete;

    State operator()(double x, StateArgument<State> y) const {
        return function_ ? function_(x, y) : call_(object_, x, y);
    }

private:
    Function function_ = nullptr;
    const void* object_ = nullptr;
    State (*call_)(const void*, double, StateArgument<State>) = nullptr;
};

using Slope = SlopeOf<double>;
using SystemSlope = SlopeOf<StateVector>;

// The problem the program solves: dy/dx = -2x - y.
double f1(double x, double y);

// Step procedures: the approximation at x0 + h from the point (x0, y0).
// Every one evaluates its formula in the written order, so results are the
// same to the last bit on every compiler. They keep no state between calls.
// The slope is a parameter so that the methods can be told apart on other
// equations: the main window's calculation always uses f1, the Method lab
// the slope of the problem it studies.
double Euler(double x0, double y0, double h, Slope f = f1);
double EulerEP(double x0, double y0, double h, Slope f = f1);
double EulerMP(double x0, double y0, double h, Slope f = f1);
double RK4(double x0, double y0, double h, Slope f = f1);
double RKF(double x0, double y0, double h, Slope f = f1);
double RKM(double x0, double y0, double h, Slope f = f1);
double RK4G(double x0, double y0, double h, Slope f = f1);

// The same seven for a system y' = F(x, y), written once with the scalar
// ones: every component goes through the scalar formula's operations in its
// order, so a system of one component gives the scalar procedure's bits.
StateVector Euler(double x0, const StateVector& y0, double h, SystemSlope f);
StateVector EulerEP(double x0, const StateVector& y0, double h, SystemSlope f);
StateVector EulerMP(double x0, const StateVector& y0, double h, SystemSlope f);
StateVector RK4(double x0, const StateVector& y0, double h, SystemSlope f);
StateVector RKF(double x0, const StateVector& y0, double h, SystemSlope f);
StateVector RKM(double x0, const StateVector& y0, double h, SystemSlope f);
StateVector RK4G(double x0, const StateVector& y0, double h, SystemSlope f);

using StepProcedure = double (*)(double x0, double y0, double h, Slope f);
using SystemStepProcedure = StateVector (*)(double x0, const StateVector& y0, double h,
                                            SystemSlope f);

// One row of the method catalogue: the method's caption on the button that
// selects it, the heading it gives in the results list, its step procedure
// for one equation and for a system, its order of accuracy (halving h
// divides the error by about 2^order), its formula as a student reads it,
// its Butcher tableau, for an embedded pair what its own error estimate is
// and how far to trust it, and the stability it is published with. An
// implicit method has no step procedure of its own: its step solves the
// tableau's stage equations (numerics' methodStep). A multistep method has
// neither procedure nor tableau: its formula steps from the values before
// (numerics' MethodRun), the first of which a one-step method makes.
struct Method {
    std::string_view caption;
    std::string_view heading;
    std::string_view procedure;  // the step procedure's name, as benchmarks list it
    StepProcedure step;
    SystemStepProcedure stepSystem;
    int order;
    std::string_view formula;
    const Tableau* tableau;
    std::string_view estimateNote = {};  // empty for a method without an estimate
    bool aStable = false;     // |R(z)| <= 1 on the whole left half-plane
    bool lStable = false;     // and R(z) -> 0 as z -> -∞: stiff parts die out in one step
    bool symplectic = false;  // keeps the quadratic invariants of the equation
    const Multistep* multistep = nullptr;
};

// The method the "Own multistep method" entry stands for until a teacher
// types another: y_{n+2} + 4y_{n+1} - 5y_n = h(4f_{n+1} + 2f_n), of order 3
// and not zero-stable, the classic warning that consistency alone does not
// make a method converge.
inline constexpr MultistepFormula classicUnstableFormula{2, {-5, 4, 1}, {2, 4, 0}};
inline constexpr Multistep classicUnstableMethod{&classicUnstableFormula};

// Every method the program knows: first the seven explicit ones the window
// lists, in its order, then the implicit ones the lab sets beside them, then
// the multistep ones, the last a teacher's own.
inline constexpr std::array<Method, 21> labCatalogue{{
    {"Euler", "Euler Method", "Euler", Euler, Euler, 1,
     "y1 = y0 + h\u00b7f(x0, y0)", &eulerTableau},
    {"Euler (End points)", "Euler End-Point Method", "EulerEP", EulerEP, EulerEP, 2,
     "k1 = h\u00b7f(x0, y0), k2 = h\u00b7f(x0 + h, y0 + k1); y1 = y0 + (k1 + k2)/2",
     &eulerEndPointTableau},
    {"Euler (Mid point)", "Euler Mid-Point Method", "EulerMP", EulerMP, EulerMP, 2,
     "k1 = h\u00b7f(x0, y0), k2 = h\u00b7f(x0 + h/2, y0 + k1/2); y1 = y0 + k2",
     &eulerMidPointTableau},
    {"Runge-Kutta 4", "Runge-Kutta-4 Method", "RK4", RK4, RK4, 4,
     "k1 = h\u00b7f(x0, y0), k2 = h\u00b7f(x0 + h/2, y0 + k1/2), "
     "k3 = h\u00b7f(x0 + h/2, y0 + k2/2), k4 = h\u00b7f(x0 + h, y0 + k3); "
     "y1 = y0 + (k1 + 2k2 + 2k3 + k4)/6", &rungeKutta4Tableau},
    {"Runge-Kutta-Fehlberg", "Runge-Kutta-Fehlberg Method", "RKF", RKF, RKF, 5,
     "six stages k1 \u2026 k6 at x0, x0 + h/4, x0 + 3h/8, x0 + 12h/13, x0 + h, x0 + h/2; "
     "y1 = y0 + 16/135\u00b7k1 + 6656/12825\u00b7k3 + 28561/56430\u00b7k4 "
     "\u2212 9/50\u00b7k5 + 2/55\u00b7k6, with a fixed step", &fehlbergTableau,
     "Fehlberg's own estimate: the fifth-order result minus the fourth-order one, from the "
     "same six stages. It estimates the error of the fourth-order result, so for the "
     "fifth-order y listed here it is an overstatement: trust its size as a cautious bound, "
     "not its digits or its sign."},
    {"Runge-Kutta-Merson", "Runge-Kutta-Merson Method", "RKM", RKM, RKM, 4,
     "five stages k1 \u2026 k5 at x0, x0 + h/3, x0 + h/3, x0 + h/2, x0 + h; "
     "y1 = y0 + (k1 + 4k4 + k5)/6, with a fixed step", &mersonTableau,
     "Merson's own estimate (2k1 \u2212 9k3 + 8k4 \u2212 k5)/30: the fourth-order result minus "
     "a third-order one, from the same five stages. Merson derived it for linear equations "
     "such as this one, where it somewhat overstates the error; on other equations it can be "
     "far off. Trust its size, not its digits."},
    {"Runge-Kutta-Gill", "Runge-Kutta-Gill Method", "RK4G", RK4G, RK4G, 4,
     "Runge-Kutta 4 with Gill's weights, g = 1/\u221a2: "
     "y1 = y0 + (k1 + 2(1 \u2212 g)k2 + 2(1 + g)k3 + k4)/6", &gillTableau},
    {"Backward Euler", "Backward Euler Method", "BackwardEuler", nullptr, nullptr, 1,
     "y1 = y0 + h\u00b7f(x1, y1), solved for y1 by Newton's method", &backwardEulerTableau, {},
     true, true, false},
    {"Trapezoid", "Trapezoid Method", "Trapezoid", nullptr, nullptr, 2,
     "y1 = y0 + h\u00b7(f(x0, y0) + f(x1, y1))/2, solved for y1 by Newton's method",
     &trapezoidTableau, {}, true, false, false},
    {"Implicit mid point", "Implicit Mid-Point Method", "ImplicitMidPoint", nullptr, nullptr, 2,
     "y1 = y0 + h\u00b7f(x0 + h/2, (y0 + y1)/2), solved for y1 by Newton's method",
     &implicitMidPointTableau, {}, true, false, true},
    {"Radau IIA 3", "Radau IIA Method", "RadauIIA3", nullptr, nullptr, 3,
     "two stages at x0 + h/3 and x1, each needing both: K1 = f(x0 + h/3, y0 + h(5K1 \u2212 K2)/12), "
     "K2 = f(x1, y0 + h(3K1 + K2)/4); y1 = y0 + h(3K1 + K2)/4, solved by Newton's method",
     &radauIIA3Tableau, {}, true, true, false},
    {"Gauss-Legendre 4", "Gauss-Legendre Method", "GaussLegendre4", nullptr, nullptr, 4,
     "two stages at the Gauss points x0 + (3 \u2213 \u221a3)h/6, each needing both; "
     "y1 = y0 + h(K1 + K2)/2, solved by Newton's method", &gaussLegendre4Tableau, {}, true, false,
     true},
    {"Adams-Bashforth 2", "Adams-Bashforth Method, 2 Steps", "AdamsBashforth2", nullptr, nullptr, 2,
     "y(n+2) = y(n+1) + h\u00b7(3f(n+1) \u2212 f(n))/2", nullptr, {}, false, false, false,
     &adamsBashforth2Method},
    {"Adams-Bashforth 3", "Adams-Bashforth Method, 3 Steps", "AdamsBashforth3", nullptr, nullptr, 3,
     "y(n+3) = y(n+2) + h\u00b7(23f(n+2) \u2212 16f(n+1) + 5f(n))/12", nullptr, {}, false, false,
     false, &adamsBashforth3Method},
    {"Adams-Bashforth 4", "Adams-Bashforth Method, 4 Steps", "AdamsBashforth4", nullptr, nullptr, 4,
     "y(n+4) = y(n+3) + h\u00b7(55f(n+3) \u2212 59f(n+2) + 37f(n+1) \u2212 9f(n))/24", nullptr, {},
     false, false, false, &adamsBashforth4Method},
    {"Adams-Moulton 3", "Adams-Moulton Method, 3 Steps", "AdamsMoulton3", nullptr, nullptr, 4,
     "y(n+3) = y(n+2) + h\u00b7(9f(n+3) + 19f(n+2) \u2212 5f(n+1) + f(n))/24, solved for y(n+3) "
     "by Newton's method", nullptr, {}, false, false, false, &adamsMoulton3Method},
    {"Adams predictor-corrector 4", "Adams Predictor-Corrector Method", "AdamsPECE4", nullptr,
     nullptr, 4,
     "predict p = y(n+3) + h\u00b7(55f(n+3) \u2212 59f(n+2) + 37f(n+1) \u2212 9f(n))/24, then "
     "correct once: y(n+4) = y(n+3) + h\u00b7(9f(x(n+4), p) + 19f(n+3) \u2212 5f(n+2) + f(n+1))/24",
     nullptr, {}, false, false, false, &adamsPredictorCorrector4Method},
    {"BDF 2", "Backward Differentiation Formula, 2 Steps", "BDF2", nullptr, nullptr, 2,
     "3y(n+2) \u2212 4y(n+1) + y(n) = 2h\u00b7f(n+2), solved for y(n+2) by Newton's method", nullptr,
     {}, true, false, false, &bdf2Method},
    {"BDF 3", "Backward Differentiation Formula, 3 Steps", "BDF3", nullptr, nullptr, 3,
     "11y(n+3) \u2212 18y(n+2) + 9y(n+1) \u2212 2y(n) = 6h\u00b7f(n+3), solved for y(n+3) by "
     "Newton's method", nullptr, {}, false, false, false, &bdf3Method},
    {"BDF 4", "Backward Differentiation Formula, 4 Steps", "BDF4", nullptr, nullptr, 4,
     "25y(n+4) \u2212 48y(n+3) + 36y(n+2) \u2212 16y(n+1) + 3y(n) = 12h\u00b7f(n+4), solved for "
     "y(n+4) by Newton's method", nullptr, {}, false, false, false, &bdf4Method},
    {"Own multistep method", "Own Multistep Method", "OwnMultistep", nullptr, nullptr, 3,
     "the coefficients typed in the boxes alpha and beta: "
     "\u03b1(k)y(n+k) + \u2026 + \u03b1(0)y(n) = h\u00b7(\u03b2(k)f(n+k) + \u2026 + \u03b2(0)f(n))",
     nullptr, {}, false, false, false, &classicUnstableMethod},
}};

// The main window's seven methods, in the order it lists them and the
// calculation tests them.
inline constexpr std::size_t explicitMethodCount = 7;
inline constexpr std::span<const Method, explicitMethodCount> methodCatalogue{labCatalogue.data(),
                                                                              explicitMethodCount};

// The one-step methods, explicit and implicit: those with a tableau, which
// also start a multistep method's run.
inline constexpr std::size_t oneStepMethodCount = 12;
inline constexpr std::span<const Method, oneStepMethodCount> oneStepCatalogue{labCatalogue.data(),
                                                                              oneStepMethodCount};

// The row of the teacher's own multistep method, whose entry a lab copies
// with the formula its boxes hold.
inline constexpr std::size_t ownMultistepRow = labCatalogue.size() - 1;

// The row of a catalogue entry: its place in the window and in the lab's
// tables. A copy of an entry (the own method with typed coefficients) has
// the row of the entry with its caption.
std::size_t catalogueRow(const Method& method);

// Whether the method steps from the values before the last one.
inline bool isMultistep(const Method& method) { return method.multistep != nullptr; }

// Whether a step solves an equation for its value: an implicit Runge-Kutta
// method's stages, or an implicit multistep formula's new value (a
// predictor-corrector pair corrects once, explicitly).
inline bool isImplicit(const Method& method) {
    if (isMultistep(method)) {
        return method.multistep->predictor == nullptr && method.multistep->formula->isImplicit();
    }
    return method.step == nullptr;
}

// A teacher's own multistep method: the catalogue's own entry with the
// formula typed in its boxes and the order worked out from it. Neither
// copied nor moved, since its entry points at its formula; numerics'
// ownMultistepOf keeps one for each formula typed, for as long as the
// program runs, as the catalogue's entries last, so that a study's result
// may point at it.
struct OwnMultistep {
    OwnMultistep(const MultistepFormula& typed, int typedOrder)
        : formula(typed), entry(labCatalogue[ownMultistepRow]) {
        entry.multistep = &multistep;
        entry.order = typedOrder;
    }
    OwnMultistep(const OwnMultistep&) = delete;
    OwnMultistep& operator=(const OwnMultistep&) = delete;

    MultistepFormula formula;
    Multistep multistep{&formula};
    Method entry;
};

// Whether the method is a one-step Runge-Kutta method with a tableau.
inline bool hasTableau(const Method& method) { return method.tableau != nullptr; }

// The entry with this caption; throws std::invalid_argument for a caption no
// method has.
const Method& methodByCaption(std::string_view caption);

}  // namespace pelorin
