// A method's steps beside a solution known at every x: per step the global
// error (y minus the known value), the local error (the method's step taken
// from the known value at the previous x, minus the known value at this x)
// and, for an embedded pair, the method's own estimate of the error of the
// step it took. A system's rows give every component's global error and
// their maximum norm (see maximumNormNote), and the norm of the estimate,
// worked out per component from the stages as for one equation. The "Steps
// and errors" window shows them for the last calculation, the lab's "Lab
// steps" table for the lab's problem.
#pragma once

#include "base/text_table.h"
#include "methods/methods.h"
#include "numerics/solution_paths.h"
#include "run/calculation.h"

#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// A row of a run beside a solution known at every x; State is a number for
// one equation, the components for a system.
template <class State>
struct StepErrorOf {
    int i = 0;
    double x = 0;
    State y{};
    // The known solution and y minus it (the global error); empty when
    // nothing is compared. One equation's are also empty where the value is
    // not finite (it overflowed); a system's keep every component, and its
    // cells say which have no value.
    std::optional<State> exact, globalError;
    // The step from the known value minus the known value (one equation's
    // only), and the method's estimate of the error of the step it took (a
    // system's in the maximum norm): empty at the start, i = 0, where no step
    // was taken, where a value is not finite, and for a method without one.
    std::optional<State> localError;
    std::optional<double> estimate;
};
using StepError = StepErrorOf<double>;

// What the errors are measured against.
enum class Comparison {
    exact,      // the exact solution
    reference,  // a solution computed far more accurately than the methods
    none,       // nothing: the rows have x and y (and the estimate) only
};

template <class State>
struct StepErrorsOf {
    const Method* method = nullptr;        // the method whose heading was listed
    bool hasEstimate = false;              // the method carries an embedded estimate
    Comparison comparison = Comparison::exact;
    std::size_t components = 0;            // n, the size of every state
    std::vector<StepErrorOf<State>> rows;  // the start and every step stored
    std::vector<std::string> notes;        // where the rows stop short of x1, in words
    // Where the solution compared with ends: rows at or past it have nothing
    // to be compared with.
    std::optional<SolutionEnd> end;
    // Where a reference stops being accurate enough to measure errors
    // against: rows at or past it have no value of it.
    std::optional<SolutionEnd> trustEnds;
    // Rows 1 … startingValues hold a multistep method's starting values.
    long startingValues = 0;
};
using StepErrors = StepErrorsOf<double>;

// The rows of a run of path.method with step path.h on y' = f(x, y) through
// the points path.x[i], path.y[i] (i = 0 being the start), against
// `solution`: the exact solution when `comparison` is exact, a reference
// when it is reference; with an empty solution the comparison is none.
// A multistep method's local error is its formula's step from the known
// values at the k points before; a starting value's is the step of the
// method it came from, `start`, from the known value before it.
StepErrors stepErrorsAlong(const SolutionPath& path, Slope f, const KnownSolution& solution,
                           Comparison comparison = Comparison::exact, const Start& start = {});
// A system's, against `solution` asked for at all the path's points at once;
// its rows have no local error.
StepErrorsOf<StateVector> stepErrorsAlong(const PathOf<StateVector>& path, SlopeOf<StateVector> F,
                                          const SolutionSamplesOf<StateVector>& solution,
                                          Comparison comparison = Comparison::exact);

// Computes the rows from what the calculation kept: its numerical table, its
// start (x0, y0) and its h, against the exact solution of f1 through the
// start. A calculation that failed gives the rows it had stored before it
// stopped.
StepErrors stepErrors(const Calculation& calculation);

// The "Lab steps" table lists at most this many steps, and says so when the
// run has more.
inline constexpr long labStepsShown = 1000;

// The rows of the lab's run: `method` from (x0, y0) towards x1 with steps of
// |h| (as solutionPath takes them), at most labStepsShown steps, against
// `solution`. Its notes say where the run stopped and when the table lists
// fewer steps than the run has.
StepErrors labStepErrors(const Method& method, Slope f, double x0, double y0, double x1, double h,
                         const KnownSolution& solution, Comparison comparison = Comparison::exact,
                         const Start& start = {});
StepErrorsOf<StateVector> labStepErrors(const Method& method, SlopeOf<StateVector> F, double x0,
                                        const StateVector& y0, double x1, double h,
                                        const SolutionSamplesOf<StateVector>& solution,
                                        Comparison comparison = Comparison::exact,
                                        const StartOf<StateVector>& start = {});

// The rows as the window shows them: i ("2 (start)" for a starting value), x, y, exact y (reference
// y against a reference), global error, local error, and the estimate when the method has one;
// without a comparison i, x, y and the estimate. x, y and exact y are written as the results list
// writes them, the errors by fullErrorText (all fifteen digits, always with an exponent); a value
// that overflowed reads "too large to calculate", one past the solution's end "no solution here",
// past where the reference is trusted "not trusted", and past where the reference stopped "no
// reference here"; a cell with nothing to say is empty. A system's:
// i, x, y1 ... yn, exact y1 ... exact yn (reference y1 ... against a reference), error (the norm),
// error y1 ... error yn, and estimate (the norm) for an embedded pair; without a comparison i, x,
// y1 ... yn and the estimate, each cell written as one equation's.
TextTable stepErrorTable(const StepErrors& errors);
TextTable stepErrorTable(const StepErrorsOf<StateVector>& errors);

// The table as its CSV file holds it: columns method, x0, y0, x1 and h lead
// every row with the method's heading and the four inputs as they were
// read, so that a file says what it holds and a spreadsheet still reads one
// rectangular table. An input not read leaves its cells empty.
TextTable labelledStepErrorTable(const TextTable& table, const Calculation& calculation);

// The same with the leading columns given as (name, text) pairs, for a run
// that is not the main window's calculation.
struct TableLabel {
    std::string name, text;
};
TextTable labelledStepErrorTable(const TextTable& table, const std::vector<TableLabel>& labels);

// One line naming the method and the four inputs as they were read, e.g.
// "Runge-Kutta-4 Method with x0 = 0, y0 = -1, x1 = 0.4, h = 0.1"; before
// the first calculation, "No calculation yet: press CALCULATE.".
std::string calculationHeading(const Calculation& calculation);

// Where the calculation stopped, in words: empty after a calculation that
// ran to the end, otherwise e.g. "The calculation stopped while stepping the
// method: <the message the user was shown>".
std::string failureNote(const Calculation& calculation);

// For a method that gives mathematically the same numbers as another on this
// equation, a line saying so and why; empty otherwise.
std::string coincidenceNote(const Method& method);

}  // namespace pelorin
