// A polyline cut to a box: what a painter is handed of a curve whose points
// may lie any distance outside the view. A painter works in bounded
// coordinates (fixed point, or integers), so a point 1E+100 pixels away is
// lost or wraps round: a segment towards it is drawn the wrong way, or the
// whole line is dropped. Cut at a box a little larger than the view, every
// segment keeps its direction and the points in view all show.
#pragma once

#include "numerics/direction_field.h"

#include <vector>

namespace pelorin {

struct PlotBox {
    double left = 0, right = 0, low = 0, high = 0;  // left < right, low < high
};

// The parts of the polyline through `points` that lie in `box`, in order:
// each segment cut where it leaves or enters the box, and a new part
// wherever the line leaves the box or a point is not a number (a gap).
// Each part holds two points or more; a segment that only touches the box
// at one point is left out, as is a segment with an infinite end.
std::vector<std::vector<PlotPoint>> partsInBox(const std::vector<PlotPoint>& points,
                                               const PlotBox& box);

}  // namespace pelorin
