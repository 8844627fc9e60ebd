// Linear stability of the methods: applied to y' = λy, every explicit
// method multiplies y by R(z), z = hλ, per step. Here R comes from the
// tableau, its region |R(z)| ≤ 1, the stability interval on the negative
// real axis, and a run of the lesson's equation with a chosen h.
#pragma once

#include "methods/methods.h"

#include <complex>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// ∂f/∂y of the program's equation dy/dx = -2x - y.
inline constexpr double lessonLambda = -1;

// Coefficients of R(z) = Σ γ_k z^k, γ_0 = 1 and γ_k = bᵀ A^(k-1) 1.
std::vector<double> stabilityPolynomial(const Tableau& tableau);

std::complex<double> stabilityFunction(const std::vector<double>& polynomial,
                                       std::complex<double> z);

// The largest r with |R(-x)| ≤ 1 for every x in [0, r].
double stabilityInterval(const std::vector<double>& polynomial);

// Catalogue rows grouped by equal R(z), each group in catalogue order.
std::vector<std::vector<std::size_t>> sameStabilityFunction();

// |R(z)| on a grid of the complex plane, row by row from the bottom,
// capped at `cap` so that a plot never meets an overflow.
struct StabilityGrid {
    double reMin = -6, reMax = 2, imMin = -4, imMax = 4;
    int columns = 0, rows = 0;
    std::vector<double> modulus;  // rows·columns values
    static constexpr double cap = 2;

    double re(int column) const;
    double im(int row) const;
};

StabilityGrid sampleStabilityRegion(const std::vector<double>& polynomial, int columns, int rows);

// The method with a step h on the lesson's equation from (x0, y0), with the
// exact solution at the same abscissae. The run stops before a value that
// would overflow.
struct StabilityRun {
    std::vector<double> x, y, exact;
    // R(hλ), what each step multiplies an error by; 0 when too large to calculate.
    double amplification = 0;
    std::vector<std::string> notes;
};

StabilityRun runWithStep(const Method& method, double x0, double y0, double h, int steps);

}  // namespace pelorin
