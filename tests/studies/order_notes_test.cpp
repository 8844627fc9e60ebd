// What the Convergence notes teach beyond the Orders table, on library
// problems as the lab types them. The orders and errors were worked out apart
// by tests/support/order_lessons.py (each stage system solved exactly in
// mpmath); the error constants are those of tests/symbolic/known_tableaus_test.cpp.
#include "base/number_text.h"
#include "problem/library.h"
#include "studies/convergence_study.h"

#include "tests/support/typed_problems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

using namespace pelorin;

namespace {

using pelorin::testing::compiledProblem;
using pelorin::testing::libraryProblem;

ConvergenceStudy studyOf(ProblemText text) { return studyProblem(compiledProblem(text), 16); }

// Prothero-Robinson with another λ in f and in the exact solution.
ProblemText protheroRobinson(std::string_view lambda) {
    ProblemText text = problemText(libraryProblem("Prothero-Robinson"));
    for (std::string* formula : {&text.f, &text.exact}) {
        formula->replace(formula->find("-1000000"), 8, lambda);
    }
    return text;
}

const ConvergenceSeries& seriesOf(const ConvergenceStudy& study, std::string_view caption) {
    return *std::find_if(study.series.begin(), study.series.end(),
                         [&](const ConvergenceSeries& s) { return s.method->caption == caption; });
}

// The study's note that begins so; empty where there is none.
std::string noteBeginning(const ConvergenceStudy& study, std::string_view start) {
    const auto note = std::find_if(study.notes.begin(), study.notes.end(),
                                   [&](const std::string& n) { return n.starts_with(start); });
    return note == study.notes.end() ? std::string() : *note;
}

bool hasNoteBeginning(const ConvergenceStudy& study, std::string_view start) {
    return !noteBeginning(study, start).empty();
}

}  // namespace

// With λ = -1E+6 every step of the implicit runs (N ≤ 4096) has h·|λ| ≥ 244.
// The mpmath orders, each named by the larger N of its two runs as the
// Orders table names it, N = 2 ... 4096:
//   SDIRK 2           -1.00 0.61 0.86 0.94 0.97 0.99 0.99 1.00 1.00 1.01 1.02 1.03
//   Radau IIA 3        2.23 2.16 2.10 2.05 2.03 2.01 2.01 2.00 2.00 2.01 2.01 2.02
//   Gauss-Legendre 4   2.03 2.01 2.00 2.00 2.01 2.03 2.11 2.43 3.35 4.20 4.12 4.03
// SDIRK 2's -1.00 lies more than half an order from its stage order 1, so its
// stretch begins at N = 4. Radau IIA 3's errors from N = 512 on (2.3E-13 and
// below) lie within 64·√N rounding units of y = sin 1, so rounding reads those
// orders and its stretch ends at N = 256, as Gauss-Legendre 4's does where it
// climbs past 2.5; from N = 1024 its orders lie within 0.3 of 4 again, and its
// R(z) = (1 + z/2 + z²/12)/(1 - z/2 + z²/12) tends to 1. The least h·|λ| among
// the stretches is 1E+6/4096.
TEST(OrderNotes, OnTheProtheroRobinsonProblemImplicitMethodsFallToTheirStageOrder) {
    const ConvergenceStudy study = studyOf(problemText(libraryProblem("Prothero-Robinson")));
    EXPECT_EQ(noteBeginning(study, "Order reduction"),
        "Order reduction: |\u03bb| = 1.00E+06 at the start (\u03bb = \u2202f/\u2202y), so "
        "h\u00b7|\u03bb| is 2.44E+02 or more on these runs. There SDIRK 2 shows orders 0.61 to "
        "1.03 (N = 4 to 4096), not 2 but near its stage order 1; Radau IIA 3 shows orders 2.00 "
        "to 2.23 (N = 2 to 256), not 3 but near its stage order 2; Gauss-Legendre 4 shows "
        "orders 2.00 to 2.43 (N = 2 to 256), not 4 but near its stage order 2, and from N = 1024 "
        "on climbs back "
        "to orders 4.03 to 4.20. A stage is accurate only to the stage order; where h\u00b7\u03bb "
        "is small, the order conditions make the stages' errors cancel in the step up to the full "
        "order, but where h\u00b7\u03bb is large that cancellation fails and the stages' own "
        "errors remain. For Gauss-Legendre 4 |R(\u221e)| = 1: while h\u00b7|\u03bb| is large a "
        "step barely damps the errors carried into it, so the stage errors of all steps add up; "
        "with more and shorter steps the damping grows until they no longer do, and the full "
        "order shows again.");
}

// The same problem with a mild λ: the full orders, and no note on reduction.
// The orders at N = 16 as the table shows them, mpmath's for both λ.
TEST(OrderNotes, WithAMildLambdaTheFullOrdersReturn) {
    const struct {
        std::string_view lambda;
        bool reduced;
        std::string_view sdirk, radau, gauss;
    } rows[] = {
        {"-1000000", true, "0.94", "2.05", "2.00"},
        {"-1", false, "1.90", "2.98", "4.00"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lambda);
        const ConvergenceStudy study = studyOf(protheroRobinson(row.lambda));
        EXPECT_EQ(hasNoteBeginning(study, "Order reduction"), row.reduced);
        const auto orderAt16 = [&](std::string_view caption) {
            return fixedText(*seriesOf(study, caption).points[4].order, 2);
        };
        EXPECT_EQ(orderAt16("SDIRK 2"), row.sdirk);
        EXPECT_EQ(orderAt16("Radau IIA 3"), row.radau);
        EXPECT_EQ(orderAt16("Gauss-Legendre 4"), row.gauss);
    }
}

// No reduction where no step is stiff: the lesson's λ = -1, the stiff
// equation's -50 (h·|λ| ≥ 10 only for N ≤ 4, too few orders), and a growing
// solution.
TEST(OrderNotes, NoReductionIsClaimedWhereTheStepsAreNotStiff) {
    for (const char* name : {"Lesson", "Stiff", "Growth", "Textbook"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(hasNoteBeginning(studyOf(problemText(libraryProblem(name))),
                                      "Order reduction"));
    }
}

// On the textbook's problem the order-4 methods' errors at N = 256, the
// largest N where each error lies 1024·√N rounding units above the solution's
// size 5.31 (at N = 512 Runge-Kutta 4's 1.66E-11 lies below 2.7E-11), as
// multiples of Runge-Kutta 4's 2.660E-10 (mpmath): Merson 0.1421, Gill
// 1.0000, Kutta 3/8 0.3811, Gauss-Legendre 4 0.1437; the constants' multiples
// of 1.4505E-02: 0.3934, 0.9122, 0.8735, 0.2986. Kutta 3/8 has nearly Runge-Kutta
// 4's constant yet less than half its error.
TEST(OrderNotes, MethodsOfOneOrderCompareTheirErrorsWithTheirErrorConstants) {
    const ConvergenceStudy study = studyOf(problemText(libraryProblem("Textbook")));
    EXPECT_EQ(noteBeginning(study, "Same order 4"),
              "Same order 4, errors and principal error constants at N = 256 as multiples of "
              "Runge-Kutta 4's (2.66E-10 and 1.45E-02): Runge-Kutta-Merson 0.14 and 0.39; "
              "Runge-Kutta-Gill 1.00 and 0.91; Kutta 3/8 0.38 and 0.87; Gauss-Legendre 4 0.14 and "
              "0.30.");
    EXPECT_EQ(study.notes.back().find("An order in brackets"), 0u);
    EXPECT_TRUE(hasNoteBeginning(study, "A principal error constant weighs every tree"));
}

// A set of one method per order has nothing to compare.
TEST(OrderNotes, OneMethodOfAnOrderHasNoComparison) {
    StudiedMethods studied{};
    for (std::size_t row = 0; row < studied.size(); ++row) {
        studied[row] = labCatalogue()[row].caption == std::string_view("Runge-Kutta 4");
    }
    const ConvergenceStudy study =
        studyProblem(compiledProblem(problemText(libraryProblem("Textbook"))), 12, {}, {},
                     ReferenceAccuracy::standard, studied);
    EXPECT_FALSE(hasNoteBeginning(study, "Same order"));
    EXPECT_FALSE(hasNoteBeginning(study, "A principal error constant"));
}
