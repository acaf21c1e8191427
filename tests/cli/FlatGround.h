// Coverage maps and point-to-point runs over the same flat ground, for the tests that compare
// the two routes of verdan-cli.
#pragma once

#include "CoverageCommand.h"
#include "SyntheticTerrain.h"
#include "TestFiles.h"

#include <QDir>
#include <QString>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

namespace verdan::test {

inline constexpr double CellDeg = 3.0 / 3600;
/// One cell of latitude on the grid's sphere, metres.
inline const double CellM = coverage::detail::EarthRadiusM * CellDeg * std::numbers::pi / 180;
inline constexpr double GroundM = 120;

inline QString number(double value) {
    return QString::number(value, 'g', 17);
}

/// A profile file "flat.pfl" in `folder`, `distM` long over the ground at the grid's spacing.
inline QString flatProfile(const QString& folder, double distM) {
    const int intervals = std::max(1, static_cast<int>(std::ceil(distM / CellM)));
    QString text = QString::number(intervals) + u' ' + number(distM / intervals);
    for (int i = 0; i <= intervals; ++i)
        text += u' ' + number(GroundM);
    const QString path = QDir(folder).filePath(QStringLiteral("flat.pfl"));
    EXPECT_TRUE(writeContent(path, text.toUtf8()));
    return path;
}

/// Runs `request` over the flat ground; what it printed.
inline std::string runFlatCoverage(const cli::CoverageRequest& request) {
    const SyntheticTerrain flat([](terrain::GeoPoint) { return GroundM; }, CellM);
    std::ostringstream out, err;
    cli::CliPrompter prompter(err);
    cli::CliContext context{out, err, prompter, {}};
    EXPECT_EQ(cli::runCoverageRequest(request, flat, context), cli::ExitOk) << err.str();
    return out.str();
}

} // namespace verdan::test
