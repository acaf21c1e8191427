#include "PointToPointCalculation.h"

#include "ProfileFile.h"
#include "RecordingSink.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QTemporaryDir>
#include <cmath>
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

    ScriptedPrompter prompter;
    PropagationModel model{prompter};
    ModelRecords records;
    RecordingSink sink;
    PathState path;
    PointToPointInputs in;
    PointToPointResult result;
};

// The short reference profile at 3.5 GHz in the run's mode of variability 12, the table the
// model gives, computed once and checked against the model's routines called directly and
// against verdan-cli's JSON. Every row differs from the median-time row and the table is not
// symmetric, so reliability and confidence swapped in avar, reliability handed over as the
// location deviate, a flipped polarization or climate code all change it.
TEST_F(PointToPointRun, ReferenceProfileGivesTheModelsTable) {
    QString error;
    ASSERT_TRUE(
        readProfileFile(VERDAN_TEST_DATA_DIR "/reference/p2p_profile_short.pfl", path.pfl, error))
        << error.toStdString();
    in.frequencyMHz = 3500;
    in.h1M = 15;
    in.h2M = 3;
    in.sgmSPerM = 0.005;
    PointToPointResult table;
    ASSERT_EQ(computePointToPointTable(in, path, 143, model, records, table),
              PointToPointStatus::Done);
    const std::vector<std::vector<double>> expected = {{114.287, 124.125, 111.499},
                                                       {114.406, 124.260, 111.519},
                                                       {114.536, 124.395, 111.538},
                                                       {114.620, 124.479, 111.551},
                                                       {114.688, 124.547, 111.561}};
    ASSERT_EQ(table.lossDb.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        for (std::size_t j = 0; j < expected[i].size(); ++j)
            EXPECT_NEAR(table.lossDb[i][j], expected[i][j], 0.002) << i << ',' << j;
    }
    EXPECT_NEAR(table.freeSpaceDb, 114.542, 0.001);
    EXPECT_NEAR(table.distKm, 3.6352, 1e-9);
    EXPECT_EQ(table.pathType, "Line-Of-Sight Path");
    EXPECT_NEAR(table.refractivityNUnits, 251.5, 0.05);
    EXPECT_EQ(table.kwx, 0);
    EXPECT_EQ(records.propv.mdvar, 12);
    EXPECT_TRUE(sink.lines.isEmpty());
}

// The whole report of a run over the rolling profile, as verdan-cli prints it for the same
// profile read from a file.
TEST_F(PointToPointRun, ReportOfARun) {
    in.picturePng = QByteArray("\x89PNG-bytes");
    in.confidencePct = {50, 90};
    in.reliabilityPct = {10, 90};
    ASSERT_EQ(run(), PointToPointStatus::Done);
    const QStringList expected = {"The Solvane of Radio Propagation in the Point-To-Point Mode",
                                  "Terrain Handler: GLOBE",
                                  "Distance 10.0 km",
                                  "Frequency 20.0 MHz",
                                  "Antenna Heights  3.3,  1.3 m",
                                  "Effective Heights 3.3, 11.8 m",
                                  "Terrain, Delta H 88.1 m",
                                  "",
                                  "Polarity - Vertical, Eps= 15.00, SGM = .0010",
                                  "Continental Temperate, Ns 294.44, K 1.318",
                                  "Profile: Num Points 101, Dist between Points .100 km",
                                  "Double Horizon Path",
                                  "Diffraction is the Dominant Mode",
                                  "Coordinates: (39 4 48 N,76 42 0 W) - (38 55 12 N,76 58 48 W)",
                                  "",
                                  "Estimated Quantiles of Basic Transmission Loss (dB)",
                                  "Free Space Value    78.5 dB",
                                  "",
                                  "         Relia-    Confidence Level",
                                  "         bility     50.0    90.0",
                                  "",
                                  "          10.0     113.9   123.8",
                                  "          90.0     114.1   124.0",
                                  "",
                                  "",
                                  "   !Warning! Some parameters are nearly out of range ...",
                                  "     Results should be used with caution.",
                                  "",
                                  "",
                                  ""};
    EXPECT_EQ(sink.lines, expected);
    EXPECT_EQ(sink.pictures, 1);
    EXPECT_EQ(records.msgText, std::string(ModelMessageWidth, ' '));
}

// No terrain, no elevations, a broken profile or a missing model stop the run.
TEST_F(PointToPointRun, StopsWithoutTerrainElevationsProfileOrModel) {
    QTemporaryDir empty(QDir::tempPath() + "/nolib-XXXXXX");
    PropagationModel missing(prompter, empty.path());
    EXPECT_EQ(runPointToPointCalculation(in, path, 101, missing, records, prompter, sink),
              PointToPointStatus::ModelMissing);
    EXPECT_TRUE(sink.lines.isEmpty());
    EXPECT_FALSE(prompter.busy);
    prompter.messages.clear();
    path.ProfileReady = false;
    EXPECT_EQ(run(), PointToPointStatus::NoTerrain);
    EXPECT_TRUE(sink.lines.isEmpty());
    path.ProfileReady = true;
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
    ASSERT_EQ(prompter.messages.size(), 2U);
    EXPECT_EQ(prompter.messages[0].text, "No Terrain Selected");
    EXPECT_EQ(prompter.messages[1].text, "Error: No Elevation Values");
    EXPECT_FALSE(prompter.busy);

    path.pfl = {100, 50, 1, 2, 3};
    EXPECT_EQ(run(3), PointToPointStatus::InvalidProfile);
    EXPECT_EQ(lineIndex("Effective Heights"), -1);
    EXPECT_EQ(sink.lines.last(), "Error: Invalid Terrain Profile, Analysis Cannot Continue");
}

// Regression: a profile loaded from a file was reported under the terrain source and the
// coordinates of an earlier extraction, which need not describe it.
TEST_F(PointToPointRun, SourceLineFollowsWhereTheProfileCameFrom) {
    path.ProfileFile = QStringLiteral("/data/paths/ridge.pfl");
    ASSERT_EQ(run(), PointToPointStatus::Done);
    EXPECT_EQ(sink.lines[1], "Profile File: /data/paths/ridge.pfl");
    EXPECT_EQ(lineIndex("Coordinates"), -1);
    path.ProfileFile.clear();
    for (const char* source : {"Quarn", ""}) {
        sink.lines.clear();
        path.TerrainSource = QString::fromLatin1(source);
        ASSERT_EQ(run(), PointToPointStatus::Done);
        EXPECT_EQ(sink.lines[1], *source ? "Terrain Handler: Quarn" : "Distance 10.0 km");
    }
    path.CoordsInDD = true;
    path.TxLatDD = QStringLiteral(" 39.0800");
    path.TxLonDD = QStringLiteral(" 76.7000");
    path.RxLatDD = QStringLiteral("38.9200 ");
    path.RxLonDD = QStringLiteral("76.9800");
    EXPECT_EQ(FormatPathCoordinates(path), "(39.0800 N,76.7000 W) - (38.9200 N,76.9800 W)");
}

TEST_F(PointToPointRun, ListsAreCutToSevenValuesAndMayBeEmpty) {
    in.reliabilityPct = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    in.confidencePct = {5, 10, 50, 90, 95, 99, 50.5, 70};
    ASSERT_EQ(run(), PointToPointStatus::Done);
    ASSERT_EQ(result.lossDb.size(), 7U);
    EXPECT_EQ(result.lossDb[6].size(), 7U);
    EXPECT_EQ(sink.lines[lineIndex("         bility")],
              "         bility      5.0    10.0    50.0    90.0    95.0    99.0    50.5");
    EXPECT_EQ(sink.lines[lineIndex("           7.0  ")].size(), 16 + 7 * 8);

    sink.lines.clear();
    in.confidencePct.clear();
    in.reliabilityPct = {1};
    ASSERT_EQ(run(), PointToPointStatus::Done);
    EXPECT_EQ(sink.lines[lineIndex("         bility") + 2], "           1.0  ");
}

TEST(MeanSystemElevation, AveragesTheMiddleOfTheProfile) {
    std::vector<double> pfl{100, 10};
    for (int k = 0; k <= 100; ++k)
        pfl.push_back(k);
    // Points 10 to 90 of 0..100: mean 50.
    EXPECT_DOUBLE_EQ(meanSystemElevation(pfl), 50.0);
    EXPECT_DOUBLE_EQ(meanSystemElevation({1, 10, 4, 8}), 6.0);
}

} // namespace
