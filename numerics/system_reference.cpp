// Reference solutions of systems with Boost.Odeint's adaptive Dormand-Prince
// stepper, or its Rosenbrock stepper where the system is stiff.
#include "numerics/system_reference.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "numerics/jacobian.h"
#include "numerics/odeint.h"
#include "numerics/reference_steps.h"
#include "numerics/rosenbrock.h"
#include "numerics/solution_paths.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <utility>

namespace pelorin {

namespace {

namespace odeint = boost::numeric::odeint;
// The state as the steppers hold it.
using Vector = std::vector<double>;

Vector toVector(const StateVector& y) {
    return Vector(y.begin(), y.end());
}

// The first n components of v.
StateVector toState(const Vector& v, std::size_t n) {
    StateVector y(n);
    for (std::size_t i = 0; i < n; ++i) y[i] = v[i];
    return y;
}

// Thrown out of a stepper by F, with the point it was asked for.
struct SystemStopped {
    SlopeStop why;
    double x = 0;
    StateVector y;
};

// F as the runs evaluate it: counted, stopped past the limit (refused, not
// counted), at a y that is not finite (counted, F not called) and at a value
// of F that is not finite.
class CountedSystem {
public:
    CountedSystem(SystemSlope F, long maxEvaluations, EvaluationCounts& counts)
        : F_(F), maxEvaluations_(maxEvaluations), counts_(&counts) {}

    StateVector operator()(double x, const StateVector& y) const {
        if (!counts_->admit(x, maxEvaluations_)) {
            throw SystemStopped{SlopeStop::evaluationLimit, x, y};
        }
        if (!std::isfinite(stateSize(y))) throw SystemStopped{SlopeStop::yNotFinite, x, y};
        StateVector slope = F_(x, y);
        requireSameSize(slope, y);
        if (!std::isfinite(stateSize(slope))) {
            throw SystemStopped{SlopeStop::slopeNotFinite, x, y};
        }
        return slope;
    }

private:
    SystemSlope F_;
    long maxEvaluations_;
    EvaluationCounts* counts_;
};

// Odeint's system y' = F(x, y); copies refer to the same counted F.
struct OdeintSystem {
    SystemSlope F;

    void operator()(const Vector& y, Vector& dydx, double x) const {
        const StateVector slope = F(x, toState(y, y.size()));
        std::copy(slope.begin(), slope.end(), dydx.begin());
    }
};

// ∂F/∂x by a central difference quotient, δ = ∛ε·max(1, |x|) as the
// Jacobian's columns are taken.
StateVector slopeDerivativeInX(SystemSlope F, double x, const StateVector& y) {
    const double delta = std::cbrt(std::numeric_limits<double>::epsilon()) * std::max(1.0, std::fabs(x));
    const double above = x + delta, below = x - delta;
    return (F(above, y) - F(below, y)) / (above - below);
}

// The system as the Rosenbrock runs hold it: x as one more component, with
// x' = 1, so that F depends on the state alone and ∂F/∂x is a column of the
// Jacobian. Odeint's rosenbrock4 also takes ∂F/∂x on its own, but with it a
// solution depending on x comes out far less accurate than its control asks:
// on y' = -λ·(y - cos x) - sin x with tolerance 1E-10, 1E-6 off at x = 1 for
// λ = 10, and for λ = 1E4 its steps shrink to 3E-6; in this form it keeps to
// the tolerance with steps a hundred times longer.
struct AutonomousSystem {
    SystemSlope F;

    // (F(x, y), 1) at the state (y, x).
    void operator()(const Vector& state, Vector& slope, double) const {
        const std::size_t n = state.size() - 1;
        const StateVector F_ = F(state[n], toState(state, n));
        std::copy(F_.begin(), F_.end(), slope.begin());
        slope[n] = 1;
    }

    // The (n + 1)×(n + 1) Jacobian row by row: ∂F/∂y by difference quotients
    // (numerics/jacobian.h) and ∂F/∂x beside it; x' = 1 gives a row of
    // zeros, and nothing depends on the stepper's own abscissa.
    void operator()(const Vector& state, Vector& J, double, Vector& dfdt) const {
        const std::size_t n = state.size() - 1;
        const double x = state[n];
        const StateVector y = toState(state, n);
        const SquareMatrix inY = jacobian(F, x, y).value;
        const StateVector inX = slopeDerivativeInX(F, x, y);
        std::fill(J.begin(), J.end(), 0.0);
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = 0; j < n; ++j) J[i * (n + 1) + j] = inY(i, j);
            J[i * (n + 1) + n] = inX[i];
        }
        std::fill(dfdt.begin(), dfdt.end(), 0.0);
    }
};

std::string stateText(const StateVector& y) {
    std::string text;
    for (double component : y) text += (text.empty() ? "(" : ", ") + numberToText(component);
    return text + ")";
}

Stopped stoppedBySlope(const SystemStopped& stopped, long maxEvaluations) {
    return stoppedBySlope(stopped.why, maxEvaluations,
                          "x = " + numberToText(stopped.x) + ", y = " + stateText(stopped.y));
}

struct Run {
    std::vector<StateVector> y;  // at the abscissae reached
    long evaluations = 0;
    bool stiff = false;
    std::string note;
    std::optional<double> end;  // where it stopped growing without bound
};

// One run with the attempts tryStep(y, x, dt) of a controlled stepper whose
// F counts into `counts`, from the state `start` (y0, and for Rosenbrock x0
// after it); stopped and noted as a single equation's reference is.
template <class TryStep>
Run solve(TryStep&& tryStep, const EvaluationCounts& counts, double x0, const StateVector& y0,
          Vector start, const std::vector<double>& abscissae, long maxEvaluations) {
    Run run;
    Vector y = std::move(start);
    double x = x0;
    // A small first step: the control lets it grow fivefold a step, while a
    // first step far too large could overflow before the control sees it.
    double dt = 1e-6 * std::max(1.0, std::fabs(x0));
    // Near the latest evaluation asked for, with the steps then asked for.
    const auto stopAt = [&](const Stopped& stopped) {
        noteStop(run, stopped, counts.lastX.value_or(x0), dt, stateSize(y0));
    };
    try {
        for (double target : abscissae) {
            stepTo(tryStep, y, x, dt, target);
            run.y.push_back(toState(y, y0.size()));
        }
    } catch (const Stopped& stopped) {
        stopAt(stopped);
    } catch (const odeint::step_adjustment_error&) {
        stopAt(stepsTooSmall(y));
    } catch (const SystemStopped& stopped) {
        // The evaluation refused at the limit is counted with the rest.
        if (stopped.why == SlopeStop::evaluationLimit) ++run.evaluations;
        stopAt(stoppedBySlope(stopped, maxEvaluations));
    }
    run.evaluations += counts.evaluations;
    return run;
}

// Thrown out of a Dormand-Prince run that found the system stiff.
struct StiffnessFound {};

// Whether a step h from (x, y) is held by stability: see stiffStepEigenvalue.
bool stiffAt(SystemSlope F, double x, const StateVector& y, double h) {
    const StepEigenvalues modes = stepEigenvalues(F, x, y, h);
    return std::any_of(modes.z.begin(), modes.z.end(), [](std::complex<double> z) {
        return std::abs(z) >= stiffStepEigenvalue;
    });
}

// A run of Dormand-Prince; when it looks for stiffness and finds it (see
// nonStiffEvaluations) it stops, with `stiff` set and nothing reached.
Run dormandPrince(SystemSlope F, double x0, const StateVector& y0,
                  const std::vector<double>& abscissae, double tolerance, long limit,
                  long maxEvaluations, bool looksForStiffness) {
    EvaluationCounts counts;
    const CountedSystem counted(F, limit, counts);
    const OdeintSystem system{counted};
    auto stepper = odeint::make_controlled(tolerance, tolerance, odeint::runge_kutta_dopri5<Vector>());
    bool looked = !looksForStiffness;
    const auto tryStep = [&](Vector& y, double& x, double& dt) {
        const bool accepted = stepper.try_step(system, y, x, dt) == odeint::success;
        if (!looked && counts.evaluations >= nonStiffEvaluations) {
            looked = true;
            if (stiffAt(counted, x, toState(y, y.size()), dt)) throw StiffnessFound{};
        }
        return accepted;
    };
    try {
        return solve(tryStep, counts, x0, y0, toVector(y0), abscissae, maxEvaluations);
    } catch (const StiffnessFound&) {
        Run stiff;
        stiff.stiff = true;
        stiff.evaluations = counts.evaluations;
        return stiff;
    }
}

Run rosenbrock(SystemSlope F, double x0, const StateVector& y0,
               const std::vector<double>& abscissae, double tolerance, long limit,
               long maxEvaluations) {
    EvaluationCounts counts;
    const CountedSystem counted(F, limit, counts);
    const AutonomousSystem system{counted};
    RosenbrockStepper stepper(system, system, tolerance, tolerance);
    // The component x kept equal to the stepper's abscissa, which lands on
    // each abscissa exactly.
    const auto tryStep = [&](Vector& state, double& x, double& dt) {
        const bool accepted = stepper.tryStep(state, x, dt);
        state.back() = x;
        return accepted;
    };
    Vector start = toVector(y0);
    start.push_back(x0);
    return solve(tryStep, counts, x0, y0, std::move(start), abscissae, maxEvaluations);
}

}  // namespace

std::string systemReferenceUsedNote(ReferenceMethod method, double accuracy) {
    if (method == ReferenceMethod::dormandPrince) return referenceUsedNote(accuracy);
    return "No exact solution is given: the errors are measured against a reference solution "
           "(the library Boost.Odeint's Rosenbrock method of order 4, implicit, for stiff "
           "problems, with step-size control), accurate to about " + errorText(accuracy) +
           " of the solution's size.";
}

SystemReferenceSolution systemReferenceSolution(SystemSlope F, double x0, const StateVector& y0,
                                                const std::vector<double>& abscissae,
                                                long maxEvaluations) {
    SystemReferenceSolution reference;
    if (!std::isfinite(x0) || !std::isfinite(stateSize(y0))) {
        reference.note = "The reference solution needs a start of finite numbers.";
        return reference;
    }
    Run tight = dormandPrince(F, x0, y0, abscissae, referenceTolerance, maxEvaluations,
                              maxEvaluations, true);
    Run loose;
    double tolerance = referenceTolerance;
    if (tight.stiff) {
        reference.method = ReferenceMethod::rosenbrock;
        tolerance = stiffReferenceTolerance;
        long used = tight.evaluations;
        tight = rosenbrock(F, x0, y0, abscissae, tolerance, maxEvaluations - used, maxEvaluations);
        used += tight.evaluations;
        loose = rosenbrock(F, x0, y0, abscissae, looserStiffReferenceTolerance,
                           maxEvaluations - used, maxEvaluations);
        reference.slopeEvaluations = used + loose.evaluations;
    } else {
        loose = dormandPrince(F, x0, y0, abscissae, looserReferenceTolerance,
                              maxEvaluations - tight.evaluations, maxEvaluations, false);
        reference.slopeEvaluations = tight.evaluations + loose.evaluations;
    }
    // The tighter run says why it stopped, else the looser one.
    reference.note = !tight.note.empty() ? tight.note : loose.note;
    reference.end = tight.end ? tight.end : loose.end;
    reference.accuracy = tolerance;
    const std::size_t reached = std::min(tight.y.size(), loose.y.size());
    for (std::size_t i = 0; i < reached; ++i) {
        double largest = 0;  // max over components of |difference|/max(1, |y_i|)
        for (std::size_t c = 0; c < y0.size(); ++c) {
            const double size = std::max(1.0, std::fabs(tight.y[i][c]));
            largest = std::max(largest, std::fabs(tight.y[i][c] - loose.y[i][c]) / size);
        }
        if (!(largest <= trustedRelativeAccuracy)) {
            reference.untrustedFrom = abscissae[i];
            const std::string untrusted = untrustedReferenceNote(abscissae[i]);
            reference.note = reference.note.empty() ? untrusted : untrusted + " " + reference.note;
            break;
        }
        reference.x.push_back(abscissae[i]);
        reference.y.push_back(tight.y[i]);
        reference.accuracy = std::max(reference.accuracy, largest);
    }
    return reference;
}

}  // namespace pelorin
