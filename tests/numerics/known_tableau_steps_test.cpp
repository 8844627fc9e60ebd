// A known tableau's numbers step as its method does: one step of
// y' = -2x - y from (0, -1) with h = 0.1 through the stages, against the step
// worked out apart by tests/support/known_tableaus.py (the coefficients typed
// there from the literature, the stage equations of this linear equation
// solved with mpmath at 40 digits). The stability verdicts of the implicit
// ones come from the same script (R's poles and |Q(iy)|² - |P(iy)|², sympy)
// and agree with Hairer and Wanner II, Section IV.5 and IV.6.
#include "methods/known_tableaus.h"
#include "numerics/stability_function.h"
#include "numerics/stage_step.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>

using namespace pelorin;

namespace {

const Tableau& known(std::string_view name) {
    for (const KnownTableau& k : knownTableaus()) {
        if (k.name == name) return *k.tableau;
    }
    throw std::invalid_argument(std::string(name));
}

}  // namespace

// The stability verdicts, from R's poles and |Q(iy)|² - |P(iy)|², for the
// further implicit tableaus only: the catalogue's are checked against the
// exact verdicts in tests/symbolic/exact_stability_test.cpp.
TEST(KnownTableauSteps, StepAndStabilityAsWorkedOutApart) {
    enum Stability { unchecked, aStable, lStable };  // lStable: A- and L-stable
    const struct {
        const char* name;
        double y1, estimate;  // estimate: h·Σ (b - b̂)_j K_j, 0 without a pair
        Stability stability = unchecked;
    } cases[] = {
        {"Euler", -0.89999999999999999445, 0},
        {"Euler (End points)", -0.91499999999999999611, 0},
        {"Euler (Mid point)", -0.91499999999999999611, 0},
        {"Runge-Kutta 4", -0.91451249999999999603, 0},
        {"Runge-Kutta-Fehlberg", -0.91451225144230768834, -3.9903846153846165002e-8},
        {"Runge-Kutta-Merson", -0.9145122916666666627, -4.1666666666666678231e-8},
        {"Runge-Kutta-Gill", -0.91451249999999999603, 0},
        {"Ralston 2", -0.91499999999999999611, 0},
        {"Heun 3", -0.91449999999999999603, 0},
        {"SSP Runge-Kutta 3", -0.91449999999999999603, 0},
        {"Kutta 3/8", -0.91451249999999999603, 0},
        {"Backward Euler", -0.92727272727272727007, 0},
        {"Trapezoid", -0.91428571428571428171, 0},
        {"Implicit mid point", -0.91428571428571428171, 0},
        {"SDIRK 2", -0.91440139092401325848, 0},
        {"Radau IIA 3", -0.91450858034321372458, 0},
        {"Gauss-Legendre 4", -0.91451229183187945678, 0},
        {"Dormand-Prince 5(4)", -0.91451225499999999603, -2.523750000000000706e-8},
        {"Bogacki-Shampine 3(2)", -0.91449999999999999603, -0.000056250000000000009021},
        {"Cash-Karp 5(4)", -0.91451225374999999603, -7.269897460937502046e-9},
        {"Lobatto IIIA 2", -0.91428571428571428171, 0, aStable},
        {"Lobatto IIIA 3", -0.91451229183187945678, 0, aStable},
        {"Lobatto IIIC 2", -0.91493212669683257529, 0, lStable},
        {"Lobatto IIIC 3", -0.91451219983759328322, 0, lStable},
        {"Radau IA 3", -0.91450858034321372458, 0, lStable},
        {"SDIRK 3", -0.91449027134785760271, 0, aStable},
    };
    ASSERT_EQ(std::size(cases), knownTableaus().size());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.stability != unchecked) {
            const StabilityVerdict verdict = stabilityVerdict(known(c.name));
            EXPECT_TRUE(verdict.aStable);
            EXPECT_EQ(verdict.lStable, c.stability == lStable);
        }
        const StageStep step = stepByStages(known(c.name), 0, -1, 0.1, f1);
        ASSERT_TRUE(step.hasValue()) << step.noValue;
        EXPECT_NEAR(step.y1, c.y1, 1e-15);
        // The estimate's terms are near 0.01, each rounded by about 2E-18.
        EXPECT_NEAR(step.estimate, c.estimate, 1e-17);
    }
}
