#pragma once

#include "LogDocument.h"
#include "Prompter.h"
#include "ScreenModel.h"

namespace verdan {

/// The report window "FrmReport": the rich text box `rtbLog` that holds the report log, and
/// the commands to clear it, save it to a file chosen by the user and close (hide) the
/// window. Printing and printer setup need the platform's print dialogs and are done by the
/// view. The window is created with the log object (RLogClass) and lives as long as it.
class FrmReportModel : public ScreenModel {
    Q_OBJECT
public:
    /// Index of the "Rich Text (*.rtf)" filter in the save dialog (0-based); the other two
    /// filters save plain text.
    static constexpr int kRichTextFilter = 2;
    /// Index of the "Text Files (*.txt)" filter.
    static constexpr int kTextFilter = 1;

    /// Where and how a report is saved.
    struct ReportFile {
        QString path;
        bool richText = false;
    };
    /// The file name's suffix decides: ".rtf" rich text, ".txt" plain text. A name without
    /// either is saved as the chosen filter says, with that filter's suffix appended ("All
    /// Files": plain text under the name as typed).
    static ReportFile reportFileFor(const FileAnswer& answer);

    /// `prompter` must outlive the window.
    explicit FrmReportModel(Prompter& prompter, QObject* parent = nullptr);

    QString screenName() const override { return QStringLiteral("FrmReport"); }

    /// The content of the rich text box.
    const LogDocument& rtbLog() const { return m_log; }
    /// Replaces the whole content of the box.
    void setLog(LogDocument log);
    /// Appends text in `format` at the end ("\n" or "\r\n" start a new paragraph).
    void appendText(const QString& text, const CharFormat& format);
    /// Appends a PNG picture shown at `widthPx` x `heightPx` pixels at the end.
    void appendPicture(const QByteArray& png, int widthPx, int heightPx);
    /// Empties the box.
    void clearLog();
    /// Counts the changes of the box other than additions at its end (setLog(), clearLog()):
    /// while it stays the same, the content has only grown.
    quint64 replacements() const { return m_replacements; }

    /// "Clear Log": empties the box; no title line is written.
    void cmdClear_Click();
    /// "Save to File": asks for a file (starting in the user's home folder, "Rich Text"
    /// preselected) and writes the log there as rich text or as plain text (LF line ends, one
    /// after the last line), as reportFileFor() decides. An existing file is replaced only after
    /// the user answers Yes to the overwrite question. The file is written through a temporary file
    /// and a rename: a failed save shows a message naming the file and the reason and leaves the
    /// log and any previous file unchanged.
    void cmdFile_Click();
    /// "Close": hides the window; it keeps its text.
    void cmdClose_Click();
    /// Menu "&Clear Log": as cmdClear_Click().
    void mnuFileClearLog_Click() { cmdClear_Click(); }
    /// Menu "&Save As ...": as cmdFile_Click().
    void mnuFileSaveAs_Click() { cmdFile_Click(); }
    /// Menu "&Close": as cmdClose_Click().
    void mnuFileClose_Click() { cmdClose_Click(); }

private:
    Prompter& m_prompter;
    LogDocument m_log;
    quint64 m_replacements = 0;
};

} // namespace verdan
