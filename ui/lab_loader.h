// Finds and loads the Method lab's plugin: in the folder the build writes
// from the install layout, relative to the program, so that it is found
// where the program is installed and in the build tree alike.
#pragma once

#include "ui/lab_plugin.h"

#include <QString>

struct LoadedLab {
    LabPlugin* plugin = nullptr;  // null when it could not be loaded
    QString error;                // then why, naming the file, for the user
};

// The plugin's file beside the program as installed.
QString labPluginPath();

// Loads the plugin at `path`, or says why not.
LoadedLab loadLabPlugin(const QString& path);

// Loads the program's own plugin on the first call and keeps it loaded.
const LoadedLab& loadedLab();
