#include "numerics/method_sets.h"

#include "numerics/method_properties.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace pelorin {

namespace {

bool anyMethod(const Method&) { return true; }
bool isExplicitRungeKutta(const Method& method) { return explicitRungeKutta(method) != nullptr; }
bool isImplicitOneStep(const Method& method) { return hasTableau(method) && isImplicit(method); }

constexpr std::array<MethodSetEntry, 6> sets{{
    {MethodSet::windowMethods, "The window's seven methods", isWindowMethod},
    {MethodSet::explicitRungeKutta, "Explicit Runge-Kutta methods", isExplicitRungeKutta},
    {MethodSet::implicitOneStep, "Implicit Runge-Kutta methods", isImplicitOneStep},
    {MethodSet::multistep, "Multistep methods", isMultistep},
    {MethodSet::symplectic, "Symplectic methods", isSymplectic},
    {MethodSet::every, "Every method", anyMethod},
}};

}  // namespace

std::span<const MethodSetEntry> methodSets() { return sets; }

const MethodSetEntry& methodSetEntry(MethodSet set) {
    const auto entry = std::find_if(sets.begin(), sets.end(),
                                    [set](const MethodSetEntry& each) { return each.set == set; });
    if (entry == sets.end()) throw std::logic_error("a set of methods without an entry");
    return *entry;
}

PerMethod<bool> methodsIn(MethodSet set, std::size_t chosen) {
    const MethodSetEntry& entry = methodSetEntry(set);
    PerMethod<bool> in;
    for (std::size_t row = 0; row < in.size(); ++row) {
        in[row] = row == chosen || entry.holds(labCatalogue()[row]);
    }
    return in;
}

}  // namespace pelorin
