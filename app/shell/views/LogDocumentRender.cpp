#include "LogDocumentRender.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextOption>
#include <QUrl>

namespace verdan {

QFont reportFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(font).fixedPitch()) {
        const QFont dejaVu(QStringLiteral("DejaVu Sans Mono"), font.pointSize());
        if (QFontInfo(dejaVu).fixedPitch())
            font = dejaVu;
    }
    return font;
}

std::unique_ptr<QTextDocument> documentForPrinting(const QTextDocument& shown) {
    std::unique_ptr<QTextDocument> copy(shown.clone());
    QTextOption option = copy->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    copy->setDefaultTextOption(option);
    return copy;
}

void renderToTextDocument(const LogDocument& document, QTextDocument& target) {
    target.clear();
    target.setDefaultFont(reportFont());
    QTextCursor cursor(&target);
    int pictureNumber = 0;
    bool firstParagraph = true;
    for (const Paragraph& paragraph : document.paragraphs()) {
        if (!firstParagraph)
            cursor.insertBlock();
        firstParagraph = false;
        for (const ParagraphItem& item : paragraph.items) {
            if (const auto* run = std::get_if<TextRun>(&item)) {
                QTextCharFormat format;
                format.setFontWeight(run->format.bold ? QFont::Bold : QFont::Normal);
                format.setFontItalic(run->format.italic);
                format.setFontUnderline(run->format.underline);
                cursor.insertText(run->text, format);
                continue;
            }
            const Picture& picture = std::get<Picture>(item);
            const QUrl name(QStringLiteral("verdan-log-picture:%1").arg(++pictureNumber));
            target.addResource(QTextDocument::ImageResource, name,
                               QImage::fromData(picture.png, "PNG"));
            QTextImageFormat format;
            format.setName(name.toString());
            format.setWidth(picture.widthPx);
            format.setHeight(picture.heightPx);
            cursor.insertImage(format);
        }
    }
}

} // namespace verdan
