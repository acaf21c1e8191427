#include "MapSitesOverlay.h"

#include "LinkBudgetGroupView.h"
#include "PathProfileView.h"
#include "SitesTableView.h"

#include <QActionGroup>
#include <QLineF>
#include <QMenu>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace verdan {

namespace {

const QColor SiteColour(0xc0, 0x20, 0x60);
constexpr double DotPx = 4;
constexpr double AzimuthStrokePx = 18;
constexpr double FirstClickPx = 6;

// The end of a path given by a first click: a cross in a ring, named "A".
void drawFirstClick(QPainter& painter, QPointF at) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(at, FirstClickPx, FirstClickPx);
    painter.drawLine(at - QPointF(FirstClickPx, 0), at + QPointF(FirstClickPx, 0));
    painter.drawLine(at - QPointF(0, FirstClickPx), at + QPointF(0, FirstClickPx));
    painter.drawText(at + QPointF(FirstClickPx + 2, 14), QStringLiteral("A"));
    painter.restore();
}

// True when a site's dot is drawn on `at`: its name is written there already.
bool siteAt(const SitesTableModel* sites, const PixelOf& pixelOf, QPointF at) {
    for (int row = 0; sites && row < sites->rowCount(); ++row) {
        const coverage::Site& site = sites->sites().at(static_cast<std::size_t>(row));
        if (QLineF(pixelOf(site.latDeg, site.lonDeg), at).length() <= DotPx)
            return true;
    }
    return false;
}

} // namespace

std::vector<std::pair<QPointF, QString>> siteLabels(const SitesTableModel& sites,
                                                    const PixelOf& pixelOf) {
    std::vector<std::pair<QPointF, QString>> labels;
    for (const coverage::Site& site : sites.sites()) {
        const QPointF at = pixelOf(site.latDeg, site.lonDeg);
        const QString name = QString::fromStdString(site.name);
        auto same = std::find_if(labels.begin(), labels.end(), [&](const auto& label) {
            return QLineF(label.first, at).length() < 1;
        });
        if (same == labels.end())
            labels.emplace_back(at, name);
        else
            same->second += QStringLiteral(", ") + name;
    }
    return labels;
}

void drawSites(QPainter& painter, const SitesTableModel& sites, const PixelOf& pixelOf) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < sites.rowCount(); ++row) {
        const coverage::Site& site = sites.sites().at(static_cast<std::size_t>(row));
        const QPointF at = pixelOf(site.latDeg, site.lonDeg);
        if (site.azimuthDeg) {
            const double rad = *site.azimuthDeg * M_PI / 180;
            painter.setPen(QPen(SiteColour, 2));
            painter.drawLine(at, at + QPointF(std::sin(rad), -std::cos(rad)) * AzimuthStrokePx);
        }
        painter.setPen(QPen(Qt::white, 1.5));
        painter.setBrush(SiteColour);
        painter.drawEllipse(at, DotPx, DotPx);
        if (row == sites.selectedRow()) {
            painter.setPen(QPen(SiteColour, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(at, DotPx * 2.2, DotPx * 2.2);
        }
    }
    painter.setPen(Qt::black);
    for (const auto& [at, names] : siteLabels(sites, pixelOf))
        painter.drawText(at + QPointF(DotPx * 2.5, -DotPx), names);
    painter.restore();
}

void drawProfilePath(QPainter& painter, const PathProfileModel& profile, const PixelOf& pixelOf,
                     const SitesTableModel* sites) {
    if (const std::optional<terrain::GeoPoint> first = profile.firstClick())
        return drawFirstClick(painter, pixelOf(first->latDeg, first->lonDeg));
    const std::optional<DrawnPath>& path = profile.drawnPath();
    if (!path)
        return;
    const QPointF from = pixelOf(path->a.latDeg, path->a.lonDeg);
    const QPointF to = pixelOf(path->b.latDeg, path->b.lonDeg);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 2, Qt::DashLine));
    painter.drawLine(from, to);
    painter.setPen(Qt::black);
    if (!siteAt(sites, pixelOf, from))
        painter.drawText(from + QPointF(6, 14), path->nameA);
    if (!siteAt(sites, pixelOf, to))
        painter.drawText(to + QPointF(6, 14), path->nameB);
    painter.restore();
}

void drawSitesTools(QPainter& painter, MapSitesTools& tools, const PixelOf& pixelOf) {
    drawSites(painter, tools.sites(), pixelOf);
    drawProfilePath(painter, tools.profile(), pixelOf, &tools.sites());
}

MapSitesPanels buildMapSitesPanels(MapSitesTools& tools, QWidget* parent) {
    return {new SitesTableView(tools.sites(), parent), new LinkBudgetGroupView(tools.linkBudget(), parent),
            new PathProfileView(tools.profile(), parent)};
}

namespace {

// The sites table's and the profile tool's buttons as menu entries with keys of their own.
void addSitesFileActions(QMenu& menu, MapSitesTools& tools) {
    SitesTableModel& sites = tools.sites();
    const auto add = [&](const QString& text, const char* keys, auto handler) {
        menu.addAction(text, QKeySequence(QString::fromLatin1(keys)), &tools, handler);
    };
    menu.addSeparator();
    add(QStringLiteral("&Open Sites..."), "Ctrl+Shift+O", [&sites] { sites.mnuOpen_Click(); });
    add(QStringLiteral("Save S&ites"), "Ctrl+Alt+S", [&sites] { sites.mnuSave_Click(); });
    add(QStringLiteral("Save Sites &As..."), "Ctrl+Alt+Shift+S", [&sites] { sites.mnuSaveAs_Click(); });
    add(QStringLiteral("A&dd Site"), "Ctrl+Shift+A", [&sites] { sites.cmdAdd_Click(); });
    add(QStringLiteral("&Remove Site"), "Ctrl+Shift+Del",
        [&sites] { sites.removeSite(sites.selectedRow()); });
    menu.addSeparator();
    add(QStringLiteral("&Draw Profile"), "Ctrl+Shift+D", [&tools] { tools.profile().cmdProfile_Click(); });
    add(QStringLiteral("&Send Profile to Point-to-Point Form"), "Ctrl+Shift+T",
        [&tools] { tools.profile().cmdSendToPtoP_Click(); });
}

} // namespace

void addMapSitesActions(QMenu& menu, MapSitesTools& tools) {
    auto* group = new QActionGroup(&menu);
    const auto add = [&](const QString& text, const QKeySequence& keys, MapSitesTools::Tool tool) {
        QAction* action = menu.addAction(text);
        action->setShortcut(keys);
        action->setCheckable(true);
        action->setChecked(tools.tool() == tool);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, &tools, [&tools, tool] { tools.setTool(tool); });
        QObject::connect(&tools, &MapSitesTools::toolChanged, action,
                         [&tools, action, tool] { action->setChecked(tools.tool() == tool); });
    };
    add(QStringLiteral("&Pan"), QKeySequence(QStringLiteral("Ctrl+Shift+N")), MapSitesTools::Tool::Pan);
    add(QStringLiteral("Add or &Move Sites"), QKeySequence(QStringLiteral("Ctrl+Shift+S")), MapSitesTools::Tool::AddSite);
    add(QStringLiteral("Path Pro&file"), QKeySequence(QStringLiteral("Ctrl+Shift+P")), MapSitesTools::Tool::PathProfile);
    addSitesFileActions(menu, tools);
}

} // namespace verdan
