#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <variant>

namespace verdan {

/// Character attributes of a piece of report text.
struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;

    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

/// A piece of text in one character format. `text` never holds a line end.
struct TextRun {
    QString text;
    CharFormat format;

    friend bool operator==(const TextRun&, const TextRun&) = default;
};

/// A picture in the report: the PNG file's bytes and the size it is shown at, in pixels
/// (at 96 pixels per inch).
struct Picture {
    QByteArray png;
    int widthPx = 0;
    int heightPx = 0;

    friend bool operator==(const Picture&, const Picture&) = default;
};

/// One element of a paragraph: text or a picture.
using ParagraphItem = std::variant<TextRun, Picture>;

/// One line of the report: its text runs and pictures in order.
struct Paragraph {
    QList<ParagraphItem> items;

    friend bool operator==(const Paragraph&, const Paragraph&) = default;
};

/// The content of the report log: a list of paragraphs, each a list of text runs and
/// pictures. Text is always appended at the end of the last paragraph; a line end starts a
/// new paragraph. The document always has at least one paragraph (an empty document has one
/// empty paragraph), adjacent runs of the same format are merged and empty runs are dropped,
/// so two documents that show the same thing compare equal.
class LogDocument {
public:
    LogDocument();

    /// Appends `text` in `format` at the end. "\r\n", "\n" and "\r" each end the current
    /// paragraph and start a new one.
    void appendText(const QString& text, const CharFormat& format);
    /// Ends the current paragraph and starts a new, empty one.
    void appendParagraphBreak();
    /// Appends a picture at the end of the current paragraph. A picture with no PNG bytes is
    /// ignored; negative sizes are taken as 0.
    void appendPicture(const QByteArray& png, int widthPx, int heightPx);
    /// Empties the document (one empty paragraph).
    void clear();

    /// True when the document shows nothing: one paragraph without text or picture.
    bool isEmpty() const;
    /// The paragraphs, at least one.
    const QList<Paragraph>& paragraphs() const { return m_paragraphs; }
    /// The text without attributes: the paragraphs joined with "\n" (no line end after the
    /// last one). Pictures contribute nothing to the plain text.
    QString plainText() const;
    /// The number of pictures in the document.
    int pictureCount() const;

    friend bool operator==(const LogDocument&, const LogDocument&) = default;

private:
    void appendRun(const QString& text, const CharFormat& format);

    QList<Paragraph> m_paragraphs;
};

} // namespace verdan
