// What the tests of typed problems share: a formula compiled as the lab
// compiles a box, and a library problem as the lab types it. A text that
// does not compile throws, with the lab's reason.
#pragma once

#include "problem/expression.h"
#include "problem/library.h"
#include "problem/problem.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace pelorin::testing {

inline SlopeExpression compiledSlope(std::string_view text) {
    SlopeCompilation compiled = compileSlope(text);
    if (!compiled.slope) throw std::invalid_argument(compiled.error.message);
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
    return {"", {std::string(f), std::make_shared<const SlopeExpression>(compiledSlope(f)), nullptr},
            x0, {y0}, x1};
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

}  // namespace pelorin::testing
