// Finds and loads the Method lab's module: in lib/pelorin beside the
// program's bin directory, installed or in the build tree alike.
#pragma once

#include "ui/lab_module.h"

#include <QString>

struct LabModule {
    CreateMethodLab create = nullptr;
    MethodLabCalculated calculated = nullptr;
    QString error;  // why it could not be loaded, for the user
};

// Loads the module on the first call and keeps it loaded.
const LabModule& labModule();
