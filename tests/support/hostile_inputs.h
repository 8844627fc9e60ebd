// Odd and hostile texts in the four input boxes, with every method: each row
// gives the inputs, then exactly what the results list gains and the error the
// user is told, if any. The core's tests and the window's tests both run them.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelorin::testing {

using Lines = std::vector<std::string>;

// The blank, the heading and the blank that open every calculation's lines,
// then its steps.
inline Lines listed(std::string heading, const Lines& steps = {}) {
    Lines lines{" ", std::move(heading), " "};
    lines.insert(lines.end(), steps.begin(), steps.end());
    return lines;
}

inline const Lines defaultExample = listed("Euler Method", {"0.4    -0.6"});

// The largest double as the list writes it, rounded to 15 digits.
inline const std::string largestListed = "1.79769313486232E+308";

struct HostileRow {
    const char* name;
    std::string x0 = "0", y0 = "-1", x1 = "0.4", h = "0.4";
    std::string_view method = "Euler";
    Lines lines = {};             // every line the calculation appends
    const char* error = nullptr;  // a distinctive part of the message, if one is reported
};

inline const std::vector<HostileRow>& hostileRows() {
    static const std::vector<HostileRow> table{
        // x0
        {.name = "x0 empty", .x0 = "", .lines = defaultExample},
        {.name = "x0 blanks only", .x0 = "  \t ", .lines = defaultExample},
        {.name = "x0 letters", .x0 = "abc", .method = "Euler (End points)",
         .lines = listed("Euler End-Point Method", {"0.4    -0.84"})},
        {.name = "x0 comma reads up to it", .x0 = "0,9", .lines = defaultExample},
        {.name = "x0 too small for a double", .x0 = "1e-400", .method = "Euler (Mid point)",
         .lines = listed("Euler Mid-Point Method", {"0.4    -0.84"})},
        {.name = "x0 nan", .x0 = "nan", .lines = defaultExample},
        {.name = "x0 inf", .x0 = "inf", .method = "Runge-Kutta 4",
         .lines = listed("Runge-Kutta-4 Method", {"0.4    -0.8112"})},
        {.name = "x0 hexadecimal", .x0 = "0x10", .method = "Runge-Kutta-Fehlberg",
         .lines = listed("Runge-Kutta-Fehlberg Method", {"0.4    -0.810949907692308"})},
        {.name = "x0 Arabic-Indic one", .x0 = "\u0661", .method = "Runge-Kutta-Merson",
         .lines = listed("Runge-Kutta-Merson Method", {"0.4    -0.810986666666667"})},
        {.name = "x0 control characters", .x0 = "\x01\x02" "5", .method = "Runge-Kutta-Gill",
         .lines = listed("Runge-Kutta-Gill Method", {"0.4    -0.8112"})},
        {.name = "x0 beyond a double", .x0 = "1e400",
         .error = "The number entered for x0 is too large"},
        {.name = "x0 beyond a double, negative", .x0 = "-1e400",
         .error = "The number entered for x0 is too large"},
        {.name = "x0 of ten thousand digits", .x0 = std::string(10000, '7'),
         .error = "The number entered for x0 is too large"},
        // e^-(x - x0) is taken relative to the start, so it stays small here.
        {.name = "start below -709", .x0 = "-800", .x1 = "-799", .h = "0.5", .method = "Runge-Kutta 4",
         .lines = listed("Runge-Kutta-4 Method",
                         {"-799.5    628.346354166667", "-799    1009.822136773"})},
        {.name = "start below -709 in quarters", .x0 = "-800", .x1 = "-799", .h = "0.25",
         .method = "Runge-Kutta-Fehlberg",
         .lines = listed("Runge-Kutta-Fehlberg Method",
                         {"-799.75    353.082681313539", "-799.5    628.731876733442",
                          "-799.25    843.2970283888", "-799    1010.28989175279"})},
        {.name = "x0 and x1 at the ends of the doubles", .x0 = "-1e308", .x1 = "1e308", .h = "1e307",
         .error = "too large to calculate the exact solution"},
        {.name = "range of 2e307", .x0 = "-1e307", .x1 = "1e307", .h = "1e307",
         .method = "Runge-Kutta 4", .lines = listed("Runge-Kutta-4 Method"),
         .error = "At step 1 the numbers grew too large"},

        // y0
        {.name = "y0 empty", .y0 = "", .lines = listed("Euler Method", {"0.4    0"})},
        {.name = "y0 blanks only", .y0 = "   ", .method = "Runge-Kutta-Gill",
         .lines = listed("Runge-Kutta-Gill Method", {"0.4    -0.1408"})},
        {.name = "y0 comma reads up to it", .y0 = "1,5", .method = "Euler (Mid point)",
         .lines = listed("Euler Mid-Point Method", {"0.4    0.52"})},
        {.name = "y0 sign, bare fraction, exponent, letter", .y0 = "+.5e-3x",
         .lines = listed("Euler Method", {"0.4    0.0003"})},
        {.name = "y0 +.5e-3x with Merson", .y0 = "+.5e-3x", .method = "Runge-Kutta-Merson",
         .lines = listed("Runge-Kutta-Merson Method", {"0.4    -0.140322613333333"})},
        {.name = "y0 tab before the number", .y0 = "\t-1", .lines = defaultExample},
        {.name = "y0 line break before the number", .y0 = "\n-1", .method = "Runge-Kutta-Gill",
         .lines = listed("Runge-Kutta-Gill Method", {"0.4    -0.1408"})},
        {.name = "y0 NUL inside", .y0 = std::string("-1\0" "9", 4), .lines = defaultExample},
        {.name = "y0 fullwidth minus one", .y0 = "\uFF0D\uFF11",
         .lines = listed("Euler Method", {"0.4    0"})},
        {.name = "y0 U+2212 minus one", .y0 = "\u22121", .lines = listed("Euler Method", {"0.4    0"})},
        {.name = "y0 of one million characters", .y0 = "-1." + std::string(999'997, '0'),
         .lines = defaultExample},
        {.name = "y0 beyond a double", .y0 = "1e400",
         .error = "The number entered for y0 is too large"},
        {.name = "y0 just beyond the largest listed number", .y0 = "1.79769313486233E+308",
         .error = "The number entered for y0 is too large"},
        // What the list shows for the largest double can be entered again.
        {.name = "y0 the largest listed number, h = 0", .y0 = largestListed, .h = "0",
         .lines = listed("Euler Method", Lines(10, "0    " + largestListed)),
         .error = "With h = 0 the calculation never gets from x0 to x1"},
        {.name = "y0 minus the largest listed number", .y0 = "-" + largestListed,
         .lines = listed("Euler Method", {"0.4    -1.07861588091739E+308"}),
         .error = "The solution is too large to plot"},

        // x1
        {.name = "x1 empty", .x1 = "", .error = "x0 and x1 are equal"},
        {.name = "x1 letters", .x1 = "abc", .error = "x0 and x1 are equal"},
        {.name = "x1 too small for a double", .x1 = "1e-400", .error = "x0 and x1 are equal"},
        {.name = "x1 U+2212 minus", .x1 = "\u22120.4", .error = "x0 and x1 are equal"},
        {.name = "x1 equal to x0", .x0 = "0.4", .x1 = "0.4", .error = "x0 and x1 are equal"},
        {.name = "x1 comma reads up to it", .x1 = "1,5", .method = "Runge-Kutta-Gill",
         .lines = listed("Runge-Kutta-Gill Method",
                         {"0.4    -0.8112", "0.8    -0.94830848", "1.2    -1.303906004992"})},
        {.name = "x1 below x0", .x1 = "-0.4", .method = "Runge-Kutta-Fehlberg",
         .lines = listed("Runge-Kutta-Fehlberg Method")},
        {.name = "x1 a tiny range away", .x1 = "1e-300", .lines = defaultExample},
        {.name = "x1 of one million characters", .x1 = "0.4" + std::string(999'997, 'x'),
         .lines = defaultExample},
        {.name = "x1 beyond a double", .x1 = "1e400",
         .error = "The number entered for x1 is too large"},
        {.name = "x1 beyond a double, negative", .x1 = "-1e400",
         .error = "The number entered for x1 is too large"},
        // -3 e^710 is beyond a double: the exact solution cannot be sampled.
        {.name = "x1 more than 709 below x0", .x1 = "-710",
         .error = "The exact solution grows too large to calculate"},
        {.name = "x1 more than 709 below a start below -709", .x0 = "-800", .x1 = "-1510",
         .method = "Runge-Kutta-Gill", .error = "The exact solution grows too large to calculate"},
        // -3 e^700 fits a double but not the plot's single precision.
        {.name = "x1 700 below x0", .x1 = "-700", .lines = listed("Euler Method"),
         .error = "The solution is too large to plot"},

        // h
        {.name = "h empty", .h = "", .lines = listed("Euler Method", Lines(10, "0    -1")),
         .error = "With h = 0 the calculation never gets from x0 to x1"},
        {.name = "h zero with Merson", .h = "0", .method = "Runge-Kutta-Merson",
         .lines = listed("Runge-Kutta-Merson Method", Lines(10, "0    -1")),
         .error = "With h = 0"},
        {.name = "h nan", .h = "nan", .lines = listed("Euler Method", Lines(10, "0    -1")),
         .error = "With h = 0"},
        {.name = "h hexadecimal", .h = "0x10", .lines = listed("Euler Method", Lines(10, "0    -1")),
         .error = "With h = 0"},
        {.name = "h = 1e300", .h = "1e300", .lines = listed("Euler Method", {"1E+300    1E+300"}),
         .error = "The solution is too large to plot"},
        {.name = "h = 1e300 with Runge-Kutta 4", .h = "1e300", .method = "Runge-Kutta 4",
         .lines = listed("Runge-Kutta-4 Method"), .error = "At step 1 the numbers grew too large"},
        {.name = "h = 1e-300", .h = "1e-300",
         .lines = listed("Euler Method", {"1E-300    -1", "2E-300    -1", "3E-300    -1",
                                          "4E-300    -1", "5E-300    -1", "6E-300    -1",
                                          "7E-300    -1", "8E-300    -1", "9E-300    -1",
                                          "1E-299    -1"}),
         .error = "More than 10 steps would be needed to get from x0 to x1 with h = 1E-300."},
        {.name = "h negative", .h = "-0.1", .method = "Euler (End points)",
         .lines = listed("Euler End-Point Method",
                         {"-0.1    -1.115", "-0.2    -1.263075", "-0.3    -1.447697875",
                          "-0.4    -1.672706151875", "-0.5    -1.94234029782187",
                          "-0.6    -2.26128602909317", "-0.7    -2.63472106214795",
                          "-0.8    -3.06836677367349", "-0.9    -3.56854528490921",
                          "-1    -4.14224253982467"}),
         .error = "With a negative h the calculation moves away from x1"},
        {.name = "h +.5e-3x", .h = "+.5e-3x", .method = "Euler (Mid point)",
         .lines = listed("Euler Mid-Point Method",
                         {"0.0005    -0.999500375", "0.001    -0.999001499625047",
                          "0.0015    -0.998503373500422", "0.002    -0.998005996251593",
                          "0.0025    -0.997509367504217", "0.003    -0.997013486884136",
                          "0.0035    -0.99651835401738", "0.004    -0.996023968530165",
                          "0.0045    -0.995530330048896", "0.005    -0.995037438200163"}),
         .error = "with h = 0.0005."},
        {.name = "h of ten thousand characters", .h = "0." + std::string(9998, '4'),
         .lines = listed("Euler Method", {"0.444444444444444    -0.555555555555556"})},
        {.name = "h comma reads up to it", .h = "1,5", .lines = listed("Euler Method", {"1    0"})},
        {.name = "h with a carriage return", .h = "0.4\r", .lines = defaultExample},
        {.name = "h +1.e0 and a letter", .h = "+1.e0x", .method = "Runge-Kutta-Fehlberg",
         .lines = listed("Runge-Kutta-Fehlberg Method", {"1    -1.10144230769231"})},
        {.name = "h with more digits than a double holds", .h = "1.0000000000000000000001",
         .method = "Runge-Kutta-Merson",
         .lines = listed("Runge-Kutta-Merson Method", {"1    -1.10416666666667"})},
        {.name = "h beyond a double", .h = "1e400", .error = "The number entered for h is too large"},
        {.name = "h beyond a double, negative", .h = "-1e400",
         .error = "The number entered for h is too large"},
    };
    return table;
}

}  // namespace pelorin::testing
