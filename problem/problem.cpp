// Compiling a typed problem, checking its exact solution, and running the
// methods over it without letting a number that is not finite through.
#include "problem/problem.h"

#include "base/conversions.h"
#include "base/utf8.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

namespace pelorin {

namespace {

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A text as a message quotes it: control characters and bytes that are not
// text escaped, and anything beyond 24 characters cut to "…".
std::string quotedText(std::string_view text) {
    constexpr std::size_t shownCharacters = 24;
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (++characters > shownCharacters) {
            quoted += "\u2026";
            break;
        }
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = wellFormedLength(text, at);
        if (length == 0 || lead < 0x20 || lead == 0x7F) {
            quoted += "\\x";
            quoted += hex[lead >> 4];
            quoted += hex[lead & 0xF];
            ++at;
        } else {
            quoted.append(text.substr(at, length));
            at += length;
        }
    }
    return quoted + "\"";
}

// A box's number read strictly, as the lab reads its boxes: the whole text
// must be the number.
struct BoxNumber {
    std::optional<double> value;
    std::string why;  // empty when there is a value
};

BoxNumber readBoxNumber(std::string_view text) {
    constexpr std::string_view typographicMinus = "\u2212";
    const std::string_view typed = trimmed(text);
    std::string plain;
    for (std::size_t at = 0; at < typed.size();) {
        if (typed.substr(at).starts_with(typographicMinus)) {
            plain += '-';
            at += typographicMinus.size();
        } else {
            plain += typed[at++];
        }
    }
    if (plain.empty()) return {std::nullopt, "the box is empty: type a number"};
    const NumberReading reading = readNumber(plain);
    if (reading.used == plain.size()) {
        if (reading.value) return {reading.value, ""};
        return {std::nullopt, quotedText(typed) + " is too large for a number"};
    }
    if (plain.find(',') != std::string::npos) {
        return {std::nullopt,
                quotedText(typed) + " is not a number: use a point, not a comma, for decimals"};
    }
    return {std::nullopt, quotedText(typed) + " is not a number"};
}

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

// The slope a run uses, watching for the first value that is not finite and
// where it was asked for.
class WatchedSlope {
public:
    explicit WatchedSlope(Slope f) : f_(f) {}

    double operator()(double x, double y) const {
        const double slope = f_(x, y);
        if (!fault_ && !std::isfinite(slope)) fault_ = std::array<double, 2>{x, y};
        return slope;
    }

    const std::optional<std::array<double, 2>>& fault() const { return fault_; }

private:
    Slope f_;
    mutable std::optional<std::array<double, 2>> fault_;
};

// Runs the method step by step, handing every finite value to `record`;
// the note says why it stopped, empty when it reached x1.
template <class Record>
std::string runSteps(const Method& method, const Problem& problem, long steps, Record record) {
    if (steps < 1) return "A run needs at least one step.";
    const double h = (problem.x1 - problem.x0) / static_cast<double>(steps);
    if (!std::isfinite(problem.x0) || !std::isfinite(problem.y0) || !std::isfinite(h)) {
        return "x0 and x1 are too far apart to divide into steps: no run is possible. Move them "
               "closer together.";
    }
    const std::string stopped = std::string(method.caption) + " stopped at step ";
    const WatchedSlope slope(problem.slope);
    double y = problem.y0;
    for (long i = 0; i < steps; ++i) {
        const double x = problem.x0 + static_cast<double>(i) * h;
        const double next = method.step(x, y, h, slope);
        const std::string where = stopped + std::to_string(i + 1) + ": ";
        if (const auto& fault = slope.fault()) {
            const auto [faultX, faultY] = *fault;
            if (std::isfinite(faultX) && std::isfinite(faultY)) {
                return where + "the slope is not a finite number at " + point(faultX, faultY) + ".";
            }
            return where + "y grew beyond the largest number within the step from x = " +
                   numberToText(x) + ".";
        }
        const double nextX = i + 1 == steps ? problem.x1 : problem.x0 + static_cast<double>(i + 1) * h;
        if (!std::isfinite(next)) {
            return where + "y grew beyond the largest number at x = " + numberToText(nextX) + ".";
        }
        y = next;
        record(nextX, y);
    }
    return {};
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

Problem Problem::clone() const {
    return {name, slope.clone(), exact ? std::optional(exact->clone()) : std::nullopt, x0, y0, x1};
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
    SlopeCompilation slope = compileSlope(text.f);
    if (!slope.slope) {
        result.errors.push_back({ProblemBox::f, slope.error.message, slope.error.character});
    }
    std::array<double, 3> numbers{};
    const std::array<std::pair<ProblemBox, const std::string*>, 3> boxes{
        {{ProblemBox::x0, &text.x0}, {ProblemBox::y0, &text.y0}, {ProblemBox::x1, &text.x1}}};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto [box, typed] = boxes[i];
        const BoxNumber number = readBoxNumber(*typed);
        if (number.value) {
            numbers[i] = *number.value;
        } else {
            result.errors.push_back({box, std::string(boxName(box)) + ": " + number.why, 0});
        }
    }
    const auto [x0, y0, x1] = numbers;

    std::optional<SolutionExpression> exact;
    if (!trimmed(text.exact).empty()) {
        SolutionCompilation solution = compileSolution(text.exact, x0, y0);
        if (solution.solution) {
            exact = std::move(solution.solution);
        } else {
            result.notes.push_back({ProblemBox::exact, solution.error.message + ". It is not used.",
                                    solution.error.character});
        }
    }
    if (!result.errors.empty()) return result;

    if (exact) {
        if (auto fault = checkExactSolution(*slope.slope, *exact, x0, y0, x1)) {
            result.notes.push_back({ProblemBox::exact, std::move(*fault), 0});
            exact.reset();
        }
    }
    result.problem = Problem{std::string(trimmed(text.name)), std::move(*slope.slope),
                             std::move(exact), x0, y0, x1};
    return result;
}

ProblemRun runProblem(const Method& method, const Problem& problem, long steps) {
    ProblemRun run;
    if (std::isfinite(problem.x0) && std::isfinite(problem.y0)) {
        run.x.push_back(problem.x0);
        run.y.push_back(problem.y0);
    }
    run.note = runSteps(method, problem, steps, [&run](double x, double y) {
        run.x.push_back(x);
        run.y.push_back(y);
    });
    return run;
}

EndValue runProblemToEnd(const Method& method, const Problem& problem, long steps) {
    double end = problem.y0;
    std::string note = runSteps(method, problem, steps, [&end](double, double y) { end = y; });
    if (!note.empty()) return {std::nullopt, std::move(note)};
    return {end, {}};
}

}  // namespace pelorin
