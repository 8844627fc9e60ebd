#include "base/conversions.h"

#include <charconv>
#include <cstdlib>
#include <limits>

namespace pelorin {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipDigits(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isDigit(text[pos])) ++pos;
    return pos;
}

// The power of ten of the leading significant digit of an unsigned decimal
// number ("179.5e306" gives 308). Its sign tells an overflow from an
// underflow; its value tells the numbers just beyond the largest double.
long long decimalMagnitude(std::string_view number) {
    const std::size_t point = number.find('.');
    const std::size_t exponentAt = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, exponentAt);
    long long exponent = 0;
    if (exponentAt != std::string_view::npos) {
        std::size_t pos = exponentAt + 1;
        const bool negative = number[pos] == '-';
        if (number[pos] == '+' || number[pos] == '-') ++pos;
        for (; pos < number.size(); ++pos) {
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (number[pos] - '0');
        }
        if (negative) exponent = -exponent;
    }
    const std::size_t integerEnd = point == std::string_view::npos ? mantissa.size() : point;
    const std::size_t firstSignificant = mantissa.find_first_not_of("0.");
    if (firstSignificant == std::string_view::npos) return 0;
    if (firstSignificant < integerEnd) {
        return static_cast<long long>(integerEnd - firstSignificant) - 1 + exponent;
    }
    return static_cast<long long>(integerEnd) - static_cast<long long>(firstSignificant) + exponent;
}

// Whether an unsigned decimal number beyond the largest double is at most
// 1.79769313486232E+308: the list writes the largest doubles so, rounded to
// 15 digits, and what the list shows must read back.
bool atMostLargestWritten(std::string_view number) {
    if (decimalMagnitude(number) != 308) return false;
    constexpr std::string_view largest = "179769313486232";
    const std::string_view mantissa = number.substr(0, number.find_first_of("eE"));
    std::size_t compared = 0;
    for (char c : mantissa.substr(mantissa.find_first_not_of("0."))) {
        if (!isDigit(c)) continue;
        const char limit = compared < largest.size() ? largest[compared] : '0';
        if (c != limit) return c < limit;
        ++compared;
    }
    return true;
}

}  // namespace

std::optional<double> textToNumber(std::string_view text) { return readNumber(text).value; }

NumberReading readNumber(std::string_view text) {
    std::size_t pos = text.find_first_not_of(" \t");
    if (pos == std::string_view::npos) return {0.0, 0};
    bool negative = false;
    if (text[pos] == '+' || text[pos] == '-') {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t start = pos;
    pos = skipDigits(text, pos);
    const std::size_t integerDigits = pos - start;
    std::size_t fractionDigits = 0;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionEnd = skipDigits(text, pos + 1);
        fractionDigits = fractionEnd - (pos + 1);
        if (integerDigits + fractionDigits > 0) pos = fractionEnd;
    }
    if (integerDigits + fractionDigits == 0) return {0.0, 0};
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exponentDigits = pos + 1;
        if (exponentDigits < text.size() && (text[exponentDigits] == '+' || text[exponentDigits] == '-')) {
            ++exponentDigits;
        }
        const std::size_t exponentEnd = skipDigits(text, exponentDigits);
        if (exponentEnd > exponentDigits) pos = exponentEnd;
    }

    const std::string_view number = text.substr(start, pos - start);
    double magnitude = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(),
                                              magnitude, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        if (atMostLargestWritten(number)) {
            magnitude = std::numeric_limits<double>::max();
        } else if (decimalMagnitude(number) > 0) {
            return {std::nullopt, pos};
        } else {
            magnitude = 0;
        }
    } else if (error != std::errc{} || end != number.data() + number.size()) {
        return {0.0, 0};
    }
    return {negative ? -magnitude : magnitude, pos};
}

std::string numberToText(double value) {
    if (value == 0) return "0";
    // Fifteen significant digits, rounded once: d.dddddddddddddde±x
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::scientific, 14);
    const std::string_view scientific(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = scientific.find('e');
    if (e == std::string_view::npos) return std::string(scientific);  // inf or nan

    const bool negative = scientific.front() == '-';
    std::string digits;
    for (char c : scientific.substr(0, e)) {
        if (isDigit(c)) digits += c;
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int exponent = std::atoi(std::string(scientific.substr(e + 1)).c_str());

    std::string text = negative ? "-" : "";
    if (exponent >= 15 || exponent < -4) {
        text += digits.front();
        if (digits.size() > 1) text += "." + digits.substr(1);
        text += exponent < 0 ? "E-" : "E+";
        const int size = std::abs(exponent);
        if (size < 10) text += '0';
        text += std::to_string(size);
    } else if (exponent < 0) {
        text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            text += digits + std::string(integerDigits - digits.size(), '0');
        } else {
            text += digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
        }
    }
    return text;
}

}  // namespace pelorin
