// The exact solution of dy/dx = -2x - y through a starting point (x0, y0):
// y(x) = 2 - 2x + C e^-(x - x0) with C = y0 - 2 + 2 x0. The exact table of a
// calculation and every window that compares against the exact value use it.
#pragma once

namespace pelorin {

class ExactSolution {
public:
    ExactSolution(double x0, double y0) : x0_(x0), C_((y0 - 2) + 2 * x0) {}

    // False when the starting values are too large for the constant C.
    bool isFinite() const;
    // y(x), evaluated as ((e^-(x - x0) C) - 2x) + 2. On the line 2 - 2x
    // (C = 0) e^-(x - x0) is not evaluated: it may overflow far below x0,
    // and 0 times infinity would give NaN for a finite value.
    double operator()(double x) const;

private:
    double x0_;
    double C_;
};

}  // namespace pelorin
