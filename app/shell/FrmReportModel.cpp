#include "FrmReportModel.h"

#include "Rtf.h"
#include "TempFile.h"

#include <QDir>
#include <QFileInfo>

namespace verdan {

FrmReportModel::FrmReportModel(Prompter& prompter, QObject* parent)
    : ScreenModel(parent), m_prompter(prompter) {}

void FrmReportModel::setLog(LogDocument log) {
    m_log = std::move(log);
    ++m_replacements;
    emit changed();
}

void FrmReportModel::appendText(const QString& text, const CharFormat& format) {
    if (text.isEmpty())
        return;
    m_log.appendText(text, format);
    emit changed();
}

void FrmReportModel::appendPicture(const QByteArray& png, int widthPx, int heightPx) {
    m_log.appendPicture(png, widthPx, heightPx);
    emit changed();
}

void FrmReportModel::clearLog() {
    m_log.clear();
    ++m_replacements;
    emit changed();
}

void FrmReportModel::cmdClear_Click() {
    clearLog();
}

FrmReportModel::ReportFile FrmReportModel::reportFileFor(const FileAnswer& answer) {
    const QString suffix = QFileInfo(answer.path).suffix().toLower();
    if (suffix == u"rtf" || suffix == u"txt")
        return {answer.path, suffix == u"rtf"};
    if (answer.filterIndex == kRichTextFilter)
        return {answer.path + QStringLiteral(".rtf"), true};
    if (answer.filterIndex == kTextFilter)
        return {answer.path + QStringLiteral(".txt"), false};
    return {answer.path, false};
}

void FrmReportModel::cmdFile_Click() {
    FileRequest request;
    request.caption = QStringLiteral("Save Report Log");
    request.startFolder = QDir::homePath();
    request.filters =
        QStringList{QStringLiteral("All Files (*.*)"), QStringLiteral("Text Files (*.txt)"),
                    QStringLiteral("Rich Text (*.rtf)")};
    request.filterIndex = kRichTextFilter;
    const FileAnswer answer = m_prompter.saveFile(request);
    if (answer.path.isEmpty())
        return;
    const ReportFile target = reportFileFor(answer);
    if (QFileInfo::exists(target.path) &&
        m_prompter.message(QStringLiteral("File already exits.  Overwrite It?"),
                           QStringLiteral("Verdan"), MsgButtons::YesNo,
                           MsgIcon::Question) != MsgAnswer::Yes)
        return;

    m_prompter.setBusy(true);
    const QByteArray content =
        target.richText ? writeRtf(m_log) : (m_log.plainText() + u'\n').toUtf8();
    QString reason;
    const bool saved = writeFileAtomically(target.path, content, &reason);
    m_prompter.setBusy(false);
    if (!saved) {
        inform(m_prompter,
               QStringLiteral("The report log could not be saved to \"%1\": %2\n"
                              "The log is unchanged; an existing file was left as it was.")
                   .arg(target.path, reason),
               QStringLiteral("Verdan"), MsgIcon::Critical);
    }
}

void FrmReportModel::cmdClose_Click() {
    requestClose();
}

} // namespace verdan
