// What every typed formula shares, inside problem/: the typed characters in
// muparser's alphabet, the parser set up to evaluate as written, and the
// sentences that say what is wrong and where. The single slope and exact
// solution, the components of a system and the parameters are read by it.
#pragma once

#include "problem/expression.h"
#include "problem/system.h"

#include <muParser.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// A box that holds a formula, as messages name it and the names it may use.
struct FormulaBox {
    std::string box;        // "f(x, y)"
    std::string variables;  // said of a name the formula may not use: "f may use x and y"
    std::string example;    // said of an empty box: "-2*x - y"
    // Other words for a name it may not use, where the name itself tells
    // more (a component beyond the system's); empty to say `variables`.
    std::function<std::string(std::string_view name)> notKnown = {};
    bool primeReadsAsP = false;  // "y'" is read as the name yp
};

// A name a formula may use and the value the parser reads for it.
struct BoundVariable {
    std::string_view name;
    double* value;
};

// The text as muparser reads it, one ASCII character for every character as
// typed, so that a position in one is the same position in the other.
struct ReadText {
    std::vector<std::string> typed;  // each character as typed (UTF-8)
    std::string parsed;
};

// Refuses an overlong or empty text, reads it and compiles it into `parser`
// with the variables bound by address and the parameters as constants.
std::optional<FormulaError> compileFormula(mu::Parser& parser, std::string_view typed,
                                           const FormulaBox& box,
                                           std::span<const BoundVariable> variables,
                                           std::span<const Parameter> parameters);

// The two halves of compileFormula, for a box that holds several formulas
// (each compiled from the whole text read once, with the rest blanked).
std::optional<FormulaError> readFormulaText(std::string_view typed, const FormulaBox& box,
                                            ReadText& text);
std::optional<FormulaError> parseFormula(mu::Parser& parser, const ReadText& text,
                                         const FormulaBox& box,
                                         std::span<const BoundVariable> variables,
                                         std::span<const Parameter> parameters);

// Where muparser would read an "=" as assigning to a variable (an "=" that
// is not part of "==", "<=", ">=" or "!="), or npos.
std::size_t assignmentAt(std::string_view parsed);

// " at character 7", for a 0-based place.
std::string atCharacter(std::size_t at);
// The characters [begin, end) as typed, in quotes.
std::string quoted(const ReadText& text, std::size_t begin, std::size_t end);

inline bool isNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isNamePart(char c) { return isNameStart(c) || isDigit(c); }

// y, y1, y7, y0: a name a slope reads as a component of some system.
bool isComponentName(std::string_view name);
// x0, y0, y1_0: a name an exact solution reads as a start.
bool isStartName(std::string_view name);

}  // namespace pelorin
