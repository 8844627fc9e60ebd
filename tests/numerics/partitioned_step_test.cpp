// Partitioned methods on systems that split into positions and momenta: one
// step worked by hand, their orders and symplecticity from the coefficients,
// their stability on the oscillator, and a slope that does not split.
#include "numerics/partitioned_step.h"

#include "numerics/method_properties.h"
#include "numerics/state_operations.h"
#include "tests/support/oscillators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace pelorin;

namespace {

const Method& symplecticEuler() { return methodByCaption("Symplectic Euler"); }
const Method& stormerVerlet() { return methodByCaption("St\u00f6rmer-Verlet"); }

}  // namespace

// From (q, p) = (1, 0) on q' = p, p' = -q with h = 0.1, by hand:
//   Symplectic Euler: p1 = 0 - 0.1·1 = -0.1, q1 = 1 + 0.1·(-0.1) = 0.99;
//   Störmer-Verlet: p½ = 0 - 0.05·1 = -0.05, q1 = 1 + 0.1·(-0.05) = 0.995,
//   p1 = -0.05 - 0.05·0.995 = -0.09975.
// Each is a few roundings from the decimal.
TEST(PartitionedStep, OneStepOnTheOscillatorAsWorkedByHand) {
    const struct {
        const Method& method;
        double q1, p1;
    } rows[]{{symplecticEuler(), 0.99, -0.1}, {stormerVerlet(), 0.995, -0.09975}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method.caption);
        const StateVector y1 =
            methodStep(row.method, 0, {1, 0}, 0.1, pelorin::testing::splitOscillator());
        EXPECT_NEAR(y1[0], row.q1, 1e-16);
        EXPECT_NEAR(y1[1], row.p1, 1e-16);
    }
}

// Which part is which follows the split, not the components' order: with
// the momentum first, y1' = -y2 and y2' = y1 step as the oscillator above.
TEST(PartitionedStep, TheSplitSaysWhichComponentsAreMomenta) {
    static const SplitReading momentumFirst{ComponentSplit{{true, false}}, {}};
    const auto swapped = [](double, const StateVector& y) { return StateVector{-y[1], y[0]}; };
    const SlopeOf<StateVector> F = SlopeOf<StateVector>(swapped).withSplit(&momentumFirst);
    const StateVector y1 = methodStep(stormerVerlet(), 0, {0, 1}, 0.1, F);
    EXPECT_NEAR(y1[0], -0.09975, 1e-16);
    EXPECT_NEAR(y1[1], 0.995, 1e-16);
}

// Orders 1 and 2 from the conditions over two-coloured trees, symplectic by
// b_i·â_ij + b̂_j·a_ji = b_i·b̂_j; on the oscillator the step matrix has trace
// 2 - (hω)² and determinant 1 for both, stable up to hω = 2.
TEST(PartitionedStep, OrdersSymplecticityAndStabilityFromTheCoefficients) {
    const struct {
        const Method& method;
        int order;
    } rows[]{{symplecticEuler(), 1}, {stormerVerlet(), 2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.method.caption);
        EXPECT_EQ(orderOf(row.method), row.order);
        EXPECT_TRUE(isSymplectic(row.method));
        EXPECT_FALSE(isImplicit(row.method));
        EXPECT_EQ(oscillatorLimitText(*partitionedRungeKutta(row.method)), "h\u00b7\u03c9 < 2");
    }
    // Two explicit Euler tableaus make a pair of order 1 that is not symplectic:
    // its step matrix I + hA has eigenvalues 1 ± ih, outside the circle for every h.
    const PartitionedRungeKutta eulerTwice{&eulerTableau, &eulerTableau};
    EXPECT_EQ(partitionedOrder(eulerTwice), 1);
    EXPECT_FALSE(isSymplectic(Method{"Euler twice", "", "", eulerTwice, ""}));
    EXPECT_EQ(oscillatorLimitText(eulerTwice), "no h\u00b7\u03c9 > 0");
}

// A slope that does not split is refused, and a page asks first.
TEST(PartitionedStep, ASlopeThatDoesNotSplitIsRefused) {
    const SlopeOf<StateVector> plain(pelorin::testing::oscillator);
    EXPECT_FALSE(appliesTo(stormerVerlet(), plain));
    EXPECT_TRUE(appliesTo(methodByCaption("Runge-Kutta 4"), plain));
    EXPECT_THROW(methodStep(stormerVerlet(), 0, {1, 0}, 0.1, plain), DoesNotSplit);
    // One equation that does not read y is one position: y' = cos x.
    static const SplitReading onePosition{ComponentSplit{{false}}, {}};
    const Slope quadrature =
        Slope([](double x, double) { return std::cos(x); }).withSplit(&onePosition);
    // The trapezoid rule over [0, 0.5]: 0.25·(1 + cos 0.5).
    EXPECT_NEAR(methodStep(stormerVerlet(), 0, 0.0, 0.5, quadrature), 0.25 * (1 + std::cos(0.5)),
                1e-16);
}
