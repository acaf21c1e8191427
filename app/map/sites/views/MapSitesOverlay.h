#pragma once

#include "MapSitesTools.h"

#include <QPointF>
#include <functional>

class QMenu;
class QPainter;
class QWidget;

namespace verdan {

class LinkBudgetGroupView;
class PathProfileView;
class SitesTableView;

/// Where a point of the earth is drawn on the map, in the painter's units.
using PixelOf = std::function<QPointF(double latDeg, double lonDeg)>;

/// Draws the sites over the map: a dot and the name of each site, a short stroke toward the
/// azimuth of each site with one, the selected site ringed.
void drawSites(QPainter& painter, const SitesTableModel& sites, const PixelOf& pixelOf);

/// Draws the path of the profile tool: its two ends named and the straight line between
/// them; nothing before a profile is drawn.
void drawProfilePath(QPainter& painter, const PathProfileModel& profile, const PixelOf& pixelOf);

/// The planning map's panels for these tools, made for the window's docks.
struct MapSitesPanels {
    SitesTableView* sites = nullptr;
    LinkBudgetGroupView* linkBudget = nullptr;
    PathProfileView* profile = nullptr;
};
MapSitesPanels buildMapSitesPanels(MapSitesTools& tools, QWidget* parent);

/// Adds the tools' entries to a menu: "Add or Move Sites" (Ctrl+Shift+S) and "Path Profile"
/// (Ctrl+Shift+P), checkable, one at a time; "Pan" (Escape ends either).
void addMapSitesActions(QMenu& menu, MapSitesTools& tools);

} // namespace verdan
