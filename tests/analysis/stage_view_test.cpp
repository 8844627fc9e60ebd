// The stages of one listed step, as the lab draws them, and the tableaus as
// the lab tabulates them.
#include "analysis/stage_view.h"

#include "tests/support/fakes.h"

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
    EXPECT_EQ(view.notes.back(), "Step 2 of 2 from x = 0.4, y = -0.8112 with h = 0.4: "
                                 "y1 = -0.94830848.");
}

TEST(StageView, StepsAreClampedAndAMissingCalculationIsExplained) {
    const Calculation none;
    const StageView empty = stageView(none, 1);
    EXPECT_EQ(empty.steps, 0);
    EXPECT_EQ(empty.notes.front(), "Press CALCULATE in the main window: this page shows the "
                                   "stages of its steps.");

    pelorin::testing::Press press;
    press.window.enter("1E+400", "-1", "0.4", "0.4");  // x0 beyond a double
    press.calculate();
    const StageView failed = stageView(press.last, 1);
    EXPECT_EQ(failed.steps, 0);
    EXPECT_TRUE(failed.notes.front().starts_with("The last calculation listed no step: "));

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
