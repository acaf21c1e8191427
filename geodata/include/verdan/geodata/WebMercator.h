// The planning map's display projection: spherical ("Web") Mercator, EPSG:3857, the
// projection of online tile services, with their tiling scheme. Plain C++, no Qt, no GDAL.
//
// A point at latitude phi and longitude lambda (radians) lies at x = R lambda and
// y = R ln(tan(pi/4 + phi/2)) metres, R = 6378137 m (the WGS 84 semi-major axis used as a
// sphere radius). The square world from -pi R to pi R on both axes is cut at zoom z into
// 2^z x 2^z tiles of 256 x 256 pixels, tile (0, 0) at the north-west corner (the "XYZ"
// numbering of tile services), so it reaches latitudes of +/-85.0511 degrees.
#pragma once

#include <verdan/terrain/TerrainSource.h>

#include <vector>

namespace verdan::geodata {

/// Sphere radius of the projection, metres.
inline constexpr double EarthRadiusM = 6378137.0;
/// Half the width of the projected world, metres (pi R).
inline constexpr double HalfWorldM = 20037508.342789244;
/// The northernmost and southernmost latitude the square world reaches, degrees.
inline constexpr double LimitLatDeg = 85.05112877980659;
/// Pixels a side of one tile.
inline constexpr int TileSidePx = 256;
/// The deepest zoom level the map offers (about 0.3 m per pixel at the equator).
inline constexpr int DeepestZoom = 19;

/// A point of the projection, metres east and north of (0, 0).
struct MercatorPoint {
    double xM = 0;
    double yM = 0;
};

/// A rectangle of the projection, metres; empty when min is not below max.
struct Extent {
    double minXM = 0;
    double minYM = 0;
    double maxXM = 0;
    double maxYM = 0;
    bool empty() const { return !(minXM < maxXM && minYM < maxYM); }
    bool intersects(const Extent& other) const {
        return minXM < other.maxXM && other.minXM < maxXM && minYM < other.maxYM &&
               other.minYM < maxYM;
    }
};

/// A tile: zoom 0..DeepestZoom, column x from the west and row y from the north, each
/// 0..2^zoom - 1.
struct TileId {
    int zoom = 0;
    int x = 0;
    int y = 0;
    bool operator==(const TileId&) const = default;
};

/// The projected point of `at`; latitudes beyond LimitLatDeg are held at it.
MercatorPoint toMercator(const terrain::GeoPoint& at);
/// The geographic point of `point` (the inverse of toMercator()).
terrain::GeoPoint toGeo(const MercatorPoint& point);

/// Metres of the projection per pixel at `zoom` (156543.03 m at zoom 0).
double metresPerPixel(int zoom);
/// The projection's scale at latitude `latDeg`: ground metres are this many times fewer
/// than projected metres (1 / cos latitude on the sphere).
double scaleFactorAt(double latDeg);

/// The extent of `tile`.
Extent tileExtent(const TileId& tile);
/// The tiles of `zoom` that `extent` touches, row by row from the north-west; the extent is
/// clipped to the world first.
std::vector<TileId> tilesCovering(const Extent& extent, int zoom);
/// The coarsest zoom whose pixels are no larger than `metresPerPx`, within 0..DeepestZoom.
int zoomFor(double metresPerPx);

} // namespace verdan::geodata
