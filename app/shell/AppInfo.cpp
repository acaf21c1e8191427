#include "AppInfo.h"

#include "VerdanVersion.h"

#include <QDir>

namespace verdan {

QString findDataFolder(const QString& executableFolder) {
    const QString fromEnv = qEnvironmentVariable("VERDAN_DATA_DIR");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(fromEnv);
    return QDir::cleanPath(executableFolder + QStringLiteral("/../share/verdan"));
}

AppInfo buildAppInfo(const QString& executableFolder) {
    AppInfo info;
    info.versionMajor = VERDAN_VERSION_MAJOR;
    info.versionMinor = VERDAN_VERSION_MINOR;
    info.versionRevision = VERDAN_VERSION_PATCH;
    info.dataFolder = findDataFolder(executableFolder);
    return info;
}

} // namespace verdan
