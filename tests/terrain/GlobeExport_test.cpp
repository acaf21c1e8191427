// The same terrain by two independent routes: a GLOBE data set read through Dorvex, and the
// same tile exported by GDAL to a GeoTIFF read through the raster source.
#include "FolderFiles.h"
#include "raster_builders.h"
#include "terrain_builders.h"

#include <verdan/terrain/DorvexSources.h>
#include <verdan/terrain/RasterSource.h>

#include <dorvex.h>
#include <gdal_priv.h>
#include <gdal_utils.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace verdan::terrain {
namespace {

using verdan::test::TempFolder;

double rollingM(double latDeg, double lonDeg) {
    return 120 + 80 * std::sin(latDeg * 40) * std::cos(lonDeg * 30) + 40 * (lonDeg + 77);
}

// Tile "f10g" (0..50 N, 90..0 W) as a raw GDAL raster, cut to the area around the path and
// written as GeoTIFF.
void exportTile(const std::string& globeFolder, const std::string& tiff) {
    const std::string vrt = globeFolder + "f10g.vrt";
    std::ofstream(vrt)
        << "<VRTDataset rasterXSize=\"10800\" rasterYSize=\"6000\">"
           "<SRS>EPSG:4326</SRS>"
           "<GeoTransform>-90, 0.008333333333333333, 0, 50, 0, "
           "-0.008333333333333333</GeoTransform>"
           "<VRTRasterBand dataType=\"Int16\" band=\"1\" subClass=\"VRTRawRasterBand\">"
           "<SourceFilename relativeToVRT=\"1\">f10g</SourceFilename>"
           "<ImageOffset>0</ImageOffset><PixelOffset>2</PixelOffset>"
           "<LineOffset>21600</LineOffset><ByteOrder>LSB</ByteOrder>"
           "</VRTRasterBand></VRTDataset>";
    GDALAllRegister();
    GDALDatasetH source = GDALOpen(vrt.c_str(), GA_ReadOnly);
    ASSERT_NE(source, nullptr);
    const char* args[] = {"-of", "GTiff", "-projwin", "-77.5", "39.5", "-76.0", "38.5", nullptr};
    GDALTranslateOptions* options = GDALTranslateOptionsNew(const_cast<char**>(args), nullptr);
    GDALDatasetH written = GDALTranslate(tiff.c_str(), source, options, nullptr);
    GDALTranslateOptionsFree(options);
    ASSERT_NE(written, nullptr);
    GDALClose(written);
    GDALClose(source);
}

int closedTiles = 0;
void countingCloseGlobe() {
    ++closedTiles;
    CloseGlobe();
}

// The GLOBE source gives the raster source's profile of the same data. A coverage map reads
// hundreds of paths: the source keeps the tile open when asked (reopening it for every path
// made the map ten times slower) and closes it when it goes.
TEST(GlobeSource, GivesTheExportedRastersProfileAndClosesTheTileAsAsked) {
    const TempFolder folder;
    std::string error;
    ASSERT_TRUE(writeGlobeFolder(folder.path(), rollingM, {{38.5, -77.5, 39.5, -76.0}}, &error))
        << error;
    exportTile(folder.path(), folder / "export.tif");
    auto dorvex = std::make_shared<DorvexLibrary>();
    dorvex->entry = {&THandler, &countingCloseGlobe};
    Status status;
    const auto raster = openRaster(folder / "export.tif", {}, status);
    ASSERT_TRUE(raster) << status.message;

    const GeoPoint from{39.08, -76.7};
    const GeoPoint to{38.92, -76.98};
    Profile viaGlobe;
    Profile viaRaster;
    ASSERT_TRUE(
        makeGlobeSource(dorvex, folder.path())->profile(from, to, DorvexPointCount, viaGlobe).ok);
    ASSERT_TRUE(raster->profile(from, to, DorvexPointCount, viaRaster).ok);
    ASSERT_EQ(viaGlobe.elevationsM.size(), viaRaster.elevationsM.size());
    // Dorvex measures the path on its own earth model: the lengths agree within 0.2 %.
    EXPECT_NEAR(viaGlobe.spacingM, viaRaster.spacingM, viaRaster.spacingM * 0.002);
    // GLOBE rounds its interpolated elevations to whole metres.
    for (std::size_t i = 0; i < viaGlobe.elevationsM.size(); ++i)
        ASSERT_NEAR(viaGlobe.elevationsM[i], viaRaster.elevationsM[i], 0.6) << i;

    for (const auto& [tiles, closedAfterPaths] :
         {std::pair{GlobeTiles::CloseAfterEachPath, 3}, std::pair{GlobeTiles::KeepOpen, 0}}) {
        closedTiles = 0;
        auto globe = makeGlobeSource(dorvex, folder.path(), tiles);
        Profile profile;
        for (const double lonDeg : {-76.9, -76.8, -76.6})
            ASSERT_TRUE(globe->profile({39.08, -76.7}, {38.9, lonDeg}, 100, profile).ok);
        EXPECT_EQ(closedTiles, closedAfterPaths);
        globe.reset();
        EXPECT_EQ(closedTiles, closedAfterPaths + (tiles == GlobeTiles::KeepOpen ? 1 : 0));
    }
}

} // namespace
} // namespace verdan::terrain
