// Writer of elevation rasters through GDAL (GeoTIFF, SRTM .hgt, any format GDAL can copy
// to), filled from a function of the cell centre: test data and the synthetic demo rasters.
#pragma once

#include <gdal.h>

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace verdan::terrain {

struct RasterLayout {
    int width = 0;  ///< cells
    int height = 0; ///< cells
    /// GDAL's affine transform: x = t[0] + col * t[1] + row * t[2], y = t[3] + col * t[4] +
    /// row * t[5], at cell corners, in the reference system's units.
    std::array<double, 6> geoTransform{};
    std::string crs = "EPSG:4326"; ///< anything GDAL's SetFromUserInput accepts; empty: none
    GDALDataType type = GDT_Float32;
    std::optional<double> nodata;
    std::string unit;              ///< elevation unit written to the band ("ft"), empty: none
    std::string driver = "GTiff";  ///< GDAL driver that writes the file
};

// Value of the cell whose centre lies at (x, y) in the raster's reference system; NaN gives
// the nodata value.
using CellValueFn = std::function<double(double x, double y)>;

// Writes `layout` to `path`; false with a message in *error when GDAL cannot.
bool writeRaster(const std::string& path, const RasterLayout& layout, const CellValueFn& value,
                 std::string* error);

// The layout of a 1-arc-second SRTM tile (3601 x 3601 cells, Int16, nodata -32768) whose
// south-west corner sample lies at (latDeg, lonDeg), and its file name ("N45E007.hgt").
RasterLayout srtmTileLayout(int latDeg, int lonDeg);
std::string srtmTileName(int latDeg, int lonDeg);

} // namespace verdan::terrain
