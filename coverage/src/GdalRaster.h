// GeoTIFF and PNG files through GDAL's C interface.
#pragma once

#include <verdan/coverage/CoverageOutput.h>

#include <atomic>
#include <string>
#include <vector>

namespace verdan::coverage::detail {

/// One Float32 band to write: `values` holds a value per cell of the grid.
struct FloatBand {
    const std::vector<float>* values;
    std::string description;
    std::string unit;
};

/// The metadata item that marks a GeoTIFF as a coverage map written by Verdan, and its
/// values for a single map and a best-server merge.
inline constexpr const char* MapKindItem = "VERDAN_MAP";
inline constexpr const char* SingleMapKind = "coverage";
inline constexpr const char* MergedMapKind = "best-server";
inline constexpr const char* NetworkMapKind = "network";

/// Writes `bands` as a Float32 GeoTIFF `path` on the grid's georeferencing (WGS 84), NaN as
/// nodata, deflate-compressed, marked as a map of `kind`. Stops with a failure between
/// blocks of rows once `cancel` is set.
Status writeFloatGeoTiff(const std::string& path, const CoverageGrid& grid,
                         const std::vector<FloatBand>& bands, const char* kind,
                         const std::atomic<bool>* cancel);

/// RGBA pixels (four bytes per pixel, row-major) encoded as a PNG into `bytes`. Stops with a
/// failure once `cancel` is set.
Status encodeRgbaPng(const std::vector<std::uint8_t>& rgba, int width, int height,
                     std::string& bytes, const std::atomic<bool>* cancel);

/// A Status as the reason of an output set's filler: the empty string on success, else the
/// message without the temporary file's name `temporaryPath` that the writers above put
/// first (the set names the target itself).
std::string reasonOf(const Status& status, const std::string& temporaryPath = {});

/// Polygons of covered cells, each exported by OGR as a GeoJSON and a KML geometry.
struct CoveredPolygons {
    std::vector<std::string> geoJson; ///< {"type": "Polygon", ...}
    std::vector<std::string> kml;     ///< <Polygon>...</Polygon>
};

/// The cells of `grid` whose margin is 0 dB or more, as polygons on WGS 84 (GDAL's
/// polygonize: cells meeting at an edge join, each polygon with its holes). Fails with a
/// message when GDAL cannot.
Status polygonizeCovered(const CoverageGrid& grid, CoveredPolygons& polygons);

/// Reads the georeferencing of the coverage map `path` into `grid` (sizes, edges, cell size)
/// and, when `readValues`, its first band into grid.lossDb with nodata as NaN. Fails for a
/// file that is not a regular file, that GDAL cannot read, that is not a coverage map written
/// by Verdan (its kind item or its first band's description), that is not on WGS 84
/// (EPSG:4326) or whose cells are not square, north-up degrees.
Status readLossRaster(const std::string& path, CoverageGrid& grid, bool readValues);

/// Reads the layout of the coverage map `path` (checked as readLossRaster() checks it) and the
/// values of its band described as `description` (NaN for nodata). Fails, naming the file,
/// when it has no such band.
Status readMapBand(const std::string& path, const std::string& description, CoverageGrid& grid,
                   std::vector<float>& values);

/// The grid covering the coverage maps `paths` (all of one resolution and lined up), its value
/// arrays empty. Fails, naming the file, for a map that readLossRaster() refuses or that does
/// not line up with the first, and for a grid of more than MaxCells cells.
Status mosaicLayout(const std::vector<std::string>& paths, CoverageGrid& mosaic);
/// The same for maps in memory, `names` naming them in the messages.
Status mosaicLayout(const std::vector<const CoverageGrid*>& grids,
                    const std::vector<std::string>& names, CoverageGrid& mosaic);

/// The cell of `mosaic` that holds the north-west cell of `input`; false when `input` does
/// not lie within it.
bool placeInMosaic(const CoverageGrid& mosaic, const CoverageGrid& input, long long& column0,
                   long long& row0);

/// The value of the metadata item `item` of the raster `path`; empty when absent or unreadable.
std::string readMapItem(const std::string& path, const char* item);

} // namespace verdan::coverage::detail
