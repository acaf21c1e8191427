#pragma once

#include "LogDocument.h"

#include <QByteArray>

namespace verdan {

/// Where a rich text writing stopped in a document, so that what is appended to the document
/// afterwards can be written on without writing it all again.
struct RtfMark {
    qsizetype paragraphs = 0; ///< paragraphs begun; the last one may still grow
    qsizetype items = 0;      ///< items written of the last paragraph begun
    qsizetype runLength = 0;  ///< characters written of that paragraph's last item, if text
    CharFormat format;        ///< the attributes in force at the end
};

/// What a reader accepts after the document's group.
enum class RtfTail {
    Blanks, ///< blanks, line ends and NUL padding only
    Ignored ///< anything: an unfinished addition to a log file is not part of it
};

/// Writes `document` as rich text format: a fixed-pitch font, `\b`, `\i`, `\ul` for the
/// character attributes, `\par` between paragraphs, every character outside printable ASCII
/// as `\uN?`, and pictures as `{\pict\pngblip ...}` with their PNG bytes in hexadecimal and
/// their size in pixels (`\picw`, `\pich`) and twips (`\picwgoal`, `\pichgoal`, 15 twips a
/// pixel). readRtf() gives back a document equal to `document`.
QByteArray writeRtf(const LogDocument& document);
/// As writeRtf(); `end` tells where the writing stopped, for writeRtfContinuation().
QByteArray writeRtf(const LogDocument& document, RtfMark& end);
/// What was appended to `document` since `mark` (which comes from this document, which has
/// only grown since), in rich text without the document's opening and closing; `mark` moves to
/// the end. Put in place of the closing brace of the rich text written up to `mark` and
/// followed by it, it gives the rich text of the whole document. Takes time in proportion to
/// what was appended, not to the document's size.
QByteArray writeRtfContinuation(const LogDocument& document, RtfMark& mark);

/// Reads rich text format into `out`. Accepts any RTF: unknown control words are ignored,
/// unknown `\*` destinations, font, colour and style tables, document information, headers
/// and footers are skipped; `\'hh` is a Windows-1252 character, `\uN` a UTF-16 code unit
/// (with `\ucN` fallback characters skipped); `\par` and `\line` start a new paragraph,
/// `\tab` is a tab, `\plain` resets the attributes; PNG pictures (hexadecimal or `\binN`)
/// are kept, other pictures skipped. Returns false, leaving `out` unchanged, when `rtf` does
/// not start with `{\rtf`, ends inside a group, has more after its group than `tail` allows,
/// nests groups deeper than 512 levels or has a `\binN` longer than the rest of the input.
/// Runs in time linear in the size of `rtf`.
bool readRtf(const QByteArray& rtf, LogDocument& out, RtfTail tail = RtfTail::Blanks);

} // namespace verdan
