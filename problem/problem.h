// A problem y' = f(x, y), y(x0) = y0 on [x0, x1] as the user types it, the
// same compiled for the methods, and runs of a method over it that stop at
// the first number that is not finite and say where, in words.
#pragma once

#include "methods/methods.h"
#include "problem/expression.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The boxes a problem is typed into, named in messages as the lab names them.
enum class ProblemBox { name, f, exact, x0, y0, x1 };
std::string_view boxName(ProblemBox box);  // "name", "f(x, y)", "exact y(x)", "x0", "y0", "x1"

// The texts as typed. An empty exact text means none is known.
struct ProblemText {
    std::string name, f, exact, x0, y0, x1;
};

// A problem ready to solve. The exact solution, when there is one, passed the
// checks of checkExactSolution and is bound to (x0, y0). Like the expressions
// it holds, a problem serves one thread at a time; clone() gives another.
struct Problem {
    std::string name;
    SlopeExpression slope;
    std::optional<SolutionExpression> exact;
    double x0 = 0, y0 = 0, x1 = 0;

    Problem clone() const;
};

// A message about one box; `character` (1-based, 0 for the whole text)
// places the cursor where a formula went wrong.
struct ProblemMessage {
    ProblemBox box = ProblemBox::f;
    std::string text;
    std::size_t character = 0;
};

struct ProblemCompilation {
    std::optional<Problem> problem;       // none when there are errors
    std::vector<ProblemMessage> errors;   // what cannot be used, each naming its box
    std::vector<ProblemMessage> notes;    // what was typed but is not used
};

// Formulas are compiled as compileSlope and compileSolution do. Numbers are
// read strictly: a text counts only when it is wholly a number (blanks
// around it, "-", "+" or "−" before it, a point for decimals, an exponent),
// e.g. `x0: "0,5" is not a number: use a point, not a comma, for decimals`.
// An exact solution that does not compile or fails its checks is left out
// with a note: the problem is then one without an exact solution.
ProblemCompilation compileProblem(const ProblemText& text);

// A typed exact solution is checked, not believed:
// - at x0 it must give y0 within startTolerance·max(1, |x0|, |y0|): rounding
//   in a formula of moderate size stays far below, and a wrong formula (a
//   sign, a factor, a constant) misses by far more;
// - at the interior points x0 + (x1 - x0)·k/8, k = 1, 3, 5, 7, the residual
//   y'(x) - f(x, y(x)) must be within residualTolerance·max(1, |y|, |f|)
//   plus the difference quotient's own error. y' is the central difference
//   D(d) = (y(x + d) - y(x - d))/2d with d = ∛ε·max(1, |x|), the step that
//   balances its truncation error (d²/6·|y'''|) against rounding (ε|y|/d):
//   about 4E-11 of the solution's size each. Where y''' is large (a steep
//   transient) the truncation grows; D(2d) - D(d) is three times it, so
//   twice that difference is allowed on top.
// Nothing when the solution passes, else why not, e.g.
//   The exact solution gives 0.5 at x0, not y0 = 1: it is not used.
//   The exact solution does not satisfy the equation: y' - f(x, y) is 0.32 at x = 0.875. It is not used.
inline constexpr double startTolerance = 1e-8;
inline constexpr double residualTolerance = 1e-6;
std::optional<std::string> checkExactSolution(Slope f, const SolutionExpression& y, double x0,
                                              double y0, double x1);

// A method's run over the problem in `steps` steps of h = (x1 - x0)/steps,
// from the abscissae x_i = x0 + i·h computed afresh (the last is x1), as the
// convergence study runs. It stops at the first slope or value that is not
// a finite number, so that its values are all finite, and says so:
//   Runge-Kutta 4 stopped at step 12: the slope is not a finite number at (x, y) = (0.5, 1E+200).
struct ProblemRun {
    std::vector<double> x, y;  // the start and every step completed
    std::string note;          // why the run stopped before x1; empty when it reached x1
};
ProblemRun runProblem(const Method& method, const Problem& problem, long steps);

// The same run keeping only its value at x1.
struct EndValue {
    std::optional<double> y;  // none when the run stopped before x1
    std::string note;
};
EndValue runProblemToEnd(const Method& method, const Problem& problem, long steps);

}  // namespace pelorin
