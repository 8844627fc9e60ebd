// Fuzz target: the lab's computations on any inputs. The convergence study,
// a run with any step, and the stages of any listed step must hold finite
// numbers only, and say in words what they cannot show.
//
// Input: the first byte picks the method ('0'..'6' are catalogue rows, any
// other byte counts modulo 7), the second the step whose stages are shown;
// after the first newline come x0, y0, x1 and h on one line each, h taking
// everything that follows. x0, y0 and x1 feed the study and the run; all
// four feed a press of CALCULATE whose steps are then taken apart.
#include "analysis/convergence.h"
#include "analysis/stability.h"
#include "analysis/stage_view.h"
#include "fuzz/check.h"
#include "run/conversions.h"
#include "tests/support/fakes.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace pelorin;
using pelorin::fuzz::require;

namespace {

void requireFinite(double value, const std::string& what) {
    require(std::isfinite(value), what + " is not finite");
}

void requireWords(const std::vector<std::string>& notes, const char* where) {
    for (const std::string& note : notes) {
        require(!note.empty(), std::string("an empty note in ") + where);
        require(note.find("nan") == std::string::npos && note.find("inf") == std::string::npos,
                std::string("a note in ") + where + " spells a non-number: " + note);
    }
}

void checkStudy(double x0, double y0, double x1) {
    // Few doublings: the fuzzer tries many inputs, the properties are the same.
    const ConvergenceStudy study = studyConvergence(lessonProblem(x0, y0, x1), 6);
    requireWords(study.notes, "the convergence study");
    for (const ConvergenceSeries& series : study.series) {
        require(series.method != nullptr, "a series without its method");
        for (const ConvergencePoint& point : series.points) {
            requireFinite(point.h, "a step of the study");
            if (point.error) requireFinite(*point.error, "an error of the study");
            if (point.order) requireFinite(*point.order, "an observed order");
        }
        if (series.floor) {
            require(*series.floor < series.points.size() && series.points[*series.floor].error,
                    "a rounding floor at a point without an error");
        }
    }
}

void checkRun(const Method& method, double x0, double y0, double h) {
    const StabilityRun run = runWithStep(method, x0, y0, h, 20);
    requireWords(run.notes, "the run with a chosen step");
    require(run.x.size() == run.y.size() && run.y.size() == run.exact.size(),
            "the run's columns differ in length");
    requireFinite(run.amplification, "R(h lambda)");
    for (std::size_t i = 0; i < run.x.size(); ++i) {
        requireFinite(run.x[i], "an abscissa of the run");
        requireFinite(run.y[i], "an ordinate of the run");
        requireFinite(run.exact[i], "an exact value of the run");
    }
}

void checkStages(const std::array<std::string, 4>& texts, std::size_t row, int step) {
    pelorin::testing::Press press;
    press.window.enter(texts[0], texts[1], texts[2], texts[3]);
    press.window.selectedRow = row;
    press.calculate();
    const StageView view = stageView(press.last, step);
    requireWords(view.notes, "the stage view");
    require(view.steps == listedSteps(press.last), "the stage view counts other steps");
    for (const Segment& segment : view.slopes) {
        for (double end : {segment.x1, segment.y1, segment.x2, segment.y2}) {
            requireFinite(end, "a slope segment");
        }
    }
    for (const std::vector<std::string>& row : stageRows(view)) {
        for (const std::string& cell : row) {
            require(cell.find("nan") == std::string::npos && cell.find("inf") == std::string::npos,
                    "a cell of the stages spells a non-number: " + cell);
        }
    }
    for (const StageLabel& label : stageLabels(view.stages)) {
        requireFinite(label.x, "a labelled stage point");
        requireFinite(label.y, "a labelled stage point");
    }
    require(view.exactX.size() == view.exactY.size(), "the exact samples differ in length");
    for (std::size_t i = 0; i < view.exactX.size(); ++i) {
        requireFinite(view.exactX[i], "an exact abscissa");
        requireFinite(view.exactY[i], "an exact ordinate");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const pelorin::fuzz::BoxInput read = pelorin::fuzz::readBoxInput(input, methodCatalogue.size());
    const std::size_t row = read.row;
    const int step = size > 1 ? static_cast<int>(data[1]) - '0' : 1;
    const std::array<std::string, 4>& texts = read.texts;
    std::array<double, 4> values{};
    bool readable = true;
    for (std::size_t box = 0; box < texts.size(); ++box) {
        const auto value = textToNumber(texts[box]);
        readable = readable && value.has_value();
        values[box] = value.value_or(0);
    }
    if (readable) {
        checkStudy(values[0], values[1], values[2]);
        checkRun(methodCatalogue[row], values[0], values[1], values[3]);
    }
    checkStages(texts, row, step);
    return 0;
}
