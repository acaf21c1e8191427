// The link budget options of verdan-cli coverage and p2p.
#include "CoverageCommand.h"

#include "CliRun.h"
#include "GeoTiffMap.h"
#include "P2pCommand.h"
#include "SyntheticTerrain.h"
#include "TestFiles.h"
#include "pattern_builders.h"

#include <QDir>
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

// Flat ground 120 m high sampled every 3 arc-seconds, the grid's spacing, on the grid's sphere.
constexpr double CellDeg = 3.0 / 3600;
const double CellM = coverage::detail::EarthRadiusM * CellDeg * std::numbers::pi / 180;
constexpr double GroundM = 120;

QString number(double value) {
    return QString::number(value, 'g', 17);
}

// A profile file "flat.pfl" in `folder`, `distM` long over the ground at the grid's spacing.
QString flatProfile(const QString& folder, double distM) {
    const int intervals = std::max(1, static_cast<int>(std::ceil(distM / CellM)));
    QString text = QString::number(intervals) + u' ' + number(distM / intervals);
    for (int i = 0; i <= intervals; ++i)
        text += u' ' + number(GroundM);
    const QString path = QDir(folder).filePath(QStringLiteral("flat.pfl"));
    EXPECT_TRUE(writeContent(path, text.toUtf8()));
    return path;
}

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

const QStringList Radio = words("--freq 1850 --h1 30 --h2 2 --rel 90 --conf 70");

} // namespace

// Map cells against p2p to them over flat ground: due north the loss, power, field and
// margin, with the pattern seen at the elevation angle from the 30 m mast down to the 2 m
// receiver (a swap of the heights aims the beam elsewhere). The transmitter lies at a cell
// centre, so the cells due north lie on the northward radial. (How every cell takes its
// radial's loss is the coverage engine's own test.)
TEST(LinkBudgetCommand, CoverageCellEqualsPointToPointWithAPattern) {
    QTemporaryDir dir;
    const QStringList link = QStringList{"--tx-antenna", panelFile(dir)} +
                             words("--tx-power 43dBm --tx-loss 1.5 --tilt 4 --rx-gain 2dBd "
                                   "--rx-loss 1 --threshold=-75dBm");
    const double txDeg = 120.5 * CellDeg;
    const QString prefix = dir.filePath(QStringLiteral("map"));
    const QStringList args = QStringList{"--tx", number(txDeg) + u',' + number(txDeg), "--radius",
                                         number(108 * CellM / 1000), "--out", prefix} +
                             words("--resolution 3 --formats tif") + Radio + link;
    const CoverageRequest request =
        coverageRequestFromOptions(CliOptions(args, coverageOptionNames()));
    const SyntheticTerrain flat([](terrain::GeoPoint) { return GroundM; }, CellM);
    std::ostringstream out, err;
    cli::CliPrompter prompter(err);
    cli::CliContext context{out, err, prompter, {}};
    ASSERT_EQ(cli::runCoverageRequest(request, flat, context), cli::ExitOk) << err.str();
    const test::Map map = test::readMap((prefix + QStringLiteral(".tif")).toStdString());
    ASSERT_EQ(map.bands.size(), 5u);
    const coverage::CoverageGrid layout = coverage::gridLayout(request.inputs);
    const auto p2pTo = [&](double distM) {
        return p2pJson(QStringList{"--profile", flatProfile(dir.path(), distM)} + Radio + link);
    };
    for (int rowsNorth : {3, 25, 107}) {
        const std::size_t cell =
            static_cast<std::size_t>(layout.txRow - rowsNorth) * map.width + layout.txColumn;
        const QJsonObject p2p = p2pTo(rowsNorth * CellM);
        const QJsonObject budget = p2p["link_budget"].toObject();
        EXPECT_NEAR(map.bands[0][cell], p2p["loss_db"][0][0].toDouble(), 0.1) << rowsNorth;
        EXPECT_NEAR(map.bands[2][cell], budget["power_dbm"][0][0].toDouble(), 0.1) << rowsNorth;
        EXPECT_NEAR(map.bands[3][cell], budget["field_dbuvm"][0][0].toDouble(), 0.1) << rowsNorth;
        EXPECT_NEAR(map.bands[4][cell], map.bands[2][cell] + 75, 1e-3) << rowsNorth;
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
    EXPECT_GT(linked.out.size(), plain.out.size() + 100) << "no link budget block";
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

// What the PNG and the KML show, per option: the quantity (the run's most telling one
// without --show), its levels best first, the scale.
TEST(LinkBudgetCommand, ShowLevelsAndColoursChooseWhatTheMapShows) {
    using coverage::MapQuantity;
    using coverage::Palette;
    const QStringList map = words("--tx 45,7 --radius 5 --resolution 3 --out m");
    const struct {
        const char* args;
        MapQuantity quantity;
        std::vector<double> levels;
        Palette palette;
    } cases[] = {
        {"--tx-power 5W --threshold=-90dBm", MapQuantity::MarginDb, {30, 20, 10, 0},
         Palette::Viridis},
        {"--erp 30 --show field --levels 40,50.5,60 --colours Blues", MapQuantity::FieldDbuvm,
         {60, 50.5, 40}, Palette::Blues},
        {"--tx-power 5W --threshold=-90dBm --show loss --levels 130,120 --colours greys",
         MapQuantity::LossDb, {120, 130}, Palette::Greys},
    };
    for (const auto& c : cases) {
        const CliOptions options(map + words(c.args), coverageOptionNames());
        const coverage::MapStyle style = coverageRequestFromOptions(options).style;
        EXPECT_EQ(style.quantity(), c.quantity) << c.args;
        EXPECT_EQ(style.levels(), c.levels) << c.args;
        EXPECT_EQ(style.palette(), c.palette) << c.args;
    }
}
