#pragma once

#include "RLogClass.h"
#include "TestFiles.h"

#include <QString>

namespace verdan::test {

/// The report the report-log tests start from: the title, a heading line and an italic row.
inline void writeSampleReport(RLogClass& log) {
    log.Clear();
    log.AddLine(QStringLiteral("  Distance   Loss"));
    log.setItalic(true);
    log.AddLine(QStringLiteral("     10.0  120.5"));
    log.setItalic(false);
}

} // namespace verdan::test
