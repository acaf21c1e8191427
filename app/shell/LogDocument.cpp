#include "LogDocument.h"

namespace verdan {

LogDocument::LogDocument() : m_paragraphs(1) {}

void LogDocument::appendText(const QString& text, const CharFormat& format) {
    qsizetype start = 0;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text.at(i);
        if (c != u'\n' && c != u'\r')
            continue;
        appendRun(text.mid(start, i - start), format);
        appendParagraphBreak();
        if (c == u'\r' && i + 1 < length && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    appendRun(text.mid(start), format);
}

void LogDocument::appendRun(const QString& text, const CharFormat& format) {
    if (text.isEmpty())
        return;
    QList<ParagraphItem>& items = m_paragraphs.last().items;
    if (!items.isEmpty()) {
        if (auto* last = std::get_if<TextRun>(&items.last()); last && last->format == format) {
            last->text += text;
            return;
        }
    }
    items.append(TextRun{text, format});
}

void LogDocument::appendParagraphBreak() {
    m_paragraphs.append(Paragraph{});
}

void LogDocument::appendPicture(const QByteArray& png, int widthPx, int heightPx) {
    if (png.isEmpty())
        return;
    m_paragraphs.last().items.append(
        Picture{png, widthPx < 0 ? 0 : widthPx, heightPx < 0 ? 0 : heightPx});
}

void LogDocument::clear() {
    m_paragraphs = QList<Paragraph>(1);
}

bool LogDocument::isEmpty() const {
    return m_paragraphs.size() == 1 && m_paragraphs.first().items.isEmpty();
}

QString LogDocument::plainText() const {
    QString result;
    for (qsizetype p = 0; p < m_paragraphs.size(); ++p) {
        if (p > 0)
            result += u'\n';
        for (const ParagraphItem& item : m_paragraphs.at(p).items) {
            if (const auto* run = std::get_if<TextRun>(&item))
                result += run->text;
        }
    }
    return result;
}

int LogDocument::pictureCount() const {
    int count = 0;
    for (const Paragraph& paragraph : m_paragraphs) {
        for (const ParagraphItem& item : paragraph.items)
            count += std::holds_alternative<Picture>(item) ? 1 : 0;
    }
    return count;
}

} // namespace verdan
