// The linear multistep formulas of the catalogue, in whole numbers.
#pragma once

#include "methods/multistep.h"

namespace pelorin {

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

inline constexpr Multistep adamsBashforth2Method{&adamsBashforth2};
inline constexpr Multistep adamsBashforth3Method{&adamsBashforth3};
inline constexpr Multistep adamsBashforth4Method{&adamsBashforth4};
inline constexpr Multistep adamsMoulton3Method{&adamsMoulton3};
inline constexpr Multistep adamsPredictorCorrector4Method{&adamsMoulton3, &adamsBashforth4};
inline constexpr Multistep bdf2Method{&bdf2};
inline constexpr Multistep bdf3Method{&bdf3};
inline constexpr Multistep bdf4Method{&bdf4};


// The method the "Own multistep method" entry stands for until a teacher
// types another: y_{n+2} + 4y_{n+1} - 5y_n = h(4f_{n+1} + 2f_n), of order 3
// and not zero-stable, the classic warning that consistency alone does not
// make a method converge.
inline constexpr MultistepFormula classicUnstableFormula{2, {-5, 4, 1}, {2, 4, 0}};
inline constexpr Multistep classicUnstableMethod{&classicUnstableFormula};

}  // namespace pelorin
