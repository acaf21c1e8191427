#pragma once

#include "LogDocument.h"

#include <QByteArray>

namespace verdan {

/// Writes `document` as rich text format: a fixed-pitch font, `\b`, `\i`, `\ul` for the
/// character attributes, `\par` between paragraphs, every character outside printable ASCII
/// as `\uN?`, and pictures as `{\pict\pngblip ...}` with their PNG bytes in hexadecimal and
/// their size in pixels (`\picw`, `\pich`) and twips (`\picwgoal`, `\pichgoal`, 15 twips a
/// pixel). readRtf() gives back a document equal to `document`.
QByteArray writeRtf(const LogDocument& document);

/// Reads rich text format into `out`. Accepts any RTF: unknown control words are ignored,
/// unknown `\*` destinations, font, colour and style tables, document information, headers
/// and footers are skipped; `\'hh` is a Windows-1252 character, `\uN` a UTF-16 code unit
/// (with `\ucN` fallback characters skipped); `\par` and `\line` start a new paragraph,
/// `\tab` is a tab, `\plain` resets the attributes; PNG pictures (hexadecimal or `\binN`)
/// are kept, other pictures skipped. Returns false, leaving `out` unchanged, when `rtf` does
/// not start with `{\rtf`, ends inside a group, has anything but blanks after its group, nests
/// groups deeper than 512 levels or has a `\binN` longer than the rest of the input. Runs
/// in time linear in the size of `rtf`.
bool readRtf(const QByteArray& rtf, LogDocument& out);

} // namespace verdan
