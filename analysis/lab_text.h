// Short number texts for the lab's tables and notes, independent of the
// user's locale like the results list: "3.98", "1.2E-15".
#pragma once

#include <string>

namespace pelorin {

// Fixed point with `decimals` digits after the point.
std::string fixedText(double value, int decimals);

// Three significant digits with an exponent: "1.23E-05", "4.00E+00".
std::string errorText(double value);

}  // namespace pelorin
