#pragma once

#include "LinkBudgetModel.h"
#include "PathProfileModel.h"
#include "SitesTableModel.h"

#include <verdan/coverage/Coverage.h>

#include <QObject>
#include <optional>

namespace verdan {

/// The planning map's sites, link budget and path profile tools together, as the map's
/// window holds them: the three screen models wired to each other (the path profile takes
/// its budget from the link budget group and its ends from the sites), and what a click, a
/// drag and Escape on the map mean for the tool in use.
class MapSitesTools : public QObject {
    Q_OBJECT
public:
    /// What a click on the map does.
    enum class Tool {
        Pan,        ///< nothing: the map pans
        AddSite,    ///< a click adds a site; a drag on a site moves it
        PathProfile ///< two clicks give a path profile
    };

    /// `app` names the settings of the link budget group. `services.budget` is set here.
    MapSitesTools(ProgramState& state, SettingsStore& store, Prompter& prompter, const QString& app,
                  PathProfileServices services, QObject* parent = nullptr);

    LinkBudgetModel& linkBudget() { return m_linkBudget; }
    SitesTableModel& sites() { return m_sites; }
    PathProfileModel& profile() { return m_profile; }

    Tool tool() const { return m_tool; }
    void setTool(Tool tool);

    /// A click on the map at a point.
    void mapClicked(double latDeg, double lonDeg);
    /// The row of the site nearest to a point within `toleranceDeg` (the map gives a few
    /// pixels' worth), or -1: where a drag starts.
    int siteNear(double latDeg, double lonDeg, double toleranceDeg) const;
    /// A site dragged to a point (with the site tool).
    bool dragSite(int row, double latDeg, double lonDeg);
    /// Escape: back to panning, and a path started by one click is forgotten.
    void escape();
    /// The path profile between two sites of the table, with their antenna heights (the
    /// path tool's height where a site has none).
    bool profileBetweenSites(int rowA, int rowB);

    /// Gives a coverage run the link budget group's transmitter and receiver. False (told)
    /// when the group refuses its inputs, or when the run already has an ERP and the group a
    /// transmitter power: the ERP holds the power, line loss and gain already.
    bool applyLinkBudget(coverage::CoverageInputs& in);

signals:
    void toolChanged();

private:
    Prompter& m_prompter;
    LinkBudgetModel m_linkBudget;
    SitesTableModel m_sites;
    PathProfileModel m_profile;
    Tool m_tool = Tool::Pan;
};

} // namespace verdan
