// The analysis of linear multistep methods: order and error constant in
// exact fractions, the root condition in words, the region of absolute
// stability where its edges are known, the A(α) angles of the BDF methods,
// and the alpha and beta boxes read strictly. Orders and constants were
// worked out with python3's fractions from C_q; roots, angles and the
// predictor-corrector pair's interval with mpmath (the pair's by its step
// matrix on y' = λy, not by the characteristic polynomial used here).
#include "numerics/linear_multistep.h"
#include "methods/multistep_formulas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <string>
#include <variant>
#include <vector>

using namespace pelorin;

namespace {

MultistepFormula read(std::string_view alpha, std::string_view beta) {
    const auto formula = readMultistep(alpha, beta);
    if (const auto* why = std::get_if<std::string>(&formula)) ADD_FAILURE() << *why;
    return std::get_if<MultistepFormula>(&formula) ? std::get<MultistepFormula>(formula) : MultistepFormula{};
}

std::string refusal(std::string_view alpha, std::string_view beta) {
    const auto formula = readMultistep(alpha, beta);
    return std::get_if<std::string>(&formula) ? std::get<std::string>(formula) : "read";
}

// The classic lesson: order 3, C_4 = 1/6, σ(1) = 6, and ρ has the root −5.
constexpr MultistepFormula classic{2, {-5, 4, 1}, {2, 4, 0}};

// The trapezoidal rule over 2h: ρ = ζ² − 1, σ = ζ² + 1, A-stable.
constexpr MultistepFormula twoStepTrapezoid{2, {-1, 0, 1}, {1, 0, 1}};

// Two methods a teacher typed whose ρ has a double root on the unit circle:
// α = 1, -2, 1 with β = 0, 0, 0 (σ = 0, so ρ(ζ) − z·σ(ζ) = (ζ − 1)² at every
// z) and α = 1, 1, -1, -1 with β = 0, 4, 0, 0 (ρ = (ζ − 1)(ζ + 1)²).
constexpr MultistepFormula doubleOneEverywhere{2, {1, -2, 1}, {0, 0, 0}};
constexpr MultistepFormula doubleMinusOne{3, {-1, -1, 1, 1}, {0, 0, 4, 0}};

// The leapfrog method: ρ = ζ² − 1 has the simple roots ±1 on the circle.
constexpr MultistepFormula leapfrog{2, {-1, 0, 1}, {0, 2, 0}};

// BDF with six steps, the most the lab takes: zero-stable, ρ's roots 1,
// 0.14527 ± 0.85107i, 0.37615 ± 0.28847i and 0.40612 (mpmath).
constexpr MultistepFormula bdf6{6, {10, -72, 225, -400, 450, -360, 147}, {0, 0, 0, 0, 0, 0, 60}};

}  // namespace

TEST(LinearMultistep, OrderAndErrorConstant) {
    const struct {
        const char* name;
        const MultistepFormula* formula;
        const char* text;
    } rows[] = {
        {"AB2", &adamsBashforth2, "order 2, error constant 5/12"},
        {"AB3", &adamsBashforth3, "order 3, error constant 3/8"},
        {"AB4", &adamsBashforth4, "order 4, error constant 251/720"},
        {"AM3", &adamsMoulton3, "order 4, error constant -19/720"},
        {"BDF2", &bdf2, "order 2, error constant -1/3"},
        {"BDF3", &bdf3, "order 3, error constant -1/4"},
        {"BDF4", &bdf4, "order 4, error constant -1/5"},
        {"BDF6", &bdf6, "order 6, error constant -1/7"},
        {"classic, C_4/σ(1) = (1/6)/6", &classic, "order 3, error constant 1/36"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(consistencyText(*row.formula), row.text);
    }
    const Consistency am3 = consistencyOf(adamsMoulton3);
    EXPECT_EQ(am3.order, 4);
    EXPECT_EQ(am3.constantNumerator, -19);
    EXPECT_EQ(am3.constantDenominator, 720);
}

TEST(LinearMultistep, InconsistentMethodsSayWhy) {
    const struct {
        const char* alpha;
        const char* beta;
        const char* text;
    } rows[] = {
        {"1, 1", "1, 1", "not consistent: ρ(1) = 2, not 0"},
        {"1, -1", "1, 1", "not consistent: ρ'(1) = 1 but σ(1) = 2"},
        // Written back with α_k = 1: ρ'(1) = 1, σ(1) = 3/2.
        {"2, -2", "1, 2", "not consistent: ρ'(1) = 1 but σ(1) = 3/2"},
        {"1, -2, 1", "0, 1, -1", "not consistent: ρ'(1) = σ(1) = 0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const MultistepFormula formula = read(row.alpha, row.beta);
        EXPECT_EQ(consistencyText(formula), row.text);
        EXPECT_EQ(consistencyOf(formula).order, 0);
    }
}

TEST(LinearMultistep, RootCondition) {
    const struct {
        const char* name;
        MultistepFormula formula;
        bool zeroStable;
        const char* verdict;
    } rows[] = {
        {"AB2", adamsBashforth2, true, "zero-stable: the roots of ρ are 1 and 0"},
        {"AB4", adamsBashforth4, true, "zero-stable: the roots of ρ are 1 and 0 (triple)"},
        {"AM3", adamsMoulton3, true, "zero-stable: the roots of ρ are 1 and 0 (double)"},
        {"BDF2", bdf2, true, "zero-stable: the roots of ρ are 1 and 0.3333"},
        {"BDF3", bdf3, true, "zero-stable: the roots of ρ are 1 and 0.3182 ± 0.2839i"},
        {"BDF4", bdf4, true, "zero-stable: the roots of ρ are 1, 0.2693 ± 0.492i and 0.3815"},
        {"BDF6", bdf6, true,
         "zero-stable: the roots of ρ are 1, 0.1453 ± 0.8511i, 0.3762 ± 0.2885i and 0.4061"},
        {"Euler", {1, {-1, 1}, {1, 0}}, true, "zero-stable: the root of ρ is 1"},
        {"leapfrog: −1 on the circle, simple", {2, {-1, 0, 1}, {0, 2, 0}}, true,
         "zero-stable: the roots of ρ are 1 and -1"},
        {"classic", classic, false, "not zero-stable: ρ has the root -5, outside the unit circle"},
        {"ρ = (ζ − 1)²", {2, {1, -2, 1}, {0, 1, 1}}, false, "not zero-stable: the root 1 of ρ is double"},
        {"ρ = (ζ − 1)(ζ + 1)²", {3, {-1, -1, 1, 1}, {0, 0, 0, 4}}, false,
         "not zero-stable: the root -1 of ρ is double"},
        {"ρ = (ζ² + 1)²: ±i double", {4, {1, 0, 2, 0, 1}, {0, 0, 0, 0, 1}}, false,
         "not zero-stable: the roots ±i of ρ are double"},
        {"ρ = (ζ − 1)(ζ² + ζ + 2): |ζ| = √2", {3, {-2, 1, 0, 1}, {0, 0, 0, 4}}, false,
         "not zero-stable: ρ has the roots -0.5 ± 1.323i, outside the unit circle"},
        // Roots a hair either side of the circle, ρ = (ζ − 1)(ζ − 1.0001) and
        // (ζ − 1)(ζ − 0.9999), in whole numbers: outside and inside.
        {"root 1.0001", {2, {10001, -20001, 10000}, {-1, 0, 0}}, false,
         "not zero-stable: ρ has the root 1.0001, outside the unit circle"},
        {"root 0.9999", {2, {9999, -19999, 10000}, {1, 0, 0}}, true,
         "zero-stable: the roots of ρ are 1 and 0.9999"},
        // A double root inside the circle is harmless: ρ = (ζ − 1)(ζ − 1/2)².
        {"double root 0.5", {3, {-1, 5, -8, 4}, {0, 0, 0, 1}}, true,
         "zero-stable: the roots of ρ are 1 and 0.5 (double)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ZeroStability stability = zeroStabilityOf(row.formula);
        EXPECT_EQ(stability.zeroStable, row.zeroStable);
        EXPECT_EQ(stability.verdict, row.verdict);
        EXPECT_EQ(stability.roots.size(), static_cast<std::size_t>(row.formula.steps));
    }
    // A consistent method's root 1 is exact, and first.
    EXPECT_EQ(zeroStabilityOf(bdf6).roots.front(), std::complex<double>(1));
}

TEST(LinearMultistep, AbsoluteStabilityAtKnownEdges) {
    // Edges on the negative real axis: AB2 at −1, AB4 at −3/10, AM3 at −3
    // (ρ − zσ has the root −1 there), the pair at −1.2848163; BDF2 at
    // z = 1 has the root 2 + √3, at z = 5 the roots −0.7595 and 0.1881.
    const struct {
        const char* name;
        Multistep method;
        std::complex<double> z;
        bool stable;
    } rows[] = {
        {"AB2 inside", adamsBashforth2Method, -1 + 1e-6, true},
        {"AB2 outside", adamsBashforth2Method, -1 - 1e-6, false},
        {"AB2 right of 0", adamsBashforth2Method, 1e-3, false},
        {"AB4 inside", adamsBashforth4Method, -0.3 + 1e-6, true},
        {"AB4 outside", adamsBashforth4Method, -0.3 - 1e-6, false},
        {"AM3 inside", adamsMoulton3Method, -3 + 1e-6, true},
        {"AM3 outside", adamsMoulton3Method, -3 - 1e-6, false},
        {"pair inside", adamsPredictorCorrector4Method, -1.2848 , true},
        {"pair outside", adamsPredictorCorrector4Method, -1.2849, false},
        {"BDF2 far left", bdf2Method, -1e6, true},
        {"BDF2 up the imaginary axis", bdf2Method, {0, 3}, true},
        {"BDF2 inside its loop", bdf2Method, 1, false},
        {"BDF2 beyond its loop", bdf2Method, 5, true},
        // The root condition counts multiplicity on the circle: a double
        // root there makes an error grow like n, wherever it lies.
        {"(ζ − 1)² at z = -1", Multistep{&doubleOneEverywhere}, -1, false},
        {"(ζ − 1)² at z = -0.1", Multistep{&doubleOneEverywhere}, -0.1, false},
        {"(ζ − 1)² at z = 0", Multistep{&doubleOneEverywhere}, 0, false},
        {"(ζ − 1)² at z = -0.5 + 2i", Multistep{&doubleOneEverywhere}, {-0.5, 2}, false},
        {"(ζ − 1)(ζ + 1)² at z = 0", Multistep{&doubleMinusOne}, 0, false},
        {"(ζ − 1)(ζ + 1)² at z = -1e-9", Multistep{&doubleMinusOne}, -1e-9, false},
        // Simple roots on the circle are the region's edge, inside it.
        {"leapfrog at 0: ±1, simple", Multistep{&leapfrog}, 0, true},
        {"leapfrog at 0.5i: two simple roots on the circle", Multistep{&leapfrog}, {0, 0.5}, true},
        {"trapezoid over two steps at 0.5i", Multistep{&twoStepTrapezoid}, {0, 0.5}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(absolutelyStable(row.method, row.z), row.stable);
    }
}

// A root finder splits a repeated root by about the square root of the
// rounding, to both sides of the circle or along it; the mean of the
// cluster is where the root is. Two distinct roots on the circle stay two.
TEST(LinearMultistep, RepeatedRootsOnTheCircleAreCountedOnce) {
    using Z = std::complex<double>;
    const struct {
        const char* name;
        std::vector<Z> roots;
        std::vector<int> multiplicities;
        bool rootCondition;
    } rows[] = {
        {"double 1 split across the circle", {Z(1 + 1e-8), Z(1 - 1e-8), Z(0.5)}, {2, 1}, false},
        {"double 1 split along the circle", {Z(1, 1e-8), Z(1, -1e-8)}, {2}, false},
        {"double 1 found exactly", {Z(1), Z(1)}, {2}, false},
        {"triple -1 split by some 1e-5", {Z(-1 - 1e-5), Z(-1 + 0.5e-5, 0.866e-5), Z(-1 + 0.5e-5, -0.866e-5)},
         {3}, false},
        {"double ±i", {Z(1e-8, 1), Z(-1e-8, 1), Z(1e-8, -1), Z(-1e-8, -1)}, {2, 2}, false},
        {"simple 1 and -1", {Z(1), Z(-1)}, {1, 1}, true},
        // Closer than the reach of a cluster, but their mean lies inside
        // the circle by 8e-8.
        {"two roots on the circle 8e-4 apart", {std::polar(1.0, 0.0004), std::polar(1.0, -0.0004)},
         {1, 1}, true},
        {"double 0.5 inside", {Z(0.5 + 1e-8), Z(0.5 - 1e-8), Z(1)}, {1, 1, 1}, true},
        {"simple root outside", {Z(1.001), Z(0.2)}, {1, 1}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<CountedRoot> counted = countedRoots(row.roots);
        std::vector<int> multiplicities;
        for (const CountedRoot& root : counted) multiplicities.push_back(root.multiplicity);
        EXPECT_EQ(multiplicities, row.multiplicities);
        EXPECT_EQ(rootCondition(counted), row.rootCondition);
    }
    EXPECT_NEAR(std::abs(countedRoots({Z(1, 1e-8), Z(1, -1e-8)}).front().root - Z(1)), 0, 1e-15);
}

TEST(LinearMultistep, CharacteristicRootsAndLocus) {
    const CharacteristicRoots atZero = characteristicRoots(adamsBashforth2Method, 0);
    ASSERT_EQ(atZero.roots.size(), 2u);
    EXPECT_NEAR(std::abs(atZero.roots[atZero.principal] - 1.0), 0, 1e-15);
    EXPECT_NEAR(std::abs(atZero.roots[1 - atZero.principal]), 0, 1e-15);

    // BDF2's leading coefficient 3 − 2z is 0 at z = 1.5: no roots to judge.
    // Far out to the right the roots are about ±1/√(−2z), inside the circle.
    EXPECT_TRUE(characteristicRoots(bdf2Method, 1.5).roots.empty());
    EXPECT_FALSE(absolutelyStable(bdf2Method, 1.5));
    EXPECT_TRUE(absolutelyStable(bdf2Method, {1e300, 1e300}));

    // AB2: z(π) = ρ(−1)/σ(−1) = 4/(−4).
    const auto locus = boundaryLocus(adamsBashforth2Method, 721);
    ASSERT_EQ(locus.size(), 1u);
    ASSERT_EQ(locus[0].size(), 721u);
    EXPECT_NEAR(std::abs(locus[0][360] - std::complex<double>(-1)), 0, 1e-14);
    // Every point of the locus has a root of modulus 1, the pair's too (to
    // the few roundings absolutelyStable allows: near θ = 0 one branch of the
    // pair has four roots close to 1); at the pair's interval end the step
    // matrix has a root of modulus 1.
    const auto offCircle = [](const Multistep& method, std::complex<double> z) {
        double off = 1;
        for (auto root : characteristicRoots(method, z).roots) {
            off = std::min(off, std::abs(std::abs(root) - 1));
        }
        return off;
    };
    for (std::size_t i = 0; i < locus[0].size(); i += 45) {
        EXPECT_LT(offCircle(adamsBashforth2Method, locus[0][i]), 1e-12) << "θ sample " << i;
    }
    const auto pair = boundaryLocus(adamsPredictorCorrector4Method, 721);
    ASSERT_EQ(pair.size(), 2u);
    for (const auto& branch : pair) {
        for (std::size_t i = 1; i < branch.size(); i += 45) {
            EXPECT_LT(offCircle(adamsPredictorCorrector4Method, branch[i]), 1e-10) << "θ sample " << i;
        }
    }
    EXPECT_LT(offCircle(adamsPredictorCorrector4Method, -1.2848163), 1e-6);
    // σ(ζ) = ζ + 1 of the trapezoidal rule vanishes at θ = π: the curve breaks.
    constexpr MultistepFormula trapezoid{1, {-2, 2}, {1, 1}};
    const auto broken = boundaryLocus(Multistep{&trapezoid}, 3);
    EXPECT_TRUE(std::isnan(broken[0][1].real()));
}

TEST(LinearMultistep, PairDoesNotDependOnThePredictorsScale) {
    // The predicted value is ζ^k − (ρ_P − z·σ_P)/a_k^P: a predictor written
    // with every coefficient doubled predicts the same, so the pair's roots
    // are those of the corrector with the plain predictor.
    constexpr MultistepFormula doubledAdamsBashforth4{
        4, {0, 0, 0, -48, 48}, {-18, 74, -118, 110, 0}};
    const Multistep doubled{&adamsMoulton3, &doubledAdamsBashforth4};
    for (const std::complex<double> z : {std::complex<double>(-1), {-0.5, 0.7}, {0.2, -1.1}}) {
        SCOPED_TRACE(z.real());
        const CharacteristicRoots plain = characteristicRoots(adamsPredictorCorrector4Method, z);
        const CharacteristicRoots scaled = characteristicRoots(doubled, z);
        ASSERT_EQ(plain.roots.size(), scaled.roots.size());
        EXPECT_NEAR(std::abs(plain.roots[plain.principal] - scaled.roots[scaled.principal]), 0, 1e-12);
        EXPECT_EQ(absolutelyStable(doubled, z), absolutelyStable(adamsPredictorCorrector4Method, z));
    }
}

TEST(LinearMultistep, AAlphaAngle) {
    // BDF: 90 (A-stable), 86.032367 and 73.351670 by mpmath; the Adams
    // methods' regions are bounded.
    const struct {
        const char* name;
        Multistep method;
        std::optional<double> angle;
    } rows[] = {
        {"BDF2", bdf2Method, 90.0},
        {"trapezoidal rule over two steps", Multistep{&twoStepTrapezoid}, 90.0},
        {"BDF3", bdf3Method, 86.032367},
        {"BDF4", bdf4Method, 73.351670},
        {"AB4", adamsBashforth4Method, std::nullopt},
        {"AM3", adamsMoulton3Method, std::nullopt},
        {"pair", adamsPredictorCorrector4Method, std::nullopt},
        // No locus at all (σ = 0) once seemed a region holding every z.
        {"(ζ − 1)², σ = 0: not zero-stable", Multistep{&doubleOneEverywhere}, std::nullopt},
        {"(ζ − 1)(ζ + 1)²: not zero-stable", Multistep{&doubleMinusOne}, std::nullopt},
        {"classic: not zero-stable", Multistep{&classic}, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<double> angle = aAlphaAngle(row.method);
        ASSERT_EQ(angle.has_value(), row.angle.has_value());
        if (angle) {
            EXPECT_NEAR(*angle, *row.angle, 0.001);
            // A-stability exactly, so that the lab can say so.
            if (*row.angle == 90) {
                EXPECT_EQ(*angle, 90);
            }
        }
    }
}

TEST(LinearMultistep, ReadsExactlyAndWritesBack) {
    const struct {
        const char* name;
        const char* alpha;
        const char* beta;
        MultistepFormula formula;
    } rows[] = {
        {"classic", "1, 4, -5", "0, 4, 2", classic},
        {"BDF2 as fractions", "1, -4/3, 1/3", "2/3, 0, 0", bdf2},
        {"decimals exactly", "1, -1", "0.5, 0.5", {1, {-2, 2}, {1, 1}}},
        {"0.1 is a tenth", "1, -1", "0.1, 0.9", {1, {-10, 10}, {9, 1}}},
        {"exponents", "1E1, -1e+1", "5, 5E0", {1, {-2, 2}, {1, 1}}},
        {"typographic minus, blanks", " 1 ,\t\u22121 ", "1 , 0", {1, {-1, 1}, {0, 1}}},
        {"α_k negative", "-3, 4, -1", "-2, 0, 0", bdf2},
        {"largest whole number", "9223372036854775807, -1", "1, 1",
         {1, {-1, 9223372036854775807LL}, {1, 1}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const MultistepFormula formula = read(row.alpha, row.beta);
        EXPECT_EQ(formula.steps, row.formula.steps);
        EXPECT_EQ(formula.a, row.formula.a);
        EXPECT_EQ(formula.b, row.formula.b);
    }
    EXPECT_EQ(alphaText(bdf2), "1, -4/3, 1/3");
    EXPECT_EQ(betaText(bdf2), "2/3, 0, 0");
    EXPECT_EQ(alphaText(adamsMoulton3), "1, -1, 0, 0");
    EXPECT_EQ(betaText(adamsMoulton3), "3/8, 19/24, -5/24, 1/24");
}

TEST(LinearMultistep, RefusalsInWords) {
    const struct {
        const char* alpha;
        const char* beta;
        const char* why;
    } rows[] = {
        {"", "1, 0", "alpha is empty: type its coefficients, highest index first, separated by commas, "
                     "such as 1, -1."},
        {"1, -1", " ", "beta is empty: type its coefficients, highest index first, separated by commas, "
                       "such as 1, -1."},
        {"1, x", "0, 1", "alpha: coefficient 2, \"x\", is not a number: type whole numbers, fractions "
                         "such as -4/3 or decimals such as 0.5."},
        {"1, -1", "0.5", "beta holds one coefficient: a method of k steps has k + 1, at least 2."},
        {"1, -1", "1, 0,", "beta: coefficient 3 is empty: separate the numbers by single commas."},
        {"1, 1/0", "1, 0", "alpha: coefficient 2, \"1/0\", divides by 0."},
        {"1, 2/3/4", "1, 0", "alpha: coefficient 2, \"2/3/4\", is not a number: type whole numbers, "
                             "fractions such as -4/3 or decimals such as 0.5."},
        {"1, -1", "1, 1E99", "beta: coefficient 2, \"1E99\", is too large to hold exactly."},
        {"1, -1", "1, 0, 0", "alpha holds 2 coefficients and beta 3: both need k + 1, one for each of "
                             "the values y_{n+k} … y_n."},
        {"0, 1", "1, 0", "alpha: α_k, the first coefficient, is 0: the formula would not give y_{n+k}."},
        // BDF with seven steps: one coefficient too many.
        {"363/140, -7, 21/2, -35/3, 35/4, -21/5, 7/6, -1/7", "1, 0, 0, 0, 0, 0, 0, 0",
         "alpha holds more than 7 coefficients: the lab takes methods of at most 6 steps."},
        // One past the largest whole number, and a common denominator beyond it
        // (4294967291 · 4294967279 > 2^63): refused, never wrapped.
        {"9223372036854775808, -1", "1, 1",
         "alpha and beta are too large to hold exactly in whole numbers: type smaller numbers or fractions "
         "with smaller denominators."},
        {"1/4294967291, -1/4294967279", "0, 1",
         "alpha and beta are too large to hold exactly in whole numbers: type smaller numbers or fractions "
         "with smaller denominators."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.alpha) + " | " + row.beta);
        EXPECT_EQ(refusal(row.alpha, row.beta), row.why);
    }
}
