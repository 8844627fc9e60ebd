// The Stability page's table of intervals: for each method of the catalogue
// how far its stability reaches along the negative real axis, what its
// region holds of the left half-plane, and the methods whose R(z) is its.
// The multistep rows come from root tests along the axis, which take a
// while: the page computes the table off the window's thread.
#pragma once

#include "methods/methods.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pelorin {

struct StabilityIntervalRow {
    std::string method, interval, halfPlane, alike;
};

// The methods of the catalogue, the own ones as typed, in groups with the
// same R(z) (sameStabilityFunction): the column of twins reads them.
using SameFunctionGroups = std::vector<std::vector<std::size_t>>;

// The row of the catalogue's method `row`, or on an own method's row the
// method typed where given, with the groups of the same methods.
StabilityIntervalRow stabilityIntervalRow(std::size_t row, const TypedMethods& typed,
                                          const SameFunctionGroups& groups);
// Every row, in catalogue order.
std::vector<StabilityIntervalRow> stabilityIntervalRows(const TypedMethods& typed);

}  // namespace pelorin
