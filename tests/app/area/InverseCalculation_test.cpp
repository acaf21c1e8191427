#include "AreaCalculation.h"
#include "RecordingSink.h"
#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::RecordingSink;
using verdan::test::ScriptedPrompter;

namespace {

class InverseRun : public ::testing::Test {
protected:
    AreaRunStatus run(const AreaInputs& in) {
        return runInverseCalculation(in, model, records, sink, &result);
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
    InverseResult result;
};

TEST_F(InverseRun, EachDistanceIsWhereTheLossFallsToTheLevel) {
    AreaInputs in;
    in.confLevelsPct = {50, 90, 10, 30};
    ASSERT_EQ(run(in), AreaRunStatus::Done);
    ASSERT_EQ(result.distancesKm.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const double distM = result.distancesKm[i] * 1000;
        // The walk ends one fine step beyond the first distance at which the loss no longer
        // exceeds L.
        EXPECT_LE(lossAt(in, result.levelsPct[i], distM + 0.1), in.lossLevelDb + 1e-6);
        EXPECT_GT(lossAt(in, result.levelsPct[i], distM + 0.2), in.lossLevelDb - 1e-6);
    }
}

TEST_F(InverseRun, LevelsNeverOrAlwaysReachedEndTheWalksAtTheirEnds) {
    AreaInputs in;
    in.lossLevelDb = 0;
    ASSERT_EQ(run(in), AreaRunStatus::Done);
    EXPECT_EQ(sink.lines[13], "Dist (Km)     .100       .100       .100  ");
    in.lossLevelDb = 1000;
    ASSERT_EQ(run(in), AreaRunStatus::Done);
    for (double distKm : result.distancesKm)
        EXPECT_NEAR(distKm, 3999.9999, 1e-6);
}

} // namespace
