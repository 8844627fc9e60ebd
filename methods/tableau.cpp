#include "methods/tableau.h"

#include <cmath>
#include <cstdlib>

namespace pelorin {

double Coefficient::value() const {
    return (double(rational) + double(surd) * std::sqrt(double(radicand))) / double(denominator);
}

std::string Coefficient::text() const {
    const auto withSign = [](std::int64_t n, const std::string& unit) {
        const std::string size = std::abs(n) == 1 && !unit.empty() ? "" : std::to_string(std::abs(n));
        return (n < 0 ? "-" : "") + size + unit;
    };
    const std::string root = "\u221a" + std::to_string(radicand);
    std::string numerator;
    if (surd == 0) numerator = std::to_string(rational);
    else if (rational == 0) numerator = withSign(surd, root);
    else numerator = std::to_string(rational) + (surd < 0 ? " - " : " + ") + withSign(std::abs(surd), root);
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

bool Tableau::isImplicit() const {
    for (int j = 0; j < stages; ++j) {
        for (int l = j; l < stages; ++l) {
            if (!a[j][l].isZero()) return true;
        }
    }
    return false;
}

}  // namespace pelorin
