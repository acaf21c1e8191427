// verdan-cli network over an elevation raster written by GDAL: the best server by received
// power, sectors split by azimuth, resuming, and the cluster route (--print-jobs, then
// --merge-only).
#include "NetworkCommand.h"

#include "CliRun.h"
#include "CoverageJobsFixture.h"
#include "GeoTiffMap.h"
#include "TestFiles.h"
#include "pattern_builders.h"

#include <verdan/coverage/Network.h>

#include <QDateTime>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace verdan;
using namespace verdan::cli;
using namespace verdan::test;

namespace {

class Network : public CoverageJobs {
protected:
    Outcome network(const char* sitesText, const QStringList& more = {}, const char* out = "net") {
        const QString sites = dir.filePath(QStringLiteral("sites.csv"));
        EXPECT_TRUE(test::writeContent(sites, sitesText));
        return runCommand(networkCommand, QStringList{"--sites", sites, "--threshold=-90dBm",
                                                      "--out", dir.filePath(QLatin1String(out))} +
                                              mapOptions() + more);
    }
    /// The map `name`.tif of the test's folder.
    QString tif(const char* name) const { return dir.filePath(QLatin1String(name) + ".tif"); }
    Map map(const char* name) const { return readMap(tif(name).toStdString()); }
};

// Site "near" has the lower loss around it but transmits 20 dB less than "far": where the loss
// from "near" is lower by less than 20 dB, "far" serves. Run again, nothing changes; with the
// power of "far" changed, only "far" runs again.
TEST_F(Network, BestServerByPowerNotLossAndResumeRunsOnlyChangedSites) {
    const char* const twoSites =
        "name,lat,lon,power\nnear,45.15,7.15,10dBm\nfar,45.16,7.18,30dBm\n";
    const Outcome first = network(twoSites);
    ASSERT_EQ(first.status, ExitOk) << first.err;
    const Map merged = map("net");
    const Map near = map("net-near");
    const Map far = map("net-far");
    EXPECT_GT(expectBestOfSingles({near, far}, merged, 2, true), 1000);
    int farServesLowerLossOfNear = 0;
    for (int row = 0; row < merged.height; ++row)
        for (int col = 0; col < merged.width; ++col)
            farServesLowerLossOfNear +=
                merged.band2[static_cast<std::size_t>(row * merged.width + col)] == 2.0F &&
                valueAt(near, merged, 0, row, col) < valueAt(far, merged, 0, row, col);
    EXPECT_GT(farServesLowerLossOfNear, 100);

    const QDateTime nearTime = QFileInfo(tif("net-near")).lastModified();
    const QDateTime farTime = QFileInfo(tif("net-far")).lastModified();
    const std::string farDigest = coverage::mapInputsDigest(tif("net-far").toStdString());
    const Outcome again = network(twoSites);
    ASSERT_EQ(again.status, ExitOk) << again.err;
    EXPECT_NE(again.err.find("site 2 of 2 (far): unchanged, kept"), std::string::npos) << again.err;
    EXPECT_EQ(QFileInfo(tif("net-far")).lastModified(), farTime);
    const Outcome changed =
        network("name,lat,lon,power\nnear,45.15,7.15,10dBm\nfar,45.16,7.18,27dBm\n");
    ASSERT_EQ(changed.status, ExitOk) << changed.err;
    EXPECT_NE(changed.err.find("(near): unchanged"), std::string::npos) << changed.err;
    EXPECT_NE(changed.err.find("(far): running"), std::string::npos) << changed.err;
    EXPECT_EQ(QFileInfo(tif("net-near")).lastModified(), nearTime);
    EXPECT_NE(coverage::mapInputsDigest(tif("net-far").toStdString()), farDigest);
}

// Three 65-degree panels on one mast, aimed 0, 120 and 240 degrees: each cell is served by the
// panel whose azimuth is nearest its bearing (the path loss is the same for the three).
TEST_F(Network, SectorsSplitTheMapByAzimuth) {
    std::string error;
    ASSERT_TRUE(tools::writeTextFile(dir.filePath(QStringLiteral("panel.msi")).toStdString(),
                                     tools::msiText(tools::panelPattern()), error));
    const Outcome o = network("name,lat,lon,antenna,azimuth\ns0,45.15,7.15,panel.msi,0\n"
                              "s120,45.15,7.15,panel.msi,120\ns240,45.15,7.15,panel.msi,240\n",
                              {"--tx-power", "20W"});
    ASSERT_EQ(o.status, ExitOk) << o.err;
    const Map merged = map("net");
    int checked = 0;
    for (int row = 0; row < merged.height; ++row)
        for (int col = 0; col < merged.width; ++col) {
            const double northM = (merged.northDeg - (row + 0.5) * merged.cellDeg - 45.15) * 111e3;
            const double eastM = (merged.westDeg + (col + 0.5) * merged.cellDeg - 7.15) * 111e3 *
                                 std::cos(45.15 * std::numbers::pi / 180);
            const double bearingDeg =
                std::fmod(std::atan2(eastM, northM) * 180 / std::numbers::pi + 360, 360);
            const double sector = std::round(bearingDeg / 120);
            const float server = merged.band2[static_cast<std::size_t>(row * merged.width + col)];
            if (std::isnan(server) || std::hypot(northM, eastM) < 500 ||
                std::fabs(bearingDeg - sector * 120) > 40)
                continue;
            ++checked;
            ASSERT_EQ(server, static_cast<float>(static_cast<int>(sector) % 3 + 1)) << bearingDeg;
        }
    EXPECT_GT(checked, 1000);
}

// The cluster route: the printed jobs, run by GNU parallel, then --merge-only give the map a
// network run gives; a map made from other inputs is refused, naming its site.
TEST_F(Network, PrintedJobsMergeOnlyToTheNetworkRunsMap) {
    const char* const text = "name,lat,lon,power,freq_mhz\na,45.15,7.15,10dBm,\n"
                             "b,45.16,7.18,30dBm,900.1\n";
    ASSERT_EQ(network(text).status, ExitOk);
    const Map whole = map("net");
    const Outcome jobs = network(text, {"--print-jobs"}, "job");
    ASSERT_EQ(jobs.status, ExitOk) << jobs.err;
    ASSERT_TRUE(test::writeContent(dir.filePath("jobs.txt"), QByteArray::fromStdString(jobs.out)));
    const Outcome parallel = test::runCliScript(
        "PATH=$(dirname \"$0\"):$PATH parallel --will-cite -j 2 --halt now,fail=1 < jobs.txt",
        dir.path(), 120000);
    ASSERT_EQ(parallel.status, 0) << "GNU parallel is required: " << parallel.err;
    const Outcome merged = network(text, {"--merge-only"}, "job");
    ASSERT_EQ(merged.status, ExitOk) << merged.err;
    expectSameBands(map("job"), whole, "merge-only");
    const Outcome stale = network("name,lat,lon,power,freq_mhz\na,45.15,7.15,10dBm,\n"
                                  "b,45.16,7.18,30dBm,900.2\n",
                                  {"--merge-only"}, "job");
    EXPECT_EQ(stale.status, ExitFailure);
    EXPECT_NE(stale.err.find("site \"b\": " + dir.filePath("job-b.tif").toStdString() +
                             " is missing or was made from other inputs"),
              std::string::npos)
        << stale.err;
}

} // namespace
