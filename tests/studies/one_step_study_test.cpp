// The One step page's study: the lab's run of the chosen method, which the
// page walks step by step, and where the solution through the start ends,
// found by the reference for a typed equation without an exact solution.
#include "studies/one_step_study.h"

#include "tests/support/typed_problems.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

using namespace pelorin;
using pelorin::testing::lessonAt;
using pelorin::testing::systemProblem;
using pelorin::testing::typedProblem;

namespace {

// Runge-Kutta 4 on y' = y² from (0, 1), in exact fractions (python3) and
// rounded: with h = 0.25 y1 = 1.3332209000291566, y2 = 1.9988380985435359.
// The solution 1/(1 - x) ends at x = 1, which the reference finds on a
// range past it; the lesson's equation and y' = y have no end.
TEST(OneStepStudy, TheRunAndWhereTheSolutionEnds) {
    const struct {
        const char* name;
        Problem problem;
        double h;
        std::vector<double> x, y;
        std::optional<double> end;
    } rows[] = {
        {"y' = y^2 to 0.5", typedProblem("y^2", 0, 1, 0.5), 0.25, {0, 0.25, 0.5},
         {1, 1.3332209000291566, 1.9988380985435359}, {}},
        {"y' = y^2 to 1.5", typedProblem("y^2", 0, 1, 1.5), 0.5, {0, 0.5, 1, 1.5},
         {1, 1.9884538265566032, 16.506090362570017, 221927041169.87408}, 1},
        {"y' = y to 0.5", typedProblem("y", 0, 1, 0.5), 0.25, {0, 0.25, 0.5},
         {1, 1.2840169270833333, 1.6486994690365262}, {}},
        {"the lesson to 0.5", lessonAt(0, -1, 0.5), 0.25, {0, 0.25, 0.5},
         {-1, -0.83642578125, -0.81962847709655762}, {}},
    };
    const Method& rungeKutta4 = methodByCaption("Runge-Kutta 4");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const OneStepStudy study = studyOneStep<double>(rungeKutta4, row.problem, row.h, {});
        EXPECT_EQ(study.run.method, &rungeKutta4);
        EXPECT_EQ(study.run.x, row.x);
        ASSERT_EQ(study.run.y.size(), row.y.size());
        for (std::size_t i = 0; i < row.y.size(); ++i)
            EXPECT_DOUBLE_EQ(study.run.y[i], row.y[i]) << i;
        ASSERT_EQ(study.end.has_value(), row.end.has_value());
        if (row.end) {
            EXPECT_EQ(study.end->x0, 0);
            EXPECT_NEAR(study.end->at, *row.end, 1e-6);
        }
    }
}

// Euler on y1' = y2, y2' = -y1 from (1, 0) with h = 0.5, typed without its
// exact solution: (1, 0), (1, -0.5), (0.75, -1), every number exact in
// binary; a system's steps have no end to pass.
TEST(OneStepStudy, ASystemsRunStepsEveryComponent) {
    const Problem harmonic = systemProblem({{"y2", "1", ""}, {"-y1", "0", ""}}, 0, 1);
    const OneStepStudyOf<StateVector> study =
        studyOneStep<StateVector>(methodByCaption("Euler"), harmonic, 0.5, {});
    ASSERT_EQ(study.run.y.size(), 3u);
    EXPECT_EQ(study.run.y[1], (StateVector{1, -0.5}));
    EXPECT_EQ(study.run.y[2], (StateVector{0.75, -1}));
    EXPECT_FALSE(study.end.has_value());
}

// A study no longer wanted before it begins, as a page asks for one at
// every box the student leaves, does nothing: no run, no end.
TEST(OneStepStudy, AStudyStoppedBeforeItBeginsDoesNothing) {
    std::stop_source stop;
    stop.request_stop();
    const OneStepStudy stopped =
        studyOneStep<double>(methodByCaption("Runge-Kutta 4"), typedProblem("y^2", 0, 1, 1.5), 0.5,
                             {}, stop.get_token());
    EXPECT_TRUE(stopped.run.x.empty());
    EXPECT_FALSE(stopped.end.has_value());
}

}  // namespace
