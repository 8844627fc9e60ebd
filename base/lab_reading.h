// The Method lab's strict reading of its boxes: a text counts only when it is
// wholly a number, and a text that is not says why in words, so the lab can
// keep the last good value and tell the student what was not used.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

// Blanks around the number, an optional sign ("-", "+" or the typographic
// minus U+2212), digits with an optional point ".", an optional exponent
// ("E-05", "e3"): "-0.5", " 2 ", "1.5E+03", "−1". Anything else gives no
// value and `why`, e.g.
//   "0,5" is not a number: use a point, not a comma, for decimals
//   "abc" is not a number
//   "1E+400" is too large for a number
// A number too small for a double reads as 0, as the main window reads it.
struct LabNumber {
    std::optional<double> value;
    std::string why;  // empty when there is a value
};
LabNumber readLabNumber(std::string_view text);

// The text without the blanks and tabs around it, as the lab reads a box.
std::string_view trimmed(std::string_view text);

}  // namespace pelorin

namespace pelorin {

// A box of the lab read strictly. A text that is not wholly a number leaves
// the last good value in force, and the note names the box, quotes the text,
// says why it was not used and what stays: `x0: "0,5" is not a number: use a
// point, not a comma, for decimals; x0 stays 0.`
struct LabBox {
    std::optional<double> value;  // the value in force; none before any good one
    std::string note;             // empty when the text was used
};
LabBox readLabBox(std::string_view name, std::string_view text, std::optional<double> lastGood);

}  // namespace pelorin
