// Elevation rasters read through GDAL as a terrain source: one file (SRTM .hgt, GeoTIFF,
// DTED, VRT, ...) or a folder of tiles mosaicked into one virtual raster.
#pragma once

#include <verdan/terrain/TerrainSource.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace verdan::terrain {

/// Smallest and largest number of points of a raster profile.
inline constexpr int RasterMinPoints = 3;
inline constexpr int RasterMaxPoints = 50000;

/// What a raster source does with points that have no data (on the raster's nodata value,
/// or outside every raster).
struct RasterOptions {
    /// true: such points get fillM and are counted in Profile::filledPoints (a path with
    /// no data at all still fails); false: any such point fails the profile.
    bool fillMissing = true;
    /// Elevation given to points without data, metres.
    double fillM = 0;
};

/// The folder mosaics built so far, by folder, each kept while the folder's listing
/// (names, sizes, modification times) stays the same. Shared by the sources opened
/// through it; safe to use from several threads.
class RasterMosaicCache {
public:
    /// The virtual raster description cached for `folder` under `listing`, or empty.
    std::string find(const std::string& folder, const std::string& listing) const;
    /// Keeps `vrtXml` as the mosaic of `folder` with `listing`.
    void store(const std::string& folder, const std::string& listing, std::string vrtXml);

private:
    mutable std::mutex m_lock;
    std::map<std::string, std::pair<std::string, std::string>> m_mosaics;
};

/// The name reports give the raster source of `path`: "Raster (<file or folder name>)".
std::string rasterDisplayName(const std::string& path);

/// Opens the elevation raster at `path`: a file GDAL can read, or a folder whose rasters
/// (every file GDAL recognises in it, not its subfolders) are mosaicked in memory; the tiles
/// of a folder share one coordinate reference system. Rasters in geographic WGS 84 are read
/// directly, others through a transformation from WGS 84; elevations in feet become metres.
/// `cache` (optional) keeps folder mosaics between openings.
///
/// Returns nullptr and a one-line failure naming the file or folder when the path does not
/// exist, is not a file or folder, holds no raster GDAL can read, or a raster is corrupt or
/// not georeferenced. The source samples with bilinear interpolation between the four
/// nearest cells, reading through GDAL's block cache; each thread reads through its own
/// dataset handle, so profiles may be sampled on every core at once.
std::unique_ptr<TerrainSource> openRaster(const std::string& path, const RasterOptions& options,
                                          Status& status, RasterMosaicCache* cache = nullptr);

} // namespace verdan::terrain
