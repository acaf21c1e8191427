// A folder of elevation tiles mosaicked into one GDAL virtual raster held in memory.
#pragma once

#include <verdan/terrain/RasterSource.h>

#include <filesystem>
#include <string>

namespace verdan::terrain {

/// The virtual raster (VRT XML, opened by GDAL as a dataset name) of every raster in
/// `folder`, built once per listing of the folder when `cache` is given. The mosaic has the
/// finest resolution of its tiles and a nodata value, so that its uncovered parts read as
/// missing. Fails, naming the file or folder, when the folder cannot be listed, holds no
/// raster, or a raster cannot be opened, is not georeferenced or is in another coordinate
/// reference system than the first.
Status folderMosaic(const std::filesystem::path& folder, RasterMosaicCache* cache,
                    std::string& vrtXml);

} // namespace verdan::terrain
