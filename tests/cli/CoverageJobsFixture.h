// A small elevation raster written by GDAL and the options of a coverage map over it, for the
// tests that run verdan-cli coverage jobs.
#pragma once

#include "raster_builders.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace verdan::test {

class CoverageJobs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        dem = dir.filePath(QStringLiteral("it's hills.tif")); // quoted in the job lines
        terrain::RasterLayout layout;
        layout.width = 360;
        layout.height = 360;
        layout.geoTransform = {7.0, 3.0 / 3600, 0, 45.3, 0, -3.0 / 3600};
        std::string error;
        ASSERT_TRUE(terrain::writeRaster(
            dem.toStdString(), layout,
            [](double x, double y) { return 400 + 150 * std::sin(x * 90) * std::cos(y * 70); },
            &error))
            << error;
    }

    /// The options of a small map over the raster; `changed` gives some of them other values.
    QStringList mapOptions(const QStringList& changed = {}) const {
        QStringList options{"--radius", "4",    "--resolution", "6",         "--freq",
                            "900",      "--h1", "20",           "--terrain", "raster",
                            "--dem",    dem,    "--formats",    "tif"};
        for (qsizetype i = 0; i + 1 < changed.size(); i += 2)
            options[options.indexOf(changed[i]) + 1] = changed[i + 1];
        return options;
    }

    QTemporaryDir dir;
    QString dem;
};

} // namespace verdan::test
