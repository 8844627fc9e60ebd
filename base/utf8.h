// Reading UTF-8 strictly, as typed texts, messages and problem files need it:
// a message must never pass on bytes that are not text.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace pelorin {

// The length in bytes (1 to 4) of the character that starts at `at`, or 0
// when the bytes there are not well-formed UTF-8: a stray continuation byte,
// a lead byte of no character, a character cut short, an overlong form, a
// surrogate, or a code point beyond U+10FFFF.
std::size_t wellFormedLength(std::string_view text, std::size_t at);

// Characters, counting each byte that is not part of one as one.
std::size_t characterCount(std::string_view text);

// The first `count` characters of the text, counted as characterCount
// counts them; the whole text when it has no more.
std::string_view leadingCharacters(std::string_view text, std::size_t count);

// The offset of the first byte that is not part of a well-formed character.
std::optional<std::size_t> firstIllFormedByte(std::string_view text);

}  // namespace pelorin
