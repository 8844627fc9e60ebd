// The linearisation of a system y' = F(x, y) at a point: its Jacobian
// J = ∂F/∂y by difference quotients, with how far each entry may be off, and
// the eigenvalues of J or of h·J, which say what a step does to a small
// error near that point as λ = ∂f/∂y does for one equation.
#pragma once

#include "methods/methods.h"
#include "methods/state_vector.h"

#include <array>
#include <complex>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <vector>

namespace pelorin {

// A real n×n matrix, n ≤ StateVector::maxComponents, held by value.
class SquareMatrix {
public:
    static constexpr std::size_t maxSize = StateVector::maxComponents;

    SquareMatrix() = default;
    // n×n zeros; n beyond maxSize throws std::length_error.
    explicit SquareMatrix(std::size_t n);
    // Rows of equal length; a ragged or too large table throws std::length_error.
    SquareMatrix(std::initializer_list<std::initializer_list<double>> rows);

    std::size_t size() const { return size_; }
    double& operator()(std::size_t row, std::size_t column) { return entries_[row][column]; }
    double operator()(std::size_t row, std::size_t column) const { return entries_[row][column]; }

private:
    std::array<std::array<double, maxSize>, maxSize> entries_{};
    std::size_t size_ = 0;
};

// The root of the sum of the entries' squares.
double frobeniusNorm(const SquareMatrix& matrix);

// J(x, y) = ∂F/∂y column by column: column j from F at y ± δ_j·e_j and
// y ± 2δ_j·e_j, δ_j = ∛ε·max(1, |y_j|), each entry by slopeDerivative's
// quotient (differenceQuotient) with its tolerance: a few roundings of
// F_i's size over δ_j, about ε^(2/3)·(|J_ij| + |F_i|/max(1, |y_j|)), plus the
// truncation the quotient with 2δ_j shows, about δ_j²/6 times F_i's third
// derivative in y_j. An F linear in y_j gives its coefficient to rounding; a
// smooth one agrees with the analytic entry to about ε^(2/3) ≈ 4E-11 times
// the sizes above, and times max(1, |y_j|)² for the truncation.
// 4n + 1 evaluations of F.
struct Jacobian {
    SquareMatrix value, tolerance;
};
Jacobian jacobian(SlopeOf<StateVector> F, double x, const StateVector& y);

// The eigenvalues of a matrix, complex, by the real Schur form, ordered by
// real part, then by imaginary part, so that a conjugate pair (whose real
// parts the form makes equal) stands together, the negative imaginary part
// first. None for a matrix with an entry that is not finite.
std::vector<std::complex<double>> eigenvalues(const SquareMatrix& matrix);

// How far J's eigenvalues may lie from the Jacobian's own: the entries'
// tolerances in the Frobenius norm, plus a few roundings of |J| for the
// eigenvalue algorithm. This bounds the error of a simple eigenvalue whose
// eigenvectors are far from parallel (a symmetric J, a rotation); near a
// repeated eigenvalue one can move further, by up to the square root.
double eigenvalueTolerance(const Jacobian& jacobian);

// How far apart the eigenvalues of J may come out that are one repeated
// eigenvalue of the Jacobian: errors η (eigenvalueTolerance) in the entries
// move the discriminant of a 2×2 block by about 4η|J| and so split a double
// eigenvalue by up to 4√(η|J|), far more than η. Eigenvalues closer than
// this may be one.
double repeatedEigenvalueSpread(const Jacobian& jacobian);

// The s with J·s = v, as Newton's method steps; none when J is singular
// within its accuracy, that is when its smallest singular value (its
// distance from the nearest singular matrix) is within the entries'
// tolerances in the Frobenius norm and a few roundings of |J|: a matrix the
// quotients cannot tell from J would then have no inverse.
std::optional<StateVector> solveLinearised(const Jacobian& jacobian, const StateVector& v);

// The eigenvalues of h·J(x, y), the z = hλ of every mode of a step of length
// h from (x, y), in eigenvalues' order, and their tolerance, |h| times J's.
struct StepEigenvalues {
    std::vector<std::complex<double>> z;
    double tolerance = 0;
};
StepEigenvalues stepEigenvalues(SlopeOf<StateVector> F, double x, const StateVector& y, double h);

}  // namespace pelorin
