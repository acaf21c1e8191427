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
    // A run around 0.0171 N 0.0243 W at 20 dBW over the ground `elevationM`.
    static CoverageResult runOver(test::SyntheticTerrain::Elevation elevationM, double radiusKm,
                                  double resolutionSec) {
        CoverageInputs in;
        in.tx = {0.0171, -0.0243};
        in.radiusKm = radiusKm;
        in.resolutionSec = resolutionSec;
        in.erpDbw = 20;
        RunControl control;
        return runCoverage(in, test::SyntheticTerrain(std::move(elevationM), 40), control);
    }

    void SetUp() override {
        result = runOver([](terrain::GeoPoint) { return 50.0; }, 4, 7.5);
        ASSERT_TRUE(result.ok) << result.message;
    }

    const test::TempFolder temp;
    const fs::path dir = temp.path();
    CoverageResult result;
};

TEST_F(CoverageOutput, GeoTiffPutsTheTransmitterInItsPixel) {
    const std::string prefix = (dir / "site").string();
    const Status written = writeCoverageFiles(result.grid, prefix, {}, lossScale(), "Site A & B");
    ASSERT_TRUE(written.ok) << written.message;
    const test::Map map = test::readMap(prefix + ".tif");
    ASSERT_EQ(map.bands.size(), 4u); // loss, warning, power, field
    GDALDatasetH tif = GDALOpen((prefix + ".tif").c_str(), GA_ReadOnly);
    OGRSpatialReferenceH srs = OSRNewSpatialReference(GDALGetProjectionRef(tif));
    EXPECT_STREQ(OSRGetAuthorityCode(srs, nullptr), "4326");
    OSRDestroySpatialReference(srs);
    int hasNoData = 0;
    EXPECT_TRUE(std::isnan(GDALGetRasterNoDataValue(GDALGetRasterBand(tif, 1), &hasNoData)));
    EXPECT_TRUE(hasNoData);
    GDALClose(tif);
    const std::vector<float>& loss = map.band1;
    EXPECT_TRUE(std::isnan(loss.front())); // a corner lies outside the radius
    // The least loss is next to the transmitter, in the pixel whose bounds hold it.
    std::size_t best = 0;
    for (std::size_t i = 0; i < loss.size(); ++i)
        if (loss[i] < loss[best] || std::isnan(loss[best]))
            best = i;
    const int width = map.width;
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
        bool plantLinks;
        const char* folder; ///< made in the place of a file; "": none
        OutputFormats formats;
        const char* prefix;   ///< in the folder
        rlim_t fileSizeLimit; ///< 0: none
        bool cancel;
        bool ok;
    };
    const Case cases[] = {
        {"links planted at the old temporary names", true, "", {}, "site", 0, false, true},
        {"a folder in the place of the PNG", false, "site.png", {}, "site", 0, false, false},
        {"a full disk, PNG", false, "", {false, true, false, {}}, "site", 200, false, false},
        {"a full disk, GeoTIFF", false, "", {true, false, false, {}}, "site", 4096, false, false},
        {"a cancel", false, "", {}, "site", 0, true, false},
        {"a prefix that names a folder", false, "maps", {}, "maps", 0, false, false},
        {"a prefix ending with a slash", false, "", {}, "maps/", 0, false, false},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (const char* ext : {".tif", ".png", ".kml", "-legend.png"})
            std::ofstream(prefix + ext) << "old";
        if (*c.folder != '\0') {
            fs::remove(dir / c.folder);
            fs::create_directory(dir / c.folder);
        }
        if (c.plantLinks) {
            std::ofstream(dir / "victim") << "precious";
            for (const char* ext : {".tif.part", ".png.part", ".kml.part"})
                fs::create_symlink(dir / "victim", prefix + ext);
        }
        const std::vector<std::string> before = entries(dir);
        const std::atomic<bool> cancel{c.cancel};
        Status written;
        {
            std::optional<test::FileSizeLimit> limit;
            if (c.fileSizeLimit > 0)
                limit.emplace(c.fileSizeLimit);
            written = writeCoverageFiles(result.grid, (dir / c.prefix).string(), c.formats,
                                         lossScale(), "Site", &cancel);
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
            if (!writeCoverageFiles(grid, prefix, {true, false, false, {}}, lossScale(), "Site").ok)
                ++failures;
    };
    std::thread first(writeMany, std::cref(result.grid));
    writeMany(other);
    first.join();
    EXPECT_EQ(failures, 0);
    const test::Map map = test::readMap(prefix + ".tif");
    ASSERT_EQ(map.band1.size(), result.grid.lossDb.size());
    const auto isMapOf = [&](const CoverageGrid& grid) {
        return std::memcmp(map.band1.data(), grid.lossDb.data(),
                           grid.lossDb.size() * sizeof(float)) == 0;
    };
    EXPECT_TRUE(isMapOf(result.grid) || isMapOf(other));
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

// The legend picture: the title and one swatch per band in its band's colour, and a row for
// the warned cells, hatched; UTF-8 text takes one glyph per character.
TEST(LegendImage, DrawsASwatchPerBandAndTheHatchedRow) {
    const ColourScale scale =
        MapStyle(MapQuantity::FieldDbuvm, {80, 70}, Palette::Blues).colourScale();
    const detail::RgbaImage image = detail::legendImage(scale, true);
    const auto pixelsOf = [&](Rgba colour) {
        int count = 0;
        for (std::size_t at = 0; at < image.pixels.size(); at += 4)
            count += Rgba{image.pixels[at], image.pixels[at + 1], image.pixels[at + 2],
                          image.pixels[at + 3]} == colour;
        return count;
    };
    for (const ColourStep& step : scale.steps())
        EXPECT_GT(pixelsOf(step.colour), 100);
    const Rgba grey{160, 160, 160, 255};
    EXPECT_GT(pixelsOf(hatchColour(grey)), 20);
    EXPECT_GT(pixelsOf(grey), 20);
    EXPECT_GT(pixelsOf({20, 20, 20, 255}), 20); // the title's letters
    EXPECT_GT(image.height, detail::legendImage(scale, false).height);
    EXPECT_EQ(detail::textWidth("dB\u00b5V/m", 1), 6 * 6 - 1);
    EXPECT_EQ(detail::textWidth("\xe2\x82\xac", 2), detail::textWidth("?", 2));
}

// Regressions: the legend of a field strength map spoke of loss; saving map.kml replaced
// map.png with the overlay. The warnings are counted by level and cause in words, in the KML
// too.
TEST_F(CoverageOutput, KmlDescribesTheQuantityAndTheWarningsAndTakesItsOwnOverlay) {
    const std::string prefix = (dir / "map").string();
    std::ofstream(prefix + ".png") << "the picture with its legend";
    CoverageGrid warned = warnedGrid();
    warned.warning[0] = 3;
    warned.warningCause[0] = WarningCause::Horizon;
    EXPECT_EQ(warningSummary(warned, 3),
              "6 cells with model warning 4: surface refractivity at the path elevation below 250 "
              "N-units; 1 cell with model warning 3: horizon angle or horizon distance out of the "
              "model's range");
    EXPECT_EQ(warningSummary(warned, 4).find("warning 3"), std::string::npos);
    CoverageGrid calm = warned;
    calm.warning.assign(8, 0);
    EXPECT_EQ(warningSummary(calm, 3), "");
    const struct {
        const CoverageGrid& grid;
        ColourScale scale;
        std::vector<std::string> present;
        const char* absent;
    } cases[] = {
        {result.grid,
         ColourScale(MapQuantity::FieldDbuvm, {{80, {0, 140, 0, 200}}, {70, {230, 230, 0, 200}}},
                     3),
         {"Field strength (dB\u00b5V/m)", "80 dB\u00b5V/m and above", "70 to 80 dB\u00b5V/m",
          "<ScreenOverlay>\n  <name>Legend: Field strength (dB\u00b5V/m)</name>\n"
          "  <Icon><href>map-legend.png</href>",
          "<href>map-overlay.png</href>"},
         "loss"},
        {result.grid, lossScale(), {"Basic transmission loss (dB)"}, "Field strength"},
        {warned,
         lossScale(),
         {"Hatched: model warning 3 or above",
          "<li>6 cells with model warning 4: surface refractivity"},
         "Field strength"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(
            writeCoverageFiles(c.grid, prefix, {false, false, true, "-overlay"}, c.scale, "M").ok);
        const std::string kml = readAll(prefix + ".kml");
        for (const std::string& text : c.present)
            EXPECT_NE(kml.find(text), std::string::npos) << text << " in " << kml;
        EXPECT_EQ(kml.find(c.absent), std::string::npos) << kml;
        EXPECT_EQ(readAll(prefix + ".png"), "the picture with its legend");
        for (const char* picture : {"-overlay.png", "-legend.png"})
            EXPECT_EQ(readAll(prefix + picture).substr(1, 3), "PNG") << picture;
    }
}

// Regression: cells whose loss came out NaN inside the radius looked like cells outside it.
// They are counted and marked 255 in band 2, outside cells NaN in both bands.
TEST_F(CoverageOutput, CellsWithoutResultAreCountedAndMarkedApart) {
    // Absurd ground east of the transmitter makes the model give no number there.
    const CoverageResult withHoles =
        runOver([](terrain::GeoPoint at) { return at.lonDeg > 0 ? 3e38 : 50.0; }, 3, 15);
    ASSERT_TRUE(withHoles.ok) << withHoles.message;
    long long nanInside = 0;
    for (std::size_t i = 0; i < withHoles.grid.lossDb.size(); ++i)
        nanInside += std::isnan(withHoles.grid.lossDb[i]) && withHoles.grid.warning[i] != 0 ? 1 : 0;
    EXPECT_GT(withHoles.noResultCells, 0);
    EXPECT_EQ(withHoles.noResultCells, nanInside);
    ASSERT_TRUE(writeCoverageFiles(withHoles.grid, (dir / "m").string(), {true, false, false, {}},
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
    EXPECT_EQ(marked, withHoles.noResultCells);
    EXPECT_GT(outside, 0); // the corners
}

} // namespace
