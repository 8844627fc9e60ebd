// What ends a calculation stage: the message tells the user what went wrong
// and what to change.
#pragma once

#include "run/view.h"

#include <stdexcept>
#include <string>

namespace pelorin {

struct CalculationError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What the user is told of a box that holds a number beyond a double.
inline std::string tooLargeToReadMessage(Input box) {
    return "The number entered for " + std::string(inputName(box)) +
           " is too large to calculate with. Enter a number between -1E+308 and 1E+308.";
}

}  // namespace pelorin
