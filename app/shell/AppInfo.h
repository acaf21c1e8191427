#pragma once

#include <QString>

namespace verdan {

/// What the screens need to know about the installed program.
struct AppInfo {
    /// The program's title: also the application name of its own settings.
    QString title = QStringLiteral("Verdan");
    int versionMajor = 0;
    int versionMinor = 0;
    int versionRevision = 0;
    /// The program's data folder (help, guide, pictures, demo data), ending without "/".
    QString dataFolder;

    /// "1.5.5" for version 1, 5, revision 5.
    QString versionText() const {
        return QString::number(versionMajor) + u'.' + QString::number(versionMinor) + u'.' +
               QString::number(versionRevision);
    }
};

/// The program's data folder for an executable in `executableFolder`: `share/verdan` beside
/// the `bin` folder, as installed and as laid out in the build tree. `VERDAN_DATA_DIR`
/// overrides it.
QString findDataFolder(const QString& executableFolder);

/// The information of this build: version from the build system, data folder found from
/// `executableFolder`.
AppInfo buildAppInfo(const QString& executableFolder);

} // namespace verdan
