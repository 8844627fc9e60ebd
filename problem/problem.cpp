// Reading a typed problem strictly, compiling its equation and checking its
// exact solution.
#include "problem/problem.h"

#include "base/conversions.h"
#include "base/lab_reading.h"
#include "base/words.h"
#include "methods/exact_solution.h"
#include "numerics/state_operations.h"
#include "problem/formula.h"
#include "problem/library.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <span>
#include <stdexcept>
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

Equation lessonEquation() {
    Equation lesson;
    lesson.f = problemLibrary.front().f;
    return lesson;
}

template <>
SlopeOf<double> Problem::slopeOf<double>() const {
    if (equation.lesson()) return Slope(f1).withSplit(&readsY);
    if (equation.slope->size() != 1) {
        throw std::logic_error("a system of equations has no single slope");
    }
    return *equation.slope;
}

template <>
SlopeOf<StateVector> Problem::slopeOf<StateVector>() const {
    if (equation.slope) return *equation.slope;
    return SlopeOf<StateVector>([](double x, const StateVector& y) {
               return StateVector{f1(x, y[0])};
           }).withSplit(&readsY);
}

template <>
KnownStateOf<double> Problem::exactOf<double>() const {
    if (equation.lesson()) {
        return [solution = ExactSolution(x0, y0[0])](double x) { return solution(x); };
    }
    if (equation.exact && equation.exact->size() == 1) {
        return [exact = equation.exact](double x) { return (*exact)(x); };
    }
    return {};
}

template <>
KnownStateOf<StateVector> Problem::exactOf<StateVector>() const {
    if (equation.lesson()) {
        return [solution = ExactSolution(x0, y0[0])](double x) { return StateVector{solution(x)}; };
    }
    if (const auto& exact = equation.exact) {
        return [exact](double x) {
            StateVector y(exact->size());
            (*exact)(x, std::span<double>(&y[0], y.size()));
            return y;
        };
    }
    return {};
}

ConservedQuantity Problem::invariant() const {
    if (!equation.invariantHolds) return {};
    return typedInvariant();
}

ConservedQuantity Problem::typedInvariant() const {
    if (!equation.invariant) return {};
    return [invariant = equation.invariant](double x, const StateVector& y) {
        return (*invariant)(x, std::span<const double>(y.begin(), y.size()));
    };
}

bool Problem::autonomous() const {
    if (equation.slope) return !equation.slope->usesX();
    return false;  // dy/dx = -2x - y
}


namespace {
template <class Expression>
void cloneInto(std::shared_ptr<const Expression>& shared) {
    if (shared) shared = std::make_shared<const Expression>(shared->clone());
}
}  // namespace

Problem Problem::clone() const {
    Problem copy = *this;
    Equation& own = copy.equation;
    cloneInto(own.slope);
    cloneInto(own.exact);
    cloneInto(own.invariant);
    return copy;
}

namespace {
// Both none, or compiled from the same texts.
template <class Expression>
bool sameTexts(const std::shared_ptr<const Expression>& a,
               const std::shared_ptr<const Expression>& b) {
    return a && b ? a->texts() == b->texts() : a == b;
}
}  // namespace

bool sameProblem(const Problem& a, const Problem& b) {
    const Equation& p = a.equation;
    const Equation& q = b.equation;
    const bool sameParameters =
        !p.slope || !q.slope || p.slope->parameters().text == q.slope->parameters().text;
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && p.f == q.f &&
           sameTexts(p.slope, q.slope) && sameParameters && sameTexts(p.exact, q.exact);
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
            reading.exactError = std::move(compiled.errors.front());
        }
    }
    SlopeCompilation slope = compileSlope(f);
    if (!slope.slope) {
        reading.errors = std::move(slope.errors);
        return reading;
    }
    Equation& equation = reading.equation.emplace();
    equation.f = f;
    equation.slope = std::make_shared<const SlopeExpression>(std::move(*slope.slope));
    equation.exact = std::move(solution);
    return reading;
}

std::optional<std::string> keepExactIfItHolds(Equation& equation, double x0, double y0, double x1) {
    if (!equation.slope || !equation.exact) return std::nullopt;
    auto fault = checkExactSolution(*equation.slope, *equation.exact, x0, StateVector{y0}, x1);
    if (fault) equation.exact.reset();
    return fault;
}

namespace {

// What the check's sentences call the parts of one component: the single
// equation's "y0", "f(x, y)" and "y' - f(x, y)", or a system's "y2(x0)",
// "y2'" and "d/dx exact y2(x) - y2'".
struct ComponentNames {
    std::string start, slope, residual;
    bool pointWithY = true;  // "at (x, y) = (…)" rather than "at x = …"
};

ComponentNames singleEquationNames() { return {"y0", "f(x, y)", "y' - f(x, y)", true}; }

ComponentNames systemComponentNames(std::size_t k) {
    const std::string y = "y" + std::to_string(k);
    return {y + "(x0)", y + "'", "d/dx exact " + y + "(x) - " + y + "'", false};
}

// y(x) and F(x, y) of n components, checked as checkExactSolution states,
// component by component.
template <class Solution, class Slopes>
std::optional<std::string> checkSolution(const Solution& y, const Slopes& f, double x0,
                                         const StateVector& y0, double x1,
                                         ComponentNames (*names)(std::size_t k)) {
    const std::string notUsed = ": it is not used.";
    const StateVector start = y(x0);
    for (std::size_t k = 0; k < y0.size(); ++k) {
        if (!std::isfinite(start[k])) {
            return "The exact solution gives no finite number at x0 = " + numberToText(x0) +
                   notUsed;
        }
        if (std::fabs(start[k] - y0[k]) >
            startTolerance * std::max({1.0, std::fabs(x0), std::fabs(y0[k])})) {
            return "The exact solution gives " + numberToText(start[k]) + " at x0, not " +
                   names(k + 1).start + " = " + numberToText(y0[k]) + notUsed;
        }
    }
    if (!std::isfinite(x1 - x0)) {
        return "The exact solution cannot be checked: x0 and x1 are too far apart. It is not used.";
    }
    const double d = std::cbrt(std::numeric_limits<double>::epsilon());
    const auto finite = [](const StateVector& v) {
        return std::all_of(v.begin(), v.end(), [](double c) { return std::isfinite(c); });
    };
    for (int i : {1, 3, 5, 7}) {
        const double x = x0 + (x1 - x0) * (i / 8.0);
        const double step = d * std::max(1.0, std::fabs(x));
        const StateVector value = y(x);
        const std::array<StateVector, 4> around{y(x - step), y(x + step), y(x - 2 * step),
                                                y(x + 2 * step)};
        if (!std::isfinite(x) || !finite(value) ||
            !std::all_of(around.begin(), around.end(), finite)) {
            return "The exact solution gives no finite number near x = " + numberToText(x) +
                   notUsed;
        }
        const StateVector slope = f(x, value);
        for (std::size_t k = 0; k < value.size(); ++k) {
            const ComponentNames name = names(k + 1);
            if (!std::isfinite(slope[k])) {
                return name.slope + " is not a finite number on the exact solution, at " +
                       (name.pointWithY ? point(x, value[k]) : "x = " + numberToText(x)) + notUsed;
            }
            const double derivative = (around[1][k] - around[0][k]) / (2 * step);
            const double wider = (around[3][k] - around[2][k]) / (4 * step);
            const double residual = derivative - slope[k];
            if (!std::isfinite(residual) || !std::isfinite(wider)) {
                return "The exact solution's slope is not a finite number near x = " +
                       numberToText(x) + notUsed;
            }
            const double allowed =
                residualTolerance * std::max({1.0, std::fabs(value[k]), std::fabs(slope[k])}) +
                2 * std::fabs(wider - derivative);
            if (!(std::fabs(residual) <= allowed)) {
                return "The exact solution does not satisfy the equation: " + name.residual +
                       " is " + roughly(residual) + " at x = " + numberToText(x) +
                       ". It is not used.";
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> checkExactSolution(const SlopeExpression& F,
                                              const SolutionExpression& y, double x0,
                                              const StateVector& y0, double x1) {
    const auto values = [&y](double x) {
        StateVector v(y.size());
        y(x, std::span<double>(&v[0], v.size()));
        return v;
    };
    if (F.size() == 1) {
        return checkSolution(values, F, x0, y0, x1,
                             [](std::size_t) { return singleEquationNames(); });
    }
    return checkSolution(values, F, x0, y0, x1, systemComponentNames);
}

namespace {

// Where checkInvariant looks, besides the start: each row a point, each
// column a component's offset in units of max(1, |y0_k|)/4.
constexpr std::array<std::array<double, maxComponents>, 8> invariantOffsets{{
    {0.5, -0.3, 0.7, -0.6, 0.2, -0.8},
    {-0.4, 0.6, -0.9, 0.3, -0.7, 0.5},
    {0.8, 0.2, -0.5, -0.7, 0.6, 0.3},
    {-0.7, -0.5, 0.4, 0.9, -0.2, -0.6},
    {0.3, 0.9, 0.6, -0.4, -0.8, 0.7},
    {-0.9, -0.8, -0.3, 0.5, 0.4, -0.2},
    {0.6, -0.7, 0.9, 0.8, -0.5, 0.4},
    {-0.2, 0.4, -0.6, -0.9, 0.7, -0.5},
}};

// The central difference of g at t with step d, and the allowance for its
// truncation error (twice D(2d) - D(d)); NaN where g is not finite nearby.
struct Difference {
    double derivative, allowance;
};
template <class Along>
Difference centralDifference(const Along& g, double t) {
    const double d =
        std::cbrt(std::numeric_limits<double>::epsilon()) * std::max(1.0, std::fabs(t));
    const double narrow = (g(t + d) - g(t - d)) / (2 * d);
    const double wide = (g(t + 2 * d) - g(t - 2 * d)) / (4 * d);
    return {narrow, 2 * std::fabs(wide - narrow)};
}

// Why checkInvariant refuses I: its rate along the solutions at (x, y),
// written as one equation's or as a system's.
std::string notKeptSentence(const std::string& invariant, double rate, double x,
                            const StateVector& y, std::string_view comparedWith) {
    const bool system = y.size() > 1;
    return "The invariant I = " + quotedFormula(invariant) + " is not kept by this " +
           (system ? "system: dI/dx = \u2202I/\u2202x + \u2207I\u00b7F is "
                   : "equation: dI/dx = \u2202I/\u2202x + \u2202I/\u2202y\u00b7f is ") +
           roughly(rate) + " at x = " + numberToText(x) + ", y = " +
           (system ? "(" + stateText(y) + ")" : stateText(y)) +
           ", not 0. The Field page plots I(x_i, y_i) \u2212 I(x_i, y(x_i)), each run's I less " +
           std::string(comparedWith) +
           "'s at the same x: the method's error in I, without the solution's own change of I.";
}

}  // namespace

std::optional<std::string> checkInvariant(const SlopeExpression& F,
                                          const InvariantExpression& I, double x0,
                                          const StateVector& y0, double x1,
                                          std::string_view comparedWith) {
    const auto quantity = [&I](double x, const StateVector& y) {
        return I(x, std::span<const double>(y.begin(), y.size()));
    };
    std::vector<std::pair<double, StateVector>> points{{x0, y0}};
    for (std::size_t j = 0; j < invariantOffsets.size(); ++j) {
        StateVector y = y0;
        for (std::size_t k = 0; k < y.size(); ++k) {
            y[k] = y0[k] + std::max(1.0, std::fabs(y0[k])) / 4 * invariantOffsets[j][k];
        }
        points.emplace_back(x0 + (x1 - x0) * (static_cast<double>(j + 1) / 8), std::move(y));
    }
    for (const auto& point : points) {
        // Named, not bound: clang 14 cannot capture a structured binding in a lambda.
        const double x = point.first;
        const StateVector& y = point.second;
        const StateVector slope = F(x, y);
        const Difference across = centralDifference([&](double t) { return quantity(t, y); }, x);
        double rate = across.derivative, size = std::fabs(across.derivative);
        double allowance = across.allowance;
        for (std::size_t k = 0; k < y.size(); ++k) {
            const Difference partial = centralDifference(
                [&, k](double t) {
                    StateVector moved = y;
                    moved[k] = t;
                    return quantity(x, moved);
                },
                y[k]);
            const double term = partial.derivative * slope[k];
            rate += term;
            size += std::fabs(term);
            allowance += partial.allowance * std::fabs(slope[k]);
        }
        // I or F undefined here, or near here: the point says nothing.
        if (!std::isfinite(x) || !std::isfinite(rate) || !std::isfinite(size) ||
            !std::isfinite(allowance)) {
            continue;
        }
        if (std::fabs(rate) > residualTolerance * size + allowance) {
            return notKeptSentence(I.text(), rate, x, y, comparedWith);
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
        const FormulaError& error = equation.errors.front();
        result.errors.insert(result.errors.begin(), {ProblemBox::f, error.message,
                                                     error.character});
    }
    if (equation.exactError) {
        result.notes.push_back({ProblemBox::exact,
                                equation.exactError->message + ". It is not used.",
                                equation.exactError->character});
    }
    if (!result.errors.empty()) return result;

    if (auto fault = keepExactIfItHolds(*equation.equation, x0, y0, x1)) {
        result.notes.push_back({ProblemBox::exact, std::move(*fault), 0});
    }
    result.problem =
        Problem{std::string(trimmed(text.name)), std::move(*equation.equation), x0, {y0}, x1};
    return result;
}

namespace {

std::vector<std::string> slopeTexts(const ProblemText& text) {
    std::vector<std::string> slopes;
    for (const ComponentText& component : text.components) slopes.push_back(component.slope);
    return slopes;
}

// A system's exact solution when every component has one; a note when only
// some do, or when y'' = f has one: y' would need one too.
std::optional<std::vector<std::string>> exactTexts(const ProblemText& text,
                                                   std::vector<FormulaError>& notes) {
    if (text.form == ProblemForm::secondOrder) {
        if (!trimmed(text.secondOrder.exact).empty()) {
            notes.push_back({"exact y(x): it is not used, since the lab compares y' as well; to "
                             "compare with an exact solution, type the problem as the system "
                             "y1' = y2, y2' = f with exact y1(x) and y2(x).",
                             0});
        }
        return std::nullopt;
    }
    std::vector<std::string> texts;
    std::vector<std::string> empty;
    for (std::size_t k = 0; k < text.components.size(); ++k) {
        texts.push_back(text.components[k].exact);
        if (trimmed(texts.back()).empty()) {
            empty.push_back(componentSolutionBoxName(k + 1, text.components.size()));
        }
    }
    if (empty.size() == texts.size()) return std::nullopt;
    if (!empty.empty()) {
        notes.push_back({listedInWords(empty) + (empty.size() == 1 ? " is" : " are") +
                             " empty: an exact solution needs every component, so the errors are "
                             "measured against a reference solution.",
                         0});
        return std::nullopt;
    }
    return texts;
}

}  // namespace

ProblemText problemText(const LibrarySystem& entry) {
    ProblemText text;
    text.name = std::string(entry.name);
    text.x0 = std::string(entry.x0);
    text.x1 = std::string(entry.x1);
    text.parameters = std::string(entry.parameters);
    text.invariant = std::string(entry.invariant);
    if (entry.form == ProblemForm::secondOrder) {
        text.form = ProblemForm::secondOrder;
        text.secondOrder = {std::string(entry.slopes[0]), std::string(entry.starts[0]),
                            std::string(entry.starts[1]), std::string(entry.exact[0])};
        return text;
    }
    text.form = ProblemForm::system;
    for (std::size_t k = 0; k < entry.n; ++k) {
        text.components.push_back({std::string(entry.slopes[k]), std::string(entry.starts[k]),
                                   std::string(entry.exact[k])});
    }
    return text;
}

std::vector<std::string> startTexts(const ProblemText& text) {
    if (text.form == ProblemForm::secondOrder)
        return {text.secondOrder.y0, text.secondOrder.slope0};
    std::vector<std::string> starts;
    for (const ComponentText& component : text.components) starts.push_back(component.start);
    return starts;
}

std::vector<std::string> equationFaults(const ProblemText& text) {
    const auto number = [](std::string_view name, const std::string& typed) {
        return readLabBox(name, typed, std::nullopt).value.value_or(0);
    };
    const double x0 = number("x0", text.x0), x1 = number("x1", text.x1);
    const auto read = [&] {
        if (text.form == ProblemForm::equation) {
            return readEquation(text.f, text.exact, x0, number("y0", text.y0));
        }
        const std::vector<std::string> starts = startTexts(text), names = startBoxNames(text);
        StateVector y0(starts.size());
        for (std::size_t k = 0; k < starts.size(); ++k) y0[k] = number(names[k], starts[k]);
        return readEquation(text, x0, y0, x1);
    };
    std::vector<std::string> faults;
    for (const FormulaError& error : read().errors) faults.push_back(error.message);
    return faults;
}

std::vector<std::string> startBoxNames(const ProblemText& text) {
    if (text.form == ProblemForm::secondOrder) return {"y(x0)", "y'(x0)"};
    std::vector<std::string> names;
    for (std::size_t k = 1; k <= text.components.size(); ++k) {
        names.push_back("y" + std::to_string(k) + "(x0)");
    }
    return names;
}

namespace {

// y'' = f compiled into the system y1' = y2, y2' = f; none, and why, where
// the box is refused.
std::optional<Equation> secondOrderEquation(const std::string& f, const Parameters& parameters,
                                            std::vector<FormulaError>& errors) {
    SecondOrderCompilation compiled = compileSecondOrder(f, parameters);
    if (!compiled.slope) {
        errors.push_back(std::move(compiled.error));
        return std::nullopt;
    }
    Equation equation;
    equation.f = "y'' = " + std::string(trimmed(f));
    equation.rewriting = compiled.rewriting;
    equation.slope = std::make_shared<const SlopeExpression>(std::move(*compiled.slope));
    return equation;
}

// A system's slopes compiled, f written "y1' = …; y2' = …"; none, and why
// for each box refused.
std::optional<Equation> firstOrderEquation(const ProblemText& text, const Parameters& parameters,
                                           std::vector<FormulaError>& errors) {
    const std::vector<std::string> slopes = slopeTexts(text);
    SlopeCompilation compiled = compileSlope(slopes, parameters);
    if (!compiled.slope) {
        errors = std::move(compiled.errors);
        return std::nullopt;
    }
    Equation equation;
    for (std::size_t k = 0; k < slopes.size(); ++k) {
        equation.f +=
            (k ? "; y" : "y") + std::to_string(k + 1) + "' = " + std::string(trimmed(slopes[k]));
    }
    equation.slope = std::make_shared<const SlopeExpression>(std::move(*compiled.slope));
    return equation;
}

// The typed exact solution where it compiles and passes
// checkExactSolution; otherwise a note, and the errors are measured
// against a reference solution.
void addExactSolution(Equation& equation, const ProblemText& text, const Parameters& parameters,
                      double x0, const StateVector& y0, double x1,
                      std::vector<FormulaError>& notes) {
    const std::optional<std::vector<std::string>> texts = exactTexts(text, notes);
    if (!texts) return;
    const std::span<const double> start(y0.begin(), y0.size());
    SolutionCompilation exact = compileSolution(*texts, parameters, x0, start);
    if (!exact.solution) {
        for (FormulaError& error : exact.errors) {
            error.message += "; the errors are measured against a reference solution instead.";
            notes.push_back(std::move(error));
        }
    } else if (auto fault = checkExactSolution(*equation.slope, *exact.solution, x0, y0, x1)) {
        notes.push_back({std::move(*fault), 0});
    } else {
        equation.exact = std::make_shared<const SolutionExpression>(std::move(*exact.solution));
    }
}

}  // namespace

void addInvariant(Equation& equation, std::string_view typed, const Parameters& parameters,
                  double x0, const StateVector& y0, double x1, std::vector<FormulaError>& notes) {
    if (trimmed(typed).empty()) return;
    InvariantCompilation invariant = compileInvariant(typed, y0.size(), parameters);
    if (!invariant.invariant) {
        invariant.error.message += "; no drift is shown.";
        notes.push_back(std::move(invariant.error));
        return;
    }
    // The lesson's f1 has no expression to differentiate along: its typed
    // f, which gives the same bits, is checked in its place.
    const SlopeCompilation lessonSlope =
        equation.lesson() ? compileSlope(equation.f) : SlopeCompilation{};
    const SlopeExpression& F = equation.lesson() ? *lessonSlope.slope : *equation.slope;
    const std::string_view comparedWith =
        equation.exact || equation.lesson() ? "the exact solution" : "the reference solution";
    auto fault = checkInvariant(F, *invariant.invariant, x0, y0, x1, comparedWith);
    equation.invariantHolds = !fault;
    if (fault) notes.push_back({std::move(*fault), 0});
    equation.invariant =
        std::make_shared<const InvariantExpression>(std::move(*invariant.invariant));
}

EquationReading readEquation(const ProblemText& text, double x0, const StateVector& y0,
                             double x1) {
    EquationReading reading;
    ParametersReading parameters = readParameters(text.parameters);
    if (!parameters.parameters) {
        reading.errors.push_back(std::move(parameters.error));
        return reading;
    }
    std::optional<Equation> equation =
        text.form == ProblemForm::secondOrder
            ? secondOrderEquation(text.secondOrder.f, *parameters.parameters, reading.errors)
            : firstOrderEquation(text, *parameters.parameters, reading.errors);
    if (!equation) return reading;
    if (equation->slope->size() != y0.size()) {
        throw std::invalid_argument("a start of " + std::to_string(y0.size()) +
                                    " components for a system of " +
                                    std::to_string(equation->slope->size()));
    }
    const std::span<const double> start(y0.begin(), y0.size());
    if (auto why = nonFiniteSlope(*equation->slope, x0, start)) {
        reading.errors.push_back({*why, 0});
        return reading;
    }
    addExactSolution(*equation, text, *parameters.parameters, x0, y0, x1, reading.notes);
    addInvariant(*equation, text.invariant, *parameters.parameters, x0, y0, x1, reading.notes);
    if (!equation->rewriting.empty()) reading.notes.push_back({equation->rewriting, 0});
    reading.equation = std::move(equation);
    return reading;
}

}  // namespace pelorin
