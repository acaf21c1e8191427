#pragma once

#include "LogDocument.h"

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
