// The textbook's example y' = y - x² + 1, y(0) = 0.5, whose solution is
// y = (x + 1)² - e^x/2: the problem most step and controller tests run.
#pragma once

#include <cmath>

namespace pelorin::testing {

inline double textbook(double x, double y) { return y - x * x + 1; }
inline double textbookExact(double x) { return (x + 1) * (x + 1) - 0.5 * std::exp(x); }

}  // namespace pelorin::testing
