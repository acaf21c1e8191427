#include "MapCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <cmath>

namespace verdan {

using geodata::MapCamera;
using geodata::MercatorPoint;
using geodata::ScreenPoint;
using geodata::TileId;

namespace {

// Zoom per degree of wheel rotation, and per press of + or -.
constexpr double ZoomPerWheelDegree = 1.01;
constexpr double ZoomPerKey = 2;
// How far an arrow key moves the map, a fraction of the canvas.
constexpr double PanPerKey = 0.25;
// A press that moves at most this far before its release is a click, not a pan.
constexpr double ClickSlackPx = 3;
// How near a press must fall to a mark to take it.
constexpr double GrabReachPx = 8;
// How many zoom levels up a tile still being rendered is drawn from.
constexpr int FallbackLevels = 6;
// The background where no layer draws.
const QColor Background(226, 232, 236);

QRectF screenRect(const MapCamera& camera, const TileId& tile, QSizeF size) {
    const geodata::Extent box = geodata::tileExtent(tile);
    const ScreenPoint nw = camera.toScreen({box.minXM, box.maxYM}, size.width(), size.height());
    const ScreenPoint se = camera.toScreen({box.maxXM, box.minYM}, size.width(), size.height());
    // On whole pixels, so that neighbouring tiles meet without a seam.
    return QRectF(QPointF(std::round(nw.xPx), std::round(nw.yPx)),
                  QPointF(std::round(se.xPx), std::round(se.yPx)));
}

} // namespace

QPointF screenPointOf(const MapCamera& camera, QSizeF size, terrain::GeoPoint at) {
    const ScreenPoint point = camera.toScreen(geodata::toMercator(at), size.width(), size.height());
    return {point.xPx, point.yPx};
}

double roundScaleLength(double mostMetres) {
    if (!(mostMetres > 0))
        return 0;
    const double power = std::pow(10.0, std::floor(std::log10(mostMetres)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * power <= mostMetres)
            return step * power;
    return power;
}

MapCanvas::MapCanvas(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(&m_cache, &TileCache::tileReady, this, qOverload<>(&QWidget::update));
}

void MapCanvas::setLayers(std::vector<CanvasLayer> layers) {
    m_layers = std::move(layers);
    update();
}

void MapCanvas::setMarks(std::vector<MapMark> marks) {
    m_marks = std::move(marks);
    update();
}

void MapCanvas::addOverlay(MapOverlay overlay) {
    m_overlays.push_back(std::move(overlay));
    update();
}

void MapCanvas::fit(const geodata::Extent& extent) {
    setCamera(MapCamera::fitting(extent, width(), height()));
}

void MapCanvas::setCamera(const MapCamera& camera) {
    m_camera = camera;
    emit cameraChanged();
    update();
}

void MapCanvas::zoomBy(double factor) {
    m_camera.zoom(factor, {width() / 2.0, height() / 2.0}, width(), height());
    emit cameraChanged();
    update();
}

void MapCanvas::panBy(double fractionX, double fractionY) {
    m_camera.pan(fractionX * width(), fractionY * height());
    emit cameraChanged();
    update();
}

void MapCanvas::paintLayers(QPainter& painter, const MapCamera& camera, QSizeF size,
                            bool request) {
    const std::vector<TileId> tiles = camera.tiles(size.width(), size.height());
    if (request) {
        // Said before asking, so that no render of this frame is skipped as unwanted.
        QSet<TileKey> wanted;
        for (const CanvasLayer& layer : m_layers)
            for (const TileId& tile : tiles)
                wanted.insert({layer.id, tile});
        m_cache.setWanted(std::move(wanted));
    }
    for (auto layer = m_layers.rbegin(); layer != m_layers.rend(); ++layer) {
        painter.setOpacity(layer->opacity);
        for (const TileId& tile : tiles) {
            const TileKey key{layer->id, tile};
            if (const QImage* image = m_cache.find(key)) {
                if (!image->isNull())
                    painter.drawImage(screenRect(camera, tile, size), *image);
                continue;
            }
            if (request)
                m_cache.request(key, layer->tiles);
            // Meanwhile the part of a coarser tile that covers it.
            for (int up = 1; up <= FallbackLevels && up <= tile.zoom; ++up) {
                const TileId parent{tile.zoom - up, tile.x >> up, tile.y >> up};
                const QImage* coarse = m_cache.find({layer->id, parent});
                if (coarse == nullptr)
                    continue;
                if (!coarse->isNull()) {
                    const double side = geodata::TileSidePx / double(1 << up);
                    const QRectF part((tile.x - (parent.x << up)) * side,
                                      (tile.y - (parent.y << up)) * side, side, side);
                    painter.drawImage(screenRect(camera, tile, size), *coarse, part);
                }
                break;
            }
        }
    }
    painter.setOpacity(1);
}

void MapCanvas::paintOverlays(QPainter& painter, const MapCamera& camera, QSizeF size) {
    for (const MapOverlay& overlay : m_overlays) {
        painter.save();
        overlay(painter, camera, size);
        painter.restore();
    }
}

void MapCanvas::paintDecorations(QPainter& painter, QSizeF size, const MapCamera& camera) {
    painter.setRenderHint(QPainter::Antialiasing);
    for (const MapMark& mark : m_marks) {
        const QPointF centre = screenPointOf(camera, size, mark.at);
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(QColor(200, 0, 0));
        painter.drawEllipse(centre, 5, 5);
        painter.setPen(Qt::black);
        painter.drawText(centre + QPointF(8, -6), mark.name);
    }
    // Scale bar: ground metres at the centre's latitude, at most a quarter of the width.
    const double latDeg = geodata::toGeo(camera.centre()).latDeg;
    const double groundPerPx = camera.metresPerPx() / geodata::scaleFactorAt(latDeg);
    const double lengthM = roundScaleLength(groundPerPx * size.width() / 4);
    const double lengthPx = lengthM / groundPerPx;
    const QPointF base(12, size.height() - 14);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(base, base + QPointF(lengthPx, 0));
    painter.drawLine(base, base + QPointF(0, -6));
    painter.drawLine(base + QPointF(lengthPx, 0), base + QPointF(lengthPx, -6));
    const QString text = lengthM >= 1000 ? QString::number(lengthM / 1000) + QStringLiteral(" km")
                                         : QString::number(lengthM) + QStringLiteral(" m");
    painter.drawText(base + QPointF(4, -6), text);
    // North arrow: up is north in this projection.
    const QPointF tip(size.width() - 22, 14);
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(tip + QPointF(8, 22));
    arrow.lineTo(tip + QPointF(0, 16));
    arrow.lineTo(tip + QPointF(-8, 22));
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::black);
    painter.drawPath(arrow);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(tip.x() - 10, tip.y() + 22, 20, 16), Qt::AlignCenter,
                     QStringLiteral("N"));
}

void MapCanvas::renderInto(QPainter& painter, const QRectF& target) {
    const geodata::Extent shown = m_camera.visible(width(), height());
    const MapCamera camera = MapCamera::fitting(shown, target.width(), target.height());
    for (const CanvasLayer& layer : m_layers)
        for (const TileId& tile : camera.tiles(target.width(), target.height()))
            m_cache.request({layer.id, tile}, layer.tiles);
    m_cache.setWanted({});
    m_cache.waitForDone();
    painter.save();
    painter.translate(target.topLeft());
    painter.setClipRect(QRectF(QPointF(0, 0), target.size()));
    painter.fillRect(QRectF(QPointF(0, 0), target.size()), Background);
    paintLayers(painter, camera, target.size(), false);
    paintOverlays(painter, camera, target.size());
    paintDecorations(painter, target.size(), camera);
    painter.restore();
}

void MapCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Background);
    paintLayers(painter, m_camera, size(), true);
    paintOverlays(painter, m_camera, size());
    paintDecorations(painter, size(), m_camera);
}

void MapCanvas::wheelEvent(QWheelEvent* event) {
    m_camera.zoom(std::pow(ZoomPerWheelDegree, event->angleDelta().y() / 8.0),
                  {event->position().x(), event->position().y()}, width(), height());
    emit cameraChanged();
    update();
}

terrain::GeoPoint MapCanvas::geoAt(QPointF pixel) const {
    return geodata::toGeo(m_camera.toMercator({pixel.x(), pixel.y()}, width(), height()));
}

void MapCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_pressAt = event->position();
    const terrain::GeoPoint at = geoAt(event->position());
    const terrain::GeoPoint beside = geoAt(event->position() + QPointF(GrabReachPx, 0));
    const double reachDeg = std::fabs(beside.lonDeg - at.lonDeg) * std::cos(at.latDeg * M_PI / 180);
    m_grabbed = m_grab && m_grab(at, reachDeg);
    if (!m_grabbed)
        m_dragFrom = event->position();
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (m_grabbed && (event->buttons() & Qt::LeftButton))
        emit dragged(geoAt(event->position()));
    if (m_dragFrom) {
        const QPointF delta = event->position() - *m_dragFrom;
        m_camera.pan(delta.x(), delta.y());
        m_dragFrom = event->position();
        emit cameraChanged();
        update();
    }
    const MercatorPoint at =
        m_camera.toMercator({event->position().x(), event->position().y()}, width(), height());
    emit hovered(geodata::toGeo(at));
}

void MapCanvas::mouseReleaseEvent(QMouseEvent* event) {
    const bool still = m_pressAt && !m_grabbed &&
                       (event->position() - *m_pressAt).manhattanLength() <= ClickSlackPx;
    m_dragFrom.reset();
    m_pressAt.reset();
    m_grabbed = false;
    if (still && event->button() == Qt::LeftButton)
        emit clicked(geoAt(event->position()));
}

void MapCanvas::leaveEvent(QEvent*) {
    emit left();
}

void MapCanvas::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        return panBy(PanPerKey, 0);
    case Qt::Key_Right:
        return panBy(-PanPerKey, 0);
    case Qt::Key_Up:
        return panBy(0, PanPerKey);
    case Qt::Key_Down:
        return panBy(0, -PanPerKey);
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return zoomBy(ZoomPerKey);
    case Qt::Key_Minus:
        return zoomBy(1 / ZoomPerKey);
    case Qt::Key_Escape:
        m_dragFrom.reset();
        emit escapePressed();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace verdan
