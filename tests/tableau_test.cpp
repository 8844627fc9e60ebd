// The tableaus against the hand-written step procedures, so the two cannot
// drift apart, and the tableau entries as a student reads them.
#include "numerics/stage_step.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using namespace pelorin;

namespace {

// Units in the last place of the largest term the step adds up: its start,
// its end and every a_jl·k_l. The two ways of grouping the sums round
// differently, and Fehlberg's terms reach seven times an increment.
double ulpsApart(double a, double b, const Tableau& tableau, const StageStep& stages, double y0) {
    double scale = std::max({std::fabs(a), std::fabs(b), std::fabs(y0)});
    for (int j = 0; j < stages.stages; ++j) {
        for (int l = 0; l < j; ++l) {
            scale = std::max(scale, std::fabs(tableau.a[j][l].value() * stages.k[l]));
        }
    }
    const double ulp = std::nextafter(scale, std::numeric_limits<double>::infinity()) - scale;
    return std::fabs(a - b) / ulp;
}

}  // namespace

TEST(Tableau, StepperAgreesWithEveryStepProcedure) {
    const Slope logistic = [](double, double y) { return y * (1 - y); };
    const Slope oscillating = [](double x, double y) { return std::sin(x) - y * y; };
    std::mt19937_64 random(20261208);
    // Steps where h·∂f/∂y stays below one: beyond that a stage amplifies the
    // roundings of the ones before it, and the comparison would measure that.
    std::uniform_real_distribution<double> start(-1, 1), step(-0.25, 0.25);
    for (const Method& method : methodCatalogue) {
        SCOPED_TRACE(method.caption);
        double worst = 0;
        for (const Slope f : {Slope{f1}, logistic, oscillating}) {
            for (int trial = 0; trial < 2000; ++trial) {
                const double x0 = start(random), y0 = start(random), h = step(random);
                const double byProcedure = explicitRungeKutta(method)->step(x0, y0, h, f);
                const StageStep stages = stepByStages(*tableauOf(method), x0, y0, h, f);
                worst = std::max(worst, ulpsApart(byProcedure, stages.y1, *tableauOf(method), stages, y0));
            }
        }
        EXPECT_LE(worst, 8) << "ulps apart at worst";
    }
}

TEST(Tableau, EntriesReadAsFractions) {
    EXPECT_EQ(fehlbergTableau.a[3][1].text(), "-7200/2197");
    EXPECT_EQ(fehlbergTableau.e[0].text(), "1/360");
    EXPECT_EQ(gillTableau.a[2][0].text(), "(-1 + \u221a2)/2");
    EXPECT_EQ(gillTableau.a[3][1].text(), "-\u221a2/2");
    EXPECT_EQ(gillTableau.b[1].text(), "(2 - \u221a2)/6");
    EXPECT_EQ(eulerTableau.b[0].text(), "1");
}

// Fehlberg's estimate weights are his fifth-order weights minus his fourth-
// order ones (25/216, 0, 1408/2565, 2197/4104, -1/5, 0), exactly: compared
// as fractions by cross-multiplication.
TEST(Tableau, FehlbergEstimateIsFifthMinusFourthOrderExactly) {
    const Coefficient fourthOrder[] = {frac(25, 216), frac(0),     frac(1408, 2565),
                                       frac(2197, 4104), frac(-1, 5), frac(0)};
    for (std::size_t j = 0; j < 6; ++j) {
        SCOPED_TRACE(j);
        const Coefficient& b = fehlbergTableau.b[j];
        const Coefficient& e = fehlbergTableau.e[j];
        const Coefficient& b4 = fourthOrder[j];
        const long long differenceNumerator = static_cast<long long>(b.rational) * b4.denominator -
                                              static_cast<long long>(b4.rational) * b.denominator;
        const long long differenceDenominator = static_cast<long long>(b.denominator) * b4.denominator;
        EXPECT_EQ(static_cast<long long>(e.rational) * differenceDenominator,
                  differenceNumerator * e.denominator);
    }
}
