// The solution through a problem's start that the lab's pages compare the
// methods with: the exact one when it is known, else the reference.
#pragma once

#include "numerics/solution_paths.h"
#include "problem/problem.h"

#include <cstddef>
#include <optional>
#include <string>

namespace pelorin {

// At many abscissae at once: a reference is computed for all of them in one
// run, and is NaN where it stopped.
SolutionSamples knownSolution(const Problem& problem);

// Its name in a legend: "exact solution" or "reference".
std::string knownSolutionName(const Problem& problem);

// It sampled densely from `from` to `to`, for a smooth curve between a
// run's steps however large they are; empty for a system.
SampledCurve knownCurve(const Problem& problem, double from, double to);
// The same of every component, a system's too.
std::vector<SampledCurve> knownCurves(const Problem& problem, double from, double to);

// Where the solution through (x0, y0) ends before x1, as the reference finds
// it on a problem without an exact solution; empty otherwise.
std::optional<SolutionEnd> solutionEnd(const Problem& problem);

// How the lab runs its multistep methods: the one-step method (catalogue
// row) their first values come from, or none for the known solution's own
// values; and the teacher's own methods where typed.
struct MethodSettings {
    std::optional<std::size_t> start = catalogueRow(methodByCaption(textbookStart));
    const OwnMultistep* ownMultistep = nullptr;  // numerics' ownMultistepOf keeps it
    const OwnRungeKutta* ownRungeKutta = nullptr;  // ownRungeKuttaOf keeps it

    TypedMethods typed() const {
        return {ownMultistep ? &ownMultistep->entry : nullptr,
                ownRungeKutta ? &ownRungeKutta->entry : nullptr};
    }
    // The method of a catalogue row, an own one for its row.
    const Method& methodAt(std::size_t row) const { return pelorin::methodAt(row, typed()); }
};

// The start the settings choose on the problem: the one-step method, or the
// exact solution, else the reference, at the starting abscissae (NaN where
// the reference does not reach: the run then stops with a note).
Start startOf(const Problem& problem, const MethodSettings& settings);
// A single equation's start is startOf's, value for value.
StartOf<StateVector> systemStartOf(const Problem& problem, const MethodSettings& settings);

// The problem as a run of State steps it (a number for one equation, the
// components for a system): its slope, start and exact solution (empty
// without one), and where its multistep methods take their first values.
template <class State>
struct PosedProblem {
    SlopeOf<State> f;
    State y0;
    KnownStateOf<State> exact;
    StartOf<State> start;
};
template <class State>
PosedProblem<State> posedAs(const Problem& problem, const MethodSettings& settings = {});

// "Runge-Kutta 4", "the exact solution" or "the reference".
std::string startName(const Problem& problem, const MethodSettings& settings);

}  // namespace pelorin
