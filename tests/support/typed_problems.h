// What the tests of typed problems share: a formula compiled as the lab
// compiles a box, and a library problem as the lab types it. A text that
// does not compile throws, with the lab's reason.
#pragma once

#include "problem/expression.h"
#include "problem/library.h"
#include "problem/problem.h"
#include "problem/system_library.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelorin::testing {

inline SlopeExpression compiledSlope(std::string_view text) {
    SlopeCompilation compiled = compileSlope(text);
    if (!compiled.slope) throw std::invalid_argument(compiled.errors.at(0).message);
    return std::move(*compiled.slope);
}

inline Problem compiledProblem(const ProblemText& text) {
    ProblemCompilation compilation = compileProblem(text);
    if (!compilation.problem) throw std::invalid_argument(compilation.errors.front().text);
    return std::move(*compilation.problem);
}

// A typed slope from (x0, y0) to x1, without an exact solution: the studies
// measure it against the reference.
inline Problem typedProblem(std::string_view f, double x0, double y0, double x1) {
    Equation equation;
    equation.f = f;
    equation.slope = std::make_shared<const SlopeExpression>(compiledSlope(f));
    return {"", equation, x0, {y0}, x1};
}

// The same problem without its exact solution.
inline Problem withoutExact(Problem problem) {
    problem.equation.exact = nullptr;
    return problem;
}

// The lesson's equation, with the program's built-in slope, from (x0, y0) to x1.
inline Problem lessonAt(double x0, double y0, double x1) { return {"", lessonEquation(), x0, {y0}, x1}; }

// The library's problem whose name in the list begins so.
inline const LibraryProblem& libraryProblem(std::string_view startOfName) {
    for (const LibraryProblem& entry : problemLibrary) {
        if (entry.name.starts_with(startOfName)) return entry;
    }
    throw std::invalid_argument("no library problem begins with " + std::string(startOfName));
}

// A system y1' … yn' as typed into the lab's boxes, each component's
// slope and exact solution (empty: none), from (x0, y0) to x1.
inline Problem systemProblem(std::vector<ComponentText> components, double x0, double x1,
                             std::string invariant = "") {
    ProblemText text;
    text.form = ProblemForm::system;
    text.invariant = std::move(invariant);
    StateVector y0(components.size());
    for (std::size_t k = 0; k < components.size(); ++k) y0[k] = std::stod(components[k].start);
    text.components = std::move(components);
    EquationReading read = readEquation(text, x0, y0, x1);
    if (!read.equation) throw std::invalid_argument(read.errors.front().message);
    return {"", std::move(*read.equation), x0, y0, x1};
}

// A system of the library as its boxes hold it, from its own start to x1.
inline Problem librarySystem(std::string_view startOfName, double x1) {
    for (const LibrarySystem& entry : systemLibrary) {
        if (!entry.name.starts_with(startOfName)) continue;
        const ProblemText text = problemText(entry);
        StateVector y0(entry.n);
        for (std::size_t k = 0; k < entry.n; ++k) y0[k] = std::stod(std::string(entry.starts[k]));
        const double x0 = std::stod(std::string(entry.x0));
        EquationReading reading = readEquation(text, x0, y0, x1);
        if (!reading.equation) throw std::invalid_argument(reading.errors.front().message);
        return {std::string(entry.name), std::move(*reading.equation), x0, y0, x1};
    }
    throw std::invalid_argument("no library system begins with " + std::string(startOfName));
}

}  // namespace pelorin::testing
