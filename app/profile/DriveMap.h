#pragma once

#include <QString>
#include <QStringList>

namespace verdan {

/// The folder that stands for the drive letters of the terrain databases' paths: drive X is
/// the folder "<root>/x/". The root is $VERDAN_DRIVES, else $XDG_DATA_HOME/verdan/drives,
/// else ~/.local/share/verdan/drives (the terrain library uses the same map). No trailing "/".
QString driveMapRoot();

/// The host path of `path`: "C:\Projects\Globe\" becomes "<root>/c/Projects/Globe/"; a path
/// without a drive letter is returned unchanged.
QString hostPath(const QString& path);

/// The letters ("c", "d", ...) of the drive folders that exist under the drive map's root,
/// in alphabetical order.
QStringList driveLetters();

/// True when `folder` (ending with a separator, drive letters mapped) holds the GLOBE index
/// "globe.dat", the name matched without regard to letter case. A folder longer than the
/// terrain library's path buffer (MaxGlobePathBytes bytes) never holds it: such a path
/// would be cut short on its way to the library.
bool globeIndexExists(const QString& folder);

/// Width of the terrain library's GLOBE path argument, in bytes.
inline constexpr int MaxGlobePathBytes = 150;

} // namespace verdan
