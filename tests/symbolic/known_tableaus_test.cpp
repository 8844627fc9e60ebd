// The tableaus a student may load, each with the order, stage order, error
// constant and embedded order worked out apart by
// tests/support/known_tableaus.py: the coefficients typed there from the
// published pairs (Dormand-Prince, Bogacki-Shampine, Cash-Karp) and Hairer
// and Wanner II, the trees and conditions of tests/support/order_conditions.py
// (sympy's exact numbers). A wrong digit in a coefficient breaks an order
// condition or moves the error constant.
#include "methods/known_tableaus.h"
#include "numerics/method_properties.h"
#include "symbolic/order_conditions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelorin;

namespace {

struct Expected {
    const char* name;
    int order, stageOrder;
    double errorConstant;
    int embeddedOrder = 0;  // 0: no embedded pair
    double embeddedErrorConstant = 0;
};

// In the order knownTableaus() lists them: the catalogue's, then the further.
const Expected expected[] = {
    {"Euler", 1, 1, 0.50000000000000000},
    {"Euler (End points)", 2, 1, 0.18633899812498247},
    {"Euler (Mid point)", 2, 1, 0.17179606773406919},
    {"Runge-Kutta 4", 4, 1, 0.014504582343198210},
    {"Runge-Kutta-Fehlberg", 5, 1, 0.0033557446928516584, 4, 0.0018392434184516073},
    {"Runge-Kutta-Merson", 4, 1, 0.0057054433073454803, 3, 0.0064814814814814815},
    {"Runge-Kutta-Gill", 4, 1, 0.013231239541074472},
    {"Ralston 2", 2, 1, 0.16666666666666667},
    {"Heun 3", 3, 1, 0.046296296296296296},
    {"SSP Runge-Kutta 3", 3, 1, 0.072168783648703221},
    {"Kutta 3/8", 4, 1, 0.012669367748008513},
    {"Backward Euler", 1, 1, 0.50000000000000000},
    {"Trapezoid", 2, 2, 0.11785113019775792},
    {"Implicit mid point", 2, 1, 0.093169499062491237},
    {"SDIRK 2", 2, 1, 0.041684715919385801},
    {"Radau IIA 3", 3, 2, 0.024497697324672135},
    {"Gauss-Legendre 4", 4, 2, 0.0043306219754328025},
    {"Dormand-Prince 5(4)", 5, 1, 0.00039908016093435991, 4, 0.0011829571513510674},
    {"Bogacki-Shampine 3(2)", 3, 1, 0.041811092287473248, 2, 0.029462782549439480},
    {"Cash-Karp 5(4)", 5, 1, 0.00094828861750172523, 4, 0.00053907491374810694},
    {"Lobatto IIIA 2", 2, 2, 0.11785113019775792},
    {"Lobatto IIIA 3", 4, 3, 0.0057054433073454803},
    {"Lobatto IIIC 2", 2, 1, 0.18633899812498247},
    {"Lobatto IIIC 3", 4, 2, 0.0064959329631492038},
    {"Radau IA 3", 3, 1, 0.024497697324672135},
    {"SDIRK 3", 3, 1, 0.12696694684285613},
};

// Twelve significant digits: the exact value rounded once to a double.
void expectConstant(const std::optional<double>& actual, double expected) {
    ASSERT_TRUE(actual);
    EXPECT_NEAR(*actual, expected, 1e-12 * expected);
}

}  // namespace

TEST(KnownTableaus, AreTheCataloguesRungeKuttaMethodsThenTheFurtherOnes) {
    std::vector<std::string> names;
    for (const KnownTableau& known : knownTableaus()) names.emplace_back(known.name);
    std::vector<std::string> wanted;
    for (const Expected& e : expected) wanted.emplace_back(e.name);
    EXPECT_EQ(names, wanted);
}

TEST(KnownTableaus, HaveTheOrdersAndErrorConstantsWorkedOutApart) {
    ASSERT_EQ(knownTableaus().size(), std::size(expected));
    for (std::size_t k = 0; k < std::size(expected); ++k) {
        const Expected& e = expected[k];
        SCOPED_TRACE(e.name);
        const Tableau& rounded = *knownTableaus()[k].tableau;
        const ExactTableau tableau = exactTableau(rounded);
        EXPECT_TRUE(rowSumsHold(tableau));
        const OrderAnalysis analysis = analyseOrder(tableau);
        EXPECT_EQ(analysis.order, e.order);
        EXPECT_EQ(analysis.stageOrder, e.stageOrder);
        expectConstant(analysis.errorConstant, e.errorConstant);
        // The steps' layers read the same from the rounded coefficients.
        EXPECT_EQ(stageOrder(rounded), e.stageOrder);
        expectConstant(principalErrorConstant(rounded), e.errorConstant);
        ASSERT_EQ(tableau.embedded.has_value(), e.embeddedOrder > 0);
        if (!tableau.embedded) continue;
        const OrderAnalysis embedded = analyseOrder(tableau, *tableau.embedded);
        EXPECT_EQ(embedded.order, e.embeddedOrder);
        expectConstant(embedded.errorConstant, e.embeddedErrorConstant);
    }
}

// The two-stage members of the families, Lobatto IIIA and SDIRK 3, as the
// coupling of their stages shows them; Dormand-Prince's seven stages fit.
TEST(KnownTableaus, CoupleTheirStagesAsTheirFamiliesDo) {
    const struct {
        const char* name;
        int stages;
        StageCoupling coupling;
    } cases[] = {
        {"Dormand-Prince 5(4)", 7, StageCoupling::explicitStages},
        {"Cash-Karp 5(4)", 6, StageCoupling::explicitStages},
        {"Lobatto IIIA 3", 3, StageCoupling::implicitStages},
        {"Lobatto IIIC 2", 2, StageCoupling::implicitStages},
        {"Radau IA 3", 2, StageCoupling::implicitStages},
        {"SDIRK 3", 2, StageCoupling::diagonallyImplicit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Tableau* tableau = nullptr;
        for (const KnownTableau& known : knownTableaus()) {
            if (known.name == c.name) tableau = known.tableau;
        }
        ASSERT_NE(tableau, nullptr);
        EXPECT_EQ(tableau->stages, c.stages);
        EXPECT_EQ(stageCoupling(exactTableau(*tableau)), c.coupling);
    }
}
