#include "TempFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

namespace verdan {

QString NewTempFileName() {
    // QDir::tempPath() is empty when $TMPDIR names a missing folder: never fall back to the
    // working folder then.
    const QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    QTemporaryFile file(QDir(folder).filePath(QStringLiteral("verdan-XXXXXX.tmp")));
    file.setAutoRemove(false);
    if (!file.open())
        return {};
    const QString path = QFileInfo(file.fileName()).absoluteFilePath();
    file.close();
    return path;
}

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* errorText) {
    QSaveFile file(path);
    // Never fall back to writing the target in place: that could destroy the previous file.
    file.setDirectWriteFallback(false);
    // Unbuffered: a buffered write only fails in the flush inside commit(), where a full disk
    // goes unnoticed and a cut file would replace the previous one.
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                    file.write(data) == data.size() && file.error() == QFileDevice::NoError &&
                    file.commit();
    if (!ok && errorText)
        *errorText = file.errorString();
    return ok;
}

} // namespace verdan
