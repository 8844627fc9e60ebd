// What the Tableau page shows of a typed Runge-Kutta tableau: a verdict in
// words and its order conditions, one row per rooted tree, worked out
// exactly.
#pragma once

#include "base/text_table.h"
#include "methods/tableau.h"
#include "symbolic/order_conditions.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

struct TableauView {
    // "Own Runge-Kutta method: order 4, stage order 1, …"
    std::string verdict;
    // R(z), then A-, L- and algebraic stability and symplecticity, a
    // sentence each.
    std::vector<std::string> stability;
    // The same for the steps' layers.
    TypedStability rounded;
    // Tree, Order, Condition, Value, Residual: the trees up to order p + 1.
    TextTable conditions;
};

TableauView tableauView(std::string_view caption, const ExactTableau& tableau);

}  // namespace pelorin
