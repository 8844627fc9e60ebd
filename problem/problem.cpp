// Reading a typed problem strictly, compiling its equation and checking its
// exact solution.
#include "problem/problem.h"

#include "base/conversions.h"
#include "base/lab_reading.h"
#include "methods/exact_solution.h"
#include "problem/library.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

namespace pelorin {

namespace {

// A measured quantity for a note: three significant digits are enough to
// judge it, written as the results list writes numbers.
std::string roughly(double value) {
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, 2);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return numberToText(rounded);
}

std::string point(double x, double y) {
    return "(x, y) = (" + numberToText(x) + ", " + numberToText(y) + ")";
}

}  // namespace

std::string_view boxName(ProblemBox box) {
    switch (box) {
    case ProblemBox::name: return "name";
    case ProblemBox::f: return slopeBoxName;
    case ProblemBox::exact: return solutionBoxName;
    case ProblemBox::x0: return "x0";
    case ProblemBox::y0: return "y0";
    case ProblemBox::x1: return "x1";
    }
    return "?";
}

Equation lessonEquation() { return {std::string(problemLibrary.front().f), nullptr, nullptr}; }

Slope Problem::slope() const {
    if (equation.lesson()) return f1;
    return *equation.slope;
}

KnownSolution Problem::exact() const {
    if (equation.lesson()) {
        return [solution = ExactSolution(x0, y0)](double x) { return solution(x); };
    }
    if (equation.exact) return [exact = equation.exact](double x) { return (*exact)(x); };
    return {};
}

Problem Problem::clone() const {
    Problem copy = *this;
    Equation& own = copy.equation;
    if (own.slope) own.slope = std::make_shared<const SlopeExpression>(own.slope->clone());
    if (own.exact) own.exact = std::make_shared<const SolutionExpression>(own.exact->clone());
    return copy;
}

EquationReading readEquation(std::string_view f, std::string_view exact, double x0, double y0) {
    const LibraryProblem& lesson = problemLibrary.front();
    f = trimmed(f);
    exact = trimmed(exact);
    EquationReading reading;
    if (f == lesson.f && exact == lesson.exact) {
        reading.equation = lessonEquation();
        return reading;
    }
    std::shared_ptr<const SolutionExpression> solution;
    if (!exact.empty()) {
        SolutionCompilation compiled = compileSolution(exact, x0, y0);
        if (compiled.solution) {
            solution = std::make_shared<const SolutionExpression>(std::move(*compiled.solution));
        } else {
            reading.exactError = std::move(compiled.error);
        }
    }
    SlopeCompilation slope = compileSlope(f);
    if (!slope.slope) {
        reading.slopeError = std::move(slope.error);
        return reading;
    }
    reading.equation = Equation{std::string(f),
                                std::make_shared<const SlopeExpression>(std::move(*slope.slope)),
                                std::move(solution)};
    return reading;
}

std::optional<std::string> keepExactIfItHolds(Equation& equation, double x0, double y0, double x1) {
    if (!equation.slope || !equation.exact) return std::nullopt;
    auto fault = checkExactSolution(*equation.slope, *equation.exact, x0, y0, x1);
    if (fault) equation.exact.reset();
    return fault;
}

std::optional<std::string> checkExactSolution(Slope f, const SolutionExpression& y, double x0,
                                              double y0, double x1) {
    const std::string notUsed = ": it is not used.";
    const double start = y(x0);
    if (!std::isfinite(start)) {
        return "The exact solution gives no finite number at x0 = " + numberToText(x0) + notUsed;
    }
    if (std::fabs(start - y0) > startTolerance * std::max({1.0, std::fabs(x0), std::fabs(y0)})) {
        return "The exact solution gives " + numberToText(start) + " at x0, not y0 = " +
               numberToText(y0) + notUsed;
    }
    if (!std::isfinite(x1 - x0)) {
        return "The exact solution cannot be checked: x0 and x1 are too far apart. It is not used.";
    }
    const double d = std::cbrt(std::numeric_limits<double>::epsilon());
    for (int k : {1, 3, 5, 7}) {
        const double x = x0 + (x1 - x0) * (k / 8.0);
        const double step = d * std::max(1.0, std::fabs(x));
        const double value = y(x);
        const std::array<double, 4> around{y(x - step), y(x + step), y(x - 2 * step), y(x + 2 * step)};
        const bool finite = std::isfinite(x) && std::isfinite(value) &&
                            std::all_of(around.begin(), around.end(),
                                        [](double v) { return std::isfinite(v); });
        if (!finite) {
            return "The exact solution gives no finite number near x = " + numberToText(x) + notUsed;
        }
        const double slope = f(x, value);
        if (!std::isfinite(slope)) {
            return "f(x, y) is not a finite number on the exact solution, at " + point(x, value) +
                   notUsed;
        }
        const double derivative = (around[1] - around[0]) / (2 * step);
        const double wider = (around[3] - around[2]) / (4 * step);
        const double residual = derivative - slope;
        if (!std::isfinite(residual) || !std::isfinite(wider)) {
            return "The exact solution's slope is not a finite number near x = " +
                   numberToText(x) + notUsed;
        }
        const double allowed =
            residualTolerance * std::max({1.0, std::fabs(value), std::fabs(slope)}) +
            2 * std::fabs(wider - derivative);
        if (!(std::fabs(residual) <= allowed)) {
            return "The exact solution does not satisfy the equation: y' - f(x, y) is " +
                   roughly(residual) + " at x = " + numberToText(x) + ". It is not used.";
        }
    }
    return std::nullopt;
}

ProblemCompilation compileProblem(const ProblemText& text) {
    ProblemCompilation result;
    std::array<double, 3> numbers{};
    const std::array<std::pair<ProblemBox, const std::string*>, 3> boxes{
        {{ProblemBox::x0, &text.x0}, {ProblemBox::y0, &text.y0}, {ProblemBox::x1, &text.x1}}};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto [box, typed] = boxes[i];
        const LabNumber number = readLabNumber(*typed);
        if (number.value) {
            numbers[i] = *number.value;
        } else {
            result.errors.push_back({box, std::string(boxName(box)) + ": " + number.why, 0});
        }
    }
    const auto [x0, y0, x1] = numbers;
    EquationReading equation = readEquation(text.f, text.exact, x0, y0);
    if (!equation.equation) {
        result.errors.insert(result.errors.begin(), {ProblemBox::f, equation.slopeError.message,
                                                     equation.slopeError.character});
    }
    if (equation.exactError) {
        result.notes.push_back({ProblemBox::exact, equation.exactError->message + ". It is not used.",
                                equation.exactError->character});
    }
    if (!result.errors.empty()) return result;

    if (auto fault = keepExactIfItHolds(*equation.equation, x0, y0, x1)) {
        result.notes.push_back({ProblemBox::exact, std::move(*fault), 0});
    }
    result.problem =
        Problem{std::string(trimmed(text.name)), std::move(*equation.equation), x0, y0, x1};
    return result;
}

}  // namespace pelorin
