// The runs drawn over the direction field: how many steps reach x1, the
// points of h, h/2 and h/4, every method at one h, where a run stops, and the
// known solution sampled for its curve. Expected values were worked out
// apart from the program (Python: the same double operations in the same
// order; exact fractions where the steps are exact).
#include "numerics/solution_paths.h"
#include "tests/support/textbook.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

using namespace pelorin;
using pelorin::testing::textbook;
using pelorin::testing::textbookExact;

namespace {

double growth(double, double y) { return y; }
double reciprocalX(double x, double) { return 1 / x; }

const Method& euler = methodByCaption("Euler");

}  // namespace

TEST(SolutionPaths, CountTheStepsThatReachX1) {
    struct Row {
        const char* name;
        double x0, x1, h;
        std::optional<long> steps;
    };
    const std::vector<Row> rows{
        {"h divides the range up to rounding (0.4/0.1 = 4.000000000000001)", 0, 0.4, 0.1, 4},
        {"and from below (0.3/0.1 = 2.9999999999999996)", 0, 0.3, 0.1, 3},
        {"h does not divide the range: the last step passes x1", 0, 1, 0.3, 4},
        {"a quotient within a billionth above 3", 0, 1, 0.3333333333, 3},
        {"a quotient further above 3", 0, 1, 0.333333333, 4},
        {"backwards", 1, 0, 0.25, 4},
        {"a negative h steps towards x1 all the same", 0, 1, -0.25, 4},
        {"no range, no step", 2, 2, 0, 0},
        {"h = 0", 0, 1, 0, std::nullopt},
        {"too many to count", 0, 1, 1e-300, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(stepsToReach(row.x0, row.x1, row.h), row.steps);
    }
}

// Euler on y' = y from (0, 1) to 1 multiplies by 1 + h at every step:
// y_N = (1 + h)^N, exact in binary for h = 1/4 and 1/8, rounded for 1/16
// ((17/16)^16 = 2.6379284973666 exactly, 2.6379284973665995 as stepped) and
// for the decimal h = 0.1.
TEST(SolutionPaths, StepHHalfAndQuarterFromTheSameStart) {
    struct Row {
        const char* name;
        double h;
        std::vector<double> ys;  // every point, or only the last when alone
    };
    const std::vector<Row> rows{
        {"h = 0.25", 0.25, {1, 1.25, 1.5625, 1.953125, 2.44140625}},
        {"h = 0.25 halved",
         0.125,
         {1, 1.125, 1.265625, 1.423828125, 1.601806640625, 1.802032470703125, 2.0272865295410156,
          2.2806973457336426, 2.565784513950348}},
        {"h = 0.25 quartered", 0.0625, {2.6379284973665995}},
        {"h = 0.1", 0.1, {2.5937424601}},
        {"h = 0.1 halved", 0.05, {2.6532977051444213}},
        {"h = 0.1 quartered", 0.025, {2.6850638383899734}},
    };
    const auto paths = [](double h) { return halvedPaths(euler, growth, 0, 1, 1, h); };
    const auto check = [](const SolutionPath& path, const Row& row) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(path.method, &euler);
        EXPECT_EQ(path.h, row.h);
        EXPECT_EQ(path.end, PathEnd::reached);
        EXPECT_EQ(pathNote(path), "");
        const auto steps = static_cast<std::size_t>(std::lround(1 / row.h));
        ASSERT_EQ(path.x.size(), steps + 1);
        ASSERT_EQ(path.y.size(), steps + 1);
        EXPECT_EQ(path.stepsToEnd, static_cast<long>(steps));
        for (std::size_t i = 0; i <= steps; ++i) {
            EXPECT_EQ(path.x[i], static_cast<double>(i) * row.h) << i;
        }
        if (row.ys.size() == 1) {
            EXPECT_EQ(path.y.back(), row.ys.front());
        } else {
            EXPECT_EQ(path.y, row.ys);
        }
    };
    for (std::size_t first : {0u, 3u}) {
        const auto three = paths(rows[first].h);
        for (std::size_t k = 0; k < three.size(); ++k) check(three[k], rows[first + k]);
        // The finer runs pass through the coarser run's abscissae exactly.
        for (std::size_t i = 0; i < three[0].x.size(); ++i) {
            EXPECT_EQ(three[1].x[2 * i], three[0].x[i]);
            EXPECT_EQ(three[2].x[4 * i], three[0].x[i]);
        }
    }
}

TEST(SolutionPaths, StepBackwardsWhenX1IsBelowX0) {
    // 0.75^4 = 0.31640625, exact in binary.
    const SolutionPath path = solutionPath(euler, growth, 0, 1, -1, 0.25);
    EXPECT_EQ(path.h, -0.25);
    EXPECT_EQ(path.x, (std::vector<double>{0, -0.25, -0.5, -0.75, -1}));
    EXPECT_EQ(path.y, (std::vector<double>{1, 0.75, 0.5625, 0.421875, 0.31640625}));
}

// y' = y - x^2 + 1 from (0, 0.5) with h = 0.5 to 2: the methods part
// ways (the exact y(2) = 9 - e^2/2 is 5.305471950534675). The implicit ones
// solve their stage equations to Newton's tolerance: their ends to ten
// digits, from tests/support/textbook_implicit.py (50-digit linear solves).
TEST(SolutionPaths, RunEveryMethodWithTheSameH) {
    const std::vector<std::pair<std::string_view, double>> ends{
        {"Euler", 4.4375},
        {"Euler (End points)", 4.916259765625},
        {"Euler (Mid point)", 5.21490478515625},
        {"Runge-Kutta 4", 5.301605229265987},
        {"Runge-Kutta-Fehlberg", 5.305382752442458},
        {"Runge-Kutta-Merson", 5.305714093637137},
        {"Runge-Kutta-Gill", 5.301605229265987},
        // Stepped by their tableaus; from the same script.
        {"Ralston 2", 5.1153564453125},
        {"Heun 3", 5.2972175378367734},
        {"SSP Runge-Kutta 3", 5.2290732301311728},
        {"Kutta 3/8", 5.3037417655189832},
        {"Backward Euler", 8.5},
        {"Trapezoid", 5.14197530864},
        {"Implicit mid point", 5.56172839506},
        {"SDIRK 2", 5.33559157289},
        {"Radau IIA 3", 5.32035057052},
        {"Gauss-Legendre 4", 5.30612284644},
        // Runge-Kutta 4's starting values and the formulas in exact fractions, from
        // tests/support/textbook_multistep.py: to rounding.
        {"Adams-Bashforth 2", 5.652537027994792},
        {"Adams-Bashforth 3", 5.3907857029526323},
        {"Adams-Bashforth 4", 5.3165753045015869},
        {"Adams-Moulton 3", 5.2979061704389414},
        {"Adams predictor-corrector 4", 5.3027742840867074},
        {"BDF 2", 4.92578125},
        {"BDF 3", 5.2439196904500323},
        {"BDF 4", 5.2949314786676771},
        // Kutta's third-order method, the own Runge-Kutta method's boxes until a
        // tableau is typed, in exact fractions: 12457511/2359296.
        {"Own Runge-Kutta method", 5.280181460910374},
        {"Own multistep method", 5.395833333333333},
    };
    // y' reads y: the partitioned methods have nothing to split and run
    // no step; every other method reaches x1.
    const PerMethod<SolutionPath> every = everyMethodPath(textbook, 0, 0.5, 2, 0.5);
    std::vector<SolutionPath> paths;
    std::vector<std::string> notes;
    for (const SolutionPath& path : every) {
        if (path.end != PathEnd::doesNotApply) paths.push_back(path);
        else notes.push_back(pathNote(path));
    }
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "Symplectic Euler steps positions and momenta apart, and this problem's "
                         "components do not split into them: it does not apply.",
                         "St\u00f6rmer-Verlet steps positions and momenta apart, and this problem's "
                         "components do not split into them: it does not apply."}));
    ASSERT_EQ(paths.size(), ends.size());
    for (std::size_t row = 0; row < paths.size(); ++row) {
        SCOPED_TRACE(ends[row].first);
        ASSERT_NE(paths[row].method, nullptr);
        EXPECT_EQ(paths[row].method->caption, ends[row].first);
        EXPECT_EQ(paths[row].x, (std::vector<double>{0, 0.5, 1, 1.5, 2}));
        if (isImplicit(*paths[row].method)) EXPECT_NEAR(paths[row].y.back(), ends[row].second, 1e-10);
        else if (isWindowMethod(*paths[row].method)) EXPECT_EQ(paths[row].y.back(), ends[row].second);
        else EXPECT_NEAR(paths[row].y.back(), ends[row].second, 1e-14);
    }
}

TEST(SolutionPaths, StopWhereAStepIsNotFiniteAndSayWhere) {
    struct Row {
        const char* name;
        Slope f;
        double x0, y0, x1, h;
        long maxSteps;
        std::vector<double> xs;
        PathEnd end;
        std::string note;
    };
    const std::vector<Row> rows{
        {"f not finite at x = 0", reciprocalX, -1, 1, 1, 0.5, maxPathSteps, {-1, -0.5, 0},
         PathEnd::notFinite,
         "Euler, h = 0.5: step 3 from (0, -0.5) gives no finite value (f is not finite on the "
         "step, or the numbers grew too large to calculate with); the run stops there."},
        {"overflow at the first step", growth, 0, 1e308, 1, 1, maxPathSteps, {0},
         PathEnd::notFinite,
         "Euler, h = 1: step 1 from (0, 1E+308) gives no finite value (f is not finite on the "
         "step, or the numbers grew too large to calculate with); the run stops there."},
        {"more steps than allowed", growth, 0, 1, 1, 0.125, 3, {0, 0.125, 0.25, 0.375},
         PathEnd::stepLimit,
         "Euler, h = 0.125: x1 is 8 steps away; the run stops after the first 3. A larger h "
         "reaches x1."},
        {"h = 0", growth, 0, 1, 1, 0, maxPathSteps, {0}, PathEnd::cannotStep,
         "Euler, h = 0: a step of 0 never gets from x0 to x1; no step is taken."},
        {"h too small to count", growth, 0, 1, 1, 1e-300, maxPathSteps, {0},
         PathEnd::cannotStep,
         "Euler, h = 1E-300: x1 is too many steps away to count; no step is taken."},
        {"an infinite input", growth, 0, std::numeric_limits<double>::infinity(), 1, 0.5,
         maxPathSteps, {}, PathEnd::cannotStep,
         "Euler: x0, y0, x1 and h must all be numbers a double can hold; no step is taken."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const SolutionPath path =
            solutionPath(euler, row.f, row.x0, row.y0, row.x1, row.h, row.maxSteps);
        EXPECT_EQ(path.x, row.xs);
        EXPECT_EQ(path.y.size(), row.xs.size());
        for (double y : path.y) EXPECT_TRUE(std::isfinite(y));
        EXPECT_EQ(path.end, row.end);
        EXPECT_EQ(pathNote(path), row.note);
    }
    // The plot's runs stop at maxPathSteps: 1/1E-05 steps are too many.
    const SolutionPath fine = solutionPath(euler, growth, 0, 1, 1, 1e-5);
    EXPECT_EQ(fine.end, PathEnd::stepLimit);
    EXPECT_EQ(fine.stepsToEnd, 100000);
    EXPECT_EQ(fine.x.size(), static_cast<std::size_t>(maxPathSteps) + 1);
}

TEST(SolutionPaths, SampleTheKnownSolutionAndBreakItWhereItIsNotFinite) {
    const KnownSolution exact = textbookExact;
    const SampledCurve curve = sampleSolution(exact, 0, 2, 5);
    ASSERT_EQ(curve.pieces.size(), 1u);
    EXPECT_EQ(curve.pieces[0].x, (std::vector<double>{0, 0.5, 1, 1.5, 2}));
    EXPECT_EQ(curve.pieces[0].y, (std::vector<double>{0.5, 1.425639364649936, 2.6408590857704777,
                                                       4.009155464830968, 5.305471950534675}));
    EXPECT_EQ(sampledCurveNote(curve, "the exact solution"), "");

    // The last abscissa is `to` itself: 0.1 + 3·((0.3 - 0.1)/3) would miss it
    // (0.30000000000000004).
    const SampledCurve thirds = sampleSolution(exact, 0.1, 0.3, 4);
    EXPECT_EQ(thirds.pieces[0].x.back(), 0.3);
    EXPECT_EQ(thirds.pieces[0].x.size(), 4u);
    EXPECT_EQ(sampleSolution(exact, 0, 1, curveSamples).pieces[0].x.size(),
              static_cast<std::size_t>(curveSamples));

    const SampledCurve broken =
        sampleSolution([](double x) { return 1 / x; }, -1, 1, 5);
    ASSERT_EQ(broken.pieces.size(), 2u);
    EXPECT_EQ(broken.pieces[0].x, (std::vector<double>{-1, -0.5}));
    EXPECT_EQ(broken.pieces[1].x, (std::vector<double>{0.5, 1}));
    EXPECT_EQ(sampledCurveNote(broken, "the exact solution"),
              "The curve of the exact solution leaves out 1 point where its value is not finite, "
              "the first at x = 0.");

    EXPECT_TRUE(sampleSolution(KnownSolution(), 0, 1).pieces.empty());
    EXPECT_TRUE(sampleSolution(exact, -1e308, 1e308).pieces.empty());
}

// Backward Euler on y' = y^2 from (0, 1): y1 = 1 + h·y1^2 has a root only for
// h <= 1/4, so with h = 0.5 the first step has no value, and the run says why
// instead of listing a number Newton's method never settled on: at the start
// 1 - h·f_y = 1 - 0.5·2 is 0.
TEST(SolutionPaths, AnImplicitStepWithoutAValueStopsTheRunInWords) {
    const auto square = [](double, double y) { return y * y; };
    const SolutionPath path = solutionPath(methodByCaption("Backward Euler"), square, 0, 1, 1, 0.5);
    EXPECT_EQ(path.end, PathEnd::noValue);
    EXPECT_EQ(path.x, std::vector<double>{0});
    EXPECT_EQ(pathNote(path),
              "Backward Euler, h = 0.5: step 1 has no value. Newton's method did not converge in "
              "the step from x = 0: in iteration 1 the matrix I - h\u00b7A\u2297J is singular. The "
              "run stops there.");

    // With h = 0.2 the root near y0 exists: 1 + 0.2·y^2 = y at y = (1 - √0.2)/0.4.
    const SolutionPath small = solutionPath(methodByCaption("Backward Euler"), square, 0, 1, 0.2, 0.2);
    ASSERT_EQ(small.y.size(), 2u);
    EXPECT_NEAR(small.y[1], (1 - std::sqrt(0.2)) / 0.4, 1e-12);
}
