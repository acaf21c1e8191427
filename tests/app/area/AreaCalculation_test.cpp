#include "AreaCalculation.h"
#include "RecordingSink.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::RecordingSink;
using verdan::test::ScriptedPrompter;

namespace {

// ---- Distance grid ----

struct GridCase {
    const char* name;
    double d0, d1, ds1, d2, ds2;
    double firstKm, d1Km, d2Km;
    long long count1, count2;
};

class DistanceGridTest : public ::testing::TestWithParam<GridCase> {};

TEST_P(DistanceGridTest, CountsAndMovesTheEnds) {
    const GridCase& c = GetParam();
    AreaInputs in;
    in.d0Km = c.d0;
    in.d1Km = c.d1;
    in.ds1Km = c.ds1;
    in.d2Km = c.d2;
    in.ds2Km = c.ds2;
    const DistanceGrid grid = areaDistanceGrid(in);
    EXPECT_DOUBLE_EQ(grid.d0Km, c.firstKm);
    EXPECT_DOUBLE_EQ(grid.d1Km, c.d1Km);
    EXPECT_DOUBLE_EQ(grid.d2Km, c.d2Km);
    EXPECT_EQ(grid.count1, c.count1);
    EXPECT_EQ(grid.count2, c.count2);
}

INSTANTIATE_TEST_SUITE_P(
    Area, DistanceGridTest,
    ::testing::Values(
        GridCase{"Default22Rows", 10, 150, 10, 500, 50, 10, 150, 500, 15, 7},
        GridCase{"D1MovesUpAtAQuarterStep", 10, 155, 10, 500, 50, 10, 160, 510, 16, 7},
        GridCase{"D1MovesDownBelowAQuarterStep", 10, 152, 10, 500, 50, 10, 150, 500, 15, 7},
        GridCase{"NoFirstStepSecondSegmentFromD0", 10, 150, 0, 500, 50, 10, 10, 510, 1, 10},
        GridCase{"D1NotAboveD0", 10, 5, 10, 500, 50, 10, 10, 510, 1, 10},
        GridCase{"D0ZeroTakesTheStep", 0, 150, 10, 500, 50, 10, 150, 500, 15, 7},
        GridCase{"D0NegativeTakesTheStep", -5, 150, 10, 500, 50, 10, 150, 500, 15, 7},
        GridCase{"D0AndStepZeroStartAt2Km", 0, 150, 0, 0, 0, 2, 2, 0, 1, 0},
        GridCase{"NoSecondSegmentKeepsD2", 10, 150, 10, 100, 50, 10, 150, 100, 15, 0},
        GridCase{"SecondSegmentOfNoRow", 10, 150, 10, 160, 50, 10, 150, 150, 15, 0},
        GridCase{"SingleDistance", 16, 16, 0, 0, 0, 16, 16, 0, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DistanceGrid, ASegmentBeyondTheRowLimitIsCountedJustAboveIt) {
    AreaInputs in;
    in.ds1Km = 1e-300;
    EXPECT_EQ(areaDistanceGrid(in).count1, MaxAreaRows + 1);
    in.ds1Km = 10;
    in.ds2Km = 1e-9;
    EXPECT_EQ(areaDistanceGrid(in).count2, MaxAreaRows + 1);
    in.d2Km = std::numeric_limits<double>::infinity();
    in.ds2Km = 1;
    EXPECT_GT(areaDistanceGrid(in).points(), MaxAreaRows);
}

// ---- List codes ----

TEST(ListCodes, MapTheTrimmedItemTextsAndGiveZeroOtherwise) {
    const QStringList climates = climateItems();
    ASSERT_EQ(climates.size(), 7);
    for (int i = 0; i < climates.size(); ++i)
        EXPECT_EQ(ClimateCode(climates[i]), i + 1) << climates[i].toStdString();
    EXPECT_EQ(ClimateCode(QStringLiteral("  Desert ")), 4);
    EXPECT_EQ(ClimateCode(QStringLiteral("desert")), 0);
    EXPECT_EQ(ClimateCode(QString()), 0);
    EXPECT_EQ(VariabilityCode(QStringLiteral("broadcast")), 0);
    EXPECT_EQ(SitingCode(QStringLiteral(" Careful")), 1);
}

TEST(ConfidenceLevels, StopAtTheFirstLevelNotAboveZero) {
    EXPECT_EQ(activeConfidenceLevels({50, 90, 10, 0}), (std::vector<double>{50, 90, 10}));
    EXPECT_EQ(activeConfidenceLevels({50, 90, 0, 10}), (std::vector<double>{50, 90}));
    EXPECT_EQ(activeConfidenceLevels({50, 90, 10, 30}), (std::vector<double>{50, 90, 10, 30}));
    EXPECT_EQ(activeConfidenceLevels({50, -1, 10, 30}), (std::vector<double>{50}));
    EXPECT_EQ(activeConfidenceLevels({0, 90, 10, 0}), (std::vector<double>{50}))
        << "a first level that is not above zero is taken as 50 %";
}

// ---- Runs with the model library ----

class AreaRun : public ::testing::Test {
protected:
    AreaRunStatus run(const AreaInputs& in) {
        return runAreaCalculation(in, model, records, sink, results);
    }
    ScriptedPrompter prompter;
    PropagationModel model{prompter};
    ModelRecords records;
    RecordingSink sink;
    AreaResults results;
};

TEST_F(AreaRun, KeepsTheTableOfTheRunForTheGraphAndTheArchive) {
    ASSERT_EQ(run(AreaInputs{}), AreaRunStatus::Done);
    ASSERT_TRUE(results.valid);
    ASSERT_EQ(results.graphDist.size(), 22u);
    ASSERT_EQ(results.graphLoss.size(), 22u);
    EXPECT_EQ(results.graphLastPoint, 21);
    EXPECT_EQ(results.graphLastLevel, 2);
    EXPECT_DOUBLE_EQ(results.graphDist[15], 200);
    EXPECT_EQ(results.graphTitle1,
              "Frq 100MHz,Ant Hghts 3.0,3.0m,Terrain Delta H 90m,Pol=Vert,eps=15,sgm=.005S/m");
    for (std::size_t k = 0; k < 22; ++k) {
        const std::vector<double>& series = results.graphLoss[k];
        ASSERT_EQ(series.size(), 4u);
        // Each row of the report shows the stored values.
        const QStringList fields = sink.lines[14 + static_cast<int>(k)].split(u',');
        ASSERT_EQ(fields.size(), 5);
        EXPECT_NEAR(fields[1].toDouble(), series[3], 0.05) << "free space, row " << k;
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_NEAR(fields[static_cast<int>(i) + 2].toDouble(), series[i], 0.05);
        EXPECT_GT(series[1], series[0]) << "90 % confidence needs more loss than 50 %";
        EXPECT_LT(series[2], series[0]);
    }
}

TEST_F(AreaRun, RegressionZeroDeltaHPrintsAZero) {
    AreaInputs in;
    in.deltaHM = 0;
    ASSERT_EQ(run(in), AreaRunStatus::Done);
    EXPECT_EQ(sink.lines[4], "Terrain, Delta H  0 m");
    EXPECT_TRUE(results.graphTitle1.contains(",Terrain Delta H 0m,"))
        << results.graphTitle1.toStdString();
}

TEST_F(AreaRun, RegressionHorizontalIsComputedAsHorizontal) {
    AreaInputs in;
    in.frequencyMHz = 20;
    in.deltaHM = 0;
    in.d0Km = 5;
    in.ds1Km = 0;
    in.d2Km = 0;
    in.horizontal = true;
    ASSERT_EQ(run(in), AreaRunStatus::Done);
    EXPECT_EQ(sink.lines[5], "Polarization=Horizontal, eps=  15, sgm=.005 S/m");
    EXPECT_TRUE(results.graphTitle1.contains(",Pol=Horz,"));

    // The same case through the model by hand, with each polarization code.
    const auto lossWithCode = [&](int ipol) {
        ModelRecords r;
        r.prop.hg[0] = in.h1M;
        r.prop.hg[1] = in.h2M;
        r.prop.dh = in.deltaHM;
        r.prop.ens = in.nsNUnits;
        r.propv.klim = 5;
        EXPECT_TRUE(model.qlrps(r, in.frequencyMHz, 0, in.nsNUnits, ipol, in.eps, in.sgmSPerM));
        const int sites[2] = {0, 0};
        EXPECT_TRUE(model.qlra(r, sites, 5, 3));
        r.propv.lvar = std::max(r.propv.lvar, 1);
        EXPECT_TRUE(model.lrprop(r, 5000));
        return *model.avar(r, 0, 0, 0) + 8.68589 * std::log(2 * r.prop.wn * r.prop.dist);
    };
    const double horizontalDb = lossWithCode(0);
    const double verticalDb = lossWithCode(1);
    ASSERT_GT(std::abs(horizontalDb - verticalDb), 0.5) << "the case must tell them apart";
    EXPECT_NEAR(results.graphLoss[0][0], horizontalDb, 1e-6);

    RecordingSink verticalSink;
    in.horizontal = false;
    ASSERT_EQ(runAreaCalculation(in, model, records, verticalSink, results), AreaRunStatus::Done);
    EXPECT_NEAR(results.graphLoss[0][0], verticalDb, 1e-6);
}

TEST_F(AreaRun, SitingCodesAndClimateAreReported) {
    AreaInputs in;
    in.site1Text = QStringLiteral("Careful");
    in.site2Text = QStringLiteral("Very Careful");
    in.climateText = QStringLiteral("Maritime Temperate, Over Sea");
    ASSERT_EQ(run(in), AreaRunStatus::Done);
    EXPECT_TRUE(sink.lines[3].endsWith(" m (siting= 1,  2)")) << sink.lines[3].toStdString();
    EXPECT_TRUE(sink.lines[6].startsWith("Climate= Maritime Temperate, Over Sea, Ns=301"));
    EXPECT_EQ(records.propv.klim, 7);
    EXPECT_TRUE(results.graphTitle2.startsWith("Maritime Temperate, Over Sea, Ns=301,N-units,K="));
}

TEST_F(AreaRun, ModelComplaintsBecomeWarningLines) {
    AreaInputs in;
    in.h1M = 0.5;
    ASSERT_EQ(run(in), AreaRunStatus::Done);
    ASSERT_NE(records.prop.kwx, 0) << "a 0.5 m antenna is near the model's limits";
    const QStringList warnings = modelWarningLines(records.prop.kwx);
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_EQ(sink.lines[36], "");
    EXPECT_EQ(sink.lines[37], warnings[0]);
    EXPECT_EQ(sink.lines[38], warnings[1]);
    EXPECT_EQ(sink.lines.size(), 8 + 6 + 22 + 1 + 2 + 3);
}

TEST_F(AreaRun, RegressionTooManyRowsIsRefusedBeforeAnything) {
    ASSERT_EQ(run(AreaInputs{}), AreaRunStatus::Done);
    const AreaResults before = results;
    sink.lines.clear();
    AreaInputs in;
    in.d0Km = 1;
    in.d1Km = 32769;
    in.ds1Km = 1;
    in.d2Km = 0;
    ASSERT_EQ(areaDistanceGrid(in).points(), MaxAreaRows + 1);
    EXPECT_EQ(run(in), AreaRunStatus::TooManyRows);
    EXPECT_TRUE(sink.lines.isEmpty());
    EXPECT_TRUE(sink.current.isEmpty());
    EXPECT_EQ(results.graphDist, before.graphDist);
    EXPECT_EQ(results.graphTitle1, before.graphTitle1);
    EXPECT_TRUE(tooManyRowsMessage().contains("32768"));
}

TEST_F(AreaRun, AMissingRoutineStopsBeforeAnythingIsWritten) {
    ASSERT_EQ(run(AreaInputs{}), AreaRunStatus::Done);
    const AreaResults before = results;
    sink.lines.clear();

    // A library with qerfi and lrprop only, installed as libpmverdan.so in its own folder.
    QTemporaryDir dir(QDir::tempPath() + "/fakelib-XXXXXX");
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(
        QFile::copy(executableFolder() + "/libfake_pmverdan.so", dir.path() + "/libpmverdan.so"));
    PropagationModel partial(prompter, dir.path());
    EXPECT_EQ(runAreaCalculation(AreaInputs{}, partial, records, sink, results),
              AreaRunStatus::ModelMissing);
    EXPECT_TRUE(sink.lines.isEmpty());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains("qlrps"))
        << prompter.messages[0].text.toStdString();
    EXPECT_EQ(results.graphLoss, before.graphLoss);
    EXPECT_TRUE(results.valid);
}

} // namespace
