#include "MapSitesTools.h"

#include "NumberFormat.h"

#include <verdan/radio/Units.h>

#include <cmath>

namespace verdan {

namespace {

PathProfileServices withBudget(PathProfileServices services, LinkBudgetModel& budget) {
    services.budget = [&budget] { return budget.inputs(); };
    return services;
}

} // namespace

MapSitesTools::MapSitesTools(ProgramState& state, SettingsStore& store, Prompter& prompter,
                             const QString& app, PathProfileServices services, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_linkBudget(store, prompter, app), m_sites(prompter),
      m_profile(state, prompter, withBudget(std::move(services), m_linkBudget)) {}

void MapSitesTools::setTool(Tool tool) {
    if (m_tool == tool)
        return;
    m_tool = tool;
    m_profile.cancelTool();
    emit toolChanged();
}

void MapSitesTools::mapClicked(double latDeg, double lonDeg) {
    switch (m_tool) {
    case Tool::AddSite:
        m_sites.addSite(latDeg, lonDeg);
        break;
    case Tool::PathProfile:
        m_profile.mapClicked(latDeg, lonDeg);
        break;
    case Tool::Pan:
        break;
    }
}

int MapSitesTools::siteNear(double latDeg, double lonDeg, double toleranceDeg) const {
    int best = -1;
    double bestDeg = toleranceDeg;
    const double lonScale = std::cos(latDeg * M_PI / 180);
    for (int row = 0; row < m_sites.rowCount(); ++row) {
        const coverage::Site& site = m_sites.sites().at(static_cast<std::size_t>(row));
        const double offDeg = std::hypot(site.latDeg - latDeg, (site.lonDeg - lonDeg) * lonScale);
        if (offDeg <= bestDeg) {
            best = row;
            bestDeg = offDeg;
        }
    }
    return best;
}

bool MapSitesTools::dragSite(int row, double latDeg, double lonDeg) {
    return m_tool == Tool::AddSite && m_sites.moveSite(row, latDeg, lonDeg);
}

void MapSitesTools::escape() {
    setTool(Tool::Pan);
    m_profile.cancelTool();
}

bool MapSitesTools::applyLinkBudget(coverage::CoverageInputs& in) {
    const std::optional<LinkBudgetInputs> budget = m_linkBudget.inputs();
    if (!budget)
        return false;
    if (in.erpDbw && budget->tx.powerDbm) {
        inform(m_prompter,
               QStringLiteral("Give either the ERP or the link budget's transmitter power, not both: "
                              "the ERP holds the power, line loss and gain already"),
               m_linkBudget.caption(), MsgIcon::Warning);
        return false;
    }
    in.transmitter = budget->tx;
    in.receiver = budget->rx;
    return true;
}

bool MapSitesTools::profileBetweenSites(int rowA, int rowB) {
    if (rowA < 0 || rowB < 0 || rowA >= m_sites.rowCount() || rowB >= m_sites.rowCount())
        return false;
    const auto use = [&](PathProfileModel::End end, int row) {
        const coverage::Site& site = m_sites.sites().at(static_cast<std::size_t>(row));
        const PathProfileModel::Field height = end == PathProfileModel::EndA ? PathProfileModel::txtHeightA
                                                                            : PathProfileModel::txtHeightB;
        const double heightM = site.heightM.value_or(radio::parseDecimal(m_profile.text(height).toStdString()).value_or(10));
        m_profile.useSite(end, QString::fromStdString(site.name), site.latDeg, site.lonDeg, heightM);
    };
    use(PathProfileModel::EndA, rowA);
    use(PathProfileModel::EndB, rowB);
    if (const auto freq = m_sites.sites().at(static_cast<std::size_t>(rowA)).freqMHz)
        m_profile.setText(PathProfileModel::txtFreq, numfmt::generalNumber(*freq));
    return m_profile.cmdProfile_Click();
}

} // namespace verdan
