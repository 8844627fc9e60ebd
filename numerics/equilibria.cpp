#include "numerics/equilibria.h"

#include "base/number_text.h"
#include "base/words.h"
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
    constexpr std::array<EquilibriumKind, 3> pair{
        EquilibriumKind::spiralSink, EquilibriumKind::centre, EquilibriumKind::spiralSource};
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


double largestPart(const StateVector& v) {
    double part = 0;
    for (double c : v) part = std::max(part, std::fabs(c));
    return part;
}

// max(1, |y_1|, …, |y_n|): the scale of the tolerances on y.
double largest(const StateVector& y) { return std::max(1.0, largestPart(y)); }

// Whether the step s moved y by at most the tolerance in every component.
bool settled(const StateVector& s, const StateVector& y) {
    return largestPart(s) <= newtonStepTolerance * largest(y);
}

// The largest ratio of each of the last linearSteps step lengths to the one
// before, when every one lies between fastestLinearRatio and
// slowestLinearRatio: Newton's method is converging linearly.
std::optional<double> linearRatio(const std::vector<double>& lengths) {
    if (lengths.size() <= static_cast<std::size_t>(linearSteps)) return std::nullopt;
    double slowest = 0;
    for (std::size_t k = lengths.size() - linearSteps; k < lengths.size(); ++k) {
        const double ratio = lengths[k] / lengths[k - 1];
        if (!(ratio >= fastestLinearRatio && ratio <= slowestLinearRatio)) return std::nullopt;
        slowest = std::max(slowest, ratio);
    }
    return slowest;
}

// J at the last point of a linear convergence, its tolerances grown by how
// far it may still change on the way to the root: the last step's change
// summed as a geometric series of ratio r.
Jacobian widened(Jacobian j, const Jacobian& before, double ratio) {
    for (std::size_t i = 0; i < j.value.size(); ++i) {
        for (std::size_t k = 0; k < j.value.size(); ++k) {
            j.tolerance(i, k) += std::fabs(j.value(i, k) - before.value(i, k)) / (1 - ratio);
        }
    }
    return j;
}

EquilibriumSearch equilibriumAt(const StateVector& y, int steps, const Jacobian& j,
                                double uncertainty, std::string note) {
    EquilibriumSearch search;
    search.point = y;
    search.steps = steps;
    search.uncertainty = uncertainty;
    search.jacobian = j.value;
    search.eigenvalues = eigenvalues(j.value);
    search.tolerance = eigenvalueTolerance(j);
    search.spread = repeatedEigenvalueSpread(j);
    search.kind = equilibriumKind(search.eigenvalues, search.tolerance, search.spread);
    search.note = std::move(note);
    return search;
}

std::string stepsText(int steps) {
    return countText(steps, "Newton step", "Newton steps");
}

bool samePoint(const EquilibriumSearch& e, const EquilibriumSearch& f) {
    constexpr double apart = 1e-8;
    const StateVector &a = *e.point, &b = *f.point;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double within = apart * std::max({1.0, std::fabs(a[i]), std::fabs(b[i])}) +
                              e.uncertainty + f.uncertainty;
        if (std::fabs(a[i] - b[i]) > within) return false;
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
    constexpr std::array<EquilibriumKind, 3> bySign{
        EquilibriumKind::stable, EquilibriumKind::undecided, EquilibriumKind::unstable};
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
    // Three decimals even near 0: Newton's method leaves a coordinate of 0
    // at rounding's size (6E-30) or, at a multiple root, within 1E-4 of it,
    // digits an exponent would show as if they meant something.
    const auto coordinate = [](double c) {
        return std::fabs(c) < 1e6 ? fixedText(c, 3) : errorText(c);
    };
    std::string text = "(";
    for (std::size_t i = 0; i < y.size(); ++i) text += (i > 0 ? ", " : "") + coordinate(y[i]);
    return text + ")";
}

namespace {

constexpr const char* tryAgain = "; try another start.";

// "Newton's method from (0.000, 1.000) settles at (1.000, 0.500) after 3
// Newton steps".
std::string settledText(const StateVector& start, const StateVector& y, int steps) {
    return "Newton's method from " + pointText(start) + " settles at " + pointText(y) + " after " +
           stepsText(steps);
}

EquilibriumSearch withoutFiniteJacobian(const StateVector& start, const StateVector& y, int steps,
                                        bool settledHere) {
    if (settledHere) {
        return failed(steps,
                      settledText(start, y, steps) +
                          ", but the Jacobian is not finite there, so no eigenvalues can name it.");
    }
    return failed(steps, "The Jacobian is not finite at " + pointText(y) + ", after " +
                             stepsText(steps) + tryAgain);
}

// Why Newton's method takes no step from y: it has taken its last, or J
// is singular within its accuracy.
std::string noStepNote(const StateVector& start, const StateVector& y, int steps) {
    if (steps == maxNewtonIterations) {
        return "Newton's method from " + pointText(start) + " does not settle within " +
               stepsText(steps) + " (it is at " + pointText(y) +
               "): F may have no zero near the start" + tryAgain;
    }
    return "The Jacobian is singular at " + pointText(y) +
           ": Newton's method has no step from there" + tryAgain;
}

// Newton's method converging linearly close enough to its root that y
// counts as the root: the ratio of its last steps, and how far the root
// may still lie.
struct LinearConvergence {
    double ratio = 0, uncertainty = 0;
};
std::optional<LinearConvergence> nearMultipleRoot(const std::vector<double>& stepLengths,
                                                  const StateVector& y) {
    const std::optional<double> ratio = linearRatio(stepLengths);
    if (!ratio) return std::nullopt;
    const double uncertainty = 2 * stepLengths.back() / (1 - *ratio);
    if (!(uncertainty <= multipleRootReach * largest(y))) return std::nullopt;
    return LinearConvergence{*ratio, uncertainty};
}

EquilibriumSearch atMultipleRoot(const StateVector& start, const StateVector& y, int steps,
                                 const Jacobian& j, const Jacobian& before,
                                 LinearConvergence linear) {
    return equilibriumAt(y, steps, widened(j, before, linear.ratio), linear.uncertainty,
                         "Newton's method from " + pointText(start) +
                             " converges only linearly to " + pointText(y) +
                             ", as it does to a multiple root, where the Jacobian is "
                             "singular; it stops after " +
                             stepsText(steps) + ".");
}

}  // namespace

EquilibriumSearch findEquilibrium(SlopeOf<StateVector> F, const StateVector& start) {
    constexpr double x = 0;
    StateVector y = start;
    bool stepSettled = false;
    std::vector<double> stepLengths;
    std::optional<Jacobian> before;  // at the point before y
    for (int steps = 0;; ++steps) {
        if (!allFinite(y)) {
            return failed(steps, "Newton's method went beyond the numbers a double holds after " +
                                     stepsText(steps) + tryAgain);
        }
        const StateVector value = F(x, y);
        if (!allFinite(value)) {
            return failed(steps, "F is not finite at " + pointText(y) + ", after " +
                                     stepsText(steps) + tryAgain);
        }
        const Jacobian j = jacobian(F, x, y);
        const bool settledHere = stepSettled || allZero(value);
        if (!allFinite(j.value) || !allFinite(j.tolerance)) {
            return withoutFiniteJacobian(start, y, steps, settledHere);
        }
        const std::optional<LinearConvergence> linear = nearMultipleRoot(stepLengths, y);
        if (settledHere) {
            if (linear) return atMultipleRoot(start, y, steps, j, *before, *linear);
            return equilibriumAt(y, steps, j, 0, settledText(start, y, steps) + ".");
        }
        const std::optional<StateVector> step =
            steps == maxNewtonIterations ? std::nullopt : solveLinearised(j, value);
        if (!step) {
            if (linear) return atMultipleRoot(start, y, steps, j, *before, *linear);
            return failed(steps, noStepNote(start, y, steps));
        }
        y = y - *step;
        stepSettled = settled(*step, y);
        stepLengths.push_back(largestPart(*step));
        before = j;
    }
}

std::vector<EquilibriumSearch> distinctEquilibria(SlopeOf<StateVector> F,
                                                  const std::vector<StateVector>& starts) {
    std::vector<EquilibriumSearch> found;
    for (const StateVector& start : starts) {
        EquilibriumSearch search = findEquilibrium(F, start);
        if (!search.point) continue;
        const bool known = std::any_of(found.begin(), found.end(), [&](const EquilibriumSearch& f) {
            return samePoint(f, search);
        });
        if (!known) found.push_back(std::move(search));
    }
    return found;
}

}  // namespace pelorin
