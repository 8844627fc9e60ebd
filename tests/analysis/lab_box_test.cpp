// The lab's boxes read strictly: a text that is not wholly a number keeps
// the last good value, and the note says what was typed, why it was not
// used and what stays.
#include "analysis/lab_reading.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

using namespace pelorin;

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
