// The sets of methods the lab's pages compare side by side, each a
// predicate over the catalogue, so that a new row joins every set it
// belongs to without a list to extend.
#pragma once

#include "methods/methods.h"

#include <array>
#include <span>
#include <string_view>

namespace pelorin {

enum class MethodSet {
    windowMethods,       // the seven the main window lists
    explicitRungeKutta,  // every explicit Runge-Kutta method
    implicitOneStep,     // the implicit Runge-Kutta methods
    multistep,
    symplectic,          // Runge-Kutta or partitioned methods that keep the symplectic form
    every,
};

struct MethodSetEntry {
    MethodSet set;
    std::string_view caption;  // as a list offers it and a handout names it
    bool (*holds)(const Method&);
};
// In the order a list offers them.
std::span<const MethodSetEntry> methodSets();
const MethodSetEntry& methodSetEntry(MethodSet set);

// The sets a page can show side by side with one h, in the order it offers
// them: every set but the widest two, whose runs would hide one another.
inline constexpr std::array<MethodSet, 4> sideBySideMethodSets{
    MethodSet::windowMethods, MethodSet::implicitOneStep, MethodSet::multistep,
    MethodSet::symplectic};

// The catalogue's rows in `set`, and the row `chosen` beside them, marked.
PerMethod<bool> methodsIn(MethodSet set, std::size_t chosen);

}  // namespace pelorin
