#include "ProfileCommand.h"

#include "CliRun.h"
#include "P2pCommand.h"
#include "TerrainFixtures.h"

#include <gtest/gtest.h>

using namespace verdan;
using namespace verdan::cli;
using namespace verdan::test;

namespace {

const QString DemoTiles = QStringLiteral(VERDAN_DEMO_RASTER_DIR "demo-tiles-synthetic");

TEST(RasterTerrain, ReportNamesTheRasterAndItsFilledPoints) {
    const QStringList args = words("--tx 39.08,-76.7 --rx 38.92,-76.98 --terrain raster --dem");
    const Outcome o = runCommand(p2pCommand, args + QStringList{DemoTiles});
    ASSERT_EQ(o.status, ExitOk) << o.err;
    EXPECT_NE(o.out.find("Terrain Handler: Raster (demo-tiles-synthetic)\n"
                         "Points Without Terrain Data: 0 of 1162, set to 0 m\n"),
              std::string::npos)
        << o.out;
    // One point per 1-second cell along about 30 km, not the databases' 800.
    EXPECT_NE(o.out.find("Profile: Num Points 1162, Dist between Points .026 km"),
              std::string::npos);
}

TEST(ProfileCommand, MissingDataIsCountedOrRefusedWithStatus2) {
    test::QuarnFixture quarn(true, {39 * 60 + 30, -78 * 60 + 30}, 'c');
    ASSERT_TRUE(quarn.ok()) << quarn.error().toStdString();
    const QStringList path = words("--tx 39.08,-76.7 --rx 38.92,-77.5");
    const QStringList raster{"--terrain", "raster", "--dem", DemoTiles};
    const Outcome partly = runCommand(profileCommand, path + raster);
    EXPECT_EQ(partly.status, ExitOk);
    EXPECT_NE(partly.err.find("Warning: 1471 of 2939 profile points have no terrain data"),
              std::string::npos)
        << partly.err;
    const struct {
        QStringList args;
        const char* message;
    } refused[] = {
        {words("--tx 49.08,-76.7 --rx 48.92,-77.5") + raster, "No terrain data in"},
        {path + words("--terrain raster --dem /nonexistent/srtm"), "/nonexistent/srtm does not"},
        {path + raster.mid(2), "goes with --terrain raster"},
        {path + raster.mid(0, 2), "goes with --terrain raster"},
        {words("--tx 39.51,-77.499 --rx 39.52,-77.49 --terrain quarn"),
         "Missing topographic elevation data"},
    };
    for (const auto& r : refused) {
        const Outcome o = runCommand(profileCommand, r.args);
        EXPECT_EQ(o.status, ExitUsage) << r.message;
        EXPECT_TRUE(o.out.empty());
        EXPECT_NE(o.err.find(r.message), std::string::npos) << o.err;
    }
}

} // namespace
