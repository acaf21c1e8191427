#include "CoverageMapPainter.h"

#include "NumberFormat.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

namespace verdan {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double MetresPerDegLat = 111195.0;
// Sun from the north-west, 45 degrees above the horizon.
constexpr double SunZenithRad = Pi / 4;
constexpr double SunAzimuthRad = 135.0 * Pi / 180.0;
const QColor NoDataColour(200, 225, 240);

/// The hatch over cells with a model warning: light diagonal lines, 6 pixels apart.
QBrush hatchBrush() {
    return {QColor(255, 255, 255, 190), Qt::BDiagPattern};
}

QColor toColor(const Rgb& rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

/// Elevation at (r, c) with the edges repeated; a missing neighbour counts as `fallback`.
double at(const ElevationGrid& e, int r, int c, double fallback) {
    r = std::clamp(r, 0, e.rows - 1);
    c = std::clamp(c, 0, e.columns - 1);
    const float v = e.elevationM[static_cast<std::size_t>(r) * e.columns + c];
    return std::isnan(v) ? fallback : v;
}

/// Horn's slope and aspect from the 3 x 3 neighbourhood, lit by the sun: 0 (dark) .. 1.
double shade(const ElevationGrid& e, int r, int c, double dxM, double dyM) {
    const double z = at(e, r, c, 0);
    const auto n = [&](int dr, int dc) { return at(e, r + dr, c + dc, z); };
    const double dzdx =
        ((n(-1, 1) + 2 * n(0, 1) + n(1, 1)) - (n(-1, -1) + 2 * n(0, -1) + n(1, -1))) / (8 * dxM);
    const double dzdy =
        ((n(1, -1) + 2 * n(1, 0) + n(1, 1)) - (n(-1, -1) + 2 * n(-1, 0) + n(-1, 1))) / (8 * dyM);
    const double slope = std::atan(std::hypot(dzdx, dzdy));
    const double aspect = std::atan2(dzdy, -dzdx);
    const double lit = std::cos(SunZenithRad) * std::cos(slope) +
                       std::sin(SunZenithRad) * std::sin(slope) * std::cos(SunAzimuthRad - aspect);
    return std::clamp(lit, 0.0, 1.0);
}

double niceStep(double span, const std::array<double, 3>& mantissas) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(span)));
    double best = magnitude;
    for (double m : mantissas) {
        if (m * magnitude <= span)
            best = m * magnitude;
    }
    return best;
}

QString degreesText(double value, double step, QChar positive, QChar negative) {
    const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 4);
    const QString pattern = QStringLiteral("0") + (decimals > 0 ? QStringLiteral(".") : QString()) +
                            QString(decimals, u'0');
    return numfmt::formatPattern(std::fabs(value), pattern) + QChar(0x00B0) +
           (value < 0 ? negative : positive);
}

void drawHaloText(QPainter& painter, QPointF baseline, const QString& text) {
    QPainterPath path;
    path.addText(baseline, painter.font(), text);
    painter.setPen(QPen(QColor(255, 255, 255, 220), 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::black);
    painter.drawText(baseline, text);
}

void drawTicks(QPainter& painter, const QRectF& target, const MapViewport& viewport) {
    const terrain::GeoPoint nw = viewport.toGeo(target.topLeft(), target);
    const terrain::GeoPoint se = viewport.toGeo(target.bottomRight(), target);
    const double latStep = niceStep((nw.latDeg - se.latDeg) / 4, {1, 2, 5});
    const double lonStep = niceStep((se.lonDeg - nw.lonDeg) / 4, {1, 2, 5});
    const QFontMetricsF metrics(painter.font());
    for (double lat = std::ceil(se.latDeg / latStep) * latStep; lat <= nw.latDeg; lat += latStep) {
        const double y = viewport.toPixel({lat, nw.lonDeg}, target).y();
        painter.setPen(Qt::black);
        painter.drawLine(QPointF(target.left(), y), QPointF(target.left() + 8, y));
        painter.drawLine(QPointF(target.right() - 8, y), QPointF(target.right(), y));
        drawHaloText(painter, QPointF(target.left() + 14, y + metrics.ascent() / 2),
                     degreesText(lat, latStep, u'N', u'S'));
    }
    for (double lon = std::ceil(nw.lonDeg / lonStep) * lonStep; lon <= se.lonDeg; lon += lonStep) {
        const double x = viewport.toPixel({nw.latDeg, lon}, target).x();
        painter.setPen(Qt::black);
        painter.drawLine(QPointF(x, target.top()), QPointF(x, target.top() + 8));
        painter.drawLine(QPointF(x, target.bottom() - 8), QPointF(x, target.bottom()));
        const QString text = degreesText(lon, lonStep, u'E', u'W');
        drawHaloText(painter,
                     QPointF(x - metrics.horizontalAdvance(text) / 2, target.top() + 10 +
                                                                          metrics.ascent()),
                     text);
    }
}

void drawScaleBar(QPainter& painter, const QRectF& target, const MapViewport& viewport) {
    const double kmPerPx = MetresPerDegLat / 1000 / viewport.pixelsPerDegree();
    const double km = niceStep(target.width() / 5 * kmPerPx, {1, 2, 5});
    const double lengthPx = km / kmPerPx;
    const QPointF start(target.left() + 16, target.bottom() - 16);
    painter.setPen(QPen(Qt::black, 2));
    painter.fillRect(QRectF(start.x() - 4, start.y() - 22, lengthPx + 8, 28),
                     QColor(255, 255, 255, 200));
    painter.drawLine(start, start + QPointF(lengthPx, 0));
    painter.drawLine(start, start - QPointF(0, 6));
    painter.drawLine(start + QPointF(lengthPx, 0), start + QPointF(lengthPx, -6));
    painter.drawText(start + QPointF(0, -8), numfmt::generalNumber(km) + QStringLiteral(" km"));
}

void drawMarks(QPainter& painter, const QRectF& target, const MapScene& scene,
               const MapViewport& viewport) {
    const QPointF tx = viewport.toPixel(scene.transmitter, target);
    const std::array<QPointF, 3> triangle = {tx + QPointF(0, -9), tx + QPointF(8, 6),
                                             tx + QPointF(-8, 6)};
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::red);
    painter.drawPolygon(triangle.data(), 3);
    if (scene.receiver) {
        const QPointF rx = viewport.toPixel(*scene.receiver, target);
        painter.setBrush(QColor(0, 90, 255));
        painter.drawEllipse(rx, 6, 6);
    }
}

/// Light diagonal lines over the marked cells drawn at `area`, only within `target`.
void drawHatch(QPainter& painter, const QRectF& target, const QRectF& area, const QImage& mask) {
    const QRect visible = area.intersected(target).toAlignedRect();
    if (visible.isEmpty())
        return;
    const qreal ratio = painter.device()->devicePixelRatioF();
    QImage layer(visible.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    QPainter hatch(&layer);
    hatch.fillRect(QRectF(QPointF(0, 0), visible.size()), hatchBrush());
    hatch.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    hatch.drawImage(area.translated(-visible.topLeft()), mask);
    hatch.end();
    painter.drawImage(visible.topLeft(), layer);
}

void drawLegend(QPainter& painter, const QRectF& target, const MapScene& scene) {
    const QStringList labels = scene.colours.legendLabels();
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.height() + 4;
    double width = metrics.horizontalAdvance(scene.colours.title());
    for (const QString& label : labels)
        width = std::max(width, metrics.horizontalAdvance(label) + 26);
    const bool hatched = !scene.warnings.isNull() && scene.colours.hatchWarnings();
    const int rows = static_cast<int>(labels.size()) + (hatched ? 1 : 0) + 2;
    const QRectF box(target.right() - width - 24, target.top() + 32, width + 16, rows * line + 8);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawRect(box);
    QPointF row = box.topLeft() + QPointF(8, 4);
    painter.drawText(row + QPointF(0, metrics.ascent()), scene.colours.title());
    const auto entry = [&](const QColor& colour, const QString& text) {
        row += QPointF(0, line);
        painter.setPen(Qt::black);
        painter.setBrush(colour);
        painter.drawRect(QRectF(row + QPointF(0, 1), QSizeF(18, metrics.height() - 2)));
        painter.drawText(row + QPointF(26, metrics.ascent()), text);
    };
    const auto hatchedEntry = [&](const QString& text) {
        entry(QColor(150, 150, 150), text);
        const QRectF swatch(row + QPointF(0, 1), QSizeF(18, metrics.height() - 2));
        painter.fillRect(swatch.adjusted(1, 1, 0, 0), hatchBrush());
    };
    for (int i = 0; i < labels.size(); ++i)
        entry(toColor(MapColours::bandColour(i)), labels[i]);
    if (!scene.warnings.isNull() && scene.colours.hatchWarnings())
        hatchedEntry(QStringLiteral("model warning (hatched)"));
    entry(Qt::red, QStringLiteral("transmitter"));
    if (scene.receiver)
        entry(QColor(0, 90, 255), QStringLiteral("receiver"));
}

} // namespace

QImage hillshadeImage(const ElevationGrid& e) {
    if (e.columns <= 0 || e.rows <= 0)
        return {};
    QImage image(e.columns, e.rows, QImage::Format_RGB32);
    const double midLatRad = (e.northLatDeg - e.rows * e.cellLatDeg / 2) * Pi / 180;
    const double dxM = e.cellLonDeg * MetresPerDegLat * std::max(std::cos(midLatRad), 0.01);
    const double dyM = e.cellLatDeg * MetresPerDegLat;
    for (int r = 0; r < e.rows; ++r) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(r));
        for (int c = 0; c < e.columns; ++c) {
            if (std::isnan(e.elevationM[static_cast<std::size_t>(r) * e.columns + c])) {
                line[c] = NoDataColour.rgb();
                continue;
            }
            const int grey = 70 + static_cast<int>(185 * shade(e, r, c, dxM, dyM));
            line[c] = qRgb(grey, grey, grey);
        }
    }
    return image;
}

QImage coverageImage(const coverage::CoverageGrid& grid, const MapColours& colours, int maxSide) {
    if (grid.columns <= 0 || grid.rows <= 0)
        return {};
    const int stride = std::max(1, (std::max(grid.columns, grid.rows) + maxSide - 1) / maxSide);
    const std::vector<float>& values =
        colours.quantity() == MapQuantity::FieldDbuvm ? grid.fieldDbuvm : grid.lossDb;
    QImage image((grid.columns + stride - 1) / stride, (grid.rows + stride - 1) / stride,
                 QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const auto cell = static_cast<std::size_t>(y) * stride * grid.columns +
                              static_cast<std::size_t>(x) * stride;
            const int band = cell < values.size() ? colours.bandOf(values[cell]) : -1;
            if (band >= 0)
                line[x] = toColor(MapColours::bandColour(band)).rgba();
        }
    }
    return image;
}

QImage warningMask(const coverage::CoverageGrid& grid, int maxSide) {
    if (grid.columns <= 0 || grid.rows <= 0 ||
        std::none_of(grid.warning.begin(), grid.warning.end(),
                     [](std::uint8_t w) { return MapColours::marksWarning(w); }))
        return {};
    const int stride = std::max(1, (std::max(grid.columns, grid.rows) + maxSide - 1) / maxSide);
    QImage image((grid.columns + stride - 1) / stride, (grid.rows + stride - 1) / stride,
                 QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const auto cell = static_cast<std::size_t>(y) * stride * grid.columns +
                              static_cast<std::size_t>(x) * stride;
            if (cell < grid.warning.size() && MapColours::marksWarning(grid.warning[cell]))
                line[x] = qRgba(0, 0, 0, 255);
        }
    }
    return image;
}

MapViewport MapViewport::fitting(const coverage::CoverageGrid& grid, QSizeF size) {
    MapViewport viewport;
    const double heightDeg = std::max(grid.rows * grid.cellDeg, 1e-6);
    const double widthDeg = std::max(grid.columns * grid.cellDeg, 1e-6);
    viewport.m_centre = {grid.northLatDeg - heightDeg / 2, grid.westLonDeg + widthDeg / 2};
    viewport.m_lonScale = std::max(std::cos(viewport.m_centre.latDeg * Pi / 180), 0.01);
    viewport.m_pxPerDeg =
        0.95 * std::min(size.width() / (widthDeg * viewport.m_lonScale), size.height() / heightDeg);
    return viewport;
}

QPointF MapViewport::toPixel(const terrain::GeoPoint& at, const QRectF& target) const {
    return {target.center().x() + (at.lonDeg - m_centre.lonDeg) * m_pxPerDeg * m_lonScale,
            target.center().y() - (at.latDeg - m_centre.latDeg) * m_pxPerDeg};
}

terrain::GeoPoint MapViewport::toGeo(QPointF pixel, const QRectF& target) const {
    return {m_centre.latDeg - (pixel.y() - target.center().y()) / m_pxPerDeg,
            m_centre.lonDeg + (pixel.x() - target.center().x()) / (m_pxPerDeg * m_lonScale)};
}

void MapViewport::zoom(double factor, QPointF pixel, const QRectF& target) {
    const terrain::GeoPoint fixed = toGeo(pixel, target);
    m_pxPerDeg = std::clamp(m_pxPerDeg * factor, 1.0, 1e7);
    m_centre.lonDeg = fixed.lonDeg - (pixel.x() - target.center().x()) / (m_pxPerDeg * m_lonScale);
    m_centre.latDeg = fixed.latDeg + (pixel.y() - target.center().y()) / m_pxPerDeg;
}

void MapViewport::pan(QPointF delta) {
    m_centre.lonDeg -= delta.x() / (m_pxPerDeg * m_lonScale);
    m_centre.latDeg += delta.y() / m_pxPerDeg;
}

void paintMap(QPainter& painter, const QRectF& target, const MapScene& scene,
              const MapViewport& viewport) {
    painter.save();
    painter.setClipRect(target);
    painter.fillRect(target, Qt::white);
    if (scene.grid && scene.grid->columns > 0) {
        const coverage::CoverageGrid& grid = *scene.grid;
        const QRectF area(
            viewport.toPixel({grid.northLatDeg, grid.westLonDeg}, target),
            viewport.toPixel({grid.northLatDeg - grid.rows * grid.cellDeg,
                              grid.westLonDeg + grid.columns * grid.cellDeg},
                             target));
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(area, scene.hillshade);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.setOpacity(scene.opacity);
        painter.drawImage(area, scene.coverage);
        painter.setOpacity(1);
        if (!scene.warnings.isNull() && scene.colours.hatchWarnings())
            drawHatch(painter, target, area, scene.warnings);
        painter.setRenderHint(QPainter::Antialiasing, true);
        drawMarks(painter, target, scene, viewport);
        drawTicks(painter, target, viewport);
        drawScaleBar(painter, target, viewport);
        drawLegend(painter, target, scene);
    }
    painter.restore();
}

} // namespace verdan
