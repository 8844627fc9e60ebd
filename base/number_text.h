// Number texts for the tables and notes of the explaining windows,
// independent of the user's locale like the results list: "3.98", "1.2E-15".
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

// Fixed point with `decimals` digits after the point.
std::string fixedText(double value, int decimals);

// Three significant digits with an exponent: "1.23E-05", "4.00E+00".
std::string errorText(double value);

// Three decimals, or three significant digits with an exponent for values a
// fixed point would spell out in hundreds of digits: "-2.785", "1.23E+07".
std::string shortText(double value);

// An error with all the digits the results list shows: fifteen significant
// digits, always with an exponent spelt as the list spells one, and trailing
// zeros kept, so that a column of errors has one shape and lines up:
// "-1.17433392121002E-04", "-6.17264978580723E-05", "2.50000000000000E-01".
// An error of exactly zero (of either sign) reads "0", as the list writes
// zero: the start's error, or a step exact to the last bit, says so at a
// glance.
std::string fullErrorText(double value);

// A coordinate rounded to the power of ten below the size of one pixel in
// user units, then written as the list writes numbers: 0.2134567 with
// pixels of 0.004 reads "0.213".
std::string readOffText(double value, double pixelSize);

// The text as a note quotes it: control characters and bytes that are not
// UTF-8 escaped (\t, \n, \r, \x01, \xFF) and anything beyond 24 characters
// cut to "…".
std::string quotedForNote(std::string_view text);

}  // namespace pelorin
