#include "ui/lab_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {

LabModule load() {
    LabModule module;
    const QString path = QDir(QCoreApplication::applicationDirPath())
                             .absoluteFilePath("../lib/pelorin/pelorin-lab.so");
    // Never unloaded: the lab's windows and their code stay until the end.
    auto* library = new QLibrary(QDir::cleanPath(path));
    if (!library->load()) {
        module.error = library->errorString();
        return module;
    }
    module.create = reinterpret_cast<CreateMethodLab>(library->resolve(createMethodLabSymbol));
    module.calculated =
        reinterpret_cast<MethodLabCalculated>(library->resolve(methodLabCalculatedSymbol));
    if (!module.create || !module.calculated) {
        module.create = nullptr;
        module.calculated = nullptr;
        module.error = library->errorString();
    }
    return module;
}

}  // namespace

const LabModule& labModule() {
    static const LabModule module = load();
    return module;
}
