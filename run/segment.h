// A straight segment from (x1, y1) to (x2, y2) in a plot's own coordinates.
#pragma once

namespace pelorin {

struct Segment {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

}  // namespace pelorin
