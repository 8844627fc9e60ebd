#include "numerics/step_errors.h"

#include "base/conversions.h"
#include "base/number_text.h"
#include "methods/exact_solution.h"
#include "numerics/stability.h"
#include "numerics/stage_step.h"
#include "numerics/state_operations.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <span>

namespace pelorin {

namespace {

std::optional<double> finite(double value) {
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// a - b, where either may already have overflowed.
std::optional<double> difference(std::optional<double> a, std::optional<double> b) {
    if (!a || !b) return std::nullopt;
    return finite(*a - *b);
}

using NumberText = std::string (*)(double);

// Whether a row has a solution to be compared with: where it has, a value
// missing is one that overflowed.
enum class Compared { here, pastEnd, untrusted, pastReference };

constexpr std::array<const char*, 4> missingWords{"too large to calculate", "no solution here",
                                                  "not trusted", "no reference here"};

// A known value with no number in it: one equation's is empty, a system's
// NaN in every component.
bool unknown(const std::optional<double>& value) {
    return !value;
}
bool unknown(const std::optional<StateVector>& value) {
    return !value || std::any_of(value->begin(), value->end(),
                                 [](double component) { return std::isnan(component); });
}

// A reference's values are all finite: one missing is at an x the reference
// did not reach, where it stopped before the run's end.
template <class State>
Compared comparedAt(const StepErrorsOf<State>& errors, const StepErrorOf<State>& row) {
    if (errors.end && errors.end->past(row.x)) return Compared::pastEnd;
    if (errors.trustEnds && errors.trustEnds->past(row.x)) return Compared::untrusted;
    if (errors.comparison == Comparison::reference && unknown(row.exact)) {
        return Compared::pastReference;
    }
    return Compared::here;
}

std::string cell(std::optional<double> value, NumberText text, Compared compared) {
    if (compared != Compared::here) return missingWords[static_cast<std::size_t>(compared)];
    return value ? text(*value) : missingWords[0];
}

// The values as the list writes them.
std::string valueCell(std::optional<double> value, Compared compared) {
    return cell(value, numberToText, compared);
}

// The errors in one shape with all their digits: the list's format would
// switch from "-0.000117433392121002" to "-6.17264978580723E-05" within a
// column.
std::string errorCell(bool applies, std::optional<double> value,
                      Compared compared = Compared::here) {
    return applies ? cell(value, fullErrorText, compared) : std::string();
}

// Where the lab's run stopped short of x1, or that the table lists only its
// first steps.
template <class State>
std::vector<std::string> shownStepsNotes(const PathOf<State>& path) {
    if (path.end == PathEnd::stepLimit) {
        return {"The table lists the first " + std::to_string(labStepsShown) + " of the " +
                std::to_string(path.stepsToEnd) + " steps to x1."};
    }
    if (std::string note = pathNote(path); !note.empty()) return {std::move(note)};
    return {};
}

// "y1", "y2", ... with the given stem, one per component.
std::vector<std::string> componentHeadings(const std::string& stem, std::size_t components) {
    std::vector<std::string> headings;
    for (std::size_t k = 1; k <= components; ++k) headings.push_back(stem + std::to_string(k));
    return headings;
}

void append(std::vector<std::string>& cells, const std::vector<std::string>& more) {
    cells.insert(cells.end(), more.begin(), more.end());
}

// "3", or "2 (start)" for a multistep method's starting value.
std::string stepNumber(int i, long startingValues) {
    return std::to_string(i) + (i > 0 && i <= startingValues ? " (start)" : "");
}

constexpr std::array<std::string_view, 4> stageWords{
    "reading the inputs", "calculating the exact solution", "stepping the method",
    "plotting the solutions"};

// The step to x_i taken from the known solution (NaN where it is not known
// or the step has no value): a one-step method's from the known value at
// x_{i-1}; a multistep method's formula from the known values at the k
// points before, its starting values' from the method they came from.
double stepFromKnown(const SolutionPath& path, std::size_t i, Slope f,
                     const std::function<double(double)>& known, const Start& start) {
    const Method& method = *path.method;
    const auto fromStart = static_cast<long>(i) <= path.startingValues;
    if (!isMultistep(method) || (fromStart && start.method)) {
        const Method& stepping = isMultistep(method) ? *start.method : method;
        return methodStepOrNaN(stepping, path.x[i - 1], known(path.x[i - 1]), path.h, f);
    }
    if (fromStart) return known(path.x[i]);
    const auto k = static_cast<std::size_t>(multistepOf(method)->steps());
    if (i < k) return std::numeric_limits<double>::quiet_NaN();
    const double x0 = path.x[i - k];
    MethodRun<double> run(method, f, x0, path.h, Start{nullptr, known});
    double y = known(x0);
    try {
        for (std::size_t j = 0; j < k; ++j) y = run.step(static_cast<long>(j), y);
    } catch (const NoConvergence&) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return y;
}

// A value as a row keeps it: a number only where it is finite (one that
// overflowed has no value), a state whole, its cells saying which
// components have none.
std::optional<double> kept(double value) {
    return finite(value);
}
std::optional<StateVector> kept(const StateVector& value) {
    return value;
}

// The known solution at each of the path's points, as the rows keep it.
std::vector<std::optional<double>> knownAlong(const SolutionPath& path,
                                              const KnownSolution& solution) {
    std::vector<std::optional<double>> known;
    for (double x : path.x) known.push_back(kept(solution(x)));
    return known;
}
// A system's asked for at all of them at once: NaN in every component where
// it gives no state of the run's size.
std::vector<std::optional<StateVector>> knownAlong(const PathOf<StateVector>& path,
                                                   const SolutionSamplesOf<StateVector>& solution) {
    const std::vector<StateVector> samples = solution(path.x);
    std::vector<std::optional<StateVector>> known;
    for (std::size_t i = 0; i < path.x.size() && i < path.y.size(); ++i) {
        StateVector unknown(path.y[i].size());
        for (std::size_t k = 0; k < unknown.size(); ++k) unknown[k] = std::nan("");
        const bool given = i < samples.size() && samples[i].size() == path.y[i].size();
        known.push_back(kept(given ? samples[i] : unknown));
    }
    return known;
}

// Step i's local error: its step from the known value before it (see
// stepFromKnown) minus the known value; empty where either is not known.
std::optional<double> localError(const SolutionPath& path, std::size_t i, Slope f,
                                 const KnownSolution& solution, const Start& start,
                                 const std::vector<std::optional<double>>& known) {
    if (!known[i - 1]) return std::nullopt;
    const auto knownOrNaN = [&solution](double x) {
        return finite(solution(x)).value_or(std::numeric_limits<double>::quiet_NaN());
    };
    return difference(finite(stepFromKnown(path, i, f, knownOrNaN, start)), known[i]);
}
// A system's rows list no local error.
std::optional<StateVector> localError(const PathOf<StateVector>&, std::size_t, SlopeOf<StateVector>,
                                      const SolutionSamplesOf<StateVector>&,
                                      const StartOf<StateVector>&,
                                      const std::vector<std::optional<StateVector>>&) {
    return std::nullopt;
}

// The estimate a row keeps: one equation's with its sign, a system's in the
// maximum norm.
std::optional<double> keptEstimate(double estimate) {
    return finite(estimate);
}
std::optional<double> keptEstimate(const StateVector& estimate) {
    return finite(stateNorm(estimate));
}

template <class State, class Solution>
StepErrorsOf<State> errorsAlong(const PathOf<State>& path, SlopeOf<State> f,
                                const Solution& solution, Comparison comparison,
                                const StartOf<State>& start) {
    StepErrorsOf<State> errors;
    errors.method = path.method;
    errors.comparison = solution ? comparison : Comparison::none;
    if (!path.method || path.x.empty() || path.y.empty()) return errors;
    const Method& method = *path.method;
    errors.hasEstimate = hasTableau(method) && tableauOf(method)->hasErrorEstimate();
    errors.startingValues = path.startingValues;
    errors.components = componentsOf(path.y.front());
    const bool compared = errors.comparison != Comparison::none;
    const std::vector<std::optional<State>> known =
        compared ? knownAlong(path, solution) : std::vector<std::optional<State>>(path.x.size());

    for (std::size_t i = 0; i < path.x.size() && i < path.y.size(); ++i) {
        StepErrorOf<State> row;
        row.i = static_cast<int>(i);
        row.x = path.x[i];
        row.y = path.y[i];
        row.exact = known[i];
        if (row.exact) row.globalError = kept(row.y - *row.exact);
        if (i > 0) {
            row.localError = localError(path, i, f, solution, start, known);
            if (errors.hasEstimate) {
                row.estimate = keptEstimate(
                    stepByStages(*tableauOf(method), path.x[i - 1], path.y[i - 1], path.h, f)
                        .estimate);
            }
        }
        errors.rows.push_back(row);
    }
    return errors;
}

// A state's components: one equation's value is the one.
std::span<const double> eachComponent(const double& y) {
    return {&y, 1};
}
std::span<const double> eachComponent(const StateVector& y) {
    return {y.begin(), y.size()};
}

// A value's headings: "y" for one equation, "y1" ... "yn" for a system.
std::vector<std::string> headings(const std::string& stem, const StepErrors&) {
    return {stem};
}
std::vector<std::string> headings(const std::string& stem,
                                  const StepErrorsOf<StateVector>& errors) {
    return componentHeadings(stem, errors.components);
}

// One equation's errors are the global and the local error; a system's the
// global error's norm, then each of its components.
std::vector<std::string> errorHeadings(const StepErrors&) {
    return {"global error", "local error"};
}
std::vector<std::string> errorHeadings(const StepErrorsOf<StateVector>& errors) {
    std::vector<std::string> headings{"error"};
    append(headings, componentHeadings("error y", errors.components));
    return headings;
}

std::vector<std::string> errorCells(const StepError& row, Compared compared) {
    return {errorCell(true, row.globalError, compared),
            errorCell(row.i > 0, row.localError, compared)};
}
// A system compared has a known state, and so a global error, in every row.
std::vector<std::string> errorCells(const StepErrorOf<StateVector>& row, Compared compared) {
    std::vector<std::string> cells{errorCell(true, finite(stateNorm(*row.globalError)), compared)};
    for (double error : *row.globalError) cells.push_back(errorCell(true, finite(error), compared));
    return cells;
}

// The known solution's cells, one per component, or one saying why there
// is no value.
template <class State>
std::vector<std::string> knownCells(const std::optional<State>& exact, Compared compared) {
    if (!exact) return {valueCell(std::nullopt, compared)};
    std::vector<std::string> cells;
    for (double value : eachComponent(*exact)) cells.push_back(valueCell(finite(value), compared));
    return cells;
}

template <class State>
TextTable errorTable(const StepErrorsOf<State>& errors) {
    const bool compared = errors.comparison != Comparison::none;
    TextTable table{{"i", "x"}, {}};
    append(table.header, headings("y", errors));
    if (compared) {
        append(table.header,
               headings(errors.comparison == Comparison::reference ? "reference y" : "exact y",
                        errors));
        append(table.header, errorHeadings(errors));
    }
    if (errors.hasEstimate) table.header.push_back("estimate");
    for (const StepErrorOf<State>& row : errors.rows) {
        std::vector<std::string> cells{stepNumber(row.i, errors.startingValues),
                                       numberToText(row.x)};
        for (double y : eachComponent(row.y)) cells.push_back(numberToText(y));
        if (compared) {
            const Compared compared = comparedAt(errors, row);
            append(cells, knownCells(row.exact, compared));
            append(cells, errorCells(row, compared));
        }
        if (errors.hasEstimate) cells.push_back(errorCell(row.i > 0, row.estimate));
        table.rows.push_back(std::move(cells));
    }
    return table;
}

}  // namespace

StepErrors stepErrorsAlong(const SolutionPath& path, Slope f, const KnownSolution& solution,
                           Comparison comparison, const Start& start) {
    return errorsAlong(path, f, solution, comparison, start);
}

StepErrorsOf<StateVector> stepErrorsAlong(const PathOf<StateVector>& path, SlopeOf<StateVector> F,
                                          const SolutionSamplesOf<StateVector>& solution,
                                          Comparison comparison) {
    return errorsAlong(path, F, solution, comparison, {});
}

StepErrors stepErrors(const Calculation& calculation) {
    const SolutionTable& numerical = calculation.solutions.numerical;
    if (!calculation.method || numerical.last() < 0) {
        StepErrors errors;
        errors.method = calculation.method;
        return errors;
    }
    // The numerical table holds values only after x0, y0 and h were read.
    SolutionPath path;
    path.method = calculation.method;
    path.h = *calculation.value(Input::h);
    for (int i = 0; i <= numerical.last(); ++i) {
        path.x.push_back(numerical.x(i));
        path.y.push_back(numerical.y(i));
    }
    return stepErrorsAlong(
        path, f1, ExactSolution(*calculation.value(Input::x0), *calculation.value(Input::y0)));
}

StepErrors labStepErrors(const Method& method, Slope f, double x0, double y0, double x1, double h,
                         const KnownSolution& solution, Comparison comparison,
                         const Start& start) {
    const SolutionPath path = solutionPath(method, f, x0, y0, x1, h, labStepsShown, start);
    StepErrors errors = stepErrorsAlong(path, f, solution, comparison, start);
    errors.notes = shownStepsNotes(path);
    return errors;
}

StepErrorsOf<StateVector> labStepErrors(const Method& method, SlopeOf<StateVector> F, double x0,
                                        const StateVector& y0, double x1, double h,
                                        const SolutionSamplesOf<StateVector>& solution,
                                        Comparison comparison, const StartOf<StateVector>& start) {
    const PathOf<StateVector> path = solutionPath(method, F, x0, y0, x1, h, labStepsShown, start);
    StepErrorsOf<StateVector> errors = stepErrorsAlong(path, F, solution, comparison);
    errors.notes = shownStepsNotes(path);
    return errors;
}

TextTable stepErrorTable(const StepErrors& errors) {
    return errorTable(errors);
}

TextTable stepErrorTable(const StepErrorsOf<StateVector>& errors) {
    return errorTable(errors);
}

TextTable labelledStepErrorTable(const TextTable& table, const Calculation& calculation) {
    std::vector<TableLabel> labels{
        {"method", calculation.method ? std::string(calculation.method->heading) : std::string()}};
    for (Input box : inputs) {
        const auto value = calculation.value(box);
        labels.push_back(
            {std::string(inputName(box)), value ? numberToText(*value) : std::string()});
    }
    return labelledStepErrorTable(table, labels);
}

TextTable labelledStepErrorTable(const TextTable& table, const std::vector<TableLabel>& labels) {
    TextTable labelled;
    std::vector<std::string> leading;
    for (const TableLabel& label : labels) {
        labelled.header.push_back(label.name);
        leading.push_back(label.text);
    }
    labelled.header.insert(labelled.header.end(), table.header.begin(), table.header.end());
    for (const auto& cells : table.rows) {
        std::vector<std::string> row = leading;
        row.insert(row.end(), cells.begin(), cells.end());
        labelled.rows.push_back(std::move(row));
    }
    return labelled;
}

std::string calculationHeading(const Calculation& calculation) {
    // Every calculation reads x0 or fails trying.
    const bool ran = calculation.value(Input::x0) || calculation.failedStage;
    if (!ran) return "No calculation yet: press CALCULATE.";
    std::string heading = calculation.method
                              ? std::string(calculation.method->heading) + " with "
                              : std::string("Stopped before a method ran, with ");
    for (Input box : inputs) {
        if (box != inputs.front()) heading += ", ";
        heading += std::string(inputName(box));
        if (const auto value = calculation.value(box)) {
            heading += " = " + numberToText(*value);
        } else {
            heading += calculation.text(box).empty() ? " not read" : " too large to read";
        }
    }
    return heading;
}

std::string failureNote(const Calculation& calculation) {
    if (!calculation.failedStage) return {};
    return "The calculation stopped while " +
           std::string(stageWords[static_cast<std::size_t>(*calculation.failedStage)]) + ": " +
           calculation.failure;
}

std::string coincidenceNote(const Method& method) {
    const std::size_t row = catalogueRow(method);
    for (const std::vector<std::size_t>& group : sameStabilityFunction()) {
        if (group.size() < 2 || std::find(group.begin(), group.end(), row) == group.end()) continue;
        std::string others;
        for (std::size_t other : group) {
            if (other == row) continue;
            if (!others.empty()) others += " and ";
            others += labCatalogue()[other].caption;
        }
        const std::string degree =
            std::to_string(stabilityPolynomial(*tableauOf(method)).size() - 1);
        return std::string(method.caption) + " gives the same numbers as " + others +
               " on this equation: both have the same stability function R(z), and on a linear "
               "equation both steps reduce to the Taylor polynomial of degree " + degree +
               " in h, whatever their stages. Rounding can still make the last digit differ.";
    }
    return {};
}

}  // namespace pelorin
