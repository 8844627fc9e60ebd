// The Method lab lives in a module of its own, loaded when it is first
// opened, so that its plotting library costs the program's start-up
// nothing. These are the module's entry points, as the main window calls
// them; the module defines them with C linkage so that they are found by name.
#pragma once

#include "run/calculation.h"

#include <QString>

#include <array>
#include <cstddef>

class QWidget;

struct LabStart {
    std::array<QString, 3> boxes;  // x0, y0, x1 as the main window holds them
    std::size_t method = 0;        // catalogue row
};

// A new lab window reading `last` whenever it is told of a calculation.
using CreateMethodLab = QWidget* (*)(const LabStart& start, const pelorin::Calculation& last);
// Tells a lab made by CreateMethodLab that `last` has changed.
using MethodLabCalculated = void (*)(QWidget* lab);

inline constexpr const char* createMethodLabSymbol = "pelorinCreateMethodLab";
inline constexpr const char* methodLabCalculatedSymbol = "pelorinMethodLabCalculated";
