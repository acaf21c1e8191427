// The covered area: its cells' ellipsoidal area, and its outlines in PREFIX-contour.geojson
// and the KML polygon folder.
#include "FolderFiles.h"
#include "GeoTiffMap.h"

#include <verdan/coverage/CoverageOutput.h>
#include <verdan/radio/Units.h>

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolygonArea.hpp>
#include <gdal.h>
#include <ogr_api.h>

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <utility>

using namespace verdan::coverage;

namespace {

// The area of a polygon of (latitude, longitude) vertices by GeographicLib on WGS 84, km2.
// The edges of a cell are parallels (rhumb lines), not geodesics; cells of a few arc-seconds
// make the difference negligible.
double polygonKm2(const std::vector<std::pair<double, double>>& vertices) {
    GeographicLib::PolygonArea area(GeographicLib::Geodesic::WGS84());
    for (const auto& [latDeg, lonDeg] : vertices)
        area.AddPoint(latDeg, lonDeg);
    double perimeterM = 0;
    double areaM2 = 0;
    area.Compute(false, true, perimeterM, areaM2);
    return std::abs(areaM2) / 1e6;
}

// A 60 x 50 grid of 3-arc-second cells at 45 N: a disc of radius 24 cells with a value,
// covered (margin 0 or more) on a ring and a separate patch, uncovered elsewhere.
CoverageGrid coveredGrid() {
    CoverageGrid grid;
    grid.columns = 60;
    grid.rows = 50;
    grid.cellDeg = 3.0 / 3600;
    grid.northLatDeg = 45.05;
    grid.westLonDeg = 7.0;
    for (int row = 0; row < grid.rows; ++row)
        for (int column = 0; column < grid.columns; ++column) {
            const double r = std::hypot(row - 25.0, column - 30.0);
            const bool inside = r <= 24;
            const bool ring = r >= 6 && r <= 15;
            const bool patch = row >= 42 && row < 46 && column >= 20 && column < 27;
            grid.lossDb.push_back(inside ? 120.0F : NAN);
            grid.warning.push_back(0);
            grid.marginDb.push_back(!inside ? NAN : ring || patch ? 2.5F : -3.0F);
        }
    return grid;
}

// The area of the GeoJSON file's polygons, km2: outer rings less their holes.
double geoJsonAreaKm2(const std::string& path) {
    GDALDatasetH dataset = GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
    EXPECT_NE(dataset, nullptr);
    if (dataset == nullptr)
        return 0;
    double totalKm2 = 0;
    OGRLayerH layer = GDALDatasetGetLayer(dataset, 0);
    while (OGRFeatureH feature = OGR_L_GetNextFeature(layer)) {
        OGRGeometryH polygon = OGR_F_GetGeometryRef(feature);
        for (int ring = 0; ring < OGR_G_GetGeometryCount(polygon); ++ring) {
            OGRGeometryH points = OGR_G_GetGeometryRef(polygon, ring);
            std::vector<std::pair<double, double>> vertices;
            for (int i = 0; i + 1 < OGR_G_GetPointCount(points); ++i)
                vertices.emplace_back(OGR_G_GetY(points, i), OGR_G_GetX(points, i));
            totalKm2 += (ring == 0 ? 1 : -1) * polygonKm2(vertices);
        }
        OGR_F_Destroy(feature);
    }
    GDALClose(dataset);
    return totalKm2;
}

double kmlValue(const std::string& kml, const std::string& tag) {
    std::smatch match;
    EXPECT_TRUE(std::regex_search(kml, match, std::regex("<" + tag + ">([-0-9.]+)</" + tag + ">")));
    return match.empty() ? NAN : verdan::radio::parseDecimal(match.str(1)).value_or(NAN);
}

} // namespace

TEST(Contour, PolygonsCoverTheCellsAboveTheThresholdAndOnlyWithOne) {
    const verdan::test::TempFolder dir;
    const std::string prefix = dir / "site";
    const CoverageGrid grid = coveredGrid();
    const ColourScale scale = MapStyle(MapQuantity::LossDb).colourScale();
    const Status written = writeCoverageFiles(grid, prefix, {}, scale, "Site");
    ASSERT_TRUE(written.ok) << written.message;
    GDALAllRegister();
    const double cellsKm2 = coveredArea(grid).coveredKm2;
    EXPECT_NEAR(geoJsonAreaKm2(prefix + "-contour.geojson"), cellsKm2, 0.01 * cellsKm2);
    const std::string kml = verdan::test::readAll(prefix + ".kml");
    // Two polygons, the ring with its hole.
    EXPECT_NE(kml.find("<innerBoundaryIs>"), std::string::npos);
    std::ptrdiff_t placemarks = 0;
    for (std::size_t at = kml.find("<Placemark>"); at != std::string::npos;
         at = kml.find("<Placemark>", at + 1))
        ++placemarks;
    EXPECT_EQ(placemarks, 2);
    // The overlay's box is the GeoTIFF's bounds, north above south.
    const verdan::test::Map map = verdan::test::readMap(prefix + ".tif");
    EXPECT_NEAR(kmlValue(kml, "north"), map.northDeg, 1e-8);
    EXPECT_NEAR(kmlValue(kml, "south"), map.northDeg - map.height * map.cellDeg, 1e-8);
    EXPECT_NEAR(kmlValue(kml, "west"), map.westDeg, 1e-8);
    EXPECT_NEAR(kmlValue(kml, "east"), map.westDeg + map.width * map.cellDeg, 1e-8);
    // Without a threshold there is no covered area to outline.
    std::filesystem::remove(prefix + "-contour.geojson");
    CoverageGrid plain = grid;
    plain.marginDb.clear();
    ASSERT_TRUE(writeCoverageFiles(plain, prefix, {}, scale, "S").ok);
    EXPECT_FALSE(std::filesystem::exists(prefix + "-contour.geojson"));
}

TEST(CoveredArea, CellsTakeTheirEllipsoidalAreaAndOnlyCoveredOnesCount) {
    for (double northDeg : {0.5, 45.0, 70.25}) {
        CoverageGrid grid;
        grid.columns = 3;
        grid.rows = 2;
        grid.cellDeg = 3.0 / 3600;
        grid.northLatDeg = northDeg;
        grid.westLonDeg = 7;
        const float no = std::nanf("");
        grid.lossDb = {100, 100, no, 100, 100, 100};
        grid.marginDb = {1, -1, no, 0, -0.5f, 3};
        const auto cellKm2 = [&](double cellNorthDeg) {
            const double southDeg = cellNorthDeg - grid.cellDeg;
            const double eastDeg = 7 + grid.cellDeg;
            return polygonKm2(
                {{cellNorthDeg, 7}, {cellNorthDeg, eastDeg}, {southDeg, eastDeg}, {southDeg, 7}});
        };
        const double top = cellKm2(northDeg);
        const double bottom = cellKm2(northDeg - grid.cellDeg);
        const CoveredArea area = coveredArea(grid);
        EXPECT_NEAR(area.discKm2, 2 * top + 3 * bottom, 1e-6 * area.discKm2) << northDeg;
        EXPECT_NEAR(area.coveredKm2, top + 2 * bottom, 1e-6 * area.coveredKm2) << northDeg;
        grid.marginDb.clear();
        EXPECT_EQ(coveredArea(grid).coveredKm2, 0);
    }
}
