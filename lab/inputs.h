// What the Method lab's own boxes hold: the start (x0, y0), the end x1 and
// the chosen method: the last value each box held that was wholly a number.
#pragma once

#include <cstddef>
#include <string>

struct LabInputs {
    double x0 = 0, y0 = 0, x1 = 0;
    std::size_t method = 0;    // catalogue row
    bool readable = false;     // false when a box holds a number beyond a double
    std::string problem;       // why not, in words
};
