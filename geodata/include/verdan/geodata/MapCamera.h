// What part of the display projection a map shows on a screen of pixels, and which tiles
// draw it. Plain C++, no Qt.
//
// The camera holds the projected point at the centre of the screen and the projected
// metres one screen pixel spans. Screen pixels count from the top-left corner, x to the
// right (east) and y down (south). Tiles are drawn from the zoom whose pixels are the
// screen's or finer, scaled down by at most a half.
#pragma once

#include <verdan/geodata/WebMercator.h>

#include <vector>

namespace verdan::geodata {

/// A position on the screen, pixels from its top-left corner.
struct ScreenPoint {
    double xPx = 0;
    double yPx = 0;
};

class MapCamera {
public:
    /// The finest and coarsest screen pixels the camera allows, projected metres.
    static constexpr double FinestMetresPerPx = 0.25;
    static constexpr double CoarsestMetresPerPx = 2 * HalfWorldM / TileSidePx;

    MapCamera() = default;
    MapCamera(MercatorPoint centre, double metresPerPx);
    /// The camera that shows all of `extent` on a screen of `widthPx` x `heightPx`.
    static MapCamera fitting(const Extent& extent, double widthPx, double heightPx);

    const MercatorPoint& centre() const { return m_centre; }
    double metresPerPx() const { return m_metresPerPx; }

    ScreenPoint toScreen(const MercatorPoint& point, double widthPx, double heightPx) const;
    MercatorPoint toMercator(const ScreenPoint& pixel, double widthPx, double heightPx) const;
    /// The part of the projection a screen of that size shows.
    Extent visible(double widthPx, double heightPx) const;

    /// Moves the map with the pointer: the point under the pointer goes `dxPx`, `dyPx`.
    void pan(double dxPx, double dyPx);
    /// Zooms in by `factor` (out below 1) keeping the point under `pixel` where it is;
    /// held within FinestMetresPerPx..CoarsestMetresPerPx.
    void zoom(double factor, const ScreenPoint& pixel, double widthPx, double heightPx);

    /// The zoom of the tiles that draw the screen.
    int tileZoom() const { return zoomFor(m_metresPerPx); }
    /// The tiles that draw a screen of that size.
    std::vector<TileId> tiles(double widthPx, double heightPx) const;

private:
    MercatorPoint m_centre;
    double m_metresPerPx = CoarsestMetresPerPx;
};

} // namespace verdan::geodata
