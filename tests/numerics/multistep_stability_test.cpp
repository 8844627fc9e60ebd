// The Stability page's words and numbers for the multistep methods: the
// intervals table's rows, what the roots at a z do to an error (damped, on
// the edge, grown, against a solution that grows itself), the A(α) verdict
// and the formula's zero-stability, each on a z where it could be false.
#include "numerics/multistep_stability.h"
#include "methods/multistep_formulas.h"
#include "methods/methods.h"
#include "numerics/stability.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace pelorin {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A method as the own method's boxes read it, kept for the test's length.
const Multistep& typed(const char* alpha, const char* beta) {
    const auto read = readMultistep(alpha, beta);
    if (const auto* why = std::get_if<std::string>(&read)) ADD_FAILURE() << *why;
    static std::list<MultistepFormula> formulas;
    static std::list<Multistep> methods;
    formulas.push_back(std::get_if<MultistepFormula>(&read) ? std::get<MultistepFormula>(read)
                                                             : MultistepFormula{});
    return methods.emplace_back(Multistep{&formulas.back()});
}

// The intervals by the root test, bisected in mpmath at 30 digits
// (AB2 1, AB3 6/11, AB4 0.3, AM3 3, the Adams pair 1.2848162631); BDF's
// regions hold the whole negative real axis; A(α) of BDF 3 and 4 from the
// boundary locus in mpmath (86.0323668602°, 73.3516704746°).
TEST(MultistepIntervals, EveryCatalogueRowAsTheTableWritesIt) {
    const struct {
        const Multistep& method;
        const char* interval;
        const char* halfPlane;
    } rows[] = {
        {adamsBashforth2Method, "1.000", "not A(\u03b1)-stable"},
        {adamsBashforth3Method, "0.545", "not A(\u03b1)-stable"},
        {adamsBashforth4Method, "0.300", "not A(\u03b1)-stable"},
        {adamsMoulton3Method, "3.000", "not A(\u03b1)-stable"},
        {adamsPredictorCorrector4Method, "1.285", "not A(\u03b1)-stable"},
        {bdf2Method, "unbounded", "A-stable"},
        {bdf3Method, "unbounded", "A(\u03b1), \u03b1 = 86.03\u00b0"},
        {bdf4Method, "unbounded", "A(\u03b1), \u03b1 = 73.35\u00b0"},
        {classicUnstableMethod, "none: not zero-stable", "not A(\u03b1)-stable"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.interval);
        EXPECT_EQ(multistepIntervalText(row.method), row.interval);
        EXPECT_EQ(multistepHalfPlaneText(row.method), row.halfPlane);
    }
}

// Methods whose ρ has a double root on the unit circle, as a teacher typed
// them: not zero-stable, so an error in the mode of that root grows (like n
// over n steps); the region, its interval and its A(α) verdict say so, in the
// classic method's words whatever the coefficients. The zero-stable leapfrog
// method, whose region meets the negative real axis at 0 alone, has the
// interval 0 instead; AB2 stays as it was.
TEST(MultistepIntervals, ADoubleRootOnTheCircleIsNotZeroStableEverywhere) {
    const struct {
        const char* name;
        const char* alpha;
        const char* beta;
        const char* interval;
        const char* halfPlane;
        const char* zeroStability;
        const char* aAlpha;
    } rows[] = {
        {"ρ = (ζ − 1)², σ = 0", "1, -2, 1", "0, 0, 0", "none: not zero-stable", "not A(\u03b1)-stable",
         "Own multistep method is not zero-stable: the root 1 of \u03c1 is double. Its runs do not "
         "converge: an error in the mode of that root grows by more the smaller h is, whatever the order.",
         "Own multistep method is not A(\u03b1)-stable for any \u03b1: it is not zero-stable, so the root "
         "condition fails already at z = 0, where every sector about the negative real axis begins."},
        {"ρ = (ζ − 1)(ζ + 1)²", "1, 1, -1, -1", "0, 4, 0, 0", "none: not zero-stable",
         "not A(\u03b1)-stable",
         "Own multistep method is not zero-stable: the root -1 of \u03c1 is double. Its runs do not "
         "converge: an error in the mode of that root grows by more the smaller h is, whatever the order.",
         "Own multistep method is not A(\u03b1)-stable for any \u03b1: it is not zero-stable, so the root "
         "condition fails already at z = 0, where every sector about the negative real axis begins."},
        {"classic: ρ has the root -5", "1, 4, -5", "0, 4, 2", "none: not zero-stable",
         "not A(\u03b1)-stable",
         "Own multistep method is not zero-stable: \u03c1 has the root -5, outside the unit circle. Its "
         "runs do not converge: an error in the mode of that root grows by more the smaller h is, "
         "whatever the order.",
         "Own multistep method is not A(\u03b1)-stable for any \u03b1: it is not zero-stable, so the root "
         "condition fails already at z = 0, where every sector about the negative real axis begins."},
        {"leapfrog: ±1 simple", "1, 0, -1", "0, 2, 0", "0.000", "not A(\u03b1)-stable",
         "Own multistep method is zero-stable: the roots of \u03c1 are 1 and -1.",
         "Own multistep method is not A(\u03b1)-stable for any \u03b1: its region does not hold the whole "
         "negative real axis, so on a stiff problem h\u00b7\u03bb must stay within its interval."},
        {"AB2", "1, -1, 0", "0, 3/2, -1/2", "1.000", "not A(\u03b1)-stable",
         "Own multistep method is zero-stable: the roots of \u03c1 are 1 and 0.",
         "Own multistep method is not A(\u03b1)-stable for any \u03b1: its region does not hold the whole "
         "negative real axis, so on a stiff problem h\u00b7\u03bb must stay within its interval."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Multistep& method = typed(row.alpha, row.beta);
        EXPECT_EQ(multistepIntervalText(method), row.interval);
        EXPECT_EQ(multistepHalfPlaneText(method), row.halfPlane);
        EXPECT_EQ(formulaNotes("Own multistep method", method)[0], row.zeroStability);
        EXPECT_EQ(aAlphaNote("Own multistep method", method), row.aAlpha);
    }
}

// The region of α = 1, -2, 1 with β = 0, 0, 0 is empty: (ζ − 1)² at every z.
// Of α = 1, 1, -1, -1 with β = 0, 4, 0, 0 too: near 0 the parasitic root
// leaves the circle at -1 (-1.638 at z = -0.1), and z = 0 has -1 double.
TEST(MultistepStability, ADoubleRootOnTheCircleIsOutsideTheRegion) {
    const Multistep& everywhere = typed("1, -2, 1", "0, 0, 0");
    const Multistep& atZero = typed("1, 1, -1, -1", "0, 4, 0, 0");
    for (const std::complex<double> z : {std::complex<double>(-1), {-0.1, 0}, {0, 0}, {-0.4, 0.3}, {-5, 0}}) {
        SCOPED_TRACE(z.real());
        EXPECT_FALSE(absolutelyStable(everywhere, z));
        EXPECT_FALSE(absolutelyStable(atZero, z));
    }
    EXPECT_EQ(multistepInterval(everywhere), 0);
    EXPECT_EQ(multistepInterval(atZero), 0);
    for (const Multistep* method : {&everywhere, &atZero}) {
        const StabilityGrid region = sampleMultistepRegion(*method, 121, 97);
        EXPECT_EQ(std::count(region.inside.begin(), region.inside.end(), 1), 0);
    }
}

// The roots, from mpmath: the classic method's ζ² + (4 − 4z)ζ − (5 + 2z)
// at z = -0.4 has 0.66987 and -6.26987, at z = 0.4 1.49072 and -3.89072
// (e^0.4 = 1.49182); AB2's 2ζ² − (2 + 3z)ζ + z has 1 and 0 at z = 0, 0.5 and
// -1 at z = -1, 1.46333 and 0.13668 at z = 0.4; AM3's at z = -1 are 1/3,
// 0.22401 and -0.40583; BDF2's at z = 5 are 0.18809 and -0.75952.
TEST(MultistepRootsNote, SaysWhatTheRootsDoToAnError) {
    const struct {
        const char* name;
        const Multistep& method;
        double z;
        std::vector<std::string> parts;
    } rows[] = {
        {"a parasitic root outside, the solution decaying", classicUnstableMethod, -0.4,
         {"the principal root \u03b6 = 0.670, the one nearest e^z = 0.670, and the parasitic root "
          "\u03b6 = -6.270.",
          "1 of the 2 roots lies outside the unit circle: \u03b6 = -6.270, |\u03b6| = 6.270. Each step "
          "multiplies an error in its mode by 6.270, so the run grows away from the solution"}},
        {"growing solution, a parasitic root growing faster", classicUnstableMethod, 0.4,
         {"Both lie outside the unit circle, and Re z > 0: the solution itself grows, by |e^z| = 1.492 "
          "per step; the principal root has |\u03b6| = 1.491.",
          "The parasitic root \u03b6 = -3.891 grows faster (|\u03b6| = 3.891), so relative to the "
          "solution an error grows in its mode"}},
        {"growing solution, the parasitic root small", adamsBashforth2Method, 0.4,
         {"1 of the 2 roots lies outside the unit circle, and Re z > 0",
          "No parasitic root grows as fast (the largest has |\u03b6| = 0.137), so relative to the "
          "solution an error does not grow."}},
        {"neutral: λ = 0", adamsBashforth2Method, 0,
         {"None lies outside the unit circle, and \u03b6 = 1.000 lies on it, so z is on the edge of the "
          "region: there an error neither grows nor dies away."}},
        {"on the edge of the interval", adamsBashforth2Method, -1,
         {"the principal root \u03b6 = 0.500", "and \u03b6 = -1.000 lies on it, so z is on the edge"}},
        {"inside", adamsMoulton3Method, -1,
         {"the parasitic roots \u03b6 = 0.224 and -0.406.",
          "All 3 lie inside the unit circle, so every step damps an error."}},
        {"growing solution, the run damped", bdf2Method, 5,
         {"None lies outside the unit circle, though Re z > 0: the solution grows by |e^z| = 148.413 "
          "per step, while every step damps the run, so the run does not follow the solution."}},
        {"a double root on the circle: (ζ − 1)² at every z", typed("1, -2, 1", "0, 0, 0"), -0.4,
         {"2 roots: the principal root \u03b6 = 1.000, the one nearest e^z = 0.670, and the parasitic root "
          "\u03b6 = 1.000. None lies outside the unit circle, but \u03b6 = 1.000 is a double root on it: "
          "an error in its mode grows in proportion to the number of steps, so z is not in the region, "
          "and the run grows away from the solution, which does not grow (Re z \u2264 0)."}},
        {"a double root on the circle, the solution growing", typed("1, -2, 1", "0, 0, 0"), 0.4,
         {"None lies outside the unit circle, though Re z > 0: the solution grows by |e^z| = 1.492 per "
          "step, while the run grows only in proportion to the number of steps, for \u03b6 = 1.000 is a "
          "double root on the circle, so the run does not follow the solution."}},
        {"ρ's double root -1 at z = 0", typed("1, 1, -1, -1", "0, 4, 0, 0"), 0,
         {"the parasitic roots \u03b6 = -1.000 and -1.000. None lies outside the unit circle, but "
          "\u03b6 = -1.000 is a double root on it"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string note = rootsNote(row.method, row.z, "z = h\u00b7\u03bb");
        EXPECT_TRUE(contains(note, "At z = h\u00b7\u03bb the characteristic polynomial has")) << note;
        for (const std::string& part : row.parts) EXPECT_TRUE(contains(note, part)) << note;
        // Only simple roots on the circle, at a z in the region, leave an
        // error as it is.
        EXPECT_TRUE(!contains(note, "neither grows nor dies away") || absolutelyStable(row.method, row.z))
            << note;
    }
}

// BDF2's leading coefficient 3 − 2z vanishes at z = 3/2: no roots, and no
// claim about them.
TEST(MultistepRootsNote, AStepWithoutASolutionHasNoRoots) {
    EXPECT_EQ(rootsNote(bdf2Method, 1.5, "z = 1.500"),
              "At z = 1.500 the characteristic polynomial has no roots to show: the coefficient of the "
              "new value vanishes, so the step cannot be solved for it.");
}

TEST(MultistepNotes, AAlphaZeroStabilityAndOrderInWords) {
    EXPECT_EQ(aAlphaNote("BDF 3", bdf3Method),
              "BDF 3 is A(\u03b1)-stable with \u03b1 = 86.03\u00b0: its region holds the sector "
              "|arg(\u2212z)| < 86.03\u00b0 about the negative real axis, though not the whole left "
              "half-plane.");
    EXPECT_EQ(aAlphaNote("BDF 2", bdf2Method), "BDF 2 is A-stable: its region holds the whole left half-plane.");
    // Adams regions are bounded: no sector, and nothing said of one.
    EXPECT_TRUE(contains(aAlphaNote("Adams-Moulton 3", adamsMoulton3Method),
                         "Adams-Moulton 3 is not A(\u03b1)-stable for any \u03b1"));

    const std::vector<std::string> classic = formulaNotes("Own multistep method", classicUnstableMethod);
    ASSERT_EQ(classic.size(), 2u);
    EXPECT_TRUE(contains(classic[0], "Own multistep method is not zero-stable: \u03c1 has the root -5")) << classic[0];
    EXPECT_TRUE(contains(classic[0], "Its runs do not converge")) << classic[0];
    EXPECT_TRUE(contains(classic[1], "order 3")) << classic[1];
    // The pair keeps its corrector's order, for AB4 predicts to order 4.
    const std::vector<std::string> pair = formulaNotes("Adams predictor-corrector 4", adamsPredictorCorrector4Method);
    EXPECT_EQ(pair[1], "The corrector of Adams predictor-corrector 4: order 4, error constant -19/720; its "
                       "predictor has order 4, so the pair has the corrector's order and error constant.");
    EXPECT_FALSE(contains(formulaNotes("BDF 2", bdf2Method)[0], "do not converge"));
}

// Of a system's modes, the roots picture shows the first that fails the
// root test, else the largest: AB2 fails at -1.1 (its parasitic root
// -1.13471, mpmath) and passes at -0.5 and -0.9.
TEST(MultistepShownMode, TheFirstOutsideElseTheLargest) {
    using Z = std::complex<double>;
    EXPECT_EQ(shownMode(adamsBashforth2Method, {Z(-0.5), Z(-1.1), Z(-0.9)}), Z(-1.1));
    EXPECT_EQ(shownMode(adamsBashforth2Method, {Z(-0.5), Z(-0.9)}), Z(-0.9));
}

// The region is sampled by testing one point of each part of the grid the
// locus does not pass near, and every point it does: the same grid as the
// root test at every point, for every multistep method of the catalogue,
// in the page's view and in one ten times wider where the loci cross
// themselves and run off.
TEST(MultistepStability, TheRegionIsTheRootTestAtEveryPoint) {
    StabilityGrid wide;
    wide.reMin = -60;
    wide.reMax = 20;
    wide.imMin = -40;
    wide.imMax = 40;
    std::vector<std::pair<std::string, const Multistep*>> methods;
    for (const Method& method : labCatalogue()) {
        if (isMultistep(method)) methods.emplace_back(method.caption, multistepOf(method));
    }
    // Double roots on the circle, and simple ones at z = 0 (leapfrog).
    methods.emplace_back("(ζ − 1)², σ = 0", &typed("1, -2, 1", "0, 0, 0"));
    methods.emplace_back("(ζ − 1)(ζ + 1)²", &typed("1, 1, -1, -1", "0, 4, 0, 0"));
    methods.emplace_back("(ζ − 1)², σ = ζ²", &typed("1, -2, 1", "1, 0, 0"));
    methods.emplace_back("leapfrog", &typed("1, 0, -1", "0, 2, 0"));
    for (const auto& [caption, method] : methods) {
        SCOPED_TRACE(caption);
        for (const StabilityGrid& frame : {StabilityGrid{}, wide}) {
            const StabilityGrid sampled = sampleMultistepRegion(*method, 121, 97, frame);
            const StabilityGrid everyPoint = sampleRegion(
                [&](std::complex<double> z) { return absolutelyStable(*method, z); }, 121, 97, frame);
            EXPECT_EQ(sampled.inside, everyPoint.inside);
        }
    }
}

}  // namespace
}  // namespace pelorin
