// A multistep step on a system as the One step page writes it: the Weights
// table with a column for every component, the notes naming the step and
// its new value, an implicit formula's Newton table, and what the phase
// plane (y1, y2) draws.
#include "texts/multistep_view.h"

#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

using namespace pelorin;

namespace {

using Rows = std::vector<std::vector<std::string>>;
using pelorin::testing::oscillator;

// The oscillator from x0 = 0, y = (1, 0) to x1 = 3 with h = 0.3, started
// with Runge-Kutta 4 (the lab's default).
SystemMultistepView stepOf(const char* caption, int step) {
    const SystemPath path =
        solutionPath(methodByCaption(caption), oscillator, 0, {1, 0}, 3, 0.3);
    return multistepView(path, oscillator, {}, "Runge-Kutta 4", step);
}

}  // namespace

TEST(SystemMultistepView, WeightColumnsNameEveryComponent) {
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
TEST(SystemMultistepView, WeightRowsOnTheOscillator) {
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
        const SystemMultistepView view = stepOf(row.caption, row.step);
        ASSERT_FALSE(view.fromStart);
        EXPECT_EQ(weightRows(view), row.rows);
    }
}

// The notes: which points the step weighs and the new value by component;
// the formula's kind without a curve, which the phase plane does not draw;
// an implicit formula's equation with F and its Jacobian.
TEST(SystemMultistepView, NotesNameTheStepAndItsComponents) {
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
        EXPECT_EQ(stepOf(row.caption, row.step).notes, row.notes);
    }
}

// BDF 2's new value by Newton's method, a column for each component: on a
// linear slope the first iterate is the value, up to the Jacobian's
// difference quotients, and the last is the run's, the Weights table's.
TEST(SystemMultistepView, NewtonIteratesOfAnImplicitFormulaPerComponent) {
    const SystemMultistepView view = stepOf("BDF 2", 2);
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
TEST(SystemMultistepView, ThePhasePlaneDrawsThePastPointsAndTheNewOne) {
    const SystemPath path = solutionPath(methodByCaption("BDF 2"), oscillator, 0, {1, 0}, 3, 0.3);
    const auto circle = [](const std::vector<double>& x) {
        std::vector<StateVector> states;
        for (double at : x) states.push_back({std::cos(at), -std::sin(at)});
        return states;
    };
    const SystemMultistepView view = multistepView(path, oscillator, circle, "Runge-Kutta 4", 2);
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
