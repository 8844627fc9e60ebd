#include "texts/multistep_view.h"

#include "base/conversions.h"
#include "numerics/state_operations.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <type_traits>

namespace pelorin {

namespace {

// The curve through the past points and the step is drawn through this many.
constexpr int polynomialSamples = 101;

std::string index(long i) { return std::to_string(i); }

// "Adams-Bashforth 4": the catalogue's method that steps with this formula
// alone; "its predictor" where none does.
std::string captionOf(const MultistepFormula* formula, const char* otherwise) {
    for (const Method& method : labCatalogue()) {
        const Multistep* multistep = multistepOf(method);
        if (multistep && multistep->formula == formula && !multistep->predictor) {
            return std::string(method.caption);
        }
    }
    return otherwise;
}

// The polynomial through (nodes[j], values[j]) at x, in Lagrange's form.
double interpolate(const std::vector<double>& nodes, const std::vector<double>& values, double x) {
    double sum = 0;
    for (std::size_t j = 0; j < nodes.size(); ++j) {
        double weight = values[j];
        for (std::size_t l = 0; l < nodes.size(); ++l) {
            if (l != j) weight *= (x - nodes[l]) / (nodes[j] - nodes[l]);
        }
        sum += weight;
    }
    return sum;
}

// ∫ from a to b of that polynomial: four Gauss points are exact up to degree
// seven, above the six a formula of six steps interpolates with.
double integrate(const std::vector<double>& nodes, const std::vector<double>& values, double a,
                 double b) {
    static constexpr std::array<double, 4> points{-0.8611363115940526, -0.3399810435848563,
                                                  0.3399810435848563, 0.8611363115940526};
    static constexpr std::array<double, 4> weights{0.3478548451374538, 0.6521451548625461,
                                                   0.6521451548625461, 0.3478548451374538};
    const double middle = (a + b) / 2, half = (b - a) / 2;
    double sum = 0;
    for (std::size_t q = 0; q < points.size(); ++q) {
        sum += weights[q] * interpolate(nodes, values, middle + half * points[q]);
    }
    return half * sum;
}

// The formula's index j of the point m of the K past points (m = K for the
// new one): a corrector of fewer steps than its predictor weighs the last ones.
std::optional<std::size_t> formulaIndex(const MultistepFormula& formula, int K, int m) {
    const int j = m - (K - formula.steps);
    return j >= 0 ? std::optional(static_cast<std::size_t>(j)) : std::nullopt;
}

// The points (x, value) the formula's polynomial passes through, each point m
// of the step (K the new one) with its value.
struct Nodes {
    std::vector<double> x, value;
};

// The slopes an Adams formula weighs, from the first with a weight to the
// last, the new one where b_k is not 0.
Nodes weighedSlopes(const MultistepView& view, const MultistepFormula& formula) {
    const MultistepStep& numbers = view.numbers;
    Nodes nodes;
    bool weighed = false;
    for (int m = 0; m <= numbers.steps; ++m) {
        const auto j = formulaIndex(formula, numbers.steps, m);
        if (!j) continue;
        weighed = weighed || formula.b[*j] != 0;
        if (!weighed) continue;
        if (m < numbers.steps) {
            nodes.x.push_back(numbers.x[static_cast<std::size_t>(m)]);
            nodes.value.push_back(numbers.slope[static_cast<std::size_t>(m)]);
        } else if (numbers.newSlope && formula.b[*j] != 0) {
            nodes.x.push_back(numbers.xNew);
            nodes.value.push_back(*numbers.newSlope);
        }
    }
    return nodes;
}

// The sampled polynomial and its name in the legend.
struct Polynomial {
    std::vector<double> x, y;
    std::string name;
};

Polynomial polynomialOf(const MultistepView& view) {
    const MultistepStep& numbers = view.numbers;
    const MultistepFormula& formula = *multistepOf(*view.method)->formula;
    const FormulaKind kind = formulaKind(formula);
    Polynomial polynomial;
    if (kind == FormulaKind::other || !std::isfinite(numbers.yNew)) return polynomial;
    Nodes nodes;
    if (kind == FormulaKind::adams) {
        nodes = weighedSlopes(view, formula);
        polynomial.name = "y" + index(view.step - 1) + " + \u222b of the slopes' polynomial";
    } else {
        for (int m = numbers.steps - formula.steps; m < numbers.steps; ++m) {
            nodes.x.push_back(numbers.x[static_cast<std::size_t>(m)]);
            nodes.value.push_back(numbers.y[static_cast<std::size_t>(m)]);
        }
        nodes.x.push_back(numbers.xNew);
        nodes.value.push_back(numbers.yNew);
        polynomial.name = "polynomial through the values";
    }
    const double from = numbers.x.front(), to = numbers.xNew;
    const double lastX = numbers.x.back(), lastY = numbers.y.back();
    for (int s = 0; s < polynomialSamples; ++s) {
        const double x = from + (to - from) * s / (polynomialSamples - 1);
        polynomial.x.push_back(x);
        polynomial.y.push_back(kind == FormulaKind::adams
                                   ? lastY + integrate(nodes.x, nodes.value, lastX, x)
                                   : interpolate(nodes.x, nodes.value, x));
    }
    return polynomial;
}

std::string pointList(long first, long last) {
    return first == last ? "x" + index(first) : "x" + index(first) + " \u2026 x" + index(last);
}

// The slopes an Adams formula's polynomial passes through: "the slopes at
// x3 … x4 and at the new point".
std::string adamsSlopes(const Multistep& multistep, int step) {
    const MultistepFormula& formula = *multistep.formula;
    const auto k = static_cast<std::size_t>(formula.steps);
    std::size_t weighed = 0;
    while (weighed < k && formula.b[weighed] == 0) ++weighed;
    const long first = step - formula.steps + static_cast<long>(weighed);
    const std::string past =
        first <= step - 1 ? "the slopes at " + pointList(first, step - 1) : "the slope";
    const std::string next = multistep.predictor ? " and at p" : " and at the new point";
    return past + (formula.isImplicit() ? next : "");
}

// What the formula's kind makes of the step. One equation's plot draws the
// polynomial, a system's phase plane does not: its sentences name no curve.
std::string kindNote(const Method& method, int step, bool system) {
    const Multistep& multistep = *multistepOf(method);
    const MultistepFormula& formula = *multistep.formula;
    const std::string caption(method.caption), end = index(step), last = index(step - 1);
    const std::string each = system ? ", component by component," : "";
    switch (formulaKind(formula)) {
    case FormulaKind::adams: {
        const std::string through = adamsSlopes(multistep, step);
        if (system) {
            return caption + " integrates" + each + " the polynomial through " + through +
                   " from x" + last + " to x" + end + ", starting from y" + last + ": y" + end +
                   " is where it ends.";
        }
        return caption + " integrates the polynomial through " + through + " from x" + last +
               " to x" + end + ": the curve from y" + last +
               ", whose slope at each of those points is the slope there; y" + end +
               " is where it ends.";
    }
    case FormulaKind::backwardDifferentiation: {
        const std::string values = "y" + index(step - formula.steps) + " \u2026 y" + end;
        const std::string slope = "(x" + end + ", y" + end + ") at x" + end;
        if (system) {
            return caption + " takes" + each + " the polynomial through " + values + ", and y" +
                   end + " is the value whose polynomial has the slope F" + slope + ".";
        }
        return caption + " takes the polynomial through " + values + " (the curve), and y" + end +
               " is the value whose polynomial has the slope f" + slope +
               ": the segment at the new point.";
    }
    case FormulaKind::other:
        break;
    }
    return "This formula is neither an Adams formula nor a backward differentiation formula: "
           "the plot marks the points it weighs and their slopes, without a curve.";
}

std::string valueOrNone(double value) {
    return std::isfinite(value) ? numberToText(value) : noValueText;
}
std::string valueOrNone(const StateVector& value) {
    return isFiniteState(value) ? vectorText(value) : noValueText;
}
std::string valueText(double value) { return numberToText(value); }
std::string valueText(const StateVector& value) { return vectorText(value); }

// How the notes name the new value y_step: "y5" of one equation, "at x5,
// (y1, y2)" of a system, whose y1 and y2 are its components.
std::string valueName(const std::string& step, double) { return "y" + step; }
std::string valueName(const std::string& step, const StateVector& y) {
    return "at x" + step + ", " + componentNames(y.size());
}

// The words that differ between one equation's notes and a system's.
struct Words {
    const char* slope;       // f or F
    const char* derivative;  // what Newton's method takes of it
    const char* sum;         // where the new value is in the Weights table
};
constexpr Words equationWords{"f", "f's derivative by a central difference quotient",
                              "the sum of the last two columns of the Weights table."};
constexpr Words systemWords{
    "F", "F's Jacobian by central difference quotients",
    "each component the sum of its columns \u2212\u03b1\u00b7y\u1d62,k and "
    "h\u00b7\u03b2\u00b7Fk(x\u1d62, y\u1d62) in the Weights table."};
const Words& wordsOf(double) { return equationWords; }
const Words& wordsOf(const StateVector&) { return systemWords; }

// A term of the Weights table: c·y or h·c·f as the run weighs it, each
// component of a system's alike.
double pastTerm(long long a, double y, long long ak) {
    return (static_cast<double>(-a) / static_cast<double>(ak)) * y;
}
double slopeTerm(double h, long long b, double f, long long ak) {
    return h * (static_cast<double>(b) * f) / static_cast<double>(ak);
}
StateVector pastTerm(long long a, const StateVector& y, long long ak) {
    StateVector term(y.size());
    for (std::size_t k = 0; k < y.size(); ++k) term[k] = pastTerm(a, y[k], ak);
    return term;
}
StateVector slopeTerm(double h, long long b, const StateVector& f, long long ak) {
    StateVector term(f.size());
    for (std::size_t k = 0; k < f.size(); ++k) term[k] = slopeTerm(h, b, f[k], ak);
    return term;
}

// A value's cells where it may have none: "no value" in each.
void appendOrNone(std::vector<std::string>& row, double value) {
    row.push_back(valueOrNone(value));
}
void appendOrNone(std::vector<std::string>& row, const StateVector& value) {
    for (double component : value) row.push_back(valueOrNone(component));
}

}  // namespace

FormulaKind formulaKind(const MultistepFormula& formula) {
    const auto k = static_cast<std::size_t>(formula.steps);
    bool adams = formula.a[k - 1] == -formula.a[k], backward = true;
    for (std::size_t j = 0; j < k; ++j) {
        if (j + 1 < k && formula.a[j] != 0) adams = false;
        if (formula.b[j] != 0) backward = false;
    }
    if (adams) return FormulaKind::adams;
    if (backward && formula.b[k] != 0) return FormulaKind::backwardDifferentiation;
    return FormulaKind::other;
}

std::string fractionText(long long p, long long q) {
    if (q < 0) {
        p = -p;
        q = -q;
    }
    const long long divisor = std::gcd(p, q);
    if (divisor > 1) {
        p /= divisor;
        q /= divisor;
    }
    return q == 1 ? std::to_string(p) : std::to_string(p) + "/" + std::to_string(q);
}

namespace {

template <class State>
std::string startNote(const MultistepViewOf<State>& view, const std::string& start) {
    const int K = multistepOf(*view.method)->steps();
    const std::string end = index(view.step);
    return "Step " + end + " of " + std::to_string(view.steps) + " is a starting value from " +
           start + ": " + valueName(end, view.yEnd) + " = " + valueOrNone(view.yEnd) + ". " +
           std::string(view.method->caption) + " weighs the " + std::to_string(K) +
           " values before a step, which the run has from step " + std::to_string(K) + " on.";
}

}  // namespace

std::string startingValueNote(const MultistepView& view, const std::string& start) {
    return startNote(view, start);
}

std::string startingValueNote(const MultistepViewOf<StateVector>& view, const std::string& start) {
    return startNote(view, start);
}

namespace {

// "Step 5 of 10 from x4 = … with h = … weighs the values and slopes at the
// 4 points x1 … x4 (marked): y5 = …, the sum of the last two columns of the
// Weights table."
template <class State>
std::string weighedPointsNote(const MultistepViewOf<State>& view) {
    const MultistepStepOf<State>& numbers = view.numbers;
    const long n = view.step - numbers.steps;
    const std::string end = index(view.step);
    return "Step " + end + " of " + std::to_string(view.steps) + " from x" + index(view.step - 1) +
           " = " + numberToText(view.x) + " with h = " + numberToText(view.h) +
           " weighs the values and slopes at the " + std::to_string(numbers.steps) + " points " +
           pointList(n, view.step - 1) + " (marked): " + valueName(end, view.yEnd) +
           (numbers.hasValue() ? " = " + valueText(view.yEnd) + ", " + wordsOf(view.yEnd).sum
                               : " has no value (the run's note says why).");
}

// How the new value is found where the formula weighs its slope: predicted
// and corrected once, or solved for by Newton's method. Empty for an
// explicit formula.
template <class State>
std::string newValueNote(const MultistepViewOf<State>& view) {
    const MultistepStepOf<State>& numbers = view.numbers;
    const Multistep& multistep = *multistepOf(*view.method);
    const MultistepFormula& formula = *multistep.formula;
    const auto k = static_cast<std::size_t>(formula.steps);
    const std::string end = index(view.step);
    const Words& words = wordsOf(view.y);
    if (numbers.predicted) {
        return "Predict with " + captionOf(multistep.predictor, "the predictor") + ": p = " +
               valueText(*numbers.predicted) + "; evaluate the slope there once, " + words.slope +
               "(x" + end + ", p) = " + valueText(*numbers.newSlope) + "; correct once with " +
               captionOf(&formula, "the corrector") + "'s weights: " + valueName(end, view.yEnd) +
               " = " + valueOrNone(view.yEnd) + ". The slope at y" + end +
               " itself is evaluated at the next step.";
    }
    if (numbers.explicitPart) {
        return "y" + end + " is on both sides of the formula: y" + end + " = e + h\u00b7" +
               fractionText(formula.b[k], formula.a[k]) + "\u00b7" + words.slope + "(x" + end +
               ", y" + end + "), where e = " + valueText(*numbers.explicitPart) +
               " is the sum of the past rows. Newton's method solves it from y" + end +
               " = e, as for an implicit Runge-Kutta stage: with " + words.derivative +
               " once, at the last point and e, and again at every iterate "
               "where that does not converge (the rate \u03b8 reaches 1, or is too slow): the "
               "Newton iterations table, and in the plot, paler the earlier.";
    }
    return {};
}

// The known solution from `from` to the step's end, where it is finite.
template <class State, class Samples>
void sampleSolution(MultistepViewOf<State>& view, const Samples& solution, double from) {
    std::vector<double> abscissae;
    for (int i = 0; i < polynomialSamples; ++i) {
        abscissae.push_back(from + (view.xEnd - from) * i / (polynomialSamples - 1));
    }
    const std::vector<State> values = solution(abscissae);
    for (std::size_t i = 0; i < std::min(abscissae.size(), values.size()); ++i) {
        if (!isFiniteState(values[i])) continue;
        view.exactX.push_back(abscissae[i]);
        view.exactY.push_back(values[i]);
    }
}

template <class State, class Samples>
MultistepViewOf<State> viewOf(const PathOf<State>& path, const SlopeOf<State>& f,
                              const Samples& solution, const std::string& start, int step) {
    MultistepViewOf<State> view;
    if (!pickStep(view, path, step)) return view;
    view.fromStart = view.step <= startingSteps(*view.method);
    // The solution is drawn from the first point the step weighs, a starting
    // value's own start.
    double from = view.x;
    if (view.fromStart) {
        view.notes.push_back(startingValueNote(view, start));
    } else {
        view.numbers = multistepStep(path, f, view.step);
        from = view.numbers.x.front();
        view.notes.push_back(weighedPointsNote(view));
        view.notes.push_back(kindNote(*view.method, view.step, std::is_same_v<State, StateVector>));
        if (std::string note = newValueNote(view); !note.empty())
            view.notes.push_back(std::move(note));
    }
    if (solution) sampleSolution(view, solution, from);
    if (const std::string note = pathNote(path); !note.empty()) view.notes.push_back(note);
    return view;
}

}  // namespace

MultistepView multistepView(const SolutionPath& path, Slope f, const SolutionSamples& solution,
                            const std::string& start, int step) {
    return viewOf(path, f, solution, start, step);
}

MultistepViewOf<StateVector> multistepView(const PathOf<StateVector>& path, SlopeOf<StateVector> F,
                                           const SolutionSamplesOf<StateVector>& solution,
                                           const std::string& start, int step) {
    MultistepViewOf<StateVector> view = viewOf(path, F, solution, start, step);
    const std::string plane = phasePlaneNote(view.y.size(), "Weights");
    if (view.steps > 0 && !plane.empty()) view.notes.push_back(plane);
    return view;
}

FormulaCells formulaCells(const Multistep& multistep) {
    FormulaCells table;
    const int K = multistep.steps();
    for (int m = 0; m <= K; ++m) table.columns.push_back(m == 0 ? "n" : "n+" + std::to_string(m));
    const auto addFormula = [&](const MultistepFormula& formula, const std::string& role) {
        const long long ak = formula.a[static_cast<std::size_t>(formula.steps)];
        for (const auto& [name, coefficients] :
             {std::pair{"\u03b1", &formula.a}, std::pair{"\u03b2", &formula.b}}) {
            table.rows.push_back(role + name);
            std::vector<std::string> row;
            for (int m = 0; m <= K; ++m) {
                const auto j = formulaIndex(formula, K, m);
                row.push_back(j ? fractionText((*coefficients)[*j], ak) : "");
            }
            table.cells.push_back(row);
        }
    };
    if (multistep.predictor) {
        addFormula(*multistep.predictor, "predictor ");
        addFormula(*multistep.formula, "corrector ");
    } else {
        addFormula(*multistep.formula, "");
    }
    return table;
}

namespace {

// The rows of the past points: i, x_i, y_i, f_i, α, β and both terms.
template <class State>
void appendPastRows(std::vector<std::vector<std::string>>& rows,
                    const MultistepViewOf<State>& view) {
    const MultistepStepOf<State>& numbers = view.numbers;
    const MultistepFormula& formula = *multistepOf(*view.method)->formula;
    const long long ak = formula.a[static_cast<std::size_t>(formula.steps)];
    const long n = view.step - numbers.steps;
    for (int m = 0; m < numbers.steps; ++m) {
        const auto i = static_cast<std::size_t>(m);
        const auto j = formulaIndex(formula, numbers.steps, m);
        const long long a = j ? formula.a[*j] : 0, b = j ? formula.b[*j] : 0;
        std::vector<std::string> row{index(n + m), stageValueText(numbers.x[i])};
        appendComponents(row, numbers.y[i]);
        appendComponents(row, numbers.slope[i]);
        row.push_back(fractionText(a, ak));
        row.push_back(fractionText(b, ak));
        appendComponents(row, pastTerm(a, numbers.y[i], ak));
        appendComponents(row, slopeTerm(view.h, b, numbers.slope[i], ak));
        rows.push_back(row);
    }
}

template <class State>
std::vector<std::vector<std::string>> rowsOf(const MultistepViewOf<State>& view) {
    std::vector<std::vector<std::string>> rows;
    if (view.steps == 0 || view.fromStart) return rows;
    appendPastRows(rows, view);
    const MultistepStepOf<State>& numbers = view.numbers;
    const MultistepFormula& formula = *multistepOf(*view.method)->formula;
    const auto k = static_cast<std::size_t>(formula.steps);
    const long long ak = formula.a[k];
    const std::size_t components = componentsOf(view.y);
    const auto blanks = [&](std::vector<std::string>& row, const char* text) {
        row.insert(row.end(), components, text);
    };
    const std::string x = stageValueText(numbers.xNew), beta = fractionText(formula.b[k], ak);
    if (numbers.predicted) {
        std::vector<std::string> row{"p", x};
        appendComponents(row, *numbers.predicted);
        appendComponents(row, *numbers.newSlope);
        row.insert(row.end(), {"", beta});
        blanks(row, "");
        appendComponents(row, slopeTerm(view.h, formula.b[k], *numbers.newSlope, ak));
        rows.push_back(row);
    }
    std::vector<std::string> row{index(view.step), x};
    appendOrNone(row, numbers.yNew);
    // An implicit formula weighs the slope at its new value, which a step
    // without a value does not have.
    const bool weighsNewSlope = numbers.explicitPart.has_value();
    if (weighsNewSlope && numbers.newSlope) appendComponents(row, *numbers.newSlope);
    else blanks(row, weighsNewSlope ? noValueText : "");
    row.insert(row.end(), {"1", numbers.predicted ? "" : beta});
    blanks(row, "");
    if (weighsNewSlope && numbers.newSlope) {
        appendComponents(row, slopeTerm(view.h, formula.b[k], *numbers.newSlope, ak));
    } else {
        blanks(row, weighsNewSlope ? noValueText : "");
    }
    rows.push_back(row);
    return rows;
}

}  // namespace

std::vector<std::vector<std::string>> weightRows(const MultistepView& view) { return rowsOf(view); }

std::vector<std::vector<std::string>> weightRows(const MultistepViewOf<StateVector>& view) {
    return rowsOf(view);
}

std::vector<std::string> systemWeightColumns(std::size_t components) {
    std::vector<std::string> columns{"i", "x\u1d62"};
    appendComponentColumns(columns, components, "y\u1d62,");
    appendComponentColumns(columns, components, "F", "(x\u1d62, y\u1d62)");
    columns.insert(columns.end(), {"\u03b1", "\u03b2"});
    appendComponentColumns(columns, components, "\u2212\u03b1\u00b7y\u1d62,");
    appendComponentColumns(columns, components, "h\u00b7\u03b2\u00b7F", "(x\u1d62, y\u1d62)");
    return columns;
}

std::vector<std::string> newValueNewtonColumns(int step, std::size_t components) {
    std::vector<std::string> columns = newtonColumns(1, components);
    columns.resize(columns.size() - components);
    const std::string value = "y" + index(step);
    if (components == 1) columns.push_back(value);
    else appendComponentColumns(columns, components, value + ",");
    return columns;
}

MultistepDrawing multistepDrawing(const MultistepView& view) {
    MultistepDrawing drawing;
    if (view.steps == 0) return drawing;
    drawing.exact = drawablePoints(view.exactX, view.exactY);
    const MultistepStep& numbers = view.numbers;
    const bool hasValue = std::isfinite(view.yEnd);
    std::vector<Segment> slopes;
    if (view.fromStart) {
        drawing.past = drawablePoints({view.x}, {view.y});
    } else {
        drawing.past = drawablePoints(numbers.x, numbers.y);
        const long n = view.step - numbers.steps;
        for (std::size_t i = 0; i < numbers.x.size(); ++i) {
            slopes.push_back(slopeSegment(numbers.x[i], numbers.y[i], numbers.slope[i], view.h));
            drawing.labels.push_back({"x" + index(n + static_cast<long>(i)), numbers.x[i],
                                      numbers.y[i], numbers.slope[i]});
        }
        if (numbers.predicted) {
            drawing.predicted = drawablePoints({numbers.xNew}, {*numbers.predicted});
            drawing.labels.push_back({"p", numbers.xNew, *numbers.predicted,
                                      (*numbers.predicted - view.y) / view.h});
        } else if (numbers.newSlope && hasValue) {
            slopes.push_back(slopeSegment(numbers.xNew, view.yEnd, *numbers.newSlope, view.h));
        }
        const Polynomial polynomial = polynomialOf(view);
        drawing.polynomial = drawablePoints(polynomial.x, polynomial.y);
        drawing.polynomialName = polynomial.name;
        for (const NewtonIterate<double>& iterate : numbers.iterations) {
            drawing.iterates.push_back(
                {iterate.number, drawablePoints({numbers.xNew}, {iterate.states.front()})});
        }
    }
    for (const Segment& slope : slopes) {
        if (drawable(slope)) drawing.slopes.push_back(slope);
    }
    if (hasValue) {
        drawing.next = drawablePoints({view.xEnd}, {view.yEnd});
        const Segment increment{view.x, view.y, view.xEnd, view.yEnd};
        if (drawable(increment)) drawing.increment = increment;
        drawing.labels.push_back({"x" + index(view.step), view.xEnd, view.yEnd,
                                  (view.yEnd - view.y) / (view.xEnd - view.x)});
    }
    drawing.leftOut = drawing.exact.leftOut || drawing.past.leftOut || drawing.next.leftOut ||
                      drawing.predicted.leftOut || drawing.polynomial.leftOut ||
                      drawing.slopes.size() != slopes.size() || (hasValue && !drawing.increment);
    std::vector<const DrawablePoints*> parts{&drawing.exact, &drawing.past, &drawing.next,
                                             &drawing.predicted, &drawing.polynomial};
    for (const IteratePoints& iterate : drawing.iterates) {
        parts.push_back(&iterate.points);
        drawing.leftOut = drawing.leftOut || iterate.points.leftOut;
    }
    include(drawing.x, drawing.y, parts, drawing.slopes);
    drawing.x = drawing.x.widened(1.1);
    drawing.y = drawing.y.widened(1.2);
    return drawing;
}

namespace {

// States as points of the phase plane (y1, y2).
DrawablePoints phasePoints(const std::vector<StateVector>& states) {
    std::vector<double> y1, y2;
    for (const StateVector& y : states) {
        y1.push_back(y[0]);
        y2.push_back(y[1]);
    }
    return drawablePoints(y1, y2);
}

// The past points with their slopes' arrows, a pair's predicted value, the
// new value's slope where an implicit formula weighs it, and the iterates.
void drawFormulaStep(MultistepPhaseDrawing& drawing, std::vector<Segment>& slopes,
                     const MultistepViewOf<StateVector>& view) {
    const MultistepStepOf<StateVector>& numbers = view.numbers;
    drawing.past = phasePoints(numbers.y);
    const long n = view.step - numbers.steps;
    for (std::size_t i = 0; i < numbers.y.size(); ++i) {
        slopes.push_back(phaseArrow(numbers.y[i], view.h * numbers.slope[i]));
        const Segment& arrow = slopes.back();
        drawing.labels.push_back({"x" + index(n + static_cast<long>(i)), arrow.x1, arrow.y1,
                                  (arrow.y2 - arrow.y1) / (arrow.x2 - arrow.x1)});
    }
    if (numbers.predicted) {
        drawing.predicted = phasePoints({*numbers.predicted});
        const StateVector& p = *numbers.predicted;
        drawing.labels.push_back({"p", p[0], p[1], (p[1] - view.y[1]) / (p[0] - view.y[0])});
    } else if (numbers.newSlope && isFiniteState(view.yEnd)) {
        slopes.push_back(phaseArrow(view.yEnd, view.h * *numbers.newSlope));
    }
    for (const NewtonIterate<StateVector>& iterate : numbers.iterations) {
        drawing.iterates.push_back({iterate.number, phasePoints(iterate.states)});
    }
}

}  // namespace

MultistepPhaseDrawing multistepPhaseDrawing(const MultistepViewOf<StateVector>& view) {
    MultistepPhaseDrawing drawing;
    if (view.steps == 0 || view.y.size() < 2) return drawing;
    drawing.known = phasePoints(view.exactY);
    const bool hasValue = isFiniteState(view.yEnd);
    std::vector<Segment> slopes;
    if (view.fromStart) drawing.past = phasePoints({view.y});
    else drawFormulaStep(drawing, slopes, view);
    for (const Segment& slope : slopes) {
        if (drawable(slope)) drawing.slopes.push_back(slope);
    }
    if (hasValue) {
        drawing.next = phasePoints({view.yEnd});
        const Segment increment{view.y[0], view.y[1], view.yEnd[0], view.yEnd[1]};
        if (drawable(increment)) drawing.increment = increment;
        drawing.labels.push_back({"x" + index(view.step), increment.x2, increment.y2,
                                  (increment.y2 - increment.y1) / (increment.x2 - increment.x1)});
    }
    std::vector<const DrawablePoints*> parts{&drawing.known, &drawing.past, &drawing.next,
                                             &drawing.predicted};
    for (const IteratePoints& iterate : drawing.iterates) parts.push_back(&iterate.points);
    drawing.leftOut = drawing.slopes.size() != slopes.size() || (hasValue && !drawing.increment);
    for (const DrawablePoints* part : parts) drawing.leftOut = drawing.leftOut || part->leftOut;
    std::vector<Segment> segments = drawing.slopes;
    if (drawing.increment) segments.push_back(*drawing.increment);
    includeInPhasePlane(drawing.y1, drawing.y2, parts, segments);
    return drawing;
}

}  // namespace pelorin
