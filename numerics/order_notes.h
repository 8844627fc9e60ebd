// What a convergence study's orders teach beyond its table: that on a stiff
// problem an implicit Runge-Kutta method may show its stage order rather
// than its order (order reduction), and that methods of one order part by
// their error constants.
#pragma once

#include "numerics/convergence.h"

#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// A step counts as stiff here where h·|λ| is at least this: the stiff term
// then dominates the step instead of being a small correction to it.
inline constexpr double stiffStep = 10;

// The implicit Runge-Kutta methods whose observed orders, over three or more
// runs in a row with h·|λ| ≥ stiffStep, lie within half an order of their
// stage order while their order is higher, said in one sentence with why;
// none when no method shows it.
std::optional<std::string> orderReductionNote(const ConvergenceStudy& study, Stiffness stiffness);

// For each order p that two or more studied Runge-Kutta methods show at a
// common number of steps N (a settled order within 0.3 of p, an error far
// above rounding's), the ratio of their errors at the N where most of them
// do, the largest such, beside the ratio of their principal error
// constants, both to the first of them.
std::vector<std::string> errorConstantNotes(const ConvergenceStudy& study);

// Both, as a study's notes hold them: order reduction first.
std::vector<std::string> orderNotes(const ConvergenceStudy& study);

}  // namespace pelorin
