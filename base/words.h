// Lists as a sentence writes them, and formulas as a note quotes them.
#pragma once

#include "base/utf8.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// "a", "a and b", "a, b and c".
template <class Text>
std::string listedInWords(const std::vector<Text>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? " and " : ", ";
        text += std::string_view(items[i]);
    }
    return text;
}

// A formula as a note quotes it: whole up to quotedFormulaLength
// characters, else its first ones and how long it is, "y1*y2 + … (1043
// characters)", so that a typed formula of a thousand characters does not
// push a page's plots out of sight. Its box holds it whole.
inline constexpr std::size_t quotedFormulaLength = 120;
inline std::string quotedFormula(std::string_view formula) {
    const std::size_t length = characterCount(formula);
    if (length <= quotedFormulaLength) return std::string(formula);
    return std::string(leadingCharacters(formula, quotedFormulaLength)) + " \u2026 (" +
           std::to_string(length) + " characters)";
}

}  // namespace pelorin
