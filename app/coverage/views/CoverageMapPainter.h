#pragma once

#include "CoverageRun.h"
#include "MapColours.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QStringList>
#include <optional>

class QFont;
class QPainter;

namespace verdan {

/// The hillshade of the terrain samples: grey levels lit from the north-west, pale blue where
/// the terrain has no data.
QImage hillshadeImage(const ElevationGrid& elevations);

/// The coverage grid at one pixel per cell (fewer when a side exceeds `maxSide`): the band's
/// colour of each cell's value (field strength when the colours say so, else loss),
/// transparent elsewhere.
QImage coverageImage(const coverage::CoverageGrid& grid, const MapColours& colours,
                     int maxSide = 4096);

/// The cells with a marked model warning, as coverageImage() lays them out: opaque there,
/// transparent elsewhere; a null image when no cell is marked.
QImage warningMask(const coverage::CoverageGrid& grid, int maxSide = 4096);

/// What is drawn on the map.
struct MapScene {
    const coverage::CoverageGrid* grid = nullptr;
    QImage hillshade;
    QImage coverage;
    MapColours colours{MapQuantity::LossDb, {}};
    terrain::GeoPoint transmitter;
    std::optional<terrain::GeoPoint> receiver;
    /// Cells with a marked model warning (see warningMask()); hatched when the colours say so.
    QImage warnings;
    /// Opacity of the coverage colours over the hillshade, 0..1.
    double opacity = 0.7;
};

/// Which part of the earth the map shows: the centre and the scale in pixels per degree of
/// latitude. Longitudes are drawn shrunk by the cosine of the centre's latitude, so that
/// distances look alike in every direction.
class MapViewport {
public:
    /// The whole grid inside a target of `size` pixels.
    static MapViewport fitting(const coverage::CoverageGrid& grid, QSizeF size);

    QPointF toPixel(const terrain::GeoPoint& at, const QRectF& target) const;
    terrain::GeoPoint toGeo(QPointF pixel, const QRectF& target) const;
    /// Zooms by `factor` keeping the point under `pixel` in place.
    void zoom(double factor, QPointF pixel, const QRectF& target);
    /// Moves the map by `delta` pixels.
    void pan(QPointF delta);
    double pixelsPerDegree() const { return m_pxPerDeg; }

private:
    terrain::GeoPoint m_centre;
    double m_pxPerDeg = 1;
    double m_lonScale = 1;
};

/// Where the parts of a map drawn into a target go: the map's frame, with room for the tick
/// labels left of it and above it, and the legend beside it on the right, never over it.
struct MapLayout {
    QRectF frame;
    QRectF legend;
    /// The layout of `scene` in `target` with the text in `font`.
    static MapLayout of(const QRectF& target, const MapScene& scene, const QFont& font);
};

/// A tick label and where it is drawn.
struct MapLabel {
    QString text;
    QRectF box;
};

/// The labels of the ticks around `frame` within `target`: latitudes left of the frame and
/// longitudes above it, each with its hemisphere ("45.2°N", "7.1°E"). A label that would leave
/// the target or run into the one before it is left out, so that none is cut or covered.
std::vector<MapLabel> tickLabels(const QRectF& frame, const QRectF& target,
                                 const MapViewport& viewport, const QFont& font);

/// Draws the map into `target` as MapLayout lays it out: hillshade, coverage colours, hatch,
/// transmitter and receiver marks and scale bar in the frame (`viewport` relative to it),
/// latitude and longitude ticks around it, and the legend beside it.
void paintMap(QPainter& painter, const QRectF& target, const MapScene& scene,
              const MapViewport& viewport);

} // namespace verdan
