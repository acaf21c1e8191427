#include "LinkBudgetGroupView.h"
#include "MapSitesOverlay.h"
#include "MapSitesTools.h"
#include "PathProfileView.h"
#include "SitesTableView.h"

#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "pattern_builders.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <verdan/terrain/TerrainSource.h>

namespace verdan {
namespace {

using Tool = MapSitesTools::Tool;

/// A terrain of fixed elevations every kilometre, whatever the ends.
class TableTerrain : public terrain::TerrainSource {
public:
    explicit TableTerrain(std::vector<double> elevationsM) : m_elevationsM(std::move(elevationsM)) {}
    std::string displayName() const override { return "Table"; }
    int pointCountFor(terrain::GeoPoint, terrain::GeoPoint) const override {
        return static_cast<int>(m_elevationsM.size());
    }
    terrain::Status profile(terrain::GeoPoint, terrain::GeoPoint, int, terrain::Profile& out) const override {
        out.elevationsM = m_elevationsM;
        out.spacingM = 1000;
        return terrain::Status::success();
    }
    terrain::Status elevationAt(terrain::GeoPoint, double& elevationM) const override {
        elevationM = m_elevationsM.front();
        return terrain::Status::success();
    }

private:
    std::vector<double> m_elevationsM;
};

// The sites tools over flat ground (or none, with the error `terrainError`) and a model that
// gives k 1.25 and losses of 120 and 130 dB, noting the profile and frequency it was given.
class MapSites : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "MapSites_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }

    MapSites() {
        services.terrain = [this](QString& error) -> std::shared_ptr<const terrain::TerrainSource> {
            if (!terrainError.isEmpty()) {
                error = terrainError;
                return nullptr;
            }
            return std::make_shared<TableTerrain>(ground);
        };
        services.terrainChoice = [] { return TerrainChoice{QStringLiteral("Raster"), QStringLiteral("/data/dem.tif")}; };
        services.model = [this](const std::vector<double>& pfl, double freqMHz, double, double, QString&) {
            modelPfl = pfl;
            modelFreqMHz = freqMHz;
            return std::optional<PathLossTable>(PathLossTable{1.25, QStringLiteral("Line-Of-Sight Path"), {50, 90}, {50}, {{120}, {130}}});
        };
        services.budget = [this] { return budget; };
        tools = std::make_unique<MapSitesTools>(state, store, prompter, QStringLiteral("Verdan"), services);
    }

    ProgramState state;
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    std::vector<double> ground = std::vector<double>(11, 0.0);
    QString terrainError;
    std::optional<LinkBudgetInputs> budget;
    std::vector<double> modelPfl;
    double modelFreqMHz = 0;
    PathProfileServices services;
    std::unique_ptr<MapSitesTools> tools;

    /// Draws `view` at each of `sizes` and hands the picture to `check`.
    static void drawAt(QWidget& view, std::initializer_list<QSize> sizes,
                       const std::function<void(const QImage&)>& check) {
        for (const QSize size : sizes) {
            SCOPED_TRACE(size.width());
            view.resize(size);
            view.show();
            QImage image(view.size(), QImage::Format_RGB32);
            view.render(&image);
            check(image);
        }
    }
};
using MapTools = MapSites;
using PathProfile = MapSites;

const char* const Network = "name,lat,lon,height_m,power,antenna,azimuth\n"
                            "North,45.5,7.25,30,50W,panel.msi,120\n"
                            "south,45.25,7.5,,47dBm,,\n";

// A table opened from a file of two sites, the first with an antenna file beside it.
class SitesTable : public MapSites {
protected:
    void SetUp() override {
        path = dir.filePath(QStringLiteral("net.csv"));
        ASSERT_TRUE(test::writeContent(path, Network));
        std::string error;
        ASSERT_TRUE(tools::writeTextFile(dir.filePath(QStringLiteral("panel.msi")).toStdString(),
                                         tools::msiText(tools::panelPattern()), error));
        ASSERT_TRUE(model.openFile(path));
        QObject::connect(&model, &SitesTableModel::sitesChanged, [this] { ++changes; });
    }

    QTemporaryDir dir;
    QString path;
    SitesTableModel model{prompter};
    int changes = 0;
};
using MapSitesView = SitesTable;

using PixelTest = std::function<bool(const QColor&)>;

/// How many pixels of `image` inside `box` pass `test`.
int pixelsIn(const QImage& image, const QRect& box, const PixelTest& test) {
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

bool bluish(const QColor& pixel) {
    return pixel.blue() > pixel.red() + 15;
}

/// A pixel within 40 of `colour` in each channel.
PixelTest near(const QColor& colour) {
    return [colour](const QColor& p) {
        return std::abs(p.red() - colour.red()) < 40 && std::abs(p.green() - colour.green()) < 40 &&
               std::abs(p.blue() - colour.blue()) < 40;
    };
}

/// Where the control `child` of `view` lies in a picture of the view.
QRect boxOf(const QWidget& view, const QWidget* child) {
    return {child->mapTo(&view, QPoint(0, 0)), child->size()};
}


TEST_F(MapTools, AClickDoesWhatTheToolInUseSaysAndAProfileBetweenSitesTakesTheirData) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("net.csv"));
    ASSERT_TRUE(test::writeContent(
        path, "name,lat,lon,height_m,freq_mhz\nMast,45,7,42,900\nHut,45,7.1,,\n"));
    ASSERT_TRUE(tools->sites().openFile(path));
    tools->mapClicked(45.1, 7.2); // panning
    EXPECT_EQ(tools->sites().rowCount(), 2);
    tools->setTool(Tool::AddSite);
    tools->mapClicked(45.1, 7.2);
    ASSERT_EQ(tools->sites().rowCount(), 3);
    EXPECT_EQ(tools->profile().revision(), 0);

    // A profile between two sites takes their names, heights and frequency.
    ASSERT_TRUE(tools->profileBetweenSites(0, 1));
    const PathProfileModel& profile = tools->profile();
    EXPECT_EQ(profile.endName(PathProfileModel::EndA), "Mast");
    EXPECT_EQ(profile.endName(PathProfileModel::EndB), "Hut");
    EXPECT_EQ(profile.text(PathProfileModel::txtHeightA), "42");
    EXPECT_EQ(profile.text(PathProfileModel::txtHeightB), "10"); // the tool's own
    EXPECT_EQ(profile.text(PathProfileModel::txtFreq), "900");
    EXPECT_NEAR(profile.geometry().points.front().rayM, 42, 1e-9);
    EXPECT_FALSE(tools->profileBetweenSites(0, 3));

    // A press within the tolerance picks the nearest site; a drag moves it with this tool only.
    EXPECT_EQ(tools->siteNear(45.0005, 7.0005, 0.001), 0);
    EXPECT_EQ(tools->siteNear(45.05, 7.1, 0.001), -1);
    EXPECT_TRUE(tools->dragSite(0, 45.01, 7.01));
    EXPECT_EQ(tools->sites().sites()[0].latDeg, 45.01);

    tools->setTool(Tool::PathProfile);
    EXPECT_FALSE(tools->dragSite(0, 45.02, 7.02));
    tools->mapClicked(45, 7);
    tools->escape(); // the first end is forgotten: two more clicks make the path
    EXPECT_EQ(tools->tool(), Tool::Pan);
    tools->setTool(Tool::PathProfile);
    tools->mapClicked(45.2, 7);
    tools->mapClicked(45.2, 7.1);
    EXPECT_EQ(profile.revision(), 2);
    EXPECT_EQ(profile.text(PathProfileModel::txtLatA), "45.200000");
    EXPECT_EQ(tools->sites().rowCount(), 3);
}

TEST_F(MapTools, ARunTakesTheLinkBudgetUnlessItHasAnErpToo) {
    LinkBudgetModel& budget = tools->linkBudget();
    budget.setText(LinkBudgetModel::txtPower, QStringLiteral("20"));
    budget.setCmbPowerUnit(LinkBudgetModel::UnitDbw);
    budget.setText(LinkBudgetModel::txtRxGain, QStringLiteral("3"));
    budget.setText(LinkBudgetModel::txtThreshold, QStringLiteral("-100"));
    coverage::CoverageInputs in;
    ASSERT_TRUE(tools->applyLinkBudget(in));
    EXPECT_EQ(in.transmitter.powerDbm, 50);
    EXPECT_EQ(in.receiver.gainDbi, 3);
    ASSERT_TRUE(in.receiver.threshold);

    coverage::CoverageInputs withErp;
    withErp.erpDbw = 30;
    EXPECT_FALSE(tools->applyLinkBudget(withErp));
    EXPECT_FALSE(withErp.transmitter.powerDbm);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QLatin1String("Give either the ERP")));

    budget.setText(LinkBudgetModel::txtPower, QString()); // a map of loss keeps its ERP
    EXPECT_TRUE(tools->applyLinkBudget(withErp));
    EXPECT_EQ(withErp.erpDbw, 30);
}

TEST_F(PathProfile, TwoClicksDrawTheProfileAndBudgetWhichGoOnToThePointToPointForm) {
    LinkBudgetInputs in;
    in.tx.powerDbm = 10 * std::log10(50e3); // 50 W
    in.tx.lineLossDb = 2;
    in.tx.gainDbi = 12;
    in.rx.lineLossDb = 1;
    in.rx.threshold = radio::Threshold{radio::ThresholdKind::PowerDbm, -100};
    budget = in;
    PathProfileModel model(state, prompter, services);
    int sent = 0;
    QObject::connect(&model, &PathProfileModel::sentToPointToPoint, [&] { ++sent; });
    model.cmdSendToPtoP_Click(); // no profile to send yet
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_FALSE(state.path.ProfileReady);
    prompter.messages.clear();
    model.setText(PathProfileModel::txtFreq, QStringLiteral("299.792458"));
    model.mapClicked(0.0125, -0.25);
    EXPECT_EQ(model.revision(), 0);
    model.mapClicked(-0.0125, 0.499999);
    ASSERT_EQ(model.revision(), 1);
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join(u'\n').toStdString();
    EXPECT_EQ(modelPfl.size(), 13u);
    EXPECT_EQ(modelPfl[0], 10);
    EXPECT_EQ(modelFreqMHz, 299.792458);
    EXPECT_EQ(model.curvatureK(), 1.25);
    // The bulge at the middle over an earth of 1.25 x 6370 km: 5000^2 / (2 x 7962.5 km).
    EXPECT_NEAR(model.geometry().points[5].bulgeM, 25e6 / (2 * 7962.5e3), 1e-6);
    ASSERT_TRUE(model.budget());
    // 46.99 dBm - 2 dB + 12 dBi = 56.99 dBm EIRP; minus 120 dB of loss and 1 dB of line:
    // -64.01 dBm, 35.99 dB over -100 dBm.
    EXPECT_NEAR(model.budget()->eirpDbm, 56.9897, 1e-4);
    EXPECT_NEAR(model.budget()->powerDbm[0][0], -64.0103, 1e-4);
    EXPECT_NEAR(model.budget()->powerDbm[1][0], -74.0103, 1e-4);
    EXPECT_NEAR(model.budget()->marginDb[1][0], 25.9897, 1e-4);
    EXPECT_TRUE(model.lblTable().contains(QLatin1String("Received power (dBm)")));
    EXPECT_TRUE(model.lblTable().contains(QLatin1String("  -64.0")));
    EXPECT_TRUE(model.lblSummary().contains(QLatin1String("k 1.250 (Line-Of-Sight Path)")))
        << model.lblSummary().toStdString();

    model.cmdSendToPtoP_Click();
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(QStringList(state.path.coords.begin(), state.path.coords.end()).join(u' ').toStdString(),
              "0 0 45 N 0 15 0 W 0 0 45 S 0 30 0 E");
    EXPECT_EQ(state.path.TxLonDD, "0.250000");
    EXPECT_TRUE(state.path.CoordsInDD);
    EXPECT_EQ(state.path.TerrainSource, "Raster");
    EXPECT_EQ(state.path.RasterPath, "/data/dem.tif");
    EXPECT_TRUE(state.path.ProfileReady);
    EXPECT_EQ(state.path.pfl.size(), 13u);
    EXPECT_EQ(state.ProfilePoints, 11);
}

TEST_F(PathProfile, FaultsAreToldAndTheLastProfileStays) {
    const struct {
        const char* what;
        PathProfileModel::Field field;
        const char* text;
        const char* terrainError;
        const char* message;
    } cases[] = {
        {"latitude", PathProfileModel::txtLatB, "91", "", "Latitude of B: a number from -90 to 90 degrees"},
        {"height", PathProfileModel::txtHeightA, "0.2", "", "Antenna height at Hill: a number from 0.5 to 3000 m"},
        {"frequency", PathProfileModel::txtFreq, "1,5", "", "Frequency: a number from 20 to 20000 MHz"},
        {"same point", PathProfileModel::txtLonB, "7", "", "The path from Hill to B is 0.000 km long"},
        {"terrain", PathProfileModel::txtLonB, "7.1", "no tile at 45N 7E", "No profile: no tile at 45N 7E"},
    };
    PathProfileModel model(state, prompter, services);
    model.useSite(PathProfileModel::EndA, QStringLiteral("Hill"), 45, 7, 30);
    model.setText(PathProfileModel::txtLatB, QStringLiteral("45"));
    model.setText(PathProfileModel::txtLonB, QStringLiteral("7.2"));
    ASSERT_TRUE(model.cmdProfile_Click());
    EXPECT_TRUE(model.lblSummary().startsWith(QLatin1String("Hill to B:")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString before = model.text(c.field);
        model.setText(c.field, QString::fromLatin1(c.text));
        terrainError = QString::fromLatin1(c.terrainError);
        prompter.messages.clear();
        EXPECT_FALSE(model.cmdProfile_Click());
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_TRUE(prompter.messages[0].text.startsWith(QLatin1String(c.message)))
            << prompter.messages[0].text.toStdString();
        EXPECT_EQ(model.revision(), 1);
        model.setText(c.field, before);
        terrainError.clear();
    }
}

TEST_F(SitesTable, EditsAreCheckedByTheSitesFilesOwnRules) {
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.cell(0, 4), "46.99dBm");
    EXPECT_EQ(model.cell(1, 3), "");
    const struct {
        int row;
        int column;
        const char* text;
        const char* message; // empty: accepted
        const char* cell;
    } cases[] = {
        {1, 3, "25", "", "25"},
        {0, 4, "20", "Site 1: column power: give the power's unit", "46.99dBm"},
        {0, 1, "91", "Site 1: column lat: expected -90 to 90", "45.5"},
        {1, 0, "NORTH", "Site 2: column name: \"NORTH\" is given twice", "south"},
        {0, 6, "12", "Site 1: columns gain and antenna: both given", ""},
        {1, 6, "10dBd", "", "12.15dBi"},
        {1, 8, "400", "Site 2: column azimuth: expected 0 to 360", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        prompter.messages.clear();
        EXPECT_EQ(model.setCell(c.row, c.column, QString::fromLatin1(c.text)), *c.message == 0);
        if (*c.message) {
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_TRUE(prompter.messages[0].text.startsWith(QLatin1String(c.message)))
                << prompter.messages[0].text.toStdString();
        }
        EXPECT_EQ(model.cell(c.row, c.column), QLatin1String(c.cell));
    }
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(model.dirty());
}

TEST_F(SitesTable, SitesAddedMovedAndRemovedAreSavedAsTheSameCsv) {
    EXPECT_EQ(model.addSite(45.1, 7.1), 2);
    EXPECT_EQ(model.addSite(45.2, 7.2), 3);
    EXPECT_EQ(model.cell(3, 0), "Site_2");
    EXPECT_TRUE(model.moveSite(2, 45.3, 7.3));
    EXPECT_FALSE(model.moveSite(2, 95, 7.3));
    model.removeSite(0);
    ASSERT_TRUE(model.setCell(2, 10, QStringLiteral("900"))); // a column the file did not have
    EXPECT_EQ(changes, 5);
    ASSERT_TRUE(model.mnuSave_Click());
    EXPECT_FALSE(model.dirty());
    EXPECT_EQ(test::fileContent(path).toStdString(),
              "name,lat,lon,height_m,power,antenna,azimuth,freq_mhz\n"
              "south,45.25,7.5,,47dBm,,,\n"
              "Site_1,45.3,7.3,,,,,\n"
              "Site_2,45.2,7.2,,,,,900\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary left
}

TEST_F(SitesTable, ClosingWithUnsavedChangesAsks) {
    const struct {
        const char* what;
        MsgAnswer answer;
        bool saveFails;
        bool closed;
        bool saved;
    } cases[] = {
        {"cancel", MsgAnswer::Cancel, false, false, false},
        {"no", MsgAnswer::No, false, true, false},
        {"yes", MsgAnswer::Yes, false, true, true},
        {"yes, but the file cannot be written", MsgAnswer::Yes, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(test::writeContent(path, Network));
        SitesTableModel table(prompter);
        ASSERT_TRUE(table.openFile(path));
        table.moveSite(1, 45, 7);
        if (c.saveFails) { // a folder where the file was: it cannot be replaced
            ASSERT_TRUE(QFile::remove(path));
            ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("net.csv")));
        }
        prompter.messages.clear();
        prompter.queueMessage(c.answer);
        table.closeBoxClicked();
        EXPECT_EQ(table.closeRequested(), c.closed);
        EXPECT_EQ(prompter.messages.at(0).text, "Save the changes to net.csv?");
        EXPECT_EQ(prompter.messages.at(0).buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(table.dirty(), !c.saved);
        if (c.saveFails) {
            ASSERT_EQ(prompter.messages.size(), 2u);
            EXPECT_TRUE(prompter.messages[1].text.startsWith(QLatin1String("The sites were not saved: ")));
            ASSERT_TRUE(QDir(path).removeRecursively());
        } else {
            EXPECT_EQ(test::fileContent(path).contains("south,45,7,"), c.saved);
        }
    }
    EXPECT_TRUE(prompter.allAnswersUsed());
}

TEST_F(MapSitesView, TheGroupMirrorsItsModelAndPreviewsTheBeamWhereItPoints) {
    LinkBudgetModel& budget = tools->linkBudget();
    budget.Form_Load();
    LinkBudgetGroupView view(budget);
    prompter.queueOpenFile(dir.filePath(QStringLiteral("panel.msi")));
    budget.cmdBrowseAntenna_Click();
    budget.setText(LinkBudgetModel::txtAzimuth, QStringLiteral("90"));
    budget.setText(LinkBudgetModel::txtPower, QStringLiteral("25"));
    EXPECT_EQ(static_cast<QLineEdit*>(view.control(QStringLiteral("txtPower")))->text(), "25");
    EXPECT_FALSE(view.control(QStringLiteral("txtGain"))->isEnabled());
    drawAt(view, {QSize(340, 520), QSize(480, 640)}, [&](const QImage& image) {
        // The horizontal plot fills the preview's left half: the beam east of its centre is
        // shaded, the back lobe's side far less.
        const QRect box = boxOf(view, view.control(QStringLiteral("polAntenna")));
        const QRect west(box.left(), box.top(), box.width() / 4, box.height());
        const int back = pixelsIn(image, west, bluish);
        const int front = pixelsIn(image, west.translated(west.width(), 0), bluish);
        EXPECT_GT(front, 1000);
        EXPECT_GT(front, 2 * back);
    });
}

TEST_F(MapSitesView, TheProfileShowsTheLineOfSightAndMarksWhatBlocksIt) {
    // Rising ground with a ridge two thirds along that blocks the line of sight: a red mark
    // in the right half of the chart, none in the left, where the ground is clear.
    ground = {120, 125, 140, 150, 160, 170, 185, 260, 205, 190, 180};
    PathProfileModel profile(state, prompter, services);
    profile.useSite(PathProfileModel::EndA, QStringLiteral("Mast"), 40.05, -105.26, 40);
    profile.useSite(PathProfileModel::EndB, QStringLiteral("Hut"), 40.05, -105.14, 10);
    ASSERT_TRUE(profile.cmdProfile_Click());
    PathProfileView view(profile);
    drawAt(view, {QSize(760, 420), QSize(1100, 600)}, [&](const QImage& image) {
        const QRect box = boxOf(view, view.control(QStringLiteral("chart")));
        const QRect left(box.left(), box.top(), box.width() / 2, box.height());
        const QRect right(box.center().x(), box.top(), box.width() / 2, box.height());
        EXPECT_GT(pixelsIn(image, box, near(PathProfileChart::SightColour)), box.width() / 3);
        EXPECT_GT(pixelsIn(image, right, near(PathProfileChart::BlockedColour)), 10);
        EXPECT_EQ(pixelsIn(image, left, near(PathProfileChart::BlockedColour)), 0);
        EXPECT_GT(pixelsIn(image, box, near(PathProfileChart::FresnelColour)), 20);
    });
}

TEST_F(MapSitesView, TheTableEditsInPlaceAndPreviewsTheSelectedSitesAntennaReadBesideTheFile) {
    SitesTableView view(model);
    view.show();
    auto* grid = static_cast<QTableWidget*>(view.control(QStringLiteral("grdSites")));
    grid->setCurrentCell(0, 0);
    EXPECT_EQ(model.selectedRow(), 0);
    ASSERT_TRUE(model.pattern());
    EXPECT_EQ(model.pattern()->gainDbi, 18);
    EXPECT_EQ(model.pointing().azimuthDeg, 120);
    drawAt(view, {QSize(620, 520), QSize(900, 700)}, [&](const QImage& image) {
        const QRect polar = boxOf(view, view.control(QStringLiteral("polAntenna")));
        EXPECT_GT(pixelsIn(image, polar, bluish), 400);
    });
    grid->item(1, 3)->setText(QStringLiteral("15"));
    EXPECT_EQ(model.cell(1, 3), "15");
    grid->item(1, 3)->setText(QStringLiteral("-4")); // refused: the cell shows 15 again
    EXPECT_EQ(grid->item(1, 3)->text(), "15");
    EXPECT_EQ(prompter.messages.size(), 1u);
    model.setSelectedRow(1);
    EXPECT_FALSE(model.pattern());
    ASSERT_TRUE(model.setCell(1, 7, QStringLiteral("missing.msi")));
    EXPECT_FALSE(model.pattern());
    EXPECT_TRUE(model.lblAntenna().contains(QLatin1String("missing.msi"))) << model.lblAntenna().toStdString();

    ASSERT_TRUE(test::writeContent(dir.filePath(QStringLiteral("bad.csv")), "name,lat\nx,1\n"));
    prompter.messages.clear();
    EXPECT_FALSE(model.openFile(dir.filePath(QStringLiteral("bad.csv"))));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QLatin1String("bad.csv")));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.filePath(), path);
}

TEST_F(MapSitesView, SitesAreDrawnWhereTheMapPutsThemWithTheirAzimuth) {
    SitesTableModel sites(prompter);
    sites.addSite(1, 1);               // no azimuth
    const int sector = sites.addSite(1, 3); // selected
    ASSERT_TRUE(sites.setCell(sector, 8, QStringLiteral("90")));
    // One degree is 50 pixels, north up.
    const PixelOf pixelOf = [](double latDeg, double lonDeg) { return QPointF(lonDeg * 50, 200 - latDeg * 50); };
    QImage image(220, 220, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawSites(painter, sites, pixelOf);
    painter.end();
    const auto marked = [&](int x, int y) { return qRed(image.pixel(x, y)) > qGreen(image.pixel(x, y)) + 60; };
    EXPECT_TRUE(marked(50, 150));   // the dot of the first site
    EXPECT_TRUE(marked(150, 150));  // the second site
    EXPECT_TRUE(marked(150 + 14, 150)); // its stroke toward the east
    EXPECT_FALSE(marked(50 + 14, 150)); // none beside the first
    EXPECT_TRUE(marked(150, 150 - 9));  // the selected site's ring
    // A second sector on the same mast shares its label instead of writing over it.
    sites.addSite(1, 3);
    const auto labels = siteLabels(sites, pixelOf);
    ASSERT_EQ(labels.size(), 2U);
    EXPECT_EQ(labels[1].second, QString::fromStdString(sites.sites()[1].name + ", " + sites.sites()[2].name));
}

} // namespace
} // namespace verdan
