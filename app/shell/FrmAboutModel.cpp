#include "FrmAboutModel.h"

#include <QFileInfo>

namespace verdan {

FrmAboutModel::FrmAboutModel(const AppInfo& info, Prompter& prompter, QObject* parent)
    : ScreenModel(parent), m_info(info), m_prompter(prompter) {
    setCaption(QStringLiteral("About Verdan"));
}

QString FrmAboutModel::lblDescription() {
    return QStringLiteral(
        "Based on electromagnetic theory and on statistical analysis of both terrain features "
        "and radio measurements, predicts the median attenuation of radio signal as a function "
        "of distance and the variability of the signal in time and in space.");
}

QString FrmAboutModel::Label1() {
    return QStringLiteral("Propagation model: the Longley-Rice propagation model.");
}

QString FrmAboutModel::lblDisclaimer() {
    return QStringLiteral("Predictions are statistical estimates. Check them against "
                          "measurements before relying on them for a link budget or a "
                          "licence filing. This program comes with no warranty.");
}

void FrmAboutModel::Form_Load() {
    m_version = QStringLiteral("Version ") + m_info.versionText();
    emit changed();
}

QStringList FrmAboutModel::systemInfoPrograms() {
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter")};
}

QString FrmAboutModel::findOnPath(const QStringList& programs, const QString& pathVariable) {
    const QStringList folders = pathVariable.split(u':', Qt::SkipEmptyParts);
    for (const QString& program : programs) {
        for (const QString& folder : folders) {
            const QFileInfo candidate(folder + u'/' + program);
            if (candidate.isFile() && candidate.isExecutable())
                return candidate.absoluteFilePath();
        }
    }
    return {};
}

void FrmAboutModel::cmdSysInfo_Click() {
    const QString tool = findOnPath(systemInfoPrograms(), qEnvironmentVariable("PATH"));
    if (!tool.isEmpty() && m_prompter.startProgram(tool))
        return;
    m_prompter.message(QStringLiteral("System Information Is Unavailable At This Time"),
                       m_info.title, MsgButtons::Ok, MsgIcon::None);
}

} // namespace verdan
