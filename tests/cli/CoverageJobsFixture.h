// A small elevation raster written by GDAL and the options of a coverage map over it, for the
// tests that run verdan-cli coverage jobs.
#pragma once

#include "CliRun.h"
#include "GeoTiffMap.h"
#include "raster_builders.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace verdan::test {

class CoverageJobs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        dem = dir.filePath(QStringLiteral("it's hills.tif")); // quoted in the job lines
        terrain::RasterLayout layout;
        layout.width = layout.height = 360;
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
        QStringList options = words("--radius 4 --resolution 6 --freq 900 --h1 20");
        options << "--terrain" << "raster" << "--dem" << dem << "--formats" << "tif";
        for (qsizetype i = 0; i + 1 < changed.size(); i += 2)
            options[options.indexOf(changed[i]) + 1] = changed[i + 1];
        return options;
    }

    QTemporaryDir dir;
    QString dem;
};

/// The value of `band` of `map` at the cell (row, column) of `merged`; NaN outside `map`.
inline float valueAt(const Map& map, const Map& merged, int band, int row, int column) {
    const long c = std::lround((merged.westDeg - map.westDeg) / map.cellDeg) + column;
    const long r = std::lround((map.northDeg - merged.northDeg) / map.cellDeg) + row;
    if (c < 0 || r < 0 || c >= map.width || r >= map.height)
        return NAN;
    return map.bands[static_cast<std::size_t>(band)][static_cast<std::size_t>(r * map.width + c)];
}

/// Checks every cell of `merged`: its band 1 the best of band `band` of `singles` (the
/// lowest, or the highest when `highest`), its band 2 the number of the single that gave it,
/// both NaN where no single has a value. Returns the cells with a value.
inline int expectBestOfSingles(const std::vector<Map>& singles, const Map& merged, int band,
                               bool highest) {
    int checked = 0;
    for (int row = 0; row < merged.height; ++row)
        for (int col = 0; col < merged.width; ++col) {
            float best = NAN;
            float winner = NAN;
            for (std::size_t s = 0; s < singles.size(); ++s) {
                const float v = valueAt(singles[s], merged, band, row, col);
                if (!std::isnan(v) && !(highest ? v <= best : v >= best)) {
                    best = v;
                    winner = static_cast<float>(s + 1);
                }
            }
            const std::size_t at = static_cast<std::size_t>(row) * merged.width + col;
            EXPECT_EQ(std::isnan(merged.band1[at]), std::isnan(best)) << row << ',' << col;
            checked += std::isnan(best) ? 0 : 1;
            if (!std::isnan(best) && (merged.band1[at] != best || merged.band2[at] != winner)) {
                ADD_FAILURE() << "cell " << row << ',' << col << ": " << merged.band1[at]
                              << " from " << merged.band2[at] << ", not " << best << " from "
                              << winner;
                return checked;
            }
        }
    return checked;
}

/// The same grid and every band bit for bit, NaN included.
inline void expectSameBands(const Map& actual, const Map& expected, const char* what) {
    ASSERT_EQ(actual.width, expected.width) << what;
    ASSERT_EQ(actual.height, expected.height) << what;
    EXPECT_EQ(actual.westDeg, expected.westDeg) << what;
    EXPECT_EQ(actual.northDeg, expected.northDeg) << what;
    ASSERT_EQ(actual.bands.size(), expected.bands.size()) << what;
    for (std::size_t b = 0; b < actual.bands.size(); ++b)
        EXPECT_EQ(std::memcmp(actual.bands[b].data(), expected.bands[b].data(),
                              expected.bands[b].size() * sizeof(float)),
                  0)
            << what << " band " << b + 1;
}

} // namespace verdan::test
