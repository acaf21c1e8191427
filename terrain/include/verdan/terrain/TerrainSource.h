// One interface for every source of terrain elevations: the GLOBE and Quarn databases
// (through the Dorvex library) and elevation rasters read through GDAL. Plain C++, no Qt.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace verdan::terrain {

/// A position on the WGS 84 ellipsoid in decimal degrees: latitude positive north
/// (-90..90), longitude positive east (-180..180).
struct GeoPoint {
    double latDeg = 0;
    double lonDeg = 0;
};

/// Elevations sampled at evenly spaced points along the geodesic between two end points.
struct Profile {
    /// Elevation of each point above mean sea level, metres; the first is the start point,
    /// the last the end point. Points without data hold the fill elevation.
    std::vector<double> elevationsM;
    /// Distance between neighbouring points along the path, metres.
    double spacingM = 0;
    /// How many points had no terrain data and were given the fill elevation.
    int filledPoints = 0;

    /// The profile in the propagation model's array layout: [0] number of intervals,
    /// [1] spacing in metres, then the elevations. Empty for fewer than two points.
    std::vector<double> modelArray() const;
};

/// The outcome of a terrain request: ok, or a one-line message for the user that names the
/// data (file, folder or database) at fault.
/// Elevations outside this range (and non-finite ones) are no terrain: a raster cell holding
/// one is read as no data. The lowest dry land lies above -500 m, the highest summit below
/// 9000 m.
inline constexpr double LowestElevationM = -500;
inline constexpr double HighestElevationM = 9000;

/// True for an elevation that can be terrain.
inline bool isTerrainElevation(double elevationM) {
    return elevationM >= LowestElevationM && elevationM <= HighestElevationM; // false for NaN
}

struct Status {
    bool ok = true;
    std::string message;
    /// The source's own error number where it has one (GLOBE and Quarn: the terrain
    /// library's error number, so callers can tell a missing index from a bad tile); 0 else.
    int code = 0;

    static Status success() { return {}; }
    static Status failure(std::string text, int code = 0) {
        return {false, std::move(text), code};
    }
};

/// A source of terrain elevations.
///
/// Thread safety: profile() and elevationAt() may be called from several threads at once
/// on the same object; a source whose underlying library keeps global state serialises its
/// calls internally.
class TerrainSource {
public:
    virtual ~TerrainSource() = default;

    /// The source as named in reports and captions, e.g. "Globe", "Quarn",
    /// "Raster (srtm-tiles)".
    virtual std::string displayName() const = 0;

    /// The number of points this source samples on the path between `from` and `to`:
    /// 800 for GLOBE and Quarn; for a raster, one point per raster cell along the path,
    /// from 3 to 50,000.
    virtual int pointCountFor(GeoPoint from, GeoPoint to) const = 0;

    /// Samples `pointCount` (at least 2) evenly spaced points on the geodesic from `from`
    /// to `to` into `out`. A path with no terrain data at all is a failure; a partly
    /// covered path succeeds with out.filledPoints > 0 (when filling is allowed).
    virtual Status profile(GeoPoint from, GeoPoint to, int pointCount, Profile& out) const = 0;

    /// The elevation at one point, metres, into `elevationM`. A point without data is a
    /// failure with a message.
    virtual Status elevationAt(GeoPoint at, double& elevationM) const = 0;
};

} // namespace verdan::terrain
