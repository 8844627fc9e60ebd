// Formulas typed by the user, compiled once and evaluated many times: the
// slope F(x, y) of a problem, one formula a component (f(x, y) for a single
// equation), its exact solution through the start and its invariant.
//
// A formula is written as a calculator reads it: numbers with a point
// ("0.5", "1.5E-3"), + - * / ^ (power), parentheses, the constants pi and e,
// the functions sin cos tan asin acos atan sinh cosh tanh asinh acosh atanh
// exp ln log (both natural) log10 log2 sqrt abs sign rint, atan2(y, x),
// min max sum avg of several values, comparisons (< <= > >= == !=), && ||
// and condition ? value : other value. The typographic minus "−" (U+2212)
// reads as "-", and "×" (U+00D7) and "·" (U+00B7) read as "*", as they come
// when a formula is pasted from a document.
#pragma once

#include "methods/methods.h"

#include "methods/state_vector.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The longest formula a box takes, in characters: a longer text is refused
// before it is parsed, which also bounds how deeply it can nest.
inline constexpr std::size_t maxFormulaCharacters = 1000;

// The boxes formulas are typed into, as messages name them.
inline constexpr std::string_view slopeBoxName = "f(x, y)";
inline constexpr std::string_view solutionBoxName = "exact y(x)";

// Why a text is not a formula, in words that name the box and the place:
//   f(x, y): ")" at character 7 has no "(" before it
//   f(x, y): "t" at character 5 is not known here: f may use x and y
struct FormulaError {
    std::string message;
    std::size_t character = 0;  // 1-based, counted in the text as typed; 0 for the whole text
};

// A name of a problem and its value, "a = 2/3", which every formula of the
// problem may use (see readParameters in system.h).
struct Parameter {
    std::string name;
    double value = 0;
};
struct Parameters {
    std::string text;  // as typed
    std::vector<Parameter> values;
};

inline constexpr std::size_t maxComponents = 6;

struct CompiledFormulas;  // the parsers and the values their names are bound to
struct FormulaCompiler;

// What a single equation's split is where its slope reads y: none.
inline const SplitReading readsY{std::nullopt, "y' reads y"};

// The slope F(x, y) of n components as typed, one formula a component: the
// single equation y' = f(x, y) is the system of one. Callable as a
// pelorin::Slope when n = 1, so that the methods run on it as on f1, and as a
// SlopeOf<StateVector> for any n. Evaluation writes x and y into the values
// the parsers read, then each component's slope into `slope`; y and slope
// hold size() values and may be the same array. One object serves one thread
// at a time. Moving keeps the binding; copies are made by clone(), which
// reads only the texts and the parameters, so it may run on another thread
// while this one is evaluated. A moved-from expression may only be assigned
// to or destroyed.
class SlopeExpression {
public:
    SlopeExpression(SlopeExpression&&) noexcept;
    SlopeExpression& operator=(SlopeExpression&&) noexcept;
    ~SlopeExpression();

    std::size_t size() const;
    // f(x, y) of a single equation (size() = 1).
    double operator()(double x, double y) const;
    // F(x, y) as the methods step it; for one component, the bits of f(x, y).
    StateVector operator()(double x, const StateVector& y) const;
    void operator()(double x, std::span<const double> y, std::span<double> slope) const;
    SlopeExpression clone() const;
    // The components' formulas as typed (for y'' = f: "y2" and f).
    const std::vector<std::string>& texts() const;
    const Parameters& parameters() const;
    // Whether some component's slope reads x: an autonomous system's does not.
    bool usesX() const;
    // The split of the components into positions and momenta
    // (splitComponents): a single slope that does not read y is one position
    // and no momentum, which a partitioned method steps.
    const SplitReading* splitReading() const;

private:
    friend struct FormulaCompiler;
    explicit SlopeExpression(std::unique_ptr<CompiledFormulas> formulas);
    std::unique_ptr<CompiledFormulas> formulas_;
};

struct SlopeCompilation {
    std::optional<SlopeExpression> slope;
    std::vector<FormulaError> errors;  // one for each box refused, in order
};
// The single equation's box f(x, y), which may use x and y: every operation
// is evaluated as written, in the order written, so that "-2*x - y" gives
// the bits of f1 (no constant folding, no fused steps). At most one error.
SlopeCompilation compileSlope(std::string_view text);
// One text for each component, y1' first, with the parameters; a system of
// one component is read in the box f(x, y), which then may use y1 as well.
SlopeCompilation compileSlope(std::span<const std::string> texts, const Parameters& parameters);

// The exact solution, one formula a component through the start
// (x0, y1_0 ... yn_0), so that one formula serves every start: for one
// equation (x0, y0), as in 2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0)). Like
// SlopeExpression: one thread at a time, moved freely, copied by clone().
class SolutionExpression {
public:
    SolutionExpression(SolutionExpression&&) noexcept;
    SolutionExpression& operator=(SolutionExpression&&) noexcept;
    ~SolutionExpression();

    std::size_t size() const;
    // y(x) of a single equation (size() = 1).
    double operator()(double x) const;
    void operator()(double x, std::span<double> y) const;
    double x0() const;
    std::span<const double> y0() const;
    // The same formulas through another start of size() values.
    void setStart(double x0, std::span<const double> y0);
    SolutionExpression clone() const;
    const std::vector<std::string>& texts() const;

private:
    friend struct FormulaCompiler;
    explicit SolutionExpression(std::unique_ptr<CompiledFormulas> formulas);
    std::unique_ptr<CompiledFormulas> formulas_;
};

struct SolutionCompilation {
    std::optional<SolutionExpression> solution;
    std::vector<FormulaError> errors;  // one for each box refused, in order
};
// The single equation's box exact y(x), which may use x, x0 and y0.
SolutionCompilation compileSolution(std::string_view text, double x0, double y0);
SolutionCompilation compileSolution(std::span<const std::string> texts,
                                    const Parameters& parameters, double x0,
                                    std::span<const double> y0);

// A quantity I(x, y1 ... yn) that the solutions of a problem keep constant,
// as typed: a second-order equation's in the names of its system (y1 = y,
// y2 = y'). Like SlopeExpression: one thread at a time, clone() for another.
class InvariantExpression {
public:
    InvariantExpression(InvariantExpression&&) noexcept;
    InvariantExpression& operator=(InvariantExpression&&) noexcept;
    ~InvariantExpression();

    std::size_t size() const;  // the components of the problem, which y holds
    double operator()(double x, std::span<const double> y) const;
    InvariantExpression clone() const;
    const std::string& text() const;
    const Parameters& parameters() const;

private:
    friend struct FormulaCompiler;
    InvariantExpression(std::unique_ptr<CompiledFormulas> formulas, std::size_t n);
    std::unique_ptr<CompiledFormulas> formulas_;
    std::size_t n_ = 0;
};

struct InvariantCompilation {
    std::optional<InvariantExpression> invariant;
    FormulaError error;  // when there is none
};
// The invariant of a problem of n components.
InvariantCompilation compileInvariant(std::string_view text, std::size_t n,
                                      const Parameters& parameters);

}  // namespace pelorin
