#include "analysis/lab_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace pelorin {

namespace {

// d.ddd...E±xx with `decimals` digits after the point, rounded once from the
// double; the exponent has at least two digits, as the results list writes it.
std::string scientificText(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::scientific, decimals).ptr;
    std::string text(buffer.data(), end);
    const auto e = text.find('e');
    if (e != std::string::npos) text[e] = 'E';
    return text;
}

}  // namespace

std::string fixedText(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::fixed, decimals).ptr;
    std::string text(buffer.data(), end);
    // "-0.00" would claim a sign the value has lost in rounding.
    if (text.find_first_not_of("-0.") == std::string::npos && text.front() == '-') text.erase(0, 1);
    return text;
}

std::string errorText(double value) { return scientificText(value, 2); }

std::string fullErrorText(double value) {
    if (value == 0) return "0";
    return scientificText(value, 14);
}

std::string shortText(double value) {
    return std::fabs(value) < 1e6 ? fixedText(value, 3) : errorText(value);
}

}  // namespace pelorin
