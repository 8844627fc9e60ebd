// The error columns' number text: fifteen significant digits with an
// exponent, every cell of one shape. Expected texts were worked out apart
// from the program: Python's Decimal of the exact binary value, formatted
// with 15 significant digits and rounded half to even.
#include "base/number_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace pelorin;

TEST(FullErrorText, WritesFifteenDigitsAndAnExponentWhateverTheSize) {
    struct Row {
        const char* name;
        double value;
        std::string text;
    };
    const std::vector<Row> rows{
        // The two cells the list's own format wrote in two shapes.
        {"between 1E-04 and 1", -0.000117433392121002, "-1.17433392121002E-04"},
        {"below 1E-04", -6.17264978580723E-05, "-6.17264978580723E-05"},
        {"trailing zeros kept", -2.0131944133972E-07, "-2.01319441339720E-07"},
        {"a quarter", 0.25, "2.50000000000000E-01"},
        {"order one", 1.5, "1.50000000000000E+00"},
        {"0.1 + 0.2 rounds to 0.3", 0.1 + 0.2, "3.00000000000000E-01"},
        {"rounding carries into the exponent", 9.999999999999999e-05, "1.00000000000000E-04"},
        {"one unit in the last place at 1", 2.220446049250313e-16, "2.22044604925031E-16"},
        {"an exact tie rounds to even", 1000000000000005.0, "1.00000000000000E+15"},
        {"an exact tie rounds up to even", 1000000000000015.0, "1.00000000000002E+15"},
        {"three-digit exponent", 4e307, "4.00000000000000E+307"},
        {"largest double", std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        {"smallest subnormal", std::numeric_limits<double>::denorm_min(),
         "4.94065645841247E-324"},
        // An error of exactly zero says so, as the list writes zero.
        {"zero", 0.0, "0"},
        {"negative zero", -0.0, "0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(fullErrorText(row.value), row.text);
    }
}
