#include "StdoutSink.h"

namespace verdan::cli {

void StdoutSink::Add(const QString& s) {
    QString text = s;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_out << text.toStdString();
}

void StdoutSink::AddLine(const QString& s) {
    Add(s);
    m_out << '\n';
}

void StdoutSink::insertPicture(const QByteArray&, int, int) {}

} // namespace verdan::cli
