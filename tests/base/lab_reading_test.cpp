// The lab's strict reading: a text counts only when it is wholly a number,
// and every other text gets its reason in words.
#include "base/lab_reading.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string_view>

using namespace pelorin;

TEST(LabReading, WholeNumbersOnlyWithTheReasonInWords) {
    const struct {
        std::string_view name, text;
        std::optional<double> value;
        std::string_view why;
    } rows[] = {
        {"integer", "3", 3, ""},
        {"decimal point", "0.5", 0.5, ""},
        {"no leading digit", ".5", 0.5, ""},
        {"trailing point", "5.", 5, ""},
        {"plus sign", "+2", 2, ""},
        {"minus sign", "-0.25", -0.25, ""},
        {"typographic minus", "\u22121.5", -1.5, ""},
        {"typographic minus in the exponent", "2E\u22123", 0.002, ""},
        {"exponent", "1.5E+03", 1500, ""},
        {"small exponent letter", "2e-1", 0.2, ""},
        {"blanks around", " \t7 ", 7, ""},
        {"the largest double as the list writes it", "1.79769313486232E+308",
         std::numeric_limits<double>::max(), ""},
        {"too small for a double reads as 0", "1E-400", 0, ""},
        {"empty", "", std::nullopt, "the box is empty: type a number"},
        {"only blanks", "   ", std::nullopt, "the box is empty: type a number"},
        {"comma decimal separator", "0,5", std::nullopt,
         "\"0,5\" is not a number: use a point, not a comma, for decimals"},
        {"thousands separator", "1,000", std::nullopt,
         "\"1,000\" is not a number: use a point, not a comma, for decimals"},
        {"letters", "abc", std::nullopt, "\"abc\" is not a number"},
        {"number then letters", "0.4abc", std::nullopt, "\"0.4abc\" is not a number"},
        {"blank inside", "1 000", std::nullopt, "\"1 000\" is not a number"},
        {"exponent without digits", "1E", std::nullopt, "\"1E\" is not a number"},
        {"two points", "1.2.3", std::nullopt, "\"1.2.3\" is not a number"},
        {"lone point", ".", std::nullopt, "\".\" is not a number"},
        {"lone sign", "-", std::nullopt, "\"-\" is not a number"},
        {"hexadecimal", "0x10", std::nullopt, "\"0x10\" is not a number"},
        {"nan", "nan", std::nullopt, "\"nan\" is not a number"},
        {"inf", "inf", std::nullopt, "\"inf\" is not a number"},
        {"negative infinity", "-Infinity", std::nullopt, "\"-Infinity\" is not a number"},
        {"beyond a double", "1e999", std::nullopt, "\"1e999\" is too large for a number"},
        {"beyond a double, negative", "-1E+400", std::nullopt, "\"-1E+400\" is too large for a number"},
        {"just beyond the largest written", "1.79769313486233E+308", std::nullopt,
         "\"1.79769313486233E+308\" is too large for a number"},
        {"quoted as typed, blanks trimmed", "  \u22121,5 ", std::nullopt,
         "\"\u22121,5\" is not a number: use a point, not a comma, for decimals"},
        {"a long text is cut", "abcdefghijklmnopqrstuvwxyz", std::nullopt,
         "\"abcdefghijklmnopqrstuvwx\u2026\" is not a number"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const LabNumber number = readLabNumber(row.text);
        EXPECT_EQ(number.value, row.value);
        EXPECT_EQ(number.why, row.why);
    }
}

// A text that is not wholly a number keeps the last good value, and the
// note says what was typed, why it was not used and what stays.
TEST(LabBox, ATextNotWhollyANumberKeepsTheLastGoodValueAndSaysWhy) {
    const struct {
        std::string_view name, text;
        std::optional<double> lastGood, value;
        std::string_view note;
    } rows[] = {
        {"x1", "2.5", 1, 2.5, ""},
        {"x0", "\u22121", 0, -1, ""},
        {"x0", "0,5", 0.25, 0.25,
         "x0: \"0,5\" is not a number: use a point, not a comma, for decimals; x0 stays 0.25."},
        {"y0", "abc", -1, -1, "y0: \"abc\" is not a number; y0 stays -1."},
        {"x1", "0.4abc", 1, 1, "x1: \"0.4abc\" is not a number; x1 stays 1."},
        {"x1", "1E+400", 0.4, 0.4, "x1: \"1E+400\" is too large for a number; x1 stays 0.4."},
        {"y0", "", 3, 3, "y0: the box is empty: type a number; y0 stays 3."},
        {"x0", "1E+400", std::nullopt, std::nullopt,
         "x0: \"1E+400\" is too large for a number; there is no earlier value to keep."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const LabBox box = readLabBox(row.name, row.text, row.lastGood);
        EXPECT_EQ(box.value, row.value);
        EXPECT_EQ(box.note, row.note);
    }
}
