#include "StdoutSink.h"

#include "FileNameBytes.h"

namespace verdan::cli {

void StdoutSink::Add(const QString& s) {
    // The report is read by people: a file name's bytes that are not text show as \xNN.
    QString text = readableFileName(s);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_out << text.toStdString();
}

void StdoutSink::AddLine(const QString& s) {
    Add(s);
    m_out << '\n';
}

void StdoutSink::insertPicture(const QByteArray&, int, int) {}

} // namespace verdan::cli
