// The stages of one step of a partitioned method on a system that splits
// into positions and momenta: the Stages table with the abscissae of both
// tableaus, the stage values and slopes with a column for every component,
// and the step as the phase plane (y1, y2) draws it.
#include "texts/partitioned_stage_view.h"

#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelorin;

namespace {

using Rows = std::vector<std::vector<std::string>>;
using pelorin::testing::splitOscillator;

// The oscillator with the momentum first: y1' = -y2, y2' = y1.
const SplitReading momentumFirst{ComponentSplit{{true, false}}, {}};
StateVector swapped(double, const StateVector& y) { return {-y[1], y[0]}; }
SlopeOf<StateVector> splitSwapped() {
    return SlopeOf<StateVector>(swapped).withSplit(&momentumFirst);
}

// Step `step` of the run from x0 = 0 to 1 with h = 0.1.
PartitionedStageView stepOf(const char* method, SlopeOf<StateVector> F, const StateVector& y0,
                            int step) {
    return partitionedStageView(solutionPath(methodByCaption(method), F, 0, y0, 1, 0.1), F, {},
                                step);
}

}  // namespace

// The columns follow the split: a position's slope is taken at x + c_j·h,
// a momentum's at x + ĉ_j·h.
TEST(PartitionedStageView, TheSlopesColumnsSayWhichTableausAbscissaTheyTake) {
    EXPECT_EQ(partitionedStageColumns({false, true}),
              (std::vector<std::string>{"j", "x + c\u2c7c\u00b7h (positions' tableau)",
                                        "x + \u0109\u2c7c\u00b7h (momenta's tableau)", "Y\u2c7c,1",
                                        "Y\u2c7c,2", "F1(x + c\u2c7c\u00b7h, Y\u2c7c)",
                                        "F2(x + \u0109\u2c7c\u00b7h, Y\u2c7c)"}));
    EXPECT_EQ(partitionedStageColumns({true, false}),
              (std::vector<std::string>{"j", "x + c\u2c7c\u00b7h (positions' tableau)",
                                        "x + \u0109\u2c7c\u00b7h (momenta's tableau)", "Y\u2c7c,1",
                                        "Y\u2c7c,2", "F1(x + \u0109\u2c7c\u00b7h, Y\u2c7c)",
                                        "F2(x + c\u2c7c\u00b7h, Y\u2c7c)"}));
}

// On the oscillator from (1, 0) with h = 0.1, as tests/support/partitioned_stages.py
// works them out in exact arithmetic. Symplectic Euler's one stage takes the
// momentum's slope at the step's end (ĉ = 1) from the old position, then the
// position's at its start (c = 0) from the new momentum; Störmer-Verlet's
// first stage holds the half step p½ = -0.05 of the momentum. With the
// momentum first the same numbers change columns; a later step starts where
// the run is.
TEST(PartitionedStageView, StageRowsOfOneStepOnTheOscillator) {
    const std::string step1 = "step 1: y + h\u00b7\u03a3 b\u2c7cF\u2c7c";
    const struct {
        const char* name;
        const char* method;
        SlopeOf<StateVector> F;
        StateVector y0;
        int step;
        Rows rows;
        std::string sentence;
    } cases[] = {
        {"Symplectic Euler",
         "Symplectic Euler",
         splitOscillator(),
         {1, 0},
         1,
         {{"1", "0", "0.1", "1", "-0.1", "-0.1", "-1"},
          {step1, "0.1", "0.1", "0.99", "-0.1", "-0.01", "-0.1"}},
         "Step 1 of 10 from x0 = 0, (y1, y2) = (1, 0) with h = 0.1: at x1 = 0.1, (y1, y2) = (0.99, "
         "-0.1)."},
        {"St\u00f6rmer-Verlet",
         "St\u00f6rmer-Verlet",
         splitOscillator(),
         {1, 0},
         1,
         {{"1", "0", "0", "1", "-0.05", "-0.05", "-1"},
          {"2", "0.1", "0.1", "0.995", "-0.05", "-0.05", "-0.995"},
          {step1, "0.1", "0.1", "0.995", "-0.09975", "-0.005", "-0.09975"}},
         "Step 1 of 10 from x0 = 0, (y1, y2) = (1, 0) with h = 0.1: at x1 = 0.1, (y1, y2) = "
         "(0.995, -0.09975)."},
        {"Symplectic Euler, momentum first",
         "Symplectic Euler",
         splitSwapped(),
         {0, 1},
         1,
         {{"1", "0", "0.1", "-0.1", "1", "-1", "-0.1"},
          {step1, "0.1", "0.1", "-0.1", "0.99", "-0.1", "-0.01"}},
         "Step 1 of 10 from x0 = 0, (y1, y2) = (0, 1) with h = 0.1: at x1 = 0.1, (y1, y2) = (-0.1, "
         "0.99)."},
        {"St\u00f6rmer-Verlet, momentum first",
         "St\u00f6rmer-Verlet",
         splitSwapped(),
         {0, 1},
         1,
         {{"1", "0", "0", "-0.05", "1", "-1", "-0.05"},
          {"2", "0.1", "0.1", "-0.05", "0.995", "-0.995", "-0.05"},
          {step1, "0.1", "0.1", "-0.09975", "0.995", "-0.09975", "-0.005"}},
         "Step 1 of 10 from x0 = 0, (y1, y2) = (0, 1) with h = 0.1: at x1 = 0.1, (y1, y2) = "
         "(-0.09975, 0.995)."},
        {"St\u00f6rmer-Verlet, step 3",
         "St\u00f6rmer-Verlet",
         splitOscillator(),
         {1, 0},
         3,
         {{"1", "0.2", "0.2", "0.98005", "-0.247505", "-0.247505", "-0.98005"},
          {"2", "0.3", "0.3", "0.9552995", "-0.247505", "-0.247505", "-0.9552995"},
          {"step 3: y + h\u00b7\u03a3 b\u2c7cF\u2c7c", "0.3", "0.3", "0.9552995", "-0.295269975",
           "-0.0247505", "-0.096767475"}},
         "Step 3 of 10 from x2 = 0.2, (y1, y2) = (0.98005, -0.1985025) with h = 0.1: at x3 = 0.3, "
         "(y1, y2) = (0.9552995, -0.295269975)."},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const PartitionedStageView view = stepOf(row.method, row.F, row.y0, row.step);
        EXPECT_EQ(view.steps, 10);
        EXPECT_EQ(stageRows(view), row.rows);
        EXPECT_EQ(view.notes, std::vector<std::string>{row.sentence});
    }
}

// The phase plane draws the stage points Y_j = (Q_j, P_j), from each an arrow
// a quarter of h times its slopes long, and the increment to the step's end:
// Störmer-Verlet's two stages share the half-step momentum -0.05.
TEST(PartitionedStageView, ThePhasePlaneDrawsTheStagePoints) {
    const PartitionedStageView view =
        stepOf("St\u00f6rmer-Verlet", splitOscillator(), {1, 0}, 1);
    const PhaseStepDrawing drawing = phaseStepDrawing(phaseView(view));
    // Each a few roundings from the decimal.
    ASSERT_EQ(drawing.stagePoints.x.size(), 2u);
    EXPECT_DOUBLE_EQ(drawing.stagePoints.x[0], 1);
    EXPECT_DOUBLE_EQ(drawing.stagePoints.y[0], -0.05);
    EXPECT_DOUBLE_EQ(drawing.stagePoints.x[1], 0.995);
    EXPECT_DOUBLE_EQ(drawing.stagePoints.y[1], -0.05);
    ASSERT_EQ(drawing.slopes.size(), 2u);
    // The first arrow: a quarter of h·(K1, L1) = (-0.005, -0.1) from (1, -0.05).
    EXPECT_DOUBLE_EQ(drawing.slopes[0].x2, 0.99875);
    EXPECT_DOUBLE_EQ(drawing.slopes[0].y2, -0.075);
    ASSERT_TRUE(drawing.increment);
    EXPECT_EQ(drawing.increment->x1, 1);
    EXPECT_EQ(drawing.increment->y1, 0);
    EXPECT_EQ(drawing.increment->x2, view.yEnd[0]);
    EXPECT_EQ(drawing.increment->y2, view.yEnd[1]);
    EXPECT_FALSE(drawing.leftOut);
    std::vector<std::string> labels;
    for (const StageLabel& label : phaseStageLabels(phaseView(view).stages))
        labels.push_back(label.text);
    EXPECT_EQ(labels, (std::vector<std::string>{"k1", "k2"}));
}

// A run without a step says why, as any system's does.
TEST(PartitionedStageView, ARunWithoutAStepIsExplained) {
    const SlopeOf<StateVector> F = splitOscillator();
    const PartitionedStageView none = partitionedStageView(
        solutionPath(methodByCaption("St\u00f6rmer-Verlet"), F, 0, {1, 0}, 0, 0.1), F, {}, 1);
    EXPECT_EQ(none.steps, 0);
    EXPECT_TRUE(stageRows(none).empty());
    EXPECT_EQ(none.notes, (std::vector<std::string>{"x1 = x0: the run has no step to show."}));
}
