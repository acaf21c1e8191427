#pragma once

#include "SettingsStore.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <vector>

namespace verdan {

/// What a layer of the planning map draws.
enum class LayerKind {
    Hillshade, ///< the shaded relief of the terrain in use
    Raster,    ///< a picture read through GDAL: GeoTIFF, MBTiles, a tile service description
    Vector,    ///< features read through OGR: GeoPackage, Shapefile, GeoJSON, KML, OSM
    Result,    ///< a coverage or network result of this session
};

/// One line of a layer's legend: a colour and what it stands for.
struct LegendEntry {
    /// 0xRRGGBB.
    std::uint32_t rgb = 0;
    QString label;
    bool operator==(const LegendEntry&) const = default;
};

/// One layer of the map. `source` names what it draws: the file of a raster or vector
/// layer, the result's identifier of a result layer, empty for the hillshade.
struct MapLayer {
    LayerKind kind = LayerKind::Raster;
    QString source;
    QString name;
    bool visible = true;
    /// 0 (transparent) .. 100 (opaque), percent.
    int opacityPct = 100;
    /// The legend's title (a result's quantity and unit) and lines; empty for none.
    QString legendTitle;
    std::vector<LegendEntry> legend;
    /// Why the layer cannot be drawn (its file is gone or unreadable); empty when it can.
    QString problem;
    /// How far its file has been read, percent, while it is read in the background; -1
    /// otherwise.
    int openingPct = -1;
};

/// The layers of the planning map, the first drawn on top of all others (the order of the
/// layers list). Every change emits changed(). File layers and the hillshade are remembered
/// in the settings store with their visibility, opacity and order; result layers belong to
/// the session and are not.
class LayerStack : public QObject {
    Q_OBJECT
public:
    explicit LayerStack(QObject* parent = nullptr);

    int count() const { return static_cast<int>(m_layers.size()); }
    const MapLayer& at(int index) const { return m_layers.at(static_cast<std::size_t>(index)); }
    const std::vector<MapLayer>& layers() const { return m_layers; }

    /// Puts `layer` on top, or replaces the layer of the same kind and source in its place
    /// (a result computed again); returns its index.
    int add(MapLayer layer);
    /// Removes the layer at `index`; false for an index out of range.
    bool remove(int index);
    /// Index of the layer of `kind` and `source`, -1 when there is none.
    int find(LayerKind kind, const QString& source) const;

    void setVisible(int index, bool visible);
    /// Clamped to 0..100.
    void setOpacity(int index, int opacityPct);
    void setProblem(int index, const QString& problem);
    void setOpening(int index, int percent);
    /// Moves the layer at `from` to `to` (both in range); false otherwise.
    bool move(int from, int to);

    /// The topmost visible result layer, whose legend the map shows; -1 when none.
    int legendLayer() const;

    /// Writes the remembered layers under `section` of `app`, replacing what was there.
    void save(SettingsStore& store, const QString& app, const QString& section) const;
    /// Replaces the remembered layers by those stored; with none stored, the hillshade alone.
    /// Entries of an unknown kind or without a file are skipped. Result layers stay on top.
    void load(SettingsStore& store, const QString& app, const QString& section);

    /// The hillshade layer every map starts with.
    static MapLayer hillshade();

signals:
    void changed();

private:
    bool valid(int index) const { return index >= 0 && index < count(); }

    std::vector<MapLayer> m_layers;
};

} // namespace verdan
