// What a calculation needs of the window, and of the plot area it draws in.
// The window implements both; tests implement them with small fakes.
#pragma once

#include <cstddef>
#include <string>

namespace pelorin {

enum class Input { x0, y0, x1, h };

class WindowView {
public:
    virtual ~WindowView() = default;
    virtual std::string inputText(Input box) const = 0;
    // Whether the option button of catalogue row `row` is selected.
    virtual bool isMethodSelected(std::size_t row) const = 0;
    virtual void appendLine(const std::string& line) = 0;
    // Tells the user why a calculation stopped and what to change.
    virtual void reportError(const std::string& message) = 0;
};

enum class Pen { foreground, red };

// A drawing surface with a user coordinate system; coordinates arrive in
// single precision, and what falls outside the surface is clipped.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void clear() = 0;
    // Maps (left, top) to the upper-left corner of the surface and
    // (right, bottom) to the lower-right one; top > bottom makes ordinates
    // grow upwards, left > right makes abscissae grow leftwards.
    virtual void scale(float left, float top, float right, float bottom) = 0;
    virtual void line(float x1, float y1, float x2, float y2, Pen pen) = 0;
};

}  // namespace pelorin
