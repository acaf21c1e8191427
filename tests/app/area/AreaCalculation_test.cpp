#include "AreaCalculation.h"
#include "RecordingSink.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace verdan;
using namespace verdan::test;

namespace {

// The default inputs with the distances d0, d1, ds1, d2 and ds2.
AreaInputs withDistances(double d0Km, double d1Km, double ds1Km, double d2Km, double ds2Km) {
    AreaInputs in;
    in.d0Km = d0Km;
    in.d1Km = d1Km;
    in.ds1Km = ds1Km;
    in.d2Km = d2Km;
    in.ds2Km = ds2Km;
    return in;
}

// ---- Distance grid ----

TEST(DistanceGrid, CountsAndMovesTheEnds) {
    const struct {
        const char* name;
        AreaInputs in;
        double firstKm, d1Km, d2Km;
        long long count1, count2;
    } cases[] = {
        {"Default22Rows", withDistances(10, 150, 10, 500, 50), 10, 150, 500, 15, 7},
        {"D1MovesUpAtAQuarterStep", withDistances(10, 152.5, 10, 500, 50), 10, 160, 510, 16, 7},
        {"D1MovesDownBelowAQuarterStep", withDistances(10, 152, 10, 500, 50), 10, 150, 500, 15, 7},
        {"NoFirstStepSecondSegmentFromD0", withDistances(10, 150, 0, 500, 50), 10, 10, 510, 1, 10},
        {"D1NotAboveD0", withDistances(10, 5, 10, 500, 50), 10, 10, 510, 1, 10},
        {"D0ZeroTakesTheStep", withDistances(0, 150, 10, 500, 50), 10, 150, 500, 15, 7},
        {"D0NegativeTakesTheStep", withDistances(-5, 150, 10, 500, 50), 10, 150, 500, 15, 7},
        {"D0AndStepZeroStartAt2Km", withDistances(0, 150, 0, 0, 0), 2, 2, 0, 1, 0},
        {"NoSecondSegmentKeepsD2", withDistances(10, 150, 10, 100, 50), 10, 150, 100, 15, 0},
        {"SecondSegmentOfNoRow", withDistances(10, 150, 10, 160, 50), 10, 150, 150, 15, 0},
        {"SingleDistance", withDistances(16, 16, 0, 0, 0), 16, 16, 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DistanceGrid grid = areaDistanceGrid(c.in);
        EXPECT_DOUBLE_EQ(grid.d0Km, c.firstKm);
        EXPECT_DOUBLE_EQ(grid.d1Km, c.d1Km);
        EXPECT_DOUBLE_EQ(grid.d2Km, c.d2Km);
        EXPECT_EQ(grid.count1, c.count1);
        EXPECT_EQ(grid.count2, c.count2);
    }
}

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

struct AreaRun : ::testing::Test {
    AreaRunStatus run(const AreaInputs& in) {
        return runAreaCalculation(in, model, records, sink, results);
    }
    AreaRunStatus runInverse(const AreaInputs& in) {
        return runInverseCalculation(in, model, records, sink, &inverse);
    }
    // The loss at `distM` metres for the confidence level `levelPct`, as the walks evaluate it.
    double lossAt(const AreaInputs& in, double levelPct, double distM) {
        AreaRunSetup setup;
        ModelRecords r;
        EXPECT_TRUE(prepareAreaRun(in, model, r, setup));
        const double freeSpaceDb = *areaFreeSpaceAt(model, r, distM);
        return *model.avar(r, setup.zt, setup.zl, *model.qerfi(levelPct / 100)) + freeSpaceDb;
    }
    ScriptedPrompter prompter;
    PropagationModel model{prompter};
    ModelRecords records;
    RecordingSink sink;
    AreaResults results;
    InverseResult inverse;
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

// Regression: a delta h of 0 was left out of the report and the graph's title.
TEST_F(AreaRun, RegressionZeroDeltaHPrintsAZeroBesideTheSitingAndClimate) {
    AreaInputs in;
    in.deltaHM = 0;
    in.site1Text = "Careful";
    in.site2Text = "Very Careful";
    in.climateText = "Maritime Temperate, Over Sea";
    ASSERT_EQ(run(in), AreaRunStatus::Done);
    EXPECT_TRUE(sink.lines[3].endsWith(" m (siting= 1,  2)")) << sink.lines[3].toStdString();
    EXPECT_EQ(sink.lines[4], "Terrain, Delta H  0 m");
    EXPECT_TRUE(sink.lines[6].startsWith("Climate= Maritime Temperate, Over Sea, Ns=301"));
    EXPECT_EQ(records.propv.klim, 7);
    EXPECT_TRUE(results.graphTitle1.contains(",Terrain Delta H 0m,"))
        << results.graphTitle1.toStdString();
    EXPECT_TRUE(results.graphTitle2.startsWith("Maritime Temperate, Over Sea, Ns=301,N-units,K="));
}

TEST_F(AreaRun, RegressionHorizontalIsComputedAsHorizontal) {
    AreaInputs in = withDistances(5, 150, 0, 0, 50);
    in.frequencyMHz = 20;
    in.deltaHM = 0;
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

// A refused run (too many rows, a model library without a routine) writes nothing and keeps
// the table of the run before.
TEST_F(AreaRun, RegressionTooManyRowsOrAMissingRoutineIsRefusedBeforeAnything) {
    // A library with qerfi and lrprop only, installed as libpmverdan.so in its own folder.
    QTemporaryDir dir(QDir::tempPath() + "/fakelib-XXXXXX");
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(
        QFile::copy(executableFolder() + "/libfake_pmverdan.so", dir.path() + "/libpmverdan.so"));
    PropagationModel partial(prompter, dir.path());
    const AreaInputs tooManyRows = withDistances(1, 32769, 1, 0, 50);
    ASSERT_EQ(areaDistanceGrid(tooManyRows).points(), MaxAreaRows + 1);
    const struct {
        PropagationModel* library;
        AreaInputs in;
        AreaRunStatus status;
    } cases[] = {{&model, tooManyRows, AreaRunStatus::TooManyRows},
                 {&partial, AreaInputs{}, AreaRunStatus::ModelMissing}};
    for (const auto& c : cases) {
        ASSERT_EQ(run(AreaInputs{}), AreaRunStatus::Done);
        const AreaResults before = results;
        sink.lines.clear();
        EXPECT_EQ(runAreaCalculation(c.in, *c.library, records, sink, results), c.status);
        EXPECT_TRUE(sink.lines.isEmpty());
        EXPECT_TRUE(sink.current.isEmpty());
        EXPECT_EQ(results.graphDist, before.graphDist);
        EXPECT_EQ(results.graphLoss, before.graphLoss);
        EXPECT_EQ(results.graphTitle1, before.graphTitle1);
        EXPECT_TRUE(results.valid);
    }
    EXPECT_TRUE(tooManyRowsMessage().contains("32768"));
    ASSERT_EQ(prompter.messages.size(), 1u) << "the missing routine is named";
    EXPECT_TRUE(prompter.messages[0].text.contains("qlrps"))
        << prompter.messages[0].text.toStdString();
}

// ---- Inverse runs ----

TEST_F(AreaRun, InverseEachDistanceIsWhereTheLossFallsToTheLevel) {
    AreaInputs in;
    in.confLevelsPct = {50, 90, 10, 30};
    ASSERT_EQ(runInverse(in), AreaRunStatus::Done);
    ASSERT_EQ(inverse.distancesKm.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const double distM = inverse.distancesKm[i] * 1000;
        // The walk ends one fine step beyond the first distance at which the loss no longer
        // exceeds L.
        EXPECT_LE(lossAt(in, inverse.levelsPct[i], distM + 0.1), in.lossLevelDb + 1e-6);
        EXPECT_GT(lossAt(in, inverse.levelsPct[i], distM + 0.2), in.lossLevelDb - 1e-6);
    }
}

TEST_F(AreaRun, InverseLevelsNeverOrAlwaysReachedEndTheWalksAtTheirEnds) {
    AreaInputs in;
    in.lossLevelDb = 0;
    ASSERT_EQ(runInverse(in), AreaRunStatus::Done);
    EXPECT_EQ(sink.lines[13], "Dist (Km)     .100       .100       .100  ");
    in.lossLevelDb = 1000;
    ASSERT_EQ(runInverse(in), AreaRunStatus::Done);
    for (double distKm : inverse.distancesKm)
        EXPECT_NEAR(distKm, 3999.9999, 1e-6);
}

} // namespace
