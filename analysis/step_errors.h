// The steps of the last calculation beside the exact solution through its
// start: per step the global error (y minus the exact value), the local
// error (the method's step taken from the exact value at the previous x,
// minus the exact value at this x) and, for an embedded pair, the method's
// own estimate of the error of the step it took.
#pragma once

#include "analysis/text_table.h"
#include "methods/methods.h"
#include "run/calculation.h"

#include <optional>
#include <string>
#include <vector>

namespace pelorin {

struct StepError {
    int i = 0;
    double x = 0, y = 0;
    // Empty where the value is not finite (it overflowed); the local error
    // and the estimate are also empty at the start, i = 0, where no step was
    // taken, and the estimate for a method without one.
    std::optional<double> exact, globalError, localError, estimate;
};

struct StepErrors {
    const Method* method = nullptr;  // the method whose heading was listed
    bool hasEstimate = false;        // the method carries an embedded estimate
    std::vector<StepError> rows;     // the start and every step stored
};

// Computes the rows from what the calculation kept: its numerical table, its
// start (x0, y0) and its h. A calculation that failed gives the rows it had
// stored before it stopped.
StepErrors stepErrors(const Calculation& calculation);

// The rows as the window shows them: i, x, y, exact y, global error, local
// error, and the estimate when the method has one. x, y and exact y are
// written as the results list writes them, the errors by fullErrorText (all
// fifteen digits, always with an exponent); a value that overflowed reads
// "too large to calculate"; a cell with nothing to say is empty.
TextTable stepErrorTable(const StepErrors& errors);

// The table as its CSV file holds it: columns method, x0, y0, x1 and h lead
// every row with the method's heading and the four inputs as they were
// read, so that a file says what it holds and a spreadsheet still reads one
// rectangular table. An input not read leaves its cells empty.
TextTable labelledStepErrorTable(const TextTable& table, const Calculation& calculation);

// One line naming the method and the four inputs as they were read, e.g.
// "Runge-Kutta-4 Method with x0 = 0, y0 = -1, x1 = 0.4, h = 0.1"; before
// the first calculation, "No calculation yet: press CALCULATE.".
std::string calculationHeading(const Calculation& calculation);

// Where the calculation stopped, in words: empty after a calculation that
// ran to the end, otherwise e.g. "The calculation stopped while stepping the
// method: <the message the user was shown>".
std::string failureNote(const Calculation& calculation);

// For a method that gives mathematically the same numbers as another on this
// equation, a line saying so and why; empty otherwise.
std::string coincidenceNote(const Method& method);

}  // namespace pelorin
