// The steps of a reference solution, for one equation and for a system: how
// it steps to each abscissa, lands on it exactly, and tells a solution that
// grows without bound from every other stop. Private to numerics/ (it
// includes Odeint).
#pragma once

#include "base/conversions.h"
#include "base/number_text.h"
#include "numerics/odeint.h"
#include "numerics/reference.h"
#include "numerics/solution_paths.h"

#include <boost/numeric/odeint.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// Each failure shrinks the step by a factor between 0.2 and 0.9 (Odeint's
// control): after this many in a row it is at most 0.9^100, about 3E-5, of
// what it was, and the control has given up on the step.
inline constexpr int maxFailedSteps = 100;

// Why the solution stopped in words, and |y| there, infinite when y
// overflowed.
struct Stopped {
    std::string why;
    double size = 0;
};

// Steps this small beside max(1, |x|) have shrunk to nothing: a solution
// that overflows with steps still longer merely outgrows a double (e^x at
// x = 710), it does not end.
inline constexpr double collapsedStep = 1e-9;

// The one place that tells a solution's end from every other stop: near x
// the steps `dt` shrank to nothing while |y| grew huge or overflowed; y0Size
// is |y| at the start.
inline bool growsWithoutBound(const Stopped& stopped, double x, double dt, double y0Size) {
    return stopped.size >= blowUpGrowth * std::max(1.0, y0Size) &&
           std::fabs(dt) <= collapsedStep * std::max(1.0, std::fabs(x));
}

// Why a slope evaluation stopped the stepper, in words; `where` names the
// point where the slope is not a finite number.
inline Stopped stoppedBySlope(SlopeStop why, long maxEvaluations, const std::string& where) {
    switch (why) {
    case SlopeStop::evaluationLimit:
        return {"it needed more than " + std::to_string(maxEvaluations) + " slope evaluations"};
    case SlopeStop::yNotFinite:
        return {"y grew beyond the largest number", infinity};
    case SlopeStop::slopeNotFinite:
        break;
    }
    return {"the slope is not a finite number at " + where};
}

inline std::string untrustedReferenceNote(double x, const ReferenceTrust& trust = measuringTrust) {
    return "From x = " + numberToText(x) + " on, the reference solution's estimated error is "
           "more than " + errorText(trust.relativeAccuracy) + " of the solution's size, too "
           "large to " + trust.tooLargeTo + ": it is left out there.";
}

template <class State>
Stopped stepsTooSmall(const State& y) {
    return {"its steps became too small to keep its error in bounds", stateSize(y)};
}

// Steps from x to the abscissa `target`, the last step shortened to land on
// it exactly; dt is the step the control asks for, kept across abscissae.
// tryStep(y, x, dt) is one attempt of a controlled stepper, as Odeint's
// try_step: true when it is accepted and x and y moved on; either way dt
// becomes the next step. Returns the steps accepted on the way.
//
// Odeint's integrate_times would take other steps: after landing it carries
// on with the larger of dt and the step the shortened one asked for, where
// this loop resumes with dt; it counts an abscissa within 2.2E-16 (an
// absolute epsilon) as reached, where this loop lands on it exactly; and it
// allows 500 failures in a row, with no test of a step too small to move x.
template <class State, class TryStep>
long stepTo(TryStep&& tryStep, State& y, double& x, double& dt, double target) {
    if (!std::isfinite(target) || !std::isfinite(target - x)) {
        throw Stopped{"the next abscissa is too far away to step to"};
    }
    dt = std::copysign(dt, target - x);
    boost::numeric::odeint::failed_step_checker failures(maxFailedSteps);
    long accepted = 0;
    while (x != target) {
        const bool last = std::fabs(target - x) <= std::fabs(dt);
        double step = last ? target - x : dt;
        const double before = x;
        if (tryStep(y, x, step)) {
            ++accepted;
            failures.reset();
            if (last) {
                x = target;
            } else {
                dt = step;
            }
        } else {
            dt = step;
            failures();  // throws step_adjustment_error after maxFailedSteps
            if (before + dt == before) throw stepsTooSmall(y);
        }
    }
    if (!std::isfinite(stateSize(y))) throw Stopped{"y grew beyond the largest number", infinity};
    return accepted;
}

// Rounding's share of a reference's error after `steps` steps, relative to
// the solution's size: each step rounds y by about a rounding unit, and
// roundings of their own add up as √steps of them (the rule the methods'
// rounding floor follows). A tolerance below a rounding unit cannot make
// the reference more accurate than this.
inline double roundingAccuracy(long steps) {
    return std::sqrt(static_cast<double>(steps)) * std::numeric_limits<double>::epsilon();
}

// Where and why a solution (a struct with a note and an end) stopped, near x,
// with steps of dt; y0Size is |y| at the start.
template <class Solution>
void noteStop(Solution& solution, const Stopped& stopped, double x, double dt, double y0Size) {
    if (growsWithoutBound(stopped, x, dt, y0Size)) {
        solution.end = x;
        solution.note = solutionEndNote(x);
    } else {
        solution.note = "The reference solution stopped near x = " + numberToText(x) + ": " +
                        stopped.why + ".";
    }
}

}  // namespace pelorin
