#include "MapTiles.h"

#include <verdan/geodata/Hillshade.h>

#include <QCoreApplication>
#include <QMutexLocker>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace verdan {

using geodata::Extent;
using geodata::Feature;
using geodata::FeatureClass;
using geodata::FeatureShape;
using geodata::TileId;
using geodata::TileSidePx;

namespace {

// Most features a vector tile draws; a denser tile shows the first ones read.
constexpr std::size_t MostFeaturesPerTile = 20000;
// The outline of the covered area: opaque black, seen over every palette and the relief.
constexpr QRgb OutlineColour = 0xff000000;
// Pixels between the diagonal lines of a hatch.
constexpr int HatchSpacingPx = 6;
// Place names are drawn from this zoom on (a country's towns would cover each other above).
constexpr int FirstLabelZoom = 9;

QImage fromTileImage(const geodata::TileImage& image) {
    if (image.rgba.empty() || image.blank())
        return {};
    return QImage(image.rgba.data(), TileSidePx, TileSidePx, TileSidePx * 4,
                  QImage::Format_RGBA8888)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

class HillshadeTiles final : public TileLayer {
public:
    explicit HillshadeTiles(std::shared_ptr<const terrain::TerrainSource> terrain)
        : m_terrain(std::move(terrain)) {}
    QImage render(const TileId& tile, const std::atomic<bool>& cancel) const override {
        geodata::TileImage image;
        geodata::hillshadeTile(*m_terrain, tile, image, &cancel);
        return cancel ? QImage() : fromTileImage(image);
    }
    Extent extent() const override {
        return {-geodata::HalfWorldM, -geodata::HalfWorldM, geodata::HalfWorldM,
                geodata::HalfWorldM};
    }

private:
    std::shared_ptr<const terrain::TerrainSource> m_terrain;
};

class RasterTiles final : public TileLayer {
public:
    explicit RasterTiles(std::shared_ptr<geodata::RasterLayer> raster)
        : m_raster(std::move(raster)) {}
    QImage render(const TileId& tile, const std::atomic<bool>&) const override {
        geodata::TileImage image;
        return m_raster->readTile(tile, image).ok ? fromTileImage(image) : QImage();
    }
    Extent extent() const override { return m_raster->extent(); }

private:
    std::shared_ptr<geodata::RasterLayer> m_raster;
};

struct FeatureStyle {
    QColor colour;
    double widthPx;
    Qt::PenStyle style;
};

FeatureStyle styleOf(FeatureClass featureClass) {
    switch (featureClass) {
    case FeatureClass::Road:
        return {QColor(200, 90, 30), 1.6, Qt::SolidLine};
    case FeatureClass::Border:
        return {QColor(120, 40, 140), 1.4, Qt::DashLine};
    case FeatureClass::Place:
        return {QColor(20, 20, 20), 1, Qt::SolidLine};
    case FeatureClass::Other:
        break;
    }
    return {QColor(40, 70, 160), 1, Qt::SolidLine};
}

class VectorTiles final : public TileLayer {
public:
    explicit VectorTiles(std::shared_ptr<geodata::VectorLayer> vector)
        : m_vector(std::move(vector)) {}
    QImage render(const TileId& tile, const std::atomic<bool>& cancel) const override {
        const Extent box = geodata::tileExtent(tile);
        std::vector<Feature> features;
        bool truncated = false;
        if (!m_vector->features(box, MostFeaturesPerTile, features, truncated).ok || cancel ||
            features.empty())
            return {};
        QImage image(TileSidePx, TileSidePx, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const double pixelM = geodata::metresPerPixel(tile.zoom);
        const auto toPixel = [&](const geodata::MercatorPoint& p) {
            return QPointF((p.xM - box.minXM) / pixelM, (box.maxYM - p.yM) / pixelM);
        };
        for (const Feature& feature : features)
            draw(painter, feature, toPixel);
        if (tile.zoom >= FirstLabelZoom)
            for (const Feature& feature : features)
                label(painter, feature, toPixel);
        return image;
    }
    Extent extent() const override { return m_vector->extent(); }

private:
    template <typename ToPixel>
    static void draw(QPainter& painter, const Feature& feature, const ToPixel& toPixel) {
        const FeatureStyle style = styleOf(feature.featureClass);
        painter.setPen(QPen(style.colour, style.widthPx, style.style));
        if (feature.shape == FeatureShape::Point) {
            painter.setBrush(style.colour);
            for (const auto& part : feature.parts)
                painter.drawEllipse(toPixel(part.front()), 2.5, 2.5);
            return;
        }
        QPainterPath path;
        for (const auto& part : feature.parts) {
            if (part.empty())
                continue;
            path.moveTo(toPixel(part.front()));
            for (std::size_t i = 1; i < part.size(); ++i)
                path.lineTo(toPixel(part[i]));
        }
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }

    template <typename ToPixel>
    static void label(QPainter& painter, const Feature& feature, const ToPixel& toPixel) {
        if (feature.label.empty() || feature.shape != FeatureShape::Point)
            return;
        const QPointF at = toPixel(feature.parts.front().front()) + QPointF(4, -4);
        if (!QRectF(0, 0, TileSidePx, TileSidePx).contains(at))
            return;
        QPainterPath text;
        QFont font = painter.font();
        font.setPixelSize(11);
        text.addText(at, font, QString::fromStdString(feature.label));
        painter.setPen(QPen(QColor(255, 255, 255, 220), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(text);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawPath(text);
    }

    std::shared_ptr<geodata::VectorLayer> m_vector;
};

class ResultTiles final : public TileLayer {
public:
    ResultTiles(std::shared_ptr<const coverage::CoverageGrid> grid,
                const std::vector<float>& values, ValueColour colour, CellHatch hatch,
                CellInside covered)
        : m_grid(std::move(grid)), m_values(values), m_colour(std::move(colour)),
          m_hatch(std::move(hatch)), m_covered(std::move(covered)) {
        const geodata::MercatorPoint nw =
            geodata::toMercator({m_grid->northLatDeg, m_grid->westLonDeg});
        const geodata::MercatorPoint se =
            geodata::toMercator({m_grid->northLatDeg - m_grid->rows * m_grid->cellDeg,
                                 m_grid->westLonDeg + m_grid->columns * m_grid->cellDeg});
        m_extent = {nw.xM, se.yM, se.xM, nw.yM};
    }
    // Longitude depends on x alone and latitude on y alone: one cell index per column and
    // per row of the tile, and of the pixels just beyond its edges (for the outline).
    QImage render(const TileId& tile, const std::atomic<bool>&) const override {
        const Extent box = geodata::tileExtent(tile);
        const double pixelM = geodata::metresPerPixel(tile.zoom);
        std::array<int, TileSidePx + 2> columns{}, rows{};
        for (int i = -1; i <= TileSidePx; ++i) {
            const terrain::GeoPoint at =
                geodata::toGeo({box.minXM + (i + 0.5) * pixelM, box.maxYM - (i + 0.5) * pixelM});
            columns[i + 1] =
                cellIndex((at.lonDeg - m_grid->westLonDeg) / m_grid->cellDeg, m_grid->columns);
            rows[i + 1] =
                cellIndex((m_grid->northLatDeg - at.latDeg) / m_grid->cellDeg, m_grid->rows);
        }
        const auto cellAt = [&](int x, int y) -> std::optional<std::size_t> {
            if (rows[y + 1] < 0 || columns[x + 1] < 0)
                return std::nullopt;
            return static_cast<std::size_t>(rows[y + 1]) * m_grid->columns + columns[x + 1];
        };
        const auto covered = [&](int x, int y) {
            const std::optional<std::size_t> cell = cellAt(x, y);
            return cell && m_covered(*cell);
        };
        QImage image(TileSidePx, TileSidePx, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        bool any = false;
        for (int y = 0; y < TileSidePx; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < TileSidePx; ++x) {
                const std::optional<std::size_t> cell = cellAt(x, y);
                if (!cell)
                    continue;
                QRgb colour = m_colour(m_values[*cell]);
                if (colour != 0 && m_hatch && hatchLine(tile, x, y) && m_hatch(*cell))
                    colour = paler(colour);
                if (m_covered && covered(x, y) &&
                    !(covered(x - 1, y) && covered(x + 1, y) && covered(x, y - 1) &&
                      covered(x, y + 1)))
                    colour = OutlineColour;
                line[x] = qPremultiply(colour);
                any = any || colour != 0;
            }
        }
        return any ? image : QImage();
    }
    Extent extent() const override { return m_extent; }

private:
    // Every HatchSpacingPx-th diagonal of the world's pixels at the tile's zoom.
    static bool hatchLine(const TileId& tile, int x, int y) {
        const long long worldX = static_cast<long long>(tile.x) * TileSidePx + x;
        const long long worldY = static_cast<long long>(tile.y) * TileSidePx + y;
        return (worldX + worldY) % HatchSpacingPx == 0;
    }
    static QRgb paler(QRgb colour) {
        return qRgba((qRed(colour) + 3 * 255) / 4, (qGreen(colour) + 3 * 255) / 4,
                     (qBlue(colour) + 3 * 255) / 4, qAlpha(colour));
    }
    static int cellIndex(double position, int count) {
        return position >= 0 && position < count ? static_cast<int>(position) : -1;
    }

    std::shared_ptr<const coverage::CoverageGrid> m_grid;
    const std::vector<float>& m_values;
    ValueColour m_colour;
    CellHatch m_hatch;
    CellInside m_covered;
    Extent m_extent;
};

} // namespace

std::shared_ptr<const TileLayer>
hillshadeTiles(std::shared_ptr<const terrain::TerrainSource> terrain) {
    return std::make_shared<HillshadeTiles>(std::move(terrain));
}

std::shared_ptr<const TileLayer> rasterTiles(std::shared_ptr<geodata::RasterLayer> raster) {
    return std::make_shared<RasterTiles>(std::move(raster));
}

std::shared_ptr<const TileLayer> vectorTiles(std::shared_ptr<geodata::VectorLayer> vector) {
    return std::make_shared<VectorTiles>(std::move(vector));
}

std::shared_ptr<const TileLayer> resultTiles(std::shared_ptr<const coverage::CoverageGrid> grid,
                                             const std::vector<float>& values, ValueColour colour,
                                             CellHatch hatch, CellInside covered) {
    return std::make_shared<ResultTiles>(std::move(grid), values, std::move(colour),
                                         std::move(hatch), std::move(covered));
}

size_t qHash(const TileKey& key, size_t start) {
    return qHashMulti(start, key.layer, key.tile.zoom, key.tile.x, key.tile.y);
}

TileCache::TileCache(int maxTiles, QObject* parent) : QObject(parent), m_maxTiles(maxTiles) {
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
}

TileCache::~TileCache() {
    m_closing = true;
    m_pool.clear();
    m_pool.waitForDone();
}

const QImage* TileCache::find(const TileKey& key) {
    const auto it = m_tiles.constFind(key);
    if (it == m_tiles.cend())
        return nullptr;
    m_lastUse[key] = ++m_clock;
    return &*it;
}

void TileCache::request(const TileKey& key, std::shared_ptr<const TileLayer> layer) {
    if (m_tiles.contains(key) || m_pending.contains(key))
        return;
    if (!geodata::tileExtent(key.tile).intersects(layer->extent())) {
        store(key, QImage());
        return;
    }
    m_pending.insert(key);
    m_pool.start([this, key, layer = std::move(layer)] {
        bool wanted = !m_closing;
        {
            const QMutexLocker lock(&m_wantedMutex);
            wanted = wanted && (m_wanted.isEmpty() || m_wanted.contains(key));
        }
        if (!wanted) {
            QMetaObject::invokeMethod(
                this, [this, key] { m_pending.remove(key); }, Qt::QueuedConnection);
            return;
        }
        QImage image = layer->render(key.tile, m_closing);
        QMetaObject::invokeMethod(
            this, [this, key, image = std::move(image)]() mutable { store(key, std::move(image)); },
            Qt::QueuedConnection);
    });
}

void TileCache::setWanted(QSet<TileKey> keys) {
    const QMutexLocker lock(&m_wantedMutex);
    m_wanted = std::move(keys);
}

void TileCache::forget(quint64 layer) {
    for (auto it = m_tiles.begin(); it != m_tiles.end();) {
        if (it.key().layer == layer) {
            m_lastUse.remove(it.key());
            it = m_tiles.erase(it);
        } else {
            ++it;
        }
    }
}

void TileCache::waitForDone() {
    m_pool.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TileCache::store(const TileKey& key, QImage image) {
    m_pending.remove(key);
    m_tiles.insert(key, std::move(image));
    m_lastUse.insert(key, ++m_clock);
    while (m_tiles.size() > m_maxTiles) {
        const auto oldest = std::min_element(m_lastUse.cbegin(), m_lastUse.cend());
        m_tiles.remove(oldest.key());
        m_lastUse.erase(oldest);
    }
    emit tileReady();
}

} // namespace verdan
