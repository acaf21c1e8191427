// GeoTIFF and PNG files through GDAL's C interface.
#pragma once

#include <verdan/coverage/CoverageOutput.h>

#include <string>
#include <vector>

namespace verdan::coverage::detail {

/// One Float32 band to write: `values` holds a value per cell of the grid.
struct FloatBand {
    const std::vector<float>* values;
    std::string description;
    std::string unit;
};

/// Writes `bands` as a Float32 GeoTIFF `path` on the grid's georeferencing (WGS 84), NaN as
/// nodata, deflate-compressed.
Status writeFloatGeoTiff(const std::string& path, const CoverageGrid& grid,
                         const std::vector<FloatBand>& bands);

/// Writes RGBA pixels (four bytes per pixel, row-major) as the PNG `path`.
Status writeRgbaPng(const std::string& path, const std::vector<std::uint8_t>& rgba, int width,
                    int height);

/// Reads the georeferencing of the raster `path` into `grid` (sizes, edges, cell size) and,
/// when `readValues`, its first band into grid.lossDb with nodata as NaN. Fails for a file
/// GDAL cannot read or one whose cells are not square, north-up degrees.
Status readLossRaster(const std::string& path, CoverageGrid& grid, bool readValues);

} // namespace verdan::coverage::detail
