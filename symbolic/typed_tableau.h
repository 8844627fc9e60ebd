// A Butcher tableau as a student types it into the boxes c1 … cs, a11 … ass
// (row, then column), b1 … bs and, for an embedded pair, embedded b1 …
// embedded bs: read exactly, for the order conditions, and as the
// coefficients the steps use. A box that makes no tableau is named with why.
#pragma once

#include "methods/tableau.h"
#include "symbolic/order_conditions.h"

#include <ginac/ginac.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// The boxes' names: "c2", "a32", "b1", "embedded b4".
std::string nodeBox(std::size_t i);
std::string matrixBox(std::size_t i, std::size_t j);
std::string weightBox(std::size_t i);
std::string embeddedBox(std::size_t i);

struct TypedTableau {
    ExactTableau exact;
    Tableau steps;  // the same entries, as a step computes with them
};

struct TableauReading {
    std::optional<TypedTableau> tableau;
    std::string why;  // where there is none: "a32 divides by zero."
};

TableauReading readTableau(const TableauTexts& texts);

// A tableau's entries as the boxes show them: "(3 - √3)/6", zeros of A
// left blank.
TableauTexts textsOf(const Tableau& tableau);

// An exact entry as a step's coefficient (p + s√r)/d, every part a whole
// number a double holds exactly; else why not, in words.
struct CoefficientReading {
    std::optional<Coefficient> coefficient;
    std::string why;
};
CoefficientReading coefficientOf(const GiNaC::ex& value);

// An exact value as the boxes write an entry: "1/6", "(3 - √3)/6"; beyond a
// step's coefficients, as GiNaC writes it.
std::string entryText(const GiNaC::ex& value);

}  // namespace pelorin
