// Finding the Method lab's plugin: the program's own is found beside it, as
// installed; a missing or damaged file gives a message that names it.
#include "ui/lab_loader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(LabLoader, FindsTheProgramsOwnPlugin) {
    const LoadedLab module = loadLabPlugin(labPluginPath());
    EXPECT_NE(module.plugin, nullptr) << module.error.toStdString();
    EXPECT_TRUE(module.error.isEmpty());
}

TEST(LabLoader, AMissingOrDamagedPluginIsNamedInWords) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString damaged = folder.filePath("pelorin-lab.so");
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a library");
    file.close();
    const struct {
        const char* name;
        QString path;
        QString says;
    } rows[] = {
        {"missing", folder.filePath("gone/pelorin-lab.so"), " is missing."},
        {"damaged", damaged, " could not be loaded: "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const LoadedLab module = loadLabPlugin(row.path);
        EXPECT_EQ(module.plugin, nullptr);
        EXPECT_TRUE(module.error.startsWith(QDir::toNativeSeparators(row.path) + row.says))
            << module.error.toStdString();
    }
}
