// The map as shown, saved as a GeoTIFF: a picture in the display projection that other
// programs place where it belongs. Plain C++, no Qt.
#pragma once

#include <verdan/geodata/WebMercator.h>
#include <verdan/terrain/TerrainSource.h>

#include <cstdint>
#include <string>
#include <vector>

namespace verdan::geodata {

/// Writes `rgba` (`widthPx` x `heightPx` pixels, row 0 the northernmost, red, green, blue and
/// alpha a byte each) covering `extent` as a four-band GeoTIFF in EPSG:3857 at `path`, whole
/// or not at all; the file there before is kept on failure.
terrain::Status writeViewGeoTiff(const std::string& path, const std::vector<std::uint8_t>& rgba,
                                 int widthPx, int heightPx, const Extent& extent);

} // namespace verdan::geodata
