// One function per method, stage by stage as the textbooks write them.
// Parentheses are never rearranged: C++ groups a chain of sums, or of
// products and quotients, from the left, which is how the formulas are
// written ((a + b) + c, (3·k1)/32), and the build forbids contracting a
// product and a sum into one fused operation.
#include "methods/methods.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace pelorin {

double f1(double x, double y) { return -2 * x - y; }

double Euler(double x0, double y0, double h, Slope f) {
    const double k1 = h * f(x0, y0);
    return y0 + k1;
}

// The mean of the increments at both ends of the step (Heun).
double EulerEP(double x0, double y0, double h, Slope f) {
    const double k1 = h * f(x0, y0);
    const double k2 = h * f(x0 + h, y0 + k1);
    const double d = (k1 + k2) / 2;
    return y0 + d;
}

// The increment from the slope at the middle of the step.
double EulerMP(double x0, double y0, double h, Slope f) {
    const double k1 = h * f(x0, y0);
    const double k2 = h * f(x0 + h / 2, y0 + k1 / 2);
    return y0 + k2;
}

double RK4(double x0, double y0, double h, Slope f) {
    const double k1 = h * f(x0, y0);
    const double k2 = h * f(x0 + h / 2, y0 + k1 / 2);
    const double k3 = h * f(x0 + h / 2, y0 + k2 / 2);
    const double k4 = h * f(x0 + h, y0 + k3);
    const double d = (k1 + 2 * k2 + 2 * k3 + k4) / 6;
    return y0 + d;
}

// Fehlberg's six stages combined to fifth order; the step size stays fixed.
double RKF(double x0, double y0, double h, Slope f) {
    const double k1 = h * f(x0, y0);
    const double k2 = h * f(x0 + h / 4, y0 + k1 / 4);
    const double k3 = h * f(x0 + 3 * h / 8, y0 + 3 * k1 / 32 + 9 * k2 / 32);
    const double k4 = h * f(x0 + 12 * h / 13,
                            y0 + 1932 * k1 / 2197 - 7200 * k2 / 2197 + 7296 * k3 / 2197);
    const double k5 = h * f(x0 + h,
                            y0 + 439 * k1 / 216 - 8 * k2 + 3680 * k3 / 513 - 845 * k4 / 4104);
    const double k6 = h * f(x0 + h / 2, y0 - 8 * k1 / 27 + 2 * k2 - 3544 * k3 / 2565 +
                                            1859 * k4 / 4104 - 11 * k5 / 40);
    // Here each weight is a fraction worked out first, then applied.
    const double d = 16.0 / 135 * k1 + 6656.0 / 12825 * k3 + 28561.0 / 56430 * k4 -
                     9.0 / 50 * k5 + 2.0 / 55 * k6;
    return y0 + d;
}

// Merson's five stages combined to fourth order; the step size stays fixed.
double RKM(double x0, double y0, double h, Slope f) {
    const double k1 = h * f(x0, y0);
    const double k2 = h * f(x0 + h / 3, y0 + k1 / 3);
    const double k3 = h * f(x0 + h / 3, y0 + k1 / 6 + k2 / 6);
    const double k4 = h * f(x0 + h / 2, y0 + k1 / 8 + 3 * k3 / 8);
    const double k5 = h * f(x0 + h, y0 + k1 / 2 - 3 * k3 / 2 + 2 * k4);
    const double d = (k1 + 4 * k4 + k5) / 6;
    return y0 + d;
}

// Gill's variant of the classical method, whose weights 1 -/+ 1/sqrt(2)
// once saved storage on small machines.
double RK4G(double x0, double y0, double h, Slope f) {
    const double g = 1 / std::sqrt(2.0);
    const double k1 = h * f(x0, y0);
    double k2 = h * f(x0 + h / 2, y0 + k1 / 2);
    double k3 = h * f(x0 + h / 2, y0 + (-0.5 + g) * k1 + (1 - g) * k2);
    const double k4 = h * f(x0 + h, y0 - g * k2 + (1 + g) * k3);
    k2 = 2 * (1 - g) * k2;
    k3 = 2 * (1 + g) * k3;
    const double d = (k1 + k2 + k3 + k4) / 6;
    return y0 + d;
}

const Method& methodByCaption(std::string_view caption) {
    for (const Method& method : methodCatalogue) {
        if (method.caption == caption) return method;
    }
    throw std::invalid_argument("no method is captioned " + std::string(caption));
}

}  // namespace pelorin
