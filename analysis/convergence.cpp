#include "analysis/convergence.h"

#include "analysis/lab_text.h"
#include "methods/exact_solution.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {

// Errors above this, relative to the size of the solution, are the
// method's; only below it can a stalled error be blamed on rounding.
constexpr double roundingScale = 1e-9;

std::optional<double> globalError(const Method& method, const ConvergenceProblem& problem,
                                  long steps) {
    const double error = std::fabs(runToEnd(method, problem, steps) - problem.exactAtEnd);
    if (!std::isfinite(error)) return std::nullopt;
    return error;
}

// The first run from which no later run halves its error, confirmed by at
// least two later runs and small enough to be rounding.
std::optional<std::size_t> roundingFloor(const std::vector<ConvergencePoint>& points,
                                         double solutionSize) {
    for (std::size_t i = 0; i + 2 < points.size(); ++i) {
        if (!points[i].error || *points[i].error > roundingScale * solutionSize) continue;
        const bool stalled = std::all_of(points.begin() + static_cast<long>(i) + 1, points.end(),
                                         [&](const ConvergencePoint& later) {
                                             return !later.error ||
                                                    *later.error > *points[i].error / 2;
                                         });
        if (stalled) return i;
    }
    return std::nullopt;
}

std::string stepsText(long steps) {
    return "N = 2^" + std::to_string(std::lround(std::log2(static_cast<double>(steps))));
}

std::string floorText(const ConvergenceSeries& series) {
    double low = 0, high = 0;
    bool first = true;
    for (std::size_t i = *series.floor; i < series.points.size(); ++i) {
        if (!series.points[i].error) continue;
        const double error = *series.points[i].error;
        low = first ? error : std::min(low, error);
        high = first ? error : std::max(high, error);
        first = false;
    }
    return "from " + stepsText(series.points[*series.floor].steps) +
           " on the error stops falling and stays between " + errorText(low) + " and " +
           errorText(high) + ". There rounding, not the method, decides the error: smaller "
           "steps only add more roundings.";
}


}  // namespace

ConvergenceProblem lessonProblem(double x0, double y0, double x1) {
    return {x0, y0, x1, f1, ExactSolution(x0, y0)(x1)};
}

double runToEnd(const Method& method, const ConvergenceProblem& problem, long steps) {
    const double h = (problem.x1 - problem.x0) / static_cast<double>(steps);
    double y = problem.y0;
    for (long i = 0; i < steps; ++i) {
        const double x = problem.x0 + static_cast<double>(i) * h;
        y = method.step(x, y, h, problem.f);
    }
    return y;
}

double observedOrder(double coarseError, double fineError) {
    return std::log2(coarseError / fineError);
}

ConvergenceStudy studyConvergence(const ConvergenceProblem& problem, int doublings) {
    ConvergenceStudy study;
    study.doublings = std::clamp(doublings, 0, maxDoublings);
    const double width = problem.x1 - problem.x0;
    const bool measurable = std::isfinite(problem.x0) && std::isfinite(problem.y0) &&
                            std::isfinite(width) && std::isfinite(problem.exactAtEnd);
    if (!std::isfinite(width)) {
        study.notes.push_back("x0 and x1 are too far apart to divide into steps: no run is "
                              "possible. Move them closer together.");
    } else if (!std::isfinite(problem.exactAtEnd)) {
        study.notes.push_back("The exact solution is too large to calculate at x1, so no error "
                              "can be measured. Choose a shorter range or other starting values.");
    } else if (width == 0) {
        study.notes.push_back("x1 equals x0: there is nothing to step over, every method is "
                              "exact and no order can be observed. Choose an x1 different "
                              "from x0.");
    } else if (width < 0) {
        study.notes.push_back("x1 is below x0: the methods step backwards with a negative h; "
                              "the error is measured at x1 all the same.");
    }
    const double solutionSize = std::max({1.0, std::fabs(problem.y0),
                                          std::isfinite(problem.exactAtEnd)
                                              ? std::fabs(problem.exactAtEnd) : 0.0});

    for (std::size_t row = 0; row < methodCatalogue.size(); ++row) {
        const Method& method = methodCatalogue[row];
        ConvergenceSeries& series = study.series[row];
        series.method = &method;
        int overflowed = 0;
        // A step of infinite size is not a point of any plot.
        const int runs = std::isfinite(width) ? study.doublings : -1;
        for (int k = 0; k <= runs; ++k) {
            ConvergencePoint point;
            point.steps = 1L << k;
            point.h = width / static_cast<double>(point.steps);
            point.slopeEvaluations = method.tableau->stages * point.steps;
            if (measurable) {
                point.error = globalError(method, problem, point.steps);
                if (!point.error) ++overflowed;
            }
            if (!series.points.empty()) {
                const auto& coarse = series.points.back().error;
                if (coarse && point.error && *coarse > 0 && *point.error > 0) {
                    point.order = observedOrder(*coarse, *point.error);
                }
            }
            series.points.push_back(point);
        }
        if (measurable && overflowed > 0) {
            study.notes.push_back(std::string(method.caption) + ": " +
                                  std::to_string(overflowed) +
                                  (overflowed == 1 ? " run grew" : " runs grew") +
                                  " too large to calculate with and " +
                                  (overflowed == 1 ? "is" : "are") + " left out.");
        }
        series.floor = roundingFloor(series.points, solutionSize);
        if (series.floor) {
            study.notes.push_back(std::string(method.caption) + ": " + floorText(series));
        }
    }
    return study;
}

}  // namespace pelorin
