// Formulas typed by the user, compiled once and evaluated many times: the
// slope f(x, y) of a problem and its exact solution y(x) through (x0, y0).
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
#include <string>
#include <string_view>

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

struct CompiledText;  // the parser and the values its variables are bound to
struct SlopeCompilation;
struct SolutionCompilation;

// The slope f(x, y) as typed. Callable as a pelorin::Slope, so that the seven
// methods run on it as on f1. Evaluation writes x and y into the values the
// parser reads: one object serves one thread at a time (clone() gives another
// for another thread). Moving keeps the binding; copying would not, so a copy
// is made by clone(), which compiles the text again. A moved-from expression
// may only be assigned to or destroyed.
// What a single equation's split is where its slope reads y: none.
inline const SplitReading readsY{std::nullopt, "y' reads y"};

class SlopeExpression {
public:
    SlopeExpression(SlopeExpression&&) noexcept;
    SlopeExpression& operator=(SlopeExpression&&) noexcept;
    ~SlopeExpression();

    double operator()(double x, double y) const;
    // As a system of one component: the same bits.
    StateVector operator()(double x, const StateVector& y) const { return {(*this)(x, y[0])}; }
    SlopeExpression clone() const;
    const std::string& text() const;  // as typed
    bool usesX() const;  // whether f reads x: an autonomous equation's does not
    // A slope that does not read y is one position and no momentum, which a
    // partitioned method steps; one that reads y does not split.
    const SplitReading* splitReading() const;

private:
    friend SlopeCompilation compileSlope(std::string_view text);
    explicit SlopeExpression(std::unique_ptr<CompiledText> compiled);
    std::unique_ptr<CompiledText> compiled_;
};

struct SlopeCompilation {
    std::optional<SlopeExpression> slope;
    FormulaError error;  // when there is no slope
};
// Every operation is evaluated as written, in the order written, so that
// "-2*x - y" gives the bits of f1 (no constant folding, no fused steps).
SlopeCompilation compileSlope(std::string_view text);

// An exact solution y(x) as typed, which may use the start (x0, y0) so that
// one formula serves every start: 2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0)).
// Like SlopeExpression: one thread at a time, moved freely, copied by clone().
class SolutionExpression {
public:
    SolutionExpression(SolutionExpression&&) noexcept;
    SolutionExpression& operator=(SolutionExpression&&) noexcept;
    ~SolutionExpression();

    double operator()(double x) const;
    double x0() const;
    double y0() const;
    // The same formula through another start.
    void setStart(double x0, double y0);
    SolutionExpression clone() const;
    const std::string& text() const;  // as typed

private:
    friend SolutionCompilation compileSolution(std::string_view text, double x0, double y0);
    explicit SolutionExpression(std::unique_ptr<CompiledText> compiled);
    std::unique_ptr<CompiledText> compiled_;
};

struct SolutionCompilation {
    std::optional<SolutionExpression> solution;
    FormulaError error;  // when there is no solution
};
SolutionCompilation compileSolution(std::string_view text, double x0, double y0);

}  // namespace pelorin
