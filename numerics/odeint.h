// Boost.Odeint's controlled Dormand-Prince 5(4) stepper on y' = f(x, y), as
// the library's peer on the work-precision plot drives it, and what every
// driver of Odeint here shares: the counts of a stepper's evaluations and why
// the slope stopped it. The reference solution, of one equation as of a
// system, steps Odeint's pairs on a system (numerics/rosenbrock_system.h),
// where it can look for stiffness between two attempts. Private to
// numerics/ (it includes Odeint).
#pragma once

#include "methods/methods.h"

#include <boost/numeric/odeint.hpp>

#include <array>
#include <cmath>
#include <optional>

namespace pelorin {

// Why a slope evaluation stopped the stepper: Odeint's loops stop only at
// their end, and would take a step whose error estimate is not a number as a
// good one.
enum class SlopeStop { evaluationLimit, yNotFinite, slopeNotFinite };

// Thrown out of the stepper by the slope, with the point it was asked for.
struct SlopeStopped {
    SlopeStop why;
    double x = 0, y = 0;
};

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

// The scalar y as Odeint holds it: a double, or an array of one. The two
// step alike except where an error estimate is not a number: an array's
// max-norm reads it as 0, so the step is accepted and the next grows as much
// as the control allows; a double's error stays NaN, so the step is accepted
// and the next is as long.
inline double& value(double& y) { return y; }
inline double& value(std::array<double, 1>& y) { return y[0]; }
inline double value(const double& y) { return y; }
inline double value(const std::array<double, 1>& y) { return y[0]; }

// The controlled stepper with equal weights for y and h·f in its error norm
// (Odeint's tol·(1 + |y| + |h·f|) when both tolerances are tol), and a slope
// that counts its evaluations and stops the stepper by throwing SlopeStopped:
// at the evaluation past maxEvaluations (refused, not counted), at a y that
// is not finite (counted, f not called) and at a slope that is not finite.
template <class State, class ErrorStepper>
class ControlledOdeint {
public:
// The controller takes a copy of the error stepper, whose scratch states
// (std::arrays) hold nothing yet: GCC sees values copied before they are
// ever set, where every one is written before it is read.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
    ControlledOdeint(Slope f, double absoluteTolerance, double relativeTolerance,
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

    long evaluations() const { return counts_.evaluations; }
    // The abscissa of the latest evaluation asked for, refused ones
    // included; none before the first.
    std::optional<double> lastX() const { return counts_.lastX; }

private:
    // Odeint copies its system: the counts stay with the stepper.
    struct CountedSlope {
        Slope f;
        long maxEvaluations;
        EvaluationCounts* counts;

        void operator()(const State& y, State& slope, double x) const {
            if (!counts->admit(x, maxEvaluations)) {
                throw SlopeStopped{SlopeStop::evaluationLimit, x, value(y)};
            }
            if (!std::isfinite(value(y))) throw SlopeStopped{SlopeStop::yNotFinite, x, value(y)};
            value(slope) = f(x, value(y));
            if (!std::isfinite(value(slope))) {
                throw SlopeStopped{SlopeStop::slopeNotFinite, x, value(y)};
            }
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
