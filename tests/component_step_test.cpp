// The seven step procedures on systems of equations: a system of one
// component gives the scalar procedures' bits, and systems of two the states
// worked out in exact arithmetic by tests/support/system_values.py.
#include "base/conversions.h"
#include "methods/methods.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

using namespace pelorin;

namespace {

// A scalar slope as a system of one component.
struct OneComponent {
    Slope scalar;
    StateVector operator()(double x, const StateVector& y) const { return {scalar(x, y[0])}; }
};

// The components after two steps of h = 1/2 from x = 0, as the lab shows them.
std::vector<std::string> twoHalfStepTexts(const Method& m, StateVector y, SlopeOf<StateVector> f) {
    double x = 0;
    for (int i = 0; i < 2; ++i) {
        y = explicitRungeKutta(m)->stepSystem(x, y, 0.5, f);
        x = x + 0.5;
    }
    std::vector<std::string> texts;
    for (double component : y) texts.push_back(numberToText(component));
    return texts;
}

using Rows = std::vector<std::pair<std::string_view, std::vector<std::string>>>;

void expectTwoHalfSteps(const Rows& rows, const StateVector& start, SlopeOf<StateVector> f) {
    ASSERT_EQ(rows.size(), methodCatalogue.size());
    for (const auto& [caption, texts] : rows) {
        SCOPED_TRACE(std::string(caption));
        EXPECT_EQ(twoHalfStepTexts(methodByCaption(caption), start, f), texts);
    }
}

// A slope kept by reference must outlive the step: a temporary is refused
// when the code is compiled, and a scalar slope is no system's.
struct Oscillator {
    StateVector operator()(double, const StateVector& y) const { return {y[1], -y[0]}; }
};
static_assert(std::is_constructible_v<SlopeOf<StateVector>, const Oscillator&>);
static_assert(!std::is_constructible_v<SlopeOf<StateVector>, Oscillator&&>);
static_assert(!std::is_constructible_v<SlopeOf<StateVector>, decltype(f1)*>);

}  // namespace

// Each method on equations of several kinds, step after step: a system of one
// component must give the scalar procedure's bits, so that the scalar lab
// and the main window keep their digits as the one-component case.
TEST(ComponentSteps, OneComponentGivesTheScalarProceduresBits) {
    struct Equation {
        std::string_view name;
        Slope f;
        double y0, h;
    };
    const std::vector<Equation> equations{
        {"-2x - y", f1, -1, 0.1},
        {"y", [](double, double y) { return y; }, 1, 0.1},
        {"-2xy", [](double x, double y) { return -2 * x * y; }, 1, 0.1},
        {"y(1 - y)", [](double, double y) { return y * (1 - y); }, 0.1, 0.25},
        {"x^2 + y^2", [](double x, double y) { return x * x + y * y; }, 0, 0.05},
    };
    for (const Method& m : methodCatalogue) {
        for (const Equation& e : equations) {
            SCOPED_TRACE(std::string(m.caption) + " on y' = " + std::string(e.name));
            const OneComponent system{e.f};
            double x = 0, y = e.y0;
            StateVector ys{e.y0};
            for (int i = 1; i <= 30; ++i) {
                y = explicitRungeKutta(m)->step(x, y, e.h, e.f);
                ys = explicitRungeKutta(m)->stepSystem(x, ys, e.h, system);
                x = x + e.h;
                ASSERT_EQ(ys.size(), 1u);
                ASSERT_EQ(std::bit_cast<std::uint64_t>(ys[0]), std::bit_cast<std::uint64_t>(y))
                    << "step " << i << ": " << ys[0] << " against " << y;
            }
        }
    }
}

// The harmonic oscillator y1' = y2, y2' = -y1 from (2, 0), whose solution is
// (2cos x, -2sin x). On this linear system the two Euler variants agree, and
// Runge-Kutta 4 and Gill.
TEST(ComponentSteps, HarmonicOscillatorTwoStepsOfOneHalf) {
    const Rows rows{
        {"Euler", {"1.5", "-2"}},
        {"Euler (End points)", {"1.03125", "-1.75"}},
        {"Euler (Mid point)", {"1.03125", "-1.75"}},
        {"Runge-Kutta 4", {"1.0811767578125", "-1.68207465277778"}},
        {"Runge-Kutta-Fehlberg", {"1.08065112002973", "-1.68297441792284"}},
        {"Runge-Kutta-Merson", {"1.08076072033541", "-1.68283646195023"}},
        {"Runge-Kutta-Gill", {"1.0811767578125", "-1.68207465277778"}},
    };
    const Oscillator oscillator;
    expectTwoHalfSteps(rows, {2, 0}, oscillator);
}

// Components whose slopes differ in form, y1' = y1·y2, y2' = x - y1, from
// (2, -1): a product, the abscissa of each stage and a component read in
// the other's place all show, and every method gives its own state.
TEST(ComponentSteps, ComponentsOfDifferentFormsTwoStepsOfOneHalf) {
    const Rows rows{
        {"Euler", {"0", "-2.25"}},
        {"Euler (End points)", {"0.505859375", "-1.546875"}},
        {"Euler (Mid point)", {"0.42852783203125", "-1.509765625"}},
        {"Runge-Kutta 4", {"0.442572599528066", "-1.58598773896089"}},
        {"Runge-Kutta-Fehlberg", {"0.441883067527517", "-1.58478352482805"}},
        {"Runge-Kutta-Merson", {"0.440959985563278", "-1.58650532481988"}},
        {"Runge-Kutta-Gill", {"0.441740495890742", "-1.58592357770194"}},
    };
    expectTwoHalfSteps(rows, {2, -1}, [](double x, const StateVector& y) -> StateVector {
        return {y[0] * y[1], x - y[0]};
    });
}

// A typed system may be costly to evaluate: one call per stage, as for one
// equation.
TEST(ComponentSteps, EachStageEvaluatesTheSystemOnce) {
    struct Counting {
        mutable int calls = 0;
        StateVector operator()(double x, const StateVector& y) const {
            ++calls;
            return Oscillator{}(x, y);
        }
    };
    for (const Method& m : methodCatalogue) {
        SCOPED_TRACE(std::string(m.caption));
        const Counting counting;
        explicitRungeKutta(m)->stepSystem(0, {1, 0}, 0.5, counting);
        EXPECT_EQ(counting.calls, tableauOf(m)->stages);
    }
}

// A state holds at most six components, and states of different sizes never
// combine: a slope that gives three components for a state of two stops
// every method instead of stepping with a component it does not have.
TEST(StateVector, HoldsSixComponentsAndRefusesMixedSizes) {
    EXPECT_EQ(StateVector(6).size(), 6u);
    EXPECT_EQ(StateVector({1, 2, 3, 4, 5, 6}).size(), 6u);
    EXPECT_THROW(StateVector(7), std::length_error);
    EXPECT_THROW(StateVector({1, 2, 3, 4, 5, 6, 7}), std::length_error);
    const SlopeOf<StateVector> threeForTwo = [](double, const StateVector& y) -> StateVector {
        return {y[1], -y[0], 0};
    };
    for (const Method& m : methodCatalogue) {
        SCOPED_TRACE(std::string(m.caption));
        EXPECT_THROW(explicitRungeKutta(m)->stepSystem(0, {1, 0}, 0.5, threeForTwo),
                     std::invalid_argument);
    }
}
