// Fuzz target: any bytes opened as a problem file. Reading gives either the
// texts of a problem, its system's and its lesson, which write and read back
// unchanged, or one sentence in valid UTF-8 saying why not; never both,
// never neither.
#include "fuzz/check.h"
#include "problem/problem.h"
#include "problem/problem_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;
using pelorin::fuzz::require;

namespace {

// The texts beyond a single equation's boxes that its form uses.
std::vector<const std::string*> textsBeyondOneEquation(const ProblemText& problem) {
    std::vector<const std::string*> texts{&problem.parameters, &problem.invariant};
    for (const ComponentText& component : problem.components) {
        texts.insert(texts.end(), {&component.slope, &component.start, &component.exact});
    }
    if (problem.form == ProblemForm::secondOrder) {
        const SecondOrderText& secondOrder = problem.secondOrder;
        texts.insert(texts.end(),
                     {&secondOrder.f, &secondOrder.y0, &secondOrder.slope0, &secondOrder.exact});
    }
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ProblemFileReading read = readProblemFile(bytes);
    require(read.problem.has_value() == read.error.empty(), "a reading with both or neither");
    pelorin::fuzz::record("error", read.error);
    if (!read.problem) {
        require(pelorin::fuzz::isUtf8(read.error), "an error that is not UTF-8: " + read.error);
        require(read.error.ends_with("."), "an error that is not a sentence: " + read.error);
        return 0;
    }
    const ProblemText& problem = *read.problem;
    for (const std::string* text : {&problem.name, &problem.f, &problem.exact, &problem.x0,
                                    &problem.y0, &problem.x1}) {
        require(pelorin::fuzz::isUtf8(*text), "a text read that is not UTF-8");
    }
    for (const std::string* text : textsBeyondOneEquation(problem)) {
        require(pelorin::fuzz::isUtf8(*text), "a system's text read that is not UTF-8");
    }
    // A version 1 file has no lesson; it is saved again with the lab's.
    const LessonSettings lesson = read.lesson.value_or(LessonSettings{});
    const std::string written = writeProblemFile(problem, lesson);
    require(written.size() <= maxProblemFileBytes, "a problem read writes a file too large to read");
    const ProblemFileReading again = readProblemFile(written);
    require(again.problem && *again.problem == problem, "a problem read does not read back");
    require(again.lesson == lesson, "a lesson read does not read back");
    // What opens is compiled as typed texts are; the text fuzz target checks that.
    for (const std::string* text : {&problem.name, &problem.f, &problem.exact, &problem.x0,
                                    &problem.y0, &problem.x1}) {
        pelorin::fuzz::record("text", *text);
    }
    // Only what a single equation lacks, so that its files record as before.
    if (problem.form != ProblemForm::equation || !problem.parameters.empty() ||
        !problem.invariant.empty()) {
        for (const std::string* text : textsBeyondOneEquation(problem)) {
            pelorin::fuzz::record("system text", *text);
        }
    }
    (void)compileProblem(problem);
    return 0;
}
