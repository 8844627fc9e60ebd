// Linear multistep methods: a step uses the values and slopes at the k points
// before it,
//   a_k·y_{n+k} + … + a_0·y_n = h·(b_k·f_{n+k} + … + b_0·f_n),
// written with whole numbers a_j, b_j (every fraction of the textbook's
// formula times one common denominator), so that the formulas are exact and
// their order conditions can be checked in whole numbers. b_k = 0 makes the
// method explicit; otherwise y_{n+k} is solved for by Newton's method.
#pragma once

#include <array>

namespace pelorin {

// At most this many steps: the lab takes a method of up to six.
inline constexpr int maxMultistepSteps = 6;

struct MultistepFormula {
    int steps = 1;                                     // k
    std::array<long long, maxMultistepSteps + 1> a{};  // a_0 … a_k, a_k != 0
    std::array<long long, maxMultistepSteps + 1> b{};  // b_0 … b_k

    constexpr bool isImplicit() const { return b[static_cast<std::size_t>(steps)] != 0; }
    bool operator==(const MultistepFormula&) const = default;
};

// Adams-Bashforth: y_{n+k} = y_{n+k-1} + h·Σ b_j f_{n+j}, the integral of
// the polynomial through the last k slopes.
inline constexpr MultistepFormula adamsBashforth2{2, {0, -2, 2}, {-1, 3, 0}};
inline constexpr MultistepFormula adamsBashforth3{3, {0, 0, -12, 12}, {5, -16, 23, 0}};
inline constexpr MultistepFormula adamsBashforth4{4, {0, 0, 0, -24, 24}, {-9, 37, -59, 55, 0}};

// Adams-Moulton with three steps: the polynomial through the last three
// slopes and the new one; order 4. Numbered by its steps, as every method
// here is.
inline constexpr MultistepFormula adamsMoulton3{3, {0, 0, -24, 24}, {1, -5, 19, 9}};

// Backward differentiation: the derivative of the polynomial through the new
// value and the last k values equals the new slope.
inline constexpr MultistepFormula bdf2{2, {1, -4, 3}, {0, 0, 2}};
inline constexpr MultistepFormula bdf3{3, {-2, 9, -18, 11}, {0, 0, 0, 6}};
inline constexpr MultistepFormula bdf4{4, {3, -16, 36, -48, 25}, {0, 0, 0, 0, 12}};

// A method of the catalogue that steps with a formula: the formula, and for
// a predictor-corrector pair the explicit predictor whose value the
// corrector's slope f_{n+k} is evaluated at, once (PECE).
struct Multistep {
    const MultistepFormula* formula = nullptr;
    const MultistepFormula* predictor = nullptr;

    // The values before a step: the most steps either formula looks back.
    constexpr int steps() const {
        return predictor && predictor->steps > formula->steps ? predictor->steps : formula->steps;
    }
};

inline constexpr Multistep adamsBashforth2Method{&adamsBashforth2};
inline constexpr Multistep adamsBashforth3Method{&adamsBashforth3};
inline constexpr Multistep adamsBashforth4Method{&adamsBashforth4};
inline constexpr Multistep adamsMoulton3Method{&adamsMoulton3};
inline constexpr Multistep adamsPredictorCorrector4Method{&adamsMoulton3, &adamsBashforth4};
inline constexpr Multistep bdf2Method{&bdf2};
inline constexpr Multistep bdf3Method{&bdf3};
inline constexpr Multistep bdf4Method{&bdf4};

}  // namespace pelorin
