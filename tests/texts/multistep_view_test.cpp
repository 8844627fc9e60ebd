// A multistep step as the One step page writes it: the Weights table and the
// formula's fractions, the sentences of a starting value and of a formula
// step, and the plot's parts where a wrong picture would differ.
#include "texts/multistep_view.h"
#include "methods/multistep_formulas.h"

#include "base/number_text.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pelorin;

namespace {

using Rows = std::vector<std::vector<std::string>>;

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
    for (const char* caption :
         {"Adams-Bashforth 3", "Adams-Moulton 3", "Adams predictor-corrector 4", "BDF 3"}) {
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
    }
}

TEST(MultistepView, FormulaKinds) {
    EXPECT_EQ(formulaKind(adamsBashforth2), FormulaKind::adams);
    EXPECT_EQ(formulaKind(adamsMoulton3), FormulaKind::adams);
    EXPECT_EQ(formulaKind(bdf4), FormulaKind::backwardDifferentiation);
    EXPECT_EQ(formulaKind(classicUnstableFormula), FormulaKind::other);
}
