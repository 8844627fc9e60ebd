// A problem y' = f(x, y), y(x0) = y0 on [x0, x1]: the one type the lab, its
// studies, the problem files and the fuzz targets share, and the strict
// reading of the texts it is typed as.
#pragma once

#include "methods/methods.h"
#include "numerics/solution_paths.h"
#include "problem/expression.h"
#include "problem/system.h"
#include "problem/system_library.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The boxes a problem is typed into, named in messages as the lab names them.
enum class ProblemBox { name, f, exact, x0, y0, x1 };
std::string_view boxName(ProblemBox box);  // "name", "f(x, y)", "exact y(x)", "x0", "y0", "x1"

struct ComponentText {
    std::string slope, start, exact;  // yk', yk(x0), exact yk(x) ("" when none)

    bool operator==(const ComponentText&) const = default;
};

struct SecondOrderText {
    std::string f, y0, slope0, exact;  // y'', y(x0), y'(x0), exact y(x)

    bool operator==(const SecondOrderText&) const = default;
};

// The texts of a problem as typed, in any form: its name, x0 and x1; for a
// single equation (form equation) the f, exact and y0 boxes; for a system
// its components, for y'' = f their texts, and then f, exact and y0 are "".
// The parameters and the invariant belong to any form. An empty exact text
// means none is known.
struct ProblemText {
    std::string name, f, exact, x0, y0, x1;
    ProblemForm form = ProblemForm::equation;
    std::vector<ComponentText> components{};  // a system's, from 2 to maxComponents
    SecondOrderText secondOrder{};            // y'' = f's
    std::string parameters{}, invariant{};    // "" when none

    bool operator==(const ProblemText&) const = default;
};

// The state of a problem at x: its n components, one for a single
// equation.
using State = StateVector;


// The equation y' = f(x, y) or the system y' = F(x, y): the lesson's own,
// solved with the program's built-in slope f1 (a typed "-2*x - y" gives the
// same bits) and its exact solution in closed form, or one typed or chosen
// from the library, compiled, with its exact solution when one is given and
// passes the checks of checkExactSolution. A system of one component is the
// single equation. Copies share the compiled expressions, so a copy serves
// the same thread; Problem::clone() makes them anew for another.
struct Equation {
    std::string f;  // as typed, for notes and handouts; a system's slopes joined by "; "
    // The slopes, one a component (y'' = f as its system of two); null: the
    // lesson's own.
    std::shared_ptr<const SlopeExpression> slope;
    std::shared_ptr<const SolutionExpression> exact;  // null: none given or usable, or the lesson's
    std::shared_ptr<const InvariantExpression> invariant;  // null: none
    // Whether the invariant passed checkInvariant. One that did not is kept
    // for the Field page, which compares each run's I with the solution's.
    bool invariantHolds = false;
    std::string rewriting;  // how y'' = f became a system; empty otherwise

    bool lesson() const { return slope == nullptr; }
};

// The lesson's equation, dy/dx = -2x - y.
Equation lessonEquation();

// A problem ready to solve: y' = F(x, y), y(x0) = y0 on [x0, x1], y of
// one component or more.
struct Problem {
    std::string name;
    Equation equation = lessonEquation();
    double x0 = 0;
    State y0{0.0};
    double x1 = 0;

    std::size_t components() const { return y0.size(); }
    bool isSystem() const { return components() > 1; }

    // The slope the methods step: f1 for the lesson, else the compiled one
    // (valid while this problem lives). State = double for a single
    // equation only; State = StateVector for any number of components, a
    // single equation's with the bits of slopeOf<double>().
    template <class State>
    SlopeOf<State> slopeOf() const;
    // The exact solution through (x0, y0) as a function of x; empty when
    // none is known, and the studies compare with a reference instead.
    // State = double gives none for a system.
    template <class State>
    KnownStateOf<State> exactOf() const;
    // The invariant where the solutions keep it (checkInvariant); empty
    // where there is none, or the equation or system does not keep the one
    // typed.
    ConservedQuantity invariant() const;
    // The quantity typed as the invariant, kept or not; empty without one.
    ConservedQuantity typedInvariant() const;
    // The invariant as typed; empty when there is none.
    std::string invariantText() const {
        return equation.invariant ? equation.invariant->text() : std::string();
    }
    bool comparedWithReference() const {
        return !equation.lesson() && !equation.exact;
    }
    // Whether F looks at x: the phase plane has a field only where it does not.
    bool autonomous() const;
    // The equation as notes write it: "y' = y*(1 - y)", "y1' = y2; y2' = -y1",
    // "y'' = -sin(y)".
    std::string equationText() const { return isSystem() ? equation.f : "y' = " + equation.f; }
    // The same problem with compiled expressions of its own, for a study on
    // another thread: a compiled expression serves one thread at a time.
    // Cloning reads only the texts and the start, so a thread may clone a
    // problem whose expressions another thread is evaluating. Every study
    // clones the problem it is given before it evaluates anything.
    Problem clone() const;
};

template <>
SlopeOf<double> Problem::slopeOf<double>() const;
template <>
SlopeOf<StateVector> Problem::slopeOf<StateVector>() const;
template <>
KnownStateOf<double> Problem::exactOf<double>() const;
template <>
KnownStateOf<StateVector> Problem::exactOf<StateVector>() const;

// Whether two problems pose the same solutions: the same start and end, and
// the lesson's equation or slopes, parameters and exact solution from the
// same texts. Texts, not the compiled expressions: the lab compiles its
// boxes anew whenever one loses the focus, and parameters change the slopes
// without changing their texts. The name and the invariant, which neither
// the runs nor the known solution read, are not compared.
bool sameProblem(const Problem& a, const Problem& b);

// A library system as its boxes hold it, with its name, x0 and x1.
ProblemText problemText(const LibrarySystem& entry);

// The start boxes of a system or y'' = f, in component order.
std::vector<std::string> startTexts(const ProblemText& text);
std::vector<std::string> startBoxNames(const ProblemText& text);

// What keeps a problem's texts from making an equation, as the lab reads
// them into its boxes: each error's sentence, naming its box; none when
// they make one. The lab opens no problem file that gives any, so that a
// refused file changes nothing.
std::vector<std::string> equationFaults(const ProblemText& text);

// The equation as its boxes read it, without the faults of the number
// boxes, which the caller reads.
struct EquationReading {
    std::optional<Equation> equation;  // none when a slope or the parameters cannot be used
    std::vector<FormulaError> errors;  // then why, each naming its box
    // A single equation's typed exact solution that does not compile, which
    // its callers word as they go on without it.
    std::optional<FormulaError> exactError;
    // What is typed but not used, in sentences: an exact solution or an
    // invariant of a system or y'' = f that cannot be used, and how y'' = f
    // became a system.
    std::vector<FormulaError> notes;
};
// The single equation's two boxes: the lesson's equation when both texts
// are the lesson's (blanks around them aside); otherwise f compiled, and the
// exact solution through (x0, y0) when one is typed and compiles, not yet
// checked (see keepExactIfItHolds); an invariant typed beside them is added
// by addInvariant.
EquationReading readEquation(std::string_view f, std::string_view exact, double x0, double y0);
// A system or y'' = f as its boxes hold it, with parameters and an
// invariant, through the start (x0, y0) read by the caller (one number a
// component), its exact solution checked on [x0, x1].
EquationReading readEquation(const ProblemText& text, double x0, const StateVector& y0,
                             double x1);

// Adds the typed invariant, in x and y (x and y1 … yn for a system) and
// the parameters, to an equation its boxes gave, once its exact solution is
// checked: the Field page compares each run's I with that solution's, or a
// reference's. One that fails checkInvariant (the lesson's f compiled for
// the check) is kept all the same (see Equation::invariantHolds), with a
// note; one that does not compile is left out, with a note. Nothing for an
// empty text.
void addInvariant(Equation& equation, std::string_view typed, const Parameters& parameters,
                  double x0, const StateVector& y0, double x1, std::vector<FormulaError>& notes);

// Leaves out an exact solution that fails checkExactSolution over
// [x0, x1], and says why; nothing when it holds or there is none to check.
std::optional<std::string> keepExactIfItHolds(Equation& equation, double x0, double y0, double x1);

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
// read strictly, as readLabNumber reads the lab's boxes, e.g.
// `x0: "0,5" is not a number: use a point, not a comma, for decimals`.
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
//   The exact solution does not satisfy the equation: y' - f(x, y) is 0.32 at x = 0.875. It is not
//   used.
inline constexpr double startTolerance = 1e-8;
inline constexpr double residualTolerance = 1e-6;
// A system's components are checked each in its names: "not y2(x0) = 1",
// "d/dx exact y2(x) - y2' is 0.32 at x = 0.875".
std::optional<std::string> checkExactSolution(const SlopeExpression& F,
                                              const SolutionExpression& y, double x0,
                                              const StateVector& y0, double x1);

// A typed invariant is checked, not believed. Along a solution
// dI/dx = ∂I/∂x + ∇I·F(x, y), and the box asks for a quantity the solutions
// (all of them, not only the one through the start) keep: so it must vanish
// at every state near the start, at every x. It is checked at the start
// (x0, y0) and at eight points near it, point j = 1 … 8 at
// x0 + (x1 - x0)·j/8 with component k moved from y0_k by
// max(1, |y0_k|)/4 times a fixed offset in [-0.9, 0.9]. The start alone
// could hide a loss (a damped pendulum let go at rest loses energy at the
// rate c·y2², which is 0 there); the offsets differ within each point, so
// that no axis or diagonal on which the loss vanishes hides it; and no
// solution is computed while the boxes are read. A point where I or F is
// not finite is passed over: I may be defined on part of the states only.
// Each partial derivative is the central difference checkExactSolution
// takes, with its step and its allowance 2|D(2d) - D(d)| for truncation;
// dI/dx must be within residualTolerance of the sum of the sizes of its
// terms |∂I/∂x| + Σ|∂I/∂y_k·F_k|, plus the allowances times |F_k|. Nothing
// when it holds, else the sentence for the notes, naming the solution
// ("the exact solution", "the reference solution") the Field page compares
// each run's I with instead.
std::optional<std::string> checkInvariant(const SlopeExpression& F,
                                          const InvariantExpression& I, double x0,
                                          const StateVector& y0, double x1,
                                          std::string_view comparedWith);

}  // namespace pelorin
