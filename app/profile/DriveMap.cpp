#include "DriveMap.h"

#include <QDir>
#include <QFileInfo>

namespace verdan {

namespace {

// The entry of `folder` whose name equals `name` without regard to letter case; empty when
// there is none.
QString entryNoCase(const QString& folder, const QString& name) {
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}

// `path` with each component matched without regard to letter case where the exact name
// does not exist; empty when some component is missing.
QString resolveNoCase(const QString& path) {
    if (QFileInfo::exists(path))
        return path;
    const bool absolute = path.startsWith(u'/');
    QString resolved = absolute ? QStringLiteral("/") : QStringLiteral(".");
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QString exact = QDir(resolved).filePath(part);
        if (QFileInfo::exists(exact)) {
            resolved = exact;
            continue;
        }
        resolved = entryNoCase(resolved, part);
        if (resolved.isEmpty())
            return {};
    }
    return resolved;
}

} // namespace

QString driveMapRoot() {
    QString root = qEnvironmentVariable("VERDAN_DRIVES");
    if (root.isEmpty()) {
        QString data = qEnvironmentVariable("XDG_DATA_HOME");
        if (data.isEmpty())
            data = QDir::homePath() + QStringLiteral("/.local/share");
        root = data + QStringLiteral("/verdan/drives");
    }
    while (root.size() > 1 && root.endsWith(u'/'))
        root.chop(1);
    return root;
}

QString hostPath(const QString& path) {
    if (path.size() < 2 || path.at(1) != u':' || !path.at(0).isLetter())
        return path;
    QString rest = path.mid(2);
    rest.replace(u'\\', u'/');
    while (rest.startsWith(u'/'))
        rest.remove(0, 1);
    return driveMapRoot() + u'/' + path.at(0).toLower() + u'/' + rest;
}

QStringList driveLetters() {
    QStringList letters;
    const QDir root(driveMapRoot());
    const QStringList entries = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.size() == 1 && entry.at(0).isLetter() && entry.at(0).isLower())
            letters << entry;
    }
    return letters;
}

bool globeIndexExists(const QString& folder) {
    if (folder.toLocal8Bit().size() > MaxGlobePathBytes)
        return false;
    const QString index = resolveNoCase(hostPath(folder) + QStringLiteral("globe.dat"));
    return !index.isEmpty() && QFileInfo(index).isFile();
}

} // namespace verdan
