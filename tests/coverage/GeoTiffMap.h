// Reading the coverage GeoTIFFs, for the tests of the writers and of verdan-cli coverage.
#pragma once

#include <gdal.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace verdan::test {

// The bands of a coverage GeoTIFF, its north-west corner and its cell size.
struct Map {
    int width = 0;
    int height = 0;
    double westDeg = 0;
    double northDeg = 0;
    double cellDeg = 0;
    std::vector<float> band1;
    std::vector<float> band2;
    std::vector<std::vector<float>> bands; ///< every band, band 1 first
    std::vector<std::string> descriptions; ///< of every band
    std::vector<std::string> units;        ///< of every band
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
    map.width = GDALGetRasterXSize(dataset);
    map.height = GDALGetRasterYSize(dataset);
    map.westDeg = t[0];
    map.northDeg = t[3];
    map.cellDeg = t[1];
    for (int b = 1; b <= GDALGetRasterCount(dataset); ++b) {
        GDALRasterBandH handle = GDALGetRasterBand(dataset, b);
        std::vector<float>& band = map.bands.emplace_back();
        band.resize(static_cast<std::size_t>(map.width) * map.height);
        EXPECT_EQ(GDALRasterIO(handle, GF_Read, 0, 0, map.width, map.height, band.data(), map.width,
                               map.height, GDT_Float32, 0, 0),
                  CE_None);
        map.descriptions.emplace_back(GDALGetDescription(handle));
        map.units.emplace_back(GDALGetRasterUnitType(handle));
    }
    GDALClose(dataset);
    if (!map.bands.empty())
        map.band1 = map.bands[0];
    if (map.bands.size() > 1)
        map.band2 = map.bands[1];
    return map;
}

} // namespace verdan::test
