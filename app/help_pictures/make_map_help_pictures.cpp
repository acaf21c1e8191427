// make-map-help-pictures OUT_FOLDER DATA_FOLDER: draws the help's pictures of the planning map
// offscreen from the demo raster and the synthetic demo antennas in DATA_FOLDER, as the
// program shows them: the whole window after a coverage run with the propagation model, its
// printed page, and the link budget group, sites table and path profile tool. Run by the
// build; a picture that comes out blank fails it.
#include "FrmPlanningMapView.h"
#include "LinkBudgetGroupView.h"
#include "MapSitesTools.h"
#include "PathLossService.h"
#include "PathProfileView.h"
#include "ProgramCoverage.h"
#include "SilentPrompter.h"
#include "SitesTableView.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QMainWindow>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

using namespace verdan;

// The coverage transmitter: a mast on the mesa in the middle of the demo raster.
const QString TxLatDeg = QStringLiteral("40.00");
const QString TxLonDegWest = QStringLiteral("105.35");
// Small and coarse: the build draws the map in a few seconds.
const QString RadiusKm = QStringLiteral("9");
const QString ResolutionSec = QStringLiteral("6");
const QSize WindowSize{1100, 820};
// The docks as narrow as their fields allow, for a wide map.
constexpr int LeftDockWidthPx = 310;
constexpr int RightDockWidthPx = 200;
// The result lets the hillshade show through; the view takes in the sites around it.
constexpr int ResultOpacityPct = 75;
constexpr double ZoomOut = 0.75;
// A picture whose commonest colour covers more of the part checked than this is blank.
constexpr double MostOfOneColour = 0.9;

void complain(const QString& text) {
    std::fprintf(stderr, "make-map-help-pictures: %s\n", qPrintable(text));
}

// True when no single colour covers nearly all of `area` of `image`.
bool looksDrawn(const QImage& image, const QRect& area) {
    QHash<QRgb, int> counts;
    int most = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            most = std::max(most, ++counts[image.pixel(x, y)]);
    return most <= MostOfOneColour * area.width() * area.height();
}

// Writes `image` to `path` unless the part `checked` came out blank.
bool write(const QImage& image, const QRect& checked, const QString& path) {
    if (!looksDrawn(image, checked)) {
        complain(QStringLiteral("the picture %1 came out blank").arg(path));
        return false;
    }
    if (image.save(path))
        return true;
    complain(QStringLiteral("cannot write ") + path);
    return false;
}

QImage draw(QWidget& widget, const QSize& size) {
    widget.resize(size);
    widget.show();
    QApplication::processEvents();
    QImage image(size, QImage::Format_RGB32);
    widget.render(&image);
    return image;
}

bool save(QWidget& widget, const QSize& size, const QString& path) {
    const QImage image = draw(widget, size);
    return write(image, image.rect(), path);
}

// The link budget of the runs and profiles: 50 W into the demo panel aimed south-west.
bool setUpLinkBudget(LinkBudgetModel& budget, const QDir& data) {
    budget.setText(LinkBudgetModel::txtPower, QStringLiteral("50"));
    budget.setText(LinkBudgetModel::txtTxLoss, QStringLiteral("2"));
    budget.setText(LinkBudgetModel::txtAntennaFile,
                   data.filePath(QStringLiteral("demo-antennas-synthetic/panel-65-synthetic.msi")));
    budget.setOptAntennaFile(true);
    budget.setText(LinkBudgetModel::txtAzimuth, QStringLiteral("250"));
    budget.setText(LinkBudgetModel::txtTilt, QStringLiteral("3"));
    budget.setText(LinkBudgetModel::txtRxLoss, QStringLiteral("1"));
    budget.setText(LinkBudgetModel::txtThreshold, QStringLiteral("-95"));
    return budget.inputs().has_value();
}

// A small network over the demo terrain, with the demo panel copied beside it: a two-sector
// mast on the plains and a site in the hills.
bool writeNetwork(const QTemporaryDir& folder, const QDir& data, QString& sitesPath) {
    sitesPath = folder.filePath(QStringLiteral("network.csv"));
    const QString panelName = QStringLiteral("panel-65-synthetic.msi");
    QFile sitesFile(sitesPath);
    if (!folder.isValid() || !sitesFile.open(QIODevice::WriteOnly) ||
        !QFile::copy(data.filePath(QStringLiteral("demo-antennas-synthetic/") + panelName),
                     folder.filePath(panelName)))
        return false;
    const QByteArray panel = panelName.toUtf8();
    sitesFile.write("name,lat,lon,height_m,power,tx_loss,antenna,azimuth,tilt,freq_mhz\n"
                    "Plains_W,40.05,-105.26,40,50W,2," + panel + ",250,3,450\n"
                    "Plains_N,40.05,-105.26,40,50W,2," + panel + ",10,3,450\n"
                    "Ridge,39.97,-105.47,10,20W,1,,,,450\n");
    return sitesFile.flush();
}

// The point-to-point form's radio parameters as the runs and profiles take them.
PointToPointInputs radioParameters() {
    PointToPointInputs radio;
    radio.frequencyMHz = 450;
    radio.h1M = 30;
    radio.horizontal = false;
    radio.eps = 15;
    radio.sgmSPerM = 0.005;
    return radio;
}

// The path coordinates form with the demo raster and the mesa as transmitter.
void setUpPath(PathState& path, const QDir& data) {
    path.TerrainSource = QStringLiteral("Raster");
    path.RasterPath = data.filePath(QStringLiteral("demo-raster-synthetic.tif"));
    path.CoordsInDD = true;
    path.TxLatDD = TxLatDeg;
    path.TxLonDD = TxLonDegWest;
    path.RxLatDD = QStringLiteral("39.97");
    path.RxLonDD = QStringLiteral("105.47");
    for (int end : {PathState::TxLatDeg_DD, PathState::RxLatDeg_DD})
        path.coords.at(static_cast<std::size_t>(end + 3)) = QStringLiteral("N");
    for (int end : {PathState::TxLonDeg_DDD, PathState::RxLonDeg_DDD})
        path.coords.at(static_cast<std::size_t>(end + 3)) = QStringLiteral("W");
}

// Narrows the docks as a user would by dragging their edges.
void narrowDocks(FrmPlanningMapView& view) {
    const QList<QDockWidget*> docks = view.findChildren<QDockWidget*>();
    if (docks.isEmpty())
        return;
    auto* main = static_cast<QMainWindow*>(docks.front()->parentWidget());
    QList<int> widths;
    for (QDockWidget* dock : docks)
        widths << (main->dockWidgetArea(dock) == Qt::RightDockWidgetArea ? RightDockWidthPx
                                                                          : LeftDockWidthPx);
    main->resizeDocks(docks, widths, Qt::Horizontal);
}

// The window after a run, with the pointer over the hills west of the mesa, and the picture
// of its printed page.
bool drawWindow(FrmCoverageModel& window, const QDir& out) {
    window.setText(FrmCoverageModel::txtRadius, RadiusKm);
    window.setText(FrmCoverageModel::txtResolution, ResolutionSec);
    window.setText(FrmCoverageModel::txtERP, QString());
    if (!window.cmdRun_Click())
        return false;
    window.run().wait();
    if (!window.run().hasMap()) {
        complain(QStringLiteral("the run gave no map: ") + window.lblStatus());
        return false;
    }
    window.setQuantity(coverage::MapQuantity::PowerDbm);
    window.setChkHatch(false);
    FrmPlanningMapView view(window);
    view.resize(WindowSize);
    view.show();
    narrowDocks(view);
    QApplication::processEvents();
    // As Ctrl+0 does once the window has its size: the whole result in view.
    for (QAction* action : view.findChildren<QAction*>())
        if (action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_0))
            action->trigger();
    MapCanvas& canvas = view.canvas();
    canvas.zoomBy(ZoomOut);
    LayerStack& layers = window.layers();
    for (int i = 0; i < layers.count(); ++i)
        if (layers.at(i).kind == LayerKind::Result)
            layers.setOpacity(i, ResultOpacityPct);
    window.mapHover(39.99, -105.41);
    // A first frame asks for the tiles; the second draws them.
    draw(view, WindowSize);
    canvas.cache().waitForDone();
    const QImage image = draw(view, WindowSize);
    const QRect map(canvas.mapTo(&view, QPoint(0, 0)), canvas.size());
    QString error;
    const QString page = out.filePath(QStringLiteral("printed-page.png"));
    if (!view.saveImage(page, MapFileFormat::Png, error)) {
        complain(error);
        return false;
    }
    const QImage printed(page);
    return write(image, map, out.filePath(QStringLiteral("planning-map.png"))) &&
           write(printed, printed.rect().adjusted(printed.width() / 4, printed.height() / 4,
                                                  -printed.width() / 4, -printed.height() / 4),
                 page);
}

bool drawPictures(const QDir& out, const QDir& data) {
    MemorySettingsStore store;
    SilentPrompter prompter(complain);
    ProgramState state;
    setUpPath(state.path, data);
    PropagationModel model(prompter);
    TerrainLibrary library(prompter);
    CoverageServices coverage = programCoverageServices(library);
    PathProfileServices services;
    services.terrain = [&state, open = coverage.terrain](QString& error) {
        return open(state.path, error);
    };
    services.model = pathLossService(model, radioParameters);
    MapSitesTools tools(state, store, prompter, QStringLiteral("Verdan"), std::move(services));
    QTemporaryDir folder;
    QString sitesPath;
    if (!setUpLinkBudget(tools.linkBudget(), data) || !writeNetwork(folder, data, sitesPath) ||
        !tools.sites().openFile(sitesPath))
        return false;
    tools.sites().setSelectedRow(0);
    PathProfileModel& profile = tools.profile();
    profile.useSite(PathProfileModel::EndA, QStringLiteral("Plains"), 40.05, -105.26, 40);
    profile.useSite(PathProfileModel::EndB, QStringLiteral("Ridge"), 39.97, -105.47, 10);
    if (!profile.cmdProfile_Click())
        return false;

    coverage.linkBudget = [&tools](coverage::CoverageInputs& in) {
        return tools.applyLinkBudget(in);
    };
    AppInfo info;
    info.dataFolder = data.path();
    FrmCoverageModel window(state, store, prompter, info, std::move(coverage), radioParameters,
                            QString());
    window.setSitesTools(&tools);
    window.Form_Load();
    if (!drawWindow(window, out))
        return false;

    SitesTableView sitesView(tools.sites());
    LinkBudgetGroupView budgetView(tools.linkBudget());
    PathProfileView profileView(profile);
    return save(sitesView, {760, 480}, out.filePath(QStringLiteral("sites-table.png"))) &&
           save(budgetView, {380, 480}, out.filePath(QStringLiteral("link-budget.png"))) &&
           save(profileView, {1000, 560}, out.filePath(QStringLiteral("path-profile.png")));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-map-help-pictures OUT_FOLDER DATA_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir data(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(out.path())) {
        complain(QStringLiteral("cannot make the folder ") + out.path());
        return 1;
    }
    return drawPictures(out, data) ? 0 : 1;
}
