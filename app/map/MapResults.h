#pragma once

#include "LayerStack.h"

#include <verdan/coverage/MapStyle.h>
#include <verdan/coverage/Network.h>

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace verdan {

/// What a result layer colours.
enum class ResultBand {
    Site,           ///< a site's coverage map, in the quantity of its style
    BestServer,     ///< a network's best server, one colour per site
    Overlap,        ///< how many of a network's sites reach the receiver's threshold
    Sinr,           ///< a network's signal to interference plus noise, dB
    StrongestPower, ///< a network's strongest received power, dBm
};

/// A result of the session drawn as a layer: a site's coverage map or one band of a
/// network's merged map, with its own colours and legend.
struct MapResult {
    /// "Tx 45.50000 N 7.25000 E, 14:02:11", "Network of 3 sites, 14:05:40".
    QString name;
    ResultBand band = ResultBand::Site;
    /// The cells' size and place; a site's map holds its bands here. For a network it points
    /// into `network`, and whoever holds it keeps the merged map alive.
    std::shared_ptr<const coverage::CoverageGrid> grid;
    std::shared_ptr<const coverage::NetworkGrid> network;
    /// A network's sites, in the order of their numbers.
    std::vector<QString> siteNames;
    /// The colours of a site's map, of a network's SINR (as a margin) and strongest power.
    coverage::MapStyle style{coverage::MapQuantity::LossDb};
    /// Every input of its run, its size and time.
    QString caption;
    /// The inputs of a site's map.
    std::optional<coverage::CoverageInputs> inputs;
    /// Counts changes of its colours.
    int revision = 0;

    /// The values coloured, one per cell of `grid`.
    const std::vector<float>& values() const;
    /// The colour of a value (transparent for none).
    std::function<coverage::Rgba(float)> colours() const;
    /// "Received power (dBm)", "Best server".
    QString legendTitle() const;
    std::vector<LegendEntry> legend() const;
    /// The value under a point in words: "-85.0 dBm", "2 North", "no data" off its cells.
    QString valueAt(double latDeg, double lonDeg) const;
    /// The layer that draws it, identified by `source`.
    MapLayer layer(const QString& source) const;
};

/// The result layers' data by their sources.
using MapResults = std::map<QString, MapResult>;

/// The four layers of a network's merged map (best server, overlap, SINR, strongest power)
/// named after `name`; `style` gives the palette and the power and margin levels.
std::vector<MapResult> networkResults(std::shared_ptr<const coverage::NetworkGrid> merged,
                                      std::vector<QString> siteNames, const QString& name,
                                      const QString& caption, const coverage::MapStyle& powerStyle,
                                      const coverage::MapStyle& sinrStyle);

} // namespace verdan
