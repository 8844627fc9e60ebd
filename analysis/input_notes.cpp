#include "analysis/input_notes.h"

#include "run/conversions.h"

#include <cstdio>

namespace pelorin {

namespace {

constexpr std::size_t quotedCharacters = 24;

bool isBlank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

bool startsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

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

std::string quotedForNote(std::string_view text) {
    std::string quoted = "\"";
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (startsCharacter(c) && ++characters > quotedCharacters) {
            quoted += "\u2026";
            break;
        }
        const auto byte = static_cast<unsigned char>(c);
        quoted += byte < 0x20 || byte == 0x7F ? escaped(c) : std::string(1, c);
    }
    return quoted + "\"";
}

std::optional<std::string> readingNote(Input box, std::string_view text) {
    const NumberReading reading = readNumber(text);
    const std::string start = std::string(inputName(box)) + ": " + quotedForNote(text);
    if (!reading.value) return start + " is too large to read";
    const std::string asRead = start + " was read as " + numberToText(*reading.value);
    if (isBlank(text)) return asRead + " (empty box)";
    if (reading.used == 0) return asRead + " (no leading number)";
    if (!isBlank(text.substr(reading.used))) return asRead;
    return std::nullopt;
}

std::vector<std::string> readingNotes(const Calculation& calculation) {
    std::vector<std::string> notes;
    for (Input box : inputs) {
        // A box after one too large to read was never read; an empty text
        // is always read (as 0), so an unread box has neither text nor value.
        const bool read = calculation.value(box) || !calculation.text(box).empty();
        if (!read) break;
        if (auto note = readingNote(box, calculation.text(box))) notes.push_back(*note);
        if (!calculation.value(box)) break;
    }
    return notes;
}

}  // namespace pelorin
