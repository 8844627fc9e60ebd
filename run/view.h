// What a calculation needs of the window, and of the plot area it draws in.
// The main window implements WindowView and its plot area implements
// Canvas; tests implement both with small fakes.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace pelorin {

// The four input boxes, in the order a calculation reads them.
enum class Input { x0, y0, x1, h };
inline constexpr std::array<Input, 4> inputs{Input::x0, Input::y0, Input::x1, Input::h};

// The short mathematical name of a box, as its label and a screen reader say it.
constexpr std::string_view inputName(Input box) {
    constexpr std::array<std::string_view, 4> names{"x0", "y0", "x1", "h"};
    return names[static_cast<std::size_t>(box)];
}

// What a box holds when the window opens: the worked example of the lessons.
constexpr std::string_view defaultInput(Input box) {
    constexpr std::array<std::string_view, 4> texts{"0", "-1", "0.4", "0.4"};
    return texts[static_cast<std::size_t>(box)];
}

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
