#include "numerics/implicit_step.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "numerics/jacobian.h"
#include "numerics/state_operations.h"

#include <Eigen/SVD>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <stdexcept>

namespace pelorin {

namespace {

constexpr int maxUnknowns = maxImplicitStages * static_cast<int>(StateVector::maxComponents);
using NewtonMatrix =
    Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::ColMajor, maxUnknowns, maxUnknowns>;
using NewtonVector = Eigen::Matrix<double, Eigen::Dynamic, 1, Eigen::ColMajor, maxUnknowns, 1>;
using Stages = std::vector<StateVector>;

std::size_t stageCount(const ImplicitScheme& scheme) { return static_cast<std::size_t>(scheme.stages); }

double stageX(const ImplicitScheme& scheme, double x0, double h, std::size_t j) {
    return x0 + scheme.c[j] * h;
}

// Y_j = y0 + h·Σ_l a_jl·K_l, the sum in l's order.
Stages stageStates(const ImplicitScheme& scheme, const StateVector& y0, double h, const Stages& K) {
    Stages states;
    for (std::size_t j = 0; j < stageCount(scheme); ++j) {
        StateVector sum = zeroLike(y0);
        for (std::size_t l = 0; l < stageCount(scheme); ++l) sum = sum + scheme.a[j][l] * K[l];
        states.push_back(y0 + h * sum);
    }
    return states;
}

// G_j = K_j - F(x0 + c_j·h, Y_j): zero at the stages' solution.
Stages residuals(const ImplicitScheme& scheme, SystemSlope F, double x0, double h, const Stages& K,
                 const Stages& Y) {
    Stages G;
    for (std::size_t j = 0; j < stageCount(scheme); ++j) {
        const StateVector slope = F(stageX(scheme, x0, h, j), Y[j]);
        requireSameSize(slope, K[j]);
        G.push_back(K[j] - slope);
    }
    return G;
}

double stagesNorm(const Stages& stages) {
    double norm = 0;
    for (const StateVector& stage : stages) {
        const double size = stateNorm(stage);
        if (!std::isfinite(size)) return size;
        norm = std::max(norm, size);
    }
    return norm;
}

NewtonVector stacked(const Stages& stages) {
    const std::size_t n = stages.front().size();
    NewtonVector v(static_cast<Eigen::Index>(stages.size() * n));
    for (std::size_t j = 0; j < stages.size(); ++j) {
        for (std::size_t i = 0; i < n; ++i) v(static_cast<Eigen::Index>(j * n + i)) = stages[j][i];
    }
    return v;
}

Stages unstacked(const NewtonVector& v, std::size_t stages, std::size_t n) {
    Stages result(stages, StateVector(n));
    for (std::size_t j = 0; j < stages; ++j) {
        for (std::size_t i = 0; i < n; ++i) result[j][i] = v(static_cast<Eigen::Index>(j * n + i));
    }
    return result;
}

bool isFiniteMatrix(const SquareMatrix& matrix) {
    for (std::size_t i = 0; i < matrix.size(); ++i) {
        for (std::size_t j = 0; j < matrix.size(); ++j) {
            if (!std::isfinite(matrix(i, j))) return false;
        }
    }
    return true;
}

// Block (j, l) of I - h·A⊗J is δ_jl·I - h·a_jl·J_j, with J_j the Jacobian
// at stage j's own point: G_j's derivative with respect to K_l.
NewtonMatrix newtonMatrix(const ImplicitScheme& scheme, double h, const std::vector<Jacobian>& J) {
    const std::size_t n = J.front().value.size();
    const auto size = static_cast<Eigen::Index>(stageCount(scheme) * n);
    NewtonMatrix matrix = NewtonMatrix::Identity(size, size);
    for (std::size_t j = 0; j < stageCount(scheme); ++j) {
        for (std::size_t l = 0; l < stageCount(scheme); ++l) {
            for (std::size_t r = 0; r < n; ++r) {
                for (std::size_t q = 0; q < n; ++q) {
                    matrix(static_cast<Eigen::Index>(j * n + r), static_cast<Eigen::Index>(l * n + q)) -=
                        h * scheme.a[j][l] * J[j].value(r, q);
                }
            }
        }
    }
    return matrix;
}

// How far the matrix may lie from the true I - h·A⊗J: block (j, l) by
// |h·a_jl| times the tolerances of J_j's quotients (Frobenius), and a few
// roundings of the whole. A smallest singular value within this says that a
// matrix the quotients cannot tell from it has no inverse.
double newtonMatrixTolerance(const ImplicitScheme& scheme, double h, const std::vector<Jacobian>& J,
                             const NewtonMatrix& matrix) {
    double blocks = 0;
    for (std::size_t j = 0; j < stageCount(scheme); ++j) {
        for (std::size_t l = 0; l < stageCount(scheme); ++l) {
            blocks += std::fabs(h * scheme.a[j][l]) * frobeniusNorm(J[j].tolerance);
        }
    }
    return blocks + 4 * static_cast<double>(matrix.rows()) * std::numeric_limits<double>::epsilon() *
                        matrix.norm();
}

// y1 = y0 + h·Σ_j b_j·K_j.
StateVector stepValue(const ImplicitScheme& scheme, const StateVector& y0, double h, const Stages& K) {
    StateVector sum = zeroLike(y0);
    for (std::size_t j = 0; j < stageCount(scheme); ++j) sum = sum + scheme.b[j] * K[j];
    return y0 + h * sum;
}

std::string notConverged(double x0, const std::string& why) {
    return "Newton's method did not converge in the step from x = " + numberToText(x0) + ": " + why;
}

bool converged(const NewtonIterate<StateVector>& iterate, double tolerance) {
    return iterate.residual == 0 ||
           (iterate.number > 0 &&
            iterate.update <= tolerance * std::max(1.0, stagesNorm(iterate.slopes)));
}

}  // namespace

ImplicitStep<StateVector> implicitStep(const ImplicitScheme& scheme, SystemSlope F, double x0,
                                       const StateVector& y0, double h, const NewtonSettings& settings) {
    if (scheme.stages < 1 || scheme.stages > maxImplicitStages || y0.size() == 0) {
        throw std::invalid_argument("an implicit step takes 1 to 3 stages and a state");
    }
    ImplicitStep<StateVector> step;
    const std::size_t n = y0.size(), stages = stageCount(scheme);
    Stages G;  // the last iterate's residual, which the next update solves for
    auto record = [&](int number, Stages K, double update) {
        Stages Y = stageStates(scheme, y0, h, K);
        G = residuals(scheme, F, x0, h, K, Y);
        const double residual = stagesNorm(G);
        step.iterations.push_back({number, std::move(K), std::move(Y), residual, update});
        return std::isfinite(residual);
    };
    auto fail = [&](const std::string& why) {
        step.failure = notConverged(x0, why);
        return step;
    };

    if (!record(0, Stages(stages, zeroLike(y0)), 0)) {
        return fail("the residual at the start is not finite.");
    }
    for (int k = 1; !converged(step.iterations.back(), settings.tolerance); ++k) {
        if (k > settings.maxIterations) {
            return fail("after " + std::to_string(settings.maxIterations) +
                        " iterations the update is still " +
                        errorText(step.iterations.back().update) + ".");
        }
        const NewtonIterate<StateVector>& last = step.iterations.back();
        std::vector<Jacobian> J;
        for (std::size_t j = 0; j < stages; ++j) {
            const double x = stageX(scheme, x0, h, j);
            J.push_back(jacobian(F, x, last.states[j]));
            ++step.work.jacobianEvaluations;
            if (!isFiniteMatrix(J.back().value)) {
                return fail("in iteration " + std::to_string(k) + " the Jacobian at x = " +
                            numberToText(x) + ", y = " + stateText(last.states[j]) +
                            " is not finite.");
            }
        }
        const NewtonMatrix matrix = newtonMatrix(scheme, h, J);
        const Eigen::JacobiSVD<NewtonMatrix> svd(matrix, Eigen::ComputeFullU | Eigen::ComputeFullV);
        ++step.work.linearSolves;
        if (svd.singularValues()(matrix.rows() - 1) <= newtonMatrixTolerance(scheme, h, J, matrix)) {
            return fail("in iteration " + std::to_string(k) + " the matrix I - h·A⊗J is singular.");
        }
        const Stages delta = unstacked(svd.solve(-stacked(G)).eval(), stages, n);
        Stages K = last.slopes;
        for (std::size_t j = 0; j < stages; ++j) K[j] = K[j] + delta[j];
        const double update = stagesNorm(delta);
        if (!record(k, std::move(K), update) || !std::isfinite(update)) {
            return fail("the residual after iteration " + std::to_string(k) + " is not finite.");
        }
    }
    step.value = stepValue(scheme, y0, h, step.iterations.back().slopes);
    return step;
}

ImplicitStep<double> implicitStep(const ImplicitScheme& scheme, Slope f, double x0, double y0,
                                  double h, const NewtonSettings& settings) {
    const auto asSystem = [f](double x, const StateVector& y) { return StateVector{f(x, y[0])}; };
    const ImplicitStep<StateVector> system =
        implicitStep(scheme, SystemSlope(asSystem), x0, StateVector{y0}, h, settings);
    const auto firstComponents = [](const std::vector<StateVector>& states) {
        std::vector<double> values;
        for (const StateVector& y : states) values.push_back(y[0]);
        return values;
    };
    ImplicitStep<double> step;
    if (system.value) step.value = (*system.value)[0];
    step.failure = system.failure;
    step.work = system.work;
    for (const NewtonIterate<StateVector>& iterate : system.iterations) {
        step.iterations.push_back({iterate.number, firstComponents(iterate.slopes),
                                   firstComponents(iterate.states), iterate.residual, iterate.update});
    }
    return step;
}

ImplicitScheme schemeOf(const Tableau& tableau) {
    if (tableau.stages < 1 || tableau.stages > maxImplicitStages) {
        throw std::invalid_argument("an implicit step takes 1 to 3 stages");
    }
    ImplicitScheme scheme;
    scheme.stages = tableau.stages;
    for (std::size_t j = 0; j < stageCount(scheme); ++j) {
        for (std::size_t l = 0; l < stageCount(scheme); ++l) scheme.a[j][l] = tableau.a[j][l].value();
        scheme.b[j] = tableau.b[j].value();
        scheme.c[j] = tableau.c[j].value();
    }
    return scheme;
}

namespace {

template <class State, class SlopeFunction>
State valueOrThrow(const Tableau& tableau, double x0, const State& y0, double h, SlopeFunction f,
                   NewtonWork* work) {
    ImplicitStep<State> step = implicitStep(schemeOf(tableau), f, x0, y0, h);
    if (work) {
        work->jacobianEvaluations += step.work.jacobianEvaluations;
        work->linearSolves += step.work.linearSolves;
    }
    if (!step.value) throw NoConvergence(step.failure);
    return *step.value;
}

}  // namespace

double implicitMethodStep(const Tableau& tableau, double x0, double y0, double h, Slope f,
                          NewtonWork* work) {
    return valueOrThrow(tableau, x0, y0, h, f, work);
}

StateVector implicitMethodStep(const Tableau& tableau, double x0, const StateVector& y0, double h,
                               SystemSlope F, NewtonWork* work) {
    return valueOrThrow(tableau, x0, y0, h, F, work);
}

}  // namespace pelorin
