// The reference solution: as accurate as it says on every library problem
// with an exact solution, close to the worked-out values of the one without,
// and stopped in words where a problem cannot be followed.
#include "numerics/reference.h"
#include "problem/library.h"
#include "tests/support/typed_problems.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

using namespace pelorin;

namespace {

Problem compiled(const ProblemText& text) { return pelorin::testing::compiledProblem(text); }

std::vector<double> grid(double x0, double x1, int intervals) {
    std::vector<double> x;
    for (int i = 1; i <= intervals; ++i) x.push_back(x0 + (x1 - x0) * i / intervals);
    return x;
}

}  // namespace

// Either reference, the standard Dormand-Prince one or, asked for more
// accuracy, Fehlberg's 7(8) pair at 1E-16, is within what it states on
// every library problem with an exact solution. On the very stiff
// Prothero-Robinson problem (λ = -1E+6) the explicit pairs' evaluations run
// out and Rosenbrock's method makes the reference, as accurate as it says.
TEST(ReferenceSolution, ItsErrorIsWithinItsStatedAccuracyOnEveryExactlySolvedProblem) {
    const struct {
        ReferenceAccuracy accuracy;
        ReferenceMethod method;
        double tolerance;
    } rows[] = {{ReferenceAccuracy::standard, ReferenceMethod::dormandPrince, referenceTolerance},
                {ReferenceAccuracy::higher, ReferenceMethod::fehlberg, higherReferenceTolerance}};
    for (const auto& row : rows) {
        for (const LibraryProblem& entry : problemLibrary) {
            const Problem problem = compiled(problemText(entry));
            const KnownSolution known = problem.exactOf<double>();
            if (!known) continue;
            SCOPED_TRACE(entry.name);
            const std::vector<double> abscissae = grid(problem.x0, problem.x1, 64);
            const ReferenceSolution reference =
                referenceSolution(problem.slopeOf<double>(), problem.x0, problem.y0[0], abscissae,
                                  maxReferenceEvaluations, row.accuracy);
            EXPECT_EQ(reference.note, "");
            const bool veryStiff = entry.name.starts_with("Prothero-Robinson");
            EXPECT_EQ(reference.method, veryStiff ? ReferenceMethod::rosenbrock : row.method);
            ASSERT_EQ(reference.y.size(), abscissae.size());
            EXPECT_EQ(reference.x, abscissae);
            double largest = 1;
            for (std::size_t i = 0; i < abscissae.size(); ++i) {
                const double exact = known(abscissae[i]);
                EXPECT_LE(std::fabs(reference.y[i] - exact), reference.accuracy) << "x = " << abscissae[i];
                largest = std::max(largest, std::fabs(exact));
            }
            // Accurate enough to measure the methods' errors far below the plots' top.
            EXPECT_LT(reference.accuracy, 1e-9 * largest);
            EXPECT_GE(reference.relativeAccuracy, row.tolerance);
            EXPECT_GT(reference.slopeEvaluations, 0);
        }
    }
}

// y' = x^2 + y^2, y(0) = 0 has no elementary solution; its series gives
// y(0.5) and y(1) (tests/support/worked_values.py).
TEST(ReferenceSolution, AgreesWithTheWorkedOutValuesOfTheRiccatiProblem) {
    const Problem riccati = compiled({"", "x^2 + y^2", "", "0", "0", "1"});
    const ReferenceSolution reference =
        referenceSolution(riccati.slopeOf<double>(), 0, 0, {0.5, 1});
    ASSERT_EQ(reference.y.size(), 2u);
    EXPECT_NEAR(reference.y[0], 0.041791146154681863220768807, reference.accuracy);
    EXPECT_NEAR(reference.y[1], 0.35023184431675577784938227, reference.accuracy);
    EXPECT_LT(reference.accuracy, 1e-11);
}

TEST(ReferenceSolution, CountsEverySlopeEvaluation) {
    long counted = 0;
    const auto slope = [&counted](double x, double y) {
        ++counted;
        return y - x * x + 1;
    };
    const ReferenceSolution reference = referenceSolution(slope, 0, 0.5, grid(0, 2, 1000));
    EXPECT_EQ(reference.slopeEvaluations, counted);
    // The step carries on from one abscissa to the next: a thousand of them
    // cost a few evaluations each, not a fresh start each.
    EXPECT_LT(counted, 20000);
}

// Where the solution ends (|y| growing without bound, steps shrinking to
// nothing) the note says so; every other stop says where the reference
// stopped and why. y' = 1 + y², y(0) = 1 is tan(x + π/4), which ends at
// π/4 = 0.785398...; y' = y² ends at 1, and y' = -y² (1/(1 + x)) backwards
// at -1; e^x merely outgrows a double near
// x = 709.78 and goes on.
TEST(ReferenceSolution, StopsInWordsWhereTheProblemCannotBeFollowed) {
    const struct {
        std::string_view name, f;
        std::vector<double> abscissae;
        long maxEvaluations;
        std::string_view noteStart;
        std::size_t reached;
        std::optional<double> end;  // near where the solution ends, within 1E-9
    } rows[] = {
        {"a slope that is never finite", "1/0", {0.5, 1}, maxReferenceEvaluations,
         "The reference solution stopped near x = 0: the slope is not a finite number at (x, y) = (0, 1).",
         0, std::nullopt},
        {"a pole of the slope between two abscissae", "1/(x - 0.75)", {0.5, 1}, maxReferenceEvaluations,
         "The reference solution stopped near x = 0.7", 1, std::nullopt},
        {"escape to infinity at x = 1", "y^2", {0.5, 0.9, 2}, maxReferenceEvaluations,
         "The solution does not continue past x \u2248 1: |y| grows without bound as x nears it.",
         2, 1},
        {"escape to infinity at x = pi/4", "1 + y^2", {0.5, 0.75, 1}, maxReferenceEvaluations,
         "The solution does not continue past x \u2248 0.785: |y| grows without bound as x nears it.",
         2, 0.78539816339744830961566084582},
        {"escape to infinity backwards at x = -1", "-y^2", {-0.5, -0.9, -2}, maxReferenceEvaluations,
         "The solution does not continue past x \u2248 -1: |y| grows without bound as x nears it.",
         2, -1},
        {"too many evaluations", "y", {0.5, 1}, 10,
         "The reference solution stopped near x = ", 0, std::nullopt},
        {"an abscissa too far away", "y", {0.5, 1e308, -1e308}, maxReferenceEvaluations,
         "The reference solution stopped near x = 709.7", 1, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Problem problem = compiled({"", std::string(row.f), "", "0", "1", "1"});
        const ReferenceSolution reference =
            referenceSolution(problem.slopeOf<double>(), 0, 1, row.abscissae, row.maxEvaluations);
        EXPECT_TRUE(reference.note.starts_with(row.noteStart)) << reference.note;
        EXPECT_EQ(reference.y.size(), row.reached);
        EXPECT_EQ(reference.x.size(), row.reached);
        ASSERT_EQ(reference.end.has_value(), row.end.has_value());
        if (row.end) {
            EXPECT_NEAR(*reference.end, *row.end, 1e-9);
        }
        for (double y : reference.y) EXPECT_TRUE(std::isfinite(y));
        EXPECT_TRUE(std::isfinite(reference.accuracy));
        EXPECT_EQ(reference.note.find("nan"), std::string::npos);
        EXPECT_EQ(reference.note.find("inf"), std::string::npos);
    }
}

// The accuracy is stated relative to the solution's size: y' = exp(1000·x)
// reaches 1E+301 at x = 0.7, where an absolute accuracy of 1E+289 is twelve
// digits. Close to where y' = y² ends the two solutions part: from the
// first abscissa where they differ by more than a millionth of |y| the
// reference is left out, and says so, so that no error is measured against
// it there. (1/(1 - x) at 1 - 1E-5 is 1E+5; the reference's own relative
// error there is near 6E-9, its estimate near 3E-7, and at 1 - 1E-7 above
// 1E-6.)
TEST(ReferenceSolution, StatesItsAccuracyRelativeToTheSolutionsSizeAndLeavesOutWhatItCannotTrust) {
    const Problem growth = compiled({"", "exp(1000*x)", "", "0", "1", "0.7"});
    const ReferenceSolution steep =
        referenceSolution(growth.slopeOf<double>(), 0, 1, grid(0, 0.7, 64));
    ASSERT_EQ(steep.y.size(), 64u);
    EXPECT_GT(steep.accuracy, 1e280);
    EXPECT_GE(steep.relativeAccuracy, referenceTolerance);
    EXPECT_LT(steep.relativeAccuracy, 1e-10);
    EXPECT_EQ(steep.note, "");

    const Problem pole = compiled({"", "y^2", "", "0", "1", "2"});
    const ReferenceSolution near =
        referenceSolution(pole.slopeOf<double>(), 0, 1, {0.5, 1 - 1e-5, 1 - 1e-7, 1 - 1e-9, 2});
    ASSERT_EQ(near.x, (std::vector<double>{0.5, 1 - 1e-5}));
    EXPECT_NEAR(near.y[1], 1e5, 1e-3);
    EXPECT_LE(near.relativeAccuracy, trustedRelativeAccuracy);
    EXPECT_TRUE(near.end.has_value());
    EXPECT_EQ(near.note,
              "From x = 0.9999999 on, the reference solution's estimated error is more than "
              "1.00E-06 of the solution's size, too large to measure the methods' errors "
              "against: it is left out there. The solution does not continue past x \u2248 1: "
              "|y| grows without bound as x nears it.");
}

// Asked for more accuracy, the reference meets the Riccati problem's
// worked-out values within 1E-15, far closer than the standard one.
TEST(ReferenceSolution, AskedForMoreAccuracyItMeetsTheRiccatiValuesWithin1EMinus15) {
    const Problem riccati = compiled({"", "x^2 + y^2", "", "0", "0", "1"});
    const ReferenceSolution reference = referenceSolution(
        riccati.slopeOf<double>(), 0, 0, {0.5, 1}, maxReferenceEvaluations,
        ReferenceAccuracy::higher);
    ASSERT_EQ(reference.y.size(), 2u);
    EXPECT_NEAR(reference.y[0], 0.041791146154681863220768807, 1e-15);
    EXPECT_NEAR(reference.y[1], 0.35023184431675577784938227, 1e-15);
    EXPECT_EQ(reference.method, ReferenceMethod::fehlberg);
}
