#pragma once

#include "ReportSink.h"

#include <ostream>

namespace verdan::cli {

/// A ReportSink that prints the report as plain text, exactly the lines the report log
/// receives: a "\r\n" inside a text ends a line as in the log, and every line end is
/// written as LF. Text is UTF-8. Pictures have no place in plain text and are left out.
class StdoutSink : public ReportSink {
public:
    explicit StdoutSink(std::ostream& out) : m_out(out) {}

    void Add(const QString& s) override;
    void AddLine(const QString& s) override;
    void insertPicture(const QByteArray& png, int widthPx, int heightPx) override;

private:
    std::ostream& m_out;
};

} // namespace verdan::cli
