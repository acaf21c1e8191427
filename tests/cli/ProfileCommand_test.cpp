#include "ProfileCommand.h"

#include "CliPrompter.h"
#include "CliRun.h"
#include "TerrainFixtures.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace verdan;
using namespace verdan::cli;

using verdan::test::Outcome;
using verdan::test::runCommand;

namespace {

TEST(ProfileCommand, QuarnProfileWithoutAnyDataFailsWithStatus2) {
    test::QuarnFixture quarn(true, {39 * 60 + 30, -78 * 60 + 30}, 'c');
    ASSERT_TRUE(quarn.ok()) << quarn.error().toStdString();
    const Outcome o = runCommand(
        profileCommand, {"--tx", "39.51,-77.499", "--rx", "39.52,-77.49", "--terrain", "quarn"});
    EXPECT_EQ(o.status, ExitUsage);
    EXPECT_TRUE(o.out.empty());
    EXPECT_EQ(o.err, "verdan-cli: Missing topographic elevation data\n");
}

} // namespace
