// The problems the lab offers ready-made, as one table of texts exactly as
// a user would type them (the systems are in system_library.h). Every exact
// solution is written with the start (x0, y0), so that it stays the solution
// when the start is changed.
#pragma once

#include "problem/problem.h"

#include <array>
#include <string_view>

namespace pelorin {

struct LibraryProblem {
    std::string_view name;  // as the list of problems shows it
    std::string_view f, exact, x0, y0, x1;
    std::string_view description;  // one line: what the problem shows
};

// The lesson's equation first: it is the lab's default.
inline constexpr std::array<LibraryProblem, 11> problemLibrary{{
    {"Lesson: y' = -2x - y", "-2*x - y", "2 - 2*x + (y0 - 2 + 2*x0)*exp(-(x - x0))", "0", "-1",
     "1",
     "The program's own equation: linear with \u03bb = -1, so the end-point and mid-point "
     "methods agree, and so do Runge-Kutta 4 and Gill."},
    {"Textbook: y' = y - x\u00b2 + 1", "y - x^2 + 1", "(x + 1)^2 + (y0 - (x0 + 1)^2)*exp(x - x0)",
     "0", "0.5", "2",
     "The textbook's exercise, y(0) = 0.5 on [0, 2]: the slope depends on x nonlinearly and the "
     "methods part ways."},
    {"Growth: y' = y", "y", "y0*exp(x - x0)", "0", "1", "2",
     "Exponential growth: every error grows with the solution."},
    {"Logistic: y' = y(1 - y)", "y*(1 - y)", "y0/(y0 + (1 - y0)*exp(-(x - x0)))", "0", "0.1", "6",
     "Growth that levels off at 1: nonlinear in y, unstable at 0 and stable at 1."},
    {"Bell: y' = -2xy", "-2*x*y", "y0*exp(x0^2 - x^2)", "0", "1", "2",
     "The bell curve e^(-x^2): the decay grows stronger as x grows."},
    {"Stiff: y' = -50(y - cos x)", "-50*(y - cos(x))",
     "(2500*cos(x) + 50*sin(x))/2501 + (y0 - (2500*cos(x0) + 50*sin(x0))/2501)*exp(-50*(x - x0))",
     "0", "0", "1",
     "Stiff: a fast transient onto a slow curve; Euler is stable only for h below 2/50 = 0.04."},
    {"Prothero-Robinson: y' = \u03bb(y - sin x) + cos x", "-1000000*(y - sin(x)) + cos(x)",
     "sin(x) + (y0 - sin(x0))*exp(-1000000*(x - x0))", "0", "0", "1",
     "Very stiff (\u03bb = -1E+6) with the smooth solution sin x: Gauss-Legendre 4 and Radau IIA 3 "
     "fall to their stage order 2. Put -1 for -1000000 in f and the exact solution: their full "
     "orders return."},
    {"Riccati: y' = x\u00b2 + y\u00b2", "x^2 + y^2", "", "0", "0", "1",
     "No elementary solution: errors are measured against a reference solution. (It escapes to "
     "infinity near x = 2.003.)"},
    {"Quadrature: y' = cos x", "cos(x)", "y0 + sin(x) - sin(x0)", "0", "0", "3",
     "A slope without y: each method becomes a quadrature rule (Runge-Kutta 4 is Simpson's)."},
    {"Periodic: y' = y cos x", "y*cos(x)", "y0*exp(sin(x) - sin(x0))", "0", "1", "6",
     "A growth rate that changes sign: the solution swells and shrinks with sin x."},
    {"Escape: y' = 1 + y\u00b2", "1 + y^2", "tan(x - x0 + atan(y0))", "0", "0", "1.5",
     "The solution tan x escapes to infinity at \u03c0/2 = 1.5708: near x1 every method struggles."},
}};

// The entry as the boxes of a problem hold it.
ProblemText problemText(const LibraryProblem& entry);

}  // namespace pelorin
