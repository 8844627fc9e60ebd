#include "studies/known_solution.h"

#include "numerics/reference.h"
#include "numerics/state_operations.h"
#include "studies/field_study.h"

#include <limits>
#include <type_traits>

namespace pelorin {

SolutionSamples knownSolution(const Problem& problem) {
    if (const KnownSolution exact = problem.exactOf<double>()) {
        return [exact](const std::vector<double>& abscissae) {
            std::vector<double> values;
            for (double x : abscissae) values.push_back(exact(x));
            return values;
        };
    }
    return [slope = problem.equation.slope, x0 = problem.x0,
            y0 = problem.y0[0]](const std::vector<double>& abscissae) {
        std::vector<double> values = referenceSolution(*slope, x0, y0, abscissae).y;
        // Where the reference stopped, nothing is known.
        values.resize(abscissae.size(), std::numeric_limits<double>::quiet_NaN());
        return values;
    };
}

std::string knownSolutionName(const Problem& problem) {
    return problem.comparedWithReference() ? "reference" : "exact solution";
}

SampledCurve knownCurve(const Problem& problem, double from, double to) {
    if (problem.isSystem()) return {};
    const std::vector<double> x = curveAbscissae(from, to);
    return sampledCurve(x, knownSolution(problem)(x));
}

std::vector<SampledCurve> knownCurves(const Problem& problem, double from, double to) {
    if (!problem.isSystem()) return {knownCurve(problem, from, to)};
    const std::vector<double> x = curveAbscissae(from, to);
    const std::vector<StateVector> values = systemComparison(problem).samples(x);
    std::vector<SampledCurve> curves;
    for (std::size_t k = 0; k < problem.components(); ++k) {
        curves.push_back(sampledCurve(x, componentOf(values, k)));
    }
    return curves;
}

std::optional<SolutionEnd> solutionEnd(const Problem& problem) {
    if (!problem.comparedWithReference()) return std::nullopt;
    const auto end =
        referenceSolution(problem.slopeOf<double>(), problem.x0, problem.y0[0], {problem.x1}).end;
    if (!end) return std::nullopt;
    return SolutionEnd{problem.x0, *end};
}

Start startOf(const Problem& problem, const MethodSettings& settings) {
    if (settings.start) return {&settings.methodAt(*settings.start), {}};
    return {nullptr, [samples = knownSolution(problem)](double x) { return samples({x}).front(); }};
}

StartOf<StateVector> systemStartOf(const Problem& problem, const MethodSettings& settings) {
    if (settings.start) return {&settings.methodAt(*settings.start), {}};
    if (!problem.isSystem()) {
        return {nullptr, [known = startOf(problem, settings).solution](double x) {
                    return StateVector{known(x)};
                }};
    }
    return {nullptr, [samples = systemComparison(problem).samples](double x) {
                return samples({x}).front();
            }};
}

template <class State>
PosedProblem<State> posedAs(const Problem& problem, const MethodSettings& settings) {
    if constexpr (std::is_same_v<State, double>) {
        return {problem.slopeOf<double>(), problem.y0[0], problem.exactOf<double>(),
                startOf(problem, settings)};
    } else {
        return {problem.slopeOf<StateVector>(), problem.y0, problem.exactOf<StateVector>(),
                systemStartOf(problem, settings)};
    }
}
template PosedProblem<double> posedAs(const Problem&, const MethodSettings&);
template PosedProblem<StateVector> posedAs(const Problem&, const MethodSettings&);

std::string startName(const Problem& problem, const MethodSettings& settings) {
    if (settings.start) return std::string(labCatalogue()[*settings.start].caption);
    return "the " + knownSolutionName(problem);
}

}  // namespace pelorin
