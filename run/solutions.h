// The two tables a calculation fills: the exact solution sampled over the
// range, and the start with the steps of the chosen method. They describe the
// last calculation until the next one starts.
#pragma once

#include "run/solution_table.h"

namespace pelorin {

struct Solutions {
    static constexpr int exactPoints = 12;
    static constexpr int numericalPoints = 11;  // the start and at most ten steps
    SolutionTable exact{exactPoints};
    SolutionTable numerical{numericalPoints};
};

}  // namespace pelorin
