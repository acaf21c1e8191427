#include "FileSizeLimit.h"
#include "FolderFiles.h"
#include "GeoTiffMap.h"
#include "LegendImage.h"
#include "SyntheticTerrain.h"

#include <verdan/coverage/CoverageOutput.h>

#include <gdal.h>
#include <ogr_srs_api.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

using namespace verdan;
using namespace verdan::coverage;
namespace fs = std::filesystem;

namespace {

ColourScale lossScale() {
    return MapStyle(MapQuantity::LossDb).colourScale();
}

using verdan::test::entries;
using verdan::test::readAll;

class CoverageOutput : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / (std::string("coverage-") + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        CoverageInputs in;
        in.tx = {0.0171, -0.0243};
        in.radiusKm = 4;
        in.resolutionSec = 7.5;
        in.erpDbw = 20;
        const test::SyntheticTerrain terrain([](terrain::GeoPoint) { return 50.0; }, 40);
        RunControl control;
        result = runCoverage(in, terrain, control);
        ASSERT_TRUE(result.ok) << result.message;
    }

    fs::path dir;
    CoverageResult result;
};

struct DatasetCloser {
    void operator()(void* dataset) const { GDALClose(static_cast<GDALDatasetH>(dataset)); }
};

TEST_F(CoverageOutput, GeoTiffPutsTheTransmitterInItsPixel) {
    const std::string prefix = (dir / "site").string();
    const Status written = writeCoverageFiles(result.grid, prefix, {}, lossScale(), "Site A & B");
    ASSERT_TRUE(written.ok) << written.message;
    GDALAllRegister();
    std::unique_ptr<void, DatasetCloser> tif(GDALOpen((prefix + ".tif").c_str(), GA_ReadOnly));
    ASSERT_TRUE(tif);
    const auto h = static_cast<GDALDatasetH>(tif.get());
    ASSERT_EQ(GDALGetRasterCount(h), 4); // loss, warning, power, field
    OGRSpatialReferenceH srs = OSRNewSpatialReference(GDALGetProjectionRef(h));
    EXPECT_STREQ(OSRGetAuthorityCode(srs, nullptr), "4326");
    OSRDestroySpatialReference(srs);
    const test::Map map = test::readMap(prefix + ".tif");
    const std::vector<float>& loss = map.band1;
    const int width = map.width;
    int hasNoData = 0;
    EXPECT_TRUE(std::isnan(GDALGetRasterNoDataValue(GDALGetRasterBand(h, 1), &hasNoData)));
    EXPECT_TRUE(hasNoData);
    EXPECT_TRUE(std::isnan(loss.front())); // a corner lies outside the radius
    // The least loss is next to the transmitter, in the pixel whose bounds hold it.
    std::size_t best = 0;
    for (std::size_t i = 0; i < loss.size(); ++i)
        if (loss[i] < loss[best] || std::isnan(loss[best]))
            best = i;
    EXPECT_EQ(static_cast<int>(best % width),
              static_cast<int>(std::floor((-0.0243 - map.westDeg) / map.cellDeg)));
    EXPECT_EQ(static_cast<int>(best / width),
              static_cast<int>(std::floor((map.northDeg - 0.0171) / map.cellDeg)));

    const std::string kml = readAll(prefix + ".kml");
    EXPECT_NE(kml.find("<href>site.png</href>"), std::string::npos);
    EXPECT_NE(kml.find("<name>Site A &amp; B</name>"), std::string::npos);
    EXPECT_EQ(readAll(prefix + ".png").substr(1, 3), "PNG");
    EXPECT_EQ(entries(dir),
              (std::vector<std::string>{"site-legend.png", "site.kml", "site.png", "site.tif"}));
}

// Regressions: the files went through fixed names PREFIX.ext.part, so a link planted there
// sent a map into the link's target and left PREFIX.tif a link; a full disk published an
// empty PNG; one file that could not be written left the others replaced; a prefix naming a
// folder wrote hidden files into it. Every failure keeps the old files and leaves nothing.
TEST_F(CoverageOutput, WritesAllFilesOrNone) {
    const std::string prefix = (dir / "site").string();
    struct Case {
        const char* what;
        std::function<void()> prepare;
        OutputFormats formats;
        std::string prefix;
        rlim_t fileSizeLimit; ///< 0: none
        bool cancel;
        bool ok;
    };
    const Case cases[] = {
        {"links planted at the old temporary names",
         [&] {
             std::ofstream(dir / "victim") << "precious";
             for (const char* ext : {".tif.part", ".png.part", ".kml.part"})
                 fs::create_symlink(dir / "victim", prefix + ext);
         },
         {},
         prefix,
         0,
         false,
         true},
        {"a folder in the place of the PNG",
         [&] {
             fs::remove(prefix + ".png");
             fs::create_directory(prefix + ".png");
         },
         {},
         prefix,
         0,
         false,
         false},
        {"a full disk under the PNG", [] {}, {false, true, false, {}}, prefix, 200, false, false},
        {"a full disk under the GeoTIFF",
         [] {},
         {true, false, false, {}},
         prefix,
         4096,
         false,
         false},
        {"a cancel", [] {}, {}, prefix, 0, true, false},
        {"a prefix that names a folder",
         [&] { fs::create_directory(dir / "maps"); },
         {},
         (dir / "maps").string(),
         0,
         false,
         false},
        {"a prefix ending with a slash", [] {}, {}, (dir / "maps").string() + "/", 0, false, false},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (const char* ext : {".tif", ".png", ".kml", "-legend.png"})
            std::ofstream(prefix + ext) << "old";
        c.prepare();
        const std::vector<std::string> before = entries(dir);
        const std::atomic<bool> cancel{c.cancel};
        Status written;
        {
            std::optional<test::FileSizeLimit> limit;
            if (c.fileSizeLimit > 0)
                limit.emplace(c.fileSizeLimit);
            written =
                writeCoverageFiles(result.grid, c.prefix, c.formats, lossScale(), "Site", &cancel);
        }
        EXPECT_EQ(written.ok, c.ok) << c.what << ": " << written.message;
        EXPECT_EQ(entries(dir), before) << c.what;
        if (fs::exists(dir / "victim")) {
            EXPECT_EQ(readAll(dir / "victim"), "precious") << c.what;
        }
        for (const char* ext : {".tif", ".png", ".kml"}) {
            EXPECT_FALSE(fs::is_symlink(prefix + ext)) << c.what;
            if (!c.ok && fs::is_regular_file(prefix + ext)) {
                EXPECT_EQ(readAll(prefix + ext), "old") << c.what << ext;
            }
        }
        if (c.ok) {
            EXPECT_EQ(readAll(prefix + ".png").substr(1, 3), "PNG") << c.what;
        }
    }
}

// Regression: two runs on one prefix shared the temporary names, so a run that reported
// success could publish the other run's map or a corrupt GeoTIFF. Each run's complete files
// now replace the others' whole.
TEST_F(CoverageOutput, ConcurrentRunsOnOnePrefixPublishWholeMaps) {
    const std::string prefix = (dir / "shared").string();
    CoverageGrid other = result.grid;
    for (float& lossDb : other.lossDb)
        lossDb += 1000;
    std::atomic<int> failures{0};
    const auto writeMany = [&](const CoverageGrid& grid) {
        for (int i = 0; i < 6; ++i)
            failures +=
                writeCoverageFiles(grid, prefix, {true, false, false, {}}, lossScale(), "Site").ok
                    ? 0
                    : 1;
    };
    std::thread first(writeMany, std::cref(result.grid));
    writeMany(other);
    first.join();
    EXPECT_EQ(failures, 0);
    const test::Map map = test::readMap(prefix + ".tif");
    ASSERT_EQ(map.band1.size(), result.grid.lossDb.size());
    const bool isFirst = std::memcmp(map.band1.data(), result.grid.lossDb.data(),
                                     map.band1.size() * sizeof(float)) == 0;
    const bool isOther =
        std::memcmp(map.band1.data(), other.lossDb.data(), map.band1.size() * sizeof(float)) == 0;
    EXPECT_TRUE(isFirst || isOther);
    EXPECT_EQ(entries(dir), std::vector<std::string>{"shared.tif"});
}

// A 4 x 2 grid, every cell 100 dB and warned (kwx 4) over high ground.
CoverageGrid warnedGrid() {
    CoverageGrid grid;
    grid.columns = 4;
    grid.rows = 2;
    grid.cellDeg = 0.01;
    grid.lossDb.assign(8, 100.0f);
    grid.warning.assign(8, 4);
    grid.warningCause.assign(8, WarningCause::RefractivityLow);
    grid.warning[7] = 0;
    grid.warningCause[7] = WarningCause::None;
    return grid;
}

TEST(ColourScale, WarnedCellsKeepTheirColourUnderALightHatch) {
    // Regression: every warned cell was drawn grey, so a map over high ground showed nothing.
    const CoverageGrid grid = warnedGrid();
    const ColourScale hatched(MapQuantity::LossDb, {{110, {255, 0, 0, 255}}}, 3);
    const std::vector<std::uint8_t> rgba = renderRgba(grid, hatched);
    for (int i = 0; i < 8; ++i) {
        const bool line = i < 7 && onHatchLine(i % 4, i / 4);
        EXPECT_EQ(rgba[4 * i], 255) << i;
        EXPECT_EQ(rgba[4 * i + 1], line ? 127 : 0) << i;
    }
    const ColourScale plain(MapQuantity::LossDb, {{110, {255, 0, 0, 255}}}, 3, false);
    for (std::uint8_t green : {renderRgba(grid, plain)[1], renderRgba(grid, plain)[4 * 3 + 1]})
        EXPECT_EQ(green, 0);
}

// The legend picture: the title and one row per band, each swatch in its band's colour, the
// warned cells' row hatched; UTF-8 text takes one glyph per character.
TEST(LegendImage, DrawsASwatchPerBandAndTheHatchedRow) {
    const ColourScale scale =
        MapStyle(MapQuantity::FieldDbuvm, {80, 70}, Palette::Blues).colourScale();
    const detail::RgbaImage image = detail::legendImage(scale, true);
    constexpr int Padding = 8;
    constexpr int RowHeight = 22;
    ASSERT_EQ(image.height, 2 * Padding + 4 * RowHeight); // title, two bands, the hatch
    const auto pixel = [&](int x, int y) {
        const std::size_t at = 4 * (static_cast<std::size_t>(y) * image.width + x);
        return Rgba{image.pixels[at], image.pixels[at + 1], image.pixels[at + 2],
                    image.pixels[at + 3]};
    };
    for (int band = 0; band < 2; ++band)
        EXPECT_EQ(pixel(Padding + 2, Padding + RowHeight * (band + 1) + 10),
                  scale.steps()[band].colour)
            << band;
    const int hatchTop = Padding + RowHeight * 3 + 3;
    EXPECT_EQ(pixel(Padding, hatchTop), hatchColour({160, 160, 160, 255}));
    EXPECT_EQ(pixel(Padding + 1, hatchTop), (Rgba{160, 160, 160, 255}));
    EXPECT_EQ(detail::textWidth("dB\u00b5V/m", 1), 6 * 6 - 1);
    EXPECT_EQ(detail::textWidth("\xe2\x82\xac", 2), detail::textWidth("?", 2));
    int ink = 0;
    for (int x = 0; x < image.width; ++x)
        ink += pixel(x, Padding + 8) == Rgba{20, 20, 20, 255} ? 1 : 0;
    EXPECT_GT(ink, 20); // the title's letters
}

TEST(MapQuantity, WarningsAreCountedByLevelAndCauseInWordsAndListedInTheKml) {
    CoverageGrid grid = warnedGrid();
    grid.warning[0] = 3;
    grid.warningCause[0] = WarningCause::Horizon;
    EXPECT_EQ(warningSummary(grid, 3),
              "6 cells with model warning 4: surface refractivity at the path elevation below 250 "
              "N-units; 1 cell with model warning 3: horizon angle or horizon distance out of the "
              "model's range");
    EXPECT_EQ(warningSummary(grid, 4).find("warning 3"), std::string::npos);
    // The KML lists them too.
    const fs::path dir = fs::temp_directory_path() / "coverage-kml-warnings";
    fs::create_directories(dir);
    ASSERT_TRUE(writeCoverageFiles(grid, (dir / "high").string(), {false, true, true, ""},
                                   lossScale(), "High")
                    .ok);
    const std::string kml = readAll(dir / "high.kml");
    EXPECT_NE(kml.find("Hatched: model warning 3 or above"), std::string::npos) << kml;
    EXPECT_NE(kml.find("<li>6 cells with model warning 4: surface refractivity"),
              std::string::npos);
    fs::remove_all(dir);
    grid.warning.assign(8, 0);
    EXPECT_EQ(warningSummary(grid, 3), "");
}

TEST_F(CoverageOutput, KmlDescribesTheQuantityTheMapShows) {
    // Regression: the legend of a field strength map spoke of loss.
    const std::string prefix = (dir / "field").string();
    const ColourScale field(MapQuantity::FieldDbuvm,
                            {{80, {0, 140, 0, 200}}, {70, {230, 230, 0, 200}}}, 3);
    ASSERT_TRUE(writeCoverageFiles(result.grid, prefix, {false, true, true, ""}, field, "F").ok);
    const std::string kml = readAll(prefix + ".kml");
    EXPECT_NE(kml.find("Field strength (dB\u00b5V/m)"), std::string::npos) << kml;
    EXPECT_NE(kml.find("80 dB\u00b5V/m and above"), std::string::npos) << kml;
    EXPECT_NE(kml.find("70 to 80 dB\u00b5V/m"), std::string::npos) << kml;
    EXPECT_EQ(kml.find("loss"), std::string::npos) << kml;
    EXPECT_NE(kml.find("<ScreenOverlay>\n  <name>Legend: Field strength (dB\u00b5V/m)</name>\n"
                       "  <Icon><href>field-legend.png</href>"),
              std::string::npos)
        << kml;
    EXPECT_EQ(readAll(prefix + "-legend.png").substr(1, 3), "PNG");
    ASSERT_TRUE(
        writeCoverageFiles(result.grid, prefix, {false, true, true, ""}, lossScale(), "L").ok);
    EXPECT_NE(readAll(prefix + ".kml").find("Basic transmission loss (dB)"), std::string::npos);
}

TEST_F(CoverageOutput, KmlOverlayTakesItsOwnNameAndLeavesAPictureOfThePrefixAlone) {
    // Regression: saving map.kml replaced map.png with the overlay.
    const std::string prefix = (dir / "map").string();
    std::ofstream(prefix + ".png") << "the picture with its legend";
    ASSERT_TRUE(writeCoverageFiles(result.grid, prefix, {false, false, true, "-overlay"},
                                   lossScale(), "Map")
                    .ok);
    EXPECT_EQ(readAll(prefix + ".png"), "the picture with its legend");
    EXPECT_EQ(readAll(prefix + "-overlay.png").substr(1, 3), "PNG");
    EXPECT_NE(readAll(prefix + ".kml").find("<href>map-overlay.png</href>"), std::string::npos);
}

} // namespace

namespace {

// Regression: cells whose loss came out NaN inside the radius looked like cells outside it.
// They are counted and marked 255 in band 2, outside cells NaN in both bands.
TEST(CoverageNoResult, CellsWithoutResultAreCountedAndMarkedApart) {
    CoverageInputs in;
    in.tx = {0.0171, -0.0243};
    in.radiusKm = 3;
    in.resolutionSec = 15;
    // Absurd ground east of the transmitter makes the model give no number there.
    const test::SyntheticTerrain terrain(
        [](terrain::GeoPoint at) { return at.lonDeg > 0 ? 3e38 : 50.0; }, 40);
    RunControl control;
    const CoverageResult result = runCoverage(in, terrain, control);
    ASSERT_TRUE(result.ok) << result.message;
    long long nanInside = 0;
    for (std::size_t i = 0; i < result.grid.lossDb.size(); ++i)
        nanInside += std::isnan(result.grid.lossDb[i]) && result.grid.warning[i] != 0 ? 1 : 0;
    EXPECT_GT(result.noResultCells, 0);
    EXPECT_EQ(result.noResultCells, nanInside);
    const fs::path dir = fs::temp_directory_path() / "coverage-no-result";
    fs::create_directories(dir);
    ASSERT_TRUE(writeCoverageFiles(result.grid, (dir / "m").string(), {true, false, false, {}},
                                   lossScale(), "m")
                    .ok);
    const test::Map map = test::readMap((dir / "m.tif").string());
    long long marked = 0;
    long long outside = 0;
    for (std::size_t i = 0; i < map.band1.size(); ++i) {
        if (!std::isnan(map.band1[i]))
            continue;
        marked += map.band2[i] == 255 ? 1 : 0;
        outside += std::isnan(map.band2[i]) ? 1 : 0;
    }
    EXPECT_EQ(marked, result.noResultCells);
    EXPECT_GT(outside, 0); // the corners
    fs::remove_all(dir);
}

} // namespace
