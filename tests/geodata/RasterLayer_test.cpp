#include "GeodataFiles.h"

#include <verdan/geodata/RasterLayer.h>
#include <verdan/geodata/ViewPicture.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace verdan::geodata {
namespace {

using namespace test;

std::array<int, 4> pixel(const TileImage& image, int column, int row) {
    const std::size_t i = (static_cast<std::size_t>(row) * TileSidePx + column) * 4;
    return {image.rgba[i], image.rgba[i + 1], image.rgba[i + 2], image.rgba[i + 3]};
}

// The colour of the pixel holding `at` in the tile of `zoom` holding it.
std::array<int, 4> colourAt(RasterLayer& layer, const terrain::GeoPoint& at, int zoom) {
    const MercatorPoint p = toMercator(at);
    const TileId tile = tilesCovering({p.xM, p.yM, p.xM + 1e-3, p.yM + 1e-3}, zoom).front();
    const Extent box = tileExtent(tile);
    TileImage image;
    EXPECT_TRUE(layer.readTile(tile, image).ok);
    return pixel(image, static_cast<int>((p.xM - box.minXM) / metresPerPixel(zoom)),
                 static_cast<int>((box.maxYM - p.yM) / metresPerPixel(zoom)));
}

TEST(RasterLayer, AColourPictureIsWarpedIntoTilesWithTransparencyAroundIt) {
    const fs::path tif = freshFolder("rgb") / "halves.tif";
    // Lon 7..8, lat 45..46: red in the west half, blue in the east half.
    writeGeoTiff(tif, 3, 7, 46, 1, 64, [](int band, int, int column) {
        const bool west = column < 32;
        return band == 1 ? (west ? 255 : 0) : band == 3 ? (west ? 0 : 255) : 0;
    });
    std::unique_ptr<RasterLayer> layer;
    ASSERT_TRUE(RasterLayer::open(tif.string(), layer).ok);
    EXPECT_NEAR(layer->extent().minXM, toMercator({45, 7}).xM, 1);
    EXPECT_NEAR(layer->extent().maxYM, toMercator({46, 8}).yM, 1);

    const std::array<int, 4> red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    EXPECT_EQ(colourAt(*layer, {45.5, 7.25}, 7), red);
    EXPECT_EQ(colourAt(*layer, {45.5, 7.75}, 7), blue);
    EXPECT_EQ(colourAt(*layer, {45.2, 7.9}, 12), blue) << "a tile finer than the picture";
    EXPECT_EQ(colourAt(*layer, {45.5, 6.5}, 7)[3], 0) << "beyond the picture's west edge";

    TileImage far;
    EXPECT_TRUE(layer->readTile({7, 0, 0}, far).ok);
    EXPECT_TRUE(far.blank());
}

TEST(RasterLayer, ElevationsAreStretchedToGrey) {
    const fs::path tif = freshFolder("grey") / "dem.tif";
    writeGeoTiff(tif, 1, 7, 46, 1, 32, [](int, int, int column) { return 1000.0 + column * 50; },
                 4326, GDT_Float32);
    std::unique_ptr<RasterLayer> layer;
    ASSERT_TRUE(RasterLayer::open(tif.string(), layer).ok);
    const std::array<int, 4> west = colourAt(*layer, {45.5, 7.01}, 9);
    const std::array<int, 4> east = colourAt(*layer, {45.5, 7.99}, 9);
    EXPECT_EQ(west[0], west[2]);
    EXPECT_LT(west[0], 20);
    EXPECT_GT(east[0], 235);
    EXPECT_EQ(east[3], 255);
}

TEST(RasterLayer, FilesThatAreNoGeographicPictureAreRefusedByName) {
    const fs::path dir = freshFolder("refused");
    writeText(dir / "notes.tif", "not a picture");
    writeGeoTiff(dir / "plain.tif", 1, 0, 0, 1, 8, [](int, int, int) { return 1; }, 0);
    fs::create_directory(dir / "folder.tif");
    struct Row {
        std::string name;
        std::string says;
    };
    const Row rows[] = {
        {"notes.tif", "not a picture GDAL can read"},
        {"plain.tif", "has no geographic reference"},
        {"folder.tif", "not a regular file"},
        {"missing.tif", "No such file"},
    };
    for (const Row& row : rows) {
        std::unique_ptr<RasterLayer> layer;
        const terrain::Status status = RasterLayer::open((dir / row.name).string(), layer);
        EXPECT_FALSE(status.ok) << row.name;
        EXPECT_NE(status.message.find((dir / row.name).string()), std::string::npos)
            << status.message;
        EXPECT_NE(status.message.find(row.says), std::string::npos) << status.message;
        EXPECT_EQ(layer, nullptr);
    }
}

TEST(ViewPicture, TheSavedViewReadsBackAsALayerInItsPlace) {
    const fs::path dir = freshFolder("view");
    // 2 x 2 pixels over the tile (1, 1, 0): the north-east quarter of the world.
    const std::vector<std::uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 255,
                                            0, 0, 255, 255, 0, 0, 0, 0};
    const Extent quarter = tileExtent({1, 1, 0});
    ASSERT_TRUE(writeViewGeoTiff((dir / "view.tif").string(), rgba, 2, 2, quarter).ok);
    std::unique_ptr<RasterLayer> layer;
    ASSERT_TRUE(RasterLayer::open((dir / "view.tif").string(), layer).ok);
    EXPECT_NEAR(layer->extent().maxXM, HalfWorldM, 1);
    TileImage tile;
    ASSERT_TRUE(layer->readTile({1, 1, 0}, tile).ok);
    EXPECT_EQ(pixel(tile, 10, 10), (std::array<int, 4>{255, 0, 0, 255}));
    EXPECT_EQ(pixel(tile, 10, 245), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(pixel(tile, 245, 245)[3], 0) << "transparent where the view showed nothing";

    EXPECT_FALSE(writeViewGeoTiff((dir / "no" / "view.tif").string(), rgba, 2, 2, quarter).ok);
    EXPECT_FALSE(writeViewGeoTiff((dir / "short.tif").string(), rgba, 3, 2, quarter).ok);
    EXPECT_FALSE(fs::exists(dir / "short.tif"));
}

} // namespace
} // namespace verdan::geodata
