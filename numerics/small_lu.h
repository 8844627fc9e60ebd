// LU factors with partial pivoting of a small square matrix, held in place so
// that factoring and solving allocate nothing: an implicit step factors one
// at every step. Written out rather than taken from Eigen for two reasons.
// Every entry is one multiplication and one subtraction in a fixed order, so
// the bits do not depend on the CPU's vector instructions (Eigen's kernels
// may fuse them where the CPU can). And for the few unknowns of a step the exact
// norm of the inverse costs less than Eigen's estimate of it.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <utility>

namespace pelorin {

template <std::size_t Capacity>
class SmallLu {
public:
    // The first size() entries are used, and of a matrix the first size()
    // columns of its first size() rows.
    using Vector = std::array<double, Capacity>;
    using Matrix = std::array<Vector, Capacity>;  // rows

    // Factors the n×n matrix M: P·M = L·U, each pivot the first entry of
    // largest magnitude in its column. n beyond Capacity throws
    // std::length_error. Before, the factors are those of a 0×0 matrix:
    // nothing is initialised that factoring overwrites.
    void factor(const Matrix& matrix, std::size_t n) {
        if (n > Capacity) throw std::length_error("a matrix beyond the factors' capacity");
        n_ = n;
        zeroPivot_ = false;
        for (std::size_t r = 0; r < n; ++r) {
            for (std::size_t c = 0; c < n; ++c) lu_[r][c] = matrix[r][c];
        }
        for (std::size_t k = 0; k < n; ++k) eliminate(k);
    }

    std::size_t size() const { return n_; }

    // Solves M·x = b in place: b's first size() entries.
    void solve(Vector& b) const { solve(b.data()); }
    void solve(double* b) const {
        for (std::size_t k = 0; k < n_; ++k) std::swap(b[k], b[pivotRow_[k]]);
        for (std::size_t i = 0; i < n_; ++i) {
            if (b[i] == 0) continue;
            for (std::size_t r = i + 1; r < n_; ++r) b[r] -= b[i] * lu_[r][i];
        }
        for (std::size_t i = n_; i-- > 0;) {
            if (b[i] == 0) continue;
            b[i] /= lu_[i][i];
            for (std::size_t r = 0; r < i; ++r) b[r] -= b[i] * lu_[r][i];
        }
    }

    // How far M lies from the nearest singular matrix in the 1-norm,
    // 1/||M⁻¹||₁: 0 where a pivot is 0, |M| itself for one unknown. NaN where
    // M's entries are not finite.
    double distanceFromSingular() const {
        Vector unscaled;
        unscaled.fill(1);
        return distanceFromSingular(unscaled);
    }

    // The same of D·M, D = diag(1/rowScale): each row of M over its scale,
    // so that a row of huge entries does not hide how far the others keep M
    // from singular. (D·M)⁻¹ = M⁻¹·D⁻¹ scales M⁻¹'s column r by rowScale[r].
    double distanceFromSingular(const Vector& rowScale) const {
        if (zeroPivot_) return 0;
        if (n_ == 1) return std::fabs(lu_[0][0]) / rowScale[0];
        const Vector norms = inverseColumnNorms();
        double inverseNorm = 0;
        for (std::size_t c = 0; c < n_; ++c) {
            const double scaled = rowScale[c] * norms[c];
            if (std::isnan(scaled)) return scaled;
            if (scaled > inverseNorm) inverseNorm = scaled;
        }
        return 1 / inverseNorm;
    }

private:
    // ||M⁻¹·e_c||₁ for each column c. For two unknowns from the factors:
    // M⁻¹ = U⁻¹·L⁻¹·P, det(U)·U⁻¹·L⁻¹ = [u22 + u12·l, -u12; -l·u11, u11], and
    // the row swap, if any, swaps M⁻¹'s columns; one division where solving
    // for the columns would take five. Beyond, by solving.
    Vector inverseColumnNorms() const {
        Vector norms;
        if (n_ == 2) {
            const double u11 = lu_[0][0], u12 = lu_[0][1], u22 = lu_[1][1], l = lu_[1][0];
            const double determinant = std::fabs(u11 * u22);
            const bool swapped = pivotRow_[0] == 1;
            norms[swapped ? 1 : 0] = (std::fabs(u22 + u12 * l) + std::fabs(l * u11)) / determinant;
            norms[swapped ? 0 : 1] = (std::fabs(u12) + std::fabs(u11)) / determinant;
            return norms;
        }
        for (std::size_t c = 0; c < n_; ++c) {
            Vector column;  // e_c; the entries from n on are never read
            for (std::size_t r = 0; r < n_; ++r) column[r] = r == c ? 1 : 0;
            solve(column);
            norms[c] = 0;
            for (std::size_t r = 0; r < n_; ++r) norms[c] += std::fabs(column[r]);
        }
        return norms;
    }

    // Step k of the elimination: the pivot row swapped into row k, the
    // multipliers below the pivot, and the rest of the rows updated.
    void eliminate(std::size_t k) {
        std::size_t pivot = k;
        for (std::size_t r = k + 1; r < n_; ++r) {
            if (std::fabs(lu_[r][k]) > std::fabs(lu_[pivot][k])) pivot = r;
        }
        pivotRow_[k] = pivot;
        if (lu_[pivot][k] == 0) {
            zeroPivot_ = true;
        } else {
            if (pivot != k) {
                std::swap_ranges(lu_[k].begin(), lu_[k].begin() + n_, lu_[pivot].begin());
            }
            for (std::size_t r = k + 1; r < n_; ++r) lu_[r][k] /= lu_[k][k];
        }
        for (std::size_t r = k + 1; r < n_; ++r) {
            for (std::size_t c = k + 1; c < n_; ++c) lu_[r][c] -= lu_[r][k] * lu_[k][c];
        }
    }

    Matrix lu_;  // L below the diagonal, U on and above
    std::array<std::size_t, Capacity> pivotRow_;  // row k's swap in step k, set for k < n
    std::size_t n_ = 0;
    bool zeroPivot_ = false;
};

}  // namespace pelorin
