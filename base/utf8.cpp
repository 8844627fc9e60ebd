#include "base/utf8.h"

#include <cstdint>

namespace pelorin {

std::size_t wellFormedLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint32_t code = 0, least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1Fu, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0Fu, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07u, least = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3Fu);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) {
        const std::size_t length = wellFormedLength(text, at);
        at += length == 0 ? 1 : length;
    }
    return count;
}

std::string_view leadingCharacters(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t taken = 0; at < text.size() && taken < count; ++taken) {
        const std::size_t length = wellFormedLength(text, at);
        at += length == 0 ? 1 : length;
    }
    return text.substr(0, at);
}

std::optional<std::size_t> firstIllFormedByte(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = wellFormedLength(text, at);
        if (length == 0) return at;
        at += length;
    }
    return std::nullopt;
}

}  // namespace pelorin
