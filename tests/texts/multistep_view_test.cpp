// A multistep step as the One step page writes it, on one equation and on a
// system alike: the Weights table (a column for every component) and the
// formula's fractions, the sentences of a starting value and of a formula
// step, an implicit formula's Newton table, and the plot's parts where a
// wrong picture would differ: (x, y) for one equation, the phase plane
// (y1, y2) for a system.
#include "texts/multistep_view.h"
#include "methods/multistep_formulas.h"

#include "base/number_text.h"
#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pelorin;

namespace {

using Rows = std::vector<std::vector<std::string>>;
using pelorin::testing::oscillator;

// y' = x from x0 = 1, y0 = 0.5: y = x²/2, exact in every step below.
double rising(double x, double) { return x; }
double halfSquare(double x) { return x * x / 2; }
std::vector<double> halfSquares(const std::vector<double>& x) {
    std::vector<double> y;
    for (double at : x) y.push_back(halfSquare(at));
    return y;
}

MultistepView stepOf(const char* caption, const Start& start, int step, double x1 = 3) {
    const SolutionPath path = solutionPath(methodByCaption(caption), rising, 1, 0.5, x1, 0.5,
                                           maxPathSteps, start);
    return multistepView(path, rising, halfSquares, "the exact solution", step);
}

const Start fromSolution{nullptr, halfSquare};

// The oscillator from x0 = 0, y = (1, 0) to x1 = 3 with h = 0.3, started
// with Runge-Kutta 4 (the lab's default).
MultistepViewOf<StateVector> oscillatorStepOf(const char* caption, int step) {
    const PathOf<StateVector> path =
        solutionPath(methodByCaption(caption), oscillator, 0, {1, 0}, 3, 0.3);
    return multistepView(path, oscillator, {}, "Runge-Kutta 4", step);
}

}  // namespace

// Adams-Bashforth 2's second step, by hand: y1 = y(1.5) = 1.125 from the
// solution, f0 = 1, f1 = 1.5; y2 = y1 + h·(3/2·f1 − 1/2·f0) = 1.125 +
// 0.5·(2.25 − 0.5) = 2, the terms −α·y = 0 and 1.125, h·β·f = −0.25 and
// 1.125, which sum to 2.
TEST(MultistepView, WeightsOfAnAdamsBashforthStepByHand) {
    const MultistepView view = stepOf("Adams-Bashforth 2", fromSolution, 2);
    ASSERT_FALSE(view.fromStart);
    EXPECT_EQ(weightRows(view), (Rows{{"0", "1", "0.5", "1", "0", "-1/2", "0", "-0.25"},
                                      {"1", "1.5", "1.125", "1.5", "-1", "3/2", "1.125", "1.125"},
                                      {"2", "2", "2", "", "1", "0", "", ""}}));
    EXPECT_EQ(view.notes.front(),
              "Step 2 of 4 from x1 = 1.5 with h = 0.5 weighs the values and slopes at the 2 "
              "points x0 \u2026 x1 (marked): y2 = 2, the sum of the last two columns of the "
              "Weights table.");
}

// The formulas' fractions divided by α_k, by hand: AB4's β = (−9, 37, −59,
// 55)/24, AM3's (1, −5, 19, 9)/24 on the last three points and the new one.
TEST(MultistepView, FormulaCellsAsFractionsOfTheLeadingCoefficient) {
    const FormulaCells bdf2 = formulaCells(*multistepOf(methodByCaption("BDF 2")));
    EXPECT_EQ(bdf2.columns, (std::vector<std::string>{"n", "n+1", "n+2"}));
    EXPECT_EQ(bdf2.rows, (std::vector<std::string>{"\u03b1", "\u03b2"}));
    EXPECT_EQ(bdf2.cells, (Rows{{"1/3", "-4/3", "1"}, {"0", "0", "2/3"}}));
    const Method& pairMethod = methodByCaption("Adams predictor-corrector 4");
    const FormulaCells pair = formulaCells(*multistepOf(pairMethod));
    EXPECT_EQ(pair.rows, (std::vector<std::string>{"predictor \u03b1", "predictor \u03b2",
                                                   "corrector \u03b1", "corrector \u03b2"}));
    EXPECT_EQ(pair.cells, (Rows{{"0", "0", "0", "-1", "1"},
                                {"-3/8", "37/24", "-59/24", "55/24", "0"},
                                {"", "0", "0", "-1", "1"},
                                {"", "1/24", "-5/24", "19/24", "3/8"}}));
}

// A starting value says where it came from and when the formula takes over;
// Runge-Kutta 4 is Simpson's rule on y' = x, exact: y2 = y(2) = 2.
TEST(MultistepView, AStartingValueSaysWhereItCameFrom) {
    const struct {
        const char* caption;
        Start start;
        const char* startName;
        int step;
        const char* note;
    } rows[] = {
        {"Adams-Bashforth 4", {}, "Runge-Kutta 4", 2,
         "Step 2 of 4 is a starting value from Runge-Kutta 4: y2 = 2. Adams-Bashforth 4 weighs "
         "the 4 values before a step, which the run has from step 4 on."},
        {"BDF 2", fromSolution, "the exact solution", 1,
         "Step 1 of 4 is a starting value from the exact solution: y1 = 1.125. BDF 2 weighs the "
         "2 values before a step, which the run has from step 2 on."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption);
        const SolutionPath path = solutionPath(methodByCaption(row.caption), rising, 1, 0.5, 3,
                                               0.5, maxPathSteps, row.start);
        const MultistepView view =
            multistepView(path, rising, halfSquares, row.startName, row.step);
        EXPECT_TRUE(view.fromStart);
        EXPECT_EQ(view.notes.front(), row.note);
        EXPECT_TRUE(weightRows(view).empty());
        // The first step after them is the formula's.
        EXPECT_FALSE(multistepView(path, rising, halfSquares, row.startName,
                                   static_cast<int>(path.startingValues) + 1)
                         .fromStart);
    }
}

// The picture: the past points where the run has them, the new point, and
// the polynomial the formula rests on ending at the new value (Adams: the
// integral of the slopes' polynomial from the last value; BDF: through the
// values), its slope at the past points the slope there.
TEST(MultistepView, TheDrawingMarksThePastPointsAndThePolynomialEndsAtTheNewValue) {
    const struct {
        const char* caption;
        std::vector<std::string> names;  // of the points, as the Weights table's rows
    } cases[] = {
        {"Adams-Bashforth 3", {"x2", "x3", "x4", "x5"}},
        {"Adams-Moulton 3", {"x2", "x3", "x4", "x5"}},
        {"Adams predictor-corrector 4", {"x1", "x2", "x3", "x4", "p", "x5"}},
        {"BDF 3", {"x2", "x3", "x4", "x5"}},
    };
    for (const auto& [caption, names] : cases) {
        SCOPED_TRACE(caption);
        const MultistepView view = stepOf(caption, fromSolution, 5, 4);
        const MultistepDrawing drawing = multistepDrawing(view);
        ASSERT_EQ(drawing.past.x.size(), view.numbers.x.size());
        EXPECT_EQ(drawing.past.x.front(), 1 + (5 - static_cast<double>(view.numbers.steps)) * 0.5);
        EXPECT_EQ(drawing.past.y, view.numbers.y);
        EXPECT_EQ(drawing.next.x, std::vector<double>{3.5});
        EXPECT_EQ(drawing.next.y, std::vector<double>{view.yEnd});
        ASSERT_FALSE(drawing.polynomial.x.empty());
        EXPECT_EQ(drawing.polynomial.x.back(), 3.5);
        EXPECT_NEAR(drawing.polynomial.y.back(), view.yEnd, 1e-12);
        EXPECT_EQ(drawing.predicted.x.size(), view.numbers.predicted ? 1u : 0u);
        // A slope at each past point, and at an implicit formula's new one.
        EXPECT_EQ(drawing.slopes.size(),
                  view.numbers.x.size() + (view.numbers.explicitPart ? 1 : 0));
        EXPECT_TRUE(drawing.x.lower < drawing.past.x.front() && drawing.x.upper > 3.5);
        std::vector<std::string> shown;
        for (const StageLabel& label : drawing.labels) shown.push_back(label.text);
        EXPECT_EQ(shown, names);
        // Each name at its point: the past ones, then the new value's.
        for (std::size_t i = 0; i < drawing.past.x.size(); ++i) {
            EXPECT_EQ(drawing.labels[i].x, drawing.past.x[i]);
            EXPECT_EQ(drawing.labels[i].y, drawing.past.y[i]);
        }
        EXPECT_EQ(drawing.labels.back().x, 3.5);
        EXPECT_EQ(drawing.labels.back().y, view.yEnd);
    }
}

TEST(MultistepView, FormulaKinds) {
    EXPECT_EQ(formulaKind(adamsBashforth2), FormulaKind::adams);
    EXPECT_EQ(formulaKind(adamsMoulton3), FormulaKind::adams);
    EXPECT_EQ(formulaKind(bdf4), FormulaKind::backwardDifferentiation);
    EXPECT_EQ(formulaKind(classicUnstableFormula), FormulaKind::other);
}

TEST(MultistepView, OnASystemWeightColumnsNameEveryComponent) {
    EXPECT_EQ(systemWeightColumns(2),
              (std::vector<std::string>{
                  "i", "x\u1d62", "y\u1d62,1", "y\u1d62,2", "F1(x\u1d62, y\u1d62)",
                  "F2(x\u1d62, y\u1d62)", "\u03b1", "\u03b2", "\u2212\u03b1\u00b7y\u1d62,1",
                  "\u2212\u03b1\u00b7y\u1d62,2", "h\u00b7\u03b2\u00b7F1(x\u1d62, y\u1d62)",
                  "h\u00b7\u03b2\u00b7F2(x\u1d62, y\u1d62)"}));
    EXPECT_EQ(newValueNewtonColumns(5, 1),
              (std::vector<std::string>{"iteration", "residual", "update", "\u03b8", "y5"}));
    EXPECT_EQ(newValueNewtonColumns(2, 2), (std::vector<std::string>{"iteration", "residual",
                                                                     "update", "\u03b8", "y2,1",
                                                                     "y2,2"}));
}

// The rows as tests/support/multistep_system_weights.py works them out in
// exact arithmetic from Runge-Kutta 4's starting values (with h = 0.3 none
// lies within a unit of a double's last place from a rounding edge): the new
// row's value is, in each component, the sum of its two term columns above.
TEST(MultistepView, WeightRowsOnTheOscillator) {
    const struct {
        const char* caption;
        int step;
        Rows rows;
    } cases[] = {
        {"Adams-Bashforth 2", 2,
         {{"0", "0", "1", "0", "0", "-1", "0", "-1/2", "0", "0", "0", "0.15"},
          {"1", "0.3", "0.9553375", "-0.2955", "-0.2955", "-0.9553375", "-1", "3/2", "0.9553375",
           "-0.2955", "-0.132975", "-0.429901875"},
          {"2", "0.6", "0.8223625", "-0.575401875", "", "", "1", "0", "", "", "", ""}}},
        {"BDF 2", 2,
         {{"0", "0", "1", "0", "0", "-1", "1/3", "0", "-0.333333333333333", "0", "0", "0"},
          {"1", "0.3", "0.9553375", "-0.2955", "-0.2955", "-0.9553375", "-4/3", "0",
           "1.27378333333333", "-0.394", "0", "0"},
          {"2", "0.6", "0.828509615384615", "-0.559701923076923", "-0.559701923076923",
           "-0.828509615384615", "1", "2/3", "", "", "-0.111940384615385",
           "-0.165701923076923"}}},
        {"Adams predictor-corrector 4", 4,
         {{"0", "0", "1", "0", "0", "-1", "0", "0", "0", "0", "0", "0"},
          {"1", "0.3", "0.9553375", "-0.2955", "-0.2955", "-0.9553375", "0", "1/24", "0", "0",
           "-0.00369375", "-0.01194171875"},
          {"2", "0.6", "0.82534948890625", "-0.5646044625", "-0.5646044625", "-0.82534948890625",
           "0", "-5/24", "0", "0", "0.03528777890625", "0.0515843430566406"},
          {"3", "0.9", "0.621646698689225", "-0.783278589665391", "-0.783278589665391",
           "-0.621646698689225", "-1", "19/24", "0.621646698689225", "-0.783278589665391",
           "-0.18602866504553", "-0.147641090938691"},
          {"p", "1.2", "0.362869709388019", "-0.931309040695873", "-0.931309040695873",
           "-0.362869709388019", "", "3/8", "", "", "-0.104772267078286", "-0.0408228423061521"},
          {"4", "1.2", "0.362439795471659", "-0.932099898603593", "", "", "1", "", "", "", "",
           ""}}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.caption);
        const MultistepViewOf<StateVector> view = oscillatorStepOf(row.caption, row.step);
        ASSERT_FALSE(view.fromStart);
        EXPECT_EQ(weightRows(view), row.rows);
    }
}

// The notes: which points the step weighs and the new value by component;
// the formula's kind without a curve, which the phase plane does not draw;
// an implicit formula's equation with F and its Jacobian.
TEST(MultistepView, OnASystemNotesNameTheStepAndItsComponents) {
    const struct {
        const char* caption;
        int step;
        std::vector<std::string> notes;
    } cases[] = {
        {"Adams-Bashforth 2", 2,
         {"Step 2 of 10 from x1 = 0.3 with h = 0.3 weighs the values and slopes at the 2 points "
          "x0 \u2026 x1 (marked): at x2, (y1, y2) = (0.8223625, -0.575401875), "
          "each component the sum of its columns \u2212\u03b1\u00b7y\u1d62,k and "
          "h\u00b7\u03b2\u00b7Fk(x\u1d62, y\u1d62) in the Weights table.",
          "Adams-Bashforth 2 integrates, component by component, the polynomial through the "
          "slopes at x0 \u2026 x1 from x1 to x2, starting from y1: y2 is where it ends."}},
        {"BDF 2", 2,
         {"Step 2 of 10 from x1 = 0.3 with h = 0.3 weighs the values and slopes at the 2 points "
          "x0 \u2026 x1 (marked): at x2, (y1, y2) = (0.828509615384615, -0.559701923076923), "
          "each component the sum of its columns \u2212\u03b1\u00b7y\u1d62,k and "
          "h\u00b7\u03b2\u00b7Fk(x\u1d62, y\u1d62) in the Weights table.",
          "BDF 2 takes, component by component, the polynomial through y0 \u2026 y2, and y2 is "
          "the value whose polynomial has the slope F(x2, y2) at x2.",
          "y2 is on both sides of the formula: y2 = e + h\u00b72/3\u00b7F(x2, y2), where e = "
          "(0.94045, -0.394) is the sum of the past rows. Newton's method "
          "solves it from y2 = e, as for an implicit Runge-Kutta stage: with F's Jacobian by "
          "central difference quotients once, at the last point and e, and again at every "
          "iterate where that does not converge (the rate \u03b8 reaches 1, or is too slow): "
          "the Newton iterations table, and in the plot, paler the earlier."}},
        {"Adams-Bashforth 2", 1,
         {"Step 1 of 10 is a starting value from Runge-Kutta 4: at x1, (y1, y2) = "
          "(0.9553375, -0.2955). Adams-Bashforth 2 weighs the 2 values "
          "before a step, which the run has from step 2 on."}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(oscillatorStepOf(row.caption, row.step).notes, row.notes);
    }
}

// BDF 2's new value by Newton's method, a column for each component: on a
// linear slope the first iterate is the value, up to the Jacobian's
// difference quotients, and the last is the run's, the Weights table's.
TEST(MultistepView, NewtonIteratesOfAnImplicitFormulaPerComponent) {
    const MultistepViewOf<StateVector> view = oscillatorStepOf("BDF 2", 2);
    const Rows rows = newtonRows(view.numbers.iterations);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows.front().size(), newValueNewtonColumns(2, 2).size());
    // The start is e, the sum of the past rows.
    EXPECT_EQ((std::vector<std::string>{rows.front()[4], rows.front()[5]}),
              (std::vector<std::string>{"0.94045", "-0.394"}));
    EXPECT_EQ((std::vector<std::string>{rows.back()[4], rows.back()[5]}),
              (std::vector<std::string>{"0.828509615384615", "-0.559701923076923"}));
}

// The phase plane: the past points (y1, y2), the new one, the increment from
// the last past point to it, an arrow along each past slope and the new
// one's, and Newton's iterates; the known solution where one is given.
TEST(MultistepView, OnASystemThePhasePlaneDrawsThePastPointsAndTheNewOne) {
    const PathOf<StateVector> path =
        solutionPath(methodByCaption("BDF 2"), oscillator, 0, {1, 0}, 3, 0.3);
    const auto circle = [](const std::vector<double>& x) {
        std::vector<StateVector> states;
        for (double at : x) states.push_back({std::cos(at), -std::sin(at)});
        return states;
    };
    const MultistepViewOf<StateVector> view =
        multistepView(path, oscillator, circle, "Runge-Kutta 4", 2);
    const MultistepPhaseDrawing drawing = multistepPhaseDrawing(view);
    EXPECT_EQ(drawing.past.x, (std::vector<double>{1, path.y[1][0]}));
    EXPECT_EQ(drawing.past.y, (std::vector<double>{0, path.y[1][1]}));
    EXPECT_EQ(drawing.next.x, (std::vector<double>{path.y[2][0]}));
    ASSERT_TRUE(drawing.increment);
    EXPECT_EQ(drawing.increment->x1, path.y[1][0]);
    EXPECT_EQ(drawing.increment->y2, path.y[2][1]);
    EXPECT_EQ(drawing.slopes.size(), 3u);
    EXPECT_EQ(drawing.iterates.size(), view.numbers.iterations.size());
    // The known solution from x0, the first point the step weighs, to x2.
    EXPECT_EQ(drawing.known.x.front(), 1);
    EXPECT_DOUBLE_EQ(drawing.known.y.back(), -std::sin(0.6));
    EXPECT_FALSE(drawing.leftOut);
    for (double y1 : {drawing.known.x.back(), drawing.next.x.front()}) {
        EXPECT_TRUE(drawing.y1.lower < y1 && y1 < drawing.y1.upper);
    }
}
