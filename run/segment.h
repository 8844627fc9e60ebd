// A straight segment from (x1, y1) to (x2, y2) in a plot's own coordinates:
// in double for what the explanations compute, in single precision with a
// pen for what the plot area is handed to draw.
#pragma once

#include "run/view.h"

namespace pelorin {

template <class Number>
struct SegmentOf {
    Number x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

using Segment = SegmentOf<double>;

struct CanvasLine {
    SegmentOf<float> at;
    Pen pen = Pen::foreground;
};

}  // namespace pelorin
