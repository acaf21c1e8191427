#include <verdan/geodata/MapCamera.h>

#include <gtest/gtest.h>

#include <array>

namespace verdan::geodata {
namespace {

void expectScreen(const ScreenPoint& got, double xPx, double yPx, double tolerancePx = 1e-9) {
    EXPECT_NEAR(got.xPx, xPx, tolerancePx);
    EXPECT_NEAR(got.yPx, yPx, tolerancePx);
}

TEST(WebMercator, PointsAndTilesLieWhereTheSphericalFormulaPutsThem) {
    struct Row {
        double latDeg, lonDeg, xM, yM;
    };
    // x = R lon, y = R ln tan(pi/4 + lat/2), R = 6378137 m, by hand.
    const Row rows[] = {
        {0, 0, 0, 0},
        {45, 0, 0, 5621521.486},
        {-45, 90, 10018754.171, -5621521.486},
        {LimitLatDeg, 180, HalfWorldM, HalfWorldM},
        {60.5, -7.25, -807066.308, 8511908.692},
    };
    for (const Row& row : rows) {
        const MercatorPoint p = toMercator({row.latDeg, row.lonDeg});
        EXPECT_NEAR(p.xM, row.xM, 0.01) << row.latDeg << "," << row.lonDeg;
        EXPECT_NEAR(p.yM, row.yM, 0.01) << row.latDeg << "," << row.lonDeg;
        EXPECT_NEAR(toGeo(p).latDeg, row.latDeg, 1e-9);
        EXPECT_NEAR(toGeo(p).lonDeg, row.lonDeg, 1e-9);
    }
    EXPECT_NEAR(toMercator({89.9, 0}).yM, HalfWorldM, 1e-3) << "held at the square world's edge";

    // Tiles cover the world from the north-west.
    EXPECT_NEAR(metresPerPixel(0), 156543.034, 0.001);
    EXPECT_NEAR(metresPerPixel(10), 152.874, 0.001);
    EXPECT_NEAR(scaleFactorAt(60), 2.0, 1e-12);
    const Extent ne = tileExtent({1, 1, 0});
    EXPECT_EQ((std::array{ne.minXM, ne.minYM, ne.maxXM, ne.maxYM}),
              (std::array{0.0, 0.0, HalfWorldM, HalfWorldM}));

    struct TileRow {
        Extent extent;
        int zoom;
        std::vector<TileId> tiles;
    };
    const double q = HalfWorldM / 2;
    const TileRow tileRows[] = {
        {{-1, -1, 1, 1}, 1, {{1, 0, 0}, {1, 1, 0}, {1, 0, 1}, {1, 1, 1}}},
        {{0, 0, q, q}, 2, {{2, 2, 1}}}, // far edges on tile borders take no more tiles
        {{-3 * HalfWorldM, q + 1, -HalfWorldM + 1, 3 * HalfWorldM}, 2, {{2, 0, 0}}},
        {{0, 0, 0, 10}, 3, {}},
        {{2 * HalfWorldM, 0, 3 * HalfWorldM, 1}, 1, {}},
    };
    for (const TileRow& row : tileRows)
        EXPECT_EQ(tilesCovering(row.extent, row.zoom), row.tiles) << row.zoom;

    EXPECT_EQ(zoomFor(200), 10);
    EXPECT_EQ(zoomFor(metresPerPixel(10)), 10) << "pixels of exactly that size";
    EXPECT_EQ(zoomFor(1e9), 0);
    EXPECT_EQ(zoomFor(0.001), DeepestZoom);
}

TEST(MapCamera, ScreenAndProjectionMeetZoomKeepsThePointUnderThePointerFitShowsAll) {
    MapCamera camera({1000, 2000}, 10);
    // 100 m east and 200 m north of the centre: right of and above the middle of the screen.
    expectScreen(camera.toScreen({1100, 2200}, 800, 600), 410, 280, 0);

    const MercatorPoint under = camera.toMercator({100, 500}, 800, 600);
    camera.zoom(2.5, {100, 500}, 800, 600);
    EXPECT_DOUBLE_EQ(camera.metresPerPx(), 4);
    expectScreen(camera.toScreen(under, 800, 600), 100, 500);
    camera.pan(30, -40);
    expectScreen(camera.toScreen(under, 800, 600), 130, 460);

    camera.zoom(1e9, {0, 0}, 800, 600);
    EXPECT_EQ(camera.metresPerPx(), MapCamera::FinestMetresPerPx);

    // A fitted extent is wholly on screen and drawn by tiles at least as fine.
    const Extent valley{700000, 5600000, 900000, 5700000};
    camera = MapCamera::fitting(valley, 1000, 300);
    const Extent shown = camera.visible(1000, 300);
    EXPECT_LE(shown.minXM, valley.minXM);
    EXPECT_GE(shown.maxXM, valley.maxXM);
    EXPECT_LE(shown.minYM, valley.minYM);
    EXPECT_GE(shown.maxYM, valley.maxYM);
    EXPECT_DOUBLE_EQ(camera.metresPerPx(), 1000.0 / 3) << "the taller side decides";
    EXPECT_LE(metresPerPixel(camera.tileZoom()), camera.metresPerPx());
    EXPECT_GT(metresPerPixel(camera.tileZoom()), camera.metresPerPx() / 2);
    for (const TileId& tile : camera.tiles(1000, 300))
        EXPECT_TRUE(tileExtent(tile).intersects(shown));
}

} // namespace
} // namespace verdan::geodata
