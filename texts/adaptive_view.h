// The texts of the Method lab's Adaptive page: every attempted step as a
// table, the sentence that names the controller and its rule, and what the
// tolerance sweep says about when adapting the steps pays.
#pragma once

#include "base/text_table.h"
#include "numerics/adaptive.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pelorin {

// A table of a hundred thousand rows takes the window seconds to fill and
// no one reads it; five hundred fill within a frame or two. The page lists
// the first attempts and says how many more there were.
inline constexpr std::size_t maxListedAttempts = 500;

// One row per attempt, at most maxRows: x and y with the digits the results
// list writes, sizes with three significant digits, a dash where a true
// error cannot be measured, "below 1.19E-08" where it lies below what the
// reference the run was measured against can measure (measurableFloor), and
// "too large" where a value is not finite:
//   x | h | y at x + h | estimate | tolerance | estimate/tolerance | step |
//   true local error | true error of y
TextTable adaptiveStepTable(const AdaptiveRun& run, std::size_t maxRows = maxListedAttempts);

// A system's attempts: its components at x + h, err in the scaled norm, and
// the true errors in the maximum norm:
//   x | h | y1 at x + h | ... | yn at x + h | err (RMS of estimate/tolerance) |
//   step | true local error | true error of y
TextTable adaptiveStepTable(const AdaptiveRunOf<StateVector>& run,
                            std::size_t maxRows = maxListedAttempts);

// Why the table stops before the run does; empty when it lists every attempt.
template <class State>
std::string unlistedAttemptsNote(const AdaptiveRunOf<State>& run,
                                 std::size_t maxRows = maxListedAttempts) {
    if (run.attempts.size() <= maxRows) return {};
    return "The table lists the first " + std::to_string(maxRows) + " of the run's " +
           std::to_string(run.attempts.size()) + " attempted steps.";
}

// The controller by name and its rule with these settings, for the pair of
// `method` (the order of its lower solution in the exponent), e.g.
// "Hairer, Nørsett and Wanner's step-size controller, as in their codes: ..."
// A system's tolerance is each component's, and its err their root mean
// square.
std::string controllerText(const Method& method, const ControllerSettings& settings,
                           std::size_t components = 1);

// For each embedded pair: its most accurate adaptive run against the
// cheapest fixed-step run of the same method that came as close, in words,
// saying which cost fewer slope evaluations and why that may be; then, with
// the implicit methods and rosenbrock4 on the sweep, stiffWorkNotes. Errors
// below what the reference can measure are said to be so, not stated, and
// cannot be told apart: the most accurate run is then the cheapest of them.
std::vector<std::string> workPrecisionNotes(const WorkPrecision& sweep);

// The implicit side pays where it reaches an error with at most this part
// of the slope evaluations the cheapest explicit run as close needed.
inline constexpr double implicitAdvantage = 10;
// Only errors below this part of the solution's size are compared.
inline constexpr double comparableError = 1e-2;

// How the implicit methods' and rosenbrock4's cost is counted; each one's
// most accurate run with its counts, e.g. "Radau IIA 3 with N = 64 fixed
// steps reached an error of 2.15E-10 at x1 with 1408 slope evaluations, the
// Jacobians' included, 256 Jacobians and 128 linear solves, each after its
// own SVD."; and whether, on these numbers, one of them reached an error at
// 1/implicitAdvantage of the cost (or less) of every explicit run that came
// as close, the explicit ones being held short by stability. Errors below
// what the reference can measure, or of comparableError of the solution's
// size and more, are not compared. None without those series.
std::vector<std::string> stiffWorkNotes(const WorkPrecision& sweep);

}  // namespace pelorin
