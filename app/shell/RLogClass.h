#pragma once

#include "FrmReportModel.h"
#include "LogDocument.h"
#include "Prompter.h"
#include "ReportSink.h"
#include "Rtf.h"

#include <QObject>
#include <QStringList>

#include <optional>

namespace verdan {

/// The report log: every report of the program is appended to it as formatted text. It
/// drives the report window's rich text box (FrmReportModel::rtbLog()), always inserting at
/// the end with the bold, italic and underline attributes set last. Reports are never
/// wrapped: the view shows them without line wrapping in a fixed-pitch font.
///
/// There is one log for the whole run; creating it creates the report window (hidden) with
/// the caption "Report Log".
class RLogClass : public QObject, public ReportSink {
    Q_OBJECT
public:
    /// `prompter` must outlive the log.
    explicit RLogClass(Prompter& prompter, QObject* parent = nullptr);

    /// Shows the report window modally until the user closes (hides) it.
    void Show();
    /// Loads the rich text file at `path` into the box, replacing its content, then moves
    /// the insertion point to the end. What follows the document (an addition a crash left
    /// unfinished) is ignored. Returns false, leaving the box unchanged, when the file does
    /// not exist, cannot be read or is not rich text. Shows nothing.
    bool ReadFile(const QString& path);
    /// Writes the box's whole content to `path` as rich text. Returns false on any error,
    /// leaving a previous file untouched. Shows nothing. When the file is the one this log
    /// saved last, unchanged since, and the log has only grown, only what was added is
    /// written (appendToFile()); otherwise the file is replaced through a temporary file and
    /// a rename.
    bool SaveFile(const QString& path);

    /// The file in which a mode form that loads keeps the log between runs, `stored` being
    /// the setting "TempLogName". A stored file that holds a log is read back into the log and
    /// taken, as is an empty one (made by a run that wrote nothing yet): `taken` is then true.
    /// A missing file, or one that is not a log (left alone), gives a new temporary file.
    /// Returns "" when no temporary file could be made. The file is remembered for
    /// removeFilesExcept().
    QString takeFile(const QString& stored, bool& taken);
    /// At the program's end: deletes the files takeFile() handed out in this run, except
    /// `retained` (the setting "TempLogName"), so that no temporary log file is left behind.
    void removeFilesExcept(const QString& retained);

    /// Underline on or off for text inserted from now on.
    void setUnderline(bool on) { m_format.underline = on; }
    /// Italic on or off for text inserted from now on.
    void setItalic(bool on) { m_format.italic = on; }
    /// Bold on or off for text inserted from now on.
    void setBold(bool on) { m_format.bold = on; }

    /// The report window's caption.
    QString Title() const { return m_window.caption(); }
    /// Sets the report window's caption.
    void setTitle(const QString& title) { m_window.setCaption(title); }

    /// Empties the text, then writes the title line (AddTitle()).
    void Clear();
    /// Inserts `s` at the end of the text with the current attributes. "\r\n" or "\n" in
    /// `s` end a line.
    void Add(const QString& s) override;
    /// As Add(), then ends the line.
    void AddLine(const QString& s) override;
    /// Writes the caption as a bold, underlined line; bold and underline are off afterwards.
    void AddTitle();
    /// Inserts a PNG picture at the end of the text, shown at `widthPx` x `heightPx`
    /// pixels. Empty `png` inserts nothing. The clipboard is not used.
    void insertPicture(const QByteArray& png, int widthPx, int heightPx) override;

    /// The log's content.
    const LogDocument& document() const { return m_window.rtbLog(); }
    /// The report window's model.
    FrmReportModel& window() { return m_window; }

signals:
    /// The text or the caption changed.
    void changed();

private:
    /// The file the log was saved in last, as it was left.
    struct SavedFile {
        QString path;
        qint64 sizeBytes = 0;
        quint64 replacements = 0; ///< FrmReportModel::replacements() at the time
        RtfMark end;              ///< where the saved rich text stopped in the log
    };

    /// Adds what the log gained since the last save to that file: first the addition and a
    /// new closing brace after the old one, flushed to the disk, then the old closing brace
    /// is overwritten by a line end (one byte), flushed again. A crash before that byte leaves
    /// the previous content whole with an unfinished addition after it, which ReadFile()
    /// ignores. False when the file is not as it was left or writing failed.
    bool appendToFile(const QString& path);

    Prompter& m_prompter;
    FrmReportModel m_window;
    CharFormat m_format;
    QStringList m_files;
    std::optional<SavedFile> m_saved;
};

} // namespace verdan
