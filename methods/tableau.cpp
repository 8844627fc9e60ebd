#include "methods/tableau.h"

#include "methods/stage_step.h"

#include <cmath>
#include <cstdlib>

namespace pelorin {

double Coefficient::value() const { return (rational + surd * std::sqrt(2.0)) / denominator; }

std::string Coefficient::text() const {
    const auto withSign = [](int n, const std::string& unit) {
        const std::string size = std::abs(n) == 1 && !unit.empty() ? "" : std::to_string(std::abs(n));
        return (n < 0 ? "-" : "") + size + unit;
    };
    std::string numerator;
    if (surd == 0) numerator = std::to_string(rational);
    else if (rational == 0) numerator = withSign(surd, "\u221a2");
    else numerator = std::to_string(rational) + (surd < 0 ? " - " : " + ") +
                     withSign(std::abs(surd), "\u221a2");
    if (denominator == 1) return numerator;
    const bool compound = rational != 0 && surd != 0;
    return (compound ? "(" + numerator + ")" : numerator) + "/" + std::to_string(denominator);
}

bool Tableau::hasErrorEstimate() const {
    for (const Coefficient& weight : e) {
        if (!weight.isZero()) return true;
    }
    return false;
}

StageStep stepByStages(const Tableau& tableau, double x0, double y0, double h, Slope f) {
    StageStep step;
    step.stages = tableau.stages;
    step.y1 = y0;
    for (int j = 0; j < tableau.stages; ++j) {
        double Y = y0;
        for (int l = 0; l < j; ++l) {
            if (!tableau.a[j][l].isZero()) Y = Y + tableau.a[j][l].value() * step.k[l];
        }
        step.x[j] = x0 + tableau.c[j].value() * h;
        step.Y[j] = Y;
        step.slope[j] = f(step.x[j], Y);
        step.k[j] = h * step.slope[j];
    }
    for (int j = 0; j < tableau.stages; ++j) {
        step.increment = step.increment + tableau.b[j].value() * step.k[j];
        step.estimate = step.estimate + tableau.e[j].value() * step.k[j];
    }
    step.y1 = y0 + step.increment;
    return step;
}

}  // namespace pelorin
