#include "ui/lab_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {

QString modulePath() {
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                               .absoluteFilePath("../lib/pelorin/pelorin-lab.so"));
}

LabModule load(QLibrary& library) {
    LabModule module;
    if (!library.load()) {
        module.error = library.errorString();
        return module;
    }
    module.create = reinterpret_cast<CreateMethodLab>(library.resolve(createMethodLabSymbol));
    module.calculated =
        reinterpret_cast<MethodLabCalculated>(library.resolve(methodLabCalculatedSymbol));
    if (!module.create || !module.calculated) {
        module.create = nullptr;
        module.calculated = nullptr;
        module.error = library.errorString();
    }
    return module;
}

}  // namespace

const LabModule& labModule() {
    // Destroying a QLibrary leaves its library loaded, so the lab's windows
    // and code stay until the program ends.
    static QLibrary library(modulePath());
    static const LabModule module = load(library);
    return module;
}
