// Fuzz target: a system typed by the user, with its parameters, or a
// second-order equation. Whatever the texts, reading gives either a system
// or messages in valid UTF-8 that name their box and place no cursor beyond
// their text; a compiled system evaluated at the start gives finite numbers
// or a note that says which component does not, and a clone computes the
// same bits.
//
// Input: the first byte gives the number of components, its value modulo 8
// ('1'..'6' are 1..6; 0 and 7 are refused); a first
// line holding "y''" reads the equation as second order. The following lines
// are the parameters and then one component's formula each (for second
// order, f of y'' = f); the same formulas are also read as the components'
// exact solutions.
#include "fuzz/check.h"
#include "problem/system.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

using namespace pelorin;
using pelorin::fuzz::record;
using pelorin::fuzz::require;

namespace {

std::size_t characters(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// A message names one of the boxes it may come from and places its cursor
// within that box's text.
void requireMessage(const FormulaError& error, const std::vector<std::string>& boxes,
                    const std::vector<std::string>& texts) {
    record("message", error.message);
    require(pelorin::fuzz::isUtf8(error.message), "a message that is not UTF-8: " + error.message);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (!error.message.starts_with(boxes[i] + ": ")) continue;
        require(error.character <= characters(texts[i]) + 1,
                "a message places its cursor beyond the text: " + error.message);
        return;
    }
    require(false, "a message that names no box: " + error.message);
}

std::vector<std::string> linesOf(std::string_view input) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = input.find('\n'); end != std::string_view::npos;
         start = end + 1, end = input.find('\n', start)) {
        lines.emplace_back(input.substr(start, end - start));
    }
    lines.emplace_back(input.substr(start));
    return lines;
}

// The start every system is evaluated at: x = 0 and y = 1, 2, ...
constexpr double startX = 0;
constexpr std::array<double, maxComponents> startY{1, 2, 3, 4, 5, 6};

void checkSlope(const SlopeExpression& slope) {
    const std::span<const double> start = std::span(startY).first(slope.size());
    std::array<double, maxComponents> values{}, cloned{};
    slope(startX, start, std::span(values).first(slope.size()));
    slope.clone()(startX, start, std::span(cloned).first(slope.size()));
    const auto note = nonFiniteSlope(slope, startX, start);
    for (std::size_t k = 0; k < slope.size(); ++k) {
        record("slope", values[k]);
        require(std::memcmp(&values[k], &cloned[k], sizeof(double)) == 0 ||
                    (std::isnan(values[k]) && std::isnan(cloned[k])),
                "a clone computes another slope");
        require(note || std::isfinite(values[k]), "a slope that is not finite, and no note");
    }
    if (!note) return;
    record("note", *note);
    require(pelorin::fuzz::isUtf8(*note), "a note that is not UTF-8");
    require(!pelorin::fuzz::spellsNonNumber(*note), "a note spells a non-number: " + *note);
    require(note->starts_with("f(x, y) ") || note->starts_with("y"), "a note that names no box: " + *note);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = linesOf(input);
    // '0' is 48, a multiple of 8: '1'..'6' give 1..6.
    const std::size_t n = input.empty() ? 0 : static_cast<unsigned char>(input[0]) % 8;
    const bool secondOrder = lines[0].find("y''") != std::string::npos;
    const std::string parameterText = lines.size() > 1 ? lines[1] : "";

    const ParametersReading read = readParameters(parameterText);
    if (!read.parameters) {
        requireMessage(read.error, {std::string(parametersBoxName)}, {parameterText});
    }
    // Refused parameters leave the formulas to be read without them.
    const Parameters parameters = read.parameters ? *read.parameters : Parameters{};
    for (const Parameter& parameter : parameters.values) {
        record("parameter", parameter.name);
        require(std::isfinite(parameter.value), "a parameter that is not finite");
    }

    if (secondOrder) {
        const std::string f = lines.size() > 2 ? lines[2] : "";
        const SecondOrderCompilation compiled = compileSecondOrder(f, parameters);
        if (!compiled.slope) {
            requireMessage(compiled.error, {std::string(secondOrderBoxName)}, {f});
            return 0;
        }
        record("rewriting", compiled.rewriting);
        require(compiled.slope->size() == 2, "a second-order equation is not a system of two");
        require(pelorin::fuzz::isUtf8(compiled.rewriting) && compiled.rewriting.starts_with("y'' = "),
                "a rewriting that is not UTF-8 or names no equation");
        checkSlope(*compiled.slope);
        return 0;
    }

    std::vector<std::string> texts;
    std::vector<std::string> slopeBoxes{std::string(systemBoxName)}, solutionBoxes = slopeBoxes;
    for (std::size_t k = 1; k <= n; ++k) {
        texts.push_back(k + 1 < lines.size() ? lines[k + 1] : "");
        slopeBoxes.push_back(componentSlopeBoxName(k, n));
        solutionBoxes.push_back(componentSolutionBoxName(k, n));
    }
    std::vector<std::string> boxTexts{""};
    boxTexts.insert(boxTexts.end(), texts.begin(), texts.end());

    const SlopeCompilation compiled = compileSlope(texts, parameters);
    for (const FormulaError& error : compiled.errors) requireMessage(error, slopeBoxes, boxTexts);
    require(compiled.slope.has_value() == compiled.errors.empty(), "a system with errors, or none without");
    if (compiled.slope) {
        require(compiled.slope->size() == n, "a system of another size than typed");
        checkSlope(*compiled.slope);
    }

    const SolutionCompilation exact = compileSolution(
        texts, parameters, startX, std::span(startY).first(std::min(n, maxComponents)));
    for (const FormulaError& error : exact.errors) requireMessage(error, solutionBoxes, boxTexts);
    if (exact.solution) {
        std::array<double, maxComponents> values{};
        (*exact.solution)(startX, std::span(values).first(n));
        for (std::size_t k = 0; k < n; ++k) record("exact", values[k]);
    }
    return 0;
}
