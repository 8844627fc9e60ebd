#include "numerics/linear_multistep.h"

#include "base/conversions.h"
#include "base/lab_reading.h"
#include "base/number_text.h"
#include "base/words.h"

#include <mutex>
#include <list>
#include <Eigen/Eigenvalues>
#include <boost/multiprecision/cpp_int.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace pelorin {

namespace {

using Integer = boost::multiprecision::cpp_int;
using Rational = boost::multiprecision::cpp_rational;
using Complex = std::complex<double>;

// ---------------------------------------------------------------------------
// Reading the boxes

// Longer texts, and larger exponents, are refused before any arithmetic, so
// that no typed number can make the exact arithmetic slow.
constexpr std::size_t longestCoefficient = 40;
constexpr int largestExponent = 30;

constexpr std::string_view typographicMinus = "\u2212";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal with an optional exponent, read exactly ("0.5" is 1/2); none when
// the text is not one, or an exponent too large to hold exactly.
struct Decimal {
    std::optional<Rational> value;
    bool tooLarge = false;
};

Decimal readDecimal(std::string_view text) {
    std::size_t at = 0;
    Integer digits = 0;
    int scale = 0, count = 0;
    for (; at < text.size() && isDigit(text[at]); ++at, ++count) digits = digits * 10 + (text[at] - '0');
    if (at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && isDigit(text[at]); ++at, ++count, --scale) {
            digits = digits * 10 + (text[at] - '0');
        }
    }
    if (count == 0) return {};
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        const bool negative = at < text.size() && text[at] == '-';
        if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
        int exponent = 0, exponentDigits = 0;
        for (; at < text.size() && isDigit(text[at]); ++at, ++exponentDigits) {
            exponent = std::min(10 * exponent + (text[at] - '0'), 10 * largestExponent);
        }
        if (exponentDigits == 0) return {};
        scale += negative ? -exponent : exponent;
    }
    if (at != text.size()) return {};
    if (std::abs(scale) > largestExponent + static_cast<int>(longestCoefficient)) return {{}, true};
    const Integer power = boost::multiprecision::pow(Integer(10), static_cast<unsigned>(std::abs(scale)));
    return {scale >= 0 ? Rational(digits * power) : Rational(digits, power)};
}

// One coefficient: a sign ("-", "+" or "−"), then a decimal, or a fraction of
// two decimals; or why the text is none.
std::variant<Rational, std::string> readCoefficient(std::string_view text) {
    if (text.size() > longestCoefficient) return "has too many characters to hold exactly";
    bool negative = false;
    if (text.starts_with(typographicMinus)) {
        negative = true;
        text.remove_prefix(typographicMinus.size());
    } else if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const std::size_t slash = text.find('/');
    const Decimal numerator = readDecimal(text.substr(0, slash));
    const Decimal denominator =
        slash == std::string_view::npos ? Decimal{Rational(1)} : readDecimal(text.substr(slash + 1));
    if (numerator.tooLarge || denominator.tooLarge) return "is too large to hold exactly";
    if (!numerator.value || !denominator.value) {
        return "is not a number: type whole numbers, fractions such as -4/3 or decimals such as 0.5";
    }
    if (*denominator.value == 0) return "divides by 0";
    const Rational value = *numerator.value / *denominator.value;
    return negative ? Rational(-value) : value;
}

// The coefficients of a box, highest index first, or why not.
std::variant<std::vector<Rational>, std::string> readCoefficients(std::string_view box,
                                                                  std::string_view text) {
    const std::string name(box);
    if (trimmed(text).empty()) {
        return name + " is empty: type its coefficients, highest index first, separated by commas, "
                      "such as 1, -1";
    }
    std::vector<Rational> read;
    for (std::size_t start = 0, number = 1;; ++number) {
        const std::size_t comma = text.find(',', start);
        const std::string_view item = trimmed(text.substr(start, comma - start));
        if (item.empty()) {
            return name + ": coefficient " + std::to_string(number) +
                   " is empty: separate the numbers by single commas";
        }
        if (number > maxMultistepSteps + 1) {
            return name + " holds more than " + std::to_string(maxMultistepSteps + 1) +
                   " coefficients: the lab takes methods of at most " +
                   std::to_string(maxMultistepSteps) + " steps";
        }
        auto coefficient = readCoefficient(item);
        if (auto* why = std::get_if<std::string>(&coefficient)) {
            return name + ": coefficient " + std::to_string(number) + ", " + quotedForNote(item) + ", " +
                   *why;
        }
        read.push_back(std::get<Rational>(coefficient));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (read.size() < 2) {
        return name + " holds one coefficient: a method of k steps has k + 1, at least 2";
    }
    return read;
}

bool fitsWholeNumber(const Integer& value) {
    return value >= std::numeric_limits<long long>::min() && value <= std::numeric_limits<long long>::max();
}

Integer top(const Rational& value) { return boost::multiprecision::numerator(value); }
Integer bottom(const Rational& value) { return boost::multiprecision::denominator(value); }

// The coefficients times their common denominator, divided by the greatest
// common divisor of all, with the sign that makes α_k positive: one formula
// for every way of typing the same method.
std::vector<Integer> wholeNumbers(const std::vector<Rational>& alphas, const std::vector<Rational>& betas) {
    std::vector<Rational> all = alphas;
    all.insert(all.end(), betas.begin(), betas.end());
    Integer denominator = 1, divisor = 0;
    for (const Rational& c : all) denominator = boost::multiprecision::lcm(denominator, bottom(c));
    std::vector<Integer> whole;
    for (const Rational& c : all) {
        whole.push_back(top(c) * (denominator / bottom(c)));
        divisor = boost::multiprecision::gcd(divisor, whole.back());
    }
    if (alphas.front() < 0) divisor = -divisor;
    for (Integer& c : whole) c /= divisor;
    return whole;
}

// ---------------------------------------------------------------------------
// Exact arithmetic on the formula

Rational alphaOf(const MultistepFormula& formula, int j) { return formula.a[static_cast<std::size_t>(j)]; }
Rational betaOf(const MultistepFormula& formula, int j) { return formula.b[static_cast<std::size_t>(j)]; }

Rational factorial(int n) {
    Rational product = 1;
    for (int i = 2; i <= n; ++i) product *= i;
    return product;
}

Rational power(int base, int exponent) {  // with 0^0 = 1
    Rational product = 1;
    for (int i = 0; i < exponent; ++i) product *= base;
    return product;
}

// C_q = Σ j^q·a_j/q! − Σ j^(q−1)·b_j/(q−1)!
Rational errorTerm(const MultistepFormula& formula, int q) {
    Rational values = 0, slopes = 0;
    for (int j = 0; j <= formula.steps; ++j) {
        values += power(j, q) * alphaOf(formula, j);
        if (q >= 1) slopes += power(j, q - 1) * betaOf(formula, j);
    }
    return values / factorial(q) - (q >= 1 ? slopes / factorial(q - 1) : Rational(0));
}

Rational sigmaAtOne(const MultistepFormula& formula) {
    Rational sum = 0;
    for (int j = 0; j <= formula.steps; ++j) sum += betaOf(formula, j);
    return sum;
}

std::string fractionText(const Rational& value) {
    return top(value).str() + (bottom(value) == 1 ? "" : "/" + bottom(value).str());
}

std::string coefficientsText(const MultistepFormula& formula,
                             const std::array<long long, maxMultistepSteps + 1>& coefficients) {
    const Rational leading = alphaOf(formula, formula.steps);
    std::string text;
    for (int j = formula.steps; j >= 0; --j) {
        text += fractionText(Rational(coefficients[static_cast<std::size_t>(j)]) / leading);
        if (j > 0) text += ", ";
    }
    return text;
}

// Polynomials c_0 + c_1·ζ + … in exact arithmetic, for the repeated roots of ρ.
using Polynomial = std::vector<Rational>;

void trim(Polynomial& p) {
    while (!p.empty() && p.back() == 0) p.pop_back();
}

Polynomial derivative(const Polynomial& p) {
    Polynomial d;
    for (std::size_t j = 1; j < p.size(); ++j) d.push_back(p[j] * static_cast<int>(j));
    trim(d);
    return d;
}

// The quotient and remainder of p by a nonzero d.
std::pair<Polynomial, Polynomial> divided(Polynomial p, const Polynomial& d) {
    trim(p);
    Polynomial quotient(p.size() >= d.size() ? p.size() - d.size() + 1 : 0);
    while (p.size() >= d.size()) {
        const Rational factor = p.back() / d.back();
        const std::size_t shift = p.size() - d.size();
        quotient[shift] = factor;
        for (std::size_t j = 0; j < d.size(); ++j) p[shift + j] -= factor * d[j];
        p.pop_back();
        trim(p);
    }
    return {quotient, p};
}

Polynomial monic(Polynomial p) {
    const Rational leading = p.back();
    for (Rational& c : p) c /= leading;
    return p;
}

Polynomial greatestCommonDivisor(Polynomial p, Polynomial q) {
    trim(p);
    trim(q);
    while (!q.empty()) {
        Polynomial remainder = divided(p, q).second;
        p = std::move(q);
        q = std::move(remainder);
    }
    return monic(p);
}

Rational valueAt(const Polynomial& p, const Rational& x) {
    Rational value = 0;
    for (std::size_t j = p.size(); j-- > 0;) value = value * x + p[j];
    return value;
}

// ---------------------------------------------------------------------------
// Roots in floating point

using ComplexPolynomial = std::vector<Complex>;  // c_0 … c_n, c_n != 0

Complex valueAt(const ComplexPolynomial& p, Complex x) {
    Complex value = 0;
    for (std::size_t j = p.size(); j-- > 0;) value = value * x + p[j];
    return value;
}

// The eigenvalues of the companion matrix, each polished by Newton's method
// on the polynomial for as long as that lowers the residual (at most twice).
std::vector<Complex> polynomialRoots(const ComplexPolynomial& p) {
    const auto n = static_cast<Eigen::Index>(p.size()) - 1;
    if (n < 1) return {};
    Eigen::MatrixXcd companion = Eigen::MatrixXcd::Zero(n, n);
    for (Eigen::Index i = 1; i < n; ++i) companion(i, i - 1) = 1;
    for (Eigen::Index i = 0; i < n; ++i) companion(i, n - 1) = -p[static_cast<std::size_t>(i)] / p.back();
    const Eigen::ComplexEigenSolver<Eigen::MatrixXcd> solver(companion, false);
    if (solver.info() != Eigen::Success) return {};
    ComplexPolynomial slope;
    for (std::size_t j = 1; j < p.size(); ++j) slope.push_back(p[j] * static_cast<double>(j));
    std::vector<Complex> roots;
    for (Eigen::Index i = 0; i < n; ++i) {
        Complex root = solver.eigenvalues()[i];
        for (int polish = 0; polish < 2; ++polish) {
            const Complex derivativeValue = valueAt(slope, root);
            if (derivativeValue == Complex(0)) break;
            const Complex better = root - valueAt(p, root) / derivativeValue;
            if (!(std::abs(valueAt(p, better)) < std::abs(valueAt(p, root)))) break;
            root = better;
        }
        // A leading coefficient tiny beside the others can overflow the
        // companion matrix: then the roots cannot be found.
        if (!std::isfinite(root.real()) || !std::isfinite(root.imag())) return {};
        roots.push_back(root);
    }
    return roots;
}

ComplexPolynomial inDoubles(const Polynomial& p) {
    ComplexPolynomial c;
    for (const Rational& r : p) c.emplace_back(r.convert_to<double>());
    return c;
}

struct RootCount {
    Complex root;
    int multiplicity = 1;
};

// The distinct roots of an exact polynomial and how often each counts: the
// square-free part p/gcd(p, p') has them as simple roots, found in floating
// point; the roots of gcd(p, p') count again, found the same way.
std::vector<RootCount> rootsWithMultiplicity(const Polynomial& p) {
    if (p.size() < 2) return {};
    const Polynomial repeated = greatestCommonDivisor(p, derivative(p));
    std::vector<RootCount> roots;
    for (Complex root : polynomialRoots(inDoubles(divided(p, repeated).first))) roots.push_back({root});
    for (const RootCount& again : rootsWithMultiplicity(repeated)) {
        const auto nearest = std::min_element(roots.begin(), roots.end(), [&](const auto& x, const auto& y) {
            return std::abs(x.root - again.root) < std::abs(y.root - again.root);
        });
        if (nearest != roots.end()) nearest->multiplicity += again.multiplicity;
    }
    return roots;
}

// The roots 0, 1 and −1, which the lessons' methods have, are divided out
// exactly and named exactly; the others are found as above.
std::vector<RootCount> rootsOfRho(const MultistepFormula& formula) {
    Polynomial rho;
    for (int j = 0; j <= formula.steps; ++j) rho.push_back(alphaOf(formula, j));
    std::vector<RootCount> roots;
    for (int exact : {1, 0, -1}) {
        const Polynomial factor{Rational(-exact), Rational(1)};
        int multiplicity = 0;
        while (rho.size() > 1 && valueAt(rho, exact) == 0) {
            rho = divided(rho, factor).first;
            ++multiplicity;
        }
        if (multiplicity > 0) roots.push_back({Complex(exact), multiplicity});
    }
    for (const RootCount& root : rootsWithMultiplicity(rho)) roots.push_back(root);
    return roots;
}

// ---------------------------------------------------------------------------
// Roots in words

// Where a computed root is taken as real, or on the unit circle.
constexpr double rootTolerance = 1e-9;

bool isReal(Complex root) { return std::abs(root.imag()) <= rootTolerance * std::max(1.0, std::abs(root)); }

double roundedTo(double value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return std::strtod(text, nullptr);
}

std::string fourDigits(double value) { return numberToText(roundedTo(value, 4)); }

// Four digits, or as many more as a real root off the unit circle needs not
// to read as on it: 1.0001 outside the circle is not "1".
std::string realRootText(double root) {
    const bool onCircle = std::fabs(std::fabs(root) - 1) <= rootTolerance;
    int digits = 4;
    while (!onCircle && digits < 17 && std::fabs(roundedTo(root, digits)) == 1) ++digits;
    return numberToText(roundedTo(root, digits));
}

// "1", "0.2", "1.0001", "-0.5 ± 0.866i" (the root with its conjugate), "±i".
std::string rootText(Complex root) {
    if (isReal(root)) return realRootText(root.real());
    const std::string imaginary = fourDigits(std::abs(root.imag()));
    const std::string i = imaginary == "1" ? "i" : imaginary + "i";
    if (std::abs(root.real()) <= rootTolerance * std::abs(root)) return "±" + i;
    return fourDigits(root.real()) + " ± " + i;
}

bool byDecreasingModulus(Complex x, Complex y) {
    if (std::abs(x) != std::abs(y)) return std::abs(x) > std::abs(y);
    if (x.real() != y.real()) return x.real() > y.real();
    return x.imag() > y.imag();
}

// A conjugate pair is one text: only the root above the real axis is named.
bool isNamed(Complex root) { return isReal(root) || root.imag() > 0; }

// ---------------------------------------------------------------------------
// The characteristic polynomial of a step on y' = λy

constexpr double twoPi = 2 * std::numbers::pi;

// ρ(ζ) − z·σ(ζ) of a formula, multiplied by ζ^shift.
ComplexPolynomial stepPolynomial(const MultistepFormula& formula, Complex z, int shift) {
    ComplexPolynomial p(static_cast<std::size_t>(formula.steps + shift + 1));
    for (int j = 0; j <= formula.steps; ++j) {
        const auto at = static_cast<std::size_t>(j);
        p[at + static_cast<std::size_t>(shift)] =
            static_cast<double>(formula.a[at]) - z * static_cast<double>(formula.b[at]);
    }
    return p;
}

// The corrector's slope at the new point is taken at the predicted value
// y^P = ζ^k − (ρ_P − z·σ_P)(ζ)/a_k^P, which adds z·b_k^C/a_k^P·(ρ_P − z·σ_P).
double predictorWeight(const Multistep& method) {
    return static_cast<double>(method.formula->b[static_cast<std::size_t>(method.formula->steps)]) /
           static_cast<double>(method.predictor->a[static_cast<std::size_t>(method.predictor->steps)]);
}

ComplexPolynomial characteristicPolynomial(const Multistep& method, Complex z) {
    const int k = method.steps();
    ComplexPolynomial p = stepPolynomial(*method.formula, z, k - method.formula->steps);
    if (method.predictor) {
        const ComplexPolynomial predicted = stepPolynomial(*method.predictor, z, k - method.predictor->steps);
        const Complex weight = z * predictorWeight(method);
        for (std::size_t j = 0; j < p.size(); ++j) p[j] += weight * predicted[j];
    }
    return p;
}

// ρ(ζ) and σ(ζ) of a formula, written over k steps.
std::pair<Complex, Complex> rhoAndSigma(const MultistepFormula& formula, Complex zeta, int k) {
    Complex rho = 0, sigma = 0;
    for (int j = formula.steps; j >= 0; --j) {
        rho = rho * zeta + static_cast<double>(formula.a[static_cast<std::size_t>(j)]);
        sigma = sigma * zeta + static_cast<double>(formula.b[static_cast<std::size_t>(j)]);
    }
    const Complex shift = std::pow(zeta, k - formula.steps);
    return {rho * shift, sigma * shift};
}

double sizeOfBetas(const MultistepFormula& formula) {
    double size = 0;
    for (int j = 0; j <= formula.steps; ++j) {
        size += std::abs(static_cast<double>(formula.b[static_cast<std::size_t>(j)]));
    }
    return size;
}

const double notAPoint = std::numeric_limits<double>::quiet_NaN();

Complex finiteOrBreak(Complex z) {
    return std::isfinite(z.real()) && std::isfinite(z.imag()) ? z : Complex(notAPoint, notAPoint);
}

// The z for which ζ = e^{iθ} is a root: one for a formula, two for a pair
// (the roots of −c·D·z² + (c·C − B)·z + A = 0, with A, B = ρ_C, σ_C and
// C, D = ρ_P, σ_P at ζ and c the predictor's weight).
std::array<Complex, 2> locusPoints(const Multistep& method, double theta) {
    const Complex zeta = std::polar(1.0, theta);
    const int k = method.steps();
    const auto [rho, sigma] = rhoAndSigma(*method.formula, zeta, k);
    const Complex none(notAPoint, notAPoint);
    if (!method.predictor) {
        // σ vanishing (to roundings of its terms) breaks the curve.
        if (std::abs(sigma) <= 1e-12 * sizeOfBetas(*method.formula)) return {none, none};
        return {finiteOrBreak(rho / sigma), none};
    }
    const auto [rhoP, sigmaP] = rhoAndSigma(*method.predictor, zeta, k);
    const double c = predictorWeight(method);
    const Complex quadratic = -c * sigmaP, linear = c * rhoP - sigma, constant = rho;
    const double scale = std::abs(quadratic) + std::abs(linear) + std::abs(constant);
    if (std::abs(quadratic) <= 1e-12 * scale) {
        if (std::abs(linear) <= 1e-12 * scale) return {none, none};
        return {finiteOrBreak(-constant / linear), none};
    }
    // The root of larger size first, without cancellation; the other from the product.
    const Complex root = std::sqrt(linear * linear - 4.0 * quadratic * constant);
    const Complex q = std::abs(-linear + root) >= std::abs(-linear - root) ? -linear + root : -linear - root;
    const Complex larger = q / (2.0 * quadratic);
    const Complex smaller = q == Complex(0) ? Complex(0) : 2.0 * constant / q;
    return {finiteOrBreak(larger), finiteOrBreak(smaller)};
}

bool isPoint(Complex z) { return !std::isnan(z.real()); }

// |arg(−z)| in degrees, the angle a point of the locus leaves the negative
// real axis by; none at z = 0, where the angle says nothing.
double angleFromNegativeAxis(Complex z) {
    if (!isPoint(z) || std::abs(z) <= 1e-12) return std::numeric_limits<double>::infinity();
    return std::abs(std::arg(-z)) * 180 / std::numbers::pi;
}

double smallestAngleAt(const Multistep& method, double theta) {
    const std::array<Complex, 2> points = locusPoints(method, theta);
    return std::min(angleFromNegativeAxis(points[0]), angleFromNegativeAxis(points[1]));
}

// A root on the edge of the region has modulus 1 to a few roundings.
constexpr double modulusTolerance = 1e-10;

// Roots this close to each other may be one repeated root that the root
// finder split: a double root of a polynomial with coefficients of a few
// digits splits by some 1e-8, a triple one by some 1e-5.
constexpr double clusterReach = 1e-3;

}  // namespace

std::string multiplicityWord(int multiplicity) {
    static constexpr std::array<const char*, 5> words{"double", "triple", "quadruple", "fivefold",
                                                      "sixfold"};
    return multiplicity >= 2 && multiplicity <= 6 ? words[static_cast<std::size_t>(multiplicity - 2)]
                                                  : std::to_string(multiplicity) + "-fold";
}

bool onUnitCircle(std::complex<double> root) { return std::fabs(std::abs(root) - 1) <= modulusTolerance; }
bool outsideUnitCircle(std::complex<double> root) { return std::abs(root) > 1 + modulusTolerance; }

// The roots chained to each other within clusterReach form a cluster. A
// repeated root's cluster has its mean where the root is, to a few
// roundings, though its members may scatter to both sides of the circle;
// two distinct roots on the circle, d apart, have their mean inside it by
// about d²/8, so that only roots closer than some 3e-5 could be taken for
// one.
std::vector<CountedRoot> countedRoots(const std::vector<std::complex<double>>& roots) {
    std::vector<CountedRoot> counted;
    std::vector<bool> taken(roots.size(), false);
    std::vector<std::size_t> cluster;
    for (std::size_t first = 0; first < roots.size(); ++first) {
        if (taken[first]) continue;
        taken[first] = true;
        cluster.assign(1, first);
        for (std::size_t member = 0; member < cluster.size(); ++member) {
            for (std::size_t other = 0; other < roots.size(); ++other) {
                if (taken[other] || std::abs(roots[other] - roots[cluster[member]]) > clusterReach) continue;
                taken[other] = true;
                cluster.push_back(other);
            }
        }
        Complex sum = 0;
        for (std::size_t member : cluster) sum += roots[member];
        const Complex mean = sum / static_cast<double>(cluster.size());
        if (cluster.size() > 1 && onUnitCircle(mean)) {
            counted.push_back({mean, static_cast<int>(cluster.size())});
            continue;
        }
        for (std::size_t member : cluster) counted.push_back({roots[member], 1});
    }
    return counted;
}

bool rootCondition(const std::vector<CountedRoot>& roots) {
    return std::none_of(roots.begin(), roots.end(), [](const CountedRoot& counted) {
        return outsideUnitCircle(counted.root) || counted.multiplicity > 1;
    });
}

bool zeroStable(const Multistep& method) { return zeroStabilityOf(*method.formula).zeroStable; }

std::variant<MultistepFormula, std::string> readMultistep(std::string_view alpha, std::string_view beta) {
    auto alphas = readCoefficients("alpha", alpha);
    if (auto* why = std::get_if<std::string>(&alphas)) return *why + ".";
    auto betas = readCoefficients("beta", beta);
    if (auto* why = std::get_if<std::string>(&betas)) return *why + ".";
    const auto& a = std::get<std::vector<Rational>>(alphas);
    const auto& b = std::get<std::vector<Rational>>(betas);
    if (a.size() != b.size()) {
        return "alpha holds " + std::to_string(a.size()) + " coefficients and beta " +
               std::to_string(b.size()) + ": both need k + 1, one for each of the values y_{n+k} … y_n.";
    }
    if (a.front() == 0) {
        return "alpha: α_k, the first coefficient, is 0: the formula would not give y_{n+k}.";
    }
    const std::vector<Integer> whole = wholeNumbers(a, b);
    const std::string tooLarge =
        "alpha and beta are too large to hold exactly in whole numbers: type smaller numbers or fractions "
        "with smaller denominators.";
    const std::size_t count = a.size();
    MultistepFormula formula;
    formula.steps = static_cast<int>(count) - 1;
    for (std::size_t i = 0; i < count; ++i) {
        if (!fitsWholeNumber(whole[i]) || !fitsWholeNumber(whole[count + i])) return tooLarge;
        // Typed highest index first: the i-th number is the coefficient of index k − i.
        formula.a[count - 1 - i] = whole[i].convert_to<long long>();
        formula.b[count - 1 - i] = whole[count + i].convert_to<long long>();
    }
    try {
        consistencyOf(formula);
    } catch (const std::overflow_error&) {
        return tooLarge;
    }
    return formula;
}

std::string alphaText(const MultistepFormula& formula) { return coefficientsText(formula, formula.a); }
std::string betaText(const MultistepFormula& formula) { return coefficientsText(formula, formula.b); }

Consistency consistencyOf(const MultistepFormula& formula) {
    const Rational sigma = sigmaAtOne(formula);
    if (errorTerm(formula, 0) != 0 || errorTerm(formula, 1) != 0 || sigma == 0) return {};
    // A k-step method has order at most 2k, so some C_q up to q = 2k + 1 differs from 0.
    const int lastTerm = 2 * formula.steps + 3;
    for (int q = 2; q <= lastTerm; ++q) {
        const Rational term = errorTerm(formula, q);
        if (term == 0) continue;
        const Rational constant = term / sigma;
        if (!fitsWholeNumber(top(constant)) || !fitsWholeNumber(bottom(constant))) {
            throw std::overflow_error("the method's error constant is too large to hold exactly");
        }
        return {q - 1, top(constant).convert_to<long long>(), bottom(constant).convert_to<long long>()};
    }
    return {lastTerm, 0, 1};
}

std::string consistencyText(const MultistepFormula& formula) {
    const Consistency consistency = consistencyOf(formula);
    if (consistency.order > 0) {
        return "order " + std::to_string(consistency.order) + ", error constant " +
               fractionText(Rational(consistency.constantNumerator, consistency.constantDenominator));
    }
    // As the boxes write the coefficients back: with α_k = 1.
    const Rational leading = alphaOf(formula, formula.steps);
    const Rational rhoAtOne = errorTerm(formula, 0) / leading;
    if (rhoAtOne != 0) return "not consistent: ρ(1) = " + fractionText(rhoAtOne) + ", not 0";
    const Rational sigma = sigmaAtOne(formula) / leading;
    const Rational rhoSlope = (errorTerm(formula, 1) + sigmaAtOne(formula)) / leading;
    if (sigma == 0 && rhoSlope == 0) return "not consistent: ρ'(1) = σ(1) = 0";
    return "not consistent: ρ'(1) = " + fractionText(rhoSlope) + " but σ(1) = " + fractionText(sigma);
}

const OwnMultistep& ownMultistepOf(const MultistepFormula& formula) {
    // A list keeps its elements where they are as it grows.
    static std::mutex guard;
    static std::list<OwnMultistep> typed;
    const std::lock_guard<std::mutex> lock(guard);
    for (const OwnMultistep& own : typed) {
        if (own.formula == formula) return own;
    }
    return typed.emplace_back(formula);
}

std::string multistepVerdict(const MultistepFormula& formula) {
    const bool consistent = consistencyOf(formula).order > 0;
    const ZeroStability stability = zeroStabilityOf(formula);
    const std::string runs =
        !stability.zeroStable ? "Its runs do not converge: their errors grow as h shrinks."
        : !consistent         ? "Its runs do not converge to the solution as h shrinks."
                              : "Its runs converge as h shrinks, with the order it has.";
    return consistencyText(formula) + "; " + stability.verdict + ". " + runs;
}

ZeroStability zeroStabilityOf(const MultistepFormula& formula) {
    std::vector<RootCount> distinct = rootsOfRho(formula);
    std::sort(distinct.begin(), distinct.end(),
              [](const RootCount& x, const RootCount& y) { return byDecreasingModulus(x.root, y.root); });
    ZeroStability stability;
    for (const RootCount& root : distinct) {
        stability.roots.insert(stability.roots.end(), static_cast<std::size_t>(root.multiplicity), root.root);
    }

    const auto outside = std::find_if(distinct.begin(), distinct.end(), [](const RootCount& r) {
        return std::abs(r.root) > 1 + rootTolerance;
    });
    const auto repeatedOnCircle = std::find_if(distinct.begin(), distinct.end(), [](const RootCount& r) {
        return r.multiplicity > 1 && std::abs(r.root) >= 1 - rootTolerance;
    });
    if (outside != distinct.end()) {
        const bool pair = !isReal(outside->root);
        stability.verdict = "not zero-stable: ρ has the root" + std::string(pair ? "s " : " ") +
                            rootText(outside->root) + ", outside the unit circle";
    } else if (repeatedOnCircle != distinct.end()) {
        const bool pair = !isReal(repeatedOnCircle->root);
        stability.verdict = "not zero-stable: the root" + std::string(pair ? "s " : " ") +
                            rootText(repeatedOnCircle->root) + " of ρ " + (pair ? "are " : "is ") +
                            multiplicityWord(repeatedOnCircle->multiplicity);
    } else {
        stability.zeroStable = true;
        std::vector<std::string> named;
        for (const RootCount& root : distinct) {
            if (!isNamed(root.root)) continue;
            named.push_back(rootText(root.root) +
                            (root.multiplicity > 1 ? " (" + multiplicityWord(root.multiplicity) + ")" : ""));
        }
        const bool one = stability.roots.size() == 1;
        stability.verdict = std::string("zero-stable: the ") + (one ? "root of ρ is " : "roots of ρ are ") +
                            listedInWords(named);
    }
    return stability;
}

CharacteristicRoots characteristicRoots(const Multistep& method, std::complex<double> z) {
    const ComplexPolynomial p = characteristicPolynomial(method, z);
    const bool finite = std::all_of(p.begin(), p.end(), [](Complex c) {
        return std::isfinite(c.real()) && std::isfinite(c.imag());
    });
    if (!finite || p.back() == Complex(0)) return {};
    CharacteristicRoots found{polynomialRoots(p), 0};
    if (found.roots.empty()) return {};
    const Complex growth = std::exp(z);
    const bool growthFinite = std::isfinite(growth.real()) && std::isfinite(growth.imag());
    // Where e^z is too large to calculate, the largest root tracks it.
    const auto distance = [&](Complex root) {
        return growthFinite ? std::abs(root - growth) : -std::abs(root);
    };
    found.principal = static_cast<std::size_t>(
        std::min_element(found.roots.begin(), found.roots.end(),
                         [&](Complex x, Complex y) { return distance(x) < distance(y); }) -
        found.roots.begin());
    return found;
}

bool absolutelyStable(const Multistep& method, std::complex<double> z) {
    // At z = 0 the polynomial is ρ, times ζ to a power for a pair whose
    // predictor looks further back: ρ's roots and their multiplicities are
    // known exactly there.
    if (z == Complex(0)) return zeroStable(method);
    const CharacteristicRoots found = characteristicRoots(method, z);
    return !found.roots.empty() && rootCondition(countedRoots(found.roots));
}

std::vector<std::vector<std::complex<double>>> boundaryLocus(const Multistep& method, int samples) {
    const std::size_t branches = method.predictor ? 2 : 1;
    std::vector<std::vector<Complex>> locus(branches);
    for (int i = 0; i < samples; ++i) {
        const double theta = samples > 1 ? twoPi * i / (samples - 1) : 0;
        std::array<Complex, 2> points = locusPoints(method, theta);
        // The two roots of a pair keep to the branch they continue.
        if (branches == 2 && i > 0) {
            const auto gap = [](Complex x, Complex y) {
                return isPoint(x) && isPoint(y) ? std::abs(x - y) : 0.0;
            };
            const Complex last0 = locus[0].back(), last1 = locus[1].back();
            const double kept = gap(points[0], last0) + gap(points[1], last1);
            if (gap(points[0], last1) + gap(points[1], last0) < kept) {
                std::swap(points[0], points[1]);
            }
        }
        for (std::size_t branch = 0; branch < branches; ++branch) locus[branch].push_back(points[branch]);
    }
    return locus;
}

std::optional<double> aAlphaAngle(const Multistep& method) {
    if (!zeroStable(method)) return std::nullopt;
    // The locus of real coefficients is symmetric about the real axis: θ in
    // (0, π] gives every angle. Sample, then refine about the smallest by
    // golden-section search.
    constexpr int samples = 3600;
    const auto thetaAt = [](int i) { return std::numbers::pi * i / samples; };
    int smallest = 1;
    double angle = std::numeric_limits<double>::infinity();
    for (int i = 1; i <= samples; ++i) {
        const double a = smallestAngleAt(method, thetaAt(i));
        if (a < angle) {
            angle = a;
            smallest = i;
        }
    }
    double low = thetaAt(smallest - 1), high = thetaAt(std::min(smallest + 1, samples));
    const double golden = (std::sqrt(5.0) - 1) / 2;
    for (int iteration = 0; iteration < 60 && std::isfinite(angle); ++iteration) {
        const double left = high - golden * (high - low), right = low + golden * (high - low);
        const double leftAngle = smallestAngleAt(method, left), rightAngle = smallestAngleAt(method, right);
        angle = std::min({angle, leftAngle, rightAngle});
        if (leftAngle < rightAngle) {
            high = right;
        } else {
            low = left;
        }
    }
    // The locus leaves z = 0 along the imaginary axis, where roundings put
    // an A-stable method's points a hair left of it: within a millionth of a
    // degree, 90 is A-stability.
    constexpr double aStableWithin = 1e-6;
    // No point of the locus lies within the sector of that angle, so the
    // roots stay on one side of the unit circle there: one point tells which.
    const double alpha = angle >= 90 - aStableWithin ? 90.0 : angle;
    if (!(alpha > 0.005) || !absolutelyStable(method, -1.0)) return std::nullopt;
    return alpha;
}

}  // namespace pelorin
