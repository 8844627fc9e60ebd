// Tableau entries read exactly as typed; the values were worked out by hand
// ((3 - √3)/6 = 1/2 - √3/6, √8 = 2√2, 1/√3 = √3/3, 0.125 = 1/8,
// (3 - 2√3)/12 = 1/4 - √3/6).
#include "symbolic/exact_entry.h"

#include <gtest/gtest.h>

#include <string>

using namespace pelorin;

TEST(ExactEntry, ReadsNumbersFractionsDecimalsAndSquareRootsExactly) {
    const struct {
        const char* typed;
        const char* read;
    } cases[] = {
        {"3", "3"},
        {" -7200/2197 ", "-7200/2197"},
        {"0.125", "1/8"},
        {".5", "1/2"},
        {"0.1 + 0.2", "3/10"},
        {"2^-1", "1/2"},
        {"(3 - sqrt(3))/6", "1/2-1/6*sqrt(3)"},
        {"sqrt(8)", "2*sqrt(2)"},
        {"sqrt(2)*sqrt(2)", "2"},
        {"1/4 + sqrt(3)/6", "1/4+1/6*sqrt(3)"},
        {"1/sqrt(3)", "1/3*sqrt(3)"},
        {"3^(-1/2)", "1/3*sqrt(3)"},
        {"sqrt(6) - sqrt(2)*sqrt(3)", "0"},
        {"sqrt(2/9)", "1/3*sqrt(2)"},
        {"(3 - √3)/6", "1/2-1/6*sqrt(3)"},
        {"(3 - 2√3)/12", "1/4-1/6*sqrt(3)"},
        {"-√2/2", "-1/2*sqrt(2)"},
    };
    for (const auto& c : cases) {
        const ExactReading reading = readExactEntry(c.typed);
        ASSERT_TRUE(reading.value) << c.typed << ": " << reading.why;
        EXPECT_EQ(exactText(*reading.value), c.read) << c.typed;
    }
}

TEST(ExactEntry, SaysWhyATextIsNoEntry) {
    const std::string deep = std::string(100, '(') + "1" + std::string(100, ')');
    const struct {
        std::string typed;
        const char* why;
    } cases[] = {
        {"", "is empty"},
        {"  ", "is empty"},
        {"x", "cannot be read at \"x\": an entry is a number, a fraction or a square root"},
        {"1/3 x", "cannot be read at \"x\": an entry is a number, a fraction or a square root"},
        {"1/0", "divides by zero"},
        {"1/(sqrt(2) - sqrt(2))", "divides by zero"},
        {"0^-1", "divides by zero"},
        {"0^0", "raises 0 to the power 0"},
        {"9^9^9", "has a power beyond 16"},
        {"sqrt(-3)", "takes the square root of a negative number"},
        {"sqrt(1 - sqrt(5))", "takes the square root of a negative number"},
        {"2^(1/3)", "has a power that is neither a whole number nor half of one"},
        {"sqrt(sqrt(2))", "takes the square root of a root: roots are of numbers and fractions"},
        {"(-2)^(1/2)", "takes the square root of a negative number"},
        {"sqrt 3", "needs brackets after sqrt, as in sqrt(3)"},
        {"(1 + 2", "misses a closing bracket"},
        {"1 +", "ends too soon"},
        {".", "has a point without digits"},
        {deep, "is nested too deeply"},
    };
    for (const auto& c : cases) {
        const ExactReading reading = readExactEntry(c.typed);
        EXPECT_FALSE(reading.value) << c.typed;
        EXPECT_EQ(reading.why, c.why) << c.typed;
    }
}
