#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace verdan {

// A Linux file name is a string of bytes, not always valid UTF-8 (files from older systems
// are often named in Latin-1). These functions carry such a name in a QString without losing
// a byte: valid UTF-8 becomes its text and every other byte B becomes the lone code unit
// U+DC00 + B, which no decoded text holds. Qt's own file classes would turn those units into
// U+FFFD; the functions below name the file by its bytes instead.

/// `bytes` (a command-line argument, a name the system returned) as a QString that keeps
/// every byte; fileNameBytes() gives `bytes` back.
QString fileNameFromBytes(QByteArrayView bytes);

/// The bytes the file system gets for `name`: its UTF-8, with every kept byte of
/// fileNameFromBytes() back as that byte. For ordinary text the same as QFile::encodeName().
QByteArray fileNameBytes(const QString& name);

/// `text` for a message: every kept byte shown as "\xNN" (two hex digits).
QString readableFileName(const QString& text);

/// Opens the file `name` (by its bytes) for reading into `file`, which then owns the
/// descriptor. A folder is refused. On failure returns false with the reason in `error`.
bool openFileForReading(QFile& file, const QString& name, QString& error);

} // namespace verdan
