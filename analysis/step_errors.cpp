#include "analysis/step_errors.h"

#include "analysis/lab_text.h"
#include "analysis/stability.h"
#include "methods/exact_solution.h"
#include "methods/stage_step.h"
#include "run/conversions.h"

#include <algorithm>
#include <array>
#include <cmath>

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

std::string cell(std::optional<double> value, NumberText text) {
    return value ? text(*value) : "too large to calculate";
}

// The values as the list writes them.
std::string valueCell(std::optional<double> value) { return cell(value, numberToText); }

// The errors in one shape with all their digits: the list's format would
// switch from "-0.000117433392121002" to "-6.17264978580723E-05" within a
// column.
std::string errorCell(bool applies, std::optional<double> value) {
    return applies ? cell(value, fullErrorText) : std::string();
}

constexpr std::array<std::string_view, 4> stageWords{
    "reading the inputs", "calculating the exact solution", "stepping the method",
    "plotting the solutions"};

}  // namespace

StepErrors stepErrors(const Calculation& calculation) {
    StepErrors errors;
    errors.method = calculation.method;
    const SolutionTable& numerical = calculation.solutions.numerical;
    if (!calculation.method || numerical.last() < 0) return errors;
    const Method& method = *calculation.method;
    errors.hasEstimate = method.tableau && method.tableau->hasErrorEstimate();

    // The numerical table holds values only after x0, y0 and h were read.
    const double x0 = *calculation.value(Input::x0);
    const double y0 = *calculation.value(Input::y0);
    const double h = *calculation.value(Input::h);
    const ExactSolution exact(x0, y0);

    for (int i = 0; i <= numerical.last(); ++i) {
        StepError row;
        row.i = i;
        row.x = numerical.x(i);
        row.y = numerical.y(i);
        row.exact = finite(exact(row.x));
        row.globalError = difference(row.y, row.exact);
        if (i > 0) {
            const double previousX = numerical.x(i - 1);
            const std::optional<double> fromExact = finite(exact(previousX));
            row.localError =
                fromExact ? difference(finite(method.step(previousX, *fromExact, h, f1)), row.exact)
                          : std::nullopt;
            if (errors.hasEstimate) {
                row.estimate = finite(
                    stepByStages(*method.tableau, previousX, numerical.y(i - 1), h).estimate);
            }
        }
        errors.rows.push_back(row);
    }
    return errors;
}

TextTable stepErrorTable(const StepErrors& errors) {
    TextTable table{{"i", "x", "y", "exact y", "global error", "local error"}, {}};
    if (errors.hasEstimate) table.header.push_back("estimate");
    for (const StepError& row : errors.rows) {
        std::vector<std::string> cells{std::to_string(row.i), numberToText(row.x),
                                       numberToText(row.y), valueCell(row.exact),
                                       errorCell(true, row.globalError),
                                       errorCell(row.i > 0, row.localError)};
        if (errors.hasEstimate) cells.push_back(errorCell(row.i > 0, row.estimate));
        table.rows.push_back(std::move(cells));
    }
    return table;
}

TextTable labelledStepErrorTable(const TextTable& table, const Calculation& calculation) {
    std::vector<std::string> labels{
        calculation.method ? std::string(calculation.method->heading) : std::string()};
    for (Input box : inputs) {
        const auto value = calculation.value(box);
        labels.push_back(value ? numberToText(*value) : std::string());
    }
    TextTable labelled{{"method"}, {}};
    for (Input box : inputs) labelled.header.emplace_back(inputName(box));
    labelled.header.insert(labelled.header.end(), table.header.begin(), table.header.end());
    for (const auto& cells : table.rows) {
        std::vector<std::string> row = labels;
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
            others += methodCatalogue[other].caption;
        }
        const std::string degree =
            std::to_string(stabilityPolynomial(*method.tableau).size() - 1);
        return std::string(method.caption) + " gives the same numbers as " + others +
               " on this equation: both have the same stability function R(z), and on a linear "
               "equation both steps reduce to the Taylor polynomial of degree " + degree +
               " in h, whatever their stages. Rounding can still make the last digit differ.";
    }
    return {};
}

}  // namespace pelorin
