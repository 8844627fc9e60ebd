#include "methods/exact_solution.h"

#include <cmath>

namespace pelorin {

bool ExactSolution::isFinite() const { return std::isfinite(C_); }

double ExactSolution::operator()(double x) const {
    const double transient = C_ == 0 ? 0.0 : std::exp(-(x - x0_)) * C_;
    return transient - 2 * x + 2;
}

}  // namespace pelorin
