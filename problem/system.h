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
// Formulas are read, refused and evaluated as the single slope's are (see
// expression.h): every operation as written, one compiled object for one
// thread at a time, another made by clone().
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

inline constexpr std::size_t maxComponents = 6;

inline constexpr std::string_view parametersBoxName = "Parameters";
inline constexpr std::string_view secondOrderBoxName = "y''";
inline constexpr std::string_view invariantBoxName = "Invariant";
// The system as a whole, when the number of its components is refused.
inline constexpr std::string_view systemBoxName = "y'";

// Parameters as typed, "a = 2/3, b = 4/3": each value a formula of numbers
// and the parameters before it, evaluated once as written.
struct Parameter {
    std::string name;
    double value = 0;
};
struct Parameters {
    std::string text;  // as typed
    std::vector<Parameter> values;
};
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

struct SystemFormulas;  // the parsers and the values their names are bound to

// F(x, y) as typed: evaluation writes x and y into the values the parsers
// read, then each component's slope into `slope`; y and slope hold size()
// values and may be the same array. Moving keeps the binding; copies are
// made by clone(), which reads only the texts and the parameters, so it may
// run on another thread while this one is evaluated.
class SystemSlopeExpression {
public:
    SystemSlopeExpression(SystemSlopeExpression&&) noexcept;
    SystemSlopeExpression& operator=(SystemSlopeExpression&&) noexcept;
    ~SystemSlopeExpression();

    std::size_t size() const;
    void operator()(double x, std::span<const double> y, std::span<double> slope) const;
    SystemSlopeExpression clone() const;
    // The components' formulas as typed (for y'' = f: "y2" and f).
    const std::vector<std::string>& texts() const;
    const Parameters& parameters() const;
    // Whether some component's slope reads x: an autonomous system's does not.
    bool usesX() const;
    // The split of the components into positions and momenta (splitComponents).
    const SplitReading* splitReading() const;
    // F(x, y) as the methods step it.
    StateVector operator()(double x, const StateVector& y) const;

private:
    friend struct SystemCompiler;
    explicit SystemSlopeExpression(std::unique_ptr<SystemFormulas> formulas);
    std::unique_ptr<SystemFormulas> formulas_;
};

struct SystemSlopeCompilation {
    std::optional<SystemSlopeExpression> slope;
    std::vector<FormulaError> errors;  // one for each box refused, in order
};
// One text for each component, y1' first.
SystemSlopeCompilation compileSystemSlope(std::span<const std::string> texts,
                                          const Parameters& parameters);

// The exact solution, one formula a component through the start
// (x0, y1_0 ... yn_0). Like SystemSlopeExpression: one thread at a time, clone() for another.
class SystemSolutionExpression {
public:
    SystemSolutionExpression(SystemSolutionExpression&&) noexcept;
    SystemSolutionExpression& operator=(SystemSolutionExpression&&) noexcept;
    ~SystemSolutionExpression();

    std::size_t size() const;
    void operator()(double x, std::span<double> y) const;
    double x0() const;
    std::span<const double> y0() const;
    // The same formulas through another start of size() values.
    void setStart(double x0, std::span<const double> y0);
    SystemSolutionExpression clone() const;
    const std::vector<std::string>& texts() const;

private:
    friend struct SystemCompiler;
    explicit SystemSolutionExpression(std::unique_ptr<SystemFormulas> formulas);
    std::unique_ptr<SystemFormulas> formulas_;
};

struct SystemSolutionCompilation {
    std::optional<SystemSolutionExpression> solution;
    std::vector<FormulaError> errors;
};
SystemSolutionCompilation compileSystemSolution(std::span<const std::string> texts,
                                                const Parameters& parameters, double x0,
                                                std::span<const double> y0);

// y'' = f(x, y, y') as the system y1 = y, y2 = y': y1' = y2, y2' = f(x, y1, y2).
struct SecondOrderCompilation {
    std::optional<SystemSlopeExpression> slope;
    FormulaError error;     // when there is no system
    std::string rewriting;  // what was done, in one sentence, for the lab's notes
};
SecondOrderCompilation compileSecondOrder(std::string_view f, const Parameters& parameters);

// A quantity I(x, y1 ... yn) that the solutions of a system keep constant,
// as typed: a second-order equation's in the names of its system (y1 = y,
// y2 = y'). Like SystemSlopeExpression: one thread at a time, clone() for another.
class SystemInvariant {
public:
    SystemInvariant(SystemInvariant&&) noexcept;
    SystemInvariant& operator=(SystemInvariant&&) noexcept;
    ~SystemInvariant();

    std::size_t size() const;  // the components of the system, which y holds
    double operator()(double x, std::span<const double> y) const;
    SystemInvariant clone() const;
    const std::string& text() const;
    const Parameters& parameters() const;

private:
    friend struct SystemCompiler;
    SystemInvariant(std::unique_ptr<SystemFormulas> formulas, std::size_t n);
    std::unique_ptr<SystemFormulas> formulas_;
    std::size_t n_ = 0;
};

struct InvariantCompilation {
    std::optional<SystemInvariant> invariant;
    FormulaError error;  // when there is none
};
// The invariant of a system of n components.
InvariantCompilation compileInvariant(std::string_view text, std::size_t n,
                                      const Parameters& parameters);

// The first component whose slope is not a finite number at (x, y), said in
// words with the point; nothing when every component's is finite.
std::optional<std::string> nonFiniteSlope(const SystemSlopeExpression& slope, double x,
                                          std::span<const double> y);

}  // namespace pelorin
