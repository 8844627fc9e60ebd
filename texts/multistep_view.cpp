#include "texts/multistep_view.h"

#include "base/conversions.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <numeric>

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

std::string kindNote(const MultistepView& view) {
    const Multistep& multistep = *multistepOf(*view.method);
    const MultistepFormula& formula = *multistep.formula;
    const std::string end = index(view.step), last = index(view.step - 1);
    switch (formulaKind(formula)) {
    case FormulaKind::adams: {
        const auto k = static_cast<std::size_t>(formula.steps);
        std::size_t weighed = 0;
        while (weighed < k && formula.b[weighed] == 0) ++weighed;
        const long first = view.step - formula.steps + static_cast<long>(weighed);
        const std::string past =
            first <= view.step - 1 ? "the slopes at " + pointList(first, view.step - 1) : "the slope";
        const std::string next = multistep.predictor ? " and at p" : " and at the new point";
        const std::string through = past + (formula.isImplicit() ? next : "");
        return std::string(view.method->caption) + " integrates the polynomial through " +
               through + " from x" + last + " to x" + end + ": the curve from y" + last +
               ", whose slope at each of those points is the slope there; y" + end +
               " is where it ends.";
    }
    case FormulaKind::backwardDifferentiation:
        return std::string(view.method->caption) + " takes the polynomial through y" +
               index(view.step - formula.steps) + " \u2026 y" + end + " (the curve), and y" +
               end + " is the value whose polynomial has the slope f(x" + end + ", y" + end +
               ") at x" + end + ": the segment at the new point.";
    case FormulaKind::other:
        break;
    }
    return "This formula is neither an Adams formula nor a backward differentiation formula: "
           "the plot marks the points it weighs and their slopes, without a curve.";
}

std::string valueOrNone(double value) {
    return std::isfinite(value) ? numberToText(value) : noValueText;
}

// A term of the Weights table: c·y or h·c·f as the run weighs it.
double pastTerm(long long a, double y, long long ak) {
    return (static_cast<double>(-a) / static_cast<double>(ak)) * y;
}
double slopeTerm(double h, long long b, double f, long long ak) {
    return h * (static_cast<double>(b) * f) / static_cast<double>(ak);
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

std::string startingValueNote(const MultistepView& view, const std::string& start) {
    const int K = multistepOf(*view.method)->steps();
    const std::string end = index(view.step);
    return "Step " + end + " of " + std::to_string(view.steps) + " is a starting value from " +
           start + ": y" + end + " = " + valueOrNone(view.yEnd) + ". " +
           std::string(view.method->caption) + " weighs the " + std::to_string(K) +
           " values before a step, which the run has from step " + std::to_string(K) + " on.";
}

namespace {

// "Step 5 of 10 from x4 = … with h = … weighs the values and slopes at the
// 4 points x1 … x4 (marked): y5 = …, the sum of the last two columns of the
// Weights table."
std::string weighedPointsNote(const MultistepView& view) {
    const MultistepStep& numbers = view.numbers;
    const long n = view.step - numbers.steps;
    const std::string end = index(view.step);
    return "Step " + end + " of " + std::to_string(view.steps) + " from x" + index(view.step - 1) + " = " +
           numberToText(view.x) + " with h = " + numberToText(view.h) +
           " weighs the values and slopes at the " + std::to_string(numbers.steps) + " points " +
           pointList(n, view.step - 1) + " (marked): y" + end +
           (numbers.hasValue() ? " = " + numberToText(view.yEnd) +
                                     ", the sum of the last two columns of the Weights table."
                               : " has no value (the run's note says why).");
}

// How the new value is found where the formula weighs its slope: predicted
// and corrected once, or solved for by Newton's method. Empty for an
// explicit formula.
std::string newValueNote(const MultistepView& view) {
    const MultistepStep& numbers = view.numbers;
    const Multistep& multistep = *multistepOf(*view.method);
    const MultistepFormula& formula = *multistep.formula;
    const auto k = static_cast<std::size_t>(formula.steps);
    const std::string end = index(view.step);
    if (numbers.predicted) {
        return "Predict with " + captionOf(multistep.predictor, "the predictor") + ": p = " +
               numberToText(*numbers.predicted) + "; evaluate the slope there once, f(x" + end +
               ", p) = " + numberToText(*numbers.newSlope) + "; correct once with " +
               captionOf(&formula, "the corrector") + "'s weights: y" + end + " = " +
               valueOrNone(view.yEnd) + ". The slope at y" + end + " itself is evaluated at the next step.";
    }
    if (numbers.explicitPart) {
        return "y" + end + " is on both sides of the formula: y" + end + " = e + h\u00b7" +
               fractionText(formula.b[k], formula.a[k]) + "\u00b7f(x" + end + ", y" + end +
               "), where e = " + numberToText(*numbers.explicitPart) +
               " is the sum of the past rows. Newton's method solves it from y" + end +
               " = e, as for an implicit Runge-Kutta stage: with f's derivative by a central "
               "difference quotient once, at the last point and e, and again at every iterate "
               "where that does not converge (the rate \u03b8 reaches 1, or is too slow): the "
               "Newton iterations table, and in the plot, paler the earlier.";
    }
    return {};
}

// The known solution from `from` to the step's end, where it is finite.
void sampleSolution(MultistepView& view, const SolutionSamples& solution, double from) {
    std::vector<double> abscissae;
    for (int i = 0; i < polynomialSamples; ++i) {
        abscissae.push_back(from + (view.xEnd - from) * i / (polynomialSamples - 1));
    }
    const std::vector<double> values = solution(abscissae);
    for (std::size_t i = 0; i < std::min(abscissae.size(), values.size()); ++i) {
        if (!std::isfinite(values[i])) continue;
        view.exactX.push_back(abscissae[i]);
        view.exactY.push_back(values[i]);
    }
}

}  // namespace

MultistepView multistepView(const SolutionPath& path, Slope f, const SolutionSamples& solution,
                            const std::string& start, int step) {
    MultistepView view;
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
        view.notes.push_back(kindNote(view));
        if (std::string note = newValueNote(view); !note.empty()) view.notes.push_back(std::move(note));
    }
    if (solution) sampleSolution(view, solution, from);
    if (const std::string note = pathNote(path); !note.empty()) view.notes.push_back(note);
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

std::vector<std::vector<std::string>> weightRows(const MultistepView& view) {
    std::vector<std::vector<std::string>> rows;
    if (view.steps == 0 || view.fromStart) return rows;
    const MultistepStep& numbers = view.numbers;
    const MultistepFormula& formula = *multistepOf(*view.method)->formula;
    const auto k = static_cast<std::size_t>(formula.steps);
    const long long ak = formula.a[k];
    const long n = view.step - numbers.steps;
    for (int m = 0; m < numbers.steps; ++m) {
        const auto i = static_cast<std::size_t>(m);
        const auto j = formulaIndex(formula, numbers.steps, m);
        const long long a = j ? formula.a[*j] : 0, b = j ? formula.b[*j] : 0;
        rows.push_back({index(n + m), stageValueText(numbers.x[i]), stageValueText(numbers.y[i]),
                        stageValueText(numbers.slope[i]), fractionText(a, ak), fractionText(b, ak),
                        stageValueText(pastTerm(a, numbers.y[i], ak)),
                        stageValueText(slopeTerm(view.h, b, numbers.slope[i], ak))});
    }
    const std::string x = stageValueText(numbers.xNew), beta = fractionText(formula.b[k], ak);
    if (numbers.predicted) {
        const double slope = *numbers.newSlope;
        rows.push_back({"p", x, stageValueText(*numbers.predicted), stageValueText(slope), "", beta,
                        "", stageValueText(slopeTerm(view.h, formula.b[k], slope, ak))});
    }
    // An implicit formula weighs the slope at its new value, which a step
    // without a value does not have.
    std::string newSlope, newTerm;
    if (numbers.explicitPart) {
        newSlope = newTerm = noValueText;
        if (numbers.newSlope) {
            newSlope = stageValueText(*numbers.newSlope);
            newTerm = stageValueText(slopeTerm(view.h, formula.b[k], *numbers.newSlope, ak));
        }
    }
    rows.push_back({index(view.step), x, valueOrNone(numbers.yNew), newSlope, "1",
                    numbers.predicted ? "" : beta, "", newTerm});
    return rows;
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
        for (std::size_t i = 0; i < numbers.x.size(); ++i) {
            slopes.push_back(slopeSegment(numbers.x[i], numbers.y[i], numbers.slope[i], view.h));
        }
        if (numbers.predicted) {
            drawing.predicted = drawablePoints({numbers.xNew}, {*numbers.predicted});
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

}  // namespace pelorin
