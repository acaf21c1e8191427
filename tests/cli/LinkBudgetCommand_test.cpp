// The link budget options of verdan-cli coverage and p2p.
#include "CoverageCommand.h"

#include "CliRun.h"
#include "FlatGround.h"
#include "GeoTiffMap.h"
#include "P2pCommand.h"
#include "pattern_builders.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace verdan;
using namespace verdan::cli;
using namespace verdan::test;

namespace {

QString panelFile(const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("panel.msi"));
    std::string error;
    EXPECT_TRUE(
        tools::writeTextFile(path.toStdString(), tools::msiText(tools::panelPattern()), error));
    return path;
}

QJsonObject p2pJson(const QStringList& args) {
    const Outcome o = runCommand(p2pCommand, args + QStringList{"--format", "json"});
    EXPECT_EQ(o.status, ExitOk) << o.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(o.out)).object();
}

const QStringList Radio{"--freq", "1850", "--h1", "30", "--h2", "2", "--rel", "90", "--conf", "70"};

} // namespace

// A map cell due north against p2p to it: the pattern seen at the elevation angle from the
// 30 m mast down to the 2 m receiver (a swap of the heights aims the beam elsewhere).
TEST(LinkBudgetCommand, CoverageCellEqualsPointToPointWithAPattern) {
    QTemporaryDir dir;
    const QStringList link{"--tx-power",        "43dBm",        "--tx-loss", "1.5",
                           "--tx-antenna",      panelFile(dir), "--tilt",    "4",
                           "--rx-gain",         "2dBd",         "--rx-loss", "1",
                           "--threshold=-75dBm"};
    const double txDeg = 120.5 * CellDeg;
    const QString prefix = dir.filePath(QStringLiteral("map"));
    const QStringList args = QStringList{"--tx",         number(txDeg) + u',' + number(txDeg),
                                         "--radius",     number(60 * CellM / 1000),
                                         "--resolution", "3",
                                         "--formats",    "tif",
                                         "--out",        prefix} +
                             Radio + link;
    const CliOptions options(args, {"tx", "radius", "resolution", "formats", "out", "freq", "h1",
                                    "h2", "rel", "conf", "tx-power", "tx-loss", "tx-antenna",
                                    "tilt", "rx-gain", "rx-loss", "threshold"});
    const CoverageRequest request = coverageRequestFromOptions(options);
    const std::string out = runFlatCoverage(request);
    EXPECT_NE(out.find("covered area: "), std::string::npos) << out;
    const test::Map map = test::readMap((prefix + QStringLiteral(".tif")).toStdString());
    ASSERT_EQ(map.bands.size(), 5u);
    EXPECT_EQ(map.descriptions[4], "margin over the receiver threshold");
    EXPECT_EQ(map.units[2], "dBm");
    EXPECT_EQ(map.units[3], "dBuV/m");
    const coverage::CoverageGrid layout = coverage::gridLayout(request.inputs);
    for (int rowsNorth : {3, 25, 59}) {
        const std::size_t cell =
            static_cast<std::size_t>(layout.txRow - rowsNorth) * map.width + layout.txColumn;
        const QJsonObject budget =
            p2pJson(QStringList{"--profile", flatProfile(dir.path(), rowsNorth * CellM)} + Radio +
                    link)["link_budget"]
                .toObject();
        EXPECT_NEAR(map.bands[2][cell], budget["power_dbm"][0][0].toDouble(), 0.1) << rowsNorth;
        EXPECT_NEAR(map.bands[3][cell], budget["field_dbuvm"][0][0].toDouble(), 0.1) << rowsNorth;
        EXPECT_NEAR(map.bands[4][cell], map.bands[2][cell] + 75, 1e-3) << rowsNorth;
    }
}

TEST(LinkBudgetCommand, ContradictoryOptionsAreRefusedInOneLine) {
    QTemporaryDir dir;
    const QString pattern = panelFile(dir);
    const QString broken = dir.filePath(QStringLiteral("broken.msi"));
    ASSERT_TRUE(test::writeContent(broken, "NAME x\nHORIZONTAL 360\n0 0\n1 0\nVERTICAL 360\n"));
    const QStringList map{"--tx",         "45,7", "--radius", "5",
                          "--resolution", "3",    "--out",    dir.filePath(QStringLiteral("m"))};
    const struct {
        QStringList args;
        const char* expected;
    } cases[] = {
        {{"--erp", "30", "--tx-power", "50W"}, "contradict"},
        {{"--tx-power", "50W", "--tx-gain", "10", "--tx-antenna", pattern}, "contradict"},
        {{"--tx-power", "50W", "--azimuth", "90"}, "--azimuth aims"},
        {{"--threshold=-100dBm"}, "--threshold needs"},
        {{"--tx-power", "50"}, "--tx-power: give the power's unit"},
        {{"--tx-power", "5W", "--threshold", "40"}, "--threshold: give the threshold's unit"},
        {{"--tx-power", "5W", "--tx-antenna", broken}, "broken.msi:5: the HORIZONTAL block"},
        {{"--tx-power", "5W", "--tx-antenna", pattern, "--tilt", "95"}, "--tilt"},
    };
    for (const auto& c : cases) {
        const Outcome o = runCommand(coverageCommand, map + c.args);
        EXPECT_EQ(o.status, ExitUsage) << c.expected;
        EXPECT_NE(o.err.find(c.expected), std::string::npos) << o.err;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        EXPECT_TRUE(o.out.empty());
    }
}

TEST(LinkBudgetCommand, PointToPointReportKeepsItsTextAndAddsTheBlock) {
    QTemporaryDir dir;
    const QStringList path{"--profile", flatProfile(dir.path(), 20 * CellM)};
    const Outcome plain = runCommand(p2pCommand, path + Radio);
    const Outcome linked =
        runCommand(p2pCommand, path + Radio + QStringList{"--erp", "30dBW", "--rx-gain", "3dBi"});
    ASSERT_EQ(linked.status, ExitOk) << linked.err;
    EXPECT_EQ(linked.out.rfind(plain.out, 0), 0u);
    const std::string block = linked.out.substr(plain.out.size());
    EXPECT_EQ(block.rfind("Link budget\n", 0), 0u) << block;
    EXPECT_NE(block.find("Line of sight (k = "), std::string::npos) << block;
    // 1 kW ERP: EIRP 62.15 dBm; received power EIRP - loss + 3 dBi.
    const QJsonObject root =
        p2pJson(path + Radio + QStringList{"--erp", "60dBm", "--rx-gain", "3"});
    const QJsonObject budget = root["link_budget"].toObject();
    EXPECT_NEAR(budget["eirp_dbm"].toDouble(), 62.15, 1e-9);
    EXPECT_NEAR(budget["power_dbm"][0][0].toDouble(), 62.15 - root["loss_db"][0][0].toDouble() + 3,
                0.06);
    EXPECT_TRUE(root["line_of_sight"]["clear"].toBool());
    EXPECT_GT(root["line_of_sight"]["fresnel_clearance_ratio"].toDouble(), 0.6);
}

// Each site's job line runs from any folder: the pattern file's name is made absolute.
TEST(LinkBudgetCommand, SiteJobsNameThePatternFileAbsolutely) {
    QTemporaryDir dir;
    const QString sites = dir.filePath(QStringLiteral("sites.csv"));
    ASSERT_TRUE(test::writeContent(sites, "name,lat,lon\na,45,7\n"));
    panelFile(dir);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const std::string absolute = QDir::current().filePath("panel.msi").toStdString();
    const Outcome o =
        runCommand(coverageCommand, {"--sites", sites, "--print-jobs", "--out", dir.filePath("m"),
                                     "--radius", "5", "--resolution", "3", "--tx-power", "5W",
                                     "--tx-antenna", "panel.msi", "--threshold=-90dBm"});
    QDir::setCurrent(before);
    ASSERT_EQ(o.status, ExitOk) << o.err;
    EXPECT_NE(o.out.find(" --tx-antenna " + absolute), std::string::npos) << o.out;
}
