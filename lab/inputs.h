// What the Method lab's own boxes hold: the equation, the start (x0, y0),
// the end x1, the step h and the chosen method: for each box the last text
// that could be used.
#pragma once

#include "problem/expression.h"
#include "texts/stage_view.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

// The equation the lab studies: the lesson's own, solved with the program's
// built-in slope (a typed "-2*x - y" gives the same bits), or one typed or
// chosen from the library, compiled.
struct LabEquation {
    bool lesson = true;
    std::string f;  // as typed, for the notes and the handout
    std::shared_ptr<const pelorin::SlopeExpression> slope;     // null for the lesson
    std::shared_ptr<const pelorin::SolutionExpression> exact;  // null: none given or usable
};

struct LabInputs {
    double x0 = 0, y0 = 0, x1 = 0;
    std::size_t method = 0;    // catalogue row
    // The step of the pages that run one method with one h (Stability, One
    // step, Field): the lab's single "h" box, and its text as it shows it.
    double h = 0.4;
    std::string hText = "0.40";
    bool readable = false;     // false when a box holds a number beyond a double
    std::string unreadable;    // then why, in words
    LabEquation equation;
};

// The slope the lab steps: the program's built-in one for the lesson's
// equation, else the compiled one the inputs hold (valid while they live).
pelorin::Slope labSlope(const LabInputs& inputs);

// The solution through (x0, y0) the lab compares with, at many abscissae at
// once: the exact one when it is known, else the reference (computed in one
// run for all of them); and its name in a legend.
pelorin::SolutionSamples knownSolution(const LabInputs& inputs);
std::string knownSolutionName(const LabInputs& inputs);

// Where the solution through (x0, y0) ends before x1, as the reference finds
// it on a typed equation without an exact solution; empty otherwise.
std::optional<pelorin::SolutionEnd> solutionEnd(const LabInputs& inputs);
