#include "numerics/order_star.h"

#include <cmath>
#include <cstddef>

namespace pelorin {

namespace {

// 2·log|p(z)|: within the unit circle by Horner's rule, beyond it as
// 2n·log|z| + 2·log|z^(-n)·p(z)|, the coefficients reversed in 1/z, so
// that no power of z overflows. Squared moduli (std::norm) spare a
// square root at each of the plot's many points.
double logNorm(const std::vector<double>& p, std::complex<double> z) {
    std::complex<double> sum = 0;
    const double size = std::norm(z);
    if (size <= 1) {
        for (auto k = p.rbegin(); k != p.rend(); ++k) sum = sum * z + *k;
        return std::log(std::norm(sum));
    }
    const std::complex<double> w = 1.0 / z;
    for (double coefficient : p) sum = sum * w + coefficient;
    const auto n = static_cast<double>(p.size() - 1);
    // |z|² overflows beyond 1.3E+154, its logarithm as 2·log|z| does not.
    const double logSize = std::isfinite(size) ? std::log(size) : 2 * std::log(std::abs(z));
    return n * logSize + std::log(std::norm(sum));
}

// R's Taylor coefficients t_0 … t_n: P = Q·T, Q(0) = 1.
std::vector<double> taylorCoefficients(const StabilityFunction& r, std::size_t n) {
    std::vector<double> t;
    for (std::size_t k = 0; k <= n; ++k) {
        double c = k < r.numerator.size() ? r.numerator[k] : 0;
        for (std::size_t j = 1; j <= k && j < r.denominator.size(); ++j) {
            c = c - r.denominator[j] * t[k - j];
        }
        t.push_back(c);
    }
    return t;
}

constexpr double agreement = 1e-9;

}  // namespace

bool insideOrderStar(const StabilityFunction& r, std::complex<double> z) {
    // At a pole log|Q| = -∞ and the difference +∞; at a zero log|P| = -∞.
    return logNorm(r.numerator, z) - logNorm(r.denominator, z) > 2 * z.real();
}

StabilityGrid orderStarFrame() {
    StabilityGrid frame;
    frame.reMin = frame.imMin = -orderStarReach;
    frame.reMax = frame.imMax = orderStarReach;
    return frame;
}

StabilityGrid sampleOrderStar(const StabilityFunction& r, int columns, int rows,
                              const StabilityGrid& frame) {
    return sampleRegion([&r](std::complex<double> z) { return insideOrderStar(r, z); }, columns,
                        rows, frame);
}

std::vector<Polyline> orderStarEdge(const StabilityFunction& r, const StabilityGrid& grid) {
    return regionBoundary([&r](std::complex<double> z) { return insideOrderStar(r, z); }, grid);
}

std::optional<int> orderOfAgreement(const StabilityFunction& r) {
    // A rational R of degrees m and n agrees with e^z at most up to z^(m+n).
    const std::size_t highest = r.numerator.size() + r.denominator.size() - 1;
    const std::vector<double> t = taylorCoefficients(r, highest);
    double inverseFactorial = 1;  // 1/k!
    for (std::size_t k = 1; k <= highest; ++k) {
        inverseFactorial = inverseFactorial / static_cast<double>(k);
        if (std::fabs(t[k] - inverseFactorial) > agreement * inverseFactorial) {
            return static_cast<int>(k) - 1;
        }
    }
    return std::nullopt;
}

std::string orderStarNote(std::string_view caption, const StabilityFunction& r) {
    const std::optional<int> p = orderOfAgreement(r);
    if (!p) return {};
    const std::string fingers = std::to_string(*p + 1);
    return "Order star of " + std::string(caption) + ": R(z) = e^z + O(z^" + fingers + "), so " +
           fingers + " shaded fingers meet at z = 0, between " + fingers + " unshaded ones.";
}

std::string noOrderStarNote() { return "With no single R(z), it has no order star to draw."; }

}  // namespace pelorin
