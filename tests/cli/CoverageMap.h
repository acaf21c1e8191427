// Reading the GeoTIFFs verdan-cli coverage writes, for the tests.
#pragma once

#include <QString>
#include <gdal.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace verdan::test {

// Band 1 and the corner of a coverage GeoTIFF.
struct Map {
    int width = 0;
    int height = 0;
    double westDeg = 0;
    double northDeg = 0;
    double cellDeg = 0;
    std::vector<float> band1;
    std::vector<float> band2;
};

inline Map readMap(const QString& path) {
    Map map;
    GDALAllRegister();
    GDALDatasetH dataset = GDALOpen(path.toUtf8().constData(), GA_ReadOnly);
    EXPECT_NE(dataset, nullptr) << path.toStdString();
    if (dataset == nullptr)
        return map;
    double t[6];
    GDALGetGeoTransform(dataset, t);
    map = {GDALGetRasterXSize(dataset), GDALGetRasterYSize(dataset), t[0], t[3], t[1], {}, {}};
    for (int b = 1; b <= std::min(2, GDALGetRasterCount(dataset)); ++b) {
        std::vector<float>& band = b == 1 ? map.band1 : map.band2;
        band.resize(static_cast<std::size_t>(map.width) * map.height);
        EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(dataset, b), GF_Read, 0, 0, map.width, map.height,
                               band.data(), map.width, map.height, GDT_Float32, 0, 0),
                  CE_None);
    }
    GDALClose(dataset);
    return map;
}

} // namespace verdan::test
