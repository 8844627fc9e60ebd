// What the lab's plots can show and how far their axes reach: an axis spans
// zero and magnitudes between 1E-280 and 1E+250 (the plotting library's
// smallest and largest range); values beyond are left out of the plot, and
// the notes say so, while the tables still give them.
#pragma once

#include "run/segment.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

inline constexpr double smallestDrawable = 1e-280, largestDrawable = 1e250;

bool drawable(double value);
bool drawable(std::initializer_list<double> values);
bool drawable(const Segment& segment);

// What the notes say of values left out for that reason, of the plot named
// (as "Global error: some values …"), or of the page's plot.
std::string undrawableNote(std::string_view plot = {});

// The points of a polyline that a plot can show, and whether any was left out.
struct DrawablePoints {
    std::vector<double> x, y;
    bool leftOut = false;
};
DrawablePoints drawablePoints(const std::vector<double>& x, const std::vector<double>& y);

// The points of a curve of magnitudes |y| for a logarithmic axis: a zero has
// no place there and is dropped; values beyond the axis are left out, as
// drawablePoints leaves them out.
DrawablePoints magnitudePoints(const std::vector<double>& x, const std::vector<double>& y);

// What the notes say of a run whose errors are all 0 past its start, on the
// logarithmic plot named.
std::string zeroErrorsNote(std::string_view plot);

// Two positive values a logarithmic axis draws at one place: within a
// hundredth of the larger.
bool sameOnLogAxis(double a, double b);

// Curves drawn one after another, each over those before it: for each, the
// last later curve that coincides with it and so hides it; empty for a curve
// that shows.
std::vector<std::optional<std::size_t>> hiddenUnder(
    std::size_t count, const std::function<bool(std::size_t, std::size_t)>& coincide);

// A legend's name for a curve hidden under another, so that the eye knows
// where to look for it: "Euler (End points)\n(under Euler (Mid point))".
std::string hiddenCurveName(const std::string& name, std::string_view over);

// The significant digits a tick label at `tick` needs so that it differs
// from its neighbours `step` away: one for each decade from the step's
// leading digit up to the tick's, and one more where the step's own
// leading digits are two (2.5E-06). At least `fewest`, at most 17.
int tickDigits(double tick, double step, int fewest);

// The whole plot's room: its ranges times this about their middles, so that
// markers at the edges show whole.
inline constexpr double wholeRoom = 1.15;

// An axis range that grows to hold what is put in it.
struct Extent {
    double lower = 0, upper = 0;
    bool empty = true;

    void include(double value);
    // Wider by `factor` about its middle, so that markers at the edges show whole.
    Extent widened(double factor) const;
};

}  // namespace pelorin
