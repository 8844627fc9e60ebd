#include "numerics/implicit_step.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "numerics/jacobian.h"
#include "numerics/small_lu.h"
#include "numerics/stability.h"
#include "numerics/state_operations.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <stdexcept>

namespace pelorin {

namespace {

// Every size here is fixed, so that a run's steps allocate nothing.
constexpr std::size_t maxUnknowns = maxImplicitStages * StateVector::maxComponents;
using NewtonFactors = SmallLu<maxUnknowns>;
using NewtonVector = NewtonFactors::Vector;
using NewtonMatrix = NewtonFactors::Matrix;
template <class State>
using Stages = std::array<State, maxImplicitStages>;  // the first `stages` are used

// One equation is computed as a system of one component would be, operation
// for operation, so both give the same bits; these say what a state is made of.
std::size_t components(double) { return 1; }
std::size_t components(const StateVector& y) { return y.size(); }
void requireSameSize(double, double) {}
std::string valueText(double y) { return numberToText(y); }
std::string valueText(const StateVector& y) { return stateText(y); }

// ∂f/∂y of one equation, and J of a system, by the same difference quotients.
SlopeDerivative linearisation(Slope f, double x, double y) { return slopeDerivative(f, x, y); }
Jacobian linearisation(SlopeOf<StateVector> F, double x, const StateVector& y) {
    return jacobian(F, x, y);
}
double entry(const SlopeDerivative& d, std::size_t, std::size_t) { return d.lambda; }
double entry(const Jacobian& J, std::size_t r, std::size_t q) { return J.value(r, q); }
// The tolerances of the quotients, row r of them over scales[r] (Frobenius).
double toleranceNorm(const SlopeDerivative& d, const double* scales) {
    return std::fabs(d.tolerance) / scales[0];
}
double toleranceNorm(const Jacobian& J, const double* scales) {
    double squares = 0;
    for (std::size_t r = 0; r < J.tolerance.size(); ++r) {
        for (std::size_t q = 0; q < J.tolerance.size(); ++q) {
            const double t = J.tolerance(r, q) / scales[r];
            squares += t * t;
        }
    }
    return std::sqrt(squares);
}
bool isFiniteLinearisation(const SlopeDerivative& d) { return std::isfinite(d.lambda); }
bool isFiniteLinearisation(const Jacobian& J) {
    for (std::size_t i = 0; i < J.value.size(); ++i) {
        for (std::size_t j = 0; j < J.value.size(); ++j) {
            if (!std::isfinite(J.value(i, j))) return false;
        }
    }
    return true;
}

// The stage equations of one step, G(K) = 0.
template <class State>
struct StageEquations {
    const ImplicitScheme& scheme;
    SlopeOf<State> F;
    double x0;
    const State& y0;
    double h;

    std::size_t stages() const { return static_cast<std::size_t>(scheme.stages); }
    double stageX(std::size_t j) const { return x0 + scheme.c[j] * h; }
};

// One iterate as the iterations compute with it: the slopes K, the stage
// states Y, the residual G and the sizes NewtonIterate keeps.
template <class State>
struct Iterate {
    int number = 0;
    Stages<State> K, Y, G;
    double residual = 0, update = 0;
    std::optional<double> rate;
    double slopeScale = 1;  // max(1, ||K||)
};

template <class State>
double stagesNorm(const Stages<State>& stages, std::size_t count) {
    double norm = 0;
    for (std::size_t j = 0; j < count; ++j) {
        const double size = stateNorm(stages[j]);
        if (!std::isfinite(size)) return size;
        norm = std::max(norm, size);
    }
    return norm;
}

// Completes the iterate of slopes K: Y_j = y0 + h·Σ_l a_jl·K_l, the sum in
// l's order, and G_j = K_j - F(x0 + c_j·h, Y_j), zero at the stages' solution.
template <class State>
void evaluate(const StageEquations<State>& eq, Iterate<State>& iterate) {
    for (std::size_t j = 0; j < eq.stages(); ++j) {
        State sum = zeroLike(eq.y0);
        for (std::size_t l = 0; l < eq.stages(); ++l) sum = sum + eq.scheme.a[j][l] * iterate.K[l];
        iterate.Y[j] = eq.y0 + eq.h * sum;
        const State slope = eq.F(eq.stageX(j), iterate.Y[j]);
        requireSameSize(slope, iterate.K[j]);
        iterate.G[j] = iterate.K[j] - slope;
    }
    iterate.residual = stagesNorm(iterate.G, eq.stages());
    iterate.slopeScale = std::max(1.0, stagesNorm(iterate.K, eq.stages()));
}

template <class State>
NewtonIterate<State> kept(const Iterate<State>& iterate, std::size_t stages) {
    const auto end = static_cast<std::ptrdiff_t>(stages);
    return {iterate.number,
            {iterate.K.begin(), iterate.K.begin() + end},
            {iterate.Y.begin(), iterate.Y.begin() + end},
            iterate.residual,
            iterate.update,
            iterate.rate};
}

// ΔK = M⁻¹·(-G), the stages' components stacked: stage j's are entries
// j·n to j·n + n - 1. One equation's stages are their own stacking, so
// they are solved in place (a copy there would cost a tenth of the step).
Stages<double> newtonUpdate(const NewtonFactors& lu, const Stages<double>& G, std::size_t count) {
    Stages<double> delta;
    for (std::size_t j = 0; j < count; ++j) delta[j] = -G[j];
    lu.solve(delta.data());
    return delta;
}

Stages<StateVector> newtonUpdate(const NewtonFactors& lu, const Stages<StateVector>& G,
                                 std::size_t count) {
    const std::size_t n = G.front().size();
    NewtonVector v;
    for (std::size_t j = 0; j < count; ++j) {
        for (std::size_t i = 0; i < n; ++i) v[j * n + i] = -G[j][i];
    }
    lu.solve(v.data());
    Stages<StateVector> delta;
    for (std::size_t j = 0; j < count; ++j) {
        delta[j] = StateVector(n);
        for (std::size_t i = 0; i < n; ++i) delta[j][i] = v[j * n + i];
    }
    return delta;
}

// Block (j, l) of I - h·A⊗J is δ_jl·I - h·a_jl·J_j: G_j's derivative with
// respect to K_l, J_j the Jacobian of stage j's block row.
template <class State, class Linearisation>
NewtonMatrix newtonMatrix(const StageEquations<State>& eq, const Stages<Linearisation>& J) {
    const std::size_t n = components(eq.y0);
    NewtonMatrix matrix;
    for (std::size_t j = 0; j < eq.stages(); ++j) {
        for (std::size_t l = 0; l < eq.stages(); ++l) {
            for (std::size_t r = 0; r < n; ++r) {
                for (std::size_t q = 0; q < n; ++q) {
                    const double identity = j == l && r == q ? 1 : 0;
                    matrix[j * n + r][l * n + q] =
                        identity - eq.h * eq.scheme.a[j][l] * entry(J[j], r, q);
                }
            }
        }
    }
    return matrix;
}

// What each row of Newton's matrix is measured against when the matrix is
// judged singular or not: its largest entry, so that a row of huge entries
// (h·a_jl·J for a stiff J) does not hide how far the others keep it from
// singular, as a first stage that needs no slope keeps the trapezoid's. One
// unknown is measured as it stands.
NewtonVector rowScales(const NewtonMatrix& matrix, std::size_t size) {
    NewtonVector scales;
    for (std::size_t row = 0; row < size; ++row) {
        double largest = 0;
        for (std::size_t column = 0; column < size; ++column) {
            largest = std::max(largest, std::fabs(matrix[row][column]));
        }
        scales[row] = size == 1 || largest == 0 ? 1 : largest;
    }
    return scales;
}

// The root of the sum of the squares of the size×size matrix's entries, each
// row over its scale. Where the squares overflow (entries beyond about
// 1E154), taken of the entries over the largest, which would otherwise make
// a matrix far from singular look singular.
double frobeniusNorm(const NewtonMatrix& matrix, std::size_t size, const NewtonVector& scales) {
    double squares = 0, largest = 0;
    for (std::size_t row = 0; row < size; ++row) {
        const double inverse = 1 / scales[row];  // 1 for one unknown: its entries as they are
        for (std::size_t column = 0; column < size; ++column) {
            const double entry = matrix[row][column] * inverse;
            squares += entry * entry;
            largest = std::max(largest, std::fabs(entry));
        }
    }
    if (std::isfinite(squares) || !std::isfinite(largest)) return std::sqrt(squares);
    double scaled = 0;
    for (std::size_t row = 0; row < size; ++row) {
        for (std::size_t column = 0; column < size; ++column) {
            const double entry = matrix[row][column] * (1 / scales[row]) / largest;
            scaled += entry * entry;
        }
    }
    return largest * std::sqrt(scaled);
}

// How far the matrix, each row over its scale, may lie from the true
// I - h·A⊗J so scaled: block (j, l) by |h·a_jl| times the tolerances of J_j's
// quotients (Frobenius), each row over its scale, and a few roundings of the
// whole. A matrix closer than this to a singular one cannot be told from one
// that has no inverse.
template <class State, class Linearisation>
double newtonMatrixTolerance(const StageEquations<State>& eq, const Stages<Linearisation>& J,
                             const NewtonMatrix& matrix, const NewtonVector& scales) {
    const std::size_t n = components(eq.y0);
    double blocks = 0;
    for (std::size_t j = 0; j < eq.stages(); ++j) {
        const double rows = toleranceNorm(J[j], &scales[j * n]);
        for (std::size_t l = 0; l < eq.stages(); ++l) {
            blocks += std::fabs(eq.h * eq.scheme.a[j][l]) * rows;
        }
    }
    const std::size_t size = eq.stages() * n;
    return blocks + 4 * static_cast<double>(size) * std::numeric_limits<double>::epsilon() *
                        frobeniusNorm(matrix, size, scales);
}

// Where an iteration takes the Jacobians of its matrix.
enum class JacobianPoints {
    stepStart,     // one J at (x0, y0) in every block, factored once: simplified Newton
    everyIterate,  // each stage's own at its stage point, factored anew: full Newton
};

// Factors the matrix for iteration k from the iterate `last`; where it
// cannot be used, why.
template <class State>
std::optional<std::string> factor(const StageEquations<State>& eq, JacobianPoints points,
                                  const Iterate<State>& last, int k, NewtonFactors& lu,
                                  NewtonWork& work) {
    using Linearisation = decltype(linearisation(eq.F, eq.x0, eq.y0));
    Stages<Linearisation> J;
    for (std::size_t j = 0; j < eq.stages(); ++j) {
        const bool atStart = points == JacobianPoints::stepStart;
        if (atStart && j > 0) {
            J[j] = J.front();
            continue;
        }
        const double x = atStart ? eq.x0 : eq.stageX(j);
        const State& y = atStart ? eq.y0 : last.Y[j];
        J[j] = linearisation(eq.F, x, y);
        ++work.jacobianEvaluations;
        if (!isFiniteLinearisation(J[j])) {
            return "in iteration " + std::to_string(k) + " the Jacobian at x = " + numberToText(x) +
                   ", y = " + valueText(y) + " is not finite.";
        }
    }
    const NewtonMatrix matrix = newtonMatrix(eq, J);
    const std::size_t size = eq.stages() * components(eq.y0);
    lu.factor(matrix, size);
    const NewtonVector scales = rowScales(matrix, size);
    // A distance that is no number (entries beyond a double's range) is none.
    if (!(lu.distanceFromSingular(scales) > newtonMatrixTolerance(eq, J, matrix, scales))) {
        return "in iteration " + std::to_string(k) + " the matrix I - h·A⊗J is singular.";
    }
    return std::nullopt;
}

// Where the iterate lies from the stages' solution, θ/(1 - θ)·||ΔK|| at the
// rate θ < 1; the update itself where there is no rate yet.
template <class State>
double distanceFromSolution(const Iterate<State>& iterate) {
    return iterate.rate ? *iterate.rate / (1 - *iterate.rate) * iterate.update : iterate.update;
}

template <class State>
bool contracts(const Iterate<State>& iterate) {
    return !iterate.rate || *iterate.rate < 1;
}

// Within safety·tolerance of the solution, or a residual of exactly 0. An
// update within the tolerance that no longer shrinks is rounding: no
// iteration would come closer.
template <class State>
bool converged(const Iterate<State>& iterate, const NewtonSettings& settings) {
    if (iterate.residual == 0) return true;
    if (iterate.number == 0) return false;
    if (!contracts(iterate)) return iterate.update <= settings.tolerance * iterate.slopeScale;
    return distanceFromSolution(iterate) <=
           settings.safety * settings.tolerance * iterate.slopeScale;
}

// Why iterations that keep one Jacobian should stop: at a rate θ >= 1 they
// do not contract, and at θ^remaining/(1 - θ)·||ΔK|| above safety·tolerance
// the remaining iterations would not bring them close enough. Updates within
// the tolerance are left to rounding.
template <class State>
std::optional<std::string> stalled(const Iterate<State>& iterate, double before,
                                   const NewtonSettings& settings) {
    if (!iterate.rate || iterate.update <= settings.tolerance * iterate.slopeScale)
        return std::nullopt;
    const double theta = *iterate.rate;
    const auto rates = [&] {
        return errorText(before) + ", then " + errorText(iterate.update) + " (θ = " +
               errorText(theta) + ")";
    };
    if (theta >= 1) {
        return "in iteration " + std::to_string(iterate.number) + " the update did not shrink: " +
               rates() + ".";
    }
    const double remaining = settings.maxIterations - iterate.number;
    if (std::pow(theta, remaining) / (1 - theta) * iterate.update >
        settings.safety * settings.tolerance * iterate.slopeScale) {
        return "in iteration " + std::to_string(iterate.number) +
               " the update shrank too slowly to " + "converge within " +
               std::to_string(settings.maxIterations) + " iterations: " + rates() + ".";
    }
    return std::nullopt;
}

// Why iterations stopped without converging, and whether they did not close
// in (diverged, crept, or grew beyond a double's range), which iterations
// with other Jacobians might.
struct Stop {
    std::string why;
    bool closingIn = true;
};

// Newton's iterations from every stage at y0, each iterate appended to
// `iterations` where given: none when they converged, with the slopes in
// `last`, else why they stopped.
template <class State>
std::optional<Stop> newtonIterations(const StageEquations<State>& eq, JacobianPoints points,
                                            const NewtonSettings& settings, Iterate<State>& last,
                                            std::vector<NewtonIterate<State>>* iterations,
                                            NewtonWork& work) {
    // Every stage's slope 0, the rest evaluate's: set field by field, as
    // clearing the whole iterate costs as much as a small system's solve.
    last.number = 0;
    last.update = 0;
    last.rate.reset();
    last.K.fill(zeroLike(eq.y0));
    evaluate(eq, last);
    if (iterations) iterations->push_back(kept(last, eq.stages()));
    if (!std::isfinite(last.residual)) return Stop{"the residual at the start is not finite."};
    NewtonFactors lu;
    double before = 0;  // the update before the last
    for (int k = 1; !converged(last, settings); ++k) {
        if (k > settings.maxIterations) {
            return Stop{"after " + std::to_string(settings.maxIterations) +
                            " iterations the update is still " + errorText(last.update) + ".",
                        false};
        }
        if (points == JacobianPoints::stepStart) {
            if (auto why = stalled(last, before, settings)) return Stop{*why, false};
        }
        if (k == 1 || points == JacobianPoints::everyIterate) {
            if (auto why = factor(eq, points, last, k, lu, work)) return Stop{*why};
        }
        const Stages<State> delta = newtonUpdate(lu, last.G, eq.stages());
        ++work.linearSolves;
        for (std::size_t j = 0; j < eq.stages(); ++j) last.K[j] = last.K[j] + delta[j];
        const double update = stagesNorm(delta, eq.stages());
        last.rate = k == 1 ? std::nullopt : std::optional<double>(update / last.update);
        before = last.update;
        last.update = update;
        last.number = k;
        evaluate(eq, last);
        if (iterations) iterations->push_back(kept(last, eq.stages()));
        if (!std::isfinite(last.residual) || !std::isfinite(update)) {
            return Stop{"the residual after iteration " + std::to_string(k) + " is not finite.",
                        false};
        }
    }
    return std::nullopt;
}

// y1 = y0 + h·Σ_j b_j·K_j.
template <class State>
State stepValue(const StageEquations<State>& eq, const Stages<State>& K) {
    State sum = zeroLike(eq.y0);
    for (std::size_t j = 0; j < eq.stages(); ++j) sum = sum + eq.scheme.b[j] * K[j];
    return eq.y0 + eq.h * sum;
}

std::string notConverged(double x0, const std::string& why) {
    return "Newton's method did not converge in the step from x = " + numberToText(x0) + ": " + why;
}

// The step by the simplified Newton method, and where its iterations do not
// close in by the full one, each iterate appended to `iterations` and why
// the simplified iterations stopped written to `restart` where given: its
// value, or why it has none. A start, a Jacobian at (x0, y0) or a matrix
// that cannot be used is not tried again.
template <class State>
std::optional<State> solveStages(const ImplicitScheme& scheme, SlopeOf<State> F, double x0,
                                 const State& y0, double h, const NewtonSettings& settings,
                                 std::string& failure, NewtonWork& work,
                                 std::vector<NewtonIterate<State>>* iterations = nullptr,
                                 std::string* restart = nullptr) {
    if (scheme.stages < 1 || scheme.stages > maxImplicitStages || components(y0) == 0) {
        throw std::invalid_argument("an implicit step takes 1 to " +
                                    std::to_string(maxImplicitStages) + " stages and a state");
    }
    const StageEquations<State> equations{scheme, F, x0, y0, h};
    Iterate<State> last;
    std::optional<Stop> stop =
        newtonIterations(equations, JacobianPoints::stepStart, settings, last, iterations, work);
    if (stop && !stop->closingIn) {
        if (restart) *restart = stop->why;
        stop = newtonIterations(equations, JacobianPoints::everyIterate, settings, last, iterations,
                                work);
    }
    if (stop) {
        failure = notConverged(x0, stop->why);
        return std::nullopt;
    }
    return stepValue(equations, last.K);
}

template <class State>
ImplicitStep<State> keptStep(const ImplicitScheme& scheme, SlopeOf<State> F, double x0,
                             const State& y0, double h, const NewtonSettings& settings) {
    ImplicitStep<State> step;
    step.value = solveStages(scheme, F, x0, y0, h, settings, step.failure, step.work,
                             &step.iterations, &step.restart);
    return step;
}

template <class State>
State valueOrThrow(const ImplicitScheme& scheme, SlopeOf<State> F, double x0, const State& y0,
                   double h, NewtonWork* work) {
    NewtonWork spent;
    std::string failure;
    const std::optional<State> value = solveStages(scheme, F, x0, y0, h, {}, failure, spent);
    if (work) {
        work->jacobianEvaluations += spent.jacobianEvaluations;
        work->linearSolves += spent.linearSolves;
    }
    if (!value) throw NoConvergence(failure);
    return *value;
}

// The scheme of a catalogue method's tableau, kept from one step to the
// next, as a run steps with one method: converting the tableau's exact
// coefficients at every step would cost more than the step's arithmetic.
const ImplicitScheme& cachedScheme(const Tableau& tableau) {
    thread_local const Tableau* last = nullptr;
    thread_local ImplicitScheme scheme;
    if (last != &tableau) {
        scheme = schemeOf(tableau);
        last = &tableau;
    }
    return scheme;
}

}  // namespace

ImplicitStep<StateVector> implicitStep(const ImplicitScheme& scheme, SlopeOf<StateVector> F,
                                       double x0, const StateVector& y0, double h,
                                       const NewtonSettings& settings) {
    return keptStep(scheme, F, x0, y0, h, settings);
}

ImplicitStep<double> implicitStep(const ImplicitScheme& scheme, Slope f, double x0, double y0,
                                  double h, const NewtonSettings& settings) {
    return keptStep(scheme, f, x0, y0, h, settings);
}

double implicitValue(const ImplicitScheme& scheme, Slope f, double x0, double y0, double h,
                     NewtonWork* work) {
    return valueOrThrow(scheme, f, x0, y0, h, work);
}

StateVector implicitValue(const ImplicitScheme& scheme, SlopeOf<StateVector> F, double x0,
                          const StateVector& y0, double h, NewtonWork* work) {
    return valueOrThrow(scheme, F, x0, y0, h, work);
}

ImplicitScheme schemeOf(const Tableau& tableau) {
    if (tableau.stages < 1 || tableau.stages > maxImplicitStages) {
        throw std::invalid_argument("an implicit step takes 1 to " +
                                    std::to_string(maxImplicitStages) + " stages");
    }
    ImplicitScheme scheme;
    scheme.stages = tableau.stages;
    const auto stages = static_cast<std::size_t>(scheme.stages);
    for (std::size_t j = 0; j < stages; ++j) {
        for (std::size_t l = 0; l < stages; ++l) scheme.a[j][l] = tableau.a[j][l].value();
        scheme.b[j] = tableau.b[j].value();
        scheme.c[j] = tableau.c[j].value();
    }
    return scheme;
}

double implicitMethodStep(const Tableau& tableau, double x0, double y0, double h, Slope f,
                          NewtonWork* work) {
    return implicitValue(cachedScheme(tableau), f, x0, y0, h, work);
}

StateVector implicitMethodStep(const Tableau& tableau, double x0, const StateVector& y0, double h,
                               SlopeOf<StateVector> F, NewtonWork* work) {
    return implicitValue(cachedScheme(tableau), F, x0, y0, h, work);
}

}  // namespace pelorin
