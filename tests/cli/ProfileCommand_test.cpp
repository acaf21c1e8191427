#include "ProfileCommand.h"

#include "CliPrompter.h"
#include "CliRun.h"
#include "Coordinates.h"
#include "FrmProfileModel.h"
#include "FrmPtoPModel.h"
#include "P2pCommand.h"
#include "PathCoordinatesHost.h"
#include "ProfileFile.h"
#include "ScriptedPrompter.h"
#include "TerrainFixtures.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <sstream>

using namespace verdan;
using namespace verdan::cli;
using verdan::test::ScriptedPrompter;

using verdan::test::Outcome;
using verdan::test::runCommand;

namespace {

const QString DemoGlobe = QStringLiteral(VERDAN_DEMO_GLOBE_DIR);

QStringList nonEmptyLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            lines << line;
    }
    return lines;
}

TEST(ProfileCommand, PrintsAnEightHundredPointGlobeProfileInTheModelsLayout) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    const Outcome o = runCommand(profileCommand, {"--tx", "39.08,-76.7", "--rx", "38.92,-76.98",
                                                  "--globe-path", globe.folder()});
    ASSERT_EQ(o.status, ExitOk) << o.err;
    EXPECT_TRUE(o.err.empty()) << o.err;
    std::vector<double> pfl;
    QString error;
    ASSERT_TRUE(parseProfileText(QString::fromStdString(o.out), pfl, error)) << error.toStdString();
    ASSERT_EQ(pfl.size(), 802u);
    EXPECT_EQ(pfl[0], 799);
    EXPECT_NEAR(pfl[1], greatCircleDistanceM(39.08, -76.7, 38.92, -76.98) / 799, 0.2);
    EXPECT_NEAR(pfl[2], test::testElevationM(39.08, -76.7), 10);
}

TEST(ProfileCommand, GlobePathWithoutTrailingSeparatorIsAccepted) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    const Outcome o = runCommand(profileCommand, {"--tx=60.1,10.1", "--rx=60.3,10.6",
                                                  "--globe-path", globe.folder().chopped(1)});
    EXPECT_EQ(o.status, ExitOk) << o.err;
}

struct BadCase {
    const char* name;
    QStringList args;
    const char* inMessage;
};

TEST(ProfileCommand, BadInputIsAOneLineErrorWithStatus2) {
    const BadCase cases[] = {
        {"no rx", {"--tx", "39,-76"}, "--rx LAT,LON"},
        {"no tx", {"--rx", "39,-76"}, "--tx LAT,LON"},
        {"one number", {"--tx", "39", "--rx", "38,-77"}, "--tx: expected LAT,LON"},
        {"latitude", {"--tx", "91,-76", "--rx", "38,-77"}, "latitude -90..90"},
        {"longitude", {"--tx", "39,-76", "--rx", "38,181"}, "--rx: expected"},
        {"text", {"--tx", "north,-76", "--rx", "38,-77"}, "--tx: expected"},
        {"terrain", {"--tx", "39,-76", "--rx", "38,-77", "--terrain", "srtm"}, "--terrain"},
        {"identical",
         {"--tx", "39.08,-76.7", "--rx", "39.080001,-76.7"},
         "Identical coordinate values entered."},
        {"unknown", {"--tx", "39,-76", "--rx", "38,-77", "--freq", "100"}, "--freq"},
    };
    for (const BadCase& c : cases) {
        const Outcome o = runCommand(profileCommand, c.args);
        EXPECT_EQ(o.status, ExitUsage) << c.name;
        EXPECT_TRUE(o.out.empty()) << c.name;
        EXPECT_NE(o.err.find(c.inMessage), std::string::npos) << c.name << ": " << o.err;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << c.name << ": " << o.err;
    }
}

TEST(ProfileCommand, TerrainErrorsAreOneLineMessagesWithTheProgramsTexts) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    ASSERT_TRUE(globe.truncateTileC());
    const QStringList tileC{"--tx", "60.1,10.1", "--rx", "60.3,10.6", "--globe-path"};
    Outcome o = runCommand(profileCommand, QStringList(tileC) << globe.folder());
    EXPECT_EQ(o.status, ExitUsage);
    EXPECT_TRUE(o.out.empty());
    EXPECT_EQ(o.err, "verdan-cli: Error reading tile " + globe.folder().toStdString() + "c10g\n");
    ASSERT_TRUE(globe.removeTileC());
    o = runCommand(profileCommand, QStringList(tileC) << globe.folder());
    EXPECT_EQ(o.err, "verdan-cli: Error opening tile " + globe.folder().toStdString() + "c10g\n");

    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    o = runCommand(profileCommand, QStringList(tileC) << empty.path());
    EXPECT_EQ(o.status, ExitUsage);
    EXPECT_EQ(o.err, "verdan-cli: Error in opening file globe.dat in " +
                         empty.path().toStdString() + "/\n");
}

TEST(ProfileCommand, QuarnWithoutItsIndexSaysSo) {
    test::QuarnFixture quarn(false);
    ASSERT_TRUE(quarn.ok());
    const Outcome o = runCommand(
        profileCommand, {"--tx", "39.5,-77.5", "--rx", "39.45,-76.5", "--terrain", "quarn"});
    EXPECT_EQ(o.status, ExitUsage);
    EXPECT_EQ(o.err, "verdan-cli: Error opening TOPO.INF file\n");
}

TEST(ProfileCommand, QuarnProfileWithoutAnyDataFailsWithStatus2) {
    test::QuarnFixture quarn(true, {39 * 60 + 30, -78 * 60 + 30}, 'c');
    ASSERT_TRUE(quarn.ok()) << quarn.error().toStdString();
    const Outcome o = runCommand(profileCommand, {"--tx", "39.51,-77.499", "--rx", "39.52,-77.49",
                                                  "--terrain", "quarn"});
    EXPECT_EQ(o.status, ExitUsage);
    EXPECT_TRUE(o.out.empty());
    EXPECT_EQ(o.err, "verdan-cli: Missing topographic elevation data\n");
}

TEST(ProfileCommand, QuarnPointsWithoutDataAreReportedAndTheProfileKept) {
    // On drive C, where the command looks like the form's first try.
    test::QuarnFixture quarn(true, {39 * 60 + 30, -78 * 60 + 30}, 'c');
    ASSERT_TRUE(quarn.ok()) << quarn.error().toStdString();
    const Outcome o = runCommand(
        profileCommand, {"--tx", "39.5,-77.5", "--rx", "39.45,-76.5", "--terrain", "quarn"});
    ASSERT_EQ(o.status, ExitOk) << o.err;
    EXPECT_EQ(o.err.rfind("verdan-cli: Warning: ", 0), 0u) << o.err;
    std::vector<double> pfl;
    QString parseError;
    ASSERT_TRUE(parseProfileText(QString::fromStdString(o.out), pfl, parseError));
    EXPECT_EQ(pfl[2], 0.0);
}

TEST(P2pCommandCoordinates, ProfileAndEndPointsTogetherAreRefused) {
    const Outcome o =
        runCommand(p2pCommand, {"--profile", "x.pfl", "--tx", "39,-76", "--rx", "38,-77"});
    EXPECT_EQ(o.status, ExitUsage);
    EXPECT_NE(o.err.find("--profile and --tx/--rx"), std::string::npos) << o.err;
    const Outcome t = runCommand(p2pCommand, {"--profile", "x.pfl", "--terrain", "quarn"});
    EXPECT_EQ(t.status, ExitUsage);
    EXPECT_NE(t.err.find("--globe-path and --dem go with --tx"), std::string::npos) << t.err;
}

TEST(P2pCommandCoordinates, SameReportLinesAsTheProgramForTheSameInputs) {
    ASSERT_TRUE(QFileInfo::exists(DemoGlobe + QStringLiteral("globe.dat")))
        << "the build writes the synthetic demo GLOBE data into " << DemoGlobe.toStdString();
    const Outcome cli = runCommand(
        p2pCommand, {"--tx", "39.08,-76.7", "--rx", "38.92,-76.98", "--globe-path", DemoGlobe});
    ASSERT_EQ(cli.status, ExitOk) << cli.err;

    // The same path typed into the program's forms: decimal degrees, Globe, its folder, OK,
    // then Run Calculations.
    MemorySettingsStore store;
    ProgramState state;
    ScriptedPrompter prompter;
    AppInfo info;
    PropagationModel model(prompter);
    PathCoordinatesHost host(state, prompter, info);
    FrmPtoPModel::Openers openers;
    openers.pathCoordinates = [&host] { host.open(); };
    FrmPtoPModel ptp(state, store, prompter, info, model, openers, {});
    ptp.Form_Load();
    prompter.queueModal(QStringLiteral("frmProfile"), [&](ScreenModel& screen) {
        auto& form = static_cast<FrmProfileModel&>(screen);
        const QStringList hemispheres{"N", "W", "N", "W"};
        for (int c = 0; c < 4; ++c) {
            form.setBox(static_cast<FrmProfileModel::Coordinate>(c), 3, hemispheres[c]);
            form.box_LostFocus(static_cast<FrmProfileModel::Coordinate>(c), 3);
        }
        form.mnuEditDD_Click();
        const QStringList typed{"39.08", "76.7", "38.92", "76.98"};
        for (int c = 0; c < 4; ++c) {
            form.setDdBox(static_cast<FrmProfileModel::Coordinate>(c), typed[c]);
            form.ddBox_LostFocus(static_cast<FrmProfileModel::Coordinate>(c));
        }
        prompter.queueOpenFile(DemoGlobe + QStringLiteral("globe.dat"));
        form.optDorvex_Click(1);
        form.cmdCalc_Click();
    });
    ptp.cmdProfile_Click();
    ASSERT_TRUE(state.path.ProfileReady) << prompter.messageTexts().join(u'|').toStdString();
    ASSERT_EQ(ptp.mnuReportCalculations_Click(), PointToPointStatus::Done);

    const QStringList expected = nonEmptyLines(QString::fromStdString(cli.out));
    const QStringList program = nonEmptyLines(state.log->document().plainText());
    ASSERT_GE(program.size(), expected.size());
    EXPECT_EQ(program.mid(program.size() - expected.size()), expected);
    EXPECT_TRUE(
        expected.contains(QStringLiteral("Coordinates: (39.08 N,76.7 W) - (38.92 N,76.98 W)")))
        << expected.join(u'\n').toStdString();
    EXPECT_TRUE(expected.contains(QStringLiteral("Terrain Handler: GLOBE")));
}

} // namespace

namespace {

const QString DemoTiles = QStringLiteral(VERDAN_DEMO_RASTER_DIR "demo-tiles-synthetic");

TEST(RasterTerrain, ReportNamesTheRasterAndItsFilledPoints) {
    const Outcome o = runCommand(p2pCommand, {"--tx", "39.08,-76.7", "--rx", "38.92,-76.98",
                                              "--terrain", "raster", "--dem", DemoTiles});
    ASSERT_EQ(o.status, ExitOk) << o.err;
    EXPECT_NE(o.out.find("Terrain Handler: Raster (demo-tiles-synthetic)\n"
                         "Points Without Terrain Data: 0 of 1162, set to 0 m\n"),
              std::string::npos)
        << o.out;
    // One point per 1-second cell along about 30 km, not the databases' 800.
    EXPECT_NE(o.out.find("Profile: Num Points 1162, Dist between Points .026 km"),
              std::string::npos);
}

TEST(RasterTerrain, MissingDataIsCountedOrRefusedWithStatus2) {
    const Outcome partly = runCommand(profileCommand, {"--tx", "39.08,-76.7", "--rx", "38.92,-77.5",
                                                       "--terrain", "raster", "--dem", DemoTiles});
    EXPECT_EQ(partly.status, ExitOk);
    EXPECT_NE(partly.err.find("Warning: 1471 of 2939 profile points have no terrain data"),
              std::string::npos)
        << partly.err;
    const struct {
        QStringList args;
        const char* message;
    } refused[] = {
        {{"--tx", "49.08,-76.7", "--rx", "48.92,-77.5", "--terrain", "raster", "--dem",
          DemoTiles},
         "No terrain data in"},
        {{"--tx", "39.08,-76.7", "--rx", "38.92,-77.5", "--terrain", "raster", "--dem",
          "/nonexistent/srtm"},
         "/nonexistent/srtm does not exist"},
        {{"--tx", "39.08,-76.7", "--rx", "38.92,-77.5", "--dem", DemoTiles},
         "goes with --terrain raster"},
        {{"--tx", "39.08,-76.7", "--rx", "38.92,-77.5", "--terrain", "raster"},
         "goes with --terrain raster"},
    };
    for (const auto& r : refused) {
        const Outcome o = runCommand(profileCommand, r.args);
        EXPECT_EQ(o.status, ExitUsage) << r.message;
        EXPECT_TRUE(o.out.empty());
        EXPECT_NE(o.err.find(r.message), std::string::npos) << o.err;
    }
}

} // namespace
