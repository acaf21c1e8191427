// The files of a coverage map: a georeferenced GeoTIFF, a PNG in a colour scale and a KML
// ground overlay, and the best-server merge of several maps. Plain C++ over GDAL, no Qt.
#pragma once

#include <verdan/coverage/Coverage.h>
#include <verdan/coverage/MapStyle.h>
#include <verdan/files/OutputFiles.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace verdan::coverage {

/// Success, or a one-line message naming the file at fault.
using Status = terrain::Status;

/// The colour of a hatch line over a cell of colour `under`: the cell's colour lightened
/// halfway to white, fully opaque.
Rgba hatchColour(Rgba under);

/// True on the pixels of the hatch lines: a diagonal every fourth pixel.
inline bool onHatchLine(int x, int y) {
    return (x + y) % 4 == 0;
}

/// The grid's values of the scale's quantity as RGBA pixels, row-major from the north-west
/// corner, four bytes per cell (red, green, blue, alpha), hatched where the scale says.
std::vector<std::uint8_t> renderRgba(const CoverageGrid& grid, const ColourScale& scale);

/// Which files writeCoverageFiles() writes. A KML needs the PNG it overlays and its legend
/// picture, so `kml` implies `png` and adds PREFIX-legend.png.
struct OutputFormats {
    bool geoTiff = true;
    bool png = true;
    bool kml = true;
    /// Added to the prefix of the PNG's name: "-overlay" gives PREFIX-overlay.png, so that a
    /// KML's picture does not take the name of a picture saved as PREFIX.png.
    std::string pngSuffix;
    bool contour = true; ///< PREFIX-contour.geojson, for a grid with a margin band
};

/// The status code of a write stopped through its cancel flag.
inline constexpr int WriteCancelled = 1;

/// The empty string when `prefix` can name coverage files, else why not: it is empty, ends
/// with '/', its last component is empty, "." or "..", or it names an existing folder (the
/// files would be hidden files inside it).
std::string checkOutputPrefix(const std::string& prefix);

/// Adds PREFIX.tif, PREFIX.png (PREFIX + pngSuffix + .png) and PREFIX.kml (as `formats`
/// asks) for `grid` to `set`, to be published with whatever else the caller adds; `grid`,
/// `scale` and `cancel` must outlive the set's publishing:
/// - the GeoTIFF holds Float32 bands on WGS 84 (EPSG:4326) with NaN as nodata outside the
///   radius: 1 basic transmission loss (dB), 2 the model's warning (0..4; CellWithoutResult
///   where a cell within the radius has no result), with a link budget 3 received power
///   (dBm) and 4 field strength (dBµV/m), and with a threshold 5 margin (dB); each band with
///   its description and unit; its VERDAN_MAP metadata item says "coverage";
/// - the PNG the scale's quantity in `scale`, one pixel per cell;
/// - the KML a ground overlay of the PNG (referred to by its file name) with the scale's
///   quantity, its bands and the model's warnings in its description; `title` names the
///   overlay; a screen overlay of PREFIX-legend.png, the legend as a picture (quantity and
///   unit, a swatch per band, the hatch of warned cells); with a margin band also a folder of
///   the covered area's outlines;
/// - with a margin band, PREFIX-contour.geojson: the covered area (cells whose margin is
///   0 dB or more) as polygons traced by GDAL/OGR (a failure to trace them fails the set).
/// `prefix` must pass checkOutputPrefix().
void addCoverageFiles(files::OutputSet& set, const CoverageGrid& grid, const std::string& prefix,
                      OutputFormats formats, const ColourScale& scale, const std::string& title,
                      const std::atomic<bool>* cancel = nullptr);

/// The outcome of publishing a set as a Status: code WriteCancelled when cancelled.
Status statusOf(const files::PublishResult& result);

/// Writes the files of addCoverageFiles() as one set: every file under a unique temporary
/// name beside its target, all renamed only when all are complete; on failure or once
/// `cancel` is set none of them is written, no temporary is left and existing files of those
/// names are unchanged.
Status writeCoverageFiles(const CoverageGrid& grid, const std::string& prefix,
                          OutputFormats formats, const ColourScale& scale, const std::string& title,
                          const std::atomic<bool>* cancel = nullptr);

/// Merges coverage GeoTIFFs (as writeCoverageFiles() writes them, of one resolution, on
/// WGS 84) into one map `outPath` covering all of them: band 1 the lowest loss of any input
/// in each cell (the best server), band 2 the 1-based number of the input that gave it (the
/// first on a tie), NaN where no input has a value. Refuses an input that is not a regular
/// file or not such a map, naming it, and a merged map of more than MaxCells cells. Written
/// as writeCoverageFiles() writes.
Status mergeBestServer(const std::vector<std::string>& inputPaths, const std::string& outPath,
                       const std::atomic<bool>* cancel = nullptr);

} // namespace verdan::coverage
