#include "lab/inputs.h"

#include "methods/exact_solution.h"
#include "numerics/reference.h"

#include <limits>

pelorin::Slope labSlope(const LabInputs& inputs) {
    if (inputs.equation.lesson || !inputs.equation.slope) return pelorin::f1;
    return *inputs.equation.slope;
}

pelorin::SolutionSamples knownSolution(const LabInputs& inputs) {
    const double x0 = inputs.x0, y0 = inputs.y0;
    if (inputs.equation.lesson || !inputs.equation.slope) {
        return [exact = pelorin::ExactSolution(x0, y0)](const std::vector<double>& abscissae) {
            std::vector<double> values;
            for (double x : abscissae) values.push_back(exact(x));
            return values;
        };
    }
    if (const auto exact = inputs.equation.exact) {
        return [exact](const std::vector<double>& abscissae) {
            std::vector<double> values;
            for (double x : abscissae) values.push_back((*exact)(x));
            return values;
        };
    }
    return [slope = inputs.equation.slope, x0, y0](const std::vector<double>& abscissae) {
        std::vector<double> values = pelorin::referenceSolution(*slope, x0, y0, abscissae).y;
        // Where the reference stopped, nothing is known.
        values.resize(abscissae.size(), std::numeric_limits<double>::quiet_NaN());
        return values;
    };
}

namespace {

// A typed equation without an exact solution is compared with the reference.
bool usesReference(const LabInputs& inputs) {
    return !inputs.equation.lesson && inputs.equation.slope && !inputs.equation.exact;
}

}  // namespace

std::string knownSolutionName(const LabInputs& inputs) {
    return usesReference(inputs) ? "reference" : "exact solution";
}

std::optional<pelorin::SolutionEnd> solutionEnd(const LabInputs& inputs) {
    if (!inputs.readable || !usesReference(inputs)) return std::nullopt;
    const auto end =
        pelorin::referenceSolution(*inputs.equation.slope, inputs.x0, inputs.y0, {inputs.x1}).end;
    if (!end) return std::nullopt;
    return pelorin::SolutionEnd{inputs.x0, *end};
}
