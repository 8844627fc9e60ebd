// Fuzz target: the lab's computations on any inputs. The convergence study,
// a run with any step, the stages of any listed step and the adaptive runs
// must hold finite numbers only, and say in words what they cannot show;
// the Adaptive page's table of attempts holds numbers and words only.
//
// Input: the first byte picks the method ('0'..'6' are catalogue rows, any
// other byte counts modulo 7), the second the step whose stages are shown
// and the tolerance of an adaptive run (1E-2 ... 1E-12, modulo 11); after the
// first newline come x0, y0, x1 and h on one line each, h taking everything
// that follows. x0, y0 and x1 feed the study and the runs (an implicit
// method's too, the row counted among the implicit ones); h is the first
// step of an adaptive run and, in a second one, its tolerance; all four feed
// a press of CALCULATE whose steps are then taken apart.
#include "base/conversions.h"
#include "fuzz/check.h"
#include "methods/exact_solution.h"
#include "numerics/adaptive.h"
#include "numerics/convergence.h"
#include "numerics/solution_paths.h"
#include "numerics/stability.h"
#include "tests/support/fakes.h"
#include "texts/adaptive_view.h"
#include "texts/stage_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace pelorin;
using pelorin::fuzz::record;
using pelorin::fuzz::require;

namespace {

void requireFinite(double value, const std::string& what) {
    require(std::isfinite(value), what + " is not finite");
}

void requireWords(const std::vector<std::string>& notes, const char* where) {
    for (const std::string& note : notes) {
        if (!pelorin::fuzz::aboutLabOnlyMethod(note)) record(where, note);
        require(!note.empty(), std::string("an empty note in ") + where);
        require(!pelorin::fuzz::spellsNonNumber(note),
                std::string("a note in ") + where + " spells a non-number: " + note);
    }
}

// A run of one of the lab's own methods, an implicit one or a multistep one
// (`what` names which): finite values only, and where it stops, the
// sentence why (a step without a value names Newton's method).
void checkLabRun(const std::string& what, const Method& method, Slope f, double x0, double y0,
                 double x1, double h) {
    const std::string aRun = (what.starts_with("implicit") ? "an " : "a ") + what;
    const SolutionPath path = solutionPath(method, f, x0, y0, x1, h, 64);
    for (double y : path.y) require(std::isfinite(y), aRun + " keeps a value that is not finite");
    if (!path.y.empty()) record(what.c_str(), path.y.back());
    const std::string note = pathNote(path);
    require((path.end == PathEnd::reached) == note.empty(), aRun + " stops without saying why");
    if (!note.empty()) requireWords({note}, aRun.c_str());
    require(path.end != PathEnd::noValue || note.find("Newton's method") != std::string::npos,
            "a step without a value does not say why");
}

void checkStudy(double x0, double y0, double x1) {
    // Few doublings: the fuzzer tries many inputs, the properties are the same.
    const ConvergenceStudy study = studyConvergence(lessonProblem(x0, y0, x1), 6);
    requireWords(study.notes, "the convergence study");
    for (const ConvergenceSeries& series : study.series) {
        require(series.method != nullptr, "a series without its method");
        const bool recorded = pelorin::isWindowMethod(*series.method);
        for (const ConvergencePoint& point : series.points) {
            requireFinite(point.h, "a step of the study");
            if (recorded) {
                record("h", point.h);
                if (point.error) record("error", *point.error);
                if (point.order) record("order", *point.order);
            }
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
        record("x", run.x[i]);
        record("y", run.y[i]);
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
            record("stage", cell);
            require(!pelorin::fuzz::spellsNonNumber(cell),
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

// Few attempts: the fuzzer tries many inputs, the properties are the same.
constexpr long fuzzAttempts = 2000;

// The lesson's slope, counting its calls independently of the run.
struct CountedLesson {
    long* calls;
    double operator()(double x, double y) const {
        ++*calls;
        return f1(x, y);
    }
};

// With the exact solution the run also measures each attempt's errors,
// whose evaluations are not the method's; without it every call is counted.
void checkAdaptive(const Method& method, double x0, double y0, double x1, double h0,
                   double tolerance, bool measured) {
    ControllerSettings settings = withTolerance({}, tolerance);
    settings.maxAttempts = fuzzAttempts;
    const ExactSolution solution(x0, y0);
    const KnownSolution exact = [&](double x) { return solution(x); };
    long calls = 0;
    const CountedLesson lesson{&calls};
    const AdaptiveRun run =
        adaptiveRun(method, lesson, x0, y0, x1, h0, settings, measured ? exact : KnownSolution{});
    requireWords(run.notes, "the adaptive run");
    require(measured || run.slopeEvaluations == calls,
            "the adaptive run miscounts its slope evaluations");
    require(run.slopeEvaluations ==
                tableauOf(method)->stages * static_cast<long>(run.attempts.size()),
            "an attempt of the adaptive run costs other than its stages");
    require(static_cast<long>(run.attempts.size()) <= fuzzAttempts,
            "the adaptive run passed its limit of attempts");
    require((run.end == AdaptiveEnd::noEstimate) == !tableauOf(method)->hasErrorEstimate(),
            "the adaptive run misjudges whether the method has an estimate");
    require(run.why.empty() == (run.end == AdaptiveEnd::reachedEnd),
            "the adaptive run stopped without saying why, or says why it did not");
    require(run.end != AdaptiveEnd::reachedEnd || run.x == x1,
            "the adaptive run ended off x1");
    require(run.accepted + run.rejected ==
                static_cast<long>(run.attempts.size()) -
                    (run.end == AdaptiveEnd::notFinite ? 1 : 0),
            "the adaptive run's counts of accepted and rejected steps do not add up");
    if (run.errorAtEnd) requireFinite(*run.errorAtEnd, "the adaptive run's error at x1");
    for (std::size_t i = 0; i < run.attempts.size(); ++i) {
        const AdaptiveStep& step = run.attempts[i];
        requireFinite(step.x, "an attempt's x");
        requireFinite(step.h, "an attempt's h");
        require(step.h != 0 && (step.h > 0) == (x1 > x0), "an attempt steps the wrong way");
        const AdaptiveStep* before = i > 0 ? &run.attempts[i - 1] : nullptr;
        require(step.x == (before ? (before->accepted ? before->x + before->h : before->x) : x0),
                "an attempt does not start where the last accepted step ended");
        if (step.accepted) {
            require(step.ratio <= 1, "a step was accepted above the tolerance");
            requireFinite(step.y1, "an accepted value");
        }
        if (step.localError) requireFinite(*step.localError, "a local error");
        if (step.globalError) requireFinite(*step.globalError, "a global error");
    }
    if (const auto quality = estimateQuality(run)) {
        require(quality->lowest <= quality->median && quality->median <= quality->highest,
                "the estimate's quality is out of order");
    }
    // The page's table and its sentence on the controller: words and numbers only.
    const TextTable table = adaptiveStepTable(run);
    require(table.rows.size() == std::min(run.attempts.size(), maxListedAttempts),
            "the adaptive table leaves out an attempt it could list");
    require(unlistedAttemptsNote(run).empty() == (run.attempts.size() <= maxListedAttempts),
            "the adaptive table does not say that it leaves attempts out");
    for (const auto& row : table.rows) {
        for (const std::string& cell : row) record("attempt", cell);
        require(row.size() == table.header.size(), "a row of the adaptive table is short");
        requireWords(row, "the adaptive table");
    }
    requireWords({controllerText(method, settings)}, "the controller's rule");
}

void checkLibrary(double x0, double y0, double x1, double h0, double tolerance) {
    const long cap = fuzzAttempts * 6;
    const LibraryRun run = libraryDormandPrince(f1, x0, y0, x1, h0, tolerance, tolerance, cap);
    require(run.slopeEvaluations <= cap, "the library's run passed its limit of evaluations");
    require(run.y.has_value() == run.note.empty(), "the library's run ended without its reason");
    record("library evaluations", static_cast<double>(run.slopeEvaluations));
    if (run.y) record("library y", *run.y);
    if (run.y) requireFinite(*run.y, "the library's value at x1");
    else requireWords({run.note}, "the library's run");
}

void checkReadTolerance(const std::string& text) {
    const LabNumber read = readTolerance(text);
    require(read.value.has_value() == read.why.empty(), "a tolerance read with a reason, or "
                                                        "refused without one");
    if (read.value) require(*read.value > 0, "a tolerance of zero or below was read");
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
        const double tolerance =
            sweepTolerances[(size > 1 ? data[1] : 0u) % sweepTolerances.size()];
        checkAdaptive(methodCatalogue[row], values[0], values[1], values[2], values[3], tolerance,
                      true);
        checkAdaptive(methodCatalogue[row], values[0], values[1], values[2], values[3], tolerance,
                      false);
        checkAdaptive(methodCatalogue[row], values[0], values[1], values[2],
                      (values[2] - values[0]) / 8, values[3], false);
        checkLibrary(values[0], values[1], values[2], values[3], tolerance);
        checkLabRun("implicit run",
                    pelorin::fuzz::methodOfFamily<ImplicitRungeKutta>(row),
                    f1, values[0], values[1], values[2], values[3]);
        checkLabRun("multistep run",
                    pelorin::fuzz::methodOfFamily<LinearMultistep>(row),
                    f1, values[0], values[1], values[2], values[3]);
    }
    checkReadTolerance(texts[3]);
    checkStages(texts, row, step);
    return 0;
}
