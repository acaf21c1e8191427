#include "FrmProfileModel.h"

#include "Coordinates.h"
#include "FrmDriveSelectModel.h"
#include "ScriptedPrompter.h"
#include "TerrainFixtures.h"

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;
using C = FrmProfileModel::Coordinate;

namespace {

const QStringList DefaultCoords{"39", "4",  "48", "N", "76", "42", "0",  "W",
                                "38", "55", "12", "N", "76", "58", "48", "W"};

class FrmProfile : public ::testing::Test {
protected:
    FrmProfile() {
        for (int i = 0; i < PathState::CoordCount; ++i)
            state.path.coords.at(static_cast<std::size_t>(i)) = DefaultCoords.at(i);
    }
    void load() { form.Form_Load(); }
    QStringList sharedCoords() const {
        QStringList list;
        for (const QString& text : state.path.coords)
            list << text;
        return list;
    }

    ProgramState state;
    ScriptedPrompter prompter;
    TerrainLibrary terrain{prompter};
    AppInfo info;
    FrmProfileModel form{state, prompter, terrain, info};
};

TEST_F(FrmProfile, InitialLayout) {
    EXPECT_EQ(form.caption(), QStringLiteral("Profile"));
    EXPECT_EQ(form.txtTransLat(0), QStringLiteral("39"));
    EXPECT_EQ(form.txtTransLon(3), QStringLiteral("W"));
    EXPECT_EQ(form.txtRecLat(1), QStringLiteral("55"));
    EXPECT_EQ(form.txtRecLon(2), QStringLiteral("48"));
    EXPECT_EQ(form.txtTLat(), QStringLiteral("40.05"));
    EXPECT_EQ(form.txtRLon(), QStringLiteral("-105.47"));
    EXPECT_TRUE(form.dmsVisible());
    EXPECT_FALSE(form.ddVisible());
    EXPECT_EQ(form.optDorvex(), 0);
}

TEST_F(FrmProfile, LoadingFillsTheBoxesAndTheSignsFromTheSharedStrings) {
    state.path.coords[PathState::TxLatDeg_DD] = QStringLiteral("12");
    state.path.coords[PathState::TxLatH_NS] = QStringLiteral("S");
    state.path.coords[PathState::RxLonH_EW] = QStringLiteral("E");
    state.path.TerrainSource = QStringLiteral("GLOBE");
    load();
    EXPECT_EQ(form.txtTransLat(0), QStringLiteral("12"));
    EXPECT_EQ(form.optDorvex(), 1);
    EXPECT_EQ(form.coordinate(C::TransLat).sign, -1);
    EXPECT_EQ(form.coordinate(C::TransLat).degrees, 12);
    EXPECT_EQ(form.coordinate(C::TransLon).sign, -1);
    EXPECT_EQ(form.coordinate(C::RecLat).sign, 1);
    EXPECT_EQ(form.coordinate(C::RecLon).sign, 1);
    EXPECT_EQ(form.coordinate(C::RecLon).seconds, 48);
    EXPECT_TRUE(prompter.messages.empty()) << "loading selects the source without its click";
}

TEST_F(FrmProfile, NoStoredCoordinatesOpenEmptyWithSouthLatitudesAndEastLongitudes) {
    state.path.coords = {};
    load();
    for (int c = 0; c < FrmProfileModel::CoordinateCount; ++c) {
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(form.box(static_cast<C>(c), i).isEmpty());
    }
    EXPECT_EQ(form.coordinate(C::TransLat).sign, -1);
    EXPECT_EQ(form.coordinate(C::RecLat).sign, -1);
    EXPECT_EQ(form.coordinate(C::TransLon).sign, 1);
    EXPECT_EQ(form.coordinate(C::RecLon).sign, 1);
    form.txtTransLat_LostFocus(3);
    form.txtTransLon_LostFocus(3);
    EXPECT_EQ(form.txtTransLat(3), QStringLiteral("N"));
    EXPECT_EQ(form.txtTransLon(3), QStringLiteral("W"));
}

TEST_F(FrmProfile, DecimalViewOf39_4_48IsThirtyNine0800AndBackGives47Seconds) {
    load();
    form.mnuEditDD_Click();
    EXPECT_TRUE(form.ddVisible());
    EXPECT_FALSE(form.dmsVisible());
    EXPECT_EQ(form.txtTLat(), QStringLiteral("39.0800"));
    EXPECT_EQ(form.txtRLat(), QStringLiteral("38.9200"));
    form.mnuEditDMS_Click();
    EXPECT_TRUE(form.dmsVisible());
    EXPECT_EQ(form.txtTransLat(0), QStringLiteral("39"));
    EXPECT_EQ(form.txtTransLat(1), QStringLiteral("4"));
    EXPECT_EQ(form.txtTransLat(2), QStringLiteral("47"));
    EXPECT_EQ(form.txtTransLat(3), QStringLiteral("N")) << "the hemisphere stays";
    EXPECT_EQ(form.coordinate(C::TransLat).seconds, 47);
}

TEST_F(FrmProfile, WesternLongitudeShowsUnsignedAndIsHandedOverNegative) {
    load();
    form.mnuEditDD_Click();
    EXPECT_EQ(form.txtTLon(), QStringLiteral("76.7000"));
    EXPECT_EQ(form.txtRLon(), QStringLiteral("76.9800"));
    const PathEnds ends = form.currentEnds();
    EXPECT_DOUBLE_EQ(ends.txLonDeg, -76.7);
    EXPECT_DOUBLE_EQ(ends.txLatDeg, 39.08);
}

TEST_F(FrmProfile, FortyPoint05ComesBackAs40_2_59) {
    load();
    form.mnuEditDD_Click();
    form.setTxtTLat(QStringLiteral("40.05"));
    form.mnuEditDMS_Click();
    EXPECT_EQ(form.txtTransLat(0), QStringLiteral("40"));
    EXPECT_EQ(form.txtTransLat(1), QStringLiteral("2"));
    EXPECT_EQ(form.txtTransLat(2), QStringLiteral("59"));
}

struct HemisphereCase {
    C coordinate;
    const char* typed;
    const char* shown;
    double sign;
};

TEST_F(FrmProfile, HemisphereBoxesTakeOnlyTheirLetters) {
    load();
    const HemisphereCase cases[] = {
        {C::TransLat, "s", "S", -1}, {C::TransLat, "South", "S", -1}, {C::TransLat, "x", "N", 1},
        {C::TransLat, "n", "N", 1},  {C::RecLat, "", "N", 1},         {C::TransLon, "e", "E", 1},
        {C::TransLon, "w", "W", -1}, {C::RecLon, "x", "W", -1},       {C::RecLon, "East", "E", 1},
    };
    for (const HemisphereCase& c : cases) {
        form.setBox(c.coordinate, 3, QString::fromLatin1(c.typed));
        form.box_LostFocus(c.coordinate, 3);
        EXPECT_EQ(form.box(c.coordinate, 3), QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(form.coordinate(c.coordinate).sign, c.sign) << c.typed;
    }
    form.setTxtTransLat(3, QStringLiteral("s"));
    form.txtTransLat_LostFocus(3);
    EXPECT_DOUBLE_EQ(form.currentEnds().txLatDeg, -39.08);
}

TEST_F(FrmProfile, DegreeBoxesKeepTheirTextAndSetTheirNumber) {
    load();
    form.setTxtTransLat(0, QStringLiteral("41abc"));
    form.txtTransLat_LostFocus(0);
    form.setTxtTransLat(1, QStringLiteral("75"));
    form.txtTransLat_LostFocus(1);
    form.setTxtTransLat(2, QStringLiteral("x"));
    form.txtTransLat_LostFocus(2);
    EXPECT_EQ(form.txtTransLat(0), QStringLiteral("41abc"));
    EXPECT_EQ(form.txtTransLat(2), QStringLiteral("x"));
    EXPECT_EQ(form.coordinate(C::TransLat).degrees, 41);
    EXPECT_EQ(form.coordinate(C::TransLat).minutes, 75);
    EXPECT_EQ(form.coordinate(C::TransLat).seconds, 0);
    EXPECT_DOUBLE_EQ(form.currentEnds().txLatDeg, 42.25) << "75 minutes are simply added in";
}

TEST_F(FrmProfile, DecimalBoxesAreRewrittenWithALeadingBlank) {
    load();
    form.mnuEditDD_Click();
    const std::pair<const char*, const char*> cases[] = {
        {"40.05", " 40.05"}, {"abc", " 0"}, {"39.0800", " 39.08"}, {"", " 0"}};
    for (const auto& [typed, shown] : cases) {
        form.setTxtTLat(QString::fromLatin1(typed));
        form.txtTLat_LostFocus();
        EXPECT_EQ(form.txtTLat(), QString::fromLatin1(shown)) << typed;
    }
}

TEST_F(FrmProfile, RegressionDecimalBoxesHoldUnsignedValues) {
    load();
    form.mnuEditDD_Click();
    form.setTxtTLon(QStringLiteral("-76.7"));
    EXPECT_DOUBLE_EQ(form.currentEnds().txLonDeg, -76.7) << "the hemisphere W gives the sign";
    form.txtTLon_LostFocus();
    EXPECT_EQ(form.txtTLon(), QStringLiteral(" 76.7"));
    form.setTxtTLat(QStringLiteral("-39.08"));
    EXPECT_DOUBLE_EQ(form.currentEnds().txLatDeg, 39.08) << "the hemisphere N gives the sign";
    form.mnuEditDMS_Click();
    EXPECT_EQ(form.txtTransLat(0), QStringLiteral("39"));
    EXPECT_EQ(form.txtTransLat(3), QStringLiteral("N"));
}

TEST_F(FrmProfile, CancelKeepsTheSharedStringsAndANewLoadShowsThem) {
    load();
    form.setTxtTransLat(0, QStringLiteral("45"));
    form.txtTransLat_LostFocus(0);
    form.mnuEditDD_Click();
    form.cmdCancel_Click();
    EXPECT_TRUE(form.closeRequested());
    EXPECT_EQ(sharedCoords(), DefaultCoords);
    EXPECT_TRUE(state.path.TxLatDD.isEmpty());
    EXPECT_FALSE(state.path.CoordsInDD);
    FrmProfileModel reopened(state, prompter, terrain, info);
    reopened.Form_Load();
    EXPECT_EQ(reopened.txtTransLat(0), QStringLiteral("39"));
    form.resetCloseRequest();
    form.mnuFileExit_Click();
    EXPECT_TRUE(form.closeRequested());
    EXPECT_EQ(sharedCoords(), DefaultCoords);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(FrmProfile, QuarnChoiceTellsAboutItsDistributionAndDropsTheProfile) {
    state.path.TerrainSource = QStringLiteral("GLOBE");
    state.path.ProfileReady = true;
    load();
    form.optDorvex_Click(0);
    EXPECT_EQ(state.path.TerrainSource, QStringLiteral("Quarn"));
    EXPECT_EQ(form.optDorvex(), 0);
    EXPECT_FALSE(state.path.ProfileReady);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Distibution of the Quarn Terrain Handler is restricted to\n"
                             "US Government agencies only."));
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Verdan"));
}

TEST_F(FrmProfile, GlobeChoiceWithTheIndexInPlaceAsksNothing) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    state.path.GlobePath = globe.folder();
    state.path.ProfileReady = true;
    load();
    form.optDorvex_Click(1);
    EXPECT_EQ(state.path.TerrainSource, QStringLiteral("GLOBE"));
    EXPECT_FALSE(state.path.ProfileReady);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(prompter.openRequests.empty());
}

TEST_F(FrmProfile, GlobeChoiceWithoutTheIndexAsksForTheFolder) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    state.path.GlobePath = QStringLiteral("/nonexistent/globe/");
    load();
    prompter.queueOpenFile(globe.folder() + QStringLiteral("globe.dat"));
    form.optDorvex_Click(1);
    ASSERT_EQ(prompter.openRequests.size(), 1u);
    const FileRequest& request = prompter.openRequests[0];
    EXPECT_EQ(request.caption, QStringLiteral("Specify Globe Database Location"));
    EXPECT_EQ(request.proposedName, QStringLiteral("Globe.dat"));
    EXPECT_EQ(request.filters.at(0), QStringLiteral("Globe Index (Globe.dat)"));
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{"Cannot find Globe database.  Specify Path to Globe Database Files."});
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Globe Terrain Handler"));
    EXPECT_EQ(state.path.GlobePath, globe.folder());
}

TEST_F(FrmProfile, GlobeFolderPromptCancelledChangesNothing) {
    state.path.GlobePath = QStringLiteral("/nonexistent/globe/");
    load();
    form.optDorvex_Click(1);
    EXPECT_EQ(prompter.messageTexts(),
              (QStringList{"Cannot find Globe database.  Specify Path to Globe Database Files.",
                           "Cannot find the Globe Database"}));
    EXPECT_EQ(prompter.messages[1].title, QStringLiteral("Globe Database"));
    EXPECT_EQ(prompter.messages[1].icon, MsgIcon::Information);
    EXPECT_EQ(state.path.GlobePath, QStringLiteral("/nonexistent/globe/"));
}

TEST_F(FrmProfile, IdenticalEndPointsWarnWithoutCallingTheLibrary) {
    load();
    form.setTxtRecLat(0, QStringLiteral("39"));
    form.setTxtRecLat(1, QStringLiteral("4"));
    form.setTxtRecLat(2, QStringLiteral("48"));
    form.setTxtRecLon(1, QStringLiteral("42"));
    form.setTxtRecLon(2, QStringLiteral("0"));
    for (int i = 0; i < 3; ++i) {
        form.txtRecLat_LostFocus(i);
        form.txtRecLon_LostFocus(i);
    }
    state.path.ProfileReady = true;
    form.cmdCalc_Click();
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{"Warning: Identical coordinate values entered."});
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Terrain Coordinates"));
    EXPECT_FALSE(state.path.ProfileReady);
    EXPECT_TRUE(form.closeRequested());
    EXPECT_TRUE(terrain.binding().loadedPath().isEmpty()) << "the library was not called";
}

TEST_F(FrmProfile, RegressionEndPointsLessThanAMetreApartCountAsIdentical) {
    load();
    form.mnuEditDD_Click();
    form.setTxtRLat(QStringLiteral("39.080004"));
    form.setTxtRLon(QStringLiteral("76.7"));
    form.cmdCalc_Click();
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{"Warning: Identical coordinate values entered."});
    EXPECT_TRUE(terrain.binding().loadedPath().isEmpty());
}

TEST_F(FrmProfile, GlobeExtractionFillsTheProfile) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    state.path.GlobePath = globe.folder();
    state.path.TerrainSource = QStringLiteral("GLOBE");
    state.path.ProfileFile = QStringLiteral("/earlier/loaded.pfl");
    load();
    form.cmdCalc_Click();
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join(u'|').toStdString();
    EXPECT_TRUE(form.closeRequested());
    EXPECT_TRUE(state.path.ProfileReady);
    EXPECT_TRUE(state.path.ProfileFile.isEmpty()) << "an extracted profile comes from no file";
    EXPECT_EQ(state.ProfilePoints, 800);
    ASSERT_EQ(state.path.pfl.size(), 802u);
    EXPECT_EQ(state.path.pfl[0], 799);
    const PathEnds ends = test::defaultPath();
    const double lengthM =
        greatCircleDistanceM(ends.txLatDeg, ends.txLonDeg, ends.rxLatDeg, ends.rxLonDeg);
    EXPECT_NEAR(state.path.pfl[1], lengthM / 799, lengthM / 799 * 0.005);
    EXPECT_EQ(sharedCoords(), DefaultCoords);
    EXPECT_FALSE(state.path.CoordsInDD);
    EXPECT_EQ(prompter.busyOnCount, prompter.busyOffCount);
    EXPECT_FALSE(prompter.busy);
}

TEST_F(FrmProfile, RasterFolderGivesOnePointPerCellAndFailuresNameTheRaster) {
    const QString tiles = QStringLiteral(VERDAN_DEMO_RASTER_DIR "demo-tiles-synthetic");
    load();
    prompter.queueOpenFile(QString());
    form.optDorvex_Click(2);
    ASSERT_EQ(prompter.openRequests.size(), 1u) << "no raster yet: a file is asked for";
    EXPECT_EQ(state.path.TerrainSource, QStringLiteral("Raster"));
    prompter.queueOpenFile(tiles);
    form.cmdRasterFolder_Click();
    EXPECT_TRUE(prompter.openRequests.back().folder);
    EXPECT_EQ(form.lblRaster(), tiles);
    form.cmdCalc_Click();
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join(u'|').toStdString();
    EXPECT_TRUE(state.path.ProfileReady);
    EXPECT_EQ(state.ProfilePoints, 1162);
    ASSERT_EQ(state.path.pfl.size(), 1164u);
    EXPECT_NEAR(state.path.pfl[1], 25.9, 0.1);
    EXPECT_EQ(state.path.RasterName, QStringLiteral("Raster (demo-tiles-synthetic)"));
    EXPECT_EQ(state.path.FilledPoints, 0);

    state.path.RasterPath = tiles + QStringLiteral("/missing.tif");
    form.cmdCalc_Click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("missing.tif")));
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(state.path.ProfileReady);
}

TEST_F(FrmProfile, DecimalViewHandsOverTheDecimalTextsAndTheHemispheres) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    state.path.GlobePath = globe.folder();
    state.path.TerrainSource = QStringLiteral("GLOBE");
    load();
    form.mnuEditDD_Click();
    form.setTxtTLat(QStringLiteral("39.1"));
    form.txtTLat_LostFocus();
    form.setTxtTransLat(0, QStringLiteral("changed while hidden"));
    form.cmdCalc_Click();
    EXPECT_TRUE(state.path.ProfileReady);
    EXPECT_TRUE(state.path.CoordsInDD);
    EXPECT_EQ(state.path.TxLatDD, QStringLiteral(" 39.1"));
    EXPECT_EQ(state.path.TxLonDD, QStringLiteral("76.7000"));
    EXPECT_EQ(state.path.RxLatDD, QStringLiteral("38.9200"));
    EXPECT_EQ(state.path.RxLonDD, QStringLiteral("76.9800"));
    EXPECT_EQ(state.path.coords[PathState::TxLatDeg_DD], QStringLiteral("39"))
        << "the degree strings are not handed over from the decimal view";
    EXPECT_EQ(state.path.coords[PathState::TxLonH_EW], QStringLiteral("W"));
}

TEST_F(FrmProfile, GlobeFolderWithoutIndexAsksForTheFolderAndConfirms) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    state.path.GlobePath = QStringLiteral("/nonexistent/globe/");
    state.path.TerrainSource = QStringLiteral("GLOBE");
    state.path.ProfileReady = true;
    load();
    prompter.queueOpenFile(globe.folder() + QStringLiteral("globe.dat"));
    form.cmdCalc_Click();
    EXPECT_EQ(prompter.messageTexts(),
              (QStringList{"Error in opening file globe.dat",
                           "Cannot find Globe database.  Specify Path to Globe Database Files.",
                           "Globe path set. Please reload coordinates"}));
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Globe Terrain Handler"));
    EXPECT_EQ(prompter.messages[2].title, QStringLiteral("Globe Database"));
    EXPECT_EQ(state.path.GlobePath, globe.folder());
    EXPECT_FALSE(state.path.ProfileReady);
    EXPECT_TRUE(form.closeRequested());
}

TEST_F(FrmProfile, RegressionGlobeFolderLongerThan150CharactersIsRefused) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    QString longFolder = globe.folder();
    while (longFolder.toLocal8Bit().size() <= 150)
        longFolder += QStringLiteral("deeper-folder/");
    ASSERT_TRUE(QDir().mkpath(longFolder));
    ASSERT_TRUE(QFile::copy(globe.folder() + QStringLiteral("globe.dat"),
                            longFolder + QStringLiteral("globe.dat")));
    state.path.GlobePath = longFolder;
    state.path.TerrainSource = QStringLiteral("GLOBE");
    load();
    prompter.queueOpenFile(longFolder + QStringLiteral("globe.dat"));
    form.cmdCalc_Click();
    EXPECT_EQ(prompter.messageTexts(),
              (QStringList{"Error in opening file globe.dat",
                           "Cannot find Globe database.  Specify Path to Globe Database Files.",
                           "Cannot find the Globe Database"}));
    EXPECT_EQ(state.path.GlobePath, longFolder) << "nothing changes";
    EXPECT_FALSE(state.path.ProfileReady);
}

TEST_F(FrmProfile, RegressionTileReadErrorNamesTheTileAndDropsTheOldProfile) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    ASSERT_TRUE(globe.truncateTileC());
    state.path.GlobePath = globe.folder();
    state.path.TerrainSource = QStringLiteral("GLOBE");
    state.path.ProfileReady = true;
    state.path.pfl = {1, 100, 5, 6};
    load();
    form.mnuEditDD_Click();
    form.setTxtTLat(QStringLiteral("60.1"));
    form.setTxtTLon(QStringLiteral("10.1"));
    form.setTxtRLat(QStringLiteral("60.3"));
    form.setTxtRLon(QStringLiteral("10.6"));
    form.setTxtTransLon(3, QStringLiteral("E"));
    form.txtTransLon_LostFocus(3);
    form.setTxtRecLon(3, QStringLiteral("E"));
    form.txtRecLon_LostFocus(3);
    form.cmdCalc_Click();
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{QStringLiteral("Error reading tile ") + globe.folder() + "c10g"});
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Globe Terrain Handler"));
    EXPECT_FALSE(state.path.ProfileReady);
    EXPECT_TRUE(form.closeRequested());
}

TEST_F(FrmProfile, TileOpenErrorNamesTheTile) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
    ASSERT_TRUE(globe.removeTileC());
    state.path.GlobePath = globe.folder();
    state.path.TerrainSource = QStringLiteral("GLOBE");
    state.path.coords = {"60", "6",  "0", "N", "10", "6",  "0", "E",
                         "60", "18", "0", "N", "10", "36", "0", "E"};
    load();
    form.cmdCalc_Click();
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{QStringLiteral("Error opening tile ") + globe.folder() + "c10g"});
}

TEST_F(FrmProfile, DrivePickerCancelEndsTheQuarnRetryLoop) {
    test::QuarnFixture quarn(false);
    ASSERT_TRUE(quarn.ok());
    state.path.ProfileReady = true;
    state.path.QuarnDrive = 2;
    load();
    prompter.queueModal(QStringLiteral("frmDriveSelect"), [](ScreenModel& screen) {
        static_cast<FrmDriveSelectModel&>(screen).cmdCancel_Click();
    });
    form.cmdCalc_Click();
    EXPECT_EQ(prompter.screensShown, QStringList{"frmDriveSelect"});
    EXPECT_EQ(prompter.messageTexts(), QStringList{"Error opening TOPO.INF file"});
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(state.path.QuarnDrive, 1);
    EXPECT_FALSE(state.path.ProfileReady);
    EXPECT_TRUE(form.closeRequested());
}

TEST_F(FrmProfile, DrivePickerChoiceRetriesOnThatDrive) {
    test::QuarnFixture quarn(true);
    ASSERT_TRUE(quarn.ok()) << quarn.error().toStdString();
    state.path.coords = {"39", "30", "0", "N", "77", "30", "0", "W",
                         "39", "27", "0", "N", "76", "30", "0", "W"};
    load();
    prompter.queueModal(QStringLiteral("frmDriveSelect"), [](ScreenModel& screen) {
        auto& picker = static_cast<FrmDriveSelectModel&>(screen);
        ASSERT_EQ(picker.drvQuarn().size(), 2);
        picker.setDrvQuarnIndex(1);
        picker.cmdOK_Click();
    });
    form.cmdCalc_Click();
    EXPECT_EQ(prompter.screensShown, QStringList{"frmDriveSelect"});
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join(u'|').toStdString();
    EXPECT_EQ(state.path.QuarnDrive, 2);
    EXPECT_TRUE(state.path.ProfileReady);
    EXPECT_GT(state.ProfilePoints, 100);
    ASSERT_EQ(state.path.pfl.size(), static_cast<std::size_t>(state.ProfilePoints) + 2);
    EXPECT_NEAR(state.path.pfl[1], 450, 5);
    EXPECT_NEAR(state.path.pfl[2], test::testElevationM(39.5, -77.5), 10);
}

TEST_F(FrmProfile, RegressionQuarnPointsWithoutDataAreReportedNotPassedAsSeaLevel) {
    test::QuarnFixture quarn(true, {39 * 60 + 30, -78 * 60 + 30});
    ASSERT_TRUE(quarn.ok()) << quarn.error().toStdString();
    state.path.coords = {"39", "30", "0", "N", "77", "30", "0", "W",
                         "39", "27", "0", "N", "76", "30", "0", "W"};
    load();
    prompter.queueModal(QStringLiteral("frmDriveSelect"), [](ScreenModel& screen) {
        auto& picker = static_cast<FrmDriveSelectModel&>(screen);
        picker.setDrvQuarnIndex(1);
        picker.cmdOK_Click();
    });
    form.cmdCalc_Click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("Warning: ")))
        << prompter.messages[0].text.toStdString();
    EXPECT_TRUE(prompter.messages[0].text.contains(
        QStringLiteral(" of %1 profile points").arg(state.ProfilePoints)));
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Profile"));
    EXPECT_TRUE(state.path.ProfileReady);
    EXPECT_EQ(state.path.pfl[2], 0.0);
}

TEST(FrmProfileMissingLibrary, OkTellsTheUserAndLeavesNoProfile) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    ProgramState state;
    state.path.coords = {"39", "4",  "48", "N", "76", "42", "0",  "W",
                         "38", "55", "12", "N", "76", "58", "48", "W"};
    state.path.TerrainSource = QStringLiteral("GLOBE");
    state.path.ProfileReady = true;
    ScriptedPrompter prompter;
    TerrainLibrary terrain(prompter, empty.path());
    AppInfo info;
    FrmProfileModel form(state, prompter, terrain, info);
    form.Form_Load();
    form.cmdCalc_Click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("libdorvex.so")));
    EXPECT_FALSE(state.path.ProfileReady);
    EXPECT_TRUE(form.closeRequested());
    EXPECT_FALSE(prompter.busy);
}

} // namespace
