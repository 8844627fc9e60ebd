#include "base/number_text.h"

#include "base/conversions.h"
#include "base/utf8.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

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


constexpr std::size_t quotedCharacters = 24;

std::string escaped(char c) {
    switch (c) {
    case '\t': return "\\t";
    case '\n': return "\\n";
    case '\r': return "\\r";
    }
    char code[8];
    std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(c));
    return code;
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

std::string readOffText(double value, double pixelSize) {
    if (!(pixelSize > 0) || !std::isfinite(pixelSize)) return numberToText(value);
    const double unit = std::pow(10.0, std::floor(std::log10(pixelSize)));
    const double rounded = std::round(value / unit) * unit;
    return numberToText(std::isfinite(rounded) ? rounded : value);
}

std::string quotedForNote(std::string_view text) {
    std::string quoted = "\"";
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (++characters > quotedCharacters) {
            quoted += "\u2026";
            break;
        }
        const std::size_t length = wellFormedLength(text, at);
        const auto lead = static_cast<unsigned char>(text[at]);
        if (length == 0 || lead < 0x20 || lead == 0x7F) {
            quoted += escaped(text[at]);
            ++at;
        } else {
            quoted.append(text.substr(at, length));
            at += length;
        }
    }
    return quoted + "\"";
}

}  // namespace pelorin
