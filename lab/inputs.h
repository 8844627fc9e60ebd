// What the Method lab's own boxes hold: the problem (the equation, the
// start (x0, y0), the end x1), the step h and the chosen method: for each
// box the last text that could be used.
#pragma once

#include "problem/problem.h"
#include "studies/known_solution.h"

#include <cstddef>
#include <string>

struct LabInputs {
    pelorin::Problem problem;
    std::size_t method = 0;    // catalogue row
    // The step of the pages that run one method with one h (Stability, One
    // step, Field): the lab's single "h" box, and its text as it shows it.
    double h = 0.4;
    std::string hText = "0.40";
    bool readable = false;     // false when a box holds a number beyond a double
    std::string unreadable;    // then why, in words
    // "Start with" and the own methods' boxes: how the multistep methods
    // start, and the own methods as their boxes last held them.
    pelorin::MethodSettings methods;

    // The method of the row `method`: the catalogue's entry, or for the own
    // methods the ones their boxes hold.
    const pelorin::Method& chosenMethod() const { return methods.methodAt(method); }
};
