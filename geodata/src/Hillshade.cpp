#include <verdan/geodata/Hillshade.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace verdan::geodata {

namespace {

constexpr double RadPerDeg = std::numbers::pi / 180;
// Samples a side: the tile's pixels and a border of one.
constexpr int SampleSide = TileSidePx + 2;

// The unit vector toward the light: east, north, up.
struct Light {
    double east = std::sin(LightAzimuthDeg * RadPerDeg) * std::cos(LightAltitudeDeg * RadPerDeg);
    double north = std::cos(LightAzimuthDeg * RadPerDeg) * std::cos(LightAltitudeDeg * RadPerDeg);
    double up = std::sin(LightAltitudeDeg * RadPerDeg);
};

// Elevations at the pixel centres of `tile` and of the border around it, row 0 the northern
// border; NaN where the terrain has no data.
bool sampleTile(const terrain::TerrainSource& terrain, const TileId& tile,
                std::vector<double>& elevationsM, const std::atomic<bool>* cancel) {
    const Extent box = tileExtent(tile);
    const double pixelM = metresPerPixel(tile.zoom);
    elevationsM.assign(static_cast<std::size_t>(SampleSide) * SampleSide,
                       std::numeric_limits<double>::quiet_NaN());
    for (int row = 0; row < SampleSide; ++row) {
        if (cancel != nullptr && cancel->load())
            return false;
        const double yM = box.maxYM - (row - 0.5) * pixelM;
        for (int column = 0; column < SampleSide; ++column) {
            const terrain::GeoPoint at = toGeo({box.minXM + (column - 0.5) * pixelM, yM});
            double elevationM = 0;
            if (terrain.elevationAt(at, elevationM).ok && terrain::isTerrainElevation(elevationM))
                elevationsM[static_cast<std::size_t>(row) * SampleSide + column] = elevationM;
        }
    }
    return true;
}

} // namespace

void hillshadeTile(const terrain::TerrainSource& terrain, const TileId& tile, TileImage& out,
                   const std::atomic<bool>* cancel) {
    out.rgba.assign(static_cast<std::size_t>(TileSidePx) * TileSidePx * 4, 0);
    std::vector<double> z;
    if (!sampleTile(terrain, tile, z, cancel))
        return;
    const Light light;
    const Extent box = tileExtent(tile);
    const double pixelM = metresPerPixel(tile.zoom);
    const auto at = [&z](int row, int column) {
        return z[static_cast<std::size_t>(row) * SampleSide + column];
    };
    for (int row = 0; row < TileSidePx; ++row) {
        const double latDeg = toGeo({0, box.maxYM - (row + 0.5) * pixelM}).latDeg;
        const double groundM = pixelM / scaleFactorAt(latDeg);
        for (int column = 0; column < TileSidePx; ++column) {
            const int r = row + 1;
            const int c = column + 1;
            // Horn's differences: east minus west and north minus south, weights 1, 2, 1.
            const double eastSlope = ((at(r - 1, c + 1) + 2 * at(r, c + 1) + at(r + 1, c + 1)) -
                                      (at(r - 1, c - 1) + 2 * at(r, c - 1) + at(r + 1, c - 1))) /
                                     (8 * groundM);
            const double northSlope = ((at(r - 1, c - 1) + 2 * at(r - 1, c) + at(r - 1, c + 1)) -
                                       (at(r + 1, c - 1) + 2 * at(r + 1, c) + at(r + 1, c + 1))) /
                                      (8 * groundM);
            if (std::isnan(eastSlope) || std::isnan(northSlope))
                continue;
            // The normal (-p, -q, 1) / |.| against the light.
            const double shade =
                (-eastSlope * light.east - northSlope * light.north + light.up) /
                std::sqrt(1 + eastSlope * eastSlope + northSlope * northSlope);
            const auto grey = static_cast<std::uint8_t>(std::lround(255 * std::max(0.0, shade)));
            std::uint8_t* pixel =
                &out.rgba[(static_cast<std::size_t>(row) * TileSidePx + column) * 4];
            pixel[0] = pixel[1] = pixel[2] = grey;
            pixel[3] = 255;
        }
    }
}

} // namespace verdan::geodata
