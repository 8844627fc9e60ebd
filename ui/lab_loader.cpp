#include "ui/lab_loader.h"

#include "ui/lab_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

QString labPluginPath() {
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                               .absoluteFilePath(QString(labDirFromProgram) + "/" + labFileName));
}

LoadedLab loadLabPlugin(const QString& path) {
    LoadedLab module;
    const auto failed = [&](const QString& why) {
        module.error = QDir::toNativeSeparators(path) + " " + why;
        return module;
    };
    if (!QFileInfo::exists(path)) return failed("is missing.");
    // The loader is not deleted: the lab's windows and code stay until the
    // program ends.
    auto* loader = new QPluginLoader(path, QCoreApplication::instance());
    QObject* instance = loader->instance();
    if (!instance) return failed("could not be loaded: " + loader->errorString());
    module.plugin = qobject_cast<LabPlugin*>(instance);
    if (!module.plugin) return failed("is not a Method lab of this version of the program.");
    return module;
}

const LoadedLab& loadedLab() {
    static const LoadedLab module = loadLabPlugin(labPluginPath());
    return module;
}
