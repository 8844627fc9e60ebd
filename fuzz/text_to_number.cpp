// Fuzz target: any text typed into an input box. Reading it never fails
// other than by "too large", gives a finite value, and the text the results
// list writes for that value reads back as the value rounded to 15
// significant digits. Every input is also taken as the bits of a double, so
// the writing sees values text seldom gives: subnormals, the largest doubles.
#include "base/conversions.h"
#include "fuzz/check.h"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

using pelorin::fuzz::require;

namespace {

// The nearest double to value rounded to 15 significant digits, worked out by
// the C library rather than by the code under test. The largest doubles round
// to 1.79769313486232E+308, just beyond a double; that text reads as the
// largest double.
double roundedTo15Digits(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.14e", value);
    const double rounded = std::strtod(text, nullptr);
    return std::isinf(rounded) ? std::copysign(DBL_MAX, rounded) : rounded;
}

void checkWrittenTextReadsBack(double value) {
    const std::string written = pelorin::numberToText(value);
    const std::optional<double> back = pelorin::textToNumber(written);
    require(back.has_value(), "\"" + written + "\" does not read back");
    require(*back == roundedTo15Digits(value), "\"" + written + "\" reads back as another value");
    require(pelorin::numberToText(*back) == written, "\"" + written + "\" is not written again");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const std::optional<double> value = pelorin::textToNumber(text)) {
        require(std::isfinite(*value), "a text read as a non-finite value");
        checkWrittenTextReadsBack(*value);
    }

    double bits;
    if (size >= sizeof bits) {
        std::memcpy(&bits, data, sizeof bits);
        if (std::isfinite(bits)) checkWrittenTextReadsBack(bits);
    }
    return 0;
}
