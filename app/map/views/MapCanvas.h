#pragma once

#include "MapTiles.h"

#include <verdan/geodata/MapCamera.h>

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

namespace verdan {

/// One layer as the canvas draws it.
struct CanvasLayer {
    /// Changes whenever the layer's picture changes, so that no old tile is shown.
    quint64 id = 0;
    std::shared_ptr<const TileLayer> tiles;
    /// 0..1.
    double opacity = 1;
};

/// A point marked on the map with its name (a transmitter, a receiver, a site).
struct MapMark {
    terrain::GeoPoint at;
    QString name;
};

/// Draws over the map's layers, in the painter's units: `camera` shows the map over `size`.
using MapOverlay =
    std::function<void(QPainter& painter, const geodata::MapCamera& camera, QSizeF size)>;

/// Where `at` falls on a map that `camera` shows over `size`.
QPointF screenPointOf(const geodata::MapCamera& camera, QSizeF size, terrain::GeoPoint at);

/// The planning map's drawing surface: layers drawn from cached tiles, the first of the list
/// on top, rendered in the background (a tile not yet there is drawn from a coarser one
/// meanwhile), overlays, marks, a scale bar and a north arrow. Dragging and the arrow keys pan, the
/// wheel and +/- zoom, Escape ends the current tool; the pointer's position is reported.
class MapCanvas : public QWidget {
    Q_OBJECT
public:
    explicit MapCanvas(QWidget* parent = nullptr);

    /// The layers, the first drawn on top.
    void setLayers(std::vector<CanvasLayer> layers);
    void setMarks(std::vector<MapMark> marks);
    const std::vector<MapMark>& marks() const { return m_marks; }
    /// Adds an overlay, drawn after every paint over the layers and the overlays added before
    /// it, on screen as in print. Whoever changes what it draws calls update().
    void addOverlay(MapOverlay overlay);
    /// Shows all of `extent`.
    void fit(const geodata::Extent& extent);
    const geodata::MapCamera& camera() const { return m_camera; }
    void setCamera(const geodata::MapCamera& camera);
    TileCache& cache() { return m_cache; }
    /// Zooms in (factor above 1) or out about the centre of the canvas.
    void zoomBy(double factor);
    /// Moves the map by a fraction of the canvas's width and height.
    void panBy(double fractionX, double fractionY);

    /// Asked on a press of the left button with the point and how far a few pixels reach
    /// there (degrees along a parallel, scaled to a great circle): true takes the press, and
    /// the drag that follows is reported by dragged() instead of panning the map.
    void setGrab(std::function<bool(terrain::GeoPoint at, double reachDeg)> grab) {
        m_grab = std::move(grab);
    }

    /// Draws the whole map as it stands into `painter` over `target` (printing, pictures):
    /// tiles not rendered yet are rendered first, on this thread's time.
    void renderInto(QPainter& painter, const QRectF& target);

signals:
    /// The pointer is over the map at `at`.
    void hovered(terrain::GeoPoint at);
    /// The pointer left the map.
    void left();
    /// Escape was pressed: the current tool ends.
    void escapePressed();
    /// The view moved or zoomed.
    void cameraChanged();
    /// The left button was pressed and released at `at` without moving.
    void clicked(terrain::GeoPoint at);
    /// A grabbed press was dragged to `at`.
    void dragged(terrain::GeoPoint at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    terrain::GeoPoint geoAt(QPointF pixel) const;
    void paintLayers(QPainter& painter, const geodata::MapCamera& camera, QSizeF size,
                     bool request);
    void paintOverlays(QPainter& painter, const geodata::MapCamera& camera, QSizeF size);
    void paintDecorations(QPainter& painter, QSizeF size, const geodata::MapCamera& camera);

    geodata::MapCamera m_camera;
    std::vector<CanvasLayer> m_layers;
    std::vector<MapMark> m_marks;
    std::vector<MapOverlay> m_overlays;
    TileCache m_cache;
    std::optional<QPointF> m_dragFrom;
    std::optional<QPointF> m_pressAt;
    bool m_grabbed = false;
    std::function<bool(terrain::GeoPoint, double)> m_grab;
};

/// The length of a scale bar of at most `mostMetres`: 1, 2 or 5 times a power of ten.
double roundScaleLength(double mostMetres);

} // namespace verdan
