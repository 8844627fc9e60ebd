// What the lab's Field page draws over the direction field, on the lesson's
// equation or one the user brought: the chosen method with h, h/2 and h/4,
// every method with h, the exact solution through the start (or, without
// one, a reference solution), and the "Lab steps" rows of the method with h.
#pragma once

#include "methods/methods.h"
#include "numerics/plot_extent.h"
#include "numerics/solution_paths.h"
#include "numerics/step_errors.h"
#include "problem/problem.h"

#include <array>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace pelorin {

struct FieldStudy {
    std::array<SolutionPath, 3> halved;                      // h, h/2, h/4
    std::array<SolutionPath, methodCatalogue.size()> every;  // every method with h
    SampledCurve known;           // the exact or reference solution from x0 to x1
    Comparison comparison = Comparison::none;
    StepErrors labSteps;          // the chosen method with h
    // Each run's global errors against the exact or reference solution.
    std::array<ErrorPath, 3> halvedErrors;
    std::array<ErrorPath, methodCatalogue.size()> everyErrors;
    // Drawn in catalogue order, the method whose curve hides this one's: in
    // the field, and in the plot of the errors.
    std::array<std::optional<std::size_t>, methodCatalogue.size()> everyHiddenUnder,
        everyErrorHiddenUnder;
    // Where the reference found the solution to end; runs past it follow no
    // solution, and a view fitted to the study leaves their points out.
    std::optional<SolutionEnd> end;
    std::vector<std::string> notes;
};

// The step h the page reads, and the method's catalogue row.
struct FieldInputs {
    double h = 0;
    std::size_t method = 0;
};

// Curves closer than this part of the values' span the field draws as one.
inline constexpr double indistinctPart = 0.01;

// With an exact solution the errors are measured against it; without one
// the study computes a reference solution at every abscissa it needs (the
// runs' step points and the curve's samples), and its notes say so and how
// accurate the reference is.
// `stop` ends the study early, with what it has: a study for inputs no
// longer shown is not wanted.
FieldStudy studyField(const Problem& problem, const FieldInputs& inputs, std::stop_token stop = {});

// What the Field page shows of a system: each component against x for the
// chosen method with h, h/2 and h/4, beside the exact or reference
// solution; the runs' errors in the maximum norm; the Lab steps of the
// method with h; and, where the problem keeps an invariant I, its drift
// I(x_i, y_i) - I(x0, y0) along every run.
struct SystemFieldStudy {
    std::array<SystemPath, 3> halved;  // h, h/2, h/4
    std::array<SystemPath, methodCatalogue.size()> every;  // every method with h
    std::vector<double> knownX;        // the exact or reference solution from x0 to x1
    std::vector<StateVector> knownY;   // a component NaN where it is not known
    Comparison comparison = Comparison::none;
    SystemStepErrors labSteps;
    std::array<ErrorPath, 3> halvedErrors;
    std::array<ErrorPath, methodCatalogue.size()> everyErrors;
    // I(x_i, y_i) - I(x0, y0) at every step of h, h/2 and h/4; empty
    // without an invariant.
    std::array<std::vector<double>, 3> drift;
    // The values a view of the components holds: the known solution's,
    // and the runs' as far as they stay within viewReach of its span, so
    // that a run that blows up does not flatten the solution to a line;
    // for h, h/2 and h/4, and for every method; and what the notes say of
    // the runs that leave the view (empty when none does).
    Extent values, everyValues;
    std::string leavingNote, everyLeavingNote;
    std::vector<std::string> notes;
};
inline constexpr double viewReach = 2;
SystemFieldStudy studySystemField(const Problem& problem, const FieldInputs& inputs,
                                  std::stop_token stop = {});

// The samples a system's studies compare with: its exact solution, else a
// reference computed at the abscissae asked for (NaN past where it
// stopped), with the note that says so; empty when it has neither.
struct SystemComparison {
    SystemSolutionSamples samples;
    Comparison comparison = Comparison::none;
};
SystemComparison systemComparison(const Problem& problem);

// A solution known only at the abscissae `x` (values `y`): the value at one
// of them, and NaN anywhere else. The abscissae are sorted, ascending or
// descending.
KnownSolution tabulatedSolution(std::vector<double> x, std::vector<double> y);

}  // namespace pelorin
