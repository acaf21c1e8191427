// Pictures under the planning map, read through GDAL and warped into the display projection
// tile by tile: a GeoTIFF orthophoto or scanned chart, an MBTiles file, or a GDAL service
// description (XML) of an online tile service. Plain C++, no Qt.
//
// Every source is first made an 8-bit RGB picture (a palette expanded, a grey band repeated,
// other numbers stretched between their minimum and maximum), with an alpha band where it has
// one; GDAL's warper then resamples it bilinearly into each 256-pixel Web Mercator tile,
// reading the source's overviews when the tile is coarser than the source. Pixels outside the
// source are transparent.
#pragma once

#include <verdan/geodata/WebMercator.h>
#include <verdan/terrain/TerrainSource.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace verdan::geodata {

/// A tile's picture: TileSidePx x TileSidePx pixels, row 0 the northernmost, four bytes a
/// pixel (red, green, blue, alpha; not premultiplied).
struct TileImage {
    std::vector<std::uint8_t> rgba;
    /// True when no pixel is opaque (the tile lies outside the source).
    bool blank() const;
};

/// An opened raster. Thread safety: readTile() may be called from several threads; the
/// calls are served one at a time.
class RasterLayer {
public:
    /// Opens `path`. A service description reads its tiles over the network only when the
    /// map draws them; its own <Cache> element (or GDAL's default cache folder) keeps them on
    /// disk. Fails, naming the file, for a file that is not a raster GDAL reads or has no
    /// geographic reference.
    static terrain::Status open(const std::string& path, std::unique_ptr<RasterLayer>& out);
    ~RasterLayer();

    /// The source's extent in the display projection.
    const Extent& extent() const { return m_extent; }
    /// Projected metres per source pixel (the finest useful zoom follows from it).
    double metresPerSourcePixel() const { return m_metresPerPx; }

    /// Warps the source into `tile`. A tile outside the extent is blank without reading.
    terrain::Status readTile(const TileId& tile, TileImage& out);

private:
    struct Source;
    explicit RasterLayer(std::unique_ptr<Source> source);

    std::unique_ptr<Source> m_source;
    Extent m_extent;
    double m_metresPerPx = 0;
    std::mutex m_mutex;
};

} // namespace verdan::geodata
