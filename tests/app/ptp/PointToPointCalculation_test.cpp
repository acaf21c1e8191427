#include "PointToPointCalculation.h"

#include "NumberFormat.h"
#include "ProfileFile.h"
#include "RecordingSink.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::RecordingSink;
using verdan::test::ScriptedPrompter;

namespace {

// A profile of `points` points over gently rolling ground, spacing in metres.
std::vector<double> rollingProfile(int points, double spacingM) {
    std::vector<double> pfl{static_cast<double>(points - 1), spacingM};
    for (int k = 0; k < points; ++k)
        pfl.push_back(200.0 + 30.0 * std::sin(k * 0.05) + 0.01 * k);
    return pfl;
}

class PointToPointRun : public ::testing::Test {
protected:
    PointToPointRun() {
        path.pfl = rollingProfile(101, 100.0);
        path.ProfileReady = true;
        path.TerrainSource = QStringLiteral("GLOBE");
        path.coords = {"39", "4",  "48", "N", "76", "42", "0",  "W",
                       "38", "55", "12", "N", "76", "58", "48", "W"};
    }

    PointToPointStatus run(int profilePoints = 101) {
        return runPointToPointCalculation(in, path, profilePoints, model, records, prompter, sink,
                                          &result);
    }

    int lineIndex(const QString& prefix) const {
        for (qsizetype i = 0; i < sink.lines.size(); ++i) {
            if (sink.lines[i].startsWith(prefix))
                return static_cast<int>(i);
        }
        return -1;
    }
    QString line(const QString& prefix) const {
        const int i = lineIndex(prefix);
        return i < 0 ? QString() : sink.lines[i];
    }

    ScriptedPrompter prompter;
    PropagationModel model{prompter};
    ModelRecords records;
    RecordingSink sink;
    PathState path;
    PointToPointInputs in;
    PointToPointResult result;
};

TEST_F(PointToPointRun, NoProfileShowsNoTerrainSelectedAndWritesNothing) {
    path.ProfileReady = false;
    EXPECT_EQ(run(), PointToPointStatus::NoTerrain);
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_EQ(prompter.messages[0].text, "No Terrain Selected");
    EXPECT_EQ(prompter.messages[0].title, "Verdan Point-To-Point Calculations");
    EXPECT_TRUE(sink.lines.isEmpty());
    EXPECT_EQ(prompter.busyOnCount, 0);
}

TEST_F(PointToPointRun, NoElevationsStopsAfterTheHeaderBeforeTheModel) {
    path.pfl = {100, 50};
    path.pfl.resize(803, 0.0);
    EXPECT_EQ(run(0), PointToPointStatus::NoElevations);
    const QStringList expected = {"The Solvane of Radio Propagation in the Point-To-Point Mode",
                                  "Terrain Handler: GLOBE",
                                  "Distance 5.0 km",
                                  "Frequency 20.0 MHz",
                                  "Antenna Heights  3.3,  1.3 m",
                                  "Profile: Num Points  101, Dist between Points 0.050km",
                                  "Error: No Elevation Values, Analysis Cannot Continue"};
    EXPECT_EQ(sink.lines, expected);
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_EQ(prompter.messages[0].text, "Error: No Elevation Values");
    EXPECT_EQ(prompter.messages[0].title, "Verdan Point-To-Point");
    EXPECT_FALSE(prompter.busy);
    EXPECT_EQ(records.prop.mdp, -1);
}

TEST_F(PointToPointRun, ReferenceCaseAgreesWithThePublishedFigures) {
    QString error;
    ASSERT_TRUE(
        readProfileFile(VERDAN_TEST_DATA_DIR "/reference/p2p_profile_short.pfl", path.pfl, error))
        << error.toStdString();
    in.frequencyMHz = 3500;
    in.h1M = 15;
    in.h2M = 3;
    in.sgmSPerM = 0.005;
    in.eps = 15;
    in.nsNUnits = 301;
    ASSERT_EQ(run(static_cast<int>(path.pfl.size() - 2)), PointToPointStatus::Done);
    EXPECT_EQ(line("Free Space Value"), "Free Space Value   114.5 dB");
    EXPECT_EQ(line("Terrain, Delta H"), "Terrain, Delta H 3.2 m");
    EXPECT_EQ(line("Effective Heights"), "Effective Heights 15.0, 3.0 m");
    // Ns is printed with two decimals; the reference rounds it to 251.5.
    const QString nsText = line("Continental Temperate, Ns ").section(u' ', 3, 3).chopped(1);
    EXPECT_NEAR(nsText.toDouble(), 251.5, 0.05 + 0.005) << nsText.toStdString();
    EXPECT_EQ(lineIndex("Line-Of-Sight Path") >= 0, true);
    EXPECT_EQ(lineIndex("Diffraction"), -1);
    EXPECT_EQ(lineIndex("Troposheric"), -1);
    EXPECT_EQ(result.pathType, "Line-Of-Sight Path");
    EXPECT_NEAR(result.distKm, 3.635, 0.001);
}

TEST_F(PointToPointRun, HeaderLinesInOrder) {
    ASSERT_EQ(run(), PointToPointStatus::Done);
    ASSERT_GE(sink.lines.size(), 10);
    EXPECT_EQ(sink.lines[0], "The Solvane of Radio Propagation in the Point-To-Point Mode");
    EXPECT_EQ(sink.lines[1], "Terrain Handler: GLOBE");
    EXPECT_EQ(sink.lines[2], "Distance 10.0 km");
    EXPECT_EQ(sink.lines[3], "Frequency 20.0 MHz");
    EXPECT_EQ(sink.lines[4], "Antenna Heights  3.3,  1.3 m");
    EXPECT_TRUE(sink.lines[5].startsWith("Effective Heights "));
    EXPECT_TRUE(sink.lines[6].startsWith("Terrain, Delta H "));
    EXPECT_EQ(sink.lines[7], "");
    EXPECT_EQ(sink.lines[8], "Polarity - Vertical, Eps= 15.00, SGM = .0010");
    EXPECT_TRUE(sink.lines[9].startsWith("Continental Temperate, Ns "));
    EXPECT_EQ(line("Profile: Num Points"), "Profile: Num Points 101, Dist between Points .100 km");
    EXPECT_EQ(line("Coordinates: "),
              "Coordinates: (39 4 48 N,76 42 0 W) - (38 55 12 N,76 58 48 W)");
}

// Regression: a profile loaded from a file was reported under the terrain source and the
// coordinates of an earlier extraction, which need not describe it.
TEST_F(PointToPointRun, ProfileFromAFileIsReportedByItsFileNotByStaleCoordinates) {
    path.ProfileFile = QStringLiteral("/data/paths/ridge.pfl");
    ASSERT_EQ(run(), PointToPointStatus::Done);
    EXPECT_EQ(sink.lines[1], "Profile File: /data/paths/ridge.pfl");
    EXPECT_EQ(lineIndex("Terrain Handler"), -1);
    EXPECT_EQ(lineIndex("Coordinates"), -1);
    EXPECT_EQ(sink.lines[2], "Distance 10.0 km");
}

TEST_F(PointToPointRun, QuarnSourceAndUnknownSourceHeaders) {
    path.TerrainSource = QStringLiteral("Quarn");
    ASSERT_EQ(run(), PointToPointStatus::Done);
    EXPECT_EQ(sink.lines[1], "Terrain Handler: Quarn");
    RecordingSink second;
    path.TerrainSource.clear();
    runPointToPointCalculation(in, path, 101, model, records, prompter, second);
    EXPECT_EQ(second.lines[1], "Distance 10.0 km");
}

TEST_F(PointToPointRun, HorizontalPolarityLine) {
    in.horizontal = true;
    ASSERT_EQ(run(), PointToPointStatus::Done);
    EXPECT_TRUE(line("Polarity - ").startsWith("Polarity - Horizontal, Eps= 15.00"));
}

TEST_F(PointToPointRun, DecimalDegreeCoordinates) {
    path.CoordsInDD = true;
    path.TxLatDD = QStringLiteral(" 39.0800");
    path.TxLonDD = QStringLiteral(" 76.7000");
    path.RxLatDD = QStringLiteral("38.9200 ");
    path.RxLonDD = QStringLiteral("76.9800");
    EXPECT_EQ(FormatPathCoordinates(path), "(39.0800 N,76.7000 W) - (38.9200 N,76.9800 W)");
}

TEST_F(PointToPointRun, SevenBySevenTableHasFortyNineLossesAndAlignedColumns) {
    in.reliabilityPct = {1, 5, 10, 50, 90, 95, 99};
    in.confidencePct = {5, 10, 50, 90, 95, 99, 50.5};
    ASSERT_EQ(run(), PointToPointStatus::Done);
    ASSERT_EQ(result.lossDb.size(), 7U);
    for (const auto& row : result.lossDb)
        EXPECT_EQ(row.size(), 7U);
    const int heading = lineIndex("         Relia-");
    ASSERT_GE(heading, 0);
    EXPECT_EQ(sink.lines[heading], "         Relia-    Confidence Level");
    const QString columns = sink.lines[heading + 1];
    EXPECT_EQ(columns, "         bility      5.0    10.0    50.0    90.0    95.0    99.0    50.5");
    EXPECT_EQ(sink.lines[heading + 2], "");
    for (int i = 0; i < 7; ++i) {
        const QString row = sink.lines[heading + 3 + i];
        EXPECT_EQ(row.size(), 16 + 7 * 8) << row.toStdString();
        EXPECT_TRUE(row.startsWith("    ")) << row.toStdString();
        EXPECT_EQ(row.mid(4, 10), numfmt::padded(in.reliabilityPct[i], u"00000000.0"));
        EXPECT_EQ(row.mid(14, 2), "  ");
        for (int j = 0; j < 7; ++j)
            EXPECT_EQ(row.mid(16 + 8 * j, 8), numfmt::padded(result.lossDb[i][j], u"000000.0"));
    }
}

TEST_F(PointToPointRun, MoreThanSevenValuesUseTheFirstSeven) {
    in.reliabilityPct = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    in.confidencePct = {10, 20, 30, 40, 50, 60, 70, 80};
    ASSERT_EQ(run(), PointToPointStatus::Done);
    EXPECT_EQ(result.reliabilityPct.size(), 7U);
    EXPECT_EQ(result.confidencePct.size(), 7U);
}

TEST_F(PointToPointRun, EmptyListsGiveHeadingsWithoutRowsOrColumns) {
    in.reliabilityPct.clear();
    in.confidencePct.clear();
    ASSERT_EQ(run(), PointToPointStatus::Done);
    const int heading = lineIndex("         bility");
    ASSERT_GE(heading, 0);
    EXPECT_EQ(sink.lines[heading], "         bility ");
    EXPECT_EQ(sink.lines[heading + 1], "");
    EXPECT_EQ(sink.lines[heading + 2], "");
    EXPECT_TRUE(result.lossDb.empty());
}

TEST_F(PointToPointRun, NoConfidenceValuesGiveRowsWithoutLosses) {
    in.confidencePct.clear();
    ASSERT_EQ(run(), PointToPointStatus::Done);
    const int heading = lineIndex("         bility");
    EXPECT_EQ(sink.lines[heading + 2], "           1.0  ");
    EXPECT_EQ(sink.lines[heading + 2].size(), 16);
}

TEST_F(PointToPointRun, FreeSpaceLineKeepsItsPatternWidth) {
    ASSERT_EQ(run(), PointToPointStatus::Done);
    const QString fs = line("Free Space Value ");
    ASSERT_TRUE(fs.endsWith(" dB"));
    EXPECT_EQ(fs.size(), QString("Free Space Value ").size() + 7 + 3);
    EXPECT_NEAR(result.freeSpaceDb, 20 * std::log10(20.0) + 32.45 + 20 * std::log10(10.0), 0.01);
}

TEST_F(PointToPointRun, PictureInsertedBetweenEmptyLinesAndReportEndsWithLineBreaks) {
    in.picturePng = QByteArray("\x89PNG-bytes");
    in.pictureWidthPx = 520;
    in.pictureHeightPx = 200;
    ASSERT_EQ(run(), PointToPointStatus::Done);
    EXPECT_EQ(sink.pictures, 1);
    ASSERT_GE(sink.lines.size(), 3);
    EXPECT_EQ(sink.lines.mid(sink.lines.size() - 3), QStringList({"", "", ""}));
    EXPECT_TRUE(sink.current.isEmpty());
    EXPECT_EQ(records.msgText, std::string(ModelMessageWidth, ' '));
}

TEST_F(PointToPointRun, TwoRunsAppendTwoCompleteReports) {
    ASSERT_EQ(run(), PointToPointStatus::Done);
    const auto first = sink.lines.size();
    ASSERT_EQ(run(), PointToPointStatus::Done);
    EXPECT_EQ(sink.lines.size(), 2 * first);
    EXPECT_EQ(sink.lines[first], "The Solvane of Radio Propagation in the Point-To-Point Mode");
}

TEST_F(PointToPointRun, LongPathOverHighGroundIsBeyondTheHorizon) {
    std::vector<double> pfl{200, 500};
    for (int k = 0; k <= 200; ++k)
        pfl.push_back(k > 40 && k < 160 ? 600.0 : 10.0);
    path.pfl = pfl;
    in.frequencyMHz = 900;
    ASSERT_EQ(run(201), PointToPointStatus::Done);
    EXPECT_NE(result.pathType, "Line-Of-Sight Path");
    EXPECT_FALSE(result.dominantMode.isEmpty());
    EXPECT_GE(lineIndex(result.dominantMode), lineIndex(result.pathType) + 1);
}

TEST_F(PointToPointRun, ModelWarningLinesFollowKwx) {
    in.frequencyMHz = 50000; // far above the model's range
    ASSERT_EQ(run(), PointToPointStatus::Done);
    ASSERT_GE(result.kwx, 1);
    EXPECT_GE(lineIndex("   !"), 0);
}

TEST_F(PointToPointRun, InconsistentProfileIsRefusedBeforeTheModel) {
    path.pfl = {100, 50, 1, 2, 3};
    EXPECT_EQ(run(3), PointToPointStatus::InvalidProfile);
    EXPECT_EQ(lineIndex("Effective Heights"), -1);
    EXPECT_FALSE(prompter.busy);
}

TEST_F(PointToPointRun, MissingModelLibraryStopsTheRun) {
    QTemporaryDir empty(QDir::tempPath() + "/nolib-XXXXXX");
    PropagationModel missing(prompter, empty.path());
    EXPECT_EQ(runPointToPointCalculation(in, path, 101, missing, records, prompter, sink),
              PointToPointStatus::ModelMissing);
    EXPECT_FALSE(prompter.messages.empty());
    EXPECT_FALSE(prompter.busy);
}

TEST(MeanSystemElevation, AveragesTheMiddleOfTheProfile) {
    std::vector<double> pfl{100, 10};
    for (int k = 0; k <= 100; ++k)
        pfl.push_back(k);
    // Points 10 to 90 of 0..100: mean 50.
    EXPECT_DOUBLE_EQ(meanSystemElevation(pfl), 50.0);
    std::vector<double> two{1, 10, 4, 8};
    EXPECT_DOUBLE_EQ(meanSystemElevation(two), 6.0);
}

TEST(RoundHalfEven, TiesGoToTheEvenInteger) {
    EXPECT_EQ(roundHalfEven(4.5), 4);
    EXPECT_EQ(roundHalfEven(5.5), 6);
    EXPECT_EQ(roundHalfEven(5.4), 5);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(7.0), 7);
}

TEST(SignedLog10, SignFollowsTheArgument) {
    EXPECT_DOUBLE_EQ(SignedLog10(100), 2);
    EXPECT_DOUBLE_EQ(SignedLog10(-100), -2);
    EXPECT_DOUBLE_EQ(SignedLog10(0), 0);
}

TEST(ReportFormats, ValuesBelowOneAndNegativeValues) {
    EXPECT_EQ(numfmt::trimmed(0.5, u"0000000000.0"), ".5");
    EXPECT_EQ(numfmt::padded(-3.2, u"00000.0"), "-00003.2");
}

} // namespace
