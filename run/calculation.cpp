#include "run/calculation.h"

#include "base/conversions.h"
#include "methods/exact_solution.h"
#include "methods/methods.h"
#include "run/plot.h"

#include <cmath>
#include <string>

namespace pelorin {

namespace {

double readInput(const WindowView& view, Input box, Calculation& last) {
    const std::size_t i = static_cast<std::size_t>(box);
    last.texts[i] = view.inputText(box);
    last.values[i] = textToNumber(last.texts[i]);
    if (last.values[i]) return *last.values[i];
    throw CalculationError(tooLargeToReadMessage(box));
}

// The selected method; should several buttons be selected, the last one in
// catalogue order counts.
const Method* selectedMethod(const WindowView& view) {
    const Method* selected = nullptr;
    for (std::size_t row = 0; row < methodCatalogue.size(); ++row) {
        if (view.isMethodSelected(row)) selected = &methodCatalogue[row];
    }
    return selected;
}

std::string tooManyStepsMessage(double h) {
    if (h == 0) return "With h = 0 the calculation never gets from x0 to x1. Enter a positive h.";
    if (h < 0) {
        return "With a negative h the calculation moves away from x1, which is greater than "
               "x0. Enter a positive h.";
    }
    return "More than 10 steps would be needed to get from x0 to x1 with h = " +
           numberToText(h) + ". Enter a larger h: one calculation lists at most 10 steps.";
}

}  // namespace

void Analytical(SolutionTable& exact, double x0, double y0, double x1) {
    exact.clear();
    const double dx = (x1 - x0) / 10;
    const ExactSolution solution(x0, y0);
    if (!std::isfinite(dx) || !solution.isFinite()) {
        throw CalculationError("The numbers entered are too large to calculate the exact "
                               "solution with. Enter smaller values for x0, x1 and y0.");
    }
    try {
        int i = -1;
        for (double x = x0; dx >= 0 ? x <= x1 : x >= x1; x = x + dx) {
            i = i + 1;
            exact.store(i, x, solution(x));
        }
    } catch (const TableFull&) {
        if (x1 == x0) {
            throw CalculationError("x0 and x1 are equal, so there is no range to calculate "
                                   "over. Enter an x1 different from x0.");
        }
        throw CalculationError("x0 and x1 are too close together for numbers of this size: "
                               "the range cannot be divided into ten parts. Move x1 further "
                               "from x0.");
    } catch (const NotFinite&) {
        throw CalculationError("The exact solution grows too large to calculate between x0 "
                               "and x1. Choose a shorter range or other starting values.");
    }
}

void Numerical(WindowView& view, SolutionTable& numerical, double x0, double y0, double x1,
               double h) {
    const Method* method = selectedMethod(view);
    view.appendLine(" ");
    view.appendLine(method ? std::string(method->heading) : std::string());
    view.appendLine(" ");

    numerical.clear();
    int i = 0;
    try {
        numerical.store(0, x0, y0);
        while (numerical.x(i) < x1) {
            i = i + 1;
            const double x = numerical.x(i - 1);
            const double y = numerical.y(i - 1);
            // The selection is read again at every step.
            method = selectedMethod(view);
            if (!method) throw CalculationError("Choose a method before pressing CALCULATE.");
            const double ynew = explicitRungeKutta(*method)->step(x, y, h, f1);
            numerical.store(i, x + h, ynew);
            view.appendLine(numberToText(numerical.x(i)) + "    " + numberToText(numerical.y(i)));
        }
    } catch (const TableFull&) {
        throw CalculationError(tooManyStepsMessage(h));
    } catch (const NotFinite&) {
        throw CalculationError("At step " + std::to_string(i) +
                               " the numbers grew too large to calculate with. Enter a "
                               "smaller h or smaller starting values.");
    }
}

void Command1_Click(WindowView& view, Canvas& canvas, Calculation& last) {
    last = Calculation{};
    Stage stage = Stage::reading;
    try {
        const double x0 = readInput(view, Input::x0, last);
        const double y0 = readInput(view, Input::y0, last);
        const double x1 = readInput(view, Input::x1, last);
        const double h = readInput(view, Input::h, last);
        stage = Stage::exact;
        Analytical(last.solutions.exact, x0, y0, x1);
        stage = Stage::numerical;
        // The method whose heading Numerical lists.
        last.method = selectedMethod(view);
        Numerical(view, last.solutions.numerical, x0, y0, x1, h);
        stage = Stage::plot;
        Graphic(canvas, last.solutions, x1);
    } catch (const CalculationError& error) {
        last.failedStage = stage;
        last.failure = error.what();
        view.reportError(last.failure);
    }
}

}  // namespace pelorin
