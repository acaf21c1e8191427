#pragma once

#include "LogDocument.h"

#include <QByteArray>
#include <ostream>

namespace verdan {

/// Lets GoogleTest show a LogDocument in failure messages: one line per paragraph, runs as
/// [b i u|text] with the attributes that are on, pictures as <png N bytes WxH>.
inline void PrintTo(const LogDocument& document, std::ostream* os) {
    for (const Paragraph& paragraph : document.paragraphs()) {
        *os << "\n  ";
        for (const ParagraphItem& item : paragraph.items) {
            if (const auto* run = std::get_if<TextRun>(&item)) {
                *os << '[' << (run->format.bold ? "b" : "") << (run->format.italic ? "i" : "")
                    << (run->format.underline ? "u" : "") << '|' << run->text.toUtf8().toStdString()
                    << ']';
            } else {
                const Picture& picture = std::get<Picture>(item);
                *os << "<png " << picture.png.size() << " bytes " << picture.widthPx << 'x'
                    << picture.heightPx << '>';
            }
        }
    }
}

} // namespace verdan

namespace verdan::test {

/// A 2 x 2 pixel PNG (red and blue columns).
inline QByteArray tinyPng() {
    return QByteArray::fromHex(
        "89504e470d0a1a0a0000000d4948445200000002000000020802000000fdd49a73000000104944415478"
        "9c63f8cf0004ff192014001bf203fdd696f22b0000000049454e44ae426082");
}

} // namespace verdan::test
