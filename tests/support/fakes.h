// A window and a plot area that record what a calculation told them, for
// the tests, the fuzz targets and the benchmarks alike.
#pragma once

#include "methods/methods.h"
#include "run/calculation.h"
#include "run/view.h"

#include <string>
#include <utility>
#include <vector>

namespace pelorin::testing {

class FakeWindow : public WindowView {
public:
    std::string x0{defaultInput(Input::x0)}, y0{defaultInput(Input::y0)},
        x1{defaultInput(Input::x1)}, h{defaultInput(Input::h)};
    std::size_t selectedRow = 0;
    std::vector<std::string> lines;
    std::vector<std::string> errors;

    // Types the four boxes at once.
    void enter(std::string x0Text, std::string y0Text, std::string x1Text, std::string hText) {
        x0 = std::move(x0Text);
        y0 = std::move(y0Text);
        x1 = std::move(x1Text);
        h = std::move(hText);
    }

    // Types what the window starts with.
    void enterDefaults() {
        enter(std::string(defaultInput(Input::x0)), std::string(defaultInput(Input::y0)),
              std::string(defaultInput(Input::x1)), std::string(defaultInput(Input::h)));
    }

    void select(std::string_view caption) {
        for (std::size_t row = 0; row < methodCatalogue.size(); ++row) {
            if (methodCatalogue[row].caption == caption) selectedRow = row;
        }
    }

    std::string inputText(Input box) const override {
        switch (box) {
        case Input::x0: return x0;
        case Input::y0: return y0;
        case Input::x1: return x1;
        case Input::h: return h;
        }
        return {};
    }
    bool isMethodSelected(std::size_t row) const override { return row == selectedRow; }
    void appendLine(const std::string& line) override { lines.push_back(line); }
    void reportError(const std::string& message) override { errors.push_back(message); }
};

struct FakeCanvas : Canvas {
    struct Line {
        float x1, y1, x2, y2;
        Pen pen;
    };
    int clears = 0;
    std::vector<float> corners;  // left, top, right, bottom of the last scale
    std::vector<Line> lines;

    void clear() override {
        ++clears;
        lines.clear();
    }
    void scale(float left, float top, float right, float bottom) override {
        corners = {left, top, right, bottom};
    }
    void line(float x1, float y1, float x2, float y2, Pen pen) override {
        lines.push_back({x1, y1, x2, y2, pen});
    }
};

// One press of CALCULATE on the fake window; returns the lines it appended.
struct Press {
    FakeWindow window;
    FakeCanvas canvas;
    Calculation last;
    const Solutions& solutions = last.solutions;

    std::vector<std::string> calculate() {
        const std::size_t before = window.lines.size();
        Command1_Click(window, canvas, last);
        return {window.lines.begin() + static_cast<std::ptrdiff_t>(before), window.lines.end()};
    }
};

}  // namespace pelorin::testing
