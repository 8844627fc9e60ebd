// Systems y' = F(x, y) of 1 to 6 components typed by the user, one formula a
// component, with named parameters that every formula of the problem may use,
// and a second-order equation y'' = f(x, y, y') read as a system of two.
//
// The names each formula may use, besides numbers, pi, e and the parameters:
//   the slope of component k, box "y2'"   x, y1 ... yn (and y when n = 1)
//   its exact solution, box "exact y2(x)" x, the start x0 and y1_0 ... yn_0
//                                         (x0 and y0 when n = 1)
//   y'' = f, box "y''"                    x, y and yp, or y' for yp
//   a conserved quantity, box "Invariant" x, y1 ... yn (and y when n = 1)
//   a parameter's value                   the parameters given before it
// A system of one component is the single equation: its boxes are called
// "f(x, y)" and "exact y(x)" and its texts read and are refused as there.
//
// The compiled expressions are those of expression.h: every operation as
// written, one compiled object for one thread at a time, another made by
// clone().
#pragma once

#include "methods/state_vector.h"
#include "problem/expression.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

inline constexpr std::string_view parametersBoxName = "Parameters";
inline constexpr std::string_view secondOrderBoxName = "y''";
inline constexpr std::string_view invariantBoxName = "Invariant";
// The system as a whole, when the number of its components is refused.
inline constexpr std::string_view systemBoxName = "y'";

// The form a problem is typed in: a single equation's boxes f(x, y) and
// exact y(x), a system's components one by one, or y'' = f alone.
enum class ProblemForm { equation, system, secondOrder };

// Parameters as typed, "a = 2/3, b = 4/3": each value a formula of numbers
// and the parameters before it, evaluated once as written.
struct ParametersReading {
    std::optional<Parameters> parameters;
    FormulaError error;  // when there are none; its message names the box
};
// An empty text (or only blanks) gives no parameters.
ParametersReading readParameters(std::string_view text);

// The boxes of component k (1-based) of n, as messages name them.
std::string componentSlopeBoxName(std::size_t k, std::size_t n);
std::string componentSolutionBoxName(std::size_t k, std::size_t n);

// The split of n components into positions and momenta, where component k's
// slope reads component j when reads[k][j] (see ComponentSplit): the first
// component and every one not reached from another is a position. Where
// there is none, a sentence says why: "y2' reads y2", or for a ring of
// slopes of odd length, that no split lets every slope read only the
// other part.
SplitReading splitComponents(const std::vector<std::vector<bool>>& reads);
// Which are which, as a note says it: "the positions are y1 and y2 and the
// momenta y3 and y4"; for one equation "y is a position".
std::string splitText(const ComponentSplit& split);

// y'' = f(x, y, y') as the system y1 = y, y2 = y': y1' = y2, y2' = f(x, y1, y2).
struct SecondOrderCompilation {
    std::optional<SlopeExpression> slope;
    FormulaError error;     // when there is no system
    std::string rewriting;  // what was done, in one sentence, for the lab's notes
};
SecondOrderCompilation compileSecondOrder(std::string_view f, const Parameters& parameters);

// The first component whose slope is not a finite number at (x, y), said in
// words with the point; nothing when every component's is finite.
std::optional<std::string> nonFiniteSlope(const SlopeExpression& slope, double x,
                                          std::span<const double> y);

}  // namespace pelorin
