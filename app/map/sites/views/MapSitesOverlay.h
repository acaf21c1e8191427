#pragma once

#include "MapSitesTools.h"

#include <QPointF>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QMenu;
class QPainter;
class QWidget;

namespace verdan {

/// Where a point of the earth is drawn on the map, in the painter's units.
using PixelOf = std::function<QPointF(double latDeg, double lonDeg)>;

/// Draws the sites over the map: a dot and the name of each site, a short stroke toward the
/// azimuth of each site with one, the selected site ringed.
void drawSites(QPainter& painter, const SitesTableModel& sites, const PixelOf& pixelOf);

/// The sites' labels and where they go: sites drawn on one point (the sectors of one mast)
/// share one label, their names joined by commas in row order.
std::vector<std::pair<QPointF, QString>> siteLabels(const SitesTableModel& sites,
                                                    const PixelOf& pixelOf);

/// Draws the path of the profile tool: the two ends of the profile shown, named unless a site
/// of `sites` is drawn there (its label names it), and the straight line between them; nothing
/// before a profile is drawn. While the second click of a path is awaited, only the point of
/// the first is marked.
void drawProfilePath(QPainter& painter, const PathProfileModel& profile, const PixelOf& pixelOf,
                     const SitesTableModel* sites = nullptr);

/// Draws what the tools show on the map: the sites, then the profile tool's path over them.
void drawSitesTools(QPainter& painter, MapSitesTools& tools, const PixelOf& pixelOf);

/// The planning map's panels for these tools, made for the window's docks.
struct MapSitesPanels {
    QWidget* sites = nullptr;      ///< the sites table with the selected antenna
    QWidget* linkBudget = nullptr; ///< the link budget group
    QWidget* profile = nullptr;    ///< the path profile tool
};
MapSitesPanels buildMapSitesPanels(MapSitesTools& tools, QWidget* parent);

/// Adds the tools' entries to a menu, checkable, one at a time: "Pan" (Ctrl+Shift+N; Escape on
/// the map comes back to it too), "Add or Move Sites" (Ctrl+Shift+S) and "Path Profile"
/// (Ctrl+Shift+P); then the Sites table's and the path profile's buttons as entries: open,
/// save, save as, add and remove sites, draw the profile and send it to the point-to-point form.
void addMapSitesActions(QMenu& menu, MapSitesTools& tools);

} // namespace verdan
