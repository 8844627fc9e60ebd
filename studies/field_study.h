// What the lab's Field page draws over the direction field, on the lesson's
// equation or one the user brought: the chosen method with h, h/2 and h/4,
// a set of methods with h, the exact solution through the start (or, without
// one, a reference solution), and the "Lab steps" rows of the method with h.
#pragma once

#include "methods/methods.h"
#include "numerics/method_sets.h"
#include "numerics/plot_extent.h"
#include "numerics/solution_paths.h"
#include "numerics/step_errors.h"
#include "problem/problem.h"
#include "studies/known_solution.h"

#include <array>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace pelorin {

// The runs the Field page sets side by side with one h: the window's seven
// explicit methods (and the chosen one where it is another explicit one),
// the implicit one-step methods beside the chosen one, the multistep
// methods beside it, or the symplectic ones beside it: the sets of
// sideBySideMethodSets, in their order.
enum class SideBySide { explicitMethods, implicitMethods, multistepMethods, symplecticMethods };
inline constexpr std::size_t sideBySideSets = sideBySideMethodSets.size();
// The catalogue rows of a set, in catalogue order.
std::vector<std::size_t> sideBySideRows(SideBySide set, std::size_t chosen);

// The chosen method's runs by their steps, as the pages and notes name them.
inline constexpr std::array<const char*, 3> halvedRunNames{"h", "h/2", "h/4"};

// How far from the known solution's span, in spans, a view of runs side by
// side reaches.
inline constexpr double viewReach = 2;

// For each run of a set, the later one of the same set whose curve hides it.
using HiddenRuns = PerMethod<std::optional<std::size_t>>;

// What the Field page draws of one equation (State double), or of a system
// (StateVector) each component against x: the chosen method with h, h/2
// and h/4, a set of methods side by side with h, beside the exact or
// reference solution; the runs' errors (a system's in the maximum norm),
// their drift in an invariant, and the Lab steps of the method with h.
// Each fact is held alike for any number of components.
template <class State>
struct FieldStudyOf {
    std::array<PathOf<State>, 3> halved;  // h, h/2, h/4
    PerMethod<PathOf<State>> every;  // the set shown side by side with h; the others empty
    Comparison comparison = Comparison::none;
    StepErrorsOf<State> labSteps;  // the chosen method with h
    // Each run's global errors against the exact or reference solution.
    std::array<ErrorPath, 3> halvedErrors;
    PerMethod<ErrorPath> everyErrors;
    // The set shown drawn in catalogue order, the method whose curve hides
    // this one's: in the field (a system's in every component), and in the
    // plot of the errors.
    std::array<HiddenRuns, sideBySideSets> hiddenUnder, errorHiddenUnder;
    std::vector<std::string> notes;
    // Where the reference found the solution to end; runs past it follow no
    // solution, and a view fitted to the study leaves their points out.
    std::optional<SolutionEnd> end;

    // The exact or reference solution from x0 to x1 as the page draws it,
    // a curve for each component, broken where its value is not finite (a
    // system's reference is NaN past where it stopped).
    std::vector<SampledCurve> known;
    // For a multistep method: what its starting values carry of the error
    // at the run's end, beside a run started from the known solution (a
    // system's errors in the maximum norm).
    std::string startingNote;

    // Where the problem has an invariant I (one equation may have one too),
    // I(x_i, y_i) - I(x0, y0) at every step of h, h/2 and h/4, and of every
    // method of the set shown with h, up to the first point beyond
    // computableRange; empty without one. For an invariant the equation
    // does not keep (checkInvariant) that would be the solution's own change
    // of I as much as the method's: each run's I is measured against the
    // known solution's at the same x instead, I(x_i, y_i) - I(x_i, y(x_i)),
    // the method's error in I.
    std::array<std::vector<double>, 3> drift;
    PerMethod<std::vector<double>> everyDrift;
    double invariantAtStart = 0;  // I(x0, y0)
    // Empty for a drift from the start; else the solution it is measured
    // against, as the notes name it: "the reference solution".
    std::string driftAgainst;
    // The runs hidden in the drift, on a linear and on a logarithmic axis.
    std::array<HiddenRuns, sideBySideSets> driftHiddenUnder, logDriftHiddenUnder;

    // The views of the runs, of h, h/2 and h/4 and of each set: the values
    // each holds, the known solution's and the runs' (before the solution's
    // end), the runs it leaves out, row by row, and the note naming them
    // (empty when none). A run that strays beyond viewReach of the
    // solution's span is left out, so that it does not flatten the solution
    // to a line: from every view of a system's components, and from one
    // equation's beside the implicit methods alone, where the explicit ones
    // may blow up; its other views hold every run.
    Extent values;
    std::array<Extent, sideBySideSets> everyValues;
    std::array<PerMethod<bool>, sideBySideSets> leavesView;
    std::string leavingNote;
    std::array<std::string, sideBySideSets> everyLeavingNote;

    // The view of a set, or of h, h/2 and h/4 where there is none.
    const Extent& valuesOf(std::optional<SideBySide> set) const {
        return set ? everyValues[static_cast<std::size_t>(*set)] : values;
    }
    const std::string& leavingNoteOf(std::optional<SideBySide> set) const {
        return set ? everyLeavingNote[static_cast<std::size_t>(*set)] : leavingNote;
    }
};
using FieldStudy = FieldStudyOf<double>;

// The step h the page reads, the method's catalogue row, how the multistep
// methods start and which is the own one, and the set of methods shown
// side by side with h, whose runs alone the study makes.
struct FieldInputs {
    double h = 0;
    std::size_t method = 0;
    MethodSettings methods{};
    std::optional<SideBySide> sideBySide{};
};
// The methods of the set shown, and the chosen one where it belongs beside
// them; none without a set.
StudiedMethods sideBySideMethods(const FieldInputs& inputs);

// Curves closer than this part of the values' span the field draws as one.
inline constexpr double indistinctPart = 0.01;

// With an exact solution the errors are measured against it; without one
// the study computes a reference solution at every abscissa it needs (the
// runs' step points and the curve's samples; a system's, run by run), and
// its notes say so and how accurate the reference is.
// `stop` ends the study early, with what it has: a study for inputs no
// longer shown is not wanted.
template <class State = double>
FieldStudyOf<State> studyField(const Problem& problem, const FieldInputs& inputs,
                               std::stop_token stop = {});

// The samples a system's studies compare with: its exact solution, else a
// reference computed at the abscissae asked for (NaN past where it
// stopped), with the note that says so; empty when it has neither.
struct KnownSamples {
    SolutionSamplesOf<StateVector> samples;
    Comparison comparison = Comparison::none;
};
KnownSamples systemComparison(const Problem& problem);

// A solution known only at the abscissae `x` (values `y`): the value at one
// of them, and NaN anywhere else. The abscissae are sorted, ascending or
// descending.
KnownSolution tabulatedSolution(std::vector<double> x, std::vector<double> y);

}  // namespace pelorin
