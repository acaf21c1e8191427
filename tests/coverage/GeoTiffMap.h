// Reading the coverage GeoTIFFs, for the tests of the writers and of verdan-cli coverage.
#pragma once

#include <gdal.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace verdan::test {

// The first two bands of a coverage GeoTIFF, its north-west corner and its cell size.
struct Map {
    int width = 0;
    int height = 0;
    double westDeg = 0;
    double northDeg = 0;
    double cellDeg = 0;
    std::vector<float> band1;
    std::vector<float> band2;
};

inline Map readMap(const std::string& path) {
    Map map;
    GDALAllRegister();
    GDALDatasetH dataset = GDALOpen(path.c_str(), GA_ReadOnly);
    EXPECT_NE(dataset, nullptr) << path;
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
