// A tableau typed into the own method's boxes: read exactly, refused in
// words naming the box, and what the Tableau page says of it. The
// conditions' formulas are the textbooks' (Butcher; Hairer, Nørsett and
// Wanner I, table II.2.1); orders, stage orders and error constants come from
// tests/support/order_conditions.py, the stability sentences from
// tests/support/exact_stability.py and, for the tableau with a typo, sympy by hand:
// det(I - zA + z·1bᵀ)/det(I - zA) = 1 + z + 7z²/8 + 5z³/12 + z⁴/12.
#include "symbolic/exact_entry.h"
#include "symbolic/tableau_view.h"
#include "symbolic/typed_tableau.h"

#include "methods/known_tableaus.h"
#include "methods/methods.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelorin;

namespace {

TableauTexts kutta38(const std::string& a32 = "1") {
    return {{"0", "1/3", "2/3", "1"},
            {{"", "", "", ""}, {"1/3", "", "", ""}, {"-1/3", a32, "", ""}, {"1", "-1", "1", ""}},
            {"1/8", "3/8", "3/8", "1/8"},
            {}};
}

TableauTexts gaussLegendre4() {
    return {{"(3 - √3)/6", "(3 + sqrt(3))/6"},
            {{"1/4", "1/4 - sqrt(3)/6"}, {"1/4 + √3/6", "0.25"}},
            {"1/2", "1/2"},
            {}};
}

}  // namespace

TEST(TypedTableau, NamesTheBoxThatMakesNoTableau) {
    const auto with = [](auto change) {
        TableauTexts texts = kutta38();
        change(texts);
        return texts;
    };
    const struct {
        const char* name;
        TableauTexts texts;
        const char* why;
    } cases[] = {
        {"a typed 1/0", with([](TableauTexts& t) { t.a[2][1] = "1/0"; }), "a32 divides by zero."},
        {"an empty node", with([](TableauTexts& t) { t.c[1] = " "; }), "c2 is empty."},
        {"a root of a negative number", with([](TableauTexts& t) { t.b[0] = "sqrt(-1)"; }),
         "b1 takes the square root of a negative number."},
        {"two roots in one entry", with([](TableauTexts& t) { t.a[3][2] = "sqrt(2) + sqrt(3)"; }),
         "a43 takes square roots of two different numbers: a step's coefficient takes one, as in "
         "(3 - sqrt(3))/6."},
        {"more digits than a double holds",
         with([](TableauTexts& t) { t.b[3] = "0.12345678901234567"; }),
         "b4 has more digits than a step computes with (at most 15 above and below the fraction "
         "bar): write it as a fraction, such as 1/3."},
        {"embedded weights half typed",
         with([](TableauTexts& t) { t.embedded = {"1/6", "", "", ""}; }),
         "embedded b2 is empty."},
        {"a row too short", with([](TableauTexts& t) { t.a[1].pop_back(); }),
         "The tableau is not square: row 2 of A has 3 entries for 4 stages."},
        {"nine stages", TableauTexts{std::vector<std::string>(9, "0"), {}, {}, {}},
         "A tableau has 1 to 8 stages."},
    };
    for (const auto& c : cases) {
        const TableauReading reading = readTableau(c.texts);
        EXPECT_FALSE(reading.tableau) << c.name;
        EXPECT_EQ(reading.why, c.why) << c.name;
    }
}

TEST(TypedTableau, EntriesBecomeTheStepsCoefficients) {
    const TableauReading reading = readTableau(gaussLegendre4());
    ASSERT_TRUE(reading.tableau) << reading.why;
    const Tableau& steps = reading.tableau->steps;
    EXPECT_EQ(steps.stages, 2);
    EXPECT_EQ(steps.c[0], (Coefficient{3, -1, 6, 3}));
    EXPECT_EQ(steps.a[0][1], (Coefficient{3, -2, 12, 3}));
    EXPECT_EQ(steps.a[1][1], (Coefficient{1, 0, 4, 2}));
    EXPECT_TRUE(steps.isImplicit());
    EXPECT_FALSE(steps.hasErrorEstimate());
    // Equal to the catalogue's own Gauss-Legendre 4, coefficient for coefficient.
    EXPECT_EQ(steps, *tableauOf(methodByCaption("Gauss-Legendre 4")));
}

// Every tableau a student may load reads back from the texts the boxes show
// as the same step coefficients, its embedded pair's estimate too.
TEST(TypedTableau, EveryKnownTableauReadsBackFromItsTexts) {
    for (const KnownTableau& known : knownTableaus()) {
        SCOPED_TRACE(std::string(known.name));
        const TableauReading reading = readTableau(textsOf(*known.tableau));
        ASSERT_TRUE(reading.tableau) << reading.why;
        const Tableau& read = reading.tableau->steps;
        const auto s = static_cast<std::size_t>(known.tableau->stages);
        for (std::size_t i = 0; i < s; ++i) {
            EXPECT_EQ(read.c[i].value(), known.tableau->c[i].value());
            EXPECT_EQ(read.b[i].value(), known.tableau->b[i].value());
            EXPECT_EQ(read.e[i].value(), known.tableau->e[i].value());
            for (std::size_t j = 0; j < s; ++j) {
                EXPECT_EQ(read.a[i][j].value(), known.tableau->a[i][j].value());
            }
        }
    }
}

TEST(TypedTableau, ConditionsAreWrittenAsTheTextbooksWriteThem) {
    const std::vector<RootedTree> forest = rootedTrees(5);
    const auto textOf = [&forest](const std::string& tree, bool withNodes) {
        for (std::size_t t = 0; t < forest.size(); ++t) {
            if (forest[t].text == tree) return conditionText(forest, t, withNodes);
        }
        return std::string("no tree ") + tree;
    };
    const struct {
        const char* tree;
        const char* withNodes;
        const char* withoutNodes;
    } cases[] = {
        {"τ", "Σ bᵢ = 1", "Σ bᵢ = 1"},
        {"[τ]", "Σ bᵢcᵢ = 1/2", "Σ bᵢaᵢⱼ = 1/2"},
        {"[τ,τ]", "Σ bᵢcᵢ² = 1/3", "Σ bᵢaᵢⱼaᵢₖ = 1/3"},
        {"[[τ]]", "Σ bᵢaᵢⱼcⱼ = 1/6", "Σ bᵢaᵢⱼaⱼₖ = 1/6"},
        {"[τ,[τ]]", "Σ bᵢcᵢaᵢⱼcⱼ = 1/8", "Σ bᵢaᵢⱼaᵢₖaₖₗ = 1/8"},
        {"[[τ,τ]]", "Σ bᵢaᵢⱼcⱼ² = 1/12", "Σ bᵢaᵢⱼaⱼₖaⱼₗ = 1/12"},
        {"[[[τ]]]", "Σ bᵢaᵢⱼaⱼₖcₖ = 1/24", "Σ bᵢaᵢⱼaⱼₖaₖₗ = 1/24"},
        {"[τ,τ,τ,τ]", "Σ bᵢcᵢ⁴ = 1/5", "Σ bᵢaᵢⱼaᵢₖaᵢₗaᵢₘ = 1/5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textOf(c.tree, true), c.withNodes);
        EXPECT_EQ(textOf(c.tree, false), c.withoutNodes);
    }
}

TEST(TableauView, SaysWhatATypedTableauIs) {
    const struct {
        const char* name;
        TableauTexts texts;
        std::vector<std::string> verdict;
        std::size_t rows;
        std::vector<std::string> firstFailing;  // tree, order, condition, value, residual
    } cases[] = {
        {"Kutta 3/8",
         kutta38(),
         {"Own Runge-Kutta method: order 4, stage order 1, principal error constant 1.27E-02; "
          "explicit: each stage needs only the ones before it; c = A·1 holds.",
          "R(z) = 1 + z + z²/2 + z³/6 + z⁴/24"},
         17,
         {"[τ,τ,τ,τ]", "5", "Σ bᵢcᵢ⁴ = 1/5", "11/54", "1/270"}},
        {"Kutta 3/8 with a32 typed 2",
         kutta38("2"),
         {"Own Runge-Kutta method: order 1, stage order 0, principal error constant 3.75E-01; "
          "explicit: each stage needs only the ones before it; c ≠ A·1, so the conditions weigh "
          "A·1, not c.",
          "R(z) = 1 + z + 7z²/8 + 5z³/12 + z⁴/12"},
         2,
         {"[τ]", "2", "Σ bᵢaᵢⱼ = 1/2", "7/8", "3/8"}},
        {"Gauss-Legendre 4",
         gaussLegendre4(),
         {"Own Runge-Kutta method: order 4, stage order 2, principal error constant 4.33E-03; "
          "implicit: some stage needs a later one; c = A·1 holds.",
          "R(z) = (1 + z/2 + z²/12)/(1 - z/2 + z²/12)",
          "A-stable: R has no pole with Re z ≤ 0, and |R(iy)| ≤ 1 for every real y.",
          "Not L-stable: R(∞) = 1.",
          "Algebraically stable: every bᵢ ≥ 0, and M = BA + AᵀB - bbᵀ is positive semidefinite.",
          "Symplectic: bᵢaᵢⱼ + bⱼaⱼᵢ = bᵢbⱼ for all i, j."},
         17,
         {"[τ,τ,τ,τ]", "5", "Σ bᵢcᵢ⁴ = 1/5", "7/36", "-1/180"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TableauReading reading = readTableau(c.texts);
        ASSERT_TRUE(reading.tableau) << reading.why;
        const TableauView view = tableauView("Own Runge-Kutta method", reading.tableau->exact);
        std::vector<std::string> lines{view.verdict};
        lines.insert(lines.end(), view.stability.begin(), view.stability.end());
        lines.resize(std::min(lines.size(), c.verdict.size()));
        EXPECT_EQ(lines, c.verdict);
        EXPECT_EQ(view.conditions.rows.size(), c.rows);
        for (const std::vector<std::string>& row : view.conditions.rows) {
            if (row[4] == "0") continue;
            EXPECT_EQ(row, c.firstFailing);
            break;
        }
    }
}

// Values beyond a step's coefficients read as the boxes write entries, in
// one order on every run; a root of a product equals the product of roots
// however the tableau came to hold it.
TEST(TypedTableau, ValuesOfSeveralRootsAreWrittenOneWay) {
    const ExactReading sum = readExactEntry("sqrt(6)/-8 + 1/4 + sqrt(3)/2");
    ASSERT_TRUE(sum.value) << sum.why;
    EXPECT_EQ(entryText(*sum.value), "1/4 + √3/2 - √6/8");

    const TableauTexts roots{{"0", "sqrt(2)", "1/2", "0"},
                             {{"", "", "", ""}, {"sqrt(2)", "", "", ""}, {"1/2", "", "", ""},
                              {"", "", "", ""}},
                             {"sqrt(6)/2", "sqrt(3)/4", "1 - sqrt(6)/2", "-sqrt(3)/4"},
                             {}};
    const TableauReading reading = readTableau(roots);
    ASSERT_TRUE(reading.tableau) << reading.why;
    EXPECT_EQ(analyseOrder(reading.tableau->exact).order, 2);
    EXPECT_EQ(analyseOrder(exactTableau(reading.tableau->steps)).order, 2);
}

TEST(TypedTableau, ARefusalQuotesWhatCannotBeReadReadably) {
    const ExactReading reading = readExactEntry(std::string("1\0" "2", 3));
    EXPECT_EQ(reading.why, "cannot be read at \"\\x002\": an entry is a number, a fraction "
                           "or a square root");
}
