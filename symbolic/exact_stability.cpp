#include "symbolic/exact_stability.h"

#include "symbolic/exact_entry.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <optional>
#include <stdexcept>
#include <utility>

namespace pelorin {

namespace {

using GiNaC::ex;
using GiNaC::numeric;
using Polynomial = std::vector<ex>;  // coefficients from the constant up, no zero on top
using Matrix = std::vector<std::vector<ex>>;

// ---- Numbers: rationals and their square roots, each kept expanded over
// roots of distinct primes (√12 is 2√3), so that a number has one expanded
// form and is zero exactly when that form is 0.

bool isHalf(const ex& exponent) { return exponent.is_equal(numeric(1, 2)); }

bool isRoot(const ex& e) { return GiNaC::is_a<GiNaC::power>(e) && isHalf(e.op(1)); }

// √n of a rational n ≥ 0 in the entry reader's form: k·√p1·√p2·…
struct PrimeRoots : GiNaC::map_function {
    ex operator()(const ex& e) override {
        if (isRoot(e) && GiNaC::is_a<numeric>(e.op(0))) {
            const numeric& radicand = GiNaC::ex_to<numeric>(e.op(0));
            if (radicand.is_rational() && !radicand.is_negative()) {
                return exactSquareRoot(radicand);
            }
        }
        return e.map(*this);
    }
};

bool isZero(const ex& x) { return x.expand().is_zero(); }

GiNaC::exset rootsIn(const ex& x) {
    GiNaC::exset roots;
    for (auto e = x.preorder_begin(); e != x.preorder_end(); ++e) {
        if (isRoot(*e)) roots.insert(*e);
    }
    return roots;
}

const numeric& asNumber(const ex& x) {
    if (!GiNaC::is_a<numeric>(x)) throw std::domain_error("not a number: " + exactText(x));
    return GiNaC::ex_to<numeric>(x);
}

// x = u + v·root with u and v free of that root.
std::pair<ex, ex> split(const ex& x, const ex& root) {
    const GiNaC::symbol t;
    const ex y = x.subs(root == t).expand();
    return {y.coeff(t, 0), y.coeff(t, 1)};
}

// The sign of u + v√p: that of u and v where they agree, else that of the
// larger of u² and v²p, one root fewer.
int sign(const ex& x) {
    const ex e = x.expand();
    const GiNaC::exset roots = rootsIn(e);
    if (roots.empty()) return asNumber(e).csgn();
    const ex& root = *roots.begin();
    const auto [u, v] = split(e, root);
    const int su = sign(u), sv = sign(v);
    if (su == 0 || su == sv) return sv;
    if (sv == 0) return su;
    return su * sign(u * u - v * v * GiNaC::pow(root, 2));
}

// 1/(u + v√p) = (u - v√p)/(u² - v²p), whose denominator is free of √p.
ex inverse(const ex& x) {
    const ex e = x.expand();
    const GiNaC::exset roots = rootsIn(e);
    if (roots.empty()) return GiNaC::ex(1 / asNumber(e));
    const ex& root = *roots.begin();
    const auto [u, v] = split(e, root);
    return ((u - v * root) * inverse(u * u - v * v * GiNaC::pow(root, 2))).expand();
}

// An entry in that form, a denominator with roots, as in 1/(1 + √3), cleared.
ex canonical(const ex& entry) {
    PrimeRoots primeRoots;
    const ex fraction = primeRoots(entry).expand().numer_denom();
    return (fraction.op(0).expand() * inverse(fraction.op(1))).expand();
}

double toDouble(const ex& x) { return asNumber(GiNaC::evalf(x)).to_double(); }

// ---- Polynomials over those numbers.

Polynomial trimmed(Polynomial p) {
    for (ex& c : p) c = c.expand();
    while (!p.empty() && p.back().is_zero()) p.pop_back();
    return p;
}

int degree(const Polynomial& p) { return static_cast<int>(p.size()) - 1; }  // -1 for 0

ex coefficient(const Polynomial& p, std::size_t k) { return k < p.size() ? p[k] : ex(0); }

Polynomial operator+(const Polynomial& a, const Polynomial& b) {
    Polynomial sum(std::max(a.size(), b.size()));
    for (std::size_t k = 0; k < sum.size(); ++k) sum[k] = coefficient(a, k) + coefficient(b, k);
    return trimmed(std::move(sum));
}

Polynomial scaled(Polynomial p, const ex& factor) {
    for (ex& c : p) c = c * factor;
    return trimmed(std::move(p));
}

Polynomial operator-(const Polynomial& a, const Polynomial& b) { return a + scaled(b, -1); }

Polynomial operator*(const Polynomial& a, const Polynomial& b) {
    if (a.empty() || b.empty()) return {};
    Polynomial product(a.size() + b.size() - 1, ex(0));
    for (std::size_t j = 0; j < a.size(); ++j) {
        for (std::size_t k = 0; k < b.size(); ++k) product[j + k] += a[j] * b[k];
    }
    return trimmed(std::move(product));
}

Polynomial derivative(const Polynomial& p) {
    Polynomial slope;
    for (std::size_t k = 1; k < p.size(); ++k) slope.push_back(p[k] * static_cast<int>(k));
    return trimmed(std::move(slope));
}

struct Division {
    Polynomial quotient, remainder;
};

Division divided(const Polynomial& a, const Polynomial& b) {
    const ex lead = inverse(b.back());
    Division d{{}, a};
    if (degree(a) >= degree(b)) d.quotient.assign(a.size() - b.size() + 1, ex(0));
    while (degree(d.remainder) >= degree(b)) {
        const std::size_t shift = d.remainder.size() - b.size();
        const ex factor = (d.remainder.back() * lead).expand();
        d.quotient[shift] = factor;
        Polynomial step(shift, ex(0));
        step.push_back(factor);
        d.remainder = d.remainder - step * b;
    }
    return d;
}

Polynomial monic(const Polynomial& p) { return p.empty() ? p : scaled(p, inverse(p.back())); }

Polynomial gcd(Polynomial a, Polynomial b) {
    while (!b.empty()) a = std::exchange(b, divided(a, b).remainder);
    return monic(a);
}

ex valueAt(const Polynomial& p, const ex& x) {
    ex value = 0;
    for (auto c = p.rbegin(); c != p.rend(); ++c) value = (value * x + *c).expand();
    return value;
}

// The polynomial with each root once.
Polynomial squareFree(const Polynomial& p) {
    const Polynomial common = gcd(p, derivative(p));
    return degree(common) > 0 ? divided(p, common).quotient : p;
}

// The product of p's factors of odd multiplicity, where p changes sign,
// by Yun's square-free decomposition p = Π aₖ^k.
Polynomial oddPart(const Polynomial& p) {
    Polynomial common = gcd(p, derivative(p));
    Polynomial rest = divided(p, common).quotient;
    Polynomial c = divided(derivative(p), common).quotient;
    Polynomial d = c - derivative(rest);
    Polynomial odd{1};
    for (int k = 1; degree(rest) > 0; ++k) {
        const Polynomial a = gcd(rest, d);
        if (k % 2 == 1) odd = odd * a;
        rest = divided(rest, a).quotient;
        c = divided(d, a).quotient;
        d = c - derivative(rest);
    }
    return odd;
}

// ---- Real roots counted exactly, by Sturm's theorem: of a square-free p,
// V(a) - V(b) roots lie in (a, b], V the sign changes along the sequence.

using Sequence = std::vector<Polynomial>;

Sequence sturmSequence(const Polynomial& p) {
    Sequence s{squareFree(p)};
    s.push_back(derivative(s[0]));
    while (!s.back().empty()) s.push_back(scaled(divided(s[s.size() - 2], s.back()).remainder, -1));
    s.pop_back();
    return s;
}

int changes(const std::vector<int>& signs) {
    int count = 0, last = 0;
    for (const int sign : signs) {
        if (sign == 0) continue;
        if (last != 0 && sign != last) ++count;
        last = sign;
    }
    return count;
}

int changesAt(const Sequence& s, const ex& x) {
    std::vector<int> signs;
    for (const Polynomial& p : s) signs.push_back(sign(valueAt(p, x)));
    return changes(signs);
}

// At +∞ (direction 1) or -∞ (direction -1): the leading coefficients' signs.
int changesAtInfinity(const Sequence& s, int direction) {
    std::vector<int> signs;
    for (const Polynomial& p : s) {
        signs.push_back(sign(p.back()) * (degree(p) % 2 == 0 ? 1 : direction));
    }
    return changes(signs);
}

int rootsBetween(const Sequence& s, const ex& a, const ex& b) {
    return changesAt(s, a) - changesAt(s, b);
}

int positiveRoots(const Sequence& s) { return changesAt(s, 0) - changesAtInfinity(s, 1); }

// ---- The stability function.

// det(I - zA) = Σ dₖzᵏ by Faddeev and LeVerrier: d₀ = 1, M₁ = I,
// dₖ = -tr(A·Mₖ)/k, Mₖ₊₁ = A·Mₖ + dₖ·I; no division but by k.
Polynomial determinantOfIMinusZ(const Matrix& a) {
    const std::size_t n = a.size();
    Polynomial d{1};
    Matrix m(n, std::vector<ex>(n, ex(0)));
    for (std::size_t i = 0; i < n; ++i) m[i][i] = 1;
    for (std::size_t k = 1; k <= n; ++k) {
        Matrix product(n, std::vector<ex>(n, ex(0)));
        ex trace = 0;
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = 0; j < n; ++j) {
                for (std::size_t l = 0; l < n; ++l) product[i][j] += a[i][l] * m[l][j];
                product[i][j] = product[i][j].expand();
            }
            trace += product[i][i];
        }
        d.push_back((-trace / static_cast<int>(k)).expand());
        for (std::size_t i = 0; i < n; ++i) product[i][i] += d.back();
        m = std::move(product);
    }
    return trimmed(std::move(d));
}

struct Ratio {
    Polynomial p, q;
};

// P/Q with common factors cancelled and Q(0) = 1.
Ratio lowestTerms(Polynomial p, Polynomial q) {
    const Polynomial common = gcd(p, q);
    if (degree(common) > 0) {
        p = divided(p, common).quotient;
        q = divided(q, common).quotient;
    }
    const ex unit = inverse(q[0]);
    return {scaled(p, unit), scaled(q, unit)};
}

Ratio stabilityRatio(const Matrix& a, const std::vector<ex>& b) {
    Matrix shifted = a;  // A - 1bᵀ
    for (std::vector<ex>& row : shifted) {
        for (std::size_t j = 0; j < row.size(); ++j) row[j] = (row[j] - b[j]).expand();
    }
    return lowestTerms(determinantOfIMinusZ(shifted), determinantOfIMinusZ(a));
}

// ---- Where R is bounded.

// No pole with Re z ≤ 0: Q(-z) has all its roots on the left, as Routh and
// Hurwitz decide: every row of the Routh array leads with the first's sign.
bool polesOnTheRight(const Polynomial& q) {
    const int n = degree(q);
    std::vector<ex> upper, lower;
    for (int j = 0; j <= n; ++j) {
        const ex a = (n - j) % 2 == 0 ? q[n - j] : -q[n - j];  // of (-z)^(n-j)
        (j % 2 == 0 ? upper : lower).push_back(a);
    }
    const int leading = sign(upper[0]);
    for (int row = 1; row <= n; ++row) {
        if (lower.empty() || sign(lower[0]) != leading) return false;
        const ex ratio = upper[0] * inverse(lower[0]);
        std::vector<ex> next;
        for (std::size_t j = 1; j < upper.size(); ++j) {
            next.push_back((upper[j] - ratio * coefficient(lower, j)).expand());
        }
        upper = std::exchange(lower, next);
    }
    return true;
}

// p(iy) = re(y) + i·im(y): iᵏ is 1, i, -1, -i in turn.
struct AxisParts {
    Polynomial re, im;
};
AxisParts onTheAxis(const Polynomial& p) {
    AxisParts parts{Polynomial(p.size(), ex(0)), Polynomial(p.size(), ex(0))};
    static constexpr int turn[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (std::size_t k = 0; k < p.size(); ++k) {
        parts.re[k] = p[k] * turn[k % 4][0];
        parts.im[k] = p[k] * turn[k % 4][1];
    }
    return {trimmed(parts.re), trimmed(parts.im)};
}

// A pole iy, y real: a real root common to Q(iy)'s two parts.
bool poleOnTheAxis(const Polynomial& q) {
    const AxisParts parts = onTheAxis(q);
    const Polynomial common = gcd(parts.re, parts.im);
    if (degree(common) < 1) return false;
    const Sequence s = sturmSequence(common);
    return changesAtInfinity(s, -1) - changesAtInfinity(s, 1) > 0;
}

// E(w) = |Q(iy)|² - |P(iy)|² with w = y²: only even powers of y occur.
Polynomial axisExcess(const Ratio& r) {
    const AxisParts p = onTheAxis(r.p), q = onTheAxis(r.q);
    const Polynomial e = q.re * q.re + q.im * q.im - p.re * p.re - p.im * p.im;
    Polynomial inW;
    for (std::size_t k = 0; k < e.size(); k += 2) inW.push_back(e[k]);
    return trimmed(std::move(inW));
}

// E = wᵐ·F with F(0) ≠ 0; E(0) = 0 as P(0) = Q(0) = 1.
Polynomial withoutRootAtZero(Polynomial e) {
    const auto first = std::find_if(e.begin(), e.end(), [](const ex& c) { return !c.is_zero(); });
    e.erase(e.begin(), first);
    return e;
}

// F ≥ 0 for w > 0: positive at 0+, and no root of odd multiplicity on w > 0
// where F would change sign.
bool nonNegativeForPositive(const Polynomial& f) {
    if (sign(f[0]) < 0) return false;
    const Polynomial odd = oddPart(f);
    return degree(odd) < 1 || positiveRoots(sturmSequence(odd)) == 0;
}

// ---- Where |R(iy)| > 1: a y to show, found exactly.

// The first stretch of w > 0 where F < 0, for an F with F(0) ≠ 0 that is
// negative somewhere there: from `start`, 0 where F(0) < 0 or else F's first
// root of odd multiplicity (where F crosses below 0), to `end`, F's next root
// or ∞. Its ends are known nearly; whether a w lies in it, exactly.
class Stretch {
public:
    explicit Stretch(const Polynomial& f) : f_(f), roots_(sturmSequence(f)) {
        if (sign(f[0]) > 0) {
            const ex crossing = firstOddRoot();
            start_ = toDouble(crossing);
            rootsBefore_ = rootsBetween(roots_, 0, crossing);
        }
        if (positiveRoots(roots_) > rootsBefore_) end_ = toDouble(nextRoot());
    }

    bool holds(const ex& w) const {
        return sign(valueAt(f_, w)) < 0 && rootsBetween(roots_, 0, w) == rootsBefore_;
    }
    double start() const { return start_; }
    double end() const { return end_; }

private:
    // The first root of odd multiplicity, bracketed alone among F's roots in
    // (lo, hi] and narrowed to a width far below a double's precision; hi.
    ex firstOddRoot() const {
        const Sequence odd = sturmSequence(oddPart(f_));
        ex lo = 0, hi = 1;
        while (rootsBetween(odd, 0, hi) == 0) lo = std::exchange(hi, hi * 2);
        while (rootsBetween(roots_, lo, hi) > 1 || toDouble((hi - lo) / hi) > 1e-15) {
            const ex middle = (lo + hi) / 2;
            (rootsBetween(odd, 0, middle) > 0 ? hi : lo) = middle;
        }
        return hi;
    }

    // The least w with more roots in (0, w] than up to the start, nearly.
    ex nextRoot() const {
        ex lo = 0, hi = 1;
        while (rootsBetween(roots_, 0, hi) <= rootsBefore_) lo = std::exchange(hi, hi * 2);
        while (toDouble((hi - lo) / hi) > 1e-15) {
            const ex middle = (lo + hi) / 2;
            (rootsBetween(roots_, 0, middle) > rootsBefore_ ? hi : lo) = middle;
        }
        return hi;
    }

    Polynomial f_;
    Sequence roots_;
    int rootsBefore_ = 0;  // F's distinct roots in (0, start]
    double start_ = 0, end_ = HUGE_VAL;
};

struct Decimal {
    long long digits;
    int exponent;  // the value is digits·10^exponent
};

ex valueOf(const Decimal& d) { return numeric(d.digits) * GiNaC::pow(ex(10), d.exponent); }

std::string decimalText(const Decimal& d) {
    std::string digits = std::to_string(d.digits < 0 ? -d.digits : d.digits);
    if (d.exponent >= 0) {
        digits += std::string(static_cast<std::size_t>(d.exponent), '0');
    } else {
        const auto decimals = static_cast<std::size_t>(-d.exponent);
        if (digits.size() <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
        digits.insert(digits.size() - decimals, ".");
        while (digits.back() == '0') digits.pop_back();
        if (digits.back() == '.') digits.pop_back();
    }
    return (d.digits < 0 ? "-" : "") + digits;
}

// Three significant digits, free of the locale: "-0.634", "1.73", "12.3".
std::string approximateText(double x) {
    if (x == 0) return "0";
    const int decimals = std::max(0, 2 - static_cast<int>(std::floor(std::log10(std::abs(x)))));
    return decimalText({std::llround(x * std::pow(10.0, decimals)), -decimals});
}

// The y to show where |R(iy)| > 1: of the numbers with fewest decimals
// (0, 1, 2, …) with y² in the first stretch, the least; membership checked
// exactly, so the sentence that quotes y is true.
std::optional<Decimal> fewestDecimals(const Stretch& stretch) {
    const double low = std::sqrt(stretch.start()), high = std::sqrt(stretch.end());
    for (int decimals = 0; decimals <= 15; ++decimals) {
        const double unit = std::pow(10.0, -decimals);
        const long long first = std::max(1LL, static_cast<long long>(std::floor(low / unit)) - 1);
        // Doubles only choose where to look; a few steps past `high` suffice.
        for (long long m = first; m < first + 25 && double(m) * unit <= high + 2 * unit; ++m) {
            if (stretch.holds(GiNaC::pow(valueOf({m, -decimals}), 2))) return Decimal{m, -decimals};
        }
    }
    return std::nullopt;
}

// ---- Texts, as Coefficient::text writes a number: "(2 - √2)/6".

// A number as whole numerators over one denominator, one per product of
// roots: (3 - 2√3)/12 is 12 over {1: 3, 3: -2}.
struct Parts {
    numeric denominator;
    std::vector<std::pair<numeric, numeric>> terms;  // radicand, numerator
};

Parts partsOf(const ex& x) {
    const ex e = x.expand();
    const bool sum = GiNaC::is_a<GiNaC::add>(e);
    Parts parts{1, {}};
    for (std::size_t i = 0; i < (sum ? e.nops() : 1); ++i) {
        const ex term = sum ? e.op(i) : e;
        const bool product = GiNaC::is_a<GiNaC::mul>(term);
        numeric coefficient = 1, radicand = 1;
        for (std::size_t j = 0; j < (product ? term.nops() : 1); ++j) {
            const ex factor = product ? term.op(j) : term;
            if (isRoot(factor)) radicand = radicand * asNumber(factor.op(0));
            else coefficient = coefficient * asNumber(factor);
        }
        parts.terms.emplace_back(radicand, coefficient);
        parts.denominator = GiNaC::lcm(parts.denominator, coefficient.denom());
    }
    std::sort(parts.terms.begin(), parts.terms.end(),
              [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    for (auto& term : parts.terms) term.second = term.second * parts.denominator;
    return parts;
}

// "2 - √2", "√3", "3": a positive term first, then by radicand.
std::string numeratorText(std::vector<std::pair<numeric, numeric>> terms) {
    const auto positive = std::find_if(terms.begin(), terms.end(),
                                       [](const auto& t) { return t.second.is_positive(); });
    if (positive != terms.end()) std::rotate(terms.begin(), positive, positive + 1);
    std::string text;
    for (const auto& [radicand, numerator] : terms) {
        const numeric size = GiNaC::abs(numerator);
        const bool root = !radicand.is_equal(1);
        const std::string body = (root && size.is_equal(1) ? "" : exactText(size)) +
                                 (root ? "\u221a" + exactText(radicand) : "");
        const bool negative = numerator.is_negative();
        text += text.empty() ? (negative ? "-" : "") + body : (negative ? " - " : " + ") + body;
    }
    return text;
}

// A positive number times a unit ("", "z", "z²", "i"): "1/2", "z/2",
// "3z²/4", "√3·z/6", "(2 - √2)z", "i/2".
std::string productText(const ex& positive, const std::string& unit) {
    const Parts parts = partsOf(positive);
    const std::string numerator = numeratorText(parts.terms);
    const bool compound = parts.terms.size() > 1, whole = parts.denominator.is_equal(1);
    std::string text;
    if (unit.empty()) text = compound && !whole ? "(" + numerator + ")" : numerator;
    else if (numerator == "1") text = unit;
    else if (compound) text = "(" + numerator + ")" + unit;
    else text = numerator + (numerator.find("\u221a") != std::string::npos ? "\u00b7" : "") + unit;
    return whole ? text : text + "/" + exactText(parts.denominator);
}

std::string numberText(const ex& x) {
    const int s = sign(x);
    if (s >= 0) return s == 0 ? "0" : productText(x, "");
    const std::string size = productText(-x, "");
    const bool bare = partsOf(-x).terms.size() > 1 && size.front() != '(';
    return "-" + (bare ? "(" + size + ")" : size);
}

std::string zPower(std::size_t k) {
    static const char* const superscripts[] = {"\u2070", "\u00b9", "\u00b2", "\u00b3", "\u2074",
                                               "\u2075", "\u2076", "\u2077", "\u2078", "\u2079"};
    std::string text = "z";
    if (k > 1) {
        for (const char digit : std::to_string(k)) text += superscripts[digit - '0'];
    }
    return text;
}

std::string polynomialText(const Polynomial& p) {
    std::string text = numberText(p[0]);
    for (std::size_t k = 1; k < p.size(); ++k) {
        const int s = sign(p[k]);
        if (s != 0) text += (s < 0 ? " - " : " + ") + productText(s * p[k], zPower(k));
    }
    return text;
}

std::string functionText(const Ratio& r) {
    const std::string p = polynomialText(r.p);
    if (degree(r.q) == 0) return "R(z) = " + p;
    return "R(z) = " + (degree(r.p) == 0 ? p : "(" + p + ")") + "/(" + polynomialText(r.q) + ")";
}

// ---- Poles, named: exactly where one is a rational z or iy, else nearly.

std::vector<std::complex<double>> approximateRoots(const Polynomial& p) {
    using complex = std::complex<double>;
    std::vector<complex> a, z;
    for (const ex& c : p) a.push_back(toDouble(c) / toDouble(p.back()));
    for (int k = 0; k < degree(p); ++k) z.push_back(std::pow(complex(0.4, 0.9), k));
    const auto value = [&a](complex x) {
        complex sum = 0;
        for (auto c = a.rbegin(); c != a.rend(); ++c) sum = sum * x + *c;
        return sum;
    };
    for (int sweep = 0; sweep < 1000; ++sweep) {  // Durand and Kerner
        for (std::size_t i = 0; i < z.size(); ++i) {
            complex others = 1;
            for (std::size_t j = 0; j < z.size(); ++j) others *= j == i ? 1.0 : z[i] - z[j];
            if (others != 0.0) z[i] -= value(z[i]) / others;
        }
    }
    return z;
}

// The fraction of small denominator by continued fractions, if one is near.
std::optional<numeric> rationalNear(double x) {
    long long h = 1, hBefore = 0, k = 0, kBefore = 1;
    double rest = x;
    for (int term = 0; term < 20 && std::abs(rest) < 1e9; ++term) {
        const auto whole = static_cast<long long>(std::floor(rest));
        hBefore = std::exchange(h, whole * h + hBefore);
        kBefore = std::exchange(k, whole * k + kBefore);
        if (k > 10000) break;
        if (std::abs(x - double(h) / double(k)) <= 1e-7 * std::max(1.0, std::abs(x))) {
            return numeric(h, k);
        }
        if (rest == std::floor(rest)) break;
        rest = 1 / (rest - std::floor(rest));
    }
    return std::nullopt;
}

// "at z = -2", "at z = 2i", "near z = -0.634 + 1.32i": the pole on the axis
// or else the one furthest to the left.
std::string whereThePoleIs(const Polynomial& q, bool onAxis) {
    const std::vector<std::complex<double>> roots = approximateRoots(q);
    const auto key = [onAxis](std::complex<double> z) {
        return onAxis ? std::abs(z.real()) : z.real();
    };
    const std::complex<double> z = *std::min_element(
        roots.begin(), roots.end(), [&key](auto a, auto b) { return key(a) < key(b); });
    if (onAxis) {
        const std::optional<numeric> y = rationalNear(std::abs(z.imag()));
        if (y && isZero(valueAt(q, GiNaC::I * *y))) return "at z = " + productText(*y, "i");
        return "near z = " + approximateText(std::abs(z.imag())) + "i";
    }
    if (std::abs(z.imag()) <= 1e-6 * std::abs(z)) {
        const std::optional<numeric> x = rationalNear(z.real());
        if (x && isZero(valueAt(q, *x))) return "at z = " + numberText(*x);
        return "near z = " + approximateText(z.real());
    }
    // Q's coefficients are real: the pole's mirror image z̄ is one too.
    return "near z = " + approximateText(z.real()) + " + " + approximateText(std::abs(z.imag())) +
           "i";
}

// ---- The findings.

StabilityFinding aStability(const Ratio& r) {
    if (degree(r.q) == 0 && degree(r.p) > 0) {
        return {false, "not A-stable: R is a polynomial, so |R(z)| grows without bound "
                       "as z \u2192 -\u221e"};
    }
    if (!polesOnTheRight(r.q)) {
        const bool onAxis = poleOnTheAxis(r.q);
        return {false, "not A-stable: R has a pole " + whereThePoleIs(r.q, onAxis) +
                           (onAxis ? ", on the imaginary axis" : ", in the left half-plane")};
    }
    const Polynomial e = axisExcess(r);
    if (e.empty() || nonNegativeForPositive(withoutRootAtZero(e))) {
        return {true, "A-stable: R has no pole with Re z \u2264 0, and |R(iy)| \u2264 1 for every "
                      "real y"};
    }
    const std::optional<Decimal> y = fewestDecimals(Stretch(withoutRootAtZero(e)));
    return {false, "not A-stable: |R(iy)| > 1 for some real y" +
                       (y ? ", as at y = " + decimalText(*y) : std::string())};
}

StabilityFinding lStability(const Ratio& r, const StabilityFinding& aStable) {
    const int p = degree(r.p), q = degree(r.q);
    if (p > q) return {false, "not L-stable: |R(z)| grows without bound as z \u2192 \u221e"};
    if (p == q) {
        return {false, "not L-stable: R(\u221e) = " + numberText(r.p.back() * inverse(r.q.back()))};
    }
    if (!aStable.holds) return {false, "not L-stable: R(\u221e) = 0, but it is not A-stable"};
    return {true, "L-stable: A-stable, and R(\u221e) = 0"};
}

// M = BA + AᵀB - bbᵀ: mᵢⱼ = bᵢaᵢⱼ + bⱼaⱼᵢ - bᵢbⱼ.
Matrix algebraicMatrix(const Matrix& a, const std::vector<ex>& b) {
    Matrix m = a;
    for (std::size_t i = 0; i < b.size(); ++i) {
        for (std::size_t j = 0; j < b.size(); ++j) {
            m[i][j] = (b[i] * a[i][j] + b[j] * a[j][i] - b[i] * b[j]).expand();
        }
    }
    return m;
}

ex principalMinor(const Matrix& m, const std::vector<std::size_t>& rows) {
    GiNaC::matrix minor(static_cast<unsigned>(rows.size()), static_cast<unsigned>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = 0; j < rows.size(); ++j) {
            minor(static_cast<unsigned>(i), static_cast<unsigned>(j)) = m[rows[i]][rows[j]];
        }
    }
    return minor.determinant(GiNaC::determinant_algo::laplace).expand();
}

// The rows of each set of `size` stages, in order: {1, 2}, {1, 3}, {2, 3}, …
std::vector<std::vector<std::size_t>> rowSets(std::size_t stages, std::size_t size) {
    std::vector<std::vector<std::size_t>> sets;
    for (unsigned set = 1; set < (1u << stages); ++set) {
        std::vector<std::size_t> rows;
        for (std::size_t i = 0; i < stages; ++i) {
            if (set & (1u << i)) rows.push_back(i);
        }
        if (rows.size() == size) sets.push_back(rows);
    }
    return sets;
}

// "m22 = ", "its minor on rows and columns 1, 3 is ".
std::string minorName(const std::vector<std::size_t>& rows) {
    const std::string first = std::to_string(rows[0] + 1);
    if (rows.size() == 1) return "m" + first + first + " = ";
    std::string name = "its minor on rows and columns " + first;
    for (std::size_t k = 1; k < rows.size(); ++k) name += ", " + std::to_string(rows[k] + 1);
    return name + " is ";
}

// Positive semidefinite exactly where every principal minor, not only the
// leading ones, is at least 0; the smallest that is not is named.
StabilityFinding algebraicStability(const std::vector<ex>& b, const Matrix& m) {
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (sign(b[i]) < 0) {
            return {false, "not algebraically stable: b" + std::to_string(i + 1) + " = " +
                               numberText(b[i]) + " is negative"};
        }
    }
    const std::string notSemidefinite =
        "not algebraically stable: M = BA + A\u1d40B - bb\u1d40 is not positive semidefinite, as ";
    for (std::size_t size = 1; size <= b.size(); ++size) {
        for (const std::vector<std::size_t>& rows : rowSets(b.size(), size)) {
            const ex minor = principalMinor(m, rows);
            if (sign(minor) >= 0) continue;
            return {false, notSemidefinite + minorName(rows) + numberText(minor)};
        }
    }
    return {true, "algebraically stable: every b\u1d62 \u2265 0, and "
                  "M = BA + A\u1d40B - bb\u1d40 is positive semidefinite"};
}

StabilityFinding symplecticity(const Matrix& m) {
    for (std::size_t i = 0; i < m.size(); ++i) {
        for (std::size_t j = i; j < m.size(); ++j) {
            if (isZero(m[i][j])) continue;
            const std::string si = std::to_string(i + 1), sj = std::to_string(j + 1);
            // On the diagonal the condition is 2bᵢaᵢᵢ = bᵢ².
            if (i == j) {
                return {false, "not symplectic: 2b" + si + "a" + si + si + " \u2260 b" + si +
                                   "\u00b2"};
            }
            return {false, "not symplectic: b" + si + "a" + si + sj + " + b" + sj + "a" + sj + si +
                               " \u2260 b" + si + "b" + sj};
        }
    }
    return {true, "symplectic: b\u1d62a\u1d62\u2c7c + b\u2c7ca\u2c7c\u1d62 = b\u1d62b\u2c7c for "
                  "all i, j"};
}

}  // namespace

ExactStability exactStability(const ExactTableau& tableau) {
    std::vector<ex> b;
    for (const ex& weight : tableau.b) b.push_back(canonical(weight));
    Matrix a;
    for (const std::vector<ex>& row : tableau.a) {
        a.emplace_back();
        for (const ex& entry : row) a.back().push_back(canonical(entry));
    }
    const Ratio r = stabilityRatio(a, b);
    ExactStability stability{r.p, r.q, functionText(r), aStability(r), {}, false, {}, {}};
    stability.poleOnTheLeft = !polesOnTheRight(r.q);
    stability.lStable = lStability(r, stability.aStable);
    const Matrix m = algebraicMatrix(a, b);
    stability.algebraicallyStable = algebraicStability(b, m);
    stability.symplectic = symplecticity(m);
    return stability;
}

namespace {

std::vector<double> rounded(const std::vector<ex>& coefficients) {
    std::vector<double> values;
    for (const ex& c : coefficients) values.push_back(toDouble(c));
    return values;
}

}  // namespace

TypedStability roundedStability(const ExactStability& stability) {
    TypedStability typed{rounded(stability.numerator), rounded(stability.denominator),
                         stability.aStable.holds, stability.lStable.holds,
                         stability.poleOnTheLeft, false, 0};
    const std::size_t p = stability.numerator.size(), q = stability.denominator.size();
    typed.hasLimit = p <= q;
    if (p < q) typed.atInfinity = 0;
    if (p == q) {
        typed.atInfinity = toDouble(stability.numerator.back() / stability.denominator.back());
    }
    return typed;
}

}  // namespace pelorin
