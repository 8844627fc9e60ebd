#include "ui/save_file.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>

QString saveWhole(const QString& path, const QByteArray& contents) {
    QSaveFile file(path);
    const auto failure = [&](const QString& reason) {
        return QStringLiteral("Could not save \"%1\": %2. Nothing was written; a file of that "
                              "name that was there before is unchanged.")
            .arg(QDir::toNativeSeparators(path), reason);
    };
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir()) {
        return failure(QStringLiteral("the folder does not exist"));
    }
    if (!file.open(QIODevice::WriteOnly)) return failure(file.errorString());
    if (file.write(contents) != contents.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(reason);
    }
    if (!file.commit()) return failure(file.errorString());
    return {};
}

bool saveWholeOrWarn(QWidget* parent, const QString& path, const QByteArray& contents) {
    const QString message = saveWhole(path, contents);
    if (message.isEmpty()) return true;
    QMessageBox::warning(parent, QStringLiteral("Not saved"), message);
    return false;
}

std::optional<SaveTarget> askWhereToSave(QWidget* parent, const QString& title,
                                         const QString& suggestedName,
                                         const std::vector<FileKind>& kinds) {
    QStringList filters;
    for (const FileKind& kind : kinds) {
        filters << QStringLiteral("%1 (*%2)").arg(kind.description, kind.suffix);
    }
    QString chosenFilter;
    const QString path = QFileDialog::getSaveFileName(parent, title, suggestedName,
                                                      filters.join(";;"), &chosenFilter);
    if (path.isEmpty()) return std::nullopt;
    return saveTarget(path, std::max<qsizetype>(0, filters.indexOf(chosenFilter)), kinds);
}

SaveTarget saveTarget(const QString& path, qsizetype pickedFilter,
                      const std::vector<FileKind>& kinds) {
    for (std::size_t kind = 0; kind < kinds.size(); ++kind) {
        if (path.endsWith(kinds[kind].suffix, Qt::CaseInsensitive)) return SaveTarget{path, kind};
    }
    const auto picked = static_cast<std::size_t>(pickedFilter);
    return SaveTarget{path + kinds[picked].suffix, picked};
}
