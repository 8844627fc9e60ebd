#include "numerics/order_notes.h"

#include "base/number_text.h"
#include "base/words.h"
#include "numerics/method_properties.h"
#include "numerics/stability_function.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <string_view>

namespace pelorin {

namespace {

// An order read by the method itself, settled or with steps still too large,
// not one rounding or the reference decides.
bool readByTheMethod(const ConvergencePoint& point) {
    return point.order && (point.reading == OrderReading::settled ||
                           point.reading == OrderReading::preAsymptotic);
}

// The orders a method shows near its stage order on stiff steps: the points
// [first, last] of the longest such stretch of runs.
struct ReducedStretch {
    std::size_t first = 0, last = 0;
    double lowest = 0, highest = 0;
};

constexpr std::size_t shortestStretch = 3;  // orders in a row, so that one is no accident
constexpr double nearStageOrder = 0.5;

std::optional<ReducedStretch> reducedStretch(const ConvergenceSeries& series, int stages,
                                             double stiffness) {
    std::optional<ReducedStretch> longest;
    std::optional<std::size_t> begin;
    const auto& points = series.points;
    for (std::size_t k = 1; k <= points.size(); ++k) {
        const bool reduced = k < points.size() && readByTheMethod(points[k]) &&
                             points[k].h * stiffness >= stiffStep &&
                             std::abs(*points[k].order - stages) <= nearStageOrder;
        if (reduced && !begin) begin = k;
        if (reduced || !begin) continue;
        const std::size_t end = k - 1;
        if (end + 1 - *begin >= shortestStretch &&
            (!longest || end - *begin > longest->last - longest->first)) {
            ReducedStretch stretch{*begin, end, *points[*begin].order, *points[*begin].order};
            for (std::size_t i = *begin; i <= end; ++i) {
                stretch.lowest = std::min(stretch.lowest, *points[i].order);
                stretch.highest = std::max(stretch.highest, *points[i].order);
            }
            longest = stretch;
        }
        begin.reset();
    }
    return longest;
}

// The orders a method shows near its own order again after a reduced
// stretch: the first such run and their range.
struct ClimbBack {
    std::size_t first = 0;
    double lowest = 0, highest = 0;
};

constexpr double nearOwnOrder = 0.3;

std::optional<ClimbBack> climbBack(const ConvergenceSeries& series, std::size_t after, int order) {
    std::optional<ClimbBack> back;
    for (std::size_t k = after + 1; k < series.points.size(); ++k) {
        const ConvergencePoint& point = series.points[k];
        if (!readByTheMethod(point) || std::abs(*point.order - order) > nearOwnOrder) continue;
        if (!back) back = ClimbBack{k, *point.order, *point.order};
        back->lowest = std::min(back->lowest, *point.order);
        back->highest = std::max(back->highest, *point.order);
    }
    return back;
}

// Whether R(z) tends to 1 in size as z → -∞, so that a step with large h·|λ|
// barely damps an error carried into it.
bool undampedAtInfinity(const Tableau& tableau) {
    const auto limit = stabilityVerdict(tableau).atInfinity;
    return limit && std::abs(std::abs(*limit) - 1) < 1e-12;
}

std::string joined(const std::vector<std::string>& items, const std::string& separator) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
    return text;
}

std::string ordersText(double lowest, double highest) {
    const std::string low = fixedText(lowest, 2), high = fixedText(highest, 2);
    return low == high ? "order " + low : "orders " + low + " to " + high;
}

}  // namespace

std::optional<std::string> orderReductionNote(const ConvergenceStudy& study, Stiffness stiffness) {
    if (!(stiffness.size > 0) || !std::isfinite(stiffness.size)) return std::nullopt;
    std::vector<std::string> shown;
    std::vector<std::string_view> undamped;  // of the methods that climb back
    double leastStiffStep = INFINITY;
    for (const ConvergenceSeries& series : study.series) {
        // An explicit method's runs with h·|λ| this large are unstable, not
        // reduced: whatever orders they show say nothing of its stages.
        const Tableau* tableau = series.method ? tableauOf(*series.method) : nullptr;
        if (!tableau || !tableau->isImplicit()) continue;
        const int order = rungeKuttaOrder(*tableau), stages = stageOrder(*tableau);
        if (stages >= order) continue;
        const auto stretch = reducedStretch(series, stages, stiffness.size);
        if (!stretch) continue;
        const auto& points = series.points;
        std::string said = std::string(series.method->caption) + " shows " +
                           ordersText(stretch->lowest, stretch->highest) + " (N = " +
                           std::to_string(points[stretch->first].steps) + " to " +
                           std::to_string(points[stretch->last].steps) + "), not " +
                           std::to_string(order) + " but near its stage order " +
                           std::to_string(stages);
        if (const auto back = climbBack(series, stretch->last, order)) {
            said += ", and from N = " + std::to_string(points[back->first].steps) +
                    " on climbs back to " + ordersText(back->lowest, back->highest);
            if (undampedAtInfinity(*tableau)) undamped.push_back(series.method->caption);
        }
        shown.push_back(said);
        leastStiffStep = std::min(leastStiffStep, points[stretch->last].h * stiffness.size);
    }
    if (shown.empty()) return std::nullopt;
    const std::string lambda = stiffness.system
                                   ? "the eigenvalue of \u2202F/\u2202y largest in size"
                                   : "\u2202f/\u2202y";
    std::string note =
        "Order reduction: |\u03bb| = " + errorText(stiffness.size) + " at the start (\u03bb = " +
        lambda + "), so h\u00b7|\u03bb| is " + errorText(leastStiffStep) +
        " or more on these runs. There " + joined(shown, "; ") +
        ". A stage is accurate only to the stage order; where h\u00b7\u03bb is small, the order "
        "conditions make the stages' errors cancel in the step up to the full order, but where "
        "h\u00b7\u03bb is large that cancellation fails and the stages' own errors remain.";
    if (!undamped.empty()) {
        note += " For " + listedInWords(undamped) + " |R(\u221e)| = 1: while h\u00b7|\u03bb| is "
                "large a step barely damps the errors carried into it, so the stage errors of all "
                "steps add up; with more and shorter steps the damping grows until they no longer "
                "do, and the full order shows again.";
    }
    return note;
}

namespace {

// A run whose order shows the method's and whose error rounding moves by
// well under the half percent a ratio of two decimals can show: at
// roundingMargin·√N rounding units it may move an order by 0.05, a ratio by
// 3.5 %, so the error here is sixteen times larger than that.
bool showsTheOrder(const ConvergenceSeries& series, std::size_t k, int order,
                   double solutionSize) {
    const ConvergencePoint& point = series.points[k];
    constexpr double orderSpread = 0.3, ratioMargin = 16 * roundingMargin;
    const double rounding = ratioMargin * std::sqrt(static_cast<double>(point.steps)) *
                            std::numeric_limits<double>::epsilon() * solutionSize;
    return point.error && *point.error > rounding && (!series.floor || k < *series.floor) &&
           point.order && point.reading == OrderReading::settled &&
           std::abs(*point.order - order) <= orderSpread;
}

struct Compared {
    const ConvergenceSeries* series;
    double constant;
};

std::string ratioText(double ratio) { return fixedText(ratio, 2); }

std::optional<std::string> constantsNote(int order, const std::vector<Compared>& methods,
                                         double solutionSize) {
    // The number of steps that most of the methods show their order at,
    // the largest such.
    std::map<std::size_t, std::vector<const Compared*>, std::greater<>> showing;
    for (const Compared& method : methods) {
        for (std::size_t k = 1; k < method.series->points.size(); ++k) {
            if (showsTheOrder(*method.series, k, order, solutionSize)) {
                showing[k].push_back(&method);
            }
        }
    }
    const auto most = std::max_element(showing.begin(), showing.end(), [](auto& a, auto& b) {
        return a.second.size() < b.second.size();
    });
    if (most == showing.end() || most->second.size() < 2) return std::nullopt;
    const std::size_t k = most->first;
    const std::vector<const Compared*>& shown = most->second;
    const Compared& first = *shown.front();
    const double firstError = *first.series->points[k].error;
    std::vector<std::string> others;
    for (std::size_t i = 1; i < shown.size(); ++i) {
        others.push_back(std::string(shown[i]->series->method->caption) + " " +
                         ratioText(*shown[i]->series->points[k].error / firstError) + " and " +
                         ratioText(shown[i]->constant / first.constant));
    }
    return "Same order " + std::to_string(order) +
           ", errors and principal error constants at N = " +
           std::to_string(first.series->points[k].steps) + " as multiples of " +
           std::string(first.series->method->caption) + "'s (" + errorText(firstError) + " and " +
           errorText(first.constant) + "): " + joined(others, "; ") + ".";
}

}  // namespace

std::vector<std::string> errorConstantNotes(const ConvergenceStudy& study) {
    std::map<int, std::vector<Compared>> byOrder;
    for (const ConvergenceSeries& series : study.series) {
        const Tableau* tableau = series.method ? tableauOf(*series.method) : nullptr;
        if (!tableau) continue;
        const auto constant = principalErrorConstant(*tableau);
        if (constant && *constant > 0) {
            byOrder[rungeKuttaOrder(*tableau)].push_back({&series, *constant});
        }
    }
    std::vector<std::string> notes;
    for (const auto& [order, methods] : byOrder) {
        if (const auto note = constantsNote(order, methods, study.solutionSize)) {
            notes.push_back(*note);
        }
    }
    if (!notes.empty()) {
        notes.push_back("A principal error constant weighs every tree of order p + 1 alike, a "
                        "problem each by its own derivatives, so the two multiples need not "
                        "agree.");
    }
    return notes;
}

std::vector<std::string> orderNotes(const ConvergenceStudy& study) {
    std::vector<std::string> notes = errorConstantNotes(study);
    if (const auto note = orderReductionNote(study, study.stiffness)) {
        notes.insert(notes.begin(), *note);
    }
    return notes;
}

}  // namespace pelorin
