// One function per method, stage by stage as the textbooks write them.
// Parentheses are never rearranged: C++ groups a chain of sums, or of
// products and quotients, from the left, which is how the formulas are
// written ((a + b) + c, (3·k1)/32), and the build forbids contracting a
// product and a sum into one fused operation.
#include "methods/methods.h"

#include <cmath>
#include <list>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelorin {

double f1(double x, double y) { return -2 * x - y; }

namespace {

// Each formula is written once for State = double, one equation, and
// State = StateVector, a system, whose operations work component by
// component with the same grouping.
template <class State>
State euler(double x0, const State& y0, double h, SlopeOf<State> f) {
    const State k1 = h * f(x0, y0);
    return y0 + k1;
}

// The mean of the increments at both ends of the step (Heun).
template <class State>
State eulerEndPoint(double x0, const State& y0, double h, SlopeOf<State> f) {
    const State k1 = h * f(x0, y0);
    const State k2 = h * f(x0 + h, y0 + k1);
    const State d = (k1 + k2) / 2;
    return y0 + d;
}

// The increment from the slope at the middle of the step.
template <class State>
State eulerMidPoint(double x0, const State& y0, double h, SlopeOf<State> f) {
    const State k1 = h * f(x0, y0);
    const State k2 = h * f(x0 + h / 2, y0 + k1 / 2);
    return y0 + k2;
}

template <class State>
State rungeKutta4(double x0, const State& y0, double h, SlopeOf<State> f) {
    const State k1 = h * f(x0, y0);
    const State k2 = h * f(x0 + h / 2, y0 + k1 / 2);
    const State k3 = h * f(x0 + h / 2, y0 + k2 / 2);
    const State k4 = h * f(x0 + h, y0 + k3);
    const State d = (k1 + 2 * k2 + 2 * k3 + k4) / 6;
    return y0 + d;
}

// Fehlberg's six stages combined to fifth order; the step size stays fixed.
template <class State>
State fehlberg(double x0, const State& y0, double h, SlopeOf<State> f) {
    const State k1 = h * f(x0, y0);
    const State k2 = h * f(x0 + h / 4, y0 + k1 / 4);
    const State k3 = h * f(x0 + 3 * h / 8, y0 + 3 * k1 / 32 + 9 * k2 / 32);
    const State k4 = h * f(x0 + 12 * h / 13,
                           y0 + 1932 * k1 / 2197 - 7200 * k2 / 2197 + 7296 * k3 / 2197);
    const State k5 = h * f(x0 + h,
                           y0 + 439 * k1 / 216 - 8 * k2 + 3680 * k3 / 513 - 845 * k4 / 4104);
    const State k6 = h * f(x0 + h / 2, y0 - 8 * k1 / 27 + 2 * k2 - 3544 * k3 / 2565 +
                                           1859 * k4 / 4104 - 11 * k5 / 40);
    // Here each weight is a fraction worked out first, then applied.
    const State d = 16.0 / 135 * k1 + 6656.0 / 12825 * k3 + 28561.0 / 56430 * k4 -
                    9.0 / 50 * k5 + 2.0 / 55 * k6;
    return y0 + d;
}

// Merson's five stages combined to fourth order; the step size stays fixed.
template <class State>
State merson(double x0, const State& y0, double h, SlopeOf<State> f) {
    const State k1 = h * f(x0, y0);
    const State k2 = h * f(x0 + h / 3, y0 + k1 / 3);
    const State k3 = h * f(x0 + h / 3, y0 + k1 / 6 + k2 / 6);
    const State k4 = h * f(x0 + h / 2, y0 + k1 / 8 + 3 * k3 / 8);
    const State k5 = h * f(x0 + h, y0 + k1 / 2 - 3 * k3 / 2 + 2 * k4);
    const State d = (k1 + 4 * k4 + k5) / 6;
    return y0 + d;
}

// Gill's variant of the classical method, whose weights 1 -/+ 1/sqrt(2)
// once saved storage on small machines.
template <class State>
State gill(double x0, const State& y0, double h, SlopeOf<State> f) {
    const double g = 1 / std::sqrt(2.0);
    const State k1 = h * f(x0, y0);
    State k2 = h * f(x0 + h / 2, y0 + k1 / 2);
    State k3 = h * f(x0 + h / 2, y0 + (-0.5 + g) * k1 + (1 - g) * k2);
    const State k4 = h * f(x0 + h, y0 - g * k2 + (1 + g) * k3);
    k2 = 2 * (1 - g) * k2;
    k3 = 2 * (1 + g) * k3;
    const State d = (k1 + k2 + k3 + k4) / 6;
    return y0 + d;
}

}  // namespace

// The procedures the window, the lab and the studies call: the formulas above
// for one equation and for a system.
double Euler(double x0, double y0, double h, Slope f) { return euler(x0, y0, h, f); }
StateVector Euler(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f) {
    return euler(x0, y0, h, f);
}
double EulerEP(double x0, double y0, double h, Slope f) { return eulerEndPoint(x0, y0, h, f); }
StateVector EulerEP(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f) {
    return eulerEndPoint(x0, y0, h, f);
}
double EulerMP(double x0, double y0, double h, Slope f) { return eulerMidPoint(x0, y0, h, f); }
StateVector EulerMP(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f) {
    return eulerMidPoint(x0, y0, h, f);
}
double RK4(double x0, double y0, double h, Slope f) { return rungeKutta4(x0, y0, h, f); }
StateVector RK4(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f) {
    return rungeKutta4(x0, y0, h, f);
}
double RKF(double x0, double y0, double h, Slope f) { return fehlberg(x0, y0, h, f); }
StateVector RKF(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f) {
    return fehlberg(x0, y0, h, f);
}
double RKM(double x0, double y0, double h, Slope f) { return merson(x0, y0, h, f); }
StateVector RKM(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f) {
    return merson(x0, y0, h, f);
}
double RK4G(double x0, double y0, double h, Slope f) { return gill(x0, y0, h, f); }
StateVector RK4G(double x0, const StateVector& y0, double h, SlopeOf<StateVector> f) {
    return gill(x0, y0, h, f);
}

std::size_t catalogueRow(const Method& method) {
    const std::span<const Method> catalogue = labCatalogue();
    if (&method >= catalogue.data() && &method < catalogue.data() + catalogue.size()) {
        return static_cast<std::size_t>(&method - catalogue.data());
    }
    return static_cast<std::size_t>(&methodByCaption(method.caption) - catalogue.data());
}

const Method& methodByCaption(std::string_view caption) {
    for (const Method& method : labCatalogue()) {
        if (method.caption == caption) return method;
    }
    throw std::invalid_argument("no method is captioned " + std::string(caption));
}

const Tableau* tableauOf(const Method& method) {
    if (const auto* family = std::get_if<ExplicitRungeKutta>(&method.family))
        return family->tableau;
    if (const auto* family = std::get_if<ImplicitRungeKutta>(&method.family))
        return family->tableau;
    return nullptr;
}

bool isImplicit(const Method& method) {
    if (std::holds_alternative<ImplicitRungeKutta>(method.family)) return true;
    const Multistep* multistep = multistepOf(method);
    return multistep && multistep->predictor == nullptr && multistep->formula->isImplicit();
}

const Method& ownMultistepEntry() {
    for (const Method& method : labCatalogue()) {
        if (isOwnMultistep(method)) return method;
    }
    throw std::logic_error("the catalogue has no entry for a typed multistep method");
}

bool isOwnRungeKutta(const Method& method) {
    if (const ExplicitRungeKutta* family = explicitRungeKutta(method)) return family->typed;
    const auto* implicit = std::get_if<ImplicitRungeKutta>(&method.family);
    return implicit && implicit->typed;
}

const Method& ownRungeKuttaEntry() {
    for (const Method& method : labCatalogue()) {
        if (isOwnRungeKutta(method)) return method;
    }
    throw std::logic_error("the catalogue has no entry for a typed Runge-Kutta method");
}

OwnRungeKutta::OwnRungeKutta(const Tableau& typed, const TypedStability& worked)
    : typed(typed), stability(worked), tableau(typed), entry(ownRungeKuttaEntry()) {
    tableau.stability = &stability;
    if (tableau.isImplicit()) entry.family = ImplicitRungeKutta{&tableau, true};
    else entry.family = ExplicitRungeKutta{&tableau, nullptr, nullptr, true};
}

const OwnRungeKutta& ownRungeKuttaOf(const Tableau& tableau, const TypedStability& stability) {
    // A list keeps its elements where they are as it grows.
    static std::mutex guard;
    static std::list<OwnRungeKutta> kept;
    const std::lock_guard<std::mutex> lock(guard);
    for (const OwnRungeKutta& own : kept) {
        if (own.typed == tableau) return own;
    }
    return kept.emplace_back(tableau, stability);
}

std::span<const std::size_t> oneStepRows() {
    static const std::vector<std::size_t> rows = [] {
        std::vector<std::size_t> oneStep;
        const std::span<const Method> catalogue = labCatalogue();
        for (std::size_t row = 0; row < catalogue.size(); ++row) {
            if (hasTableau(catalogue[row])) oneStep.push_back(row);
        }
        return oneStep;
    }();
    return rows;
}

}  // namespace pelorin
