// What the plot says when the pointer rests on it: the names of its two
// curves, the coordinates under the pointer to the digits a pixel resolves,
// and a summary of a step point.
#pragma once

#include "base/text_table.h"
#include "run/calculation.h"

#include <string>
#include <vector>

namespace pelorin {

struct CurveNames {
    std::string exact;      // "exact solution through (0, -1)"
    std::string numerical;  // "Euler Method, h = 0.4"
};
// Empty names for a calculation that drew nothing.
CurveNames curveNames(const Calculation& calculation);

// For each row of a table, its cells as "name = value", joined by commas and
// led by the first cell: "step 1: x = 0.4, y = -0.6, exact y = …". Empty
// cells are left out.
std::vector<std::string> rowSummaries(const TextTable& table);

}  // namespace pelorin
