// What ends a calculation stage: the message tells the user what went wrong
// and what to change.
#pragma once

#include <stdexcept>

namespace pelorin {

struct CalculationError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace pelorin
