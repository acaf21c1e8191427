// The covered area's outlines: PREFIX-contour.geojson and the KML polygon folder.
#include "GeoTiffMap.h"

#include <verdan/coverage/CoverageOutput.h>
#include <verdan/radio/Units.h>

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolygonArea.hpp>
#include <gdal.h>
#include <ogr_api.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

using namespace verdan::coverage;
namespace fs = std::filesystem;

namespace {

ColourScale lossScale() {
    return MapStyle(MapQuantity::LossDb).colourScale();
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

// The area of the GeoJSON file's polygons on WGS 84 by GeographicLib, km2: outer rings less
// their holes.
double geoJsonAreaKm2(const std::string& path) {
    GDALDatasetH dataset = GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
    EXPECT_NE(dataset, nullptr);
    if (dataset == nullptr)
        return 0;
    double totalM2 = 0;
    OGRLayerH layer = GDALDatasetGetLayer(dataset, 0);
    while (OGRFeatureH feature = OGR_L_GetNextFeature(layer)) {
        OGRGeometryH polygon = OGR_F_GetGeometryRef(feature);
        for (int ring = 0; ring < OGR_G_GetGeometryCount(polygon); ++ring) {
            OGRGeometryH points = OGR_G_GetGeometryRef(polygon, ring);
            GeographicLib::PolygonArea area(GeographicLib::Geodesic::WGS84());
            for (int i = 0; i + 1 < OGR_G_GetPointCount(points); ++i)
                area.AddPoint(OGR_G_GetY(points, i), OGR_G_GetX(points, i));
            double perimeterM = 0;
            double areaM2 = 0;
            area.Compute(false, true, perimeterM, areaM2);
            totalM2 += (ring == 0 ? 1 : -1) * std::abs(areaM2);
        }
        OGR_F_Destroy(feature);
    }
    GDALClose(dataset);
    return totalM2 / 1e6;
}

double kmlValue(const std::string& kml, const std::string& tag) {
    std::smatch match;
    EXPECT_TRUE(std::regex_search(kml, match, std::regex("<" + tag + ">([-0-9.]+)</" + tag + ">")));
    return match.empty() ? NAN : verdan::radio::parseDecimal(match.str(1)).value_or(NAN);
}

} // namespace

TEST(Contour, PolygonsCoverTheCellsAboveTheThresholdAndOnlyWithOne) {
    const fs::path dir = fs::temp_directory_path() / "coverage-contour";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string prefix = (dir / "site").string();
    const CoverageGrid grid = coveredGrid();
    const Status written = writeCoverageFiles(grid, prefix, {}, lossScale(), "Site");
    ASSERT_TRUE(written.ok) << written.message;
    GDALAllRegister();
    const double cellsKm2 = coveredArea(grid).coveredKm2;
    EXPECT_NEAR(geoJsonAreaKm2(prefix + "-contour.geojson"), cellsKm2, 0.01 * cellsKm2);
    std::ifstream in(prefix + ".kml", std::ios::binary);
    const std::string kml{std::istreambuf_iterator<char>(in), {}};
    // Two polygons, the ring with its hole.
    EXPECT_NE(kml.find("<innerBoundaryIs>"), std::string::npos);
    std::ptrdiff_t placemarks = 0;
    for (std::size_t at = kml.find("<Placemark>"); at != std::string::npos;
         at = kml.find("<Placemark>", at + 1))
        ++placemarks;
    EXPECT_EQ(placemarks, 2);
    // The overlay's box is the GeoTIFF's bounds, north above south.
    const verdan::test::Map map = verdan::test::readMap(prefix + ".tif");
    EXPECT_GT(kmlValue(kml, "north"), kmlValue(kml, "south"));
    EXPECT_NEAR(kmlValue(kml, "north"), map.northDeg, 1e-8);
    EXPECT_NEAR(kmlValue(kml, "south"), map.northDeg - map.height * map.cellDeg, 1e-8);
    EXPECT_NEAR(kmlValue(kml, "west"), map.westDeg, 1e-8);
    EXPECT_NEAR(kmlValue(kml, "east"), map.westDeg + map.width * map.cellDeg, 1e-8);
    // Without a threshold there is no covered area to outline.
    fs::remove(prefix + "-contour.geojson");
    CoverageGrid plain = grid;
    plain.marginDb.clear();
    ASSERT_TRUE(writeCoverageFiles(plain, prefix, {}, lossScale(), "S").ok);
    EXPECT_FALSE(fs::exists(prefix + "-contour.geojson"));
}
