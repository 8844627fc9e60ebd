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
enum class Compared { here, pastEnd, untrusted };

constexpr std::array<const char*, 3> missingWords{"too large to calculate", "no solution here",
                                                  "not trusted"};

template <class Errors>
Compared comparedAt(const Errors& errors, double x) {
    if (errors.end && errors.end->past(x)) return Compared::pastEnd;
    if (errors.trustEnds && errors.trustEnds->past(x)) return Compared::untrusted;
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

}  // namespace

namespace {

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

}  // namespace

StepErrors stepErrorsAlong(const SolutionPath& path, Slope f, const KnownSolution& solution,
                           Comparison comparison, const Start& start) {
    StepErrors errors;
    errors.method = path.method;
    errors.comparison = solution ? comparison : Comparison::none;
    if (!path.method || path.x.empty()) return errors;
    const Method& method = *path.method;
    errors.hasEstimate = hasTableau(method) && tableauOf(method)->hasErrorEstimate();
    errors.startingValues = path.startingValues;
    const bool compared = errors.comparison != Comparison::none;
    const auto known = [&](double x) {
        return compared ? finite(solution(x)) : std::optional<double>();
    };

    for (std::size_t i = 0; i < path.x.size() && i < path.y.size(); ++i) {
        StepError row;
        row.i = static_cast<int>(i);
        row.x = path.x[i];
        row.y = path.y[i];
        row.exact = known(row.x);
        row.globalError = difference(row.y, row.exact);
        if (i > 0) {
            const double previousX = path.x[i - 1];
            const std::optional<double> fromKnown = known(previousX);
            const auto knownOrNaN = [&](double x) {
                return known(x).value_or(std::numeric_limits<double>::quiet_NaN());
            };
            row.localError =
                fromKnown ? difference(finite(stepFromKnown(path, i, f, knownOrNaN, start)),
                                       row.exact)
                          : std::nullopt;
            if (errors.hasEstimate) {
                row.estimate = finite(
                    stepByStages(*tableauOf(method), previousX, path.y[i - 1], path.h, f).estimate);
            }
        }
        errors.rows.push_back(row);
    }
    return errors;
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
    return stepErrorsAlong(path, f1,
                           ExactSolution(*calculation.value(Input::x0), *calculation.value(Input::y0)));
}

StepErrors labStepErrors(const Method& method, Slope f, double x0, double y0, double x1, double h,
                         const KnownSolution& solution, Comparison comparison,
                         const Start& start) {
    const SolutionPath path = solutionPath(method, f, x0, y0, x1, h, labStepsShown, start);
    StepErrors errors = stepErrorsAlong(path, f, solution, comparison, start);
    errors.notes = shownStepsNotes(path);
    return errors;
}

SystemStepErrors stepErrorsAlong(const SystemPath& path, SystemSlope F,
                                 const SystemSolutionSamples& solution, Comparison comparison) {
    SystemStepErrors errors;
    errors.method = path.method;
    errors.comparison = solution ? comparison : Comparison::none;
    if (!path.method || path.x.empty() || path.y.empty()) return errors;
    const Method& method = *path.method;
    errors.hasEstimate = hasTableau(method) && tableauOf(method)->hasErrorEstimate();
    errors.startingValues = path.startingValues;
    errors.components = path.y.front().size();
    const bool compared = errors.comparison != Comparison::none;
    const std::vector<StateVector> known = compared ? solution(path.x) : std::vector<StateVector>();
    StateVector unknown(errors.components);
    for (std::size_t k = 0; k < unknown.size(); ++k) unknown[k] = std::nan("");

    for (std::size_t i = 0; i < path.x.size() && i < path.y.size(); ++i) {
        SystemStepError row;
        row.i = static_cast<int>(i);
        row.x = path.x[i];
        row.y = path.y[i];
        if (compared) {
            const bool given = i < known.size() && known[i].size() == row.y.size();
            row.exact = given ? known[i] : unknown;
            row.error = row.y - row.exact;
            row.errorNorm = finite(stateNorm(row.error));
        }
        if (i > 0 && errors.hasEstimate) {
            const SystemStageStep stages =
                stepByStages(*tableauOf(method), path.x[i - 1], path.y[i - 1], path.h, F);
            row.estimate = finite(stateNorm(stages.estimate));
        }
        errors.rows.push_back(row);
    }
    return errors;
}

SystemStepErrors labStepErrors(const Method& method, SystemSlope F, double x0,
                               const StateVector& y0, double x1, double h,
                               const SystemSolutionSamples& solution, Comparison comparison,
                               const SystemStart& start) {
    const SystemPath path = solutionPath(method, F, x0, y0, x1, h, labStepsShown, start);
    SystemStepErrors errors = stepErrorsAlong(path, F, solution, comparison);
    errors.startingValues = path.startingValues;
    errors.notes = shownStepsNotes(path);
    return errors;
}

TextTable stepErrorTable(const StepErrors& errors) {
    const bool compared = errors.comparison != Comparison::none;
    TextTable table{{"i", "x", "y"}, {}};
    if (compared) {
        table.header.push_back(errors.comparison == Comparison::reference ? "reference y"
                                                                          : "exact y");
        table.header.push_back("global error");
        table.header.push_back("local error");
    }
    if (errors.hasEstimate) table.header.push_back("estimate");
    for (const StepError& row : errors.rows) {
        std::vector<std::string> cells{stepNumber(row.i, errors.startingValues),
                                       numberToText(row.x), numberToText(row.y)};
        if (compared) {
            const Compared compared = comparedAt(errors, row.x);
            cells.push_back(valueCell(row.exact, compared));
            cells.push_back(errorCell(true, row.globalError, compared));
            cells.push_back(errorCell(row.i > 0, row.localError, compared));
        }
        if (errors.hasEstimate) cells.push_back(errorCell(row.i > 0, row.estimate));
        table.rows.push_back(std::move(cells));
    }
    return table;
}

TextTable stepErrorTable(const SystemStepErrors& errors) {
    const bool compared = errors.comparison != Comparison::none;
    const std::size_t n = errors.components;
    TextTable table{{"i", "x"}, {}};
    append(table.header, componentHeadings("y", n));
    if (compared) {
        append(table.header, componentHeadings(
                                 errors.comparison == Comparison::reference ? "reference y"
                                                                            : "exact y",
                                 n));
        table.header.push_back("error");
        append(table.header, componentHeadings("error y", n));
    }
    if (errors.hasEstimate) table.header.push_back("estimate");
    for (const SystemStepError& row : errors.rows) {
        std::vector<std::string> cells{stepNumber(row.i, errors.startingValues),
                                       numberToText(row.x)};
        for (double y : row.y) cells.push_back(numberToText(y));
        if (compared) {
            const Compared compared = comparedAt(errors, row.x);
            for (double exact : row.exact) cells.push_back(valueCell(finite(exact), compared));
            cells.push_back(errorCell(true, row.errorNorm, compared));
            for (double error : row.error) cells.push_back(errorCell(true, finite(error), compared));
        }
        if (errors.hasEstimate) cells.push_back(errorCell(row.i > 0, row.estimate));
        table.rows.push_back(std::move(cells));
    }
    return table;
}

TextTable labelledStepErrorTable(const TextTable& table, const Calculation& calculation) {
    std::vector<TableLabel> labels{
        {"method", calculation.method ? std::string(calculation.method->heading) : std::string()}};
    for (Input box : inputs) {
        const auto value = calculation.value(box);
        labels.push_back({std::string(inputName(box)), value ? numberToText(*value) : std::string()});
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
