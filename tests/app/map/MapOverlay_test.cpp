#include "FrmPlanningMapView.h"

#include "LayerFiles.h"
#include "MapSitesTools.h"

#include "CoverageFakes.h"
#include "ScriptedPrompter.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace verdan {
namespace {

// The slope, its points 100 m apart.
class SpacedSlope final : public test::SlopeTerrain {
public:
    terrain::Status profile(terrain::GeoPoint from, terrain::GeoPoint to, int count,
                            terrain::Profile& out) const override {
        out.spacingM = 100;
        return SlopeTerrain::profile(from, to, count, out);
    }
};

class MapOverlay : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::makeApplication<QApplication>(); }

    void SetUp() override {
        services.terrain = [](QString&) {
            return std::make_shared<SpacedSlope>();
        };
        tools = std::make_unique<MapSitesTools>(state, store, prompter, info.title, services);
        model = std::make_unique<FrmCoverageModel>(state, store, prompter, info,
                                                   test::syntheticServices(),
                                                   [] { return PointToPointInputs{}; }, QString());
        model->setSitesTools(tools.get());
        model->Form_Load();
        view = std::make_unique<FrmPlanningMapView>(*model);
        view->resize(1200, 780);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        tools->setTool(MapSitesTools::Tool::PathProfile); // its dock shows: the map shrinks
        QCoreApplication::processEvents();
        canvas().setCamera(geodata::MapCamera(geodata::toMercator({45, 7}), 20));
    }

    void TearDown() override {
        view.reset();
        model->setSitesTools(nullptr);
    }

    MapCanvas& canvas() { return view->canvas(); }
    QPointF pixelOf(terrain::GeoPoint at) {
        return screenPointOf(canvas().camera(), canvas().size(), at);
    }
    void clickAt(terrain::GeoPoint at) {
        QTest::mouseClick(&canvas(), Qt::LeftButton, {}, pixelOf(at).toPoint());
    }
    QImage shown() { return canvas().grab().toImage(); }

    ProgramState state;
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    AppInfo info;
    PathProfileServices services;
    std::unique_ptr<MapSitesTools> tools;
    std::unique_ptr<FrmCoverageModel> model;
    std::unique_ptr<FrmPlanningMapView> view;
};

bool siteColoured(const QImage& image, QPointF at) {
    const QColor pixel = image.pixelColor(at.toPoint());
    return pixel.red() > pixel.green() + 60;
}

bool darkNear(const QImage& image, QPointF at) {
    // The path is dashed: one of a few pixels along it is drawn.
    for (int dx = -6; dx <= 6; ++dx) {
        const QColor pixel = image.pixelColor(at.toPoint() + QPoint(dx, 0));
        if (pixel.lightness() < 90)
            return true;
    }
    return false;
}

TEST_F(MapOverlay, SitesAndTheProfilePathAreDrawnWhereTheCameraPutsThemAndFollowIt) {
    const terrain::GeoPoint site{45.01, 7.0};
    SitesTableModel& sites = tools->sites();
    const int row = sites.addSite(site.latDeg, site.lonDeg);
    ASSERT_TRUE(sites.setCell(row, 8, QStringLiteral("90")));
    sites.setSelectedRow(-1);
    // A path across the map, south of the site.
    const terrain::GeoPoint a{44.99, 6.98};
    const terrain::GeoPoint b{44.99, 7.02};
    clickAt(a);
    clickAt(b);
    ASSERT_EQ(tools->profile().revision(), 1) << "the profile was drawn";
    const auto onPath = [&](double fraction) {
        const std::optional<terrain::GeoPoint> endA = tools->profile().endPoint(PathProfileModel::EndA);
        const std::optional<terrain::GeoPoint> endB = tools->profile().endPoint(PathProfileModel::EndB);
        return pixelOf({endA->latDeg + (endB->latDeg - endA->latDeg) * fraction,
                        endA->lonDeg + (endB->lonDeg - endA->lonDeg) * fraction});
    };
    const QString folder = qEnvironmentVariable("VERDAN_PICTURES");
    for (const QSize size : {QSize(1200, 780), QSize(1600, 1000)}) {
        view->resize(size);
        QCoreApplication::processEvents();
        const QImage image = shown();
        if (!folder.isEmpty())
            image.save(QDir(folder).filePath(QStringLiteral("map-overlay-%1.png").arg(size.width())));
        EXPECT_TRUE(siteColoured(image, pixelOf(site))) << size.width();
        EXPECT_TRUE(siteColoured(image, pixelOf(site) + QPointF(14, 0))) << "the stroke east";
        EXPECT_FALSE(siteColoured(image, pixelOf(site) + QPointF(-14, 0)));
        EXPECT_TRUE(darkNear(image, onPath(0.3))) << size.width();
        EXPECT_TRUE(darkNear(image, onPath(0.7))) << size.width();
    }

    // Panned, everything moves with the map.
    const QPointF before = pixelOf(site);
    canvas().panBy(0.1, 0.1);
    ASSERT_GT((pixelOf(site) - before).manhattanLength(), 40);
    const QImage panned = shown();
    EXPECT_TRUE(siteColoured(panned, pixelOf(site)));
    EXPECT_FALSE(siteColoured(panned, before));
    EXPECT_TRUE(darkNear(panned, onPath(0.3)));

    // A first click of a new path is marked alone until Escape forgets it.
    const QPointF oldPath = onPath(0.3);
    const terrain::GeoPoint first{45.0, 7.01};
    clickAt(first);
    const QImage waiting = shown();
    EXPECT_TRUE(darkNear(waiting, pixelOf(first) + QPointF(6, 0))) << "its ring";
    EXPECT_FALSE(darkNear(waiting, oldPath)) << "the old path is gone";
    QTest::keyClick(&canvas(), Qt::Key_Escape);
    const QImage cancelled = shown();
    EXPECT_FALSE(darkNear(cancelled, pixelOf(first) + QPointF(6, 0)));
    EXPECT_TRUE(darkNear(cancelled, oldPath)) << "the profile shown is drawn again";
}

TEST_F(MapOverlay, ALayerBeingReadSaysHowFarAndCanBeStopped) {
    LayerStack& layers = model->layers();
    layers.setOpening(0, 40);
    auto* list = static_cast<QListWidget*>(view->control("lstLayers"));
    EXPECT_TRUE(list->item(0)->text().endsWith(QStringLiteral("40%)")));
    EXPECT_TRUE(view->control("cmdStopReading")->isEnabled());
    const QString folder = qEnvironmentVariable("VERDAN_PICTURES");
    if (!folder.isEmpty())
        view->control("dockLayers")->grab().save(QDir(folder).filePath(QStringLiteral("layers-reading.png")));
    layers.setOpening(0, -1);
    EXPECT_FALSE(view->control("cmdStopReading")->isEnabled());
}

// A small OpenStreetMap extract: a village and a road.
QString writeExtract(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("village.osm"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<osm version="0.6" generator="hand">
 <node id="1" version="1" lat="45.70" lon="7.30"/>
 <node id="2" version="1" lat="45.71" lon="7.32"/>
 <node id="3" version="1" lat="45.705" lon="7.31"><tag k="place" v="village"/></node>
 <way id="10" version="1"><nd ref="1"/><nd ref="2"/><tag k="highway" v="residential"/></way>
</osm>)");
    return path;
}

class LayerReading : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::makeApplication<QApplication>(); }
    void SetUp() override {
        QDir().mkpath(cache);
        MapLayer layer;
        layer.kind = LayerKind::Vector;
        layer.source = writeExtract(dir);
        layers.add(layer);
    }
    QTemporaryDir dir;
    QString cache = dir.filePath(QStringLiteral("cache"));
    LayerStack layers;
};

TEST_F(LayerReading, AnExtractIsReadIntoItsCachedCopyWhileTheLayerSaysHowFarItCame) {
    std::vector<int> shownPct;
    QObject::connect(&layers, &LayerStack::changed, [&] { shownPct.push_back(layers.at(0).openingPct); });
    LayerFiles files(layers, cache);
    QSignalSpy opened(&files, &LayerFiles::fileOpened);
    EXPECT_FALSE(files.take(0)) << "nothing waits for the reading";
    ASSERT_TRUE(opened.wait(20000));
    const std::optional<OpenedFile> file = files.take(0);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->vector) << file->problem.toStdString();
    ASSERT_FALSE(shownPct.empty());
    EXPECT_EQ(shownPct.front(), 0);
    EXPECT_EQ(shownPct.back(), -1);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(geodata::VectorLayer::cachedCopyOf(
                              layers.at(0).source.toStdString(), cache.toStdString())))
                    .isFile());
}

TEST_F(LayerReading, AStoppedOrRemovedReadingLeavesNoCopyAndNoTemporary) {
    {
        LayerFiles files(layers, cache);
        QSignalSpy opened(&files, &LayerFiles::fileOpened);
        EXPECT_FALSE(files.take(0));
        files.cancel(0);
        ASSERT_TRUE(opened.wait(20000));
        const std::optional<OpenedFile> file = files.take(0);
        ASSERT_TRUE(file);
        EXPECT_FALSE(file->vector);
        EXPECT_TRUE(file->problem.contains(QStringLiteral("cancelled"))) << file->problem.toStdString();
        EXPECT_EQ(layers.at(0).openingPct, -1);

        EXPECT_FALSE(files.take(0)) << "read again";
        layers.remove(0); // its reading stops; the files wait for its thread as they go
    }
    EXPECT_TRUE(QDir(cache).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

} // namespace
} // namespace verdan
