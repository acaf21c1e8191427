#pragma once

#include "ReportSink.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

namespace verdan::test {

/// A ReportSink for tests: it collects the report as lines, ending a line where the report
/// log does (at "\r\n" or "\n" inside a text, and at the end of AddLine()). `lines` holds the
/// finished lines; `current` the text after the last line end. Pictures are counted.
class RecordingSink : public ReportSink {
public:
    QStringList lines;
    QString current;
    int pictures = 0;

    void Add(const QString& s) override {
        QString text = s;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const QStringList parts = text.split(u'\n');
        current += parts.front();
        for (qsizetype i = 1; i < parts.size(); ++i) {
            lines << current;
            current = parts[i];
        }
    }
    void AddLine(const QString& s) override {
        Add(s);
        lines << current;
        current.clear();
    }
    void insertPicture(const QByteArray&, int, int) override { ++pictures; }
};

} // namespace verdan::test

#ifndef VERDAN_TEST_QSTRING_PRINTER
#define VERDAN_TEST_QSTRING_PRINTER
/// Shows texts as text in GoogleTest's failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
#endif
