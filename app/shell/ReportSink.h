#pragma once

#include <QByteArray>
#include <QString>

namespace verdan {

/// Where a calculation writes its report: the report log in the program, standard output in
/// verdan-cli, a list of lines in tests.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    /// Appends `s` at the end of the current line.
    virtual void Add(const QString& s) = 0;
    /// Appends `s` and ends the line.
    virtual void AddLine(const QString& s) = 0;
    /// Appends a picture (PNG bytes) at the end.
    virtual void insertPicture(const QByteArray& png, int widthPx, int heightPx) = 0;
};

} // namespace verdan
