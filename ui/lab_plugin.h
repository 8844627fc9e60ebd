// The boundary between the program and the Method lab, a plugin loaded when
// the lab is first opened so that its plotting library costs the program's
// start-up nothing. The program declares this interface; the lab's plugin
// implements it; both use the one method catalogue of the numerical library
// they share, so a method crosses the boundary as its catalogue entry.
#pragma once

#include "methods/methods.h"

#include <QString>
#include <QtPlugin>

#include <array>

class QWidget;

struct LabStart {
    std::array<QString, 3> boxes;  // x0, y0, x1 as the main window holds them
    const pelorin::Method* method = &pelorin::methodCatalogue.front();
};

class LabPlugin {
public:
    virtual ~LabPlugin() = default;

    // A new lab window, without an owner, that starts from the main
    // window's boxes and method and then keeps its own.
    virtual QWidget* createLab(const LabStart& start) = 0;
    // Opens a problem file in a lab made by createLab: empty, or why the file
    // was not used, in words (then the lab is unchanged).
    virtual QString openProblemFile(QWidget* lab, const QString& path) = 0;
};

// The version goes up whenever the interface changes, so that an old plugin
// is refused instead of called wrongly.
#define PelorinLabPlugin_iid "org.example.pelorin.LabPlugin/3"
Q_DECLARE_INTERFACE(LabPlugin, PelorinLabPlugin_iid)
