#pragma once

#include "FrmReportModel.h"
#include "LogDocument.h"
#include "Prompter.h"
#include "ReportSink.h"

#include <QObject>

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
    /// the insertion point to the end. Returns false, leaving the box unchanged, when the
    /// file does not exist, cannot be read or is not rich text. Shows nothing.
    bool ReadFile(const QString& path);
    /// Writes the box's whole content to `path` as rich text, replacing the file through a
    /// temporary file and a rename. Returns false on any error, leaving a previous file
    /// untouched. Shows nothing.
    bool SaveFile(const QString& path);

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
    Prompter& m_prompter;
    FrmReportModel m_window;
    CharFormat m_format;
};

} // namespace verdan
