#include <verdan/geodata/MapCamera.h>

#include <algorithm>

namespace verdan::geodata {

MapCamera::MapCamera(MercatorPoint centre, double metresPerPx)
    : m_centre(centre),
      m_metresPerPx(std::clamp(metresPerPx, FinestMetresPerPx, CoarsestMetresPerPx)) {}

MapCamera MapCamera::fitting(const Extent& extent, double widthPx, double heightPx) {
    const MercatorPoint centre{(extent.minXM + extent.maxXM) / 2,
                               (extent.minYM + extent.maxYM) / 2};
    const double metres = std::max((extent.maxXM - extent.minXM) / std::max(widthPx, 1.0),
                                   (extent.maxYM - extent.minYM) / std::max(heightPx, 1.0));
    return MapCamera(centre, metres);
}

ScreenPoint MapCamera::toScreen(const MercatorPoint& point, double widthPx,
                                double heightPx) const {
    return {widthPx / 2 + (point.xM - m_centre.xM) / m_metresPerPx,
            heightPx / 2 - (point.yM - m_centre.yM) / m_metresPerPx};
}

MercatorPoint MapCamera::toMercator(const ScreenPoint& pixel, double widthPx,
                                    double heightPx) const {
    return {m_centre.xM + (pixel.xPx - widthPx / 2) * m_metresPerPx,
            m_centre.yM - (pixel.yPx - heightPx / 2) * m_metresPerPx};
}

Extent MapCamera::visible(double widthPx, double heightPx) const {
    const MercatorPoint corner = toMercator({0, 0}, widthPx, heightPx);
    const MercatorPoint opposite = toMercator({widthPx, heightPx}, widthPx, heightPx);
    return {corner.xM, opposite.yM, opposite.xM, corner.yM};
}

void MapCamera::pan(double dxPx, double dyPx) {
    m_centre.xM -= dxPx * m_metresPerPx;
    m_centre.yM += dyPx * m_metresPerPx;
}

void MapCamera::zoom(double factor, const ScreenPoint& pixel, double widthPx, double heightPx) {
    if (!(factor > 0))
        return;
    const MercatorPoint fixed = toMercator(pixel, widthPx, heightPx);
    m_metresPerPx = std::clamp(m_metresPerPx / factor, FinestMetresPerPx, CoarsestMetresPerPx);
    m_centre.xM = fixed.xM - (pixel.xPx - widthPx / 2) * m_metresPerPx;
    m_centre.yM = fixed.yM + (pixel.yPx - heightPx / 2) * m_metresPerPx;
}

std::vector<TileId> MapCamera::tiles(double widthPx, double heightPx) const {
    return tilesCovering(visible(widthPx, heightPx), tileZoom());
}

} // namespace verdan::geodata
