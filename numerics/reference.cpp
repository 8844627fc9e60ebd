// A single equation's reference solution, made as a system of one's
// (numerics/system_reference.cpp), and the note that names its method.
#include "numerics/reference.h"

#include "base/number_text.h"
#include "numerics/reference_steps.h"
#include "numerics/system_reference.h"

#include <string_view>

namespace pelorin {

std::string_view referenceMethodWords(ReferenceMethod method) {
    switch (method) {
    case ReferenceMethod::fehlberg:
        return "Fehlberg's embedded 7(8) pair, the library Boost.Odeint's "
               "runge_kutta_fehlberg78, with step-size control";
    case ReferenceMethod::rosenbrock:
        return "the library Boost.Odeint's Rosenbrock method of order 4, implicit, for stiff "
               "problems, with step-size control";
    case ReferenceMethod::dormandPrince:
        break;
    }
    return "the library Boost.Odeint's Dormand-Prince method with step-size control";
}

std::string referenceUsedNote(double relativeAccuracy, ReferenceMethod method) {
    return "No exact solution is given: the errors are measured against a reference solution (" +
           std::string(referenceMethodWords(method)) + "), accurate to about " +
           errorText(relativeAccuracy) + " of the solution's size.";
}

// A single equation's reference is a system of one's, but keeps to the
// explicit pair as long as its evaluations last, gives each of its two runs
// the whole limit of evaluations, and is always trusted for measuring.
ReferenceSolution referenceSolution(Slope f, double x0, double y0,
                                    const std::vector<double>& abscissae, long maxEvaluations,
                                    ReferenceAccuracy accuracy) {
    const auto asSystem = [f](double x, const StateVector& y) { return StateVector{f(x, y[0])}; };
    const ReferenceRules rules{
        .stiffSwitch = StiffSwitch::whenOutOfEvaluations,
        .sharesEvaluations = false,
        .trust = measuringTrust};
    const ComparedReference compared =
        comparedReference(asSystem, x0, {y0}, abscissae, maxEvaluations, accuracy, rules);
    const SystemReferenceSolution& system = compared.solution;
    ReferenceSolution reference;
    reference.x = system.x;
    for (const StateVector& y : system.y) reference.y.push_back(y[0]);
    reference.accuracy = compared.absoluteAccuracy;
    reference.relativeAccuracy = system.accuracy;
    reference.method = system.method;
    reference.slopeEvaluations = system.slopeEvaluations;
    reference.end = system.end;
    reference.untrustedFrom = system.untrustedFrom;
    reference.note = system.note;
    return reference;
}

}  // namespace pelorin
