// Fuzz target: a problem typed by the user. Whatever the texts, compiling
// gives either a problem or messages in valid UTF-8 that name their box and
// place; a problem's convergence study, reference solution and adaptive run
// (measured against the exact solution or the reference, and listed as the
// lab's table lists it) hold finite numbers only, and their notes say in
// words why they stopped.
//
// Input: the first byte picks the method ('0'..'6' are catalogue rows, any
// other byte counts modulo 7); after the first newline come the texts of
// f(x, y), exact y(x), x0, y0 and x1 on one line each, x1 taking everything
// that follows.
#include "fuzz/check.h"
#include "numerics/reference.h"
#include "numerics/solution_paths.h"
#include "problem/problem.h"
#include "studies/adaptive_study.h"
#include "studies/convergence_study.h"
#include "texts/adaptive_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using namespace pelorin;
using pelorin::fuzz::record;
using pelorin::fuzz::require;

namespace {

// Enough for a reference over any tame problem; a wild one stops early.
constexpr long referenceEvaluations = 20000;

std::size_t characters(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

void requireMessage(const ProblemMessage& message, const ProblemText& text) {
    record("message", message.text);
    require(!message.text.empty(), "an empty message");
    require(pelorin::fuzz::isUtf8(message.text), "a message that is not UTF-8: " + message.text);
    require(message.text.starts_with(std::string(boxName(message.box))) ||
                message.text.starts_with("The exact solution") ||
                message.text.starts_with("f(x, y) is not a finite number"),
            "a message that names no box: " + message.text);
    // The checks of an exact solution write numbers only the program wrote.
    if (!message.text.starts_with(std::string(boxName(message.box)))) {
        require(!pelorin::fuzz::spellsNonNumber(message.text),
                "a note on the exact solution spells a non-number: " + message.text);
    }
    const std::string& typed = message.box == ProblemBox::f ? text.f : text.exact;
    require(message.character <= characters(typed) + 1, "a message places its cursor beyond the text");
}

// Numbers in a run's notes are written by the program, never "nan" or "inf".
void requireWords(const std::string& note, const std::string& start) {
    require(pelorin::fuzz::isUtf8(note), "a note that is not UTF-8");
    require(!pelorin::fuzz::spellsNonNumber(note), "a note spells a non-number: " + note);
    require(note.empty() || note.starts_with(start) || note.starts_with("x0 and x1") ||
                note.starts_with("The reference"),
            "an unexpected note: " + note);
}

// Few doublings: the fuzzer tries many inputs, the properties are the same.
constexpr int studyDoublings = 3;

void checkStudy(const Problem& problem) {
    const ConvergenceStudy study = studyProblem(problem, studyDoublings);
    for (const std::string& note : study.notes) {
        require(!note.empty() && pelorin::fuzz::isUtf8(note), "an empty note, or not UTF-8");
        require(!pelorin::fuzz::spellsNonNumber(note),
                "a note of the study spells a non-number: " + note);
        if (!pelorin::fuzz::aboutLabOnlyMethod(note)) record("study note", note);
    }
    for (const ConvergenceSeries& series : study.series) {
        for (const ConvergencePoint& point : series.points) {
            require(!point.error || std::isfinite(*point.error), "an error of the study is not finite");
            require(!point.order || std::isfinite(*point.order), "an order of the study is not finite");
            if (point.error && pelorin::isWindowMethod(*series.method)) record("error", *point.error);
        }
    }
}

// Few attempts: the fuzzer tries many inputs, the properties are the same.
constexpr long adaptiveAttempts = 200;

// Eight steps over the range of one of the lab's own methods, an implicit
// one or a multistep one (`what` names which): finite values, or a sentence
// saying where and why the run stopped.
void checkLabRun(const std::string& what, const Method& method, const Problem& problem) {
    const SolutionPath path = solutionPath(method, problem.slopeOf<double>(), problem.x0,
                                           problem.y0[0], problem.x1,
                                           (problem.x1 - problem.x0) / 8, 16);
    for (double y : path.y) require(std::isfinite(y), "the " + what + " keeps a value that is not finite");
    if (!path.y.empty()) record(what.c_str(), path.y.back());
    const std::string note = pathNote(path);
    if (!note.empty()) record((what + " note").c_str(), note);
    require((path.end == PathEnd::reached) == note.empty(), "the " + what + " stops without saying why");
    require(!pelorin::fuzz::spellsNonNumber(note),
            "the " + what + "'s note spells a non-number: " + note);
}

void checkAdaptiveStudy(const Method& method, const Problem& problem) {
    ControllerSettings settings = withTolerance({}, 1e-6);
    settings.maxAttempts = adaptiveAttempts;
    const AdaptiveStudy study = studyAdaptive(method, problem, (problem.x1 - problem.x0) / 8,
                                              settings, referenceEvaluations);
    const auto requirePlainWords = [](const std::string& note) {
        require(!note.empty() && pelorin::fuzz::isUtf8(note), "an empty note, or not UTF-8");
        require(!pelorin::fuzz::spellsNonNumber(note), "an adaptive note spells a non-number: " + note);
    };
    for (const std::string& note : study.notes) requirePlainWords(note);
    for (const std::string& note : study.run.notes) requirePlainWords(note);
    for (const std::string& note : study.notes) record("study note", note);
    for (const std::string& note : study.run.notes) record("run note", note);
    for (double y : study.solutionY) record("solution", y);
    require(study.solutionX.size() == study.solutionY.size(),
            "the drawn solution has unequal abscissae and values");
    for (double y : study.solutionY) require(std::isfinite(y), "a drawn value is not finite");
    const TextTable table = adaptiveStepTable(study.run);
    require(table.rows.size() == std::min(study.run.attempts.size(), maxListedAttempts),
            "the table leaves out an attempt it could list");
    for (const auto& row : table.rows) {
        require(row.size() == table.header.size(), "a row of the table is short");
        for (const std::string& cell : row) {
            record("attempt", cell);
            require(!cell.empty() && !pelorin::fuzz::spellsNonNumber(cell),
                    "a cell of the adaptive table is empty or spells a non-number: " + cell);
        }
    }
}

void checkReference(const Problem& problem) {
    const ReferenceSolution reference =
        referenceSolution(problem.slopeOf<double>(), problem.x0, problem.y0[0], {problem.x1},
                          referenceEvaluations);
    requireWords(reference.note, "The reference solution");
    record("reference", reference.note);
    for (double y : reference.y) record("reference y", y);
    record("reference accuracy", reference.accuracy);
    record("reference evaluations", static_cast<double>(reference.slopeEvaluations));
    require(reference.x.size() == reference.y.size() && reference.y.size() <= 1,
            "the reference holds other abscissae than asked for");
    for (double y : reference.y) require(std::isfinite(y), "a reference value is not finite");
    require(std::isfinite(reference.accuracy), "the reference's accuracy is not finite");
    require(reference.slopeEvaluations <= 2 * (referenceEvaluations + 1),
            "the reference evaluated more than its limit");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t row = pelorin::fuzz::readBoxInput(input, methodCatalogue.size()).row;
    std::array<std::string, 5> lines;  // f, exact, x0, y0, x1
    std::size_t pos = input.find('\n');
    for (std::size_t line = 0; line < lines.size() && pos != std::string_view::npos; ++line) {
        const std::size_t start = pos + 1;
        pos = line + 1 < lines.size() ? input.find('\n', start) : std::string_view::npos;
        lines[line] = std::string(input.substr(
            start, pos == std::string_view::npos ? std::string_view::npos : pos - start));
    }
    const ProblemText text{"", lines[0], lines[1], lines[2], lines[3], lines[4]};

    const ProblemCompilation compilation = compileProblem(text);
    for (const ProblemMessage& error : compilation.errors) requireMessage(error, text);
    for (const ProblemMessage& note : compilation.notes) requireMessage(note, text);
    require(compilation.problem.has_value() == compilation.errors.empty(),
            "a problem with errors, or none without");
    if (!compilation.problem) return 0;

    const Problem& problem = *compilation.problem;
    if (const KnownSolution exact = problem.exactOf<double>()) {
        require(std::isfinite(exact(problem.x0)), "a checked exact solution is not finite at x0");
    }
    const Problem copy = problem.clone();
    const double original = problem.slopeOf<double>()(problem.x0, problem.y0[0]);
    const double cloned = copy.slopeOf<double>()(problem.x0, problem.y0[0]);
    require(std::memcmp(&original, &cloned, sizeof original) == 0 ||
                (std::isnan(original) && std::isnan(cloned)),
            "a clone computes another slope");

    checkStudy(problem);
    checkReference(problem);
    // The lab's method, or a pair where it has no estimate to adapt with.
    const Method& method = methodCatalogue[row];
    checkAdaptiveStudy(tableauOf(method)->hasErrorEstimate() ? method
                                                          : methodByCaption("Runge-Kutta-Fehlberg"),
                       problem);
    checkLabRun("implicit run",
                pelorin::fuzz::methodOfFamily<ImplicitRungeKutta>(row),
                problem);
    checkLabRun("multistep run",
                pelorin::fuzz::methodOfFamily<LinearMultistep>(row),
                problem);
    // Runs where f does not read y, and says why it does not elsewhere.
    checkLabRun("partitioned run",
                pelorin::fuzz::methodOfFamily<PartitionedRungeKutta>(row),
                problem);
    return 0;
}
