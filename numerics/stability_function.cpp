#include "numerics/stability_function.h"

#include "base/number_text.h"

#include <cmath>
#include <cstdlib>
#include <numeric>
#include <stdexcept>

namespace pelorin {

namespace {

// (p + s√r)/q in lowest terms with q > 0: the numbers the tableaus' entries
// are, closed under the sums and products of a determinant, so that a
// coefficient of R that is 0 is exactly 0 and a sign is certain.
struct Surd {
    long long p = 0, s = 0, q = 1;
    long long r = 2;
};

// The catalogue's tableaus keep every numerator and denominator far below
// 2^63; a tableau that did not would be refused rather than miscalculated.
long long checked(long long a, char operation, long long b) {
    long long result = 0;
    if (operation == '*' ? __builtin_mul_overflow(a, b, &result) : __builtin_add_overflow(a, b, &result)) {
        throw std::overflow_error("the tableau's stability function is too large to calculate exactly");
    }
    return result;
}
long long times(long long a, long long b) { return checked(a, '*', b); }
long long plus(long long a, long long b) { return checked(a, '+', b); }

Surd lowestTerms(Surd x) {
    if (x.q < 0) x = {-x.p, -x.s, -x.q, x.r};
    const long long divisor = std::gcd(std::gcd(x.p, x.s), x.q);
    return {x.p / divisor, x.s / divisor, x.q / divisor, x.r};
}

// A rational number's root is any; the other operand's is the one kept.
long long commonRoot(const Surd& a, const Surd& b) { return a.s != 0 ? a.r : b.r; }

Surd operator+(const Surd& a, const Surd& b) {
    return lowestTerms({plus(times(a.p, b.q), times(b.p, a.q)), plus(times(a.s, b.q), times(b.s, a.q)),
                        times(a.q, b.q), commonRoot(a, b)});
}
Surd operator-(const Surd& a) { return {-a.p, -a.s, a.q, a.r}; }
Surd operator-(const Surd& a, const Surd& b) { return a + -b; }
Surd operator*(const Surd& a, const Surd& b) {
    const long long r = commonRoot(a, b);
    return lowestTerms({plus(times(a.p, b.p), times(times(a.s, b.s), r)),
                        plus(times(a.p, b.s), times(a.s, b.p)), times(a.q, b.q), r});
}

int sign(long long n) { return (n > 0) - (n < 0); }

// p + s√r is positive where both are, or where the larger of p² and s²r is.
int sign(const Surd& x) {
    if (sign(x.s) == 0 || sign(x.p) == sign(x.s)) return sign(x.p) != 0 ? sign(x.p) : sign(x.s);
    if (sign(x.p) == 0) return sign(x.s);
    return times(x.p, x.p) > times(times(x.s, x.s), x.r) ? sign(x.p) : sign(x.s);
}

// Rounded as Coefficient::value rounds an entry.
double value(const Surd& x) { return (double(x.p) + double(x.s) * std::sqrt(double(x.r))) / double(x.q); }

Surd exact(const Coefficient& c) { return lowestTerms({c.rational, c.surd, c.denominator, c.radicand}); }

using Matrix = std::vector<std::vector<Surd>>;
using Polynomial = std::vector<Surd>;  // coefficients from z⁰ up

// The determinant of m's rows and columns listed, by expansion along the first row.
Surd determinant(const Matrix& m, const std::vector<std::size_t>& rows,
                 const std::vector<std::size_t>& columns) {
    if (rows.empty()) return {1};
    const std::vector<std::size_t> lowerRows(rows.begin() + 1, rows.end());
    Surd sum;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        std::vector<std::size_t> others = columns;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(k));
        const Surd term = m[rows[0]][columns[k]] * determinant(m, lowerRows, others);
        sum = k % 2 == 0 ? sum + term : sum - term;
    }
    return sum;
}

// det(I - z·m) = Σ (-z)^k E_k, E_k the sum of m's principal minors of order k;
// without zero leading coefficients.
Polynomial determinantOfIMinusZ(const Matrix& m) {
    const std::size_t n = m.size();
    Polynomial coefficients(n + 1);
    for (unsigned subset = 0; subset < (1u << n); ++subset) {
        std::vector<std::size_t> chosen;
        for (std::size_t j = 0; j < n; ++j) {
            if (subset & (1u << j)) chosen.push_back(j);
        }
        const Surd minor = determinant(m, chosen, chosen);
        Surd& c = coefficients[chosen.size()];
        c = chosen.size() % 2 == 0 ? c + minor : c - minor;
    }
    while (coefficients.size() > 1 && sign(coefficients.back()) == 0) coefficients.pop_back();
    return coefficients;
}

constexpr std::size_t largestImplicitStages = 3;

// P and Q of an implicit tableau, exactly.
struct ExactRatio {
    Polynomial numerator, denominator;
};
ExactRatio exactRatio(const Tableau& tableau) {
    const auto s = static_cast<std::size_t>(tableau.stages);
    if (s > largestImplicitStages) {
        throw std::invalid_argument("stability functions of implicit tableaus with more than three "
                                    "stages are not calculated");
    }
    Matrix a(s, std::vector<Surd>(s)), shifted = a;
    for (std::size_t j = 0; j < s; ++j) {
        for (std::size_t l = 0; l < s; ++l) {
            a[j][l] = exact(tableau.a[j][l]);
            shifted[j][l] = a[j][l] - exact(tableau.b[l]);  // A - 1bᵀ
        }
    }
    return {determinantOfIMinusZ(shifted), determinantOfIMinusZ(a)};
}

std::vector<double> rounded(const Polynomial& exact) {
    std::vector<double> values;
    for (const Surd& c : exact) values.push_back(value(c));
    return values;
}

Surd coefficient(const Polynomial& p, std::size_t k) { return k < p.size() ? p[k] : Surd{}; }

// No pole with Re z ≤ 0: the roots of Q(z) = 1 + q1 z + q2 z² + q3 z³ all lie
// in the right half-plane, that is Q(-w) has all its roots on the left, by
// the Routh-Hurwitz conditions on its coefficients 1, -q1, q2, -q3.
bool polesOnTheRight(const Polynomial& q) {
    const Surd q1 = coefficient(q, 1), q2 = coefficient(q, 2), q3 = coefficient(q, 3);
    switch (q.size() - 1) {
    case 0: return true;
    case 1: return sign(q1) < 0;
    case 2: return sign(q1) < 0 && sign(q2) > 0;
    default: return sign(q1) < 0 && sign(q2) > 0 && sign(q3) < 0 && sign(q1 * q2 - q3) < 0;
    }
}

// |Q(iy)|² - |P(iy)|² = Σ e_m y^(2m), e_m = Σ_{j+k=2m} (-1)^((j-k)/2) (Q_j Q_k - P_j P_k);
// e_0 = 0 as P(0) = Q(0) = 1, so it is t·(e1 + e2 t + e3 t²) with t = y²,
// at least 0 for every t > 0 where the quadratic is: e1 ≥ 0 and e3 ≥ 0, and
// its minimum on t > 0, if it has one there, is not below 0.
bool boundedOnImaginaryAxis(const ExactRatio& r) {
    const auto e = [&r](std::size_t m) {
        Surd sum;
        for (std::size_t j = 0; j <= 2 * m; ++j) {
            const std::size_t k = 2 * m - j;
            const Surd term = coefficient(r.denominator, j) * coefficient(r.denominator, k) -
                              coefficient(r.numerator, j) * coefficient(r.numerator, k);
            const long long quarterTurns = (static_cast<long long>(j) - static_cast<long long>(k)) / 2;
            sum = quarterTurns % 2 == 0 ? sum + term : sum - term;
        }
        return sum;
    };
    const Surd e1 = e(1), e2 = e(2), e3 = e(3);
    return sign(e1) >= 0 && sign(e3) >= 0 && (sign(e2) >= 0 || sign(e2 * e2 - Surd{4} * e1 * e3) <= 0);
}

std::complex<double> polynomialValue(const std::vector<double>& coefficients, std::complex<double> z) {
    std::complex<double> sum = 0;
    for (auto k = coefficients.rbegin(); k != coefficients.rend(); ++k) sum = sum * z + *k;
    return sum;
}

}  // namespace

std::vector<double> stabilityPolynomial(const Tableau& tableau) {
    const auto s = static_cast<std::size_t>(tableau.stages);
    std::vector<double> gamma{1};
    std::vector<double> power(s, 1.0);  // A^(k-1) 1
    for (std::size_t k = 1; k <= s; ++k) {
        double g = 0;
        for (std::size_t j = 0; j < s; ++j) g = g + tableau.b[j].value() * power[j];
        gamma.push_back(g);
        std::vector<double> next(s, 0.0);
        for (std::size_t j = 0; j < s; ++j) {
            for (std::size_t l = 0; l < j; ++l) next[j] = next[j] + tableau.a[j][l].value() * power[l];
        }
        power = next;
    }
    // A zero leading coefficient would only claim a higher degree.
    while (gamma.size() > 1 && gamma.back() == 0) gamma.pop_back();
    return gamma;
}

StabilityFunction stabilityFunctionOf(const Tableau& tableau) {
    if (!tableau.isImplicit()) return stabilityPolynomial(tableau);
    if (tableau.stability) return {tableau.stability->numerator, tableau.stability->denominator};
    const ExactRatio r = exactRatio(tableau);
    return {rounded(r.numerator), rounded(r.denominator)};
}

std::complex<double> stabilityFunction(const StabilityFunction& r, std::complex<double> z) {
    const std::complex<double> p = polynomialValue(r.numerator, z);
    return r.isPolynomial() ? p : p / polynomialValue(r.denominator, z);
}

double stabilityModulus(const StabilityFunction& r, std::complex<double> z) {
    const double p = std::abs(polynomialValue(r.numerator, z));
    return r.isPolynomial() ? p : p / std::abs(polynomialValue(r.denominator, z));
}

StabilityVerdict stabilityVerdict(const Tableau& tableau) {
    // A polynomial of degree 1 or more is unbounded: no explicit method is A-stable.
    if (!tableau.isImplicit()) return {};
    if (const TypedStability* typed = tableau.stability) {
        return {typed->aStable, typed->lStable, typed->poleOnTheLeft,
                typed->hasLimit ? std::optional(typed->atInfinity) : std::nullopt};
    }
    const ExactRatio r = exactRatio(tableau);
    const std::size_t p = r.numerator.size() - 1, q = r.denominator.size() - 1;
    StabilityVerdict verdict;
    verdict.poleOnTheLeft = !polesOnTheRight(r.denominator);
    if (p < q) verdict.atInfinity = 0;
    if (p == q) verdict.atInfinity = value(r.numerator.back()) / value(r.denominator.back());
    verdict.aStable = !verdict.poleOnTheLeft && p <= q && boundedOnImaginaryAxis(r);
    verdict.lStable = verdict.aStable && p < q;
    return verdict;
}

std::string verdictText(const StabilityVerdict& verdict) {
    if (verdict.lStable) return "A- and L-stable";
    return verdict.aStable ? "A-stable only" : "not A-stable";
}

std::string verdictNote(std::string_view caption, const StabilityVerdict& verdict) {
    const std::string method(caption);
    if (!verdict.atInfinity) {
        return method + " is not A-stable: |R(z)| grows without bound as |z| grows, so its region "
                        "is bounded, and the larger |\u03bb| with \u03bb < 0, the shorter h must be "
                        "for an error to die away.";
    }
    if (verdict.poleOnTheLeft) {
        return method + " is not A-stable: R(z) has a pole with Re z \u2264 0, around which |R(z)| "
                        "exceeds 1.";
    }
    if (!verdict.aStable) {
        return method + " is not A-stable: |R(iy)| exceeds 1 somewhere on the imaginary axis, so "
                        "part of the left half-plane lies outside its region.";
    }
    const std::string a =
        method + " is A-stable: R(z) has no pole with Re z \u2264 0 and |R(iy)| \u2264 1 on the whole "
                 "imaginary axis, so its region holds the whole left half-plane and no \u03bb < 0 "
                 "limits h for an error to die away.";
    if (verdict.lStable) {
        return a + " It is L-stable too: R(z) \u2192 0 as z \u2192 -\u221e, so the stiffest parts "
                   "of an error die out in a single step.";
    }
    return a + " It is not L-stable: R(z) \u2192 " + shortText(*verdict.atInfinity) +
           " as z \u2192 -\u221e, so the stiffest parts of an error barely die away" +
           (*verdict.atInfinity < 0 ? ", flipping their sign each step." : ".");
}

}  // namespace pelorin
