// The differential equation dy/dx = -2x - y and the seven fixed-step one-step
// methods that solve it, or any equation or system of equations; what a
// method is (its family and coefficients) and the catalogue that names the
// window's methods and the lab's.
#pragma once

#include "methods/multistep.h"
#include "methods/state_vector.h"
#include "methods/tableau.h"

#include <array>
#include <concepts>
#include <optional>
#include <string>
#include <span>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace pelorin {

// Which components of a system are momenta p and which positions q, where
// every position's slope reads only momenta (and x) and every momentum's
// only positions, as in q' = ∂H/∂p, p' = −∂H/∂q of a separable
// Hamiltonian H = T(p) + V(q): a partitioned method steps the two apart.
struct ComponentSplit {
    std::vector<bool> momentum;  // one for each component
};
// The split of a slope's components, or why there is none, as in "y2'
// reads y2".
struct SplitReading {
    std::optional<ComponentSplit> split;
    std::string whyNot;
};

// How a slope receives the state: a number by value, the components of a
// system by reference.
template <class State>
using StateArgument = std::conditional_t<std::is_arithmetic_v<State>, State, const State&>;

// A slope function y' = f(x, y): a plain function such as f1, or any object
// callable as f(x, y), such as an equation the user typed. A Slope refers to
// that object and does not own it, so it is cheap to pass on; the object must
// outlive it (a temporary object is refused; a lambda without captures is
// taken as a plain function). A SlopeOf<StateVector> is the same for a system
// y' = F(x, y), whose value has as many components as the state y.
// A slope knows whether its components split where it was told: an object
// that tells it by splitReading() passes it on, and withSplit() hands it to
// a slope that wraps another.
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
          }) {
        if constexpr (requires {
                          { object.splitReading() } -> std::convertible_to<const SplitReading*>;
                      }) {
            splitting_ = object.splitReading();
        }
    }

    template <class F>
        requires(!std::is_convertible_v<const F&, Function> && !std::is_same_v<F, SlopeOf> &&
                 !std::is_lvalue_reference_v<F>)
    SlopeOf(F&& temporary) = delete;

    State operator()(double x, StateArgument<State> y) const {
        return function_ ? function_(x, y) : call_(object_, x, y);
    }

    // Null where the components do not split, or the slope was not told.
    const ComponentSplit* split() const {
        return splitting_ && splitting_->split ? &*splitting_->split : nullptr;
    }
    // Why they do not split; empty where they do or the slope was not told.
    std::string whyNoSplit() const { return splitting_ ? splitting_->whyNot : std::string(); }
    const SplitReading* splitReading() const { return splitting_; }
    SlopeOf withSplit(const SplitReading* splitting) const {
        SlopeOf slope = *this;
        slope.splitting_ = splitting;
        return slope;
    }

private:
    Function function_ = nullptr;
    const void* object_ = nullptr;
    State (*call_)(const void*, double, StateArgument<State>) = nullptr;
    const SplitReading* splitting_ = nullptr;
};

using Slope = SlopeOf<double>;

// One equation y' = f(x, y) as a system of one component, F(x, (y)) =
// (f(x, y)), for the code written for systems; it keeps f's split. It refers
// to f, as a slope does, so it must outlive the slopes made from it.
struct OneEquationAsSystem {
    Slope f;
    StateVector operator()(double x, const StateVector& y) const { return StateVector{f(x, y[0])}; }
    const SplitReading* splitReading() const { return f.splitReading(); }
};

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
StateVector Euler(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f);
StateVector EulerEP(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f);
StateVector EulerMP(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f);
StateVector RK4(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f);
StateVector RKF(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f);
StateVector RKM(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f);
StateVector RK4G(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f);

// One of the seven on one equation (State = double) or on a system.
template <class State>
using StepProcedureOf = State (*)(double x0, StateArgument<State> y0, double h, SlopeOf<State> f);
using StepProcedure = StepProcedureOf<double>;

// The families a method belongs to, each with the coefficients its stepper
// reads. One stepper serves each family (numerics' methodStep and
// MethodRun); only the window's seven also carry their steps as the window
// computes them, whose digits the textbook tables give, and a test ties each
// to its tableau.
// A teacher's own Runge-Kutta method is the entry whose tableau is typed,
// explicit or implicit as the typed tableau is.
struct ExplicitRungeKutta {
    const Tableau* tableau;
    StepProcedure step = nullptr;
    StepProcedureOf<StateVector> stepSystem = nullptr;
    bool typed = false;
};
// Stages that need each other: a step solves for them by Newton's method.
struct ImplicitRungeKutta {
    const Tableau* tableau;
    bool typed = false;
};
// A pair of tableaus of as many stages, one for the positions and one for
// the momenta of a system whose components split (ComponentSplit). The
// position stages take the momenta's slopes and the momentum stages the
// positions', so that on such a system each stage's value follows from
// stages already known and no equation is solved. On a system that does not
// split the method does not apply.
struct PartitionedRungeKutta {
    const Tableau* positions;
    const Tableau* momenta;
};
// The one-step method that makes a multistep method's first values unless
// the user chooses another, as the textbooks start them.
inline constexpr std::string_view textbookStart = "Runge-Kutta 4";

// A formula over the values before, whose first values come from a one-step
// method. A teacher's own method is the entry whose formula is typed.
struct LinearMultistep {
    const Multistep* multistep;
    bool typed = false;
};
using MethodFamily =
    std::variant<ExplicitRungeKutta, ImplicitRungeKutta, PartitionedRungeKutta, LinearMultistep>;

// One row of the method catalogue: the method's caption on the button that
// selects it, the heading it gives in the results list, the name its step
// has in the benchmarks, its family with its coefficients, its formula as a
// student reads it, and for an embedded pair what its own error estimate is
// and how far to trust it. What follows from the coefficients (order,
// stability, symplecticity) numerics works out from them.
struct Method {
    std::string_view caption;
    std::string_view heading;
    std::string_view procedure;
    MethodFamily family;
    std::string_view formula;
    std::string_view estimateNote = {};  // empty for a method without an estimate
};

// The main window's seven methods, in the order it lists them and the
// calculation tests them.
inline constexpr std::array<Method, 7> methodCatalogue{{
    {"Euler", "Euler Method", "Euler", ExplicitRungeKutta{&eulerTableau, Euler, Euler},
     "y1 = y0 + h\u00b7f(x0, y0)"},
    {"Euler (End points)", "Euler End-Point Method", "EulerEP",
     ExplicitRungeKutta{&eulerEndPointTableau, EulerEP, EulerEP},
     "k1 = h\u00b7f(x0, y0), k2 = h\u00b7f(x0 + h, y0 + k1); y1 = y0 + (k1 + k2)/2"},
    {"Euler (Mid point)", "Euler Mid-Point Method", "EulerMP",
     ExplicitRungeKutta{&eulerMidPointTableau, EulerMP, EulerMP},
     "k1 = h\u00b7f(x0, y0), k2 = h\u00b7f(x0 + h/2, y0 + k1/2); y1 = y0 + k2"},
    {"Runge-Kutta 4", "Runge-Kutta-4 Method", "RK4",
     ExplicitRungeKutta{&rungeKutta4Tableau, RK4, RK4},
     "k1 = h\u00b7f(x0, y0), k2 = h\u00b7f(x0 + h/2, y0 + k1/2), "
     "k3 = h\u00b7f(x0 + h/2, y0 + k2/2), k4 = h\u00b7f(x0 + h, y0 + k3); "
     "y1 = y0 + (k1 + 2k2 + 2k3 + k4)/6"},
    {"Runge-Kutta-Fehlberg", "Runge-Kutta-Fehlberg Method", "RKF",
     ExplicitRungeKutta{&fehlbergTableau, RKF, RKF},
     "six stages k1 \u2026 k6 at x0, x0 + h/4, x0 + 3h/8, x0 + 12h/13, x0 + h, x0 + h/2; "
     "y1 = y0 + 16/135\u00b7k1 + 6656/12825\u00b7k3 + 28561/56430\u00b7k4 "
     "\u2212 9/50\u00b7k5 + 2/55\u00b7k6, with a fixed step",
     "Fehlberg's own estimate: the fifth-order result minus the fourth-order one, from the "
     "same six stages. It estimates the error of the fourth-order result, so for the "
     "fifth-order y listed here it is an overstatement: trust its size as a cautious bound, "
     "not its digits or its sign."},
    {"Runge-Kutta-Merson", "Runge-Kutta-Merson Method", "RKM",
     ExplicitRungeKutta{&mersonTableau, RKM, RKM},
     "five stages k1 \u2026 k5 at x0, x0 + h/3, x0 + h/3, x0 + h/2, x0 + h; "
     "y1 = y0 + (k1 + 4k4 + k5)/6, with a fixed step",
     "Merson's own estimate (2k1 \u2212 9k3 + 8k4 \u2212 k5)/30: the fourth-order result minus "
     "a third-order one, from the same five stages. Merson derived it for linear equations "
     "such as this one, where it somewhat overstates the error; on other equations it can be "
     "far off. Trust its size, not its digits."},
    {"Runge-Kutta-Gill", "Runge-Kutta-Gill Method", "RK4G",
     ExplicitRungeKutta{&gillTableau, RK4G, RK4G},
     "Runge-Kutta 4 with Gill's weights, g = 1/\u221a2: "
     "y1 = y0 + (k1 + 2(1 \u2212 g)k2 + 2(1 + g)k3 + k4)/6"},
}};

// Every method the program knows, the window's seven first, then the further
// explicit, the implicit, the partitioned and the multistep ones, the last a
// teacher's own;
// the lab lists them in this order. Its rows are in catalogue.cpp, so that a
// new method or a changed coefficient rebuilds that file alone.
std::span<const Method> labCatalogue();

// One value for each method of the catalogue, in its order.
template <class T>
struct PerMethod : std::vector<T> {
    PerMethod() : std::vector<T>(labCatalogue().size()) {}
};

// The row of a catalogue entry: its place in the lab's lists and tables. A
// copy of an entry (the window's own, the own method with typed
// coefficients) has the row of the entry with its caption.
std::size_t catalogueRow(const Method& method);

// The entry with this caption; throws std::invalid_argument for a caption no
// method has.
const Method& methodByCaption(std::string_view caption);

// What a page asks of a method's family.
inline const ExplicitRungeKutta* explicitRungeKutta(const Method& method) {
    return std::get_if<ExplicitRungeKutta>(&method.family);
}
inline const LinearMultistep* linearMultistep(const Method& method) {
    return std::get_if<LinearMultistep>(&method.family);
}
inline const PartitionedRungeKutta* partitionedRungeKutta(const Method& method) {
    return std::get_if<PartitionedRungeKutta>(&method.family);
}
inline bool isPartitioned(const Method& method) { return partitionedRungeKutta(method) != nullptr; }
// The Butcher tableau of a Runge-Kutta method, explicit or implicit; null
// for a partitioned or a multistep method.
const Tableau* tableauOf(const Method& method);
inline bool hasTableau(const Method& method) { return tableauOf(method) != nullptr; }
// The formula of a multistep method; null for a one-step method.
inline const Multistep* multistepOf(const Method& method) {
    const LinearMultistep* family = linearMultistep(method);
    return family ? family->multistep : nullptr;
}
// Whether the method steps from the values before the last one.
inline bool isMultistep(const Method& method) { return linearMultistep(method) != nullptr; }
// Whether a step solves an equation for its value: an implicit Runge-Kutta
// method's stages, or an implicit multistep formula's new value (a
// predictor-corrector pair corrects once, explicitly).
bool isImplicit(const Method& method);
// One of the window's seven, whose steps the window computes as listed.
inline bool isWindowMethod(const Method& method) {
    const ExplicitRungeKutta* family = explicitRungeKutta(method);
    return family && family->step;
}
// The entry whose formula a teacher types.
inline bool isOwnMultistep(const Method& method) {
    const LinearMultistep* family = linearMultistep(method);
    return family && family->typed;
}
const Method& ownMultistepEntry();
// The entry whose tableau a teacher types.
bool isOwnRungeKutta(const Method& method);
const Method& ownRungeKuttaEntry();
// Either entry whose coefficients a teacher types.
inline bool isOwnMethod(const Method& method) {
    return isOwnMultistep(method) || isOwnRungeKutta(method);
}
// The methods a teacher typed for the catalogue's own entries, null for an
// entry whose boxes made none yet.
struct TypedMethods {
    const Method* multistep = nullptr;
    const Method* rungeKutta = nullptr;

    bool operator==(const TypedMethods&) const = default;
};
// The entry of a catalogue row, or on an own method's row the method typed
// where there is one.
inline const Method& methodAt(std::size_t row, const TypedMethods& typed) {
    const Method& entry = labCatalogue()[row];
    if (typed.multistep && isOwnMultistep(entry)) return *typed.multistep;
    if (typed.rungeKutta && isOwnRungeKutta(entry)) return *typed.rungeKutta;
    return entry;
}
// Whether the method can step a slope: a partitioned method only where its
// components split.
template <class State>
bool appliesTo(const Method& method, const SlopeOf<State>& f) {
    return !isPartitioned(method) || f.split() != nullptr;
}
// The rows of the methods that can start a multistep run on any problem:
// every Runge-Kutta method, in catalogue order.
std::span<const std::size_t> oneStepRows();

// A teacher's own multistep method: the catalogue's own entry with the
// formula typed in its boxes. Neither copied nor moved, since its entry
// points at its formula; numerics' ownMultistepOf keeps one for each formula
// typed, for as long as the program runs, as the catalogue's entries last,
// so that a study's result may point at it.
struct OwnMultistep {
    explicit OwnMultistep(const MultistepFormula& typed)
        : formula(typed), entry(ownMultistepEntry()) {
        std::get<LinearMultistep>(entry.family).multistep = &multistep;
    }
    OwnMultistep(const OwnMultistep&) = delete;
    OwnMultistep& operator=(const OwnMultistep&) = delete;

    MultistepFormula formula;
    Multistep multistep{&formula};
    Method entry;
};

// A teacher's own Runge-Kutta method: the catalogue's own entry with the
// tableau typed in its boxes, of the family the tableau makes, and the
// tableau's stability as worked out where it was typed. Kept as an
// OwnMultistep is, by ownRungeKuttaOf.
struct OwnRungeKutta {
    OwnRungeKutta(const Tableau& typed, const TypedStability& worked);
    OwnRungeKutta(const OwnRungeKutta&) = delete;
    OwnRungeKutta& operator=(const OwnRungeKutta&) = delete;

    Tableau typed;  // as given, the key it is kept by
    TypedStability stability;
    Tableau tableau;  // the same, with its stability
    Method entry;
};
// The own method of this tableau, one for each tableau typed, for as long
// as the program runs; `stability` is the tableau's, and is kept with the
// first.
const OwnRungeKutta& ownRungeKuttaOf(const Tableau& tableau, const TypedStability& stability);

}  // namespace pelorin
