// Boost.Odeint's controlled explicit pairs (Dormand-Prince 5(4), Fehlberg
// 7(8)) on one equation y' = f(x, y) or a system y' = F(x, y): the one way
// the library's peer on the work-precision plot and the reference solution
// drive them, and what every driver of Odeint here shares: the counts of a
// stepper's evaluations and why the slope stopped it. Private to numerics/
// (it includes Odeint).
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"

#include <boost/numeric/odeint.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <type_traits>
#include <vector>

namespace pelorin {

// Why a slope evaluation stopped the stepper: Odeint's loops stop only at
// their end, and would take a step whose error estimate is not a number as a
// good one.
enum class SlopeStop { evaluationLimit, yNotFinite, slopeNotFinite };

// Thrown out of a stepper by the slope, with the point it was asked for: y
// a number for one equation, all components for a system.
template <class State>
struct SlopeStoppedOf {
    SlopeStop why;
    double x = 0;
    State y{};
};
using SlopeStopped = SlopeStoppedOf<double>;

// The slope evaluations a stepper has made, and where it asked for the latest.
struct EvaluationCounts {
    long evaluations = 0;
    std::optional<double> lastX;  // refused evaluations included; none before the first

    // An evaluation asked for at x: counted, or refused (false) when it would
    // be past maxEvaluations.
    bool admit(double x, long maxEvaluations) {
        lastX = x;
        if (evaluations >= maxEvaluations) return false;
        ++evaluations;
        return true;
    }
};

inline constexpr double infinity = std::numeric_limits<double>::infinity();

// |y|: the largest |y_i|, infinite when a component is not a finite number.
template <class Components>
double stateSize(const Components& y) {
    double size = 0;
    for (double component : y) {
        if (!std::isfinite(component)) return infinity;
        size = std::max(size, std::fabs(component));
    }
    return size;
}

// A system's state as the steppers hold it: a plain vector.
using OdeintVector = std::vector<double>;

inline OdeintVector toVector(const StateVector& y) {
    return OdeintVector(y.begin(), y.end());
}

// The first n components of v.
inline StateVector toState(const OdeintVector& v, std::size_t n) {
    StateVector y(n);
    for (std::size_t i = 0; i < n; ++i) y[i] = v[i];
    return y;
}

// F as a run evaluates it: counted, stopped past the limit (refused, not
// counted), at a y that is not finite (counted, F not called) and at a value
// of F that is not finite.
class CountedSystem {
public:
    CountedSystem(SlopeOf<StateVector> F, long maxEvaluations, EvaluationCounts& counts)
        : F_(F), maxEvaluations_(maxEvaluations), counts_(&counts) {}

    StateVector operator()(double x, const StateVector& y) const {
        if (!counts_->admit(x, maxEvaluations_)) {
            throw SlopeStoppedOf<StateVector>{SlopeStop::evaluationLimit, x, y};
        }
        if (!std::isfinite(stateSize(y))) {
            throw SlopeStoppedOf<StateVector>{SlopeStop::yNotFinite, x, y};
        }
        StateVector slope = F_(x, y);
        requireSameSize(slope, y);
        if (!std::isfinite(stateSize(slope))) {
            throw SlopeStoppedOf<StateVector>{SlopeStop::slopeNotFinite, x, y};
        }
        return slope;
    }

private:
    SlopeOf<StateVector> F_;
    long maxEvaluations_;
    EvaluationCounts* counts_;
};

// The scalar y as Odeint holds it: a double, or an array of one. The two
// step alike except where an error estimate is not a number: an array's
// max-norm reads it as 0, so the step is accepted and the next grows as much
// as the control allows; a double's error stays NaN, so the step is accepted
// and the next is as long.
inline double& value(double& y) { return y; }
inline double& value(std::array<double, 1>& y) { return y[0]; }
inline double value(const double& y) { return y; }
inline double value(const std::array<double, 1>& y) { return y[0]; }

// The slope a stepper on State steps: a system's F on a vector, one
// equation's f on a number or an array of one.
template <class State>
using OdeintSlopeOf =
    std::conditional_t<std::is_same_v<State, OdeintVector>, SlopeOf<StateVector>, Slope>;

// The slope at (x, y) into `slope` as a stepper evaluates it, counted into
// `counts` and stopped as CountedSystem stops F: one equation's, throwing
// SlopeStopped,
template <class State>
void countedSlope(Slope f, const State& y, State& slope, double x, long maxEvaluations,
                  EvaluationCounts& counts) {
    if (!counts.admit(x, maxEvaluations)) {
        throw SlopeStopped{SlopeStop::evaluationLimit, x, value(y)};
    }
    if (!std::isfinite(value(y))) throw SlopeStopped{SlopeStop::yNotFinite, x, value(y)};
    value(slope) = f(x, value(y));
    if (!std::isfinite(value(slope))) {
        throw SlopeStopped{SlopeStop::slopeNotFinite, x, value(y)};
    }
}
// and a system's.
inline void countedSlope(SlopeOf<StateVector> F, const OdeintVector& y, OdeintVector& slope,
                         double x, long maxEvaluations, EvaluationCounts& counts) {
    const StateVector computed =
        CountedSystem(F, maxEvaluations, counts)(x, toState(y, y.size()));
    std::copy(computed.begin(), computed.end(), slope.begin());
}

// The controlled stepper with equal weights for y and h·f in its error norm
// (Odeint's tol·(1 + |y| + |h·f|) when both tolerances are tol), and a slope
// that counts its evaluations and stops the stepper (countedSlope): at the
// evaluation past maxEvaluations (refused, not counted), at a y that is not
// finite (counted, f not called) and at a slope that is not finite. State is
// a number or an array of one for one equation, an OdeintVector for a system.
template <class State, class ErrorStepper>
class ControlledOdeint {
public:
// The controller takes a copy of the error stepper, whose scratch states
// (std::arrays) hold nothing yet: GCC sees values copied before they are
// ever set, where every one is written before it is read.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
    ControlledOdeint(OdeintSlopeOf<State> f, double absoluteTolerance, double relativeTolerance,
                     long maxEvaluations)
        : stepper_(boost::numeric::odeint::make_controlled(absoluteTolerance, relativeTolerance,
                                                           ErrorStepper())),
          slope_{f, maxEvaluations, &counts_} {}
#pragma GCC diagnostic pop
    ControlledOdeint(const ControlledOdeint&) = delete;  // the slope points at counts_
    ControlledOdeint& operator=(const ControlledOdeint&) = delete;

    // One attempt from (x, y) with dt, as Odeint's try_step: when it is
    // accepted x and y move on; either way dt becomes the next step.
    bool tryStep(State& y, double& x, double& dt) {
        return stepper_.try_step(slope_, y, x, dt) == boost::numeric::odeint::success;
    }

    // Odeint's integrate_adaptive from x0 to x1, the first step dt: y ends at
    // x1; the steps accepted are returned.
    long integrateAdaptive(State& y, double x0, double x1, double dt) {
        return static_cast<long>(
            boost::numeric::odeint::integrate_adaptive(stepper_, slope_, y, x0, x1, dt));
    }

    const EvaluationCounts& counts() const { return counts_; }
    long evaluations() const { return counts_.evaluations; }
    // The abscissa of the latest evaluation asked for, refused ones
    // included; none before the first.
    std::optional<double> lastX() const { return counts_.lastX; }

    // A system's F counted as the stepper counts it, towards the same limit:
    // for evaluations between two attempts, as a look at the Jacobian.
    CountedSystem countedSystem()
        requires std::is_same_v<State, OdeintVector>
    {
        return CountedSystem(slope_.f, slope_.maxEvaluations, counts_);
    }

private:
    // Odeint copies its system: the counts stay with the stepper.
    struct CountedSlope {
        OdeintSlopeOf<State> f;
        long maxEvaluations;
        EvaluationCounts* counts;

        void operator()(const State& y, State& slope, double x) const {
            countedSlope(f, y, slope, x, maxEvaluations, *counts);
        }
    };

    using Stepper = boost::numeric::odeint::controlled_runge_kutta<ErrorStepper>;

    Stepper stepper_;
    EvaluationCounts counts_;
    CountedSlope slope_;
};

template <class State>
using DormandPrince = ControlledOdeint<State, boost::numeric::odeint::runge_kutta_dopri5<State>>;

}  // namespace pelorin
