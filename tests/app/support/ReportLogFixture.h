#pragma once

#include "RLogClass.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace verdan::test {

/// The bytes of the file at `path`; empty when it cannot be read.
inline QByteArray fileContent(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

/// Writes `content` to the file at `path`, replacing it; false when that fails.
inline bool writeContent(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

/// The report the report-log tests start from: the title, a heading line and an italic row.
inline void writeSampleReport(RLogClass& log) {
    log.Clear();
    log.AddLine(QStringLiteral("  Distance   Loss"));
    log.setItalic(true);
    log.AddLine(QStringLiteral("     10.0  120.5"));
    log.setItalic(false);
}

} // namespace verdan::test
