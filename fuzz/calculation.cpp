// Fuzz target: one press of CALCULATE with any four texts and any method,
// followed by a press with the default inputs on the same window. Nothing
// non-finite may reach the tables, the results list or the canvas; every
// list line is a blank, a method heading or "x    y"; the default press
// still lists exactly what it always does.
//
// Input: the first byte picks the method ('0'..'6' are catalogue rows, any
// other byte counts modulo 7); after the first newline come x0, y0, x1 and h
// on one line each, h taking everything that follows.
#include "base/conversions.h"
#include "fuzz/check.h"
#include "methods/methods.h"
#include "run/calculation.h"
#include "tests/support/fakes.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;
using pelorin::fuzz::require;

namespace {

// A number as the results list writes it: reads back as a finite value that
// is written the same way again.
void requireListedNumber(const std::string& text, const std::string& line) {
    const std::optional<double> value = textToNumber(text);
    require(value && std::isfinite(*value) && numberToText(*value) == text,
            "\"" + text + "\" in \"" + line + "\" is not a number as the list writes it");
}

// The fake window, checking every line and message it is given.
class CheckingWindow : public pelorin::testing::FakeWindow {
public:
    void appendLine(const std::string& line) override {
        lines.push_back(line);
        pelorin::fuzz::record("line", line);
        if (line == " " || line == methodCatalogue[selectedRow].heading) return;
        const std::size_t gap = line.find("    ");
        require(gap != std::string::npos, "list line \"" + line + "\" is not x    y");
        requireListedNumber(line.substr(0, gap), line);
        requireListedNumber(line.substr(gap + 4), line);
    }
    void reportError(const std::string& message) override {
        require(!message.empty(), "an empty error message");
        pelorin::fuzz::record("error", message);
        errors.push_back(message);
    }
};

void requireFinite(float value, const char* what) {
    require(std::isfinite(value), std::string("the canvas got a non-finite ") + what);
}

class CheckingCanvas : public Canvas {
public:
    void clear() override {}
    void scale(float left, float top, float right, float bottom) override {
        for (float corner : {left, top, right, bottom}) requireFinite(corner, "corner");
    }
    void line(float x1, float y1, float x2, float y2, Pen) override {
        for (float end : {x1, y1, x2, y2}) requireFinite(end, "line end");
    }
};

void requireSound(const SolutionTable& table, const char* name) {
    require(table.last() < table.capacity(), std::string(name) + " table filled past capacity");
    for (int i = 0; i <= table.last(); ++i) {
        require(std::isfinite(table.x(i)) && std::isfinite(table.y(i)),
                std::string(name) + " table holds a non-finite value");
    }
}

// One press; returns the lines it appended.
std::vector<std::string> press(CheckingWindow& window, CheckingCanvas& canvas,
                               Calculation& last) {
    const std::size_t linesBefore = window.lines.size();
    const std::size_t errorsBefore = window.errors.size();
    Command1_Click(window, canvas, last);
    const Solutions& solutions = last.solutions;
    require(window.errors.size() <= errorsBefore + 1, "more than one error for one press");
    requireSound(solutions.exact, "exact");
    requireSound(solutions.numerical, "numerical");

    const std::vector<std::string> appended(
        window.lines.begin() + static_cast<std::ptrdiff_t>(linesBefore), window.lines.end());
    // The steps listed are the steps stored, in order.
    for (std::size_t k = 3; k < appended.size(); ++k) {
        const int i = static_cast<int>(k) - 2;
        require(i <= solutions.numerical.last() &&
                    appended[k] == numberToText(solutions.numerical.x(i)) + "    " +
                                       numberToText(solutions.numerical.y(i)),
                "list line \"" + appended[k] + "\" is not step " + std::to_string(i));
    }
    return appended;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckingWindow window;
    CheckingCanvas canvas;
    Calculation last;

    const pelorin::fuzz::BoxInput read = pelorin::fuzz::readBoxInput(input, methodCatalogue.size());
    window.selectedRow = read.row;
    window.enter(read.texts[0], read.texts[1], read.texts[2], read.texts[3]);
    press(window, canvas, last);

    window.enterDefaults();
    window.selectedRow = 0;
    const std::size_t errorsBefore = window.errors.size();
    require(press(window, canvas, last) ==
                std::vector<std::string>{" ", "Euler Method", " ", "0.4    -0.6"},
            "the default calculation lists something else after this input");
    require(window.errors.size() == errorsBefore, "the default calculation reports an error");
    return 0;
}
