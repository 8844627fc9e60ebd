#include "texts/input_notes.h"

#include "base/conversions.h"
#include "base/number_text.h"

namespace pelorin {

namespace {

bool isBlank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

}  // namespace

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
