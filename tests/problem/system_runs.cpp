#include "tests/problem/system_runs.h"

#include "methods/methods.h"

namespace pelorin::testing {

std::vector<std::vector<double>> rungeKuttaPath(const ComponentsSlope& f, double x0,
                                                const std::vector<double>& y0, double h, int steps) {
    const auto slope = [&f](double x, const StateVector& y) {
        StateVector values(y.size());
        std::vector<double> out(y.size());
        f(x, std::span(y.begin(), y.size()), out);
        for (std::size_t k = 0; k < y.size(); ++k) values[k] = out[k];
        return values;
    };
    StateVector y(y0.size());
    for (std::size_t k = 0; k < y0.size(); ++k) y[k] = y0[k];
    std::vector<std::vector<double>> path{y0};
    for (int i = 0; i < steps; ++i) {
        y = RK4(x0 + i * h, y, h, slope);
        path.emplace_back(y.begin(), y.end());
    }
    return path;
}

}  // namespace pelorin::testing
