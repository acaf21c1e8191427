#include <verdan/geodata/WebMercator.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace verdan::geodata {

namespace {

constexpr double DegPerRad = 180.0 / std::numbers::pi;

int tilesPerSide(int zoom) {
    return 1 << zoom;
}

} // namespace

MercatorPoint toMercator(const terrain::GeoPoint& at) {
    const double latRad = std::clamp(at.latDeg, -LimitLatDeg, LimitLatDeg) / DegPerRad;
    return {EarthRadiusM * at.lonDeg / DegPerRad,
            EarthRadiusM * std::log(std::tan(std::numbers::pi / 4 + latRad / 2))};
}

terrain::GeoPoint toGeo(const MercatorPoint& point) {
    const double latRad = 2 * std::atan(std::exp(point.yM / EarthRadiusM)) - std::numbers::pi / 2;
    return {latRad * DegPerRad, point.xM / EarthRadiusM * DegPerRad};
}

double metresPerPixel(int zoom) {
    return 2 * HalfWorldM / (TileSidePx * static_cast<double>(tilesPerSide(zoom)));
}

double scaleFactorAt(double latDeg) {
    return 1 / std::cos(std::clamp(latDeg, -LimitLatDeg, LimitLatDeg) / DegPerRad);
}

Extent tileExtent(const TileId& tile) {
    const double sideM = 2 * HalfWorldM / tilesPerSide(tile.zoom);
    const double west = -HalfWorldM + tile.x * sideM;
    const double north = HalfWorldM - tile.y * sideM;
    return {west, north - sideM, west + sideM, north};
}

std::vector<TileId> tilesCovering(const Extent& extent, int zoom) {
    const Extent world{-HalfWorldM, -HalfWorldM, HalfWorldM, HalfWorldM};
    std::vector<TileId> tiles;
    if (extent.empty() || !extent.intersects(world))
        return tiles;
    const int last = tilesPerSide(zoom) - 1;
    const double sideM = 2 * HalfWorldM / tilesPerSide(zoom);
    const auto index = [&](double fromEdgeM) {
        return std::clamp(static_cast<int>(std::floor(fromEdgeM / sideM)), 0, last);
    };
    // The far edges are exclusive: an extent ending on a tile's border does not take it.
    const int west = index(extent.minXM + HalfWorldM);
    const int east = index(std::nextafter(extent.maxXM + HalfWorldM, -HUGE_VAL));
    const int north = index(HalfWorldM - extent.maxYM);
    const int south = index(std::nextafter(HalfWorldM - extent.minYM, -HUGE_VAL));
    for (int y = north; y <= south; ++y)
        for (int x = west; x <= east; ++x)
            tiles.push_back({zoom, x, y});
    return tiles;
}

int zoomFor(double metresPerPx) {
    for (int zoom = 0; zoom < DeepestZoom; ++zoom)
        if (metresPerPixel(zoom) <= metresPerPx)
            return zoom;
    return DeepestZoom;
}

} // namespace verdan::geodata
