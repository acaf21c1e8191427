// The planning map's whole-network run: every site of the sites table with its own columns,
// merged in memory into the best server, overlap, SINR and strongest power layers.
#include "FrmCoverageModel.h"

#include "MapSitesTools.h"

#include "NumberFormat.h"

#include <verdan/coverage/Sites.h>

#include <QDateTime>

#include <array>

namespace verdan {

namespace {

const QString NetworkTitle = QStringLiteral("Run Network");

QString areaText(double km2) {
    return numfmt::formatPattern(km2, u"0.00") + QStringLiteral(" km2");
}

// The keys of the network's layers in the order networkResults() gives them.
constexpr std::array<const char*, 4> NetworkBandKeys = {"server", "overlap", "sinr", "power"};

} // namespace

// The window's inputs given each site's columns; empty when something was refused (and told).
std::optional<std::vector<coverage::CoverageInputs>> FrmCoverageModel::networkInputs() {
    const std::vector<coverage::Site> sites =
        m_sitesTools ? m_sitesTools->sites().sites() : std::vector<coverage::Site>{};
    if (sites.empty()) {
        inform(m_prompter, QStringLiteral("The sites table has no site: open a sites file or add "
                                          "sites before running the network."),
               NetworkTitle);
        return std::nullopt;
    }
    const std::optional<coverage::CoverageInputs> base =
        checkFields() ? windowInputs({sites[0].latDeg, sites[0].lonDeg}) : std::nullopt;
    if (!base)
        return std::nullopt;
    if (!base->receiver.threshold) {
        inform(m_prompter, QStringLiteral("The network needs the receiver's threshold (Link "
                                          "Budget): the overlap counts the sites that reach it."),
               NetworkTitle);
        return std::nullopt;
    }
    const std::string sitesPath = m_sitesTools->sites().filePath().toStdString();
    std::vector<coverage::CoverageInputs> inputs;
    for (std::size_t i = 0; i < sites.size(); ++i) {
        coverage::CoverageInputs& in = inputs.emplace_back(*base);
        std::string fault = coverage::applySite(sites[i], sitesPath, in);
        if (fault.empty() && !in.hasLinkBudget())
            fault = "column power: the site needs a power, or the window an ERP";
        if (!fault.empty()) {
            inform(m_prompter,
                   QStringLiteral("Site %1 (row %2 of the sites table): %3")
                       .arg(QString::fromStdString(sites[i].name))
                       .arg(i + 1)
                       .arg(QString::fromStdString(fault)),
                   NetworkTitle);
            return std::nullopt;
        }
    }
    return inputs;
}

bool FrmCoverageModel::mnuRunNetwork_Click() {
    if (busy())
        return false;
    const std::optional<std::vector<coverage::CoverageInputs>> inputs = networkInputs();
    if (!inputs)
        return false;
    // The sites' maps are held together for the merge: neither they nor the merged map may
    // pass the engine's limit on the cells of a map.
    std::vector<coverage::CoverageGrid> layouts;
    std::vector<const coverage::CoverageGrid*> grids;
    std::vector<std::string> names;
    long long heldCells = 0;
    for (std::size_t i = 0; i < inputs->size(); ++i) {
        layouts.push_back(coverage::gridLayout((*inputs)[i]));
        names.push_back(m_sitesTools->sites().sites()[i].name);
        heldCells += layouts.back().cellCount();
    }
    for (const coverage::CoverageGrid& layout : layouts)
        grids.push_back(&layout);
    coverage::CoverageGrid merged;
    coverage::Status status = coverage::networkLayout(grids, names, merged);
    if (status.ok && heldCells > coverage::MaxCells)
        status = coverage::Status::failure(
            "the sites' maps would hold " + std::to_string(heldCells) + " cells together, more than the " +
            std::to_string(coverage::MaxCells) + " allowed: use a coarser resolution or a smaller radius");
    if (!status.ok) {
        inform(m_prompter, QStringLiteral("The network was not run: ") +
                               QString::fromStdString(status.message),
               NetworkTitle);
        return false;
    }
    QString error;
    std::shared_ptr<const terrain::TerrainSource> terrain =
        m_services.terrain ? m_services.terrain(m_state.path, error) : nullptr;
    if (!terrain) {
        inform(m_prompter, QStringLiteral("The terrain cannot be read: ") + error, NetworkTitle,
               MsgIcon::Critical);
        return false;
    }
    m_cancelled = false;
    m_runClimate = m_radio().climateText;
    return m_run.startNetwork(*inputs, std::move(names), coverage::ChannelSettings{},
                              std::move(terrain));
}

// The merged map becomes four layers, the best server on top; a network of the same sites and
// inputs replaces its own.
void FrmCoverageModel::addNetworkResults() {
    ++m_mapRevision;
    m_hover.clear();
    const std::shared_ptr<const coverage::NetworkGrid> merged = m_run.takeNetwork();
    std::vector<QString> names;
    QString key = QStringLiteral("network");
    const QString terrainName = QString::fromStdString(m_run.terrain()->displayName());
    for (std::size_t i = 0; i < m_run.networkNames().size(); ++i) {
        names.push_back(QString::fromStdString(m_run.networkNames()[i]));
        key += u'|' + names.back() + u' ' +
               inputsText(m_run.networkSites()[i], m_runClimate, terrainName);
    }
    const coverage::NetworkArea area = coverage::networkArea(*merged, coverage::ChannelSettings{});
    const QString caption =
        QString::number(names.size()) + QStringLiteral(" sites (") +
        QStringList(names.begin(), names.end()).join(QStringLiteral(", ")) +
        QStringLiteral("), every site's inputs as a single run's: ") + lblStatus() +
        QStringLiteral("; covered ") + areaText(area.network.coveredKm2) + QStringLiteral(" of ") +
        areaText(area.network.discKm2) + QStringLiteral(" at or above the threshold; served by "
                                                        "more than one site ") +
        areaText(area.multiServedKm2) + QStringLiteral("; SINR at or above 0 dB ") +
        areaText(area.sinrAboveKm2);
    const QString name = QStringLiteral("Network of ") + QString::number(names.size()) +
                         QStringLiteral(" sites, ") +
                         QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"));
    std::vector<MapResult> results = networkResults(
        merged, names, name, caption, styleOf(coverage::MapQuantity::PowerDbm),
        styleOf(coverage::MapQuantity::MarginDb));
    for (std::size_t i = results.size(); i-- > 0;) {
        const QString source = key + u'|' + QLatin1String(NetworkBandKeys.at(i));
        const MapLayer layer = results[i].layer(source);
        m_results.insert_or_assign(source, std::move(results[i]));
        m_layers.add(layer);
    }
    reportLine(QStringLiteral("Network map: ") + caption);
}

} // namespace verdan
