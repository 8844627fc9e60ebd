#include "base/lab_reading.h"

#include "base/conversions.h"
#include "base/number_text.h"

namespace pelorin {

namespace {

constexpr std::string_view typographicMinus = "\u2212";

std::string withAsciiMinus(std::string_view text) {
    std::string plain;
    for (std::size_t at = 0; at < text.size();) {
        if (text.substr(at).starts_with(typographicMinus)) {
            plain += '-';
            at += typographicMinus.size();
        } else {
            plain += text[at++];
        }
    }
    return plain;
}

}  // namespace

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

LabNumber readLabNumber(std::string_view text) {
    const std::string plain = withAsciiMinus(trimmed(text));
    if (plain.empty()) return {std::nullopt, "the box is empty: type a number"};
    const std::string quoted = quotedForNote(trimmed(text));
    // The main window's reading takes the longest leading number; the lab
    // takes a text only when that number is all of it.
    const NumberReading reading = readNumber(plain);
    if (reading.used == plain.size()) {
        if (reading.value) return {reading.value, ""};
        return {std::nullopt, quoted + " is too large for a number"};
    }
    if (plain.find(',') != std::string::npos) {
        return {std::nullopt, quoted + " is not a number: use a point, not a comma, for decimals"};
    }
    return {std::nullopt, quoted + " is not a number"};
}

}  // namespace pelorin

namespace pelorin {

LabBox readLabBox(std::string_view name, std::string_view text, std::optional<double> lastGood) {
    const LabNumber number = readLabNumber(text);
    if (number.value) return {number.value, ""};
    const std::string box(name);
    return {lastGood, box + ": " + number.why + "; " +
                          (lastGood ? box + " stays " + numberToText(*lastGood) + "."
                                    : "there is no earlier value to keep.")};
}

}  // namespace pelorin
