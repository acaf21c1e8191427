#include "GeoTiffMap.h"
#include "SyntheticTerrain.h"

#include <verdan/coverage/CoverageOutput.h>

#include <gdal.h>
#include <ogr_srs_api.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace verdan;
using namespace verdan::coverage;
namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

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
    const Status written =
        writeCoverageFiles(result.grid, prefix, {}, ColourScale::standard(), "Site A & B");
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
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();
}

TEST_F(CoverageOutput, FailedWriteLeavesNoFileAndKeepsOldOnes) {
    const std::string prefix = (dir / "site").string();
    std::ofstream(prefix + ".tif") << "old map";
    fs::create_directory(prefix + ".kml.part"); // the KML cannot be written
    const Status written =
        writeCoverageFiles(result.grid, prefix, {}, ColourScale::standard(), "Site");
    EXPECT_FALSE(written.ok);
    EXPECT_NE(written.message.find("site.kml"), std::string::npos) << written.message;
    EXPECT_EQ(readAll(prefix + ".tif"), "old map");
    EXPECT_FALSE(fs::exists(prefix + ".png"));
    EXPECT_FALSE(fs::exists(prefix + ".tif.part"));
    EXPECT_FALSE(fs::exists(prefix + ".png.part"));
}

TEST(ColourScale, MarksDoubtfulCellsAndLeavesNoDataClear) {
    const ColourScale scale = ColourScale::standard();
    EXPECT_EQ(scale.colourFor(85, 0).red, 255);
    EXPECT_EQ(scale.colourFor(175, 0).blue, 255);
    EXPECT_EQ(scale.colourFor(175, 0).alpha, 255);
    EXPECT_EQ(scale.colourFor(190, 0).alpha, 0);
    EXPECT_EQ(scale.colourFor(std::nanf(""), 0).alpha, 0);
    EXPECT_EQ(scale.colourFor(85, 4).green, scale.warningColour().green);
    EXPECT_EQ(scale.colourFor(85, 1).green, scale.colourFor(85, 0).green);
}

} // namespace
