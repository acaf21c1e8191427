#include "CoverageCommand.h"

#include "CliRun.h"
#include "CoverageJobsFixture.h"
#include "TestFiles.h"
#include "pattern_builders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gdal.h>
#include <gtest/gtest.h>
#include <raster_builders.h>
#include <sys/stat.h>

#include <algorithm>

using namespace verdan;
using namespace verdan::cli;
using namespace verdan::test;

namespace {

TEST_F(CoverageJobs, BadRequestsAreRefusedWithStatus2AndSoundJobsRunFromAnyFolder) {
    const QString out = dir.filePath(QStringLiteral("m"));
    const QStringList to{"--out", out};
    const QStringList map = words("--radius 30 --resolution 3");
    const QStringList disk = QStringList{"--tx", "45,7"} + map;
    const QStringList jobs = QStringList{"--print-jobs"} + to;
    const QStringList overRaster = QStringList{"--tx", "45.15,7.15"} + to;
    const char* const site = "name,lat,lon\na,45,7\n";
    const std::string longName = "name,lat,lon\n" + std::string(300, 'n') + ",45,7\n";
    const QString pattern = dir.filePath(QStringLiteral("panel.msi"));
    std::string error;
    ASSERT_TRUE(
        tools::writeTextFile(pattern.toStdString(), tools::msiText(tools::panelPattern()), error));
    const QString broken = dir.filePath(QStringLiteral("broken.msi"));
    ASSERT_TRUE(test::writeContent(broken, "NAME x\nHORIZONTAL 360\n0 0\n1 0\nVERTICAL 360\n"));
    const QString corrupt = dir.filePath(QStringLiteral("corrupt.tif"));
    ASSERT_TRUE(test::writeContent(corrupt, QByteArray("II*\0garbage that is no GeoTIFF", 30)));
    struct Case {
        const char* sites; ///< the text of a sites file given with --sites, if any
        QStringList args;
        const char* expected;
    };
    std::vector<Case> cases = {
        {nullptr, disk, "--out is required"},
        // Regression: a grid with no cell within the radius was written as an all-NaN map.
        {nullptr, words("--tx 45.1,7.1 --radius 1 --resolution 3600") + to, "No cell centre"},
        {nullptr, disk + to + QStringList{"--formats", "tif,jpg"}, "--formats"},
        {nullptr, jobs, "go together"},
        {"name,lat,lon\na,91,2\n", jobs, "sites.csv: row 2, column lat"},
        // Regressions: a line break in any value made a second job line that GNU parallel and
        // the Slurm script ran as a command.
        {site, map + QStringList{"--print-jobs", "--out", out + "\ntouch X #"}, "line break"},
        {site, jobs + map + QStringList{"--dem", "/d/a\rb", "--terrain", "raster"}, "line break"},
        {site, jobs + map + QStringList{"--freq", QString("450") + QChar(0)}, "line break"},
        // Regressions: jobs were printed that every host would refuse.
        {site, jobs + words("--radius 99999 --resolution 3"), "site \"a\": --radius"},
        {site, jobs + words("--radius 30 --resolution abc"), "--resolution"},
        {site, jobs + map + words("--threads 5000"), "--threads"},
        {site, jobs + map + words("--terrain raster"), "needs --dem"},
        {site, jobs, "--radius is required"},
        {"name,lat,lon\na,90,7\n", jobs + map, "latitude"},
        {longName.c_str(), jobs + map, "longer than 255 bytes"},
        // Regression: a prefix naming a folder wrote the hidden files out/.tif, out/.png.
        {nullptr, disk + QStringList{"--out", dir.path() + "/"}, "not a folder"},
        {nullptr, disk + QStringList{"--out", dir.path()}, "is a folder"},
        // Terrain that cannot serve the map.
        {nullptr, mapOptions({"--radius", "30"}) + overRaster, "do not cover the radius of 30.0"},
        {nullptr, mapOptions({"--dem", corrupt}) + overRaster, "corrupt.tif"},
    };
    // The link budget's contradictions and what the map shows, after a whole request.
    const std::pair<QStringList, const char*> budgetCases[] = {
        {words("--erp 30 --tx-power 50W"), "contradict"},
        {{"--tx-power", "50W", "--tx-gain", "10", "--tx-antenna", pattern}, "contradict"},
        {words("--tx-power 50W --azimuth 90"), "--azimuth aims"},
        {{"--threshold=-100dBm"}, "--threshold needs"},
        {{"--tx-power", "50"}, "--tx-power: give the power's unit"},
        {words("--tx-power 5W --threshold 40"), "--threshold: give the threshold's unit"},
        {{"--tx-power", "5W", "--tx-antenna", broken}, "broken.msi:5: the HORIZONTAL block"},
        {{"--tx-power", "5W", "--tx-antenna", pattern, "--tilt", "95"}, "--tilt"},
        {words("--tx-power 5W --show margin"), "--show margin needs a receiver threshold"},
        {{"--show", "power"}, "--show power needs a transmitter power or an ERP"},
        {{"--show", "snr"}, "--show: expected loss, power, field or margin"},
        {{"--levels", "110,130,120"}, "--levels: the levels must rise or fall strictly"},
        {{"--colours", "jet"}, "--colours: expected viridis, cividis, blues or greys"},
    };
    for (const auto& [extra, expected] : budgetCases)
        cases.push_back({nullptr, disk + to + extra, expected});
    for (const auto& c : cases) {
        QStringList args = c.args;
        if (c.sites != nullptr) {
            args << "--sites" << dir.filePath(QStringLiteral("sites.csv"));
            ASSERT_TRUE(test::writeContent(args.last(), c.sites));
        }
        const Outcome o = runCommand(coverageCommand, args);
        EXPECT_EQ(o.status, ExitUsage) << c.expected;
        EXPECT_NE(o.err.find(c.expected), std::string::npos) << o.err;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        EXPECT_TRUE(o.out.empty());
        EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral(".tif"))) << c.expected;
    }
    // A sound request prints a job line per site that runs from any folder: the pattern file
    // named relative to the current folder is named absolutely.
    ASSERT_TRUE(test::writeContent(dir.filePath(QStringLiteral("sites.csv")), site));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const std::string absolute = QDir::current().filePath("panel.msi").toStdString();
    const QStringList relative = words("--sites sites.csv --tx-power 5W --tx-antenna panel.msi");
    const Outcome o = runCommand(coverageCommand, jobs + map + relative);
    QDir::setCurrent(before);
    ASSERT_EQ(o.status, ExitOk) << o.err;
    EXPECT_NE(o.out.find(" --tx-antenna " + absolute), std::string::npos) << o.out;
}

// A 1 x 1 Float32 GeoTIFF of 100 dB in `crs` marked as a Verdan coverage map (its kind item
// and band description).
void writeLossMap(const QString& path, double westDeg, double cellDeg, const char* crs) {
    terrain::RasterLayout layout;
    layout.width = layout.height = 1;
    layout.geoTransform = {westDeg, cellDeg, 0, 10, 0, -cellDeg};
    layout.crs = crs;
    std::string error;
    ASSERT_TRUE(terrain::writeRaster(path.toStdString(), layout,
                                     [](double, double) { return 100.0; }, &error))
        << error;
    GDALDatasetH map = GDALOpen(path.toStdString().c_str(), GA_Update);
    ASSERT_NE(map, nullptr);
    GDALSetMetadataItem(map, "VERDAN_MAP", "coverage", nullptr);
    GDALSetDescription(GDALGetRasterBand(map, 1), "basic transmission loss");
    GDALClose(map);
}

// Regressions: coverage-merge aborted on inputs 2^31 cells apart, merged elevation rasters
// and maps in another reference system as loss maps, and waited for ever on a pipe.
TEST(CoverageMerge, RefusesInputsThatAreNotVerdanMapsOrTooFarApart) {
    QTemporaryDir dir;
    const auto at = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
    const double cellDeg = 1e-8;
    writeLossMap(at("a.tif"), 0, cellDeg, "EPSG:4326");
    writeLossMap(at("far.tif"), 2147483648.0 * cellDeg, cellDeg, "EPSG:4326");
    writeLossMap(at("mercator.tif"), 0, cellDeg, "EPSG:3857");
    terrain::RasterLayout layout;
    layout.width = layout.height = 2;
    layout.geoTransform = {0, cellDeg, 0, 10, 0, -cellDeg};
    std::string error;
    ASSERT_TRUE(terrain::writeRaster(
        at("dem.tif").toStdString(), layout, [](double, double) { return 3032.0; }, &error))
        << error;
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("pipe.tif")).constData(), 0600), 0);
    const std::pair<const char*, const char*> cases[] = {
        {"far.tif", "more than 50000000 cells"},
        {"mercator.tif", "mercator.tif: not on WGS 84"},
        {"dem.tif", "dem.tif: not a coverage map written by Verdan"},
        {"pipe.tif", "pipe.tif: not a regular file"},
    };
    for (const auto& [second, expected] : cases) {
        const Outcome o =
            runCommand(coverageMergeCommand, {"--out", at("merged.tif"), at("a.tif"), at(second)});
        EXPECT_EQ(o.status, ExitFailure) << second;
        EXPECT_NE(o.err.find(expected), std::string::npos) << o.err;
        EXPECT_FALSE(QFileInfo::exists(at("merged.tif"))) << second;
    }
    const Outcome ok = runCommand(coverageMergeCommand, {"--out", at("merged.tif"), at("a.tif")});
    EXPECT_EQ(ok.status, ExitOk) << ok.err;
}

} // namespace
