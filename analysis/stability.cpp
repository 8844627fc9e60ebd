#include "analysis/stability.h"

#include "analysis/lab_text.h"
#include "methods/exact_solution.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {

// Two stability functions count as the same when their coefficients agree
// to this relative tolerance: Gill's √2 weights round differently from the
// classical ones but give the same polynomial.
constexpr double sameCoefficient = 1e-12;

bool samePolynomial(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (std::fabs(a[k] - b[k]) > sameCoefficient * std::max(std::fabs(a[k]), std::fabs(b[k]))) {
            return false;
        }
    }
    return true;
}

// Three decimals, or an exponent for values a fixed point would spell out
// in hundreds of digits.
std::string shortText(double value) {
    return std::fabs(value) < 1e6 ? fixedText(value, 3) : errorText(value);
}

bool stable(const std::vector<double>& polynomial, double x) {
    return std::abs(stabilityFunction(polynomial, {-x, 0})) <= 1;
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

std::complex<double> stabilityFunction(const std::vector<double>& polynomial,
                                       std::complex<double> z) {
    std::complex<double> sum = 0;
    for (auto k = polynomial.rbegin(); k != polynomial.rend(); ++k) sum = sum * z + *k;
    return sum;
}

double stabilityInterval(const std::vector<double>& polynomial) {
    // Scan in small steps for the first unstable point, then bisect.
    constexpr double scanStep = 1.0 / 1024, limit = 64;
    double inside = 0;
    double outside = scanStep;
    while (outside < limit && stable(polynomial, outside)) {
        inside = outside;
        outside = outside + scanStep;
    }
    for (int i = 0; i < 60; ++i) {
        const double middle = inside + (outside - inside) / 2;
        if (middle == inside || middle == outside) break;
        (stable(polynomial, middle) ? inside : outside) = middle;
    }
    return inside;
}

std::vector<std::vector<std::size_t>> sameStabilityFunction() {
    std::vector<std::vector<std::size_t>> groups;
    std::vector<std::vector<double>> polynomials;
    for (std::size_t row = 0; row < methodCatalogue.size(); ++row) {
        const auto polynomial = stabilityPolynomial(*methodCatalogue[row].tableau);
        std::size_t g = 0;
        while (g < groups.size() && !samePolynomial(polynomials[g], polynomial)) ++g;
        if (g == groups.size()) {
            groups.emplace_back();
            polynomials.push_back(polynomial);
        }
        groups[g].push_back(row);
    }
    return groups;
}

double StabilityGrid::re(int column) const {
    return reMin + (reMax - reMin) * column / std::max(1, columns - 1);
}

double StabilityGrid::im(int row) const {
    return imMin + (imMax - imMin) * row / std::max(1, rows - 1);
}

StabilityGrid sampleStabilityRegion(const std::vector<double>& polynomial, int columns, int rows) {
    StabilityGrid grid;
    grid.columns = std::max(columns, 2);
    grid.rows = std::max(rows, 2);
    grid.modulus.reserve(static_cast<std::size_t>(grid.columns) * static_cast<std::size_t>(grid.rows));
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            const double modulus = std::abs(stabilityFunction(polynomial, {grid.re(column), grid.im(row)}));
            grid.modulus.push_back(std::isfinite(modulus) ? std::min(modulus, StabilityGrid::cap)
                                                          : StabilityGrid::cap);
        }
    }
    return grid;
}

StabilityRun runWithStep(const Method& method, double x0, double y0, double h, int steps) {
    StabilityRun run;
    const auto polynomial = stabilityPolynomial(*method.tableau);
    const double amplification = stabilityFunction(polynomial, {h * lessonLambda, 0}).real();
    run.amplification = std::isfinite(amplification) ? amplification : 0;
    const ExactSolution exact(x0, y0);
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(h) || !exact.isFinite()) {
        run.notes.push_back("These starting values are too large to calculate with.");
        return run;
    }
    if (h <= 0) {
        run.notes.push_back("Choose a positive h to step forwards.");
        return run;
    }
    double y = y0;
    for (int i = 0; i <= steps; ++i) {
        const double x = x0 + i * h;
        const double yExact = exact(x);
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(yExact)) {
            run.notes.push_back("At step " + std::to_string(i) +
                                " the values grow too large to calculate with; the run stops "
                                "there.");
            break;
        }
        run.x.push_back(x);
        run.y.push_back(y);
        run.exact.push_back(yExact);
        if (i < steps) y = method.step(x, y, h, f1);
    }
    const double size = std::fabs(amplification);
    const std::string z = "z = h\u00b7\u03bb = " + shortText(h * lessonLambda);
    if (!std::isfinite(size)) {
        run.notes.push_back(z + " lies far outside the region: |R(z)| is too large to "
                                "calculate, and the run leaves the exact solution at once.");
        return run;
    }
    const std::string factor = "|R(z)| = " + shortText(size);
    if (size > 1) {
        run.notes.push_back(z + " lies outside the region: " + factor +
                            ", so every step multiplies the error, and the run moves away "
                            "from the exact solution.");
    } else if (size == 1) {
        run.notes.push_back(z + " lies on the edge of the region: " + factor +
                            ", so an error neither grows nor dies away.");
    } else {
        run.notes.push_back(z + " lies inside the region: " + factor +
                            ", so every step damps the error" +
                            (run.amplification < 0 ? ", flipping its sign each step." : "."));
    }
    return run;
}

}  // namespace pelorin
