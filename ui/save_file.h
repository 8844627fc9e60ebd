// Saving a file whole or not at all: the contents go to a temporary file in
// the same folder, which replaces the old file only once everything was
// written. A full disk, a read-only folder or a folder that vanished leaves
// no partial file and the old file as it was.
#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

// Empty on success, otherwise a message for the user saying what failed.
QString saveWhole(const QString& path, const QByteArray& contents);

// Saves, and on failure tells the user in a warning over `parent`. Returns
// whether the file was saved.
bool saveWholeOrWarn(QWidget* parent, const QString& path, const QByteArray& contents);
