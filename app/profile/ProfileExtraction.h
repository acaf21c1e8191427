#pragma once

#include "TerrainLibrary.h"

#include <verdan/terrain/RasterSource.h>

#include <QString>
#include <cstdint>
#include <vector>

namespace verdan {

/// The two end points of a path in decimal degrees, latitudes positive north (-90..90),
/// longitudes positive east (-180..180).
struct PathEnds {
    double txLatDeg = 0;
    double txLonDeg = 0;
    double rxLatDeg = 0;
    double rxLonDeg = 0;
};

/// Number of points asked of the terrain library: exactly this many for GLOBE, at most this
/// many for Quarn. A raster profile has one point per raster cell along the path.
inline constexpr int32_t ExtractionPointCount = terrain::DorvexPointCount;
/// End points closer than this (m) count as identical: no profile can be sampled between them.
inline constexpr double IdenticalEndsM = 1.0;

/// What one extraction gave.
struct ExtractionResult {
    /// The library or its routine could not be bound (the user has been told); nothing else
    /// is set.
    bool libraryMissing = false;
    int32_t status = -1;     ///< 0 success, -1 failure
    int32_t errorNumber = 0; ///< the terrain library's error number (GLOBE 1 = complete)
    int32_t pointsReturned = 0;
    /// Quarn and raster: points without terrain data; their elevation is 0 m.
    int filledPoints = 0;
    /// The profile in the model's layout (intervals, spacing m, elevations m), empty when no
    /// point came back or the extraction failed.
    std::vector<double> pfl;
    /// Raster: the failure message, naming the raster.
    QString message;
    /// The source as reports name it ("Raster (srtm)").
    QString sourceName;

    /// The library ran and reported success.
    bool succeeded() const { return !libraryMissing && status == 0; }
};

/// True when the end points lie closer than IdenticalEndsM.
bool identicalEnds(const PathEnds& ends);

/// The Quarn error number "Missing topographic elevation data".
inline constexpr int32_t QuarnMissingElevations = 10;

/// Extracts a profile from the Quarn database: the data path is left blank so the library
/// finds its database itself, `drive` (1 = C .. 24 = Z) names the drive of the database
/// index. Points without data are counted in filledPoints and get 0 m. Success is judged by
/// the status, not by the error number of the last point; a profile in which no point had
/// data fails with QuarnMissingElevations.
ExtractionResult extractQuarnProfile(TerrainLibrary& library, const PathEnds& ends, int32_t drive);

/// Extracts an ExtractionPointCount-point profile from the GLOBE database in `globePath`
/// (a folder ending with a separator; drive letters are mapped by the library) and closes
/// the GLOBE tile afterwards. A folder longer than the library's path width is not handed
/// over: the result is that of a folder without "globe.dat" (error number -1000).
ExtractionResult extractGlobeProfile(TerrainLibrary& library, const PathEnds& ends,
                                     const QString& globePath);

/// The program's texts of the topographic database's error numbers 0..15; empty for any
/// other number.
QString QuarnErrorText(int number);

/// The message for a failed GLOBE extraction with `errorNumber`: "Error reading tile " or
/// "Error opening tile " followed by the folder, the tile letter and "10g", or
/// "Error in opening file globe.dat".
QString globeErrorText(int32_t errorNumber, const QString& globePath);

/// Extracts a profile from the elevation raster (file or folder of tiles) at `rasterPath`,
/// one point per raster cell along the WGS 84 geodesic (3 to 50,000 points). Points without
/// data get 0 m and are counted; a failure (unreadable raster, no data on the whole path)
/// has status -1 and a message naming the raster. `cache` keeps folder mosaics between
/// extractions.
ExtractionResult extractRasterProfile(const QString& rasterPath, const PathEnds& ends,
                                      terrain::RasterMosaicCache* cache);

/// One line telling how many of `total` points had no terrain data and were set to 0 m.
QString filledPointsText(int filled, int total);

} // namespace verdan
