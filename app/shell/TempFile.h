#pragma once

#include <QByteArray>
#include <QString>

namespace verdan {

/// Creates a new, empty file with a unique name in the temporary folder (QDir::tempPath(),
/// i.e. $TMPDIR or /tmp) and returns its full path. The file stays when the program ends.
/// Returns an empty string when no file could be created.
QString NewTempFileName();

/// Replaces the content of the file at `path` with `data` through a temporary file in the
/// same folder that is renamed over `path` once fully written, so a failure never leaves a
/// half-written or emptied file behind: on failure the previous file is untouched. Returns
/// true on success; on failure false, with the reason in `errorText` when it is not null.
/// A folder, pipe or device named `path` (or reached through its links) is refused, unchanged.
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* errorText = nullptr);

} // namespace verdan
