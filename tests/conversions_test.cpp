// Reading the input boxes and writing the results list, whatever the locale.
#include "base/conversions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>
#include <vector>

using namespace pelorin;

namespace {

struct ReadRow {
    const char* name;
    std::string text;
    std::optional<double> value;
};

}  // namespace

TEST(TextToNumber, ReadsTheLongestLeadingNumber) {
    const std::vector<ReadRow> rows{
        {"integer", "0", 0.0},
        {"negative", "-1", -1.0},
        {"decimal", "0.4", 0.4},
        {"leading blanks", "  \t2.5", 2.5},
        {"plus sign and bare fraction", "+.5e-3x", 0.0005},
        {"trailing point", "5.", 5.0},
        {"trailing text", "12abc", 12.0},
        {"second point ends it", "1.5.3", 1.5},
        {"comma decimal separator", "1,5", 1.0},
        {"exponent without digits", "1e", 1.0},
        {"exponent sign without digits", "2E+", 2.0},
        {"capital exponent", "3E2", 300.0},
        {"empty text", "", 0.0},
        {"blanks only", "   ", 0.0},
        {"no leading number", "abc", 0.0},
        {"lone point", ".", 0.0},
        {"lone sign", "-", 0.0},
        {"nan is no number", "nan", 0.0},
        {"inf is no number", "inf", 0.0},
        {"hexadecimal", "0x10", 0.0},
        {"unicode minus", "\u22121", 0.0},
        {"too small for a double", "1e-400", 0.0},
        {"too large for a double", "1e400", std::nullopt},
        {"too large and negative", "-1e400", std::nullopt},
        {"ten thousand digits", std::string(10000, '9'), std::nullopt},
        {"tiny with many zeros", "0." + std::string(5000, '0') + "1", 0.0},
        {"largest double", "1.7976931348623157e308", std::numeric_limits<double>::max()},
    };
    for (const ReadRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(textToNumber(row.text), row.value);
    }
}

TEST(TextToNumber, IgnoresTheUsersLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        GTEST_SKIP() << "no German locale here (scripts/install-dependencies makes one)";
    }
    EXPECT_EQ(textToNumber("1.5"), 1.5);
    EXPECT_EQ(textToNumber("1,5"), 1.0);
    EXPECT_EQ(numberToText(0.4), "0.4");
    EXPECT_EQ(numberToText(-1.5e-7), "-1.5E-07");
    std::setlocale(LC_ALL, "C");
}

TEST(NumberToText, WritesFifteenSignificantDigits) {
    const std::vector<std::pair<double, std::string>> rows{
        {0.39999999999999997, "0.4"},
        {0.30000000000000004, "0.3"},
        {-0.6, "-0.6"},
        {0.16, "0.16"},
        {0.0, "0"},
        {-0.0, "0"},
        {-0.810960138106918, "-0.810960138106918"},
        {2.0 / 3.0, "0.666666666666667"},
        {100.0, "100"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.9, "1E+15"},
        {1e15, "1E+15"},
        {1.5e-7, "1.5E-07"},
        {1e-5, "1E-05"},
        {0.0001, "0.0001"},
        {-2.5e-10, "-2.5E-10"},
        {1e300, "1E+300"},
        {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
    };
    for (const auto& [value, text] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(numberToText(value), text);
    }
}

TEST(NumberToText, ReadsBackAsTheValueRoundedToFifteenDigits) {
    for (double value : {0.1, -0.85619270421875, 1.0 / 3.0, 6.02214076e23, 1.602e-19}) {
        const std::string text = numberToText(value);
        SCOPED_TRACE(text);
        EXPECT_EQ(numberToText(*textToNumber(text)), text);
    }
}
