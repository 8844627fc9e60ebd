// Exact order conditions. The expected trees, γ, σ, orders, stage orders and
// error constants come from tests/support/order_conditions.py, which builds
// the trees its own way (partitions of the nodes below the root) and works
// the conditions out with sympy.
#include "symbolic/order_conditions.h"

#include "methods/methods.h"
#include "tests/support/typed_tableau.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

using namespace pelorin;

using pelorin::testing::typedTableau;

TEST(RootedTrees, CountsDensitiesAndSymmetriesAsWorkedOutApart) {
    const std::vector<RootedTree> forest = rootedTrees(9);
    std::map<int, int> perOrder;
    for (const RootedTree& tree : forest) ++perOrder[tree.order];
    EXPECT_EQ(perOrder, (std::map<int, int>{
                            {1, 1}, {2, 1}, {3, 2}, {4, 4}, {5, 9}, {6, 20}, {7, 48}, {8, 115},
                            {9, 286}}));
    const std::map<std::string, std::pair<long, long>> small = {
        {"τ", {1, 1}},        {"[τ]", {2, 1}},     {"[[τ]]", {6, 1}},   {"[τ,τ]", {3, 2}},
        {"[[[τ]]]", {24, 1}}, {"[[τ,τ]]", {12, 2}}, {"[τ,[τ]]", {8, 1}}, {"[τ,τ,τ]", {4, 6}}};
    for (const RootedTree& tree : forest) {
        if (tree.order > 4) break;
        ASSERT_TRUE(small.count(tree.text)) << tree.text;
        EXPECT_EQ(std::make_pair(tree.density, tree.symmetry), small.at(tree.text)) << tree.text;
    }
}

TEST(OrderConditions, TypedTableausHaveTheOrdersWorkedOutApart) {
    const struct {
        const char* name;
        ExactTableau tableau;
        int order, stageOrder;
        double errorConstant;
        std::size_t conditions;  // the trees up to order p + 1
    } cases[] = {
        {"Runge-Kutta 4",
         typedTableau("0, 1/2, 1/2, 1", "0, 0, 0, 0; 1/2, 0, 0, 0; 0, 1/2, 0, 0; 0, 0, 1, 0",
                      "1/6, 1/3, 1/3, 1/6"),
         4, 1, 0.014504582343198210, 17},
        {"Kutta 3/8",
         typedTableau("0, 1/3, 2/3, 1", "0, 0, 0, 0; 1/3, 0, 0, 0; -1/3, 1, 0, 0; 1, -1, 1, 0",
                      "1/8, 3/8, 3/8, 1/8"),
         4, 1, 0.012669367748008513, 17},
        {"Kutta 3/8 with a32 typed 2",
         typedTableau("0, 1/3, 2/3, 1", "0, 0, 0, 0; 1/3, 0, 0, 0; -1/3, 2, 0, 0; 1, -1, 1, 0",
                      "1/8, 3/8, 3/8, 1/8"),
         1, 0, 0.375, 2},
        {"Gauss-Legendre 4",
         typedTableau("(3 - sqrt(3))/6, (3 + sqrt(3))/6",
                      "1/4, 1/4 - sqrt(3)/6; 1/4 + sqrt(3)/6, 1/4", "1/2, 1/2"),
         4, 2, 0.0043306219754328025, 17},
        {"Gauss-Legendre 6",
         typedTableau("1/2 - sqrt(15)/10, 1/2, 1/2 + sqrt(15)/10",
                      "5/36, 2/9 - sqrt(15)/15, 5/36 - sqrt(15)/30; "
                      "5/36 + sqrt(15)/24, 2/9, 5/36 - sqrt(15)/24; "
                      "5/36 + sqrt(15)/30, 2/9 + sqrt(15)/15, 5/36",
                      "5/18, 4/9, 5/18"),
         6, 3, 0.00016504669052395462, 85},
        {"Radau IIA 3", typedTableau("1/3, 1", "5/12, -1/12; 3/4, 1/4", "3/4, 1/4"), 3, 2,
         0.024497697324672135, 8},
        {"weights summing to 2", typedTableau("0", "0", "2"), 0, 0, 1.0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OrderAnalysis analysis = analyseOrder(c.tableau);
        EXPECT_EQ(analysis.order, c.order);
        EXPECT_EQ(analysis.stageOrder, c.stageOrder);
        ASSERT_TRUE(analysis.errorConstant);
        EXPECT_NEAR(*analysis.errorConstant, c.errorConstant, 1e-16);
        EXPECT_EQ(analysis.conditions.size(), c.conditions);
        for (const OrderCondition& condition : analysis.conditions) {
            const int treeOrder = analysis.trees[condition.tree].order;
            EXPECT_EQ(condition.residual.is_zero(), treeOrder <= c.order)
                << analysis.trees[condition.tree].text;
        }
    }
}

TEST(OrderConditions, CatalogueTableausHaveTheirTextbookOrders) {
    // Orders as the textbooks give them, and of the embedded pairs: Fehlberg's
    // b is the fifth-order combination, its estimate against the fourth;
    // Merson's fourth-order b against a third-order one.
    const std::map<std::string, std::pair<int, int>> expected = {
        {"Euler", {1, 0}},
        {"Euler (End points)", {2, 0}},
        {"Euler (Mid point)", {2, 0}},
        {"Runge-Kutta 4", {4, 0}},
        {"Runge-Kutta-Fehlberg", {5, 4}},
        {"Runge-Kutta-Merson", {4, 3}},
        {"Runge-Kutta-Gill", {4, 0}},
        {"Ralston 2", {2, 0}},
        {"Heun 3", {3, 0}},
        {"SSP Runge-Kutta 3", {3, 0}},
        {"Kutta 3/8", {4, 0}},
        {"Backward Euler", {1, 0}},
        {"Trapezoid", {2, 0}},
        {"Implicit mid point", {2, 0}},
        {"SDIRK 2", {2, 0}},
        {"Radau IIA 3", {3, 0}},
        {"Gauss-Legendre 4", {4, 0}},
    };
    std::size_t checked = 0;
    for (const Method& method : labCatalogue()) {
        const auto known = expected.find(std::string(method.caption));
        if (known == expected.end() || !tableauOf(method)) continue;
        SCOPED_TRACE(known->first);
        ++checked;
        const ExactTableau tableau = exactTableau(*tableauOf(method));
        EXPECT_EQ(analyseOrder(tableau).order, known->second.first);
        if (known->second.second > 0) {
            ASSERT_TRUE(tableau.embedded);
            EXPECT_EQ(analyseOrder(tableau, *tableau.embedded).order, known->second.second);
        }
    }
    EXPECT_EQ(checked, expected.size());
}

TEST(OrderConditions, TellHowTheStagesNeedEachOther) {
    const ExactTableau explicitOne = typedTableau("0, 1/2", "0, 0; 1/2, 0", "0, 1");
    const ExactTableau diagonal = typedTableau("1/2, 1", "1/2, 0; 1/2, 1/2", "1/2, 1/2");
    const ExactTableau full = typedTableau("1/3, 1", "5/12, -1/12; 3/4, 1/4", "3/4, 1/4");
    const ExactTableau offRow = typedTableau("0, 1", "0, 0; 1/2, 0", "1/2, 1/2");
    EXPECT_EQ(stageCoupling(explicitOne), StageCoupling::explicitStages);
    EXPECT_EQ(stageCoupling(diagonal), StageCoupling::diagonallyImplicit);
    EXPECT_EQ(stageCoupling(full), StageCoupling::implicitStages);
    EXPECT_TRUE(rowSumsHold(full));
    EXPECT_FALSE(rowSumsHold(offRow));
}
