#pragma once

#include "AppInfo.h"
#include "Prompter.h"
#include "ScreenModel.h"

#include <QStringList>

namespace verdan {

/// The about box.
class FrmAboutModel : public ScreenModel {
    Q_OBJECT
public:
    FrmAboutModel(const AppInfo& info, Prompter& prompter, QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmAbout"); }

    QString lblTitle() const { return QStringLiteral("Solvane"); }
    QString lblVersion() const { return m_version; }
    static QString lblDescription();
    static QString Label1();
    static QString lblDisclaimer();

    /// Sets the version label: "Version " + major.minor.revision.
    void Form_Load();
    void cmdOK_Click() { requestClose(); }
    /// Starts the desktop's system information program, or says that there is none.
    void cmdSysInfo_Click();

    /// System information programs looked for on PATH, in this order.
    static QStringList systemInfoPrograms();
    /// The first of `programs` found in the folders of `pathVariable` (":"-separated) as an
    /// executable file; empty when none is.
    static QString findOnPath(const QStringList& programs, const QString& pathVariable);

private:
    const AppInfo& m_info;
    Prompter& m_prompter;
    QString m_version;
};

} // namespace verdan
