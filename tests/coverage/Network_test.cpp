#include <verdan/coverage/Network.h>

#include "FolderFiles.h"
#include "GeoTiffMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace verdan;
using namespace verdan::coverage;

namespace {

constexpr int Columns = 21;
constexpr int Rows = 11;

// A site's map on a shared 21 x 11 grid: received power `powerDbm(row, column)`, a threshold
// of -100 dBm.
template <typename Power> CoverageGrid siteGrid(Power power) {
    CoverageGrid grid;
    grid.columns = Columns;
    grid.rows = Rows;
    grid.westLonDeg = 7.0;
    grid.northLatDeg = 45.01;
    grid.cellDeg = 0.001;
    const auto cells = static_cast<std::size_t>(grid.cellCount());
    grid.lossDb.assign(cells, 100.0F);
    grid.fieldDbuvm.assign(cells, 0.0F);
    grid.warning.assign(cells, 0);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns; ++c) {
            grid.powerDbm.push_back(static_cast<float>(power(r, c)));
            grid.marginDb.push_back(grid.powerDbm.back() + 100.0F);
        }
    return grid;
}

template <typename Power>
std::string writeSiteMap(const std::filesystem::path& dir, const std::string& name, Power power) {
    const CoverageGrid grid = siteGrid(power);
    const std::string prefix = (dir / name).string();
    EXPECT_TRUE(writeCoverageFiles(grid, prefix, {true, false, false, {}, false},
                                   MapStyle(MapQuantity::LossDb).colourScale(), name)
                    .ok);
    return prefix + ".tif";
}

// -110 dBm on the bisector (column 10), 1 dB more per column toward the site.
double siteA(int, int c) {
    return -100.0 - c;
}
double siteB(int, int c) {
    return -120.0 + c;
}
// Never the best server, 2 dB under it everywhere.
double siteC(int r, int c) {
    return std::max(siteA(r, c), siteB(r, c)) - 2.0;
}

TEST(Network, EqualCochannelSitesGiveTheNoiseLimitedSinrOnTheirBisector) {
    // The best server map: neighbouring sites have distinct colours.
    for (int n = 1; n < 40; ++n) {
        const Rgba a = serverColour(n);
        const Rgba b = serverColour(n + 1);
        EXPECT_GT(std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue),
                  60)
            << n;
    }
    const test::TempFolder temp;
    const std::filesystem::path dir = temp.path();
    const std::string a = writeSiteMap(dir, "a", siteA);
    const std::string b = writeSiteMap(dir, "b", siteB);
    const std::string c = writeSiteMap(dir, "c", siteC); // on a channel 500 kHz away
    ChannelSettings channel;
    channel.bandwidthHz = 200e3;
    channel.noiseFigureDb = 5;
    NetworkGrid two;
    ASSERT_TRUE(mergeNetwork({{"a", a, 900}, {"b", b, 900}}, channel, two).ok);
    NetworkGrid three;
    ASSERT_TRUE(mergeNetwork({{"a", a, 900}, {"b", b, 900}, {"c", c, 900.5}}, channel, three).ok);
    // By hand: N = -174 + 10 log10(200e3) + 5 = -115.990 dBm; on the bisector both sites give
    // -110 dBm, so SINR = -110 - 10 log10(10^-11 + 10^-11.599) = -10 log10(1.25177) = -0.975 dB.
    EXPECT_NEAR(receiverNoiseDbm(channel), -115.9897, 1e-4);
    for (int r = 0; r < Rows; ++r) {
        const std::size_t bisector = static_cast<std::size_t>(r) * Columns + 10;
        EXPECT_NEAR(two.sinrDb[bisector], -0.9753, 1e-3);
        EXPECT_EQ(two.server[bisector], 1.0F);  // the first on a tie
        EXPECT_EQ(two.overlap[bisector], 0.0F); // -110 dBm is under the threshold
        // Near a: -100 dBm from a, -120 from b: SINR = -100 - 10 log10(1e-12 + 2.5177e-12) mW.
        EXPECT_NEAR(two.sinrDb[bisector - 10], 14.537, 1e-3);
        EXPECT_EQ(two.overlap[bisector - 10], 1.0F);
        EXPECT_EQ(two.server[bisector + 1], 2.0F);
    }
    EXPECT_EQ(three.sinrDb, two.sinrDb);
    EXPECT_EQ(three.server, two.server);
    EXPECT_EQ(three.powerDbm, two.powerDbm);
    // The maps in memory merge to the same figures as their files.
    const CoverageGrid gridA = siteGrid(siteA);
    const CoverageGrid gridB = siteGrid(siteB);
    const CoverageGrid gridC = siteGrid(siteC);
    NetworkGrid inMemory;
    ASSERT_TRUE(mergeNetwork(std::vector<NetworkGridSite>{{"a", &gridA, 900},
                                                          {"b", &gridB, 900},
                                                          {"c", &gridC, 900.5}},
                             channel, inMemory)
                    .ok);
    for (const auto& [memory, file] : {std::pair{&inMemory.sinrDb, &three.sinrDb},
                                       {&inMemory.server, &three.server},
                                       {&inMemory.overlap, &three.overlap},
                                       {&inMemory.powerDbm, &three.powerDbm}})
        EXPECT_EQ(*memory, *file);
    EXPECT_EQ(inMemory.siteAreas[2].coveredKm2, three.siteAreas[2].coveredKm2);

    const std::string prefix = (dir / "net").string();
    ASSERT_TRUE(writeNetworkFiles(two, {{"a", a, 900}, {"b", b, 900}}, prefix, {}, "net").ok);
    const test::Map map = test::readMap(prefix + ".tif");
    EXPECT_EQ(map.bands.size(), 4u);
    EXPECT_EQ(map.bands[3], two.sinrDb);
    EXPECT_TRUE(std::filesystem::exists(prefix + ".png"));
    EXPECT_TRUE(std::filesystem::exists(prefix + ".kml"));
}

} // namespace
