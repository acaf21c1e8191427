#pragma once

#include <verdan/coverage/Coverage.h>
#include <verdan/geodata/RasterLayer.h>
#include <verdan/geodata/VectorLayer.h>

#include <QHash>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <memory>

namespace verdan {

/// One layer of the planning map drawn tile by tile. render() runs on worker threads, any
/// number at once.
class TileLayer {
public:
    virtual ~TileLayer() = default;
    /// The picture of `tile`, geodata::TileSidePx a side; a null image when the layer has
    /// nothing there or `cancel` was set.
    virtual QImage render(const geodata::TileId& tile, const std::atomic<bool>& cancel) const = 0;
    /// Where the layer has anything, in the display projection (tiles outside are not asked).
    virtual geodata::Extent extent() const = 0;
};

/// The shaded relief of the terrain in use.
std::shared_ptr<const TileLayer>
hillshadeTiles(std::shared_ptr<const terrain::TerrainSource> terrain);
/// A picture warped through GDAL.
std::shared_ptr<const TileLayer> rasterTiles(std::shared_ptr<geodata::RasterLayer> raster);
/// Roads, borders, areas, points and place names of a vector file.
std::shared_ptr<const TileLayer> vectorTiles(std::shared_ptr<geodata::VectorLayer> vector);

/// The colour of a result's value: 0xAARRGGBB, 0 for none (the cell is not coloured).
using ValueColour = std::function<QRgb(float value)>;
/// Whether the cell of that index is hatched (its figure is doubtful).
using CellHatch = std::function<bool(std::size_t cell)>;
/// Whether the cell of that index lies inside an outlined area.
using CellInside = std::function<bool(std::size_t cell)>;
/// A coverage result's cells, each pixel taking the colour of the cell under its centre;
/// `values` is one of `grid`'s value vectors (kept alive with it). Coloured cells that `hatch`
/// (when given) marks are crossed by pale diagonal lines, continuous from tile to tile. The
/// area of the cells `covered` accepts (when given) is outlined: its pixels next to a pixel
/// outside it are drawn black.
std::shared_ptr<const TileLayer> resultTiles(std::shared_ptr<const coverage::CoverageGrid> grid,
                                             const std::vector<float>& values, ValueColour colour,
                                             CellHatch hatch = {}, CellInside covered = {});

/// Which tile of which layer: the layer's number is given by whoever owns the layer and is
/// changed when its picture changes (a result coloured anew).
struct TileKey {
    quint64 layer = 0;
    geodata::TileId tile;
    bool operator==(const TileKey&) const = default;
};
size_t qHash(const TileKey& key, size_t start = 0);

/// The rendered tiles of every layer, the most recently used kept up to a count, and the
/// renders in the background on a pool of threads of its own: the user-interface thread
/// never waits for a tile. Lives on the user-interface thread; tileReady() is emitted there.
class TileCache : public QObject {
    Q_OBJECT
public:
    explicit TileCache(int maxTiles = 768, QObject* parent = nullptr);
    /// Stops the renders not begun and waits for those under way.
    ~TileCache() override;

    /// The tile when rendered (a null image for a tile the layer has nothing in), else
    /// nullptr.
    const QImage* find(const TileKey& key);
    /// Starts rendering `key` unless it is cached or on its way.
    void request(const TileKey& key, std::shared_ptr<const TileLayer> layer);
    /// Only these tiles are still wanted: renders of others not begun yet are skipped.
    void setWanted(QSet<TileKey> keys);
    /// Forgets every tile of `layer`.
    void forget(quint64 layer);
    /// Waits until every render has ended and its tile is cached (tests, printing).
    void waitForDone();

signals:
    void tileReady();

private:
    void store(const TileKey& key, QImage image);

    int m_maxTiles;
    QHash<TileKey, QImage> m_tiles;
    QHash<TileKey, quint64> m_lastUse;
    quint64 m_clock = 0;
    QSet<TileKey> m_pending;
    QMutex m_wantedMutex;
    QSet<TileKey> m_wanted;
    std::atomic<bool> m_closing{false};
    QThreadPool m_pool;
};

} // namespace verdan
