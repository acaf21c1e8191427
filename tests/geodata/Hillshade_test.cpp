#include <verdan/geodata/Hillshade.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace verdan::geodata {
namespace {

// A plane rising `eastRise` metres per metre eastward and `northRise` northward on the
// projection's sphere, about (45.5, 7.5); no terrain west of `dryFromLonDeg`.
class PlaneTerrain final : public terrain::TerrainSource {
public:
    PlaneTerrain(double eastRise, double northRise, double dryFromLonDeg = -180)
        : m_east(eastRise), m_north(northRise), m_dryFrom(dryFromLonDeg) {}
    std::string displayName() const override { return "plane"; }
    int pointCountFor(terrain::GeoPoint, terrain::GeoPoint) const override { return 2; }
    terrain::Status profile(terrain::GeoPoint, terrain::GeoPoint, int,
                            terrain::Profile&) const override {
        return terrain::Status::failure("not used");
    }
    terrain::Status elevationAt(terrain::GeoPoint at, double& elevationM) const override {
        const double mPerDeg = EarthRadiusM * std::numbers::pi / 180;
        elevationM = 1000 + m_east * mPerDeg * std::cos(45.5 * std::numbers::pi / 180) * (at.lonDeg - 7.5) +
                     m_north * mPerDeg * (at.latDeg - 45.5);
        return at.lonDeg < m_dryFrom ? terrain::Status::failure("no data") : terrain::Status::success();
    }

private:
    double m_east, m_north, m_dryFrom;
};

int greyAtCentre(const terrain::TerrainSource& terrain, int column = TileSidePx / 2) {
    const MercatorPoint p = toMercator({45.5, 7.5});
    const TileId tile = tilesCovering({p.xM, p.yM, p.xM + 1, p.yM + 1}, 13).front();
    TileImage image;
    hillshadeTile(terrain, tile, image);
    const std::size_t i = (static_cast<std::size_t>(TileSidePx / 2) * TileSidePx + column) * 4;
    return image.rgba[i + 3] == 0 ? -1 : image.rgba[i];
}

TEST(Hillshade, GreyIsTheCosineBetweenTheSurfaceAndTheLightTransparentWithoutTerrain) {
    struct Row {
        double eastRise, northRise;
        int grey;
    };
    // Light (east, north, up) = (-1/2, 1/2, 1/sqrt 2); normal (-p, -q, 1)/sqrt(1 + p^2 + q^2).
    const Row rows[] = {
        {0, 0, 180},                  // flat: 255 sin 45 degrees
        {0.7071068, -0.7071068, 255}, // 45 degrees facing the light
        {-0.7071068, 0.7071068, 0},   // 45 degrees facing away
        {0, 1, 37},                   // rising northward: 255 (1/sqrt 2 - 1/2) / sqrt 2
    };
    for (const Row& row : rows)
        EXPECT_NEAR(greyAtCentre(PlaneTerrain(row.eastRise, row.northRise)), row.grey, 1)
            << row.eastRise << "," << row.northRise;
    // Pixels without terrain around them are transparent.
    EXPECT_EQ(greyAtCentre(PlaneTerrain(0, 0, 7.5), 0), -1);
    EXPECT_EQ(greyAtCentre(PlaneTerrain(0, 0, 7.5), TileSidePx - 1), 180);
}

} // namespace
} // namespace verdan::geodata
