// Saving a file whole or not at all: the contents go to a temporary file in
// the same folder, which replaces the old file only once everything was
// written. A full disk, a read-only folder or a folder that vanished leaves
// no partial file and the old file as it was.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

class QWidget;

// A kind of file the user may save as: "PNG image", ".png".
struct FileKind {
    QString description;
    QString suffix;
};

struct SaveTarget {
    QString path;
    std::size_t kind;  // index into the kinds offered
};

// Asks where to save, offering the kinds in order. The kind is the one the
// name ends in, else the one whose filter was picked, whose suffix is then
// added. Empty when the user cancels.
std::optional<SaveTarget> askWhereToSave(QWidget* parent, const QString& title,
                                         const QString& suggestedName,
                                         const std::vector<FileKind>& kinds);

// What askWhereToSave makes of the name typed and the filter picked (its
// index in `kinds`): the kind the name ends in, whatever the filter, else the
// picked kind with its suffix added.
SaveTarget saveTarget(const QString& path, qsizetype pickedFilter,
                      const std::vector<FileKind>& kinds);

// Empty on success, otherwise a message for the user saying what failed.
QString saveWhole(const QString& path, const QByteArray& contents);

// Saves, and on failure tells the user in a warning over `parent`. Returns
// whether the file was saved.
bool saveWholeOrWarn(QWidget* parent, const QString& path, const QByteArray& contents);
