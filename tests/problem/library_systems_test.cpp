// The library of systems checked independently of the code that will step
// them: every text compiles as typed, each exact solution passes through its
// start and satisfies its system by difference quotients (and ends where
// mpmath's integration at 30 digits ends), and each invariant is conserved:
// along a run of classical Runge-Kutta where the system is not stiff, and
// as a slope with no component along the invariant's gradient everywhere.
#include "base/conversions.h"
#include "methods/methods.h"
#include "numerics/reference.h"
#include "problem/system.h"
#include "problem/system_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;

namespace {

// The compiled slope as the methods and the reference call it.
auto stateSlope(const SlopeExpression& f) {
    return [&f](double x, const StateVector& y) {
        StateVector values(y.size());
        std::vector<double> out(y.size());
        f(x, std::span(y.begin(), y.size()), out);
        for (std::size_t k = 0; k < y.size(); ++k) values[k] = out[k];
        return values;
    };
}

// The states after each of `steps` steps of the methods' classical
// Runge-Kutta with h from (x0, y0), the start first.
std::vector<std::vector<double>> rungeKuttaPath(const SlopeExpression& f, double x0,
                                                const std::vector<double>& y0, double h,
                                                int steps) {
    const auto slope = stateSlope(f);
    StateVector y(y0.size());
    for (std::size_t k = 0; k < y0.size(); ++k) y[k] = y0[k];
    std::vector<std::vector<double>> path{y0};
    for (int i = 0; i < steps; ++i) {
        y = RK4(x0 + i * h, y, h, SlopeOf<StateVector>(slope));
        path.emplace_back(y.begin(), y.end());
    }
    return path;
}

using State = std::vector<double>;

// What the checks below need to know of each entry, in the library's order.
struct Checks {
    std::string_view name;  // the beginning of the entry's name
    bool stiff;             // classical Runge-Kutta is unstable at any h a test can afford
    double h;               // for the run along which the invariant is conserved
    std::string_view wrongInvariant;    // a slip the run must catch: a sign or a factor
    std::string_view otherParameters;   // the invariant must hold for these too
    std::string_view alsoConserved;     // a quantity the description says is conserved
    State atEnd;                        // the exact solution at x1, from mpmath
};

// atEnd: mpmath's odefun (Taylor series at 30 digits) from the library's start.
const Checks checks[] = {
    {"Harmonic oscillator",
     false,
     0.01,
     "y2^2/2 - y1^2/2",
     "",
     "",
     {-0.83907152907645245, 0.54402111088936981}},
    {"Damped oscillator", false, 0.01, "", "", "", {0.0067202125494663898, -0.0034296964143961308}},
    {"Pendulum", false, 0.01, "y2^2/2 + cos(y1)", "", "", {}},
    {"Lotka-Volterra",
     false,
     0.01,
     "c*y1 - d*ln(y1) + b*y2 + a*ln(y2)",
     "a = 0.5, b = 2, c = 1.5, d = 0.7",
     "",
     {}},
    {"Van der Pol", false, 0.01, "", "", "", {}},
    {"Van der Pol, stiff", true, 0, "", "", "", {}},
    {"Kepler", false, 0.001, "(y3^2 + y4^2)/2 - 2/sqrt(y1^2 + y2^2)", "", "y1*y4 - y2*y3", {}},
    {"Lorenz", false, 0.01, "", "", "", {}},
    {"SIR", false, 0.01, "y1 + y2 - y3", "beta = 0.5, gamma = 0.2", "", {}},
    {"Robertson", true, 0, "y1 + 2*y2 + y3", "k1 = 0.1, k2 = 2e5, k3 = 300", "", {}},
};

double number(std::string_view text) {
    const std::optional<double> value = textToNumber(text);
    if (!value) throw std::invalid_argument("not a number: " + std::string(text));
    return *value;
}

double scale(double y) { return std::max(1.0, std::fabs(y)); }

Parameters parameters(std::string_view text) {
    ParametersReading read = readParameters(text);
    if (!read.parameters) throw std::invalid_argument(read.error.message);
    return std::move(*read.parameters);
}

SlopeExpression slopeOf(const LibrarySystem& entry, const Parameters& given) {
    if (entry.form == ProblemForm::secondOrder) {
        SecondOrderCompilation compiled = compileSecondOrder(entry.slopes[0], given);
        if (!compiled.slope) throw std::invalid_argument(compiled.error.message);
        return std::move(*compiled.slope);
    }
    SlopeCompilation compiled = compileSlope(boxTexts(entry.slopes, entry.n), given);
    if (!compiled.slope) throw std::invalid_argument(compiled.errors.front().message);
    return std::move(*compiled.slope);
}

InvariantExpression invariantOf(std::string_view text, std::size_t n, const Parameters& given) {
    InvariantCompilation compiled = compileInvariant(text, n, given);
    if (!compiled.invariant) throw std::invalid_argument(compiled.error.message);
    return std::move(*compiled.invariant);
}

State startOf(const LibrarySystem& entry) {
    State start;
    for (std::size_t k = 0; k < entry.n; ++k) start.push_back(number(entry.starts[k]));
    return start;
}

bool hasExact(const LibrarySystem& entry) { return !entry.exact[0].empty(); }

State slopeAt(const SlopeExpression& f, double x, const State& y) {
    State values(y.size());
    f(x, y, values);
    return values;
}

State exactAt(const SolutionExpression& exact, double x) {
    State y(exact.size());
    exact(x, y);
    return y;
}

// The largest change of `invariant` from its value at the start along a run
// of classical Runge-Kutta over [x0, x1].
double drift(const SlopeExpression& f, const InvariantExpression& invariant, double x0, double x1,
             const State& start, double h) {
    const auto steps = static_cast<int>(std::lround((x1 - x0) / h));
    const auto path = rungeKuttaPath(f, x0, start, h, steps);
    const double first = invariant(x0, start);
    double largest = 0;
    for (int i = 0; i <= steps; ++i) {
        largest = std::max(largest, std::fabs(invariant(x0 + i * h, path[i]) - first));
    }
    return largest;
}

// ∇I · F at (x, y) by central difference quotients of I, relative to the
// sum of the terms' sizes, so that it is small only where they cancel.
double gradientAlongSlope(const SlopeExpression& f, const InvariantExpression& invariant,
                          double x, const State& y) {
    const State slope = slopeAt(f, x, y);
    double dot = 0, size = 0;
    for (std::size_t k = 0; k < y.size(); ++k) {
        const double delta = 1e-6 * scale(y[k]);
        State up = y, down = y;
        up[k] += delta;
        down[k] -= delta;
        const double partial = (invariant(x, up) - invariant(x, down)) / (2 * delta);
        dot += partial * slope[k];
        size += std::fabs(partial * slope[k]);
    }
    return std::fabs(dot) / size;
}

// Points about the start where the slope is checked: shifted and stretched
// copies of it, positive where the start is, and off the axes where the
// start's slope is (as at a turning point) perpendicular to the gradient
// of any invariant.
std::vector<State> samplePoints(const State& start) {
    std::vector<State> points;
    for (const auto& [stretch, shift] :
         std::vector<std::pair<double, double>>{{1.1, 0.03}, {0.8, 0.1}, {1.3, 0.05}}) {
        State y = start;
        for (std::size_t k = 0; k < y.size(); ++k) y[k] = stretch * y[k] + shift * double(k + 1);
        points.push_back(y);
    }
    return points;
}

}  // namespace

TEST(SystemLibrary, EveryEntryHasItsOwnNameAndAOneLineDescription) {
    ASSERT_EQ(systemLibrary.size(), std::size(checks));
    for (std::size_t row = 0; row < systemLibrary.size(); ++row) {
        const LibrarySystem& entry = systemLibrary[row];
        SCOPED_TRACE(std::string(entry.name));
        ASSERT_TRUE(entry.name.starts_with(checks[row].name));
        const std::string_view label = entry.name.substr(0, entry.name.find(':'));
        EXPECT_EQ(label, checks[row].name);
        for (std::size_t later = row + 1; later < systemLibrary.size(); ++later) {
            EXPECT_NE(systemLibrary[later].name.substr(0, systemLibrary[later].name.find(':')),
                      label);
        }
        ASSERT_FALSE(entry.description.empty());
        EXPECT_EQ(entry.description.find('\n'), std::string_view::npos);
        EXPECT_TRUE(entry.description.ends_with('.'));
    }
}

// Every box of every entry, as typed, is read without a message: the
// parameters, the slopes or y'', the exact solutions and the invariant; the
// starts and the interval are numbers; no box beyond the system holds a text.
TEST(SystemLibrary, EveryTextIsReadWithoutAMessage) {
    for (const LibrarySystem& entry : systemLibrary) {
        SCOPED_TRACE(std::string(entry.name));
        const ParametersReading read = readParameters(entry.parameters);
        ASSERT_TRUE(read.parameters) << read.error.message;
        const Parameters& given = *read.parameters;

        const std::size_t typedSlopes = entry.form == ProblemForm::secondOrder ? 1 : entry.n;
        if (entry.form == ProblemForm::secondOrder) {
            EXPECT_EQ(entry.n, 2u);
            const SecondOrderCompilation compiled = compileSecondOrder(entry.slopes[0], given);
            EXPECT_TRUE(compiled.slope) << compiled.error.message;
        } else {
            const SlopeCompilation compiled =
                compileSlope(boxTexts(entry.slopes, entry.n), given);
            for (const FormulaError& error : compiled.errors) ADD_FAILURE() << error.message;
        }
        for (std::size_t k = 0; k < maxComponents; ++k) {
            EXPECT_EQ(entry.slopes[k].empty(), k >= typedSlopes) << "slope " << k + 1;
            EXPECT_EQ(entry.starts[k].empty(), k >= entry.n) << "start " << k + 1;
            EXPECT_EQ(entry.exact[k].empty(), k >= entry.n || !hasExact(entry))
                << "exact " << k + 1;
        }

        const State start = startOf(entry);
        const double x0 = number(entry.x0), x1 = number(entry.x1);
        EXPECT_LT(x0, x1);
        if (hasExact(entry)) {
            const SolutionCompilation exact =
                compileSolution(boxTexts(entry.exact, entry.n), given, x0, start);
            for (const FormulaError& error : exact.errors) ADD_FAILURE() << error.message;
        }
        if (!entry.invariant.empty()) {
            const InvariantCompilation invariant =
                compileInvariant(entry.invariant, entry.n, given);
            EXPECT_TRUE(invariant.invariant) << invariant.error.message;
        }
    }
}

// At x0 the formula gives the start; inside [x0, x1] its central difference
// quotient is the system's slope at its value, from the library's start and
// from another, so that it is written with the start's names; at x1 it gives
// what mpmath's integration gives.
TEST(SystemLibrary, EveryExactSolutionPassesThroughItsStartAndSatisfiesItsSystem) {
    for (std::size_t row = 0; row < systemLibrary.size(); ++row) {
        const LibrarySystem& entry = systemLibrary[row];
        EXPECT_EQ(hasExact(entry), !checks[row].atEnd.empty()) << entry.name;
        if (!hasExact(entry)) continue;
        SCOPED_TRACE(std::string(entry.name));
        const Parameters given = parameters(entry.parameters);
        const SlopeExpression f = slopeOf(entry, given);
        const double x0 = number(entry.x0), x1 = number(entry.x1);
        SolutionExpression exact = std::move(
            *compileSolution(boxTexts(entry.exact, entry.n), given, x0, startOf(entry))
                 .solution);
        const State atEnd = exactAt(exact, x1);
        for (std::size_t k = 0; k < entry.n; ++k) {
            EXPECT_NEAR(atEnd[k], checks[row].atEnd[k], 1e-14 * scale(checks[row].atEnd[k]));
        }
        State other(entry.n);
        for (std::size_t k = 0; k < entry.n; ++k) other[k] = 2.95 * double(k) - 0.7;
        for (const auto& [startX, start] :
             std::vector<std::pair<double, State>>{{x0, startOf(entry)}, {1.5, other}}) {
            exact.setStart(startX, start);
            const State there = exactAt(exact, startX);
            for (std::size_t k = 0; k < entry.n; ++k) EXPECT_NEAR(there[k], start[k], 1e-15);
            const double delta = 1e-4;
            for (int i = 1; i <= 4; ++i) {
                const double x = startX + (x1 - x0) * i / 5;
                const State slope = slopeAt(f, x, exactAt(exact, x));
                const State ahead = exactAt(exact, x + delta), behind = exactAt(exact, x - delta);
                for (std::size_t k = 0; k < entry.n; ++k) {
                    EXPECT_NEAR((ahead[k] - behind[k]) / (2 * delta), slope[k],
                                1e-7 * scale(slope[k]))
                        << "component " << k + 1 << " at x = " << x << " from x0 = " << startX;
                }
            }
        }
    }
}

// Classical Runge-Kutta with a small h keeps each invariant to within 1e-8
// over the whole interval (a far larger drift would be the method's error,
// which is of order h^4); the slips in the table, a sign or a factor, drift
// by more than 1e-3.
TEST(SystemLibrary, EveryInvariantOfANonStiffSystemIsConservedAlongRungeKutta) {
    const double bound = 1e-8, slip = 1e-3;
    for (std::size_t row = 0; row < systemLibrary.size(); ++row) {
        const LibrarySystem& entry = systemLibrary[row];
        if (checks[row].stiff) continue;
        SCOPED_TRACE(std::string(entry.name));
        EXPECT_EQ(entry.invariant.empty(), checks[row].wrongInvariant.empty());
        if (entry.invariant.empty()) continue;
        const Parameters given = parameters(entry.parameters);
        const SlopeExpression f = slopeOf(entry, given);
        const double x0 = number(entry.x0), x1 = number(entry.x1), h = checks[row].h;
        const State start = startOf(entry);
        EXPECT_LT(drift(f, invariantOf(entry.invariant, entry.n, given), x0, x1, start, h), bound);
        EXPECT_GT(
            drift(f, invariantOf(checks[row].wrongInvariant, entry.n, given), x0, x1, start, h),
            slip);
        if (!checks[row].alsoConserved.empty()) {
            EXPECT_LT(
                drift(f, invariantOf(checks[row].alsoConserved, entry.n, given), x0, x1, start, h),
                bound);
        }
    }
}

// The slope has no component along the invariant's gradient, at points
// about the start and with other values of the parameters: the check that
// serves where Runge-Kutta is unstable, and that a lettering of the
// parameters right only for the library's values would fail.
TEST(SystemLibrary, EverySlopeIsPerpendicularToItsInvariantsGradient) {
    const double bound = 1e-6, slip = 1e-3;
    for (std::size_t row = 0; row < systemLibrary.size(); ++row) {
        const LibrarySystem& entry = systemLibrary[row];
        if (entry.invariant.empty()) continue;
        SCOPED_TRACE(std::string(entry.name));
        std::vector<std::string_view> parameterTexts{entry.parameters};
        if (!checks[row].otherParameters.empty())
            parameterTexts.push_back(checks[row].otherParameters);
        EXPECT_EQ(parameterTexts.size() == 1, entry.parameters.empty());
        for (std::string_view text : parameterTexts) {
            SCOPED_TRACE(std::string(text));
            const Parameters given = parameters(text);
            const SlopeExpression f = slopeOf(entry, given);
            const InvariantExpression invariant = invariantOf(entry.invariant, entry.n, given);
            const InvariantExpression wrong = invariantOf(checks[row].wrongInvariant, entry.n,
                                                          given);
            const double x0 = number(entry.x0);
            for (const State& y : samplePoints(startOf(entry))) {
                EXPECT_LT(gradientAlongSlope(f, invariant, x0, y), bound) << "at y1 = " << y[0];
                EXPECT_GT(gradientAlongSlope(f, wrong, x0, y), slip) << "at y1 = " << y[0];
            }
        }
    }
}

// The reference solution reaches x1 on every system of the library without
// a note, by Rosenbrock's method exactly on the stiff ones, and agrees with
// mpmath's values at x1 where they are known; but for Lorenz's chaos, which
// multiplies the difference of the two runs by about e^(0.9x), beyond a
// millionth before x1 = 25 (from x = 20 on), and says so.
TEST(SystemLibrary, TheReferenceSolutionReachesTheEndOfEverySystemButAChaoticOne) {
    for (std::size_t row = 0; row < systemLibrary.size(); ++row) {
        const LibrarySystem& entry = systemLibrary[row];
        SCOPED_TRACE(std::string(entry.name));
        const SlopeExpression f = slopeOf(entry, parameters(entry.parameters));
        const auto slope = stateSlope(f);
        const State start = startOf(entry);
        StateVector y0(start.size());
        for (std::size_t k = 0; k < start.size(); ++k) y0[k] = start[k];
        const double x0 = number(entry.x0), x1 = number(entry.x1);
        std::vector<double> abscissae;
        for (int i = 1; i <= 10; ++i) abscissae.push_back(x0 + (x1 - x0) * i / 10);
        const ReferenceSolutionOf<StateVector> reference =
            referenceSolution(SlopeOf<StateVector>(slope), x0, y0, abscissae);
        EXPECT_EQ(reference.method == ReferenceMethod::rosenbrock, checks[row].stiff);
        if (entry.name.starts_with("Lorenz")) {
            ASSERT_TRUE(reference.untrustedFrom.has_value());
            EXPECT_EQ(reference.note.find("From x = " + numberToText(*reference.untrustedFrom) +
                                          " on, the reference solution's estimated error is"),
                      0u) << reference.note;
            continue;
        }
        EXPECT_EQ(reference.note, "");
        ASSERT_EQ(reference.y.size(), abscissae.size());
        for (std::size_t k = 0; k < checks[row].atEnd.size(); ++k) {
            EXPECT_NEAR(reference.y.back()[k], checks[row].atEnd[k],
                        reference.relativeAccuracy * scale(checks[row].atEnd[k]));
        }
    }
}
