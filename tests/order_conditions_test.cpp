// Every tableau against the Runge-Kutta order conditions, in exact arithmetic
// (fractions and multiples of one square root), so that a method's stated
// order is what its coefficients give: all conditions up to it hold, and one
// of the next order fails. The implicit methods' stability claims are checked
// the same way, from their stability function R(z).
#include "methods/implicit_tableaus.h"
#include "methods/methods.h"
#include "numerics/method_properties.h"
#include "numerics/stability_function.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>
#include <vector>

using namespace pelorin;

namespace {

struct Fraction {
    long long numerator = 0;
    long long denominator = 1;
};

Fraction reduced(long long numerator, long long denominator) {
    const long long divisor = std::gcd(numerator, denominator) * (denominator < 0 ? -1 : 1);
    return {numerator / divisor, denominator / divisor};
}
Fraction operator+(Fraction x, Fraction y) {
    return reduced(x.numerator * y.denominator + y.numerator * x.denominator, x.denominator * y.denominator);
}
Fraction operator*(Fraction x, Fraction y) {
    return reduced(x.numerator * y.numerator, x.denominator * y.denominator);
}
Fraction operator-(Fraction x) { return {-x.numerator, x.denominator}; }
bool operator==(Fraction x, Fraction y) { return x.numerator == y.numerator && x.denominator == y.denominator; }
int sign(Fraction x) { return (x.numerator > 0) - (x.numerator < 0); }
bool operator<(Fraction x, Fraction y) { return sign(x + -y) < 0; }

// rational + surd·√radicand, one radicand per tableau.
struct Exact {
    Fraction rational;
    Fraction surd;
    long long radicand = 2;
};

Exact exact(long long n, long long d = 1) { return {reduced(n, d), {}, 2}; }
Exact exact(const Coefficient& k) {
    return {reduced(k.rational, k.denominator), reduced(k.surd, k.denominator), k.radicand};
}
Exact operator+(Exact x, Exact y) {
    return {x.rational + y.rational, x.surd + y.surd, x.surd.numerator ? x.radicand : y.radicand};
}
Exact operator-(Exact x) { return {-x.rational, -x.surd, x.radicand}; }
Exact operator-(Exact x, Exact y) { return x + -y; }
Exact operator*(Exact x, Exact y) {
    const int radicand = x.surd.numerator ? x.radicand : y.radicand;
    return {x.rational * y.rational + Fraction{radicand} * x.surd * y.surd,
            x.rational * y.surd + x.surd * y.rational, radicand};
}
bool operator==(Exact x, Exact y) { return x.rational == y.rational && x.surd == y.surd; }
// The sign of p + q√r: the larger of p² and r·q² decides when p and q differ.
int sign(Exact x) {
    const int p = sign(x.rational), q = sign(x.surd);
    if (p == 0 || p == q) return q ? q : p;
    if (q == 0) return p;
    return Fraction{x.radicand} * x.surd * x.surd < x.rational * x.rational ? p : q;
}

using Vector = std::vector<Exact>;
using Matrix = std::vector<Vector>;

Vector operator*(const Vector& x, const Vector& y) {
    Vector product;
    for (std::size_t j = 0; j < x.size(); ++j) product.push_back(x[j] * y[j]);
    return product;
}
Vector operator*(const Matrix& a, const Vector& x) {
    Vector product;
    for (const Vector& row : a) {
        Exact sum;
        for (std::size_t l = 0; l < x.size(); ++l) sum = sum + row[l] * x[l];
        product.push_back(sum);
    }
    return product;
}
Exact sum(const Vector& x) {
    Exact total;
    for (const Exact& term : x) total = total + term;
    return total;
}
Exact dot(const Vector& x, const Vector& y) { return sum(x * y); }

struct ExactTableau {
    Vector b, c;
    Matrix a;
};

ExactTableau exact(const Tableau& tableau) {
    ExactTableau t;
    for (int j = 0; j < tableau.stages; ++j) {
        t.b.push_back(exact(tableau.b[j]));
        t.c.push_back(exact(tableau.c[j]));
        t.a.emplace_back();
        for (int l = 0; l < tableau.stages; ++l) t.a.back().push_back(exact(tableau.a[j][l]));
    }
    return t;
}

// One condition per rooted tree up to five nodes, as textbooks print them:
// Σ b·Φ = 1/γ, with c, a·v and products taken component by component.
struct Condition {
    int order;
    const char* formula;
    Exact (*left)(const Vector& b, const Matrix& a, const Vector& c);
    long long gamma;
};

const Condition conditions[] = {
    {1, "Σ b = 1", [](const Vector& b, const Matrix&, const Vector&) { return sum(b); }, 1},
    {2, "Σ b c = 1/2", [](const Vector& b, const Matrix&, const Vector& c) { return dot(b, c); }, 2},
    {3, "Σ b c² = 1/3", [](const Vector& b, const Matrix&, const Vector& c) { return dot(b, c * c); }, 3},
    {3, "Σ b a c = 1/6", [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, a * c); }, 6},
    {4, "Σ b c³ = 1/4", [](const Vector& b, const Matrix&, const Vector& c) { return dot(b, c * c * c); }, 4},
    {4, "Σ b c a c = 1/8",
     [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, c * (a * c)); }, 8},
    {4, "Σ b a c² = 1/12",
     [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, a * (c * c)); }, 12},
    {4, "Σ b a a c = 1/24",
     [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, a * (a * c)); }, 24},
    {5, "Σ b c⁴ = 1/5",
     [](const Vector& b, const Matrix&, const Vector& c) { return dot(b, c * c * c * c); }, 5},
    {5, "Σ b c² a c = 1/10",
     [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, c * c * (a * c)); }, 10},
    {5, "Σ b c a c² = 1/15",
     [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, c * (a * (c * c))); }, 15},
    {5, "Σ b c a a c = 1/30",
     [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, c * (a * (a * c))); }, 30},
    {5, "Σ b (a c)² = 1/20",
     [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, (a * c) * (a * c)); }, 20},
    {5, "Σ b a c³ = 1/20",
     [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, a * (c * c * c)); }, 20},
    {5, "Σ b a c a c = 1/40",
     [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, a * (c * (a * c))); }, 40},
    {5, "Σ b a a c² = 1/60",
     [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, a * (a * (c * c))); }, 60},
    {5, "Σ b a a a c = 1/120",
     [](const Vector& b, const Matrix& a, const Vector& c) { return dot(b, a * (a * (a * c))); }, 120},
};
constexpr int highestConditionOrder = 5;

struct NamedTableau {
    std::string_view caption;
    const Tableau* tableau;
    int order;
};

std::vector<NamedTableau> everyTableau() {
    std::vector<NamedTableau> all;
    for (const Method& method : labCatalogue()) {
        if (hasTableau(method)) all.push_back({method.caption, tableauOf(method), orderOf(method)});
    }
    return all;
}

std::vector<const Method*> implicitOnes() {
    std::vector<const Method*> implicit;
    for (const Method& method : labCatalogue()) {
        if (std::holds_alternative<ImplicitRungeKutta>(method.family)) implicit.push_back(&method);
    }
    return implicit;
}

// det(I - z·m) = 1 - z·tr m + z²·det m for the one- and two-stage methods.
struct Quadratic {
    Exact constant, linear, square;
};
Quadratic determinantOfIMinusZ(const Matrix& m) {
    if (m.size() == 1) return {exact(1), -m[0][0], {}};
    return {exact(1), -(m[0][0] + m[1][1]), m[0][0] * m[1][1] - m[0][1] * m[1][0]};
}
int degree(const Quadratic& q) { return !(q.square == Exact{}) ? 2 : !(q.linear == Exact{}) ? 1 : 0; }

// R(z) = det(I - z·a + z·𝟙bᵀ) / det(I - z·a).
struct ExactStabilityFunction {
    Quadratic numerator, denominator;
};
ExactStabilityFunction exactStabilityFunction(const ExactTableau& t) {
    Matrix shifted = t.a;
    for (Vector& row : shifted) {
        for (std::size_t l = 0; l < row.size(); ++l) row[l] = row[l] - t.b[l];
    }
    return {determinantOfIMinusZ(shifted), determinantOfIMinusZ(t.a)};
}

// |D(iy)|² - |N(iy)|² = e1·y² + e2·y⁴ for D, N = 1 + d1·z + d2·z².
bool boundedOnImaginaryAxis(const ExactStabilityFunction& r) {
    const Quadratic& d = r.denominator;
    const Quadratic& n = r.numerator;
    const Exact two = exact(2);
    const Exact e1 = d.linear * d.linear - two * d.square - n.linear * n.linear + two * n.square;
    const Exact e2 = d.square * d.square - n.square * n.square;
    return sign(e1) >= 0 && sign(e2) >= 0;
}

// The roots of 1 + d1·z + d2·z² lie in the right half-plane: their sum and
// product are positive, or the single root -1/d1 is.
bool polesOnTheRight(const Quadratic& d) {
    if (degree(d) == 2) return sign(d.square) > 0 && sign(d.linear) < 0;
    return sign(d.linear) <= 0;
}

}  // namespace

// The orders the literature gives, against the orders worked out from the
// coefficients in floating point.
TEST(OrderConditions, EveryRungeKuttaMethodHasItsPublishedOrder) {
    const struct {
        std::string_view method;
        int order;
    } published[] = {
        {"Euler", 1},          {"Euler (End points)", 2}, {"Euler (Mid point)", 2},
        {"Runge-Kutta 4", 4},  {"Runge-Kutta-Fehlberg", 5}, {"Runge-Kutta-Merson", 4},
        {"Runge-Kutta-Gill", 4}, {"Ralston 2", 2},        {"Heun 3", 3},
        {"SSP Runge-Kutta 3", 3}, {"Kutta 3/8", 4},       {"Backward Euler", 1},
        {"Trapezoid", 2},      {"Implicit mid point", 2}, {"SDIRK 2", 2},
        {"Radau IIA 3", 3},    {"Gauss-Legendre 4", 4},
        // The own method's boxes until a tableau is typed: Kutta's third-order method.
        {"Own Runge-Kutta method", 3},
    };
    EXPECT_EQ(std::size(published), everyTableau().size());
    for (const auto& row : published) {
        SCOPED_TRACE(row.method);
        EXPECT_EQ(orderOf(methodByCaption(row.method)), row.order);
    }
}

// The worked-out order against the conditions in exact arithmetic: all of
// its order hold, and one of the next fails.
TEST(OrderConditions, EveryTableauHasExactlyItsOrder) {
    for (const NamedTableau& named : everyTableau()) {
        SCOPED_TRACE(named.caption);
        const ExactTableau t = exact(*named.tableau);
        bool nextOrderFails = false;
        for (const Condition& condition : conditions) {
            const bool holds = condition.left(t.b, t.a, t.c) == exact(1, condition.gamma);
            if (condition.order <= named.order) {
                EXPECT_TRUE(holds) << condition.formula;
            }
            if (condition.order == named.order + 1 && !holds) nextOrderFails = true;
        }
        if (named.order < highestConditionOrder) {
            EXPECT_TRUE(nextOrderFails) << "order " << named.order + 1;
        }
    }
}

TEST(OrderConditions, EveryNodeIsItsRowSum) {
    for (const NamedTableau& named : everyTableau()) {
        SCOPED_TRACE(named.caption);
        const ExactTableau t = exact(*named.tableau);
        for (std::size_t j = 0; j < t.c.size(); ++j) EXPECT_TRUE(sum(t.a[j]) == t.c[j]) << "row " << j + 1;
    }
}

TEST(ImplicitTableaus, EveryTableauIsOfItsFamily) {
    for (const Method& method : labCatalogue()) {
        if (!hasTableau(method)) continue;
        EXPECT_EQ(tableauOf(method)->isImplicit(), std::holds_alternative<ImplicitRungeKutta>(method.family))
            << method.caption;
    }
}

// A-stable: R has no pole in the left half-plane and |R(iy)| <= 1; L-stable
// besides: R(z) -> 0 at infinity, a numerator of lower degree.
TEST(ImplicitTableaus, StabilityClaimsFollowFromTheStabilityFunction) {
    for (const Method* method : implicitOnes()) {
        SCOPED_TRACE(method->caption);
        const ExactStabilityFunction r = exactStabilityFunction(exact(*tableauOf(*method)));
        const bool aStable = polesOnTheRight(r.denominator) && boundedOnImaginaryAxis(r);
        const StabilityVerdict verdict = stabilityVerdict(*tableauOf(*method));
        EXPECT_EQ(verdict.aStable, aStable);
        EXPECT_EQ(verdict.lStable, aStable && degree(r.numerator) < degree(r.denominator));
    }
}

// Symplectic (for these irreducible methods): b_i a_ij + b_j a_ji = b_i b_j for all i, j.
TEST(ImplicitTableaus, SymplecticClaimFollowsFromTheCoefficients) {
    for (const Method* method : implicitOnes()) {
        SCOPED_TRACE(method->caption);
        const ExactTableau t = exact(*tableauOf(*method));
        bool symplectic = true;
        for (std::size_t i = 0; i < t.b.size(); ++i) {
            for (std::size_t j = 0; j < t.b.size(); ++j) {
                symplectic = symplectic && t.b[i] * t.a[i][j] + t.b[j] * t.a[j][i] == t.b[i] * t.b[j];
            }
        }
        EXPECT_EQ(isSymplectic(*method), symplectic);
    }
}

// Gauss-Legendre's entries with √3 as one fraction each, like Gill's with √2;
// the values are (3 ∓ √3)/6 and (3 ∓ 2√3)/12 to 17 digits from mpmath.
TEST(ImplicitTableaus, GaussLegendreEntriesReadWithRootThree) {
    const struct {
        Coefficient entry;
        const char* text;
        double value;
    } rows[] = {
        {gaussLegendre4Tableau.c[0], "(3 - \u221a3)/6", 0.21132486540518712},
        {gaussLegendre4Tableau.c[1], "(3 + \u221a3)/6", 0.78867513459481288},
        {gaussLegendre4Tableau.a[0][1], "(3 - 2\u221a3)/12", -0.038675134594812882},
        {gaussLegendre4Tableau.a[1][0], "(3 + 2\u221a3)/12", 0.53867513459481288},
        {gaussLegendre4Tableau.a[0][0], "1/4", 0.25},
        {radauIIA3Tableau.a[0][1], "-1/12", -0.083333333333333333},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.entry.text(), row.text);
        EXPECT_DOUBLE_EQ(row.entry.value(), row.value);
    }
}
