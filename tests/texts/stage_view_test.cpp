// The stages of one listed step, as the lab draws them, and the tableaus as
// the lab tabulates them; a system's step with a column for every component
// in the Stages table, drawn in the phase plane (y1, y2).
#include "texts/stage_view.h"
#include "texts/phase_step_view.h"
#include "methods/implicit_tableaus.h"

#include "tests/support/fakes.h"
#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pelorin;

TEST(StageView, StagesOfTheSecondRungeKuttaStepOfTheWorkedExample) {
    // x0 = 0, y0 = -1, x1 = 0.8, h = 0.4 with Runge-Kutta 4: by hand in
    // fractions, step 1 ends at -507/625 = -0.8112 and step 2 at
    // -370433/390625 = -0.94830848, with stage points at x = 0.4, 0.6
    // (0.4 + 0.2 in doubles), 0.6 and 0.8.
    pelorin::testing::Press press;
    press.window.enter("0", "-1", "0.8", "0.4");
    press.window.select("Runge-Kutta 4");
    press.calculate();
    const StageView view = stageView(press.last, 2);
    ASSERT_EQ(view.steps, 2);
    EXPECT_EQ(view.step, 2);
    ASSERT_EQ(view.stages.stages, 4);
    const double stageX[] = {0.4, 0.6000000000000001, 0.6000000000000001, 0.8};
    for (int j = 0; j < 4; ++j) {
        SCOPED_TRACE(j);
        EXPECT_EQ(view.stages.x[static_cast<std::size_t>(j)], stageX[j]);
        const Segment& segment = view.slopes[static_cast<std::size_t>(j)];
        // Each segment is centred on its stage point, a quarter step wide.
        EXPECT_DOUBLE_EQ((segment.x1 + segment.x2) / 2, stageX[j]);
        EXPECT_NEAR(segment.x2 - segment.x1, 0.1, 1e-15);
    }
    EXPECT_EQ(view.increment.x1, 0.4);
    EXPECT_EQ(view.increment.y2, view.stages.y1);
    EXPECT_EQ(view.exactX.front(), 0.4);
    EXPECT_DOUBLE_EQ(view.exactX.back(), 0.8);
    // The step from x1, y1 gives y2: the points named by their index.
    EXPECT_EQ(view.notes.back(), "Step 2 of 2 from x1 = 0.4, y1 = -0.8112 with h = 0.4: "
                                 "y2 = -0.94830848.");
}

// The first step from (0, -1) with h = 0.4, worked out in python3 in the
// operation order of stepByStages and written with 15 significant digits:
// Runge-Kutta 4's k2 and k3 share the abscissa 0.2, Merson's the abscissa
// 0.133333333333333; the rounding of -0.8 + 0.792 shows in RK4's last slope.
TEST(StageView, StageRowsOfTheFirstStepAsTheListWritesNumbers) {
    const struct {
        const char* method;
        std::vector<std::vector<std::string>> rows;
    } cases[] = {
        {"Runge-Kutta 4",
         {{"1", "0", "-1", "1", "0.4"},
          {"2", "0.2", "-0.8", "0.4", "0.16"},
          {"3", "0.2", "-0.92", "0.52", "0.208"},
          {"4", "0.4", "-0.792", "-0.00800000000000001", "-0.0032"},
          {"y1 = y0 + \u03a3 b\u2c7ck\u2c7c", "0.4", "-0.8112", "", "0.1888"}}},
        {"Runge-Kutta-Merson",
         {{"1", "0", "-1", "1", "0.4"},
          {"2", "0.133333333333333", "-0.866666666666667", "0.6", "0.24"},
          {"3", "0.133333333333333", "-0.893333333333333", "0.626666666666667",
           "0.250666666666667"},
          {"4", "0.2", "-0.856", "0.456", "0.1824"},
          {"5", "0.4", "-0.8112", "0.0112000000000001", "0.00448000000000004"},
          {"y1 = y0 + \u03a3 b\u2c7ck\u2c7c", "0.4", "-0.810986666666667", "",
           "0.189013333333333"}}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.method);
        pelorin::testing::Press press;
        press.window.select(row.method);
        press.calculate();
        const auto rows = stageRows(stageView(press.last, 1));
        ASSERT_EQ(rows.size(), row.rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            SCOPED_TRACE(r);
            EXPECT_EQ(rows[r], row.rows[r]);
        }
        // The step's end as the results list shows it.
        EXPECT_EQ(rows.back()[2], press.window.lines.back().substr(7));
    }
    EXPECT_TRUE(stageRows(stageView(Calculation{}, 1)).empty());
}

// One label per point: only stages at the very same point share one.
TEST(StageView, StageLabelsNameCoincidingStagesTogether) {
    const struct {
        const char* name;
        const char* method;
        const char* h;
        std::vector<std::string> texts;
    } cases[] = {
        // k2 and k3 share the abscissa 0.2 at Y = -0.8 and -0.92.
        {"Runge-Kutta 4", "Runge-Kutta 4", "0.4", {"k1", "k2", "k3", "k4"}},
        {"Merson", "Runge-Kutta-Merson", "0.4", {"k1", "k2", "k3", "k4", "k5"}},
        {"h = 0: every stage at the start", "Runge-Kutta 4", "0", {"k1, k2, k3, k4"}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        pelorin::testing::Press press;
        press.window.enter("0", "-1", "0.4", row.h);
        press.window.select(row.method);
        press.calculate();
        const std::vector<StageLabel> labels = stageLabels(stageView(press.last, 1).stages);
        ASSERT_EQ(labels.size(), row.texts.size());
        for (std::size_t i = 0; i < labels.size(); ++i) EXPECT_EQ(labels[i].text, row.texts[i]);
        EXPECT_EQ(labels.front().x, 0);
        EXPECT_EQ(labels.front().y, -1);
        EXPECT_EQ(labels.front().slope, 1);  // -2·0 - (-1)
    }
}

// Labels 20 by 10 pixels in a plot of 200 by 100, markers 6 wide.
TEST(StageView, LabelsGoWhereNoSegmentLabelOrPointIs) {
    using enum LabelSide;
    const PixelRect plot{0, 0, 200, 100};
    const struct {
        const char* name;
        std::vector<LabelSpot> spots;
        std::vector<LabelSide> sides;
    } cases[] = {
        {"a rising segment leaves the upper left free", {{100, 50, 20, 10, 0.5}}, {aboveLeft}},
        {"a falling one the upper right", {{100, 50, 20, 10, -0.5}}, {aboveRight}},
        {"a level one counts as rising", {{100, 50, 20, 10, 0}}, {aboveLeft}},
        {"two points 4 pixels apart at one abscissa",
         {{100, 50, 20, 10, 0.5}, {100, 54, 20, 10, 0.5}},
         {aboveLeft, belowRight}},
        {"the same, the lower one named first",
         {{100, 54, 20, 10, 0.5}, {100, 50, 20, 10, 0.5}},
         {belowRight, aboveLeft}},
        {"points far apart at one abscissa keep their first choice",
         {{100, 30, 20, 10, 0.5}, {100, 70, 20, 10, 0.5}},
         {aboveLeft, aboveLeft}},
        {"a neighbour 12 pixels to the right", {{100, 50, 20, 10, 0.5}, {112, 47, 20, 10, 0.5}},
         {aboveLeft, belowRight}},
        {"a label would hide another point", {{100, 50, 20, 10, 0.5}, {90, 45, 20, 10, 0.5}},
         {belowRight, aboveLeft}},
        {"at the top edge", {{100, 5, 20, 10, 0.5}}, {belowRight}},
        {"in the top left corner, falling", {{5, 5, 20, 10, -0.5}}, {belowRight}},
        {"nowhere free: the first within the plot",
         {{10, 5, 20, 10, 0.5}, {10, 5, 20, 10, 0.5}},
         {belowRight, belowRight}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(placeLabels(row.spots, plot, 6), row.sides);
    }
}

// "Press CALCULATE" only before the first press; after it, what happened.
TEST(StageView, StepsAreClampedAndACalculationWithoutStepsIsExplained) {
    const Calculation none;
    const StageView empty = stageView(none, 1);
    EXPECT_EQ(empty.steps, 0);
    EXPECT_EQ(empty.notes.front(), "Press CALCULATE in the main window: this page shows the "
                                   "stages of its steps.");

    const struct {
        const char* name;
        const char* x0;
        const char* x1;
        const char* h;
        int steps;
        const char* note;
    } cases[] = {
        {"x1 below x0", "1", "0", "0.4", 0,
         "The last calculation listed no step: x1 = 0 is not beyond x0 = 1, and the steps go "
         "from x0 towards larger x."},
        {"x0 beyond a double", "1E+400", "0.4", "0.4", 0,
         "The last calculation listed no step: The number entered for x0 is too large to "
         "calculate with. Enter a number between -1E+308 and 1E+308."},
        {"h = 0 fills the list", "0", "0.4", "0", 10,
         "The last calculation stopped after listing 10 steps: With h = 0 the calculation never "
         "gets from x0 to x1. Enter a positive h."},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        pelorin::testing::Press press;
        press.window.enter(row.x0, "-1", row.x1, row.h);
        press.calculate();
        const StageView view = stageView(press.last, 1);
        EXPECT_EQ(view.steps, row.steps);
        EXPECT_EQ(view.notes.back(), row.note);
    }

    pelorin::testing::Press worked;
    worked.calculate();
    EXPECT_EQ(stageView(worked.last, 5).step, 1);
    EXPECT_EQ(stageView(worked.last, -3).step, 1);
}

TEST(StageView, TableausAsATextbookPrintsThem) {
    const std::vector<std::vector<std::string>> heun{
        {"0", "", ""}, {"1", "1", ""}, {"", "1/2", "1/2"}};
    EXPECT_EQ(tableauCells(eulerEndPointTableau), heun);
    const auto merson = tableauCells(mersonTableau);
    ASSERT_EQ(merson.size(), 7u);  // five stages, b, e
    EXPECT_EQ(merson[4], (std::vector<std::string>{"1", "1/2", "0", "-3/2", "2", ""}));
    EXPECT_EQ(merson[6], (std::vector<std::string>{"", "2/30", "0", "-9/30", "8/30", "-1/30"}));
    const auto gill = tableauCells(gillTableau);
    EXPECT_EQ(gill[3][3], "(2 + \u221a2)/2");
}

// The lab's own run on y' = y - x^2 + 1, y(0) = 0.5 with Runge-Kutta 4 and
// h = 0.2: the second step's stages worked out in python3 in the operation
// order of stepByStages, with 15 significant digits; the solution over the
// step is the exact (x + 1)^2 - e^x/2, asked for in one call.
TEST(StageView, StagesOfTheLabsOwnRunOnATypedProblem) {
    const Slope textbook = [](double x, double y) { return y - x * x + 1; };
    const Method& rk4 = methodByCaption("Runge-Kutta 4");
    const SolutionPath path = solutionPath(rk4, textbook, 0, 0.5, 2, 0.2);
    int calls = 0;
    const SolutionSamples exact = [&calls](const std::vector<double>& abscissae) {
        ++calls;
        std::vector<double> values;
        for (double x : abscissae) values.push_back((x + 1) * (x + 1) - std::exp(x) / 2);
        return values;
    };
    const StageView view = stageView(path, textbook, exact, 2);
    EXPECT_EQ(view.steps, 10);
    EXPECT_EQ(stageRows(view),
              (std::vector<std::vector<std::string>>{
                  {"1", "0.2", "0.829293333333333", "1.78929333333333", "0.357858666666667"},
                  {"2", "0.3", "1.00822266666667", "1.91822266666667", "0.383644533333333"},
                  {"3", "0.3", "1.0211156", "1.9311156", "0.38622312"},
                  {"4", "0.4", "1.21551645333333", "2.05551645333333", "0.411103290666667"},
                  {"y2 = y1 + \u03a3 b\u2c7ck\u2c7c", "0.4", "1.21407621066667", "",
                   "0.384782877333333"}}));
    EXPECT_EQ(view.notes.back(), "Step 2 of 10 from x1 = 0.2, y1 = 0.829293333333333 with "
                                 "h = 0.2: y2 = 1.21407621066667.");
    EXPECT_EQ(calls, 1);
    ASSERT_FALSE(view.exactX.empty());
    EXPECT_EQ(view.exactX.front(), 0.2);
    EXPECT_NEAR(view.exactX.back(), 0.4, 1e-15);
}

// On the lesson's equation the lab's run and the main window's calculation
// show the very same steps while their abscissae agree (the list sums its
// steps, the lab computes x0 + i·h afresh, and by step 10 they part in the
// last digit); a run without a step says why.
TEST(StageView, TheLabsRunAgreesWithTheCalculationAndExplainsNoStep) {
    pelorin::testing::Press press;
    press.window.enter("0", "-1", "1", "0.1");
    press.window.select("Runge-Kutta-Gill");
    press.calculate();
    const SolutionPath path = solutionPath(*press.last.method, f1, 0, -1, 1, 0.1);
    for (int step : {1, 2, 4}) {
        SCOPED_TRACE(step);
        EXPECT_EQ(stageRows(stageView(path, f1, {}, step)), stageRows(stageView(press.last, step)));
    }

    const struct {
        const char* name;
        double x1, h;
        const char* note;
    } cases[] = {
        {"x1 = x0", 0, 0.1, "x1 = x0: the run has no step to show."},
        {"h = 0", 1, 0,
         "Runge-Kutta-Gill, h = 0: a step of 0 never gets from x0 to x1; no step is taken."},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const StageView view =
            stageView(solutionPath(*press.last.method, f1, 0, -1, row.x1, row.h), f1, {}, 1);
        EXPECT_EQ(view.steps, 0);
        EXPECT_TRUE(stageRows(view).empty());
        EXPECT_EQ(view.notes.back(), row.note);
    }
}

// An implicit stage needs itself and the later stages: its tableau shows
// every a_jl, zeros too, as the textbooks print the trapezoid and Gauss's.
TEST(StageView, ImplicitTableausShowEveryEntry) {
    EXPECT_EQ(tableauCells(trapezoidTableau),
              (std::vector<std::vector<std::string>>{
                  {"0", "0", "0"}, {"1", "1/2", "1/2"}, {"", "1/2", "1/2"}}));
    EXPECT_EQ(tableauCells(gaussLegendre4Tableau),
              (std::vector<std::vector<std::string>>{
                  {"(3 - \u221a3)/6", "1/4", "(3 - 2\u221a3)/12"},
                  {"(3 + \u221a3)/6", "(3 + 2\u221a3)/12", "1/4"},
                  {"", "1/2", "1/2"}}));
}

// Backward Euler's first step on y' = 5·e^(5x)·(y - x)² + 1 from (0, -1)
// with h = 0.2, as tests/support/newton_iterates.py iterates it in Python's
// floats: with the one Jacobian at (0, -1) the second update shrinks by
// θ = 0.265 only, too little to converge within 20 iterations, so the
// iterations start again with the Jacobian at every iterate; there the
// digits of Y settle twice as fast each iteration and θ falls with the
// update. The converged stage is the Stages table's, whose value mpmath
// confirms (-0.249868817, tests/support/implicit_values.py).
TEST(StageView, NewtonIterationsOfBackwardEulersFirstStep) {
    const Slope curved = [](double x, double y) {
        return 5 * std::exp(5 * x) * (y - x) * (y - x) + 1;
    };
    const SolutionPath path =
        solutionPath(methodByCaption("Backward Euler"), curved, 0, -1, 1, 0.2);
    const StageView view = stageView(path, curved, {}, 1);
    EXPECT_EQ(newtonColumns(view.stages.stages),
              (std::vector<std::string>{"iteration", "residual", "update", "\u03b8", "Y\u2081"}));
    EXPECT_EQ(newtonRows(view.stages),
              (std::vector<std::vector<std::string>>{
                  {"0 (start)", "2.06E+01", "", "", "-1"},
                  {"1", "5.46E+00", "6.86E+00", "", "0.371441944332294"},
                  {"2", "3.53E+00", "1.82E+00", "2.65E-01", "0.0075935177099018"},
                  {"0 (start)", "2.06E+01", "", "", "-1"},
                  {"1", "4.06E+00", "2.73E+00", "", "-0.45316408448136"},
                  {"2", "4.34E-01", "8.93E-01", "3.27E-01", "-0.274554504242692"},
                  {"3", "7.97E-03", "1.21E-01", "1.36E-01", "-0.250331526311273"},
                  {"4", "2.91E-06", "2.31E-03", "1.91E-02", "-0.249868985511461"},
                  {"5", "3.86E-13", "8.44E-07", "3.65E-04", "-0.249868816734994"},
                  {"6", "1.78E-15", "1.12E-13", "1.33E-07", "-0.249868816734971"}}));
    EXPECT_EQ(stageRows(view),
              (std::vector<std::vector<std::string>>{
                  {"1", "0.2", "-0.249868816734971", "3.75065591632514", "0.750131183265029"},
                  {"y1 = y0 + \u03a3 b\u2c7ck\u2c7c", "0.2", "-0.249868816734971", "",
                   "0.750131183265029"}}));
    EXPECT_EQ(view.notes[1],
              "Backward Euler is implicit: each stage Y\u2c7c = y + h\u00b7\u03a3\u2097 "
              "a\u2c7c\u2097\u00b7K\u2097, summed over every stage l, needs its own slope and the "
              "later ones, so Newton's method solves the stages together (the table Newton "
              "iterations): from every stage at y (iteration 0), with one J = \u2202f/\u2202y at "
              "(x, y) by central difference quotients, as production codes do. Residual: the "
              "largest |K\u2c7c - f(x + c\u2c7c\u00b7h, Y\u2c7c)|; update: the largest "
              "|\u0394K\u2c7c|; \u03b8: the update over the one before, the rate at which the "
              "iterations close in. They stop when \u03b8/(1 - \u03b8)\u00b7update, how far the "
              "stages still are from the solution, is at most 1E-14\u00b7max(1, largest "
              "|K\u2c7c|), or the residual is 0. Where \u03b8 reaches 1, or is too large to get "
              "there within 20 iterations, they start again at iteration 0 with J taken afresh "
              "at every iterate, at most 20 more.");
    const StageDrawing drawing = stageDrawing(view);
    ASSERT_EQ(drawing.iterates.size(), 10u);
    EXPECT_EQ(drawing.iterates[1].points.x, std::vector<double>{0.2});
    EXPECT_EQ(drawing.iterates[1].points.y,
              std::vector<double>{view.stages.iterations[1].states[0]});
}

// y' = 2y with h = 0.5: backward Euler's 1 - h·2 is 0, the step has no
// value. The page says so in words, with no number where the value would
// be; its one iterate, the start, is drawn, and nothing is "left out".
TEST(StageView, AStepWithoutAValueIsShownInWords) {
    const Slope doubling = [](double, double y) { return 2 * y; };
    const Method& backwardEuler = methodByCaption("Backward Euler");
    const StageView view = stageView(solutionPath(backwardEuler, doubling, 0.4, 1, 1.4, 0.5),
                                     doubling, {}, 1);
    ASSERT_EQ(view.steps, 1);
    EXPECT_FALSE(view.stages.hasValue());
    EXPECT_EQ(stageRows(view), (std::vector<std::vector<std::string>>{
                                   {"1", "0.9", "no value", "no value", "no value"},
                                   {"y1 = y0 + \u03a3 b\u2c7ck\u2c7c", "0.9", "no value", "",
                                    "no value"}}));
    EXPECT_EQ(newtonRows(view.stages),
              (std::vector<std::vector<std::string>>{{"0 (start)", "2.00E+00", "", "", "1"}}));
    ASSERT_EQ(view.notes.size(), 3u);
    EXPECT_EQ(view.notes[0], "Step 1 of 1 from x0 = 0.4, y0 = 1 with h = 0.5: y1 has no value.");
    EXPECT_EQ(view.notes[2], "Backward Euler, h = 0.5: step 1 has no value. Newton's method did "
                             "not converge in the step from x = 0.4: in iteration 1 the matrix "
                             "I - h\u00b7A\u2297J is singular. The run stops there.");
    const StageDrawing drawing = stageDrawing(view);
    EXPECT_TRUE(drawing.stagePoints.x.empty());
    EXPECT_FALSE(drawing.increment);
    EXPECT_FALSE(drawing.leftOut);
    ASSERT_EQ(drawing.iterates.size(), 1u);
    EXPECT_EQ(drawing.iterates[0].points.y, std::vector<double>{1});
    EXPECT_TRUE(stageLabels(view.stages).empty());

    // y' = y² has no backward Euler step once 4·h·y > 1: the run stops
    // there, and the walk ends on that step after the ones with a value.
    const Slope square = [](double, double y) { return y * y; };
    const SolutionPath growing = solutionPath(backwardEuler, square, 0, 1, 10, 0.1);
    ASSERT_EQ(growing.end, PathEnd::noValue);
    const auto taken = static_cast<int>(growing.x.size()) - 1;
    ASSERT_GE(taken, 1);
    const StageView last = stageView(growing, square, {}, 1000);
    EXPECT_EQ(last.steps, taken + 1);
    EXPECT_EQ(last.step, taken + 1);
    EXPECT_FALSE(last.stages.hasValue());
    EXPECT_TRUE(stageView(growing, square, {}, taken).stages.hasValue());
}

namespace {

// y1' = y2, y2' = -y1: the harmonic oscillator.
using pelorin::testing::oscillator;

// A system at rest: nothing moves, every stage is the start.
StateVector atRest(double, const StateVector& y) { return StateVector(y.size()); }

// Three components, the third running away from the first two: y1' = y2,
// y2' = -y1, y3' = 100.
StateVector withThird(double, const StateVector& y) { return {y[1], -y[0], 100}; }

StageViewOf<StateVector> firstStep(SlopeOf<StateVector> F, const StateVector& y0, double h,
                          const char* method = "Runge-Kutta 4") {
    return stageView(solutionPath(methodByCaption(method), F, 0, y0, 1, h), F, {}, 1);
}

}  // namespace

// Runge-Kutta 4's first step on the oscillator from (1, 0) with h = 0.5, as
// tests/support/system_values.py works it out in exact arithmetic: the stages
// are short binary fractions, the step's row holds sixths, and its y1 lies
// 1.5 units of the last place from a rounding edge, so the double the method
// computes, 0.8776041666666666, decides its last digit.
TEST(StageViewOfASystem, StageRowsOfRungeKutta4sFirstStepOnTheOscillator) {
    const StageViewOf<StateVector> view = firstStep(oscillator, {1, 0}, 0.5);
    EXPECT_EQ(systemStageColumns(2),
              (std::vector<std::string>{"j", "x + c\u2c7c\u00b7h", "Y\u2c7c,1", "Y\u2c7c,2",
                                        "F1(x + c\u2c7c\u00b7h, Y\u2c7c)",
                                        "F2(x + c\u2c7c\u00b7h, Y\u2c7c)", "k\u2c7c,1 = h\u00b7F1",
                                        "k\u2c7c,2 = h\u00b7F2"}));
    EXPECT_EQ(stageRows(view),
              (std::vector<std::vector<std::string>>{
                  {"1", "0", "1", "0", "0", "-1", "0", "-0.5"},
                  {"2", "0.25", "1", "-0.25", "-0.25", "-1", "-0.125", "-0.5"},
                  {"3", "0.25", "0.9375", "-0.25", "-0.25", "-0.9375", "-0.125", "-0.46875"},
                  {"4", "0.5", "0.875", "-0.46875", "-0.46875", "-0.875", "-0.234375", "-0.4375"},
                  {"step 1: y + \u03a3 b\u2c7ck\u2c7c", "0.5", "0.877604166666667",
                   "-0.479166666666667", "", "", "-0.122395833333333", "-0.479166666666667"}}));
    EXPECT_EQ(view.notes, (std::vector<std::string>{
                              "Step 1 of 2 from x0 = 0, (y1, y2) = (1, 0) with h = 0.5: at x1 = "
                              "0.5, (y1, y2) = (0.877604166666667, -0.479166666666667)."}));
}

// The phase plane draws the first two components: the stage points Y_j, from
// each an arrow a quarter of its k_j long, the increment from the start to
// the step's end; with a third component the notes say which two are shown,
// and the third, far larger, stretches no axis.
TEST(StageViewOfASystem, ThePhasePlaneDrawsTheFirstTwoComponents) {
    const struct {
        const char* name;
        SlopeOf<StateVector> F;
        StateVector y0;
        const char* note;  // the last note
    } cases[] = {
        {"two components", oscillator, {1, 0}, nullptr},
        {"three components", withThird, {1, 0, 0},
         "The plot shows the phase plane of y1 and y2, the first two of the 3 components; the "
         "Stages table lists them all."},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const StageViewOf<StateVector> view = firstStep(row.F, row.y0, 0.5);
        const PhaseStepDrawing drawing = phaseStepDrawing(view);
        // By hand: the stage points and k_j of the table above.
        EXPECT_EQ(drawing.stagePoints.x, (std::vector<double>{1, 1, 0.9375, 0.875}));
        EXPECT_EQ(drawing.stagePoints.y, (std::vector<double>{0, -0.25, -0.25, -0.46875}));
        ASSERT_EQ(drawing.slopes.size(), 4u);
        const Segment& third = drawing.slopes[2];
        EXPECT_EQ(third.x1, 0.9375);
        EXPECT_EQ(third.y1, -0.25);
        EXPECT_EQ(third.x2, 0.9375 - 0.125 / 4);
        EXPECT_EQ(third.y2, -0.25 - 0.46875 / 4);
        ASSERT_TRUE(drawing.increment);
        EXPECT_EQ(drawing.increment->x1, 1);
        EXPECT_EQ(drawing.increment->y1, 0);
        EXPECT_EQ(drawing.increment->x2, view.yEnd[0]);
        EXPECT_EQ(drawing.increment->y2, view.yEnd[1]);
        // The arrows reach y2 = -0.578125 at the lowest; y3 reaches 50.
        EXPECT_LT(drawing.y1.upper, 2);
        EXPECT_GT(drawing.y2.lower, -1);
        EXPECT_FALSE(drawing.leftOut);
        EXPECT_EQ(view.notes.size(), row.note ? 2u : 1u);
        if (row.note) {
            EXPECT_EQ(view.notes.back(), row.note);
        }
    }
}

// The labels name the stage points in the plane; Runge-Kutta 4's k1 sits on
// the start, and at rest all four stages sit there and share one label.
TEST(StageViewOfASystem, StageLabelsNameThePointsInThePlane) {
    const auto texts = [](const std::vector<StageLabel>& labels) {
        std::vector<std::string> names;
        for (const StageLabel& label : labels) names.push_back(label.text);
        return names;
    };
    const auto moving = phaseStageLabels(firstStep(oscillator, {1, 0}, 0.5).stages);
    EXPECT_EQ(texts(moving), (std::vector<std::string>{"k1", "k2", "k3", "k4"}));
    EXPECT_EQ(moving[3].x, 0.875);
    EXPECT_EQ(moving[3].y, -0.46875);
    EXPECT_EQ(moving[3].slope, 0.4375 / 0.234375);  // k_4,2 / k_4,1: its arrow's slope
    EXPECT_EQ(texts(phaseStageLabels(firstStep(atRest, {1, 2}, 0.5).stages)),
              (std::vector<std::string>{"k1, k2, k3, k4"}));
}

// A step that moves nothing still shows its point: each axis spans room
// about it rather than nothing at all.
TEST(StageViewOfASystem, AStepAtRestKeepsRoomAroundItsPoint) {
    const PhaseStepDrawing drawing = phaseStepDrawing(firstStep(atRest, {1, -300}, 0.5, "Euler"));
    EXPECT_LT(drawing.y1.lower, 1);
    EXPECT_GT(drawing.y1.upper, 1);
    EXPECT_LT(drawing.y2.lower, -300 - 1);
    EXPECT_GT(drawing.y2.upper, -300 + 1);
}

// A run without a step, or one that stops, says why, as a single equation's.
TEST(StageViewOfASystem, ARunWithoutStepsOrThatStoppedIsExplained) {
    const Method& euler = methodByCaption("Euler");
    const StageViewOf<StateVector> none =
        stageView(solutionPath(euler, oscillator, 0, {1, 0}, 0, 0.5), oscillator, {}, 1);
    EXPECT_EQ(none.steps, 0);
    EXPECT_TRUE(stageRows(none).empty());
    EXPECT_EQ(none.notes, (std::vector<std::string>{"x1 = x0: the run has no step to show."}));

    // y1' = 1/(x - 0.5), y2' = 0: the second step starts on the pole.
    const SlopeOf<StateVector> pole = [](double x, const StateVector&) {
        return StateVector{1 / (x - 0.5), 0};
    };
    const PathOf<StateVector> stopped = solutionPath(euler, pole, 0, {0, 0}, 1, 0.5);
    const StageViewOf<StateVector> view = stageView(stopped, pole, {}, 5);
    EXPECT_EQ(view.step, 1);
    EXPECT_EQ(view.notes.back(),
              "Euler, h = 0.5: step 2 from (0.5, -1, 0) gives no finite value (f is not finite on "
              "the step, or the numbers grew too large to calculate with); the run stops there.");
}

// The implicit mid point's first step on the oscillator from (1, 0) with
// h = 0.5 in fractions: the stage is the mean of the start and the end,
// Y = (16/17, -4/17), and the step ends at (15/17, -8/17). The Newton table
// heads a column for every stage's every component, starts at y0, and its
// last iterate is the Stages table's stage; the plot draws each iterate in
// the phase plane.
TEST(StageViewOfASystem, NewtonIterationsOfTheMidPointOnTheOscillator) {
    const StageViewOf<StateVector> view = firstStep(oscillator, {1, 0}, 0.5, "Implicit mid point");
    ASSERT_TRUE(view.stages.hasValue()) << view.stages.noValue;
    EXPECT_EQ(newtonColumns(2, 2), (std::vector<std::string>{"iteration", "residual", "update",
                                                             "\u03b8", "Y\u2081,1", "Y\u2081,2",
                                                             "Y\u2082,1", "Y\u2082,2"}));
    const auto rows = newtonRows(view.stages);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(newtonColumns(view.stages.stages, 2).size(), rows.front().size());
    // The start: Y = y0 = (1, 0) and K = 0, so the residual is |F(x, y0)| = 1.
    EXPECT_EQ(rows.front(), (std::vector<std::string>{"0 (start)", "1.00E+00", "", "", "1", "0"}));
    const auto stages = stageRows(view);
    EXPECT_EQ(stages[0][2], "0.941176470588235");
    EXPECT_EQ(stages[0][3], "-0.235294117647059");
    EXPECT_EQ(rows.back()[4], stages[0][2]);
    EXPECT_EQ(rows.back()[5], stages[0][3]);
    EXPECT_EQ(stages[1][2], "0.882352941176471");
    EXPECT_EQ(stages[1][3], "-0.470588235294118");

    const PhaseStepDrawing drawing = phaseStepDrawing(view);
    ASSERT_EQ(drawing.iterates.size(), rows.size());
    EXPECT_EQ(drawing.iterates[0].points.x, std::vector<double>{1});
    EXPECT_EQ(drawing.iterates[0].points.y, std::vector<double>{0});
    EXPECT_EQ(drawing.iterates.back().points.x, drawing.stagePoints.x);
    EXPECT_EQ(drawing.iterates.back().points.y, drawing.stagePoints.y);
}
