// What the lab's plots can show and how far their axes reach: an axis spans
// zero and magnitudes between 1E-280 and 1E+250 (the plotting library's
// smallest and largest range); values beyond are left out of the plot, and
// the notes say so, while the tables still give them.
#pragma once

#include "run/segment.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace pelorin {

inline constexpr double smallestDrawable = 1e-280, largestDrawable = 1e250;

bool drawable(double value);
bool drawable(std::initializer_list<double> values);
bool drawable(const Segment& segment);

// What the notes say of values left out for that reason.
std::string undrawableNote();

// The points of a polyline that a plot can show, and whether any was left out.
struct DrawablePoints {
    std::vector<double> x, y;
    bool leftOut = false;
};
DrawablePoints drawablePoints(const std::vector<double>& x, const std::vector<double>& y);

// An axis range that grows to hold what is put in it.
struct Extent {
    double lower = 0, upper = 0;
    bool empty = true;

    void include(double value);
    // Wider by `factor` about its middle, so that markers at the edges show whole.
    Extent widened(double factor) const;
};

}  // namespace pelorin
