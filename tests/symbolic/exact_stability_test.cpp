// Exact stability of typed and catalogue tableaus. Every expected value in
// the table (R's coefficients, its text, the verdicts and their sentences,
// the y quoted where |R(iy)| > 1) comes from tests/support/exact_stability.py,
// which works them out with sympy another way: determinants and their
// cancellation by sympy, the poles as Q's roots to 50 digits, the real roots
// of |Q(iy)|² - |P(iy)|² isolated by sympy, semidefiniteness by sympy's own
// test; and writes the texts with a formatter of its own. Run without
// arguments, the script prints each tableau's values as the table gives them.
// The catalogue's tableaus are checked against the floating-point and surd
// verdicts of numerics/, worked out apart.
#include "symbolic/exact_entry.h"
#include "symbolic/exact_stability.h"

#include "methods/methods.h"
#include "numerics/method_properties.h"
#include "numerics/stability_function.h"
#include "tests/support/typed_tableau.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

using namespace pelorin;
using pelorin::testing::parted;
using pelorin::testing::typedRow;
using pelorin::testing::typedTableau;

namespace {

// R's coefficients from z⁰ up, as the entry reader reads the texts.
void expectSameNumbers(const std::vector<GiNaC::ex>& got, const char* expected) {
    const std::vector<std::string> texts = parted(expected, ',');
    ASSERT_EQ(got.size(), texts.size());
    const std::vector<GiNaC::ex> want = typedRow(expected);
    for (std::size_t k = 0; k < got.size(); ++k) {
        EXPECT_TRUE((got[k] - want[k]).expand().is_zero())
            << "z^" << k << ": " << exactText(got[k]) << " against " << texts[k];
    }
}

double approximately(const GiNaC::ex& x) {
    return GiNaC::ex_to<GiNaC::numeric>(GiNaC::evalf(x)).to_double();
}

// A verdict holds exactly when its sentence does not begin "not".
void expectFinding(const StabilityFinding& got, const std::string& sentence) {
    EXPECT_EQ(got.holds, !sentence.starts_with("not ")) << got.sentence;
    EXPECT_EQ(got.sentence, sentence);
}

// The sentences many tableaus share.
const std::string aStable =
    "A-stable: R has no pole with Re z ≤ 0, and |R(iy)| ≤ 1 for every real y";
const std::string lStable = "L-stable: A-stable, and R(∞) = 0";
const std::string polynomialNotA =
    "not A-stable: R is a polynomial, so |R(z)| grows without bound as z → -∞";
const std::string polynomialNotL = "not L-stable: |R(z)| grows without bound as z → ∞";
const std::string algebraicallyStable =
    "algebraically stable: every bᵢ ≥ 0, and M = BA + AᵀB - bbᵀ is positive semidefinite";
const std::string symplectic = "symplectic: bᵢaᵢⱼ + bⱼaⱼᵢ = bᵢbⱼ for all i, j";
const std::string notSymplectic = "not symplectic: 2b1a11 ≠ b1²";

std::string notSemidefinite(const char* why) {
    return std::string("not algebraically stable: M = BA + AᵀB - bbᵀ is not positive "
                       "semidefinite, as ") +
           why;
}

// A's rows parted by ";" and their entries by ","; P's and Q's coefficients
// from z⁰ up; the verdicts on A-, L- and algebraic stability and symplecticity.
struct Case {
    const char* name;
    const char* a;
    const char* b;
    const char* numerator;
    const char* denominator;
    const char* function;
    std::array<std::string, 4> findings;
};

// clang-format off
const Case cases[] = {
    {"Runge-Kutta 4", "0, 0, 0, 0; 1/2, 0, 0, 0; 0, 1/2, 0, 0; 0, 0, 1, 0", "1/6, 1/3, 1/3, 1/6",
     "1, 1, 1/2, 1/6, 1/24", "1", "R(z) = 1 + z + z²/2 + z³/6 + z⁴/24",
     {polynomialNotA, polynomialNotL, notSemidefinite("m11 = -1/36"), notSymplectic}},
    {"trapezoid, Lobatto IIIA 2", "0, 0; 1/2, 1/2", "1/2, 1/2", "1, 1/2", "1, -1/2",
     "R(z) = (1 + z/2)/(1 - z/2)",
     {aStable, "not L-stable: R(∞) = -1", notSemidefinite("m11 = -1/4"), notSymplectic}},
    {"backward Euler", "1", "1", "1", "1, -1", "R(z) = 1/(1 - z)",
     {aStable, lStable, algebraicallyStable, notSymplectic}},
    {"Gauss-Legendre 4", "1/4, 1/4 - sqrt(3)/6; 1/4 + sqrt(3)/6, 1/4", "1/2, 1/2", "1, 1/2, 1/12",
     "1, -1/2, 1/12", "R(z) = (1 + z/2 + z²/12)/(1 - z/2 + z²/12)",
     {aStable, "not L-stable: R(∞) = 1", algebraicallyStable, symplectic}},
    {"Radau IIA 3", "5/12, -1/12; 3/4, 1/4", "3/4, 1/4", "1, 1/3", "1, -2/3, 1/6",
     "R(z) = (1 + z/3)/(1 - 2z/3 + z²/6)",
     {aStable, lStable, algebraicallyStable, notSymplectic}},
    {"SDIRK 2", "1 - sqrt(2)/2, 0; sqrt(2)/2, 1 - sqrt(2)/2", "sqrt(2)/2, 1 - sqrt(2)/2",
     "1, -1 + sqrt(2)", "1, -2 + sqrt(2), 3/2 - sqrt(2)",
     "R(z) = (1 + (√2 - 1)z)/(1 - (2 - √2)z + (3 - 2√2)z²/2)",
     {aStable, lStable, notSemidefinite("m11 = -(3 - 2√2)/2"), notSymplectic}},
    {"pole on the imaginary axis", "0, 1/2; -1/2, 0", "1/2, 1/2", "1, 1, 1/4", "1, 0, 1/4",
     "R(z) = (1 + z + z²/4)/(1 + z²/4)",
     {"not A-stable: R has a pole at z = 2i, on the imaginary axis", "not L-stable: R(∞) = 1",
      notSemidefinite("m11 = -1/4"), notSymplectic}},
    {"pole at z = ±i√3", "0, 1; -1/3, 0", "1/2, 1/2", "1, 1, 2/3", "1, 0, 1/3",
     "R(z) = (1 + z + 2z²/3)/(1 + z²/3)",
     {"not A-stable: R has a pole near z = 1.73i, on the imaginary axis", "not L-stable: R(∞) = 2",
      notSemidefinite("m11 = -1/4"), notSymplectic}},
    {"pole in the left half-plane", "-1/2", "1", "1, 3/2", "1, 1/2", "R(z) = (1 + 3z/2)/(1 + z/2)",
     {"not A-stable: R has a pole at z = -2, in the left half-plane", "not L-stable: R(∞) = 3",
      notSemidefinite("m11 = -2"), notSymplectic}},
    {"complex poles on the left", "0, 1; -1, -1", "1, 1", "1, 3, 2", "1, 1, 1",
     "R(z) = (1 + 3z + 2z²)/(1 + z + z²)",
     {"not A-stable: R has a pole near z = -0.5 + 0.866i, in the left half-plane",
      "not L-stable: R(∞) = 2", notSemidefinite("m11 = -1"), notSymplectic}},
    {"touching 1 at y = √3", "1, 0, 0; 1, 1, 0; 0, 1, 1", "-3, 2, 4", "1, 0, 3", "1, -3, 3, -1",
     "R(z) = (1 + 3z²)/(1 - 3z + 3z² - z³)",
     {aStable, lStable, "not algebraically stable: b1 = -3 is negative", notSymplectic}},
    {"crossing 1 between y = 1.41 and 2.15", "1, 0, 0; 1, 1, 0; 0, 1, 1", "-3.1, 2, 4.1",
     "1, 0, 31/10", "1, -3, 3, -1", "R(z) = (1 + 31z²/10)/(1 - 3z + 3z² - z³)",
     {"not A-stable: |R(iy)| > 1 for some real y, as at y = 2",
      "not L-stable: R(∞) = 0, but it is not A-stable",
      "not algebraically stable: b1 = -31/10 is negative", notSymplectic}},
    {"crossing 1 between y = 1.62 and 1.85", "1, 0, 0; 1, 1, 0; 0, 1, 1", "-3.01, 2, 4.01",
     "1, 0, 301/100", "1, -3, 3, -1", "R(z) = (1 + 301z²/100)/(1 - 3z + 3z² - z³)",
     {"not A-stable: |R(iy)| > 1 for some real y, as at y = 1.7",
      "not L-stable: R(∞) = 0, but it is not A-stable",
      "not algebraically stable: b1 = -301/100 is negative", notSymplectic}},
    {"theta 1/4", "1/4", "1", "1, 3/4", "1, -1/4", "R(z) = (1 + 3z/4)/(1 - z/4)",
     {"not A-stable: |R(iy)| > 1 for some real y, as at y = 1", "not L-stable: R(∞) = -3",
      notSemidefinite("m11 = -1/2"), notSymplectic}},
    {"reducible to the mid point", "1/2, 0; 0, 1", "1, 0", "1, 1/2", "1, -1/2",
     "R(z) = (1 + z/2)/(1 - z/2)",
     {aStable, "not L-stable: R(∞) = -1", algebraicallyStable, symplectic}},
    {"typed root in a denominator", "1/(1 + sqrt(3))", "1", "1, 3/2 - sqrt(3)/2",
     "1, 1/2 - sqrt(3)/2", "R(z) = (1 + (3 - √3)z/2)/(1 - (√3 - 1)z/2)",
     {"not A-stable: |R(iy)| > 1 for some real y, as at y = 1", "not L-stable: R(∞) = -√3",
      notSemidefinite("m11 = -(2 - √3)"), notSymplectic}},
    {"Lobatto IIIC 2", "1/2, -1/2; 1/2, 1/2", "1/2, 1/2", "1", "1, -1, 1/2",
     "R(z) = 1/(1 - z + z²/2)",
     {aStable, lStable, algebraicallyStable, notSymplectic}},
    {"indefinite M, positive diagonal", "1/2, 1; 1, 1/2", "1/2, 1/2", "1, -1/2", "1, -3/2",
     "R(z) = (1 - z/2)/(1 - 3z/2)",
     {aStable, "not L-stable: R(∞) = 1/3",
      notSemidefinite("its minor on rows and columns 1, 2 is -1/2"), notSymplectic}},
    {"Gauss-Legendre 6",
     "5/36, 2/9 - sqrt(15)/15, 5/36 - sqrt(15)/30; 5/36 + sqrt(15)/24, 2/9, 5/36 - sqrt(15)/24; "
     "5/36 + sqrt(15)/30, 2/9 + sqrt(15)/15, 5/36", "5/18, 4/9, 5/18", "1, 1/2, 1/10, 1/120",
     "1, -1/2, 1/10, -1/120", "R(z) = (1 + z/2 + z²/10 + z³/120)/(1 - z/2 + z²/10 - z³/120)",
     {aStable, "not L-stable: R(∞) = -1", algebraicallyStable, symplectic}},
    {"weights all 0", "1/2", "0", "1", "1", "R(z) = 1",
     {aStable, "not L-stable: R(∞) = 1", algebraicallyStable, symplectic}},
    {"explicit, 8 stages",
     "0, 0, 0, 0, 0, 0, 0, 0; 1, 0, 0, 0, 0, 0, 0, 0; 0, 1, 0, 0, 0, 0, 0, 0; "
     "0, 0, 1, 0, 0, 0, 0, 0; 0, 0, 0, 1, 0, 0, 0, 0; 0, 0, 0, 0, 1, 0, 0, 0; "
     "0, 0, 0, 0, 0, 1, 0, 0; 0, 0, 0, 0, 0, 0, 1, 0", "0, 0, 0, 0, 0, 0, 0, 1",
     "1, 1, 1, 1, 1, 1, 1, 1, 1", "1", "R(z) = 1 + z + z² + z³ + z⁴ + z⁵ + z⁶ + z⁷ + z⁸",
     {polynomialNotA, polynomialNotL, notSemidefinite("m88 = -1"),
      "not symplectic: b7a78 + b8a87 ≠ b7b8"}},
    {"implicit, 8 stages, typed roots",
     "1/2, sqrt(2), 0, 1/3, 0, 0, 0, 1; 0, 1/4, sqrt(3), 0, 0, 0, 0, 0; "
     "1, 0, 1/5, 0, sqrt(2)/7, 0, 0, 0; 0, 0, 0, 1/3, 1, 0, 0, 0; 0, 1, 0, 0, 1/2, 0, 0, 0; "
     "0, 0, 0, 0, 0, 1/6, 1, 0; 1, 0, 0, 0, 0, 0, 1/2, 0; 0, 0, sqrt(6), 0, 0, 0, 0, 1/8",
     "1/8, 1/8, 1/8, 1/8, 1/8, 1/8, 1/8, 1/8",
     "1, -63/40, sqrt(2)/7 + sqrt(3)/8 + sqrt(6)/8 + 3889/2880, "
     "-65*sqrt(6)/32 - 2273/5760 + sqrt(2)/160 + 9*sqrt(3)/448, "
     "-1339*sqrt(2)/16128 - 133/2880 + 535*sqrt(3)/1008 + 541*sqrt(6)/252, "
     "-3811*sqrt(6)/4032 - 1441*sqrt(3)/2016 + 103*sqrt(2)/10752 + 311/2560, "
     "-91/9216 + 1303*sqrt(2)/107520 + 221*sqrt(6)/2016 + 7367*sqrt(3)/16128, "
     "-705*sqrt(3)/7168 - 49/7680 - 2197*sqrt(2)/645120 + 677*sqrt(6)/32256, "
     "-3*sqrt(6)/3584 + 17*sqrt(2)/71680 + 37/46080 + 95*sqrt(3)/64512",
     "1, -103/40, 4049/1440, -15*sqrt(6)/7 - 2443/1440, 889/1440 + 101*sqrt(6)/28, "
     "-389*sqrt(6)/168 - sqrt(3)/3 - 133/960, 431/23040 + 19*sqrt(3)/72 + 709*sqrt(6)/1008, "
     "-29*sqrt(6)/288 - sqrt(3)/18 - 1/720, 1/23040 + sqrt(3)/288 + 11*sqrt(6)/2016",
     "R(z) = (1 - 63z/40 + (27223 + 2880√2 + 2520√3 + 2520√6)z²/20160 - (15911 - 252√2 - 810√3 + "
     "81900√6)z³/40320 + (42800√3 - 3724 - 6695√2 + 173120√6)z⁴/80640 - (115280√3 - 19593 - 1545√2 "
     "+ 152440√6)z⁵/161280 + (3909√2 - 3185 + 147340√3 + 35360√6)z⁶/322560 - (4116 + 2197√2 + "
     "63450√3 - 13540√6)z⁷/645120 + (518 + 153√2 + 950√3 - 540√6)z⁸/645120)/(1 - 103z/40 + "
     "4049z²/1440 - (17101 + 21600√6)z³/10080 + (6223 + 36360√6)z⁴/10080 - (931 + 2240√3 + "
     "15560√6)z⁵/6720 + (3017 + 42560√3 + 113440√6)z⁶/161280 - (2 + 80√3 + 145√6)z⁷/1440 + (7 + "
     "560√3 + 880√6)z⁸/161280)",
     {"not A-stable: R has a pole near z = -0.231 + 0.582i, in the left half-plane",
      "not L-stable: R(∞) = (12660024198879√2 - 16493408359126 - 136611850790√3 + "
      "1412420512300√6)/54923695267204",
      notSemidefinite("its minor on rows and columns 1, 2 is -(27 - 4√2)/1024"), notSymplectic}},
};
// clang-format on

}  // namespace

TEST(ExactStability, TypedTableausHaveTheFunctionsAndVerdictsWorkedOutApart) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ExactStability stability = exactStability(typedTableau(c.a, c.b));
        expectSameNumbers(stability.numerator, c.numerator);
        expectSameNumbers(stability.denominator, c.denominator);
        EXPECT_EQ(stability.function, c.function);
        expectFinding(stability.aStable, c.findings[0]);
        expectFinding(stability.lStable, c.findings[1]);
        expectFinding(stability.algebraicallyStable, c.findings[2]);
        expectFinding(stability.symplectic, c.findings[3]);
    }
}

// A catalogue coefficient may hold the root of any whole number: √12/6 must
// be the √3/3 a student types, or zero tests and cancellation would fail.
// The texts are the script's for a = sqrt(12)/6, b = 1.
TEST(ExactStability, RootsOfAnyRadicandAreTheRootsOfTheirPrimes) {
    Tableau written{1, {}, {}, {frac(1)}, {}};
    written.a[0][0] = Coefficient{0, 1, 6, 12};  // √12/6
    const ExactStability fromCatalogue = exactStability(exactTableau(written));
    const ExactStability typed = exactStability(typedTableau("sqrt(3)/3", "1"));
    EXPECT_EQ(fromCatalogue.function, typed.function);
    EXPECT_EQ(fromCatalogue.function, "R(z) = (1 + (3 - √3)z/3)/(1 - √3·z/3)");
    EXPECT_EQ(fromCatalogue.lStable.sentence, "not L-stable: R(∞) = -(√3 - 1)");
}

// The catalogue's methods against the verdicts numerics/ works out its own
// way (in surds, for at most three implicit stages) and against R's
// coefficients in floating point.
TEST(ExactStability, CatalogueTableausAgreeWithTheVerdictsOfTheNumerics) {
    std::size_t implicitOnes = 0;
    for (const Method& method : labCatalogue()) {
        const Tableau* tableau = tableauOf(method);
        if (!tableau || (tableau->isImplicit() && tableau->stages > 3)) continue;
        SCOPED_TRACE(std::string(method.caption));
        const ExactStability exact = exactStability(exactTableau(*tableau));
        const StabilityVerdict verdict = stabilityVerdict(*tableau);
        EXPECT_EQ(exact.aStable.holds, verdict.aStable) << exact.aStable.sentence;
        EXPECT_EQ(exact.lStable.holds, verdict.lStable) << exact.lStable.sentence;
        EXPECT_EQ(exact.symplectic.holds, isSymplectic(method)) << exact.symplectic.sentence;
        const StabilityFunction r = stabilityFunctionOf(*tableau);
        ASSERT_EQ(exact.numerator.size(), r.numerator.size());
        ASSERT_EQ(exact.denominator.size(), r.denominator.size());
        for (std::size_t k = 0; k < r.numerator.size(); ++k) {
            EXPECT_NEAR(approximately(exact.numerator[k]), r.numerator[k], 1e-14) << "z^" << k;
        }
        for (std::size_t k = 0; k < r.denominator.size(); ++k) {
            EXPECT_NEAR(approximately(exact.denominator[k]), r.denominator[k], 1e-14) << "z^" << k;
        }
        implicitOnes += tableau->isImplicit();
    }
    EXPECT_GE(implicitOnes, 5u);
}
