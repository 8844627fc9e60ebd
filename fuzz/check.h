// What the fuzz targets share: aborting with a message when a property
// fails, so that libFuzzer keeps the input and the replay test fails on it,
// and reading an input as a method and four box texts.
#pragma once

#include "methods/methods.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pelorin::fuzz {

// With --record the replay prints what each input computed, one value a
// line (numbers as hexadecimal floating point, so every bit shows): two
// builds give the same lines exactly when they compute the same.
inline bool recording = false;

inline void record(std::string_view what, std::string_view text) {
    if (recording) std::printf("  %.*s: %.*s\n", static_cast<int>(what.size()), what.data(),
                               static_cast<int>(text.size()), text.data());
}

inline void record(std::string_view what, double value) {
    if (recording) std::printf("  %.*s: %a\n", static_cast<int>(what.size()), what.data(), value);
}

// The lab's methods of one family, one picked by the input.
template <class Family>
const Method& methodOfFamily(std::size_t pick) {
    std::vector<const Method*> family;
    for (const Method& method : labCatalogue()) {
        if (std::holds_alternative<Family>(method.family)) family.push_back(&method);
    }
    return *family[pick % family.size()];
}

// What is recorded compares the window's seven methods between builds: the
// lab's other methods, their values and the notes that begin with their
// captions, are checked and not recorded.
inline bool aboutLabOnlyMethod(std::string_view note) {
    return std::any_of(labCatalogue().begin(), labCatalogue().end(), [&](const Method& method) {
        return !isWindowMethod(method) && note.starts_with(method.caption) &&
               note.substr(method.caption.size()).starts_with(": ");
    });
}

inline void require(bool holds, const std::string& what) {
    if (holds) return;
    std::fprintf(stderr, "failed: %s\n", what.c_str());
    std::abort();
}

// Whether a text spells a value that is not a number: the program writes
// its numbers in digits and says in words where one is not finite, so "nan"
// or "inf" in what it wrote is a non-number that slipped through.
inline bool spellsNonNumber(std::string_view text) {
    return text.find("nan") != std::string_view::npos || text.find("inf") != std::string_view::npos;
}

// A sentence without the typed text it quotes: a refusal quotes at most one
// text, from its first double quote to its last (the typed text may hold
// quotes of its own), and what the user typed may spell anything.
inline std::string withoutQuotedText(std::string_view sentence) {
    const std::size_t open = sentence.find('"');
    if (open == std::string_view::npos) return std::string(sentence);
    const std::size_t close = sentence.rfind('"');
    return std::string(sentence.substr(0, open)) + std::string(sentence.substr(close + 1));
}

// The first byte picks a row of a table of `rows` ('0' picks row 0, any
// other byte counts modulo rows); after the first newline come the texts of
// x0, y0, x1 and h on one line each, h taking everything that follows.
struct BoxInput {
    std::size_t row = 0;
    std::array<std::string, 4> texts;  // x0, y0, x1, h
};

inline BoxInput readBoxInput(std::string_view input, std::size_t rows) {
    BoxInput read;
    // '0', '1', ... pick the rows in order; every other byte picks one too.
    if (!input.empty()) {
        read.row = (static_cast<unsigned char>(input[0]) + rows - '0' % rows) % rows;
    }
    std::size_t pos = input.find('\n');
    for (std::size_t box = 0; box < read.texts.size() && pos != std::string_view::npos; ++box) {
        const std::size_t start = pos + 1;
        pos = box + 1 < read.texts.size() ? input.find('\n', start) : std::string_view::npos;
        read.texts[box] = std::string(input.substr(
            start, pos == std::string_view::npos ? std::string_view::npos : pos - start));
    }
    return read;
}

// A plain check of UTF-8's shape, written apart from the program's own
// reader so that each checks the other.
inline bool isUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2
                                 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        if (length == 0 || at + length > text.size()) return false;
        for (std::size_t i = 1; i < length; ++i) {
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
        }
        at += length;
    }
    return true;
}

}  // namespace pelorin::fuzz
