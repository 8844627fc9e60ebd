// Lists as a sentence writes them, and formulas as a note quotes them.
#pragma once

#include "base/utf8.h"

#include <ranges>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// "a", "a and b", "a, b and c", of any list of texts.
template <std::ranges::sized_range Texts>
std::string listedInWords(const Texts& items) {
    std::string text;
    std::size_t i = 0;
    for (const auto& item : items) {
        if (i > 0) text += i + 1 == std::ranges::size(items) ? " and " : ", ";
        text += std::string_view(item);
        ++i;
    }
    return text;
}

// A count with its noun: "1 step", "3 steps".
inline std::string countText(long count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
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
