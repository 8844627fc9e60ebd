// What the Method lab's own boxes hold: the problem (the equation, the
// start (x0, y0), the end x1), the step h and the chosen method: for each
// box the last text that could be used.
#pragma once

#include "problem/problem.h"

#include <cstddef>
#include <memory>
#include <optional>
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
    // "Start with": the one-step method (catalogue row) that makes a
    // multistep method's first values, or none: the problem's exact
    // solution, or its reference where it has none.
    std::optional<std::size_t> start = 3;  // Runge-Kutta 4, as the textbooks start
    // The own multistep method as the "alpha" and "beta" boxes hold it (the
    // last texts that made a method); none until they are first read.
    std::shared_ptr<const pelorin::OwnMultistep> own;

    // The method of the row `method`: the catalogue's entry, or for the own
    // multistep method the one its boxes hold.
    const pelorin::Method& chosenMethod() const { return methodAt(method); }
    const pelorin::Method& methodAt(std::size_t row) const {
        return row == pelorin::ownMultistepRow && own ? own->entry : pelorin::labCatalogue[row];
    }
};
