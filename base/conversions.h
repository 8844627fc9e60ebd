// Text to number and number to text, as the input boxes and the results list
// use them. Both are independent of the user's locale: "." is the only
// decimal separator, whatever the desktop's regional settings say.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

// Reads the longest leading part of the text that is a decimal number:
// blanks, an optional sign, digits with an optional ".", an optional
// exponent. Text without such a part reads as 0 ("", "abc", "nan", "inf";
// "0x10" reads as 0 and "1,5" as 1). A number too small for a double reads as
// 0; one too large for a double gives no value, except that the numbers up
// to 1.79769313486232E+308, as the list writes the largest double, read as it.
std::optional<double> textToNumber(std::string_view text);

// textToNumber's reading, with how many characters of the text it used
// (leading blanks included; 0 when the text has no leading number). The rest
// of the text, text.substr(used), is what the reading ignored.
struct NumberReading {
    std::optional<double> value;
    std::size_t used = 0;
};
NumberReading readNumber(std::string_view text);

// At most 15 significant digits, trailing zeros dropped: "0.4", "-0.6",
// "0.16". Magnitudes from 1E+15 up and below 0.0001 are written with an
// exponent ("1E+15", "1.5E-07"); negative zero is written "0".
std::string numberToText(double value);

}  // namespace pelorin
