#include "CoverageMapPainter.h"

#include "NumberFormat.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace verdan {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double MetresPerDegLat = 111195.0;
// Sun from the north-west, 45 degrees above the horizon.
constexpr double SunZenithRad = Pi / 4;
constexpr double SunAzimuthRad = 135.0 * Pi / 180.0;
const QColor NoDataColour(200, 225, 240);
// Length of a tick mark, pixels.
constexpr double TickLength = 6;

/// Room of a legend swatch and the gap after it.
double SwatchRoom(const QFontMetricsF& metrics) {
    return metrics.height() * 1.8;
}

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

// The room left of the frame for a latitude label and above it for a longitude label.
QSizeF labelRoom(const QFontMetricsF& metrics) {
    return {metrics.horizontalAdvance(QStringLiteral("00.000\u00b0N")) + TickLength + 4,
            metrics.height() + TickLength + 2};
}

// Round latitudes and longitudes within the frame, about four each way.
struct Ticks {
    std::vector<double> latDeg;
    std::vector<double> lonDeg;
    double latStep = 1;
    double lonStep = 1;
};

Ticks ticksOf(const QRectF& frame, const MapViewport& viewport) {
    const terrain::GeoPoint nw = viewport.toGeo(frame.topLeft(), frame);
    const terrain::GeoPoint se = viewport.toGeo(frame.bottomRight(), frame);
    Ticks ticks;
    ticks.latStep = niceStep((nw.latDeg - se.latDeg) / 4, {1, 2, 5});
    ticks.lonStep = niceStep((se.lonDeg - nw.lonDeg) / 4, {1, 2, 5});
    for (double lat = std::ceil(se.latDeg / ticks.latStep) * ticks.latStep; lat <= nw.latDeg;
         lat += ticks.latStep)
        ticks.latDeg.push_back(lat);
    for (double lon = std::ceil(nw.lonDeg / ticks.lonStep) * ticks.lonStep; lon <= se.lonDeg;
         lon += ticks.lonStep)
        ticks.lonDeg.push_back(lon);
    return ticks;
}

void drawTicks(QPainter& painter, const QRectF& target, const QRectF& frame,
               const MapViewport& viewport) {
    const Ticks ticks = ticksOf(frame, viewport);
    painter.setPen(QPen(Qt::black, 1));
    for (const double lat : ticks.latDeg) {
        const double y = viewport.toPixel({lat, 0}, frame).y();
        painter.drawLine(QPointF(frame.left() - TickLength, y), QPointF(frame.left(), y));
        painter.drawLine(QPointF(frame.right(), y), QPointF(frame.right() + TickLength, y));
    }
    for (const double lon : ticks.lonDeg) {
        const double x = viewport.toPixel({0, lon}, frame).x();
        painter.drawLine(QPointF(x, frame.top() - TickLength), QPointF(x, frame.top()));
        painter.drawLine(QPointF(x, frame.bottom()), QPointF(x, frame.bottom() + TickLength));
    }
    for (const MapLabel& label : tickLabels(frame, target, viewport, painter.font()))
        painter.drawText(label.box, Qt::AlignRight | Qt::AlignVCenter, label.text);
}

// A bar of a round number of kilometres in the frame's lower left corner. The map keeps true
// proportions about its centre, so the bar holds in every direction.
void drawScaleBar(QPainter& painter, const QRectF& frame, const MapViewport& viewport) {
    const QFontMetricsF metrics(painter.font());
    const double kmPerPx = MetresPerDegLat / 1000 / viewport.pixelsPerDegree();
    const double km = niceStep(frame.width() / 5 * kmPerPx, {1, 2, 5});
    const double lengthPx = km / kmPerPx;
    const QString text = numfmt::generalNumber(km) + QStringLiteral(" km");
    const double pad = metrics.height() / 3;
    const QPointF start(frame.left() + 2 * pad, frame.bottom() - 2 * pad);
    painter.fillRect(QRectF(start.x() - pad, start.y() - metrics.height() - 2 * pad,
                            std::max(lengthPx, metrics.horizontalAdvance(text)) + 2 * pad,
                            metrics.height() + 3 * pad),
                     QColor(255, 255, 255, 210));
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(start, start + QPointF(lengthPx, 0));
    painter.drawLine(start, start - QPointF(0, pad));
    painter.drawLine(start + QPointF(lengthPx, 0), start + QPointF(lengthPx, -pad));
    painter.drawText(start + QPointF(0, -pad - metrics.descent()), text);
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

// The legend's lines: a swatch (with the hatch for the warnings) and a text each.
struct LegendEntry {
    QColor colour;
    QString text;
    bool hatched = false;
};

std::vector<LegendEntry> legendEntries(const MapScene& scene) {
    std::vector<LegendEntry> entries;
    const QStringList labels = scene.colours.legendLabels();
    for (int i = 0; i < labels.size(); ++i)
        entries.push_back({toColor(MapColours::bandColour(i)), labels[i]});
    if (!scene.warnings.isNull() && scene.colours.hatchWarnings())
        entries.push_back({QColor(150, 150, 150), QStringLiteral("model warning (hatched)"), true});
    entries.push_back({Qt::red, QStringLiteral("transmitter")});
    if (scene.receiver)
        entries.push_back({QColor(0, 90, 255), QStringLiteral("receiver")});
    return entries;
}

QSizeF legendSize(const MapScene& scene, const QFontMetricsF& metrics) {
    const std::vector<LegendEntry> entries = legendEntries(scene);
    double width = metrics.horizontalAdvance(scene.colours.title());
    for (const LegendEntry& entry : entries)
        width = std::max(width, metrics.horizontalAdvance(entry.text) + SwatchRoom(metrics));
    const double line = metrics.height() + metrics.height() / 4;
    return {width + metrics.height(),
            (static_cast<double>(entries.size()) + 1) * line + metrics.height() / 2};
}

void drawLegend(QPainter& painter, const QRectF& box, const MapScene& scene) {
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.height() + metrics.height() / 4;
    const double swatch = metrics.height() * 1.2;
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    QPointF row = box.topLeft() + QPointF(metrics.height() / 2, metrics.height() / 4);
    painter.drawText(row + QPointF(0, metrics.ascent()), scene.colours.title());
    for (const LegendEntry& entry : legendEntries(scene)) {
        row += QPointF(0, line);
        const QRectF square(row + QPointF(0, 1), QSizeF(swatch, metrics.height() - 2));
        painter.setPen(Qt::black);
        painter.setBrush(entry.colour);
        painter.drawRect(square);
        if (entry.hatched)
            painter.fillRect(square.adjusted(1, 1, 0, 0), hatchBrush());
        painter.drawText(row + QPointF(SwatchRoom(metrics), metrics.ascent()), entry.text);
    }
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

namespace {

// An image of `grid` with at most `maxSide` pixels a side, taking every stride-th cell; each
// pixel is `colourOf(cell index)`, transparent where that gives nothing.
template <typename ColourOf>
QImage decimatedImage(const coverage::CoverageGrid& grid, int maxSide, ColourOf colourOf) {
    const int stride = std::max(1, (std::max(grid.columns, grid.rows) + maxSide - 1) / maxSide);
    QImage image((grid.columns + stride - 1) / stride, (grid.rows + stride - 1) / stride,
                 QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const auto cell = static_cast<std::size_t>(y) * stride * grid.columns +
                              static_cast<std::size_t>(x) * stride;
            if (const std::optional<QRgb> colour = colourOf(cell))
                line[x] = *colour;
        }
    }
    return image;
}

} // namespace

QImage coverageImage(const coverage::CoverageGrid& grid, const MapColours& colours, int maxSide) {
    if (grid.columns <= 0 || grid.rows <= 0)
        return {};
    const std::vector<float>& values = coverage::quantityValues(grid, colours.quantity());
    return decimatedImage(grid, maxSide, [&](std::size_t cell) -> std::optional<QRgb> {
        const int band = cell < values.size() ? colours.bandOf(values[cell]) : -1;
        if (band < 0)
            return std::nullopt;
        return toColor(MapColours::bandColour(band)).rgba();
    });
}

QImage warningMask(const coverage::CoverageGrid& grid, int maxSide) {
    if (grid.columns <= 0 || grid.rows <= 0 ||
        std::none_of(grid.warning.begin(), grid.warning.end(),
                     [](std::uint8_t w) { return MapColours::marksWarning(w); }))
        return {};
    return decimatedImage(grid, maxSide, [&](std::size_t cell) -> std::optional<QRgb> {
        if (cell < grid.warning.size() && MapColours::marksWarning(grid.warning[cell]))
            return qRgba(0, 0, 0, 255);
        return std::nullopt;
    });
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

std::vector<MapLabel> tickLabels(const QRectF& frame, const QRectF& target,
                                 const MapViewport& viewport, const QFont& font) {
    const QFontMetricsF metrics(font);
    const Ticks ticks = ticksOf(frame, viewport);
    std::vector<MapLabel> labels;
    double lastTop = target.bottom();
    for (const double lat : ticks.latDeg) {
        const double y = viewport.toPixel({lat, 0}, frame).y();
        const QRectF box(target.left(), y - metrics.height() / 2,
                         frame.left() - TickLength - 3 - target.left(), metrics.height());
        if (box.top() < target.top() || box.bottom() > lastTop)
            continue;
        labels.push_back({degreesText(lat, ticks.latStep, u'N', u'S'), box});
        lastTop = box.top();
    }
    double lastRight = target.left() - metrics.averageCharWidth();
    for (const double lon : ticks.lonDeg) {
        const double x = viewport.toPixel({0, lon}, frame).x();
        const QString text = degreesText(lon, ticks.lonStep, u'E', u'W');
        const double width = metrics.horizontalAdvance(text) + 1;
        const QRectF box(x - width / 2, frame.top() - TickLength - 2 - metrics.height(), width,
                         metrics.height());
        if (box.left() < lastRight + metrics.averageCharWidth() || box.right() > target.right())
            continue;
        labels.push_back({text, box});
        lastRight = box.right();
    }
    return labels;
}

MapLayout MapLayout::of(const QRectF& target, const MapScene& scene, const QFont& font) {
    const QFontMetricsF metrics(font);
    const QSizeF room = labelRoom(metrics);
    const QSizeF legend = legendSize(scene, metrics);
    const double gap = metrics.height();
    MapLayout layout;
    layout.frame = QRectF(target.left() + room.width(), target.top() + room.height(),
                          target.width() - room.width() - legend.width() - gap - TickLength,
                          target.height() - room.height() - TickLength - 2);
    layout.legend =
        QRectF(QPointF(target.right() - legend.width() - 1, layout.frame.top()), legend);
    return layout;
}

void paintMap(QPainter& painter, const QRectF& target, const MapScene& scene,
              const MapViewport& viewport) {
    const MapLayout layout = MapLayout::of(target, scene, painter.font());
    const QRectF& frame = layout.frame;
    painter.save();
    painter.fillRect(target, Qt::white);
    if (scene.grid && scene.grid->columns > 0) {
        const coverage::CoverageGrid& grid = *scene.grid;
        const QRectF area(viewport.toPixel({grid.northLatDeg, grid.westLonDeg}, frame),
                          viewport.toPixel({grid.northLatDeg - grid.rows * grid.cellDeg,
                                            grid.westLonDeg + grid.columns * grid.cellDeg},
                                           frame));
        painter.save();
        painter.setClipRect(frame);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(area, scene.hillshade);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.setOpacity(scene.opacity);
        painter.drawImage(area, scene.coverage);
        painter.setOpacity(1);
        if (!scene.warnings.isNull() && scene.colours.hatchWarnings())
            drawHatch(painter, frame, area, scene.warnings);
        painter.setRenderHint(QPainter::Antialiasing, true);
        drawMarks(painter, frame, scene, viewport);
        drawScaleBar(painter, frame, viewport);
        painter.restore();
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame);
        drawTicks(painter, target, frame, viewport);
        drawLegend(painter, layout.legend, scene);
    }
    painter.restore();
}

} // namespace verdan
