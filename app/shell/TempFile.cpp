#include "TempFile.h"

#include "FileNameBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <verdan/files/OutputFiles.h>

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
    const files::PublishResult result =
        files::writeFileAtomically(fileNameBytes(path).toStdString(), data.toStdString());
    if (!result.ok && errorText)
        *errorText = QString::fromLocal8Bit(result.reason);
    return result.ok;
}

} // namespace verdan
