#include "run/solution_table.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

SolutionTable::SolutionTable(int capacity)
    : xs_(static_cast<std::size_t>(capacity)), ys_(static_cast<std::size_t>(capacity)) {}

void SolutionTable::clear() {
    std::fill(xs_.begin(), xs_.end(), 0.0);
    std::fill(ys_.begin(), ys_.end(), 0.0);
    last_ = -1;
}

void SolutionTable::store(int i, double x, double y) {
    if (i < 0 || i >= capacity()) throw TableFull();
    if (!std::isfinite(x) || !std::isfinite(y)) throw NotFinite();
    xs_[static_cast<std::size_t>(i)] = x;
    ys_[static_cast<std::size_t>(i)] = y;
    last_ = std::max(last_, i);
}

}  // namespace pelorin
