// The stages of one step of the lab's run on a system: the Stages table with
// a column for every component, the notes naming the step, and what the
// phase plane (y1, y2) draws of it.
#include "texts/system_stage_view.h"

#include "tests/support/fakes.h"
#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pelorin;

namespace {

// y1' = y2, y2' = -y1: the harmonic oscillator.
using pelorin::testing::oscillator;

// A system at rest: nothing moves, every stage is the start.
StateVector atRest(double, const StateVector& y) { return StateVector(y.size()); }

// Three components, the third running away from the first two: y1' = y2,
// y2' = -y1, y3' = 100.
StateVector withThird(double, const StateVector& y) { return {y[1], -y[0], 100}; }

SystemStageView firstStep(SystemSlope F, const StateVector& y0, double h,
                          const char* method = "Runge-Kutta 4") {
    return stageView(solutionPath(methodByCaption(method), F, 0, y0, 1, h), F, {}, 1);
}

}  // namespace

// Runge-Kutta 4's first step on the oscillator from (1, 0) with h = 0.5, as
// tests/support/system_values.py works it out in exact arithmetic: the stages
// are short binary fractions, the step's row holds sixths, and its y1 lies
// 1.5 units of the last place from a rounding edge, so the double the method
// computes, 0.8776041666666666, decides its last digit.
TEST(SystemStageView, StageRowsOfRungeKutta4sFirstStepOnTheOscillator) {
    const SystemStageView view = firstStep(oscillator, {1, 0}, 0.5);
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
TEST(SystemStageView, ThePhasePlaneDrawsTheFirstTwoComponents) {
    const struct {
        const char* name;
        SystemSlope F;
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
        const SystemStageView view = firstStep(row.F, row.y0, 0.5);
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
TEST(SystemStageView, StageLabelsNameThePointsInThePlane) {
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
TEST(SystemStageView, AStepAtRestKeepsRoomAroundItsPoint) {
    const PhaseStepDrawing drawing = phaseStepDrawing(firstStep(atRest, {1, -300}, 0.5, "Euler"));
    EXPECT_LT(drawing.y1.lower, 1);
    EXPECT_GT(drawing.y1.upper, 1);
    EXPECT_LT(drawing.y2.lower, -300 - 1);
    EXPECT_GT(drawing.y2.upper, -300 + 1);
}

// A run without a step, or one that stops, says why, as a single equation's.
TEST(SystemStageView, ARunWithoutStepsOrThatStoppedIsExplained) {
    const Method& euler = methodByCaption("Euler");
    const SystemStageView none =
        stageView(solutionPath(euler, oscillator, 0, {1, 0}, 0, 0.5), oscillator, {}, 1);
    EXPECT_EQ(none.steps, 0);
    EXPECT_TRUE(stageRows(none).empty());
    EXPECT_EQ(none.notes, (std::vector<std::string>{"x1 = x0: the run has no step to show."}));

    // y1' = 1/(x - 0.5), y2' = 0: the second step starts on the pole.
    const SystemSlope pole = [](double x, const StateVector&) {
        return StateVector{1 / (x - 0.5), 0};
    };
    const SystemPath stopped = solutionPath(euler, pole, 0, {0, 0}, 1, 0.5);
    const SystemStageView view = stageView(stopped, pole, {}, 5);
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
TEST(SystemStageView, NewtonIterationsOfTheMidPointOnTheOscillator) {
    const SystemStageView view = firstStep(oscillator, {1, 0}, 0.5, "Implicit mid point");
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
