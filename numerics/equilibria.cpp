#include "numerics/equilibria.h"

#include "base/number_text.h"
#include "numerics/jacobian.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <utility>

namespace pelorin {

namespace {

// -1, 0 or 1: the sign of a part beyond the tolerance.
int sign(double part, double tolerance) {
    return part < -tolerance ? -1 : part > tolerance ? 1 : 0;
}

// Two components: a complex pair by the sign of its real part, two real
// eigenvalues by both signs.
EquilibriumKind planeKind(std::complex<double> low, std::complex<double> high, double tolerance) {
    constexpr std::array<EquilibriumKind, 3> pair{EquilibriumKind::spiralSink, EquilibriumKind::centre,
                                                  EquilibriumKind::spiralSource};
    if (std::fabs(high.imag()) > tolerance) return pair[sign(high.real(), tolerance) + 1];
    constexpr std::array<std::array<EquilibriumKind, 3>, 3> real{{
        {EquilibriumKind::sink, EquilibriumKind::degenerate, EquilibriumKind::saddle},
        {EquilibriumKind::degenerate, EquilibriumKind::degenerate, EquilibriumKind::degenerate},
        {EquilibriumKind::saddle, EquilibriumKind::degenerate, EquilibriumKind::source},
    }};
    return real[sign(low.real(), tolerance) + 1][sign(high.real(), tolerance) + 1];
}

bool allFinite(const StateVector& y) {
    return std::all_of(y.begin(), y.end(), [](double c) { return std::isfinite(c); });
}

bool allFinite(const SquareMatrix& m) {
    for (std::size_t i = 0; i < m.size(); ++i) {
        for (std::size_t j = 0; j < m.size(); ++j) {
            if (!std::isfinite(m(i, j))) return false;
        }
    }
    return true;
}

bool allZero(const StateVector& y) {
    return std::all_of(y.begin(), y.end(), [](double c) { return c == 0; });
}

// Whether the step s moved y by at most the tolerance in every component.
bool settled(const StateVector& s, const StateVector& y) {
    double largest = 1;
    for (double c : y) largest = std::max(largest, std::fabs(c));
    return std::all_of(s.begin(), s.end(),
                       [&](double c) { return std::fabs(c) <= newtonStepTolerance * largest; });
}

std::string stepsText(int steps) {
    return std::to_string(steps) + (steps == 1 ? " Newton step" : " Newton steps");
}

bool samePoint(const StateVector& a, const StateVector& b) {
    constexpr double apart = 1e-8;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::fabs(a[i] - b[i]) > apart * std::max({1.0, std::fabs(a[i]), std::fabs(b[i])})) {
            return false;
        }
    }
    return a.size() == b.size();
}

EquilibriumSearch failed(int steps, std::string note) {
    EquilibriumSearch search;
    search.steps = steps;
    search.note = std::move(note);
    return search;
}

}  // namespace

std::vector<std::complex<double>> mergedEigenvalues(
    const std::vector<std::complex<double>>& eigenvalues, double spread) {
    std::vector<std::complex<double>> means;
    for (const auto& value : eigenvalues) {
        std::complex<double> sum = 0;
        double count = 0;
        for (const auto& other : eigenvalues) {
            if (std::abs(other - value) <= spread) {
                sum += other;
                count += 1;
            }
        }
        means.push_back(sum / count);
    }
    return means;
}

EquilibriumKind equilibriumKind(const std::vector<std::complex<double>>& eigenvalues,
                                double tolerance, double spread) {
    if (eigenvalues.empty()) return EquilibriumKind::undecided;
    const std::vector<std::complex<double>> values = mergedEigenvalues(eigenvalues, spread);
    if (values.size() == 2) return planeKind(values[0], values[1], tolerance);
    int highest = -1;
    for (const auto& value : values) highest = std::max(highest, sign(value.real(), tolerance));
    constexpr std::array<EquilibriumKind, 3> bySign{EquilibriumKind::stable, EquilibriumKind::undecided,
                                                    EquilibriumKind::unstable};
    return bySign[highest + 1];
}

std::string equilibriumKindText(EquilibriumKind kind) {
    static constexpr std::array<std::pair<EquilibriumKind, std::string_view>, 10> texts{{
        {EquilibriumKind::saddle, "saddle"},
        {EquilibriumKind::sink, "sink"},
        {EquilibriumKind::source, "source"},
        {EquilibriumKind::spiralSink, "spiral sink"},
        {EquilibriumKind::spiralSource, "spiral source"},
        {EquilibriumKind::centre, "centre"},
        {EquilibriumKind::degenerate,
         "degenerate: an eigenvalue is 0, the linearisation does not decide"},
        {EquilibriumKind::stable,
         "stable: every eigenvalue has a negative real part, so nearby paths settle into it"},
        {EquilibriumKind::unstable,
         "unstable: an eigenvalue has a positive real part, so nearby paths leave it"},
        {EquilibriumKind::undecided,
         "undecided: an eigenvalue has real part 0 and none a positive one, so the linearisation "
         "does not decide"},
    }};
    for (const auto& [which, text] : texts) {
        if (which == kind) return std::string(text);
    }
    return {};
}

std::string pointText(const StateVector& y) {
    std::string text = "(";
    for (std::size_t i = 0; i < y.size(); ++i) text += (i > 0 ? ", " : "") + shortText(y[i]);
    return text + ")";
}

EquilibriumSearch findEquilibrium(SystemSlope F, const StateVector& start) {
    constexpr double x = 0;
    const std::string tryAgain = "; try another start.";
    StateVector y = start;
    bool stepSettled = false;
    for (int steps = 0;; ++steps) {
        if (!allFinite(y)) {
            return failed(steps, "Newton's method went beyond the numbers a double holds after " +
                                     stepsText(steps) + tryAgain);
        }
        const StateVector value = F(x, y);
        if (!allFinite(value)) {
            return failed(steps, "F is not finite at " + pointText(y) + ", after " + stepsText(steps) +
                                     tryAgain);
        }
        const bool atEquilibrium = stepSettled || allZero(value);
        const Jacobian j = jacobian(F, x, y);
        if (!allFinite(j.value) || !allFinite(j.tolerance)) {
            if (atEquilibrium) {
                return failed(steps, "Newton's method from " + pointText(start) + " settles at " +
                                         pointText(y) + " after " + stepsText(steps) +
                                         ", but the Jacobian is not finite there, so no eigenvalues "
                                         "can name it.");
            }
            return failed(steps, "The Jacobian is not finite at " + pointText(y) + ", after " +
                                     stepsText(steps) + tryAgain);
        }
        if (atEquilibrium) {
            EquilibriumSearch search;
            search.point = y;
            search.steps = steps;
            search.eigenvalues = eigenvalues(j.value);
            search.tolerance = eigenvalueTolerance(j);
            search.spread = repeatedEigenvalueSpread(j);
            search.kind = equilibriumKind(search.eigenvalues, search.tolerance, search.spread);
            search.note = "Newton's method from " + pointText(start) + " settles at " + pointText(y) +
                          " after " + stepsText(steps) + ".";
            return search;
        }
        if (steps == maxNewtonIterations) {
            return failed(steps, "Newton's method from " + pointText(start) +
                                     " does not settle within " +
                                     stepsText(steps) + " (it is at " + pointText(y) +
                                     "): F may have no zero near the start" + tryAgain);
        }
        const std::optional<StateVector> step = solveLinearised(j, value);
        if (!step) {
            return failed(steps, "The Jacobian is singular at " + pointText(y) +
                                     ": Newton's method has no step from there" + tryAgain);
        }
        y = y - *step;
        stepSettled = settled(*step, y);
    }
}

std::vector<EquilibriumSearch> distinctEquilibria(SystemSlope F,
                                                  const std::vector<StateVector>& starts) {
    std::vector<EquilibriumSearch> found;
    for (const StateVector& start : starts) {
        EquilibriumSearch search = findEquilibrium(F, start);
        if (!search.point) continue;
        const bool known = std::any_of(found.begin(), found.end(), [&](const EquilibriumSearch& f) {
            return samePoint(*f.point, *search.point);
        });
        if (!known) found.push_back(std::move(search));
    }
    return found;
}

}  // namespace pelorin
