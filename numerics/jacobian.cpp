#include "numerics/jacobian.h"

#include "numerics/stability.h"

#include <Eigen/Eigenvalues>
#include <Eigen/SVD>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace pelorin {

namespace {

using EigenMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::ColMajor,
                                  SquareMatrix::maxSize, SquareMatrix::maxSize>;

EigenMatrix toEigen(const SquareMatrix& matrix) {
    const auto n = static_cast<Eigen::Index>(matrix.size());
    EigenMatrix result(n, n);
    for (Eigen::Index i = 0; i < n; ++i) {
        for (Eigen::Index j = 0; j < n; ++j) {
            result(i, j) = matrix(static_cast<std::size_t>(i), static_cast<std::size_t>(j));
        }
    }
    return result;
}

// A few roundings of |J| (Frobenius), what the matrix algorithms add to
// the entries' own errors.
double algorithmRounding(const SquareMatrix& matrix) {
    return 4 * static_cast<double>(matrix.size()) * std::numeric_limits<double>::epsilon() *
           frobeniusNorm(matrix);
}

StateVector shifted(StateVector y, std::size_t j, double by) {
    y[j] = y[j] + by;
    return y;
}

}  // namespace

SquareMatrix::SquareMatrix(std::size_t n) : size_(n) {
    if (n > maxSize) throw std::length_error("a matrix of at most 6 rows and columns");
}

SquareMatrix::SquareMatrix(std::initializer_list<std::initializer_list<double>> rows)
    : SquareMatrix(rows.size()) {
    std::size_t i = 0;
    for (const auto& row : rows) {
        if (row.size() != size_)
            throw std::length_error("a square matrix has rows of equal length");
        std::copy(row.begin(), row.end(), entries_[i++].begin());
    }
}

double frobeniusNorm(const SquareMatrix& matrix) {
    // Eigen's plain norm overflows where the squares do (entries beyond
    // about 1E154); its stable norm scales them, at some cost, so only then.
    const double norm = toEigen(matrix).norm();
    return std::isfinite(norm) ? norm : toEigen(matrix).stableNorm();
}

Jacobian jacobian(SlopeOf<StateVector> F, double x, const StateVector& y) {
    const std::size_t n = y.size();
    Jacobian result{SquareMatrix(n), SquareMatrix(n)};
    const StateVector atY = F(x, y);
    requireSameSize(atY, y);
    for (std::size_t j = 0; j < n; ++j) {
        const double delta = differenceStep(y[j]);
        const StateVector plus = F(x, shifted(y, j, delta)), minus = F(x, shifted(y, j, -delta)),
                          plusTwo = F(x, shifted(y, j, 2 * delta)),
                          minusTwo = F(x, shifted(y, j, -2 * delta));
        for (const StateVector* value : {&plus, &minus, &plusTwo, &minusTwo}) {
            requireSameSize(*value, y);
        }
        for (std::size_t i = 0; i < n; ++i) {
            const SlopeDerivative entry = differenceQuotient(
                {atY[i], plus[i], minus[i], plusTwo[i], minusTwo[i]}, y[j], delta);
            result.value(i, j) = entry.lambda;
            result.tolerance(i, j) = entry.tolerance;
        }
    }
    return result;
}

std::vector<std::complex<double>> eigenvalues(const SquareMatrix& matrix) {
    const EigenMatrix m = toEigen(matrix);
    if (!m.allFinite()) return {};
    const Eigen::EigenSolver<EigenMatrix> solver(m, false);
    if (solver.info() != Eigen::Success) return {};
    std::vector<std::complex<double>> values(solver.eigenvalues().begin(),
                                             solver.eigenvalues().end());
    std::sort(values.begin(), values.end(), [](std::complex<double> a, std::complex<double> b) {
        return a.real() != b.real() ? a.real() < b.real() : a.imag() < b.imag();
    });
    return values;
}

double eigenvalueTolerance(const Jacobian& jacobian) {
    return frobeniusNorm(jacobian.tolerance) + algorithmRounding(jacobian.value);
}

double repeatedEigenvalueSpread(const Jacobian& jacobian) {
    return 4 * std::sqrt(eigenvalueTolerance(jacobian) * frobeniusNorm(jacobian.value));
}

std::optional<StateVector> solveLinearised(const Jacobian& jacobian, const StateVector& v) {
    const EigenMatrix j = toEigen(jacobian.value);
    const Eigen::JacobiSVD<EigenMatrix> svd(j, Eigen::ComputeFullU | Eigen::ComputeFullV);
    const auto n = static_cast<Eigen::Index>(v.size());
    if (n == 0 || n != j.rows() ||
        svd.singularValues()(n - 1) <= eigenvalueTolerance(jacobian)) {
        return std::nullopt;
    }
    Eigen::Matrix<double, Eigen::Dynamic, 1, Eigen::ColMajor, SquareMatrix::maxSize, 1> right(n);
    for (Eigen::Index i = 0; i < n; ++i) right(i) = v[static_cast<std::size_t>(i)];
    const auto solution = svd.solve(right).eval();
    StateVector s(v.size());
    for (Eigen::Index i = 0; i < n; ++i) s[static_cast<std::size_t>(i)] = solution(i);
    return s;
}

StepEigenvalues stepEigenvalues(SlopeOf<StateVector> F, double x, const StateVector& y, double h) {
    const Jacobian j = jacobian(F, x, y);
    SquareMatrix scaled(j.value.size());
    for (std::size_t row = 0; row < scaled.size(); ++row) {
        for (std::size_t column = 0; column < scaled.size(); ++column) {
            scaled(row, column) = h * j.value(row, column);
        }
    }
    return {eigenvalues(scaled), std::fabs(h) * eigenvalueTolerance(j)};
}

}  // namespace pelorin
