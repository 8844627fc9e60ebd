// The differential equation dy/dx = -2x - y and the seven fixed-step one-step
// methods that solve it, with the catalogue that names them for the window.
#pragma once

#include <array>
#include <string_view>

namespace pelorin {

// A slope function y' = f(x, y).
using Slope = double (*)(double x, double y);

// The problem the program solves: dy/dx = -2x - y.
double f1(double x, double y);

// Step procedures: the approximation at x0 + h from the point (x0, y0).
// Every one evaluates its formula in the written order, so results are the
// same to the last bit on every compiler. They keep no state between calls.
// The slope is a parameter so that the methods can be told apart on other
// equations; the program always uses f1.
double Euler(double x0, double y0, double h, Slope f = f1);
double EulerEP(double x0, double y0, double h, Slope f = f1);
double EulerMP(double x0, double y0, double h, Slope f = f1);
double RK4(double x0, double y0, double h, Slope f = f1);
double RKF(double x0, double y0, double h, Slope f = f1);
double RKM(double x0, double y0, double h, Slope f = f1);
double RK4G(double x0, double y0, double h, Slope f = f1);

using StepProcedure = double (*)(double x0, double y0, double h, Slope f);

// One row of the method catalogue: the option button that selects the method,
// its caption there, the heading it gives in the results list, its step
// procedure and its order of accuracy.
struct Method {
    std::string_view option;
    std::string_view caption;
    std::string_view heading;
    StepProcedure step;
    int order;
};

// In this order the window lists the methods and the calculation tests them.
inline constexpr std::array<Method, 7> methodCatalogue{{
    {"Option_Euler", "Euler", "Euler Method", Euler, 1},
    {"Option_EulerEP", "Euler (End points)", "Euler End-Point Method", EulerEP, 2},
    {"Option_EulerMP", "Euler (Mid point)", "Euler Mid-Point Method", EulerMP, 2},
    {"Option_RK4", "Runge-Kutta 4", "Runge-Kutta-4 Method", RK4, 4},
    {"Option_RKF", "Runge-Kutta-Fehlberg", "Runge-Kutta-Fehlberg Method", RKF, 5},
    {"Option_RKM", "Runge-Kutta-Merson", "Runge-Kutta-Merson Method", RKM, 4},
    {"Option_RK4G", "Runge-Kutta-Gill", "Runge-Kutta-Gill Method", RK4G, 4},
}};

}  // namespace pelorin
