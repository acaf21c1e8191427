// The files of a coverage map: a georeferenced GeoTIFF, a PNG in a colour scale and a KML
// ground overlay, and the best-server merge of several maps. Plain C++ over GDAL, no Qt.
#pragma once

#include <verdan/coverage/Coverage.h>

#include <cstdint>
#include <string>
#include <vector>

namespace verdan::coverage {

/// Success, or a one-line message naming the file at fault.
using Status = terrain::Status;

/// A colour with opacity, 0..255 each.
struct Rgba {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;
};

/// One band of a colour scale: losses up to `upToLossDb` (and above the previous band's
/// bound) take `colour`.
struct ColourStep {
    double upToLossDb = 0;
    Rgba colour;
};

/// The colours of a loss map: bands of loss thresholds, transparent above the last one and
/// outside the radius; cells with a model warning at or above `warningLevel` in
/// `warningColour`, so that doubtful results are not drawn as if they were sound.
class ColourScale {
public:
    /// `steps` must ascend by upToLossDb; `warningLevel` 1..4 (5: never marked).
    ColourScale(std::vector<ColourStep> steps, Rgba warningColour, int warningLevel);

    /// 10 dB bands from up to 90 dB (red, strongest) to up to 180 dB (blue); warning level 3
    /// and above (results probably invalid) in grey.
    static ColourScale standard();

    /// The colour of a cell; transparent for NaN (outside the radius).
    Rgba colourFor(float lossDb, std::uint8_t warning) const;

    const std::vector<ColourStep>& steps() const { return m_steps; }
    Rgba warningColour() const { return m_warningColour; }
    int warningLevel() const { return m_warningLevel; }

private:
    std::vector<ColourStep> m_steps;
    Rgba m_warningColour;
    int m_warningLevel;
};

/// The loss grid in `scale` as RGBA pixels, row-major from the north-west corner, four bytes
/// per cell (red, green, blue, alpha).
std::vector<std::uint8_t> renderRgba(const CoverageGrid& grid, const ColourScale& scale);

/// Which files writeCoverageFiles() writes. A KML needs the PNG it overlays, so `kml`
/// implies `png`.
struct OutputFormats {
    bool geoTiff = true;
    bool png = true;
    bool kml = true;
};

/// Writes PREFIX.tif, PREFIX.png and PREFIX.kml (as `formats` asks) for `grid`:
/// - the GeoTIFF holds Float32 bands on WGS 84 (EPSG:4326) with NaN as nodata outside the
///   radius: 1 basic transmission loss (dB), 2 the model's warning (0..4), and with ERP
///   3 received power (dBm) and 4 field strength (dBµV/m);
/// - the PNG the loss in `scale`, one pixel per cell;
/// - the KML a ground overlay of the PNG (referred to by its file name) with the scale in
///   its description; `title` names the overlay.
/// Every file is written under a temporary name and renamed only when all are complete;
/// on failure none of them is left behind and existing files of those names are unchanged.
Status writeCoverageFiles(const CoverageGrid& grid, const std::string& prefix,
                          OutputFormats formats, const ColourScale& scale,
                          const std::string& title);

/// Merges coverage GeoTIFFs (as writeCoverageFiles() writes them, of one resolution) into
/// one map `outPath` covering all of them: band 1 the lowest loss of any input in each cell
/// (the best server), band 2 the 1-based number of the input that gave it (the first on a
/// tie), NaN where no input has a value. Written under a temporary name and renamed.
Status mergeBestServer(const std::vector<std::string>& inputPaths, const std::string& outPath);

} // namespace verdan::coverage
