#include "FrmPlanningMapView.h"

#include "MapSitesTools.h"

#include "CoverageFakes.h"
#include "ScriptedPrompter.h"
#include "SettingsStore.h"
#include "TestFiles.h"
#include "WidgetPrompter.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

namespace verdan {
namespace {

class PlanningMap : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::makeApplication<QApplication>(); }

    void SetUp() override {
        test::setPathCoords(state.path, {"45", "0", "0", "N", "7", "0", "0", "E", "45", "0", "30",
                                         "N", "7", "0", "30", "E"});
        CoverageServices services = test::syntheticServices();
        services.engine = [](const coverage::CoverageInputs& in, const terrain::TerrainSource&,
                             coverage::RunControl&) {
            coverage::CoverageResult result = test::syntheticRun(in);
            result.grid.warning[4 * 8 + 2] = 4; // a coloured cell with a warning
            return result;
        };
        model = std::make_unique<FrmCoverageModel>(state, store, prompter, info,
                                                   std::move(services),
                                                   [] { return PointToPointInputs{}; }, QString());
        model->Form_Load();
        view = std::make_unique<FrmPlanningMapView>(*model);
        view->resize(1200, 780);
        view->show();
    }

    void run() {
        static_cast<QPushButton*>(view->control("cmdRun"))->click();
        ASSERT_TRUE(test::processUntil([&] { return model->run().state() == RunState::Done; }));
    }

    // The map once every tile it asked for is drawn.
    QImage settledMap() {
        MapCanvas& canvas = view->canvas();
        canvas.grab();
        canvas.cache().waitForDone();
        return canvas.grab().toImage();
    }

    // The window made again with the sites tools docked beside the map.
    void dockSitesTools() {
        model->setSitesTools(&tools);
        view.reset();
        view = std::make_unique<FrmPlanningMapView>(*model);
        view->show();
    }

    // The pixel `dy` of a cell down and `dx` across from its north-west corner.
    QColor pixelOfCell(const QImage& map, int row, int column, double dy = 0.5, double dx = 0.5) {
        const coverage::CoverageGrid& grid = model->run().grid();
        const geodata::MercatorPoint at =
            geodata::toMercator({grid.northLatDeg - (row + dy) * grid.cellDeg,
                                 grid.westLonDeg + (column + dx) * grid.cellDeg});
        const geodata::ScreenPoint p =
            view->canvas().camera().toScreen(at, map.width(), map.height());
        return map.pixelColor(int(p.xPx), int(p.yPx));
    }

    ProgramState state;
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    AppInfo info;
    PathProfileServices noTerrain;
    MapSitesTools tools{state, store, prompter, info.title, noTerrain};
    std::unique_ptr<FrmCoverageModel> model;
    std::unique_ptr<FrmPlanningMapView> view;
};

// The colour of the map's band `band` (0 for the best), as the window's style gives it.
QColor bandColour(const FrmCoverageModel& model, int band) {
    const coverage::Rgba colour = model.mapStyle().legend().at(std::size_t(band)).colour;
    return QColor(colour.red, colour.green, colour.blue);
}

TEST_F(PlanningMap, ARunBecomesALayerWithItsLegendAndReadOutAndFileLayersGoOverIt) {
    run();
    LayerStack& layers = model->layers();
    ASSERT_EQ(layers.count(), 2);
    EXPECT_EQ(layers.at(0).kind, LayerKind::Result);
    EXPECT_EQ(layers.legendLayer(), 0);
    layers.setOpacity(0, 100);
    const QImage map = settledMap();
    // Losses 105, 115, ... dB fall in the bands of the levels 110, 120, ... dB.
    for (int column = 1; column < 6; ++column)
        EXPECT_EQ(pixelOfCell(map, 3, column), bandColour(*model, column)) << column;
    const QColor hillshade = pixelOfCell(map, 0, 0); // no value: the relief shows
    EXPECT_EQ(hillshade.red(), hillshade.green());
    EXPECT_EQ(hillshade.red(), hillshade.blue());
    const auto* legend = static_cast<QLabel*>(view->control("lblLegend"));
    EXPECT_TRUE(legend->text().contains(QStringLiteral("Basic transmission loss")));
    EXPECT_TRUE(legend->text().contains(bandColour(*model, 0).name()));

    const geodata::ScreenPoint centre =
        view->canvas().camera().toScreen(geodata::toMercator(model->run().inputs().tx),
                                         map.width(), map.height());
    QTest::mouseMove(&view->canvas(), QPoint(int(centre.xPx), int(centre.yPx)));
    EXPECT_TRUE(static_cast<QLabel*>(view->control("lblHover"))->text().contains(
        QStringLiteral(" dB")));

    // Hidden from the list, the result leaves the relief alone and its legend goes.
    auto* list = static_cast<QListWidget*>(view->control("lstLayers"));
    list->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(layers.at(0).visible);
    const QColor bare = pixelOfCell(settledMap(), 4, 2);
    EXPECT_EQ(bare.red(), bare.blue());
    EXPECT_FALSE(legend->text().contains(QStringLiteral("Basic transmission loss")));

    // File layers go over it: a vector file is drawn, one that cannot be read is said so.
    QTemporaryDir dir;
    const QString roads = dir.filePath(QStringLiteral("roads.geojson"));
    ASSERT_TRUE(test::writeContent(roads, R"({"type": "FeatureCollection", "features": [{"type":
        "Feature", "properties": {"highway": "primary"}, "geometry": {"type": "LineString",
        "coordinates": [[6.9, 45.0], [7.1, 45.0]]}}]})"));
    view->canvas().setCamera(geodata::MapCamera(geodata::toMercator({45, 7}), 20));
    MapLayer layer;
    layer.kind = LayerKind::Vector;
    layer.source = roads;
    layers.add(layer);
    layer.kind = LayerKind::Raster; // a file that is not there
    layer.source = dir.filePath(QStringLiteral("gone.tif"));
    layers.add(layer);
    const auto roadAcross = [&] { // once read in the background
        const QImage roadMap = settledMap();
        for (int y = roadMap.height() / 2 - 3; y <= roadMap.height() / 2 + 3; ++y) {
            const QColor pixel = roadMap.pixelColor(roadMap.width() / 2, y);
            if (pixel.red() > pixel.blue() + 80)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(test::processUntil(roadAcross)) << "the road drawn across the middle";
    ASSERT_TRUE(test::processUntil([&] { return !layers.at(0).problem.isEmpty(); }));
    EXPECT_TRUE(list->item(0)->text().endsWith(QStringLiteral("(cannot be shown)")));
    EXPECT_TRUE(list->item(0)->toolTip().contains(QStringLiteral("gone.tif")));
    EXPECT_FALSE(list->item(1)->text().endsWith(QStringLiteral("(cannot be shown)")));

    // Escape ends the tool, not the window.
    QTest::keyClick(view.get(), Qt::Key_Escape);
    EXPECT_TRUE(view->isVisible());
}

TEST_F(PlanningMap, WarnedCellsKeepTheirColourUnderAHatchThatCanBeSwitchedOff) {
    // Regression: the tiles of a result drew no hatch over cells with a model warning.
    run();
    model->layers().setOpacity(0, 100);
    const coverage::CoverageGrid& shown = model->run().grid();
    view->canvas().setCamera(geodata::MapCamera(
        geodata::toMercator({shown.northLatDeg - 4 * shown.cellDeg,
                             shown.westLonDeg + 2.5 * shown.cellDeg}),
        20));
    const auto cellPixels = [&](int row, int column) {
        const QImage map = settledMap();
        QSet<QRgb> seen;
        for (double dy : {0.2, 0.4, 0.6, 0.8})
            for (double dx = 0.1; dx < 0.95; dx += 0.05)
                seen.insert(pixelOfCell(map, row, column, dy, dx).rgb() & 0xffffff);
        return seen;
    };
    const QRgb band = bandColour(*model, 2).rgb() & 0xffffff;
    const QSet<QRgb> hatched = cellPixels(4, 2);
    EXPECT_TRUE(hatched.contains(band));
    EXPECT_GT(hatched.size(), 1) << "pale lines across the colour";
    EXPECT_EQ(cellPixels(3, 2), QSet<QRgb>{band}) << "a cell without a warning";
    model->setChkHatch(false);
    EXPECT_EQ(cellPixels(4, 2), QSet<QRgb>{band});
}

TEST_F(PlanningMap, ThePrintedPageHoldsTheMapTheLegendAndTheCaption) {
    run();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.png"));
    QString error;
    ASSERT_TRUE(view->saveImage(path, MapFileFormat::Png, error)) << error.toStdString();
    const QImage page(path);
    ASSERT_EQ(page.size(), QSize(1200, 850));
    // The legend's swatches on the right, every band's colour.
    QSet<QRgb> right;
    for (int y = 0; y < page.height(); ++y)
        for (int x = page.width() - 200; x < page.width(); ++x)
            right.insert(page.pixel(x, y) & 0xffffff);
    for (int band = 0; band < 6; ++band) {
        EXPECT_TRUE(right.contains(bandColour(*model, band).rgb() & 0xffffff)) << band;
    }
    EXPECT_EQ(page.pixelColor(5, 5), QColor(Qt::white));

    // The view as it is: a picture of the canvas, and a GeoTIFF that lies where it shows.
    ASSERT_TRUE(view->exportView(dir.filePath(QStringLiteral("view.png")), error));
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("view.png"))).size(), view->canvas().size());
    ASSERT_TRUE(view->exportView(dir.filePath(QStringLiteral("view.tif")), error));
    std::unique_ptr<geodata::RasterLayer> tif;
    ASSERT_TRUE(geodata::RasterLayer::open(dir.filePath(QStringLiteral("view.tif")).toStdString(), tif).ok);
    const geodata::Extent shown =
        view->canvas().camera().visible(view->canvas().width(), view->canvas().height());
    EXPECT_NEAR(tif->extent().minXM, shown.minXM, 1);
    EXPECT_NEAR(tif->extent().maxYM, shown.maxYM, 1);
}

TEST_F(PlanningMap, PdfIsALandscapePageOfTheUsersPaperWithTextOfAReadableSize) {
    // Regression: the legend's text came out ten times too large over a faded map.
    run();
    model->layers().setOpacity(0, 100);
    QTemporaryDir dir;
    for (const auto& [locale, widthIn, heightIn] :
         {std::tuple{QLocale(QLocale::German, QLocale::Germany), 297 / 25.4, 210 / 25.4},
          std::tuple{QLocale(QLocale::English, QLocale::UnitedStates), 11.0, 8.5}}) {
        QLocale::setDefault(locale);
        const QString pdf = dir.filePath("map.pdf");
        prompter.queueSaveFile(pdf);
        model->mnuFileSaveMap_Click();
        QLocale::setDefault(QLocale::c());
        const QString prefix = dir.filePath("page");
        QFile::remove(prefix + "-1.png");
        ASSERT_EQ(QProcess::execute(QStringLiteral(VERDAN_PDFTOPPM),
                                    {"-r", "50", "-png", pdf, prefix}),
                  0);
        const QImage page(prefix + "-1.png");
        ASSERT_FALSE(page.isNull());
        EXPECT_NEAR(page.width(), widthIn * 50, 2);
        EXPECT_NEAR(page.height(), heightIn * 50, 2);
        // The legend's swatch of the first level: a few pixels high, as a line of 8 pt text.
        const QColor band = bandColour(*model, 0);
        int top = page.height();
        int bottom = -1;
        long long mapPixels = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                mapPixels += c.red() != c.green() || c.green() != c.blue() ? 1 : 0;
                if (x > page.width() * 3 / 4 && c == band) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        ASSERT_GE(bottom, top);
        EXPECT_LE(bottom - top + 1, 9);
        EXPECT_GE(bottom - top + 1, 3);
        EXPECT_GT(static_cast<double>(mapPixels) / (page.width() * page.height()), 0.15)
            << "the map fills a good part of the page in full colour";
    }
}

TEST_F(PlanningMap, AWindowBesideItsOwnerClosesWithItLetsItGoOnAndKeepsItsLayout) {
    ViewRegistry views;
    registerPlanningMapViews(views);
    WidgetPrompter widgets(views);
    view.reset();
    for (const bool ownerCloses : {false, true}) {
        auto owner = std::make_unique<QDialog>();
        owner->show();
        widgets.setOwner(owner.get());
        int closed = 0;
        widgets.showModeless(*model, [&] {
            ++closed;
            model->Form_Unload();
        });
        auto* window = owner->findChild<FrmPlanningMapView*>();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->isModal());
        if (ownerCloses) {
            owner.reset();
        } else {
            window->findChild<QDockWidget*>(QStringLiteral("dockLegend"))->hide();
            model->mnuFileClose_Click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(owner->findChild<FrmPlanningMapView*>(), nullptr);
            // Opened again, the window comes back as it was left.
            FrmPlanningMapView again(*model);
            again.show();
            EXPECT_FALSE(again.control("dockLegend")->isVisible());
            EXPECT_TRUE(again.control("dockLayers")->isVisible());
        }
        EXPECT_EQ(closed, 1) << ownerCloses;
    }
}

terrain::GeoPoint canvasCentre(const MapCanvas& canvas) {
    const QPoint centre = canvas.rect().center();
    return geodata::toGeo(canvas.camera().toMercator({double(centre.x()), double(centre.y())},
                                                     canvas.width(), canvas.height()));
}

TEST_F(PlanningMap, TheSitesToolsDockBesideTheMapAndAddSitesByAClick) {
    dockSitesTools();
    MapCanvas& canvas = view->canvas();
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, canvas.rect().center());
    EXPECT_EQ(tools.sites().rowCount(), 0); // panning: a click adds nothing
    tools.setTool(MapSitesTools::Tool::AddSite);
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, canvas.rect().center());
    ASSERT_EQ(tools.sites().rowCount(), 1);
    EXPECT_EQ(tools.sites().sites()[0].latDeg, canvasCentre(canvas).latDeg);
}

// Every menu entry of the window, the sites tools' too, has a key of its own, as has every
// menu and button with an Alt key; a closed dock comes back from the View menu.
TEST_F(PlanningMap, MenuEntriesHaveKeysOfTheirOwnAndClosedDocksComeBack) {
    dockSitesTools();
    QSet<QKeySequence> keys;
    QStringList entries;
    const auto ownKey = [&](const QKeySequence& key, const QString& of) {
        EXPECT_FALSE(key.isEmpty() || keys.contains(key)) << of.toStdString();
        keys.insert(key);
    };
    for (QAction* menu : view->findChild<QMenuBar*>()->actions()) {
        ownKey(QKeySequence::mnemonic(menu->text()), menu->text());
        for (QAction* action : menu->menu()->actions()) {
            if (!action->isSeparator())
                ownKey(action->shortcut(), action->text());
            entries << action->text();
        }
    }
    for (QAbstractButton* button : view->findChildren<QAbstractButton*>())
        if (!QKeySequence::mnemonic(button->text()).isEmpty())
            ownKey(QKeySequence::mnemonic(button->text()), button->text());
    for (const char* dock : {"Layers", "Run", "Legend", "Sites", "Link Budget", "Path Profile"})
        EXPECT_TRUE(entries.contains(QLatin1String(dock))) << dock;
    auto* sites = static_cast<QDockWidget*>(view->control(QStringLiteral("dockSites")));
    sites->close();
    sites->toggleViewAction()->trigger();
    EXPECT_TRUE(sites->isVisible());
}

} // namespace
} // namespace verdan
