#include <verdan/geodata/WebMercator.h>

#include <gtest/gtest.h>

namespace verdan::geodata {
namespace {

TEST(WebMercator, PointsLieWhereTheSphericalFormulaPutsThemAndComeBack) {
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
        const terrain::GeoPoint back = toGeo(p);
        EXPECT_NEAR(back.latDeg, row.latDeg, 1e-9);
        EXPECT_NEAR(back.lonDeg, row.lonDeg, 1e-9);
    }
    EXPECT_NEAR(toMercator({89.9, 0}).yM, HalfWorldM, 1e-3) << "held at the square world's edge";
}

TEST(WebMercator, TilesCoverTheWorldFromTheNorthWest) {
    EXPECT_NEAR(metresPerPixel(0), 156543.034, 0.001);
    EXPECT_NEAR(metresPerPixel(10), 152.874, 0.001);
    EXPECT_NEAR(scaleFactorAt(60), 2.0, 1e-12);
    const Extent ne = tileExtent({1, 1, 0});
    EXPECT_DOUBLE_EQ(ne.minXM, 0);
    EXPECT_DOUBLE_EQ(ne.minYM, 0);
    EXPECT_DOUBLE_EQ(ne.maxXM, HalfWorldM);
    EXPECT_DOUBLE_EQ(ne.maxYM, HalfWorldM);

    struct Row {
        Extent extent;
        int zoom;
        std::vector<TileId> tiles;
    };
    const double q = HalfWorldM / 2;
    const Row rows[] = {
        {{-1, -1, 1, 1}, 1, {{1, 0, 0}, {1, 1, 0}, {1, 0, 1}, {1, 1, 1}}},
        {{0, 0, q, q}, 2, {{2, 2, 1}}}, // far edges on tile borders take no more tiles
        {{-3 * HalfWorldM, q + 1, -HalfWorldM + 1, 3 * HalfWorldM}, 2, {{2, 0, 0}}},
        {{0, 0, 0, 10}, 3, {}},
        {{2 * HalfWorldM, 0, 3 * HalfWorldM, 1}, 1, {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(tilesCovering(row.extent, row.zoom), row.tiles) << row.zoom;

    EXPECT_EQ(zoomFor(200), 10);
    EXPECT_EQ(zoomFor(metresPerPixel(10)), 10) << "pixels of exactly that size";
    EXPECT_EQ(zoomFor(1e9), 0);
    EXPECT_EQ(zoomFor(0.001), DeepestZoom);
}

} // namespace
} // namespace verdan::geodata
