// How fast each method's global error at x1 falls as the step shrinks: runs
// of N = 1, 2, 4, ... steps of h = (x1 - x0)/N, the observed order between
// successive steps, and the rounding floor where the error stops falling.
#pragma once

#include "methods/methods.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// y' = f(x, y), y(x0) = y0, solved up to x1, whose exact value there is known.
struct ConvergenceProblem {
    double x0 = 0, y0 = 0, x1 = 0;
    Slope f = f1;
    double exactAtEnd = 0;  // y(x1)
};

// The program's equation, with the exact solution through (x0, y0).
ConvergenceProblem lessonProblem(double x0, double y0, double x1);

struct ConvergencePoint {
    long steps = 0;             // N
    double h = 0;               // (x1 - x0)/N
    long slopeEvaluations = 0;  // stages · N
    // |y_N - y(x1)|; empty when the run or the error overflowed.
    std::optional<double> error;
    // log2 of the error ratio to the run with half as many steps; empty for
    // the first run and wherever either error is missing or zero.
    std::optional<double> order;
};

struct ConvergenceSeries {
    const Method* method = nullptr;
    // N = 2^0 ... 2^doublings; none when x1 - x0 is beyond a double.
    std::vector<ConvergencePoint> points;
    // The run from which on the error stops falling: rounding, not the
    // method, decides it there. Empty when the error falls to the end.
    std::optional<std::size_t> floor;
};

struct ConvergenceStudy {
    int doublings = 0;
    std::array<ConvergenceSeries, methodCatalogue.size()> series;  // catalogue order
    std::vector<std::string> notes;  // what the plot and the table cannot say
};

// The value after `steps` steps of the method from x0 to x1, the abscissae
// x_i = x0 + i·h computed afresh so that the last one is x1 itself.
double runToEnd(const Method& method, const ConvergenceProblem& problem, long steps);

// log2(coarse/fine): the order the two errors show for a halved step.
double observedOrder(double coarseError, double fineError);

// Beyond a million steps a run only measures rounding, and slowly.
inline constexpr int maxDoublings = 20;

// Every method of the catalogue with N = 2^0 ... 2^doublings steps
// (doublings clamped to 0 ... maxDoublings).
ConvergenceStudy studyConvergence(const ConvergenceProblem& problem, int doublings);

}  // namespace pelorin
