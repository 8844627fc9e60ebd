// The results list as a table: one row per step line, with the method whose
// heading opened its block, for saving the list as CSV.
#pragma once

#include "analysis/text_table.h"

#include <string>
#include <vector>

namespace pelorin {

// Columns method, x, y. The list's blocks are " ", heading, " ", then step
// lines "x    y"; the blank lines themselves give no row.
TextTable resultsTable(const std::vector<std::string>& lines);

}  // namespace pelorin
