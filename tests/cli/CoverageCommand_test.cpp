#include "CoverageCommand.h"

#include "CliRun.h"
#include "TestFiles.h"
#include "pattern_builders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_srs_api.h>
#include <raster_builders.h>
#include <sys/stat.h>

#include <algorithm>

using namespace verdan;
using namespace verdan::cli;
using namespace verdan::test;

namespace {

TEST(CoverageCommand, RefusesBadRequestsWithExitStatus2) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("m"));
    const QStringList disk{"--tx", "45,7", "--radius", "30", "--resolution", "3"};
    const QStringList jobs{"--print-jobs", "--out", out};
    const QStringList map{"--radius", "30", "--resolution", "3"};
    const char* const site = "name,lat,lon\na,45,7\n";
    const QStringList budget = disk + QStringList{"--out", out};
    const QString pattern = dir.filePath(QStringLiteral("panel.msi"));
    std::string error;
    ASSERT_TRUE(
        tools::writeTextFile(pattern.toStdString(), tools::msiText(tools::panelPattern()), error));
    const QString broken = dir.filePath(QStringLiteral("broken.msi"));
    ASSERT_TRUE(test::writeContent(broken, "NAME x\nHORIZONTAL 360\n0 0\n1 0\nVERTICAL 360\n"));
    struct Case {
        const char* sites; ///< the text of a sites file given with --sites, if any
        QStringList args;
        const char* expected;
    };
    std::vector<Case> cases = {
        {nullptr,
         {"--tx", "45,7", "--radius", "2000", "--resolution", "1", "--out", out},
         "at most 50000000"},
        {nullptr, disk, "--out is required"},
        // Regression: a grid with no cell within the radius was written as an all-NaN map.
        {nullptr,
         {"--tx", "45.1,7.1", "--radius", "1", "--resolution", "3600", "--out", out},
         "No cell centre"},
        {nullptr, disk + QStringList{"--out", out, "--formats", "tif,jpg"}, "--formats"},
        {nullptr, jobs, "go together"},
        {"name,lat,lon\na,91,2\n", jobs, "sites.csv: row 2, column lat"},
        // Regressions: a line break in any value made a second job line that GNU parallel and
        // the Slurm script ran as a command.
        {site, map + QStringList{"--print-jobs", "--out", out + "\ntouch X #"}, "line break"},
        {site, jobs + map + QStringList{"--dem", "/d/a\rb", "--terrain", "raster"}, "line break"},
        {site, jobs + map + QStringList{"--freq", QString("450") + QChar(0)}, "line break"},
        // Regressions: jobs were printed that every host would refuse.
        {site, jobs + QStringList{"--radius", "99999", "--resolution", "3"},
         "site \"a\": --radius"},
        {site, jobs + QStringList{"--radius", "30", "--resolution", "abc"}, "--resolution"},
        {site, jobs + map + QStringList{"--threads", "5000"}, "--threads"},
        {site, jobs + map + QStringList{"--terrain", "raster"}, "needs --dem"},
        {site, jobs, "--radius is required"},
        {"name,lat,lon\na,90,7\n", jobs + map, "latitude"},
        {nullptr, {}, "longer than 255 bytes"}, // a 300-character site name, below
        // Regression: a prefix naming a folder wrote the hidden files out/.tif, out/.png.
        {nullptr, disk + QStringList{"--out", dir.path() + "/"}, "not a folder"},
        {nullptr, disk + QStringList{"--out", dir.path()}, "is a folder"},
    };
    // The link budget's contradictions and what the map shows, after `budget`.
    const std::pair<QStringList, const char*> budgetCases[] = {
        {{"--erp", "30", "--tx-power", "50W"}, "contradict"},
        {{"--tx-power", "50W", "--tx-gain", "10", "--tx-antenna", pattern}, "contradict"},
        {{"--tx-power", "50W", "--azimuth", "90"}, "--azimuth aims"},
        {{"--threshold=-100dBm"}, "--threshold needs"},
        {{"--tx-power", "50"}, "--tx-power: give the power's unit"},
        {{"--tx-power", "5W", "--threshold", "40"}, "--threshold: give the threshold's unit"},
        {{"--tx-power", "5W", "--tx-antenna", broken}, "broken.msi:5: the HORIZONTAL block"},
        {{"--tx-power", "5W", "--tx-antenna", pattern, "--tilt", "95"}, "--tilt"},
        {{"--tx-power", "5W", "--show", "margin"}, "--show margin needs a receiver threshold"},
        {{"--show", "power"}, "--show power needs a transmitter power or an ERP"},
        {{"--show", "snr"}, "--show: expected loss, power, field or margin"},
        {{"--levels", "110,130,120"}, "--levels: the levels must rise or fall strictly"},
        {{"--levels", "1,2,3,4,5,6,7,8,9"}, "--levels: expected 1 to 8 levels"},
        {{"--levels", "110,1e999"}, "--levels: expected numbers"},
        {{"--colours", "jet"}, "--colours: expected viridis, cividis, blues or greys"},
    };
    for (const auto& [extra, expected] : budgetCases)
        cases.push_back({nullptr, budget + extra, expected});
    for (const auto& c : cases) {
        QStringList args = c.args;
        if (args.isEmpty()) {
            args = jobs + map + QStringList{"--sites", dir.filePath(QStringLiteral("long.csv"))};
            ASSERT_TRUE(test::writeContent(args.last(),
                                           "name,lat,lon\n" + QByteArray(300, 'n') + ",45,7\n"));
        }
        if (c.sites != nullptr) {
            args << "--sites" << dir.filePath(QStringLiteral("sites.csv"));
            ASSERT_TRUE(test::writeContent(args.last(), c.sites));
        }
        const Outcome o = runCommand(coverageCommand, args);
        EXPECT_EQ(o.status, ExitUsage) << c.expected;
        EXPECT_NE(o.err.find(c.expected), std::string::npos) << o.err;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        EXPECT_TRUE(o.out.empty());
    }
}

// A 1-band Float32 GeoTIFF of `width` x `height` cells of 100 dB marked as a Verdan map (its
// kind item and band description) unless `kind` is empty.
void writeLossMap(const std::string& path, double westDeg, double northDeg, double cellDeg,
                  int epsg, const char* kind, int width = 1, int height = 1) {
    GDALAllRegister();
    GDALDatasetH map = GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), width, height, 1,
                                  GDT_Float32, nullptr);
    ASSERT_NE(map, nullptr);
    double transform[6] = {westDeg, cellDeg, 0, northDeg, 0, -cellDeg};
    GDALSetGeoTransform(map, transform);
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(srs, epsg);
    GDALSetSpatialRef(map, srs);
    OSRDestroySpatialReference(srs);
    if (*kind != '\0') {
        GDALSetMetadataItem(map, "VERDAN_MAP", kind, nullptr);
        GDALSetDescription(GDALGetRasterBand(map, 1), "basic transmission loss");
    }
    GDALFillRaster(GDALGetRasterBand(map, 1), 100, 0);
    GDALClose(map);
}

// Regressions: coverage-merge aborted on inputs 2^31 cells apart, merged elevation rasters
// and maps in another reference system as loss maps, and waited for ever on a pipe.
TEST(CoverageMerge, RefusesInputsThatAreNotVerdanMapsOrTooFarApart) {
    QTemporaryDir dir;
    const auto at = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
    const double cellDeg = 1e-8;
    writeLossMap(at("a.tif").toStdString(), 0, 10, cellDeg, 4326, "coverage");
    writeLossMap(at("far.tif").toStdString(), 2147483648.0 * cellDeg, 10, cellDeg, 4326,
                 "coverage");
    writeLossMap(at("mercator.tif").toStdString(), 0, 10, cellDeg, 3857, "coverage");
    writeLossMap(at("plain.tif").toStdString(), 0, 10, cellDeg, 4326, "");
    terrain::RasterLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.geoTransform = {0, cellDeg, 0, 10, 0, -cellDeg};
    std::string error;
    ASSERT_TRUE(terrain::writeRaster(
        at("dem.tif").toStdString(), layout, [](double, double) { return 3032.0; }, &error))
        << error;
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("pipe.tif")).constData(), 0600), 0);
    const struct {
        const char* second;
        const char* expected;
    } cases[] = {
        {"far.tif", "more than 50000000 cells"},
        {"mercator.tif", "mercator.tif: not on WGS 84"},
        {"plain.tif", "plain.tif: not a coverage map written by Verdan"},
        {"dem.tif", "dem.tif: not a coverage map written by Verdan"},
        {"pipe.tif", "pipe.tif: not a regular file"},
    };
    for (const auto& c : cases) {
        const Outcome o = runCommand(coverageMergeCommand,
                                     {"--out", at("merged.tif"), at("a.tif"), at(c.second)});
        EXPECT_EQ(o.status, ExitFailure) << c.second;
        EXPECT_NE(o.err.find(c.expected), std::string::npos) << o.err;
        EXPECT_FALSE(QFileInfo::exists(at("merged.tif"))) << c.second;
    }
    const Outcome ok = runCommand(coverageMergeCommand, {"--out", at("merged.tif"), at("a.tif")});
    EXPECT_EQ(ok.status, ExitOk) << ok.err;
}

} // namespace
