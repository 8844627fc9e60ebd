// The order star |R(z)·e^(-z)| > 1 of the catalogue's one-step methods, R
// from their tableaus, against tests/support/order_star_values.py, which
// takes R from the textbooks (Taylor polynomials, Padé approximants) and
// works at 30 digits: points in and out of the star, where its edge
// crosses an axis, and how many fingers meet at 0.
#include "numerics/order_star.h"

#include "methods/methods.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <map>
#include <numbers>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace pelorin;

namespace {

StabilityFunction rOf(std::string_view caption) {
    return stabilityFunctionOf(*tableauOf(methodByCaption(caption)));
}

// z = radius·e^(iπ·turn).
std::complex<double> polar(double radius, double turn) {
    return std::polar(radius, std::numbers::pi * turn);
}

// The pieces of the star (1) and of the rest (0) on a grid over |Re z|,
// |Im z| <= 12 that keep off its border: the bounded ones. The fingers all
// meet at 0, so the points within 0.3 of it belong to neither.
struct BoundedPieces {
    std::array<int, 2> count{};  // of the rest, of the star
    std::vector<double> reach;  // each piece's largest |Re z| or |Im z|
};

BoundedPieces boundedPieces(const StabilityFunction& r) {
    constexpr int n = 361;
    StabilityGrid wide;
    wide.reMin = wide.imMin = -12;
    wide.reMax = wide.imMax = 12;
    const StabilityGrid grid = sampleOrderStar(r, n, n, wide);
    const auto kind = [&grid](int column, int row) {
        const bool nearZero = std::abs(std::complex(grid.re(column), grid.im(row))) < 0.3;
        return nearZero ? -1 : int(grid.isInside(column, row));
    };
    std::vector<bool> seen(grid.inside.size(), false);
    BoundedPieces pieces;
    for (int start = 0; start < n * n; ++start) {
        const int which = kind(start % n, start / n);
        if (seen[start] || which < 0) continue;
        std::vector<int> todo{start};
        seen[start] = true;
        bool border = false;
        double reach = 0;
        while (!todo.empty()) {
            const int column = todo.back() % n, row = todo.back() / n;
            todo.pop_back();
            border = border || column == 0 || row == 0 || column == n - 1 || row == n - 1;
            reach = std::max({reach, std::fabs(grid.re(column)), std::fabs(grid.im(row))});
            for (const auto& [c, r] : {std::pair{column + 1, row}, {column - 1, row},
                                       {column, row + 1}, {column, row - 1}}) {
                if (c < 0 || r < 0 || c >= n || r >= n || seen[r * n + c]) continue;
                if (kind(c, r) != which) continue;
                seen[r * n + c] = true;
                todo.push_back(r * n + c);
            }
        }
        if (border) continue;
        ++pieces.count[which];
        pieces.reach.push_back(reach);
    }
    return pieces;
}

}  // namespace

// Each point's |R(z)e^(-z)| from the script, in the comment: the fingers at
// 0 (0.3 away from it), the far field and the poles' and zeros' fingers.
// The trapezoid's 3i has the modulus 1 exactly: on the edge, not inside.
// Farther out, where e^(-z) or a power of z alone overflows a double, the
// star is still told apart: a polynomial's holds the far left half-plane
// and leaves the far right one; the trapezoid's R tends to -1, so |e^(-z)|
// alone decides.
TEST(OrderStar, PointsInAndOutOfTheStar) {
    const struct {
        std::string_view method;
        std::complex<double> z;
        bool inside;
    } rows[] = {
        {"Euler", {0, 0.3}, true},       // 1.04403065089
        {"Euler", {0, -0.3}, true},      // 1.04403065089
        {"Euler", {0.3, 0}, false},      // 0.963063686886
        {"Euler", {-0.3, 0}, false},     // 0.944901165303
        {"Euler", {-10, 0}, true},       // 198238.192153
        {"Euler", {0, 20}, true},        // 20.0249843945
        {"Euler", {5, 0}, false},        // 0.0404276819945
        {"Runge-Kutta 4", {0.3, 0}, false},        // 0.999984214959
        {"Runge-Kutta 4", polar(0.3, 0.2), true},  // 1.00001637022
        {"Runge-Kutta 4", polar(0.3, 0.4), false}, // 0.999981793944
        {"Runge-Kutta 4", {-0.3, 0}, true},        // 1.00002602436
        {"Runge-Kutta 4", {0, 2}, false},          // 0.7453559925
        {"Runge-Kutta 4", {0, 3}, true},           // 1.50519932235
        {"Runge-Kutta 4", {-10, 0}, true},         // 6409701.54629
        {"Runge-Kutta 4", {0, 20}, true},          // 6599.66336684
        {"Runge-Kutta 4", {10, 0}, false},         // 0.029252688077
        {"Runge-Kutta 4", {-1000, 0}, true},       // far out
        {"Runge-Kutta 4", {0, 1e90}, true},        // far out
        {"Runge-Kutta 4", {1000, 0}, false},       // far out
        {"Backward Euler", {0.3, 0}, true},   // 1.05831174383
        {"Backward Euler", {-0.3, 0}, true},  // 1.0383529289
        {"Backward Euler", {0, 0.3}, false},  // 0.957826285221
        {"Backward Euler", {0.9, 0}, true},   // 4.06569659741
        {"Backward Euler", {1, 0}, true},     // the pole
        {"Backward Euler", {5, 0}, false},    // 0.00168448674977
        {"Backward Euler", {-5, 0}, true},    // 24.7355265171
        {"Trapezoid", {-0.3, 1}, true},         // 1.06154356623
        {"Trapezoid", {0.3, 1}, false},         // 0.942024455529
        {"Trapezoid", {1.5, 0}, true},          // 1.56191112104
        {"Trapezoid", {-1.5, 0}, false},        // 0.640241295763
        {"Trapezoid", {-2, 0}, false},          // the zero
        {"Trapezoid", {-5, 0}, true},           // 63.6056396154
        {"Trapezoid", {5, 0}, false},           // 0.0157218763312
        {"Trapezoid", polar(0.3, 2.0 / 3), true},  // 1.00223707541
        {"Trapezoid", {0, 3}, false},           // 1 exactly
        {"Trapezoid", {-1e80, 0}, true},        // far out
        {"Trapezoid", {1e80, 1}, false},        // far out
        {"Radau IIA 3", {0.3, 0}, false},           // 0.999877353067
        {"Radau IIA 3", polar(0.3, 0.25), true},    // 1.00011885048
        {"Radau IIA 3", {0, 0.3}, false},           // 0.999888632468
        {"Radau IIA 3", {2.5, 0}, false},           // 0.401304437717
        {"Gauss-Legendre 4", {0.3, 0}, false},          // 0.999996606926
        {"Gauss-Legendre 4", polar(0.3, 0.2), true},    // 1.00000338059
        {"Gauss-Legendre 4", {3, 1.7}, true},           // 18.7715320706
        {"Gauss-Legendre 4", {-3, -1.7}, false},        // 0.0532721568086
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.method) + " at " + std::to_string(row.z.real()) + " + " +
                     std::to_string(row.z.imag()) + "i");
        EXPECT_EQ(insideOrderStar(rOf(row.method), row.z), row.inside);
    }
}

// A symmetric method's R(-z) = 1/R(z): the star mirrored in the imaginary
// axis is exactly what lies outside it, the axis itself the edge. Not so
// for a method that is not symmetric: backward Euler's star holds both
// 0.3 and -0.3.
TEST(OrderStar, SymmetricMethodsMirrorTheirStarOntoTheRest) {
    for (const std::string_view method : {"Trapezoid", "Implicit mid point", "Gauss-Legendre 4"}) {
        SCOPED_TRACE(method);
        const StabilityFunction r = rOf(method);
        for (int i = -20; i <= 20; ++i) {
            for (int j = -20; j <= 20; ++j) {
                if (i == 0) continue;
                const std::complex<double> z{0.23 * i, 0.19 * j};
                EXPECT_NE(insideOrderStar(r, z), insideOrderStar(r, -std::conj(z))) << z;
            }
            EXPECT_FALSE(insideOrderStar(r, {0, 0.19 * i}));
        }
    }
    const StabilityFunction backward = rOf("Backward Euler");
    EXPECT_EQ(insideOrderStar(backward, {0.3, 0}), insideOrderStar(backward, {-0.3, 0}));
}

// Where the edge crosses an axis, from the script's findroot: the
// trapezoid's beyond its pole 2 and its zero -2 at ±2.3993572805154677,
// Runge-Kutta 4's on the imaginary axis at 2√2, where |R(iy)| = 1.
TEST(OrderStar, EdgeMeetsTheAxesWhereTheFormulaSays) {
    const struct {
        std::string_view method;
        std::complex<double> crossing, along;  // a step across the edge
    } rows[] = {
        {"Trapezoid", {2.3993572805154677, 0}, {0.05, 0}},
        {"Trapezoid", {-2.3993572805154677, 0}, {0.05, 0}},
        {"Runge-Kutta 4", {0, 2.8284271247461901}, {0, 0.05}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        const StabilityFunction r = rOf(row.method);
        // A grid whose squares the crossing lies in, and its edge.
        StabilityGrid frame;
        frame.reMin = row.crossing.real() - 0.5;
        frame.reMax = row.crossing.real() + 0.5;
        frame.imMin = row.crossing.imag() - 0.5;
        frame.imMax = row.crossing.imag() + 0.5;
        // The axis is one of the grid's lines, along which the edge is found.
        const StabilityGrid grid = sampleOrderStar(r, 21, 21, frame);
        double nearest = std::numeric_limits<double>::infinity();
        for (const Polyline& line : orderStarEdge(r, grid)) {
            for (const std::complex<double> z : line) {
                nearest = std::min(nearest, std::abs(z - row.crossing));
            }
        }
        EXPECT_LT(nearest, 1e-12);
        // Either side of it, a step across the edge: in the star and out.
        EXPECT_NE(insideOrderStar(r, row.crossing + row.along),
                  insideOrderStar(r, row.crossing - row.along));
    }
}

// R is A-stable exactly when it has no pole with Re z <= 0 and its star
// has no point on the imaginary axis (Wanner, Hairer and Nørsett): the
// verdict, decided exactly from the tableau, against the star sampled on
// the axis up to |y| = 50, where every explicit method's |R(iy)| exceeds 1.
TEST(OrderStar, AStableExactlyWhereTheStarKeepsOffTheImaginaryAxis) {
    for (const Method& method : labCatalogue()) {
        const Tableau* tableau = tableauOf(method);
        if (!tableau) continue;
        SCOPED_TRACE(method.caption);
        const StabilityFunction r = stabilityFunctionOf(*tableau);
        bool onTheAxis = false;
        for (int k = -5000; k <= 5000; ++k) {
            onTheAxis = onTheAxis || insideOrderStar(r, {0, k / 100.0});
        }
        const StabilityVerdict verdict = stabilityVerdict(*tableau);
        EXPECT_EQ(verdict.aStable, !verdict.poleOnTheLeft && !onTheAxis);
    }
}

// Every bounded piece of the star or of the rest, and how many of each
// (tests/support/order_star_pieces.py counts them alike): Runge-Kutta 4's
// four unshaded ones round its zeros, the trapezoid's one of each round
// its pole and its zero. Each lies within the frame the plot first shows,
// a tenth more than orderStarReach each way.
TEST(OrderStar, BoundedFingersLieWithinTheFirstView) {
    const double shown = 1.1 * orderStarReach;
    const std::map<std::string_view, std::array<int, 2>> counted = {{"Runge-Kutta 4", {4, 0}},
                                                                    {"Trapezoid", {1, 1}}};
    for (const Method& method : labCatalogue()) {
        const Tableau* tableau = tableauOf(method);
        if (!tableau) continue;
        SCOPED_TRACE(method.caption);
        const BoundedPieces pieces = boundedPieces(stabilityFunctionOf(*tableau));
        for (const double reach : pieces.reach) EXPECT_LT(reach, shown);
        if (const auto known = counted.find(method.caption); known != counted.end()) {
            EXPECT_EQ(pieces.count, known->second);
        }
    }
}

// p from R's Taylor coefficients, as the script finds it: R(z) - e^z =
// C·z^(p+1) + …; Fehlberg's z⁶/2080 and Merson's z⁵/144 part from e^z's.
TEST(OrderStar, OrderOfAgreementWithTheExponential) {
    const struct {
        std::string_view method;
        int p;
    } rows[] = {
        {"Euler", 1},           {"Runge-Kutta 4", 4},        {"Backward Euler", 1},
        {"Trapezoid", 2},       {"Radau IIA 3", 3},          {"Gauss-Legendre 4", 4},
        {"Runge-Kutta-Fehlberg", 5}, {"Runge-Kutta-Merson", 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method);
        EXPECT_EQ(orderOfAgreement(rOf(row.method)), row.p);
    }
    // R = 1, no method: it agrees with e^z in no power of z.
    EXPECT_EQ(orderOfAgreement(StabilityFunction{}), 0);
}

TEST(OrderStar, NotesCountTheFingers) {
    EXPECT_EQ(orderStarNote("Runge-Kutta 4", rOf("Runge-Kutta 4")),
              "Order star of Runge-Kutta 4: R(z) = e^z + O(z^5), so 5 shaded fingers meet at z = "
              "0, between 5 unshaded ones.");
    EXPECT_EQ(orderStarNote("Trapezoid", rOf("Trapezoid")),
              "Order star of Trapezoid: R(z) = e^z + O(z^3), so 3 shaded fingers meet at z = 0, "
              "between 3 unshaded ones.");
    EXPECT_EQ(noOrderStarNote(), "With no single R(z), it has no order star to draw.");
}
