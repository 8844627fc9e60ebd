// The reference solution of a state of several components: as accurate as
// it says where the solution is known, Rosenbrock's method where the system
// is stiff, stopped in words where the system cannot be followed, and of
// one component the single equation's reference.
#include "numerics/reference.h"
#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;

namespace {

using pelorin::testing::oscillator;
StateVector growth(double, const StateVector& y) { return {y[0]}; }
StateVector square(double, const StateVector& y) { return {y[0] * y[0]}; }

// Robertson's kinetics of three species, stiff: rates 0.04, 3E7 and 1E4.
StateVector robertson(double, const StateVector& y) {
    const double slow = 0.04 * y[0], fast = 3e7 * y[1] * y[1], mixed = 1e4 * y[1] * y[2];
    return {-slow + mixed, slow - mixed - fast, fast};
}

// Van der Pol's oscillator with mu = 1000: slow drifts along |y1| near 2
// and jumps between them, stiff on the drifts.
StateVector vanDerPol(double, const StateVector& y) {
    constexpr double mu = 1000;
    return {y[1], mu * (1 - y[0] * y[0]) * y[1] - y[0]};
}

// Drawn fast towards cos x, which is its solution from y(0) = 1: stiff, and
// its slope depends on x, so that Rosenbrock's stages need ∂F/∂x.
StateVector towardsCosine(double x, const StateVector& y) {
    return {-1e5 * (y[0] - std::cos(x)) - std::sin(x)};
}

// |reference - exact| within the stated accuracy of max(1, |exact|).
void expectWithinAccuracy(const ReferenceSolutionOf<StateVector>& reference, std::size_t i,
                          const StateVector& exact) {
    for (std::size_t c = 0; c < exact.size(); ++c) {
        EXPECT_NEAR(reference.y[i][c], exact[c],
                    reference.relativeAccuracy * std::max(1.0, std::fabs(exact[c])))
            << "component " << c + 1 << " at x = " << reference.x[i];
    }
}

StateVector circle(double x) { return {std::cos(x), -std::sin(x)}; }
StateVector exponential(double x) { return {std::exp(x)}; }
StateVector cosine(double x) { return {std::cos(x)}; }

// Robertson's values at x = 40 are the well-known ones to ten digits; an
// independent check, Radau IIA of order 5 in mpmath with 30 digits over 300
// and 600 geometrically growing steps, gives 0.71582706872, 9.1855347646E-6
// and 0.28416374575, the two runs agreeing to 4E-12.
StateVector robertsonAt40(double) { return {0.7158270687, 9.185534764e-6, 0.2841637457}; }

// A system from (0, y0) whose solution is known at the abscissae asked for,
// the method its reference is made by, and the largest accuracy relative to
// the solution's size the reference may state.
struct KnownSolutionRow {
    std::string_view name;
    SlopeOf<StateVector> F;
    StateVector y0;
    std::vector<double> abscissae;
    StateVector (*solution)(double x);
    ReferenceMethod method;
    double mostRelativeAccuracy;
    // Besides: the least accuracy it may state, and the evaluations it
    // needs more than.
    double leastRelativeAccuracy = 0;
    long evaluationsAbove = 0;
};

// The reference reaches every abscissa without a note, made by the row's
// method within the limit of evaluations, and meets the solution within
// the accuracy it states, which is within the row's.
ReferenceSolutionOf<StateVector> expectAccurate(const KnownSolutionRow& row) {
    SCOPED_TRACE(row.name);
    const ReferenceSolutionOf<StateVector> reference =
        referenceSolution(row.F, 0, row.y0, row.abscissae);
    EXPECT_EQ(reference.note, "");
    EXPECT_EQ(reference.method, row.method);
    EXPECT_GT(reference.slopeEvaluations, row.evaluationsAbove);
    EXPECT_LE(reference.slopeEvaluations, maxReferenceEvaluations);
    EXPECT_GE(reference.relativeAccuracy, row.leastRelativeAccuracy);
    EXPECT_LT(reference.relativeAccuracy, row.mostRelativeAccuracy);
    EXPECT_EQ(reference.x, row.abscissae);
    if (reference.x != row.abscissae) return reference;
    for (std::size_t i = 0; i < row.abscissae.size(); ++i) {
        expectWithinAccuracy(reference, i, row.solution(row.abscissae[i]));
    }
    return reference;
}

}  // namespace

// y1 = cos x, y2 = -sin x through many periods; e^x for a single equation.
// A hundred periods take Dormand-Prince past its first 100000 evaluations:
// its steps are held by accuracy, not stability, and it goes on.
TEST(ReferenceOfComponents, ItsErrorIsWithinItsStatedAccuracyWhereTheSolutionIsKnown) {
    const double hundredPeriods = 200 * std::numbers::pi;
    const KnownSolutionRow rows[] = {
        {"cos x and -sin x", oscillator, {1, 0}, {0.5, 1, 2.5, 10, 31.4, 100}, circle,
         ReferenceMethod::dormandPrince, 1e-9, referenceTolerance},
        {"a hundred periods", oscillator, {1, 0}, {hundredPeriods}, circle,
         ReferenceMethod::dormandPrince, 1e-8, 0, nonStiffEvaluations},
        {"e^x", growth, {1}, {1, 2, 5, 20}, exponential, ReferenceMethod::dormandPrince, 1e-9},
    };
    for (const KnownSolutionRow& row : rows) expectAccurate(row);
}

// Robertson's kinetics is stiff: its second component is tiny, and is
// checked to a relative 1E-6 besides the accuracy relative to max(1, |y2|).
// So is the pull towards cos x, whose stages need dF/dx. Van der Pol's y1
// never leaves [-2.1, 2.1] from (2, 0): its limit cycle reaches about ±2.02.
TEST(ReferenceOfComponents, SolvesAStiffSystemWithRosenbrocksMethod) {
    const ReferenceSolutionOf<StateVector> kinetics =
        expectAccurate({"Robertson's kinetics", robertson, {1, 0, 0}, {40}, robertsonAt40,
                        ReferenceMethod::rosenbrock, 1e-6});
    const StateVector expected = robertsonAt40(40);
    ASSERT_EQ(kinetics.y.size(), 1u);
    EXPECT_NEAR(kinetics.y[0][0], expected[0], 1e-9);
    EXPECT_NEAR(kinetics.y[0][1], expected[1], 1e-6 * expected[1]);
    EXPECT_NEAR(kinetics.y[0][2], expected[2], 1e-9);
    EXPECT_NE(referenceUsedNote(kinetics.relativeAccuracy, kinetics.method).find("Rosenbrock"),
              std::string::npos);

    expectAccurate({"drawn towards cos x", towardsCosine, {1}, {0.5, 1, 2}, cosine,
                    ReferenceMethod::rosenbrock, 1e-6});

    std::vector<double> drifts;
    for (double x = 100; x <= 3000; x += 100) drifts.push_back(x);
    const ReferenceSolutionOf<StateVector> oscillator =
        referenceSolution(vanDerPol, 0, {2, 0}, drifts);
    EXPECT_EQ(oscillator.note, "");
    EXPECT_EQ(oscillator.method, ReferenceMethod::rosenbrock);
    ASSERT_EQ(oscillator.x, drifts);
    EXPECT_LE(oscillator.slopeEvaluations, maxReferenceEvaluations);
    for (const StateVector& y : oscillator.y) {
        EXPECT_LE(std::fabs(y[0]), 2.1) << y[0];
    }
}

// The sentence names the method that made the reference.
TEST(ReferenceOfComponents, SaysWhichMethodMadeIt) {
    EXPECT_EQ(referenceUsedNote(1e-12, ReferenceMethod::dormandPrince),
              referenceUsedNote(1e-12));
    EXPECT_EQ(referenceUsedNote(2e-9, ReferenceMethod::rosenbrock),
              "No exact solution is given: the errors are measured against a reference solution "
              "(the library Boost.Odeint's Rosenbrock method of order 4, implicit, for stiff "
              "problems, with step-size control), accurate to about 2.00E-09 of the solution's "
              "size.");
}

namespace {

StateVector notFiniteFromHalf(double x, const StateVector& y) {
    return {x < 0.5 ? 1.0 : std::numeric_limits<double>::quiet_NaN(), y[0]};
}
StateVector neverFinite(double, const StateVector& y) { return {1 / (y[0] - y[0]), 0}; }

}  // namespace

// y' = y² from 1 is 1/(1 - x), which ends at x = 1: said as the single
// equation's reference says it. A slope that is not finite, and the limit of
// evaluations, are said where the reference stopped.
TEST(ReferenceOfComponents, StopsInWordsWhereTheSystemCannotBeFollowed) {
    const struct {
        std::string_view name;
        SlopeOf<StateVector> F;
        StateVector y0;
        std::vector<double> abscissae;
        long maxEvaluations;
        std::string_view noteStart, noteEnd;
        std::size_t reached;
        std::optional<double> end;  // near where the solution ends, within 1E-9
    } rows[] = {
        {"escape to infinity at x = 1", square, {1}, {0.5, 0.9, 2}, maxReferenceEvaluations,
         "The solution does not continue past x \u2248 1: |y| grows without bound as x nears it.",
         "", 2, 1},
        {"a slope never finite", neverFinite, {1, 2}, {0.5, 1}, maxReferenceEvaluations,
         "The reference solution stopped near x = 0: the slope is not a finite number at "
         "x = 0, y = (1, 2).",
         "", 0, std::nullopt},
        {"a slope not finite from x = 0.5", notFiniteFromHalf, {0, 0}, {0.25, 0.4, 1},
         maxReferenceEvaluations, "The reference solution stopped near x = 0.5",
         "the slope is not a finite number at x = 0.5", 2, std::nullopt},
        {"too many evaluations", oscillator, {1, 0}, {0.5, 100}, 500,
         "The reference solution stopped near x = ", ": it needed more than 500 slope evaluations.",
         0, std::nullopt},  // the tighter run used them all: the looser one reaches nothing
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ReferenceSolutionOf<StateVector> reference =
            referenceSolution(row.F, 0, row.y0, row.abscissae, row.maxEvaluations);
        EXPECT_TRUE(reference.note.starts_with(row.noteStart)) << reference.note;
        EXPECT_NE(reference.note.find(row.noteEnd), std::string::npos) << reference.note;
        EXPECT_EQ(reference.x.size(), row.reached);
        EXPECT_EQ(reference.y.size(), row.reached);
        ASSERT_EQ(reference.end.has_value(), row.end.has_value());
        if (row.end) {
            EXPECT_NEAR(*reference.end, *row.end, 1e-9);
        }
        for (const StateVector& y : reference.y) {
            for (double component : y) EXPECT_TRUE(std::isfinite(component));
        }
        EXPECT_EQ(reference.method, ReferenceMethod::dormandPrince);
        // The refused evaluation of each run is counted too.
        EXPECT_LE(reference.slopeEvaluations, row.maxEvaluations + 2);
    }
}

namespace {

using pelorin::testing::pendulum;

}  // namespace

// The pendulum y'' = -sin y from y = 1, y' = 0, at x = 1 in 30-digit
// arithmetic (mpmath): y = 0.600085366127506437790, y' = -0.754963713953130824904.
// Dormand-Prince at 1E-13 misses them by more than 1E-14, Fehlberg's 7(8)
// pair at 1E-16 by less than 1E-15; each error lies within the accuracy the
// reference states.
TEST(ReferenceOfComponents, AskedForMoreAccuracyItIsFehlbergsPairAtTighterTolerances) {
    const StateVector exact{0.600085366127506437790, -0.754963713953130824904};
    const struct {
        const char* name;
        ReferenceAccuracy asked;
        ReferenceMethod method;
        double leastError, mostError, leastAccuracy;
    } rows[] = {
        {"standard", ReferenceAccuracy::standard, ReferenceMethod::dormandPrince, 1e-14, 1e-13,
         1e-13},
        {"higher", ReferenceAccuracy::higher, ReferenceMethod::fehlberg, 0, 1e-15, 1e-16},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ReferenceSolutionOf<StateVector> reference =
            referenceSolution(pendulum, 0, {1, 0}, {1}, maxReferenceEvaluations, row.asked);
        EXPECT_EQ(reference.method, row.method);
        EXPECT_EQ(reference.note, "");
        ASSERT_EQ(reference.y.size(), 1u);
        const double error = std::max(std::fabs(reference.y[0][0] - exact[0]),
                                      std::fabs(reference.y[0][1] - exact[1]));
        EXPECT_GE(error, row.leastError);
        EXPECT_LE(error, row.mostError);
        EXPECT_LE(error, reference.accuracy);
        EXPECT_GE(reference.relativeAccuracy, row.leastAccuracy);
    }
}

// A stiff system stays Rosenbrock's whatever was asked, and the note says
// so where more was asked; Fehlberg's pair is named where it made it.
TEST(ReferenceOfComponents, AStiffSystemStaysRosenbrocksAndTheNoteSaysWhyWhenMoreWasAsked) {
    const ReferenceSolutionOf<StateVector> kinetics = referenceSolution(
        robertson, 0, {1, 0, 0}, {40}, maxReferenceEvaluations, ReferenceAccuracy::higher);
    EXPECT_EQ(kinetics.method, ReferenceMethod::rosenbrock);
    ASSERT_EQ(kinetics.y.size(), 1u);
    const struct {
        ReferenceMethod method;
        double accuracy;
        ReferenceAccuracy asked;
        const char* note;
    } rows[] = {
        {ReferenceMethod::fehlberg, 3e-16, ReferenceAccuracy::higher,
         "No exact solution is given: the errors are measured against a reference solution "
         "(Fehlberg's embedded 7(8) pair, the library Boost.Odeint's runge_kutta_fehlberg78, "
         "with step-size control), accurate to about 3.00E-16 of the solution's size."},
        {ReferenceMethod::rosenbrock, 2e-9, ReferenceAccuracy::higher,
         "No exact solution is given: the errors are measured against a reference solution "
         "(the library Boost.Odeint's Rosenbrock method of order 4, implicit, for stiff "
         "problems, with step-size control), accurate to about 2.00E-09 of the solution's "
         "size. A more accurate reference was asked for, but the problem is stiff: an explicit "
         "pair's steps would stay tiny, so the reference is Rosenbrock's, as accurate as said."},
        {ReferenceMethod::dormandPrince, 1e-12, ReferenceAccuracy::higher,
         "No exact solution is given: the errors are measured against a reference solution "
         "(the library Boost.Odeint's Dormand-Prince method with step-size control), accurate "
         "to about 1.00E-12 of the solution's size."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.note);
        EXPECT_EQ(referenceUsedNote(row.accuracy, row.method, row.asked), row.note);
    }
}

namespace {

double growthOfOne(double, double y) { return y; }
double squareOfOne(double, double y) { return y * y; }
double neverFiniteOfOne(double, double y) { return 1 / (y - y); }
double towardsCosineOfOne(double x, double y) { return -1e5 * (y - std::cos(x)) - std::sin(x); }

// The single equation drawn towards cos x from y(0) = 1: it reaches every
// abscissa without a note, within the accuracy it states of cos x.
ReferenceSolution singleTowardsCosine(const std::vector<double>& abscissae) {
    const ReferenceSolution single = referenceSolution(towardsCosineOfOne, 0, 1, abscissae);
    EXPECT_EQ(single.note, "");
    EXPECT_EQ(single.x, abscissae);
    for (std::size_t i = 0; i < std::min(abscissae.size(), single.y.size()); ++i) {
        EXPECT_NEAR(single.y[i], std::cos(abscissae[i]), single.accuracy);
    }
    return single;
}

}  // namespace

// A single equation's reference is its system of one's: the same values,
// accuracies and notes, the point where the slope is not finite said alike.
TEST(ReferenceOfComponents, OfOneEquationIsTheSingleEquationsReference) {
    const struct {
        std::string_view name;
        Slope f;
        SlopeOf<StateVector> F;
        std::vector<double> abscissae;
        std::string_view note;
    } rows[] = {
        {"e^x", growthOfOne, growth, {1, 2, 5, 20}, ""},
        {"escape to infinity at x = 1", squareOfOne, square, {0.5, 0.9, 2},
         "The solution does not continue past x \u2248 1: |y| grows without bound as x nears it."},
        {"a slope never finite", neverFiniteOfOne,
         [](double x, const StateVector& y) { return StateVector{neverFiniteOfOne(x, y[0])}; },
         {0.5, 1},
         "The reference solution stopped near x = 0: the slope is not a finite number at "
         "(x, y) = (0, 1)."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ReferenceSolution single = referenceSolution(row.f, 0, 1, row.abscissae);
        const ReferenceSolutionOf<StateVector> system =
            referenceSolution(row.F, 0, {1}, row.abscissae);
        EXPECT_EQ(single.note, row.note);
        EXPECT_EQ(system.note, row.note);
        EXPECT_EQ(single.x, system.x);
        ASSERT_EQ(single.y.size(), system.y.size());
        for (std::size_t i = 0; i < single.y.size(); ++i) EXPECT_EQ(single.y[i], system.y[i][0]);
        EXPECT_EQ(single.accuracy, system.accuracy);
        EXPECT_EQ(single.relativeAccuracy, system.relativeAccuracy);
        EXPECT_EQ(single.end, system.end);
        EXPECT_EQ(single.slopeEvaluations, system.slopeEvaluations);
    }
}

// Drawn fast towards cos x, the system of one is found stiff and solved by
// Rosenbrock's method; the single equation keeps to Dormand-Prince, whose
// steps stability holds near 3E-5, at some 6E+5 evaluations a run to
// x = 1.5, and is the more accurate for it. Both meet cos x within what
// they state.
TEST(ReferenceOfComponents, AStiffSingleEquationKeepsToDormandPrince) {
    const std::vector<double> abscissae{0.5, 1, 1.5};
    const ReferenceSolution single = singleTowardsCosine(abscissae);
    const ReferenceSolutionOf<StateVector> system =
        referenceSolution(towardsCosine, 0, {1}, abscissae);
    EXPECT_EQ(single.method, ReferenceMethod::dormandPrince);
    EXPECT_EQ(system.method, ReferenceMethod::rosenbrock);
    EXPECT_GT(single.slopeEvaluations, 2 * nonStiffEvaluations);
    EXPECT_LT(single.relativeAccuracy, system.relativeAccuracy);
    ASSERT_EQ(system.x, abscissae);
    for (std::size_t i = 0; i < abscissae.size(); ++i) {
        expectWithinAccuracy(system, i, cosine(abscissae[i]));
    }
}

// Dormand-Prince's steps, held near 3E-5, run out of their million
// evaluations near x = 1.92 (it gave up there, and a page said no reference
// could be computed to x1): the single equation, found stiff on the way, is
// solved by Rosenbrock's method instead, to cos x within what it states,
// and the note names it.
TEST(ReferenceOfComponents, AStiffSingleEquationOutOfEvaluationsTurnsToRosenbrock) {
    const ReferenceSolution single = singleTowardsCosine({1, 2.5});
    EXPECT_EQ(single.method, ReferenceMethod::rosenbrock);
    EXPECT_EQ(referenceUsedNote(1e-10, single.method),
              "No exact solution is given: the errors are measured against a reference solution "
              "(the library Boost.Odeint's Rosenbrock method of order 4, implicit, for stiff "
              "problems, with step-size control), accurate to about 1.00E-10 of the solution's "
              "size.");
}

namespace {

// Drawn to 0 at the rate 1E251: y = e^(-1E251·x), below the least double
// from x = 1E-248 on, so 0 at every abscissa; beside it y2' = 1, y2 = x.
// The explicit pair's first step, 1E-6, has hλ = -1E245: its stages reach
// -2E+244 and the slope there overflows before any step is accepted.
double fastDecayOfOne(double, double y) { return -1e251 * y; }
StateVector fastDecay(double, const StateVector& y) { return {-1e251 * y[0]}; }
StateVector fastDecayBesideX(double, const StateVector& y) { return {-1e251 * y[0], 1}; }

}  // namespace

// Where the explicit pair's very first steps overflow on a stiff problem,
// the reference is Rosenbrock's, for one equation as for a system: it
// reaches x1 without a note, with y1 = 0 and y2 = x within its accuracy.
TEST(ReferenceOfComponents, AStiffProblemOverflowingTheExplicitStepsIsRosenbrocks) {
    const std::vector<double> abscissae{0.25, 0.5, 1};
    const ReferenceSolution single = referenceSolution(fastDecayOfOne, 0, 1, abscissae);
    EXPECT_EQ(single.note, "");
    EXPECT_EQ(single.method, ReferenceMethod::rosenbrock);
    EXPECT_EQ(single.end, std::nullopt);
    ASSERT_EQ(single.x, abscissae);
    EXPECT_LE(single.relativeAccuracy, 1e-6);
    for (double y : single.y) EXPECT_NEAR(y, 0, single.accuracy);

    const struct {
        std::string_view name;
        SlopeOf<StateVector> F;
        StateVector y0;
        StateVector (*solution)(double x);
    } rows[] = {
        {"y' = -1E251·y", fastDecay, {1}, [](double) { return StateVector{0}; }},
        {"y1' = -1E251·y1, y2' = 1", fastDecayBesideX, {1, 0},
         [](double x) { return StateVector{0, x}; }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ReferenceSolutionOf<StateVector> reference =
            referenceSolution(row.F, 0, row.y0, abscissae);
        EXPECT_EQ(reference.note, "");
        EXPECT_EQ(reference.method, ReferenceMethod::rosenbrock);
        EXPECT_EQ(reference.end, std::nullopt);
        ASSERT_EQ(reference.x, abscissae);
        EXPECT_LE(reference.relativeAccuracy, 1e-6);
        for (std::size_t i = 0; i < abscissae.size(); ++i) {
            expectWithinAccuracy(reference, i, row.solution(abscissae[i]));
        }
    }
}

// Backwards from x = 0 the same equation grows as e^(1E251·|x|) and
// overflows at once, as the explicit pair's first stage, at x = -2E-07 with
// y = 1 + 0.2·1E-6·1E251, says: a growth, not stiffness, so it stays said.
TEST(ReferenceOfComponents, AnOverflowOfAGrowingSolutionStaysSaidWhereItHappened) {
    const ReferenceSolution backwards = referenceSolution(fastDecayOfOne, 0, 1, {-0.25, -1});
    EXPECT_EQ(backwards.note,
              "The reference solution stopped near x = -2E-07: the slope is not a finite number "
              "at (x, y) = (-2E-07, 2E+244).");
    EXPECT_EQ(backwards.method, ReferenceMethod::dormandPrince);
    EXPECT_TRUE(backwards.x.empty());
}
