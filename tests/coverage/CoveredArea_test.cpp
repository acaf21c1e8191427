#include <verdan/coverage/Coverage.h>

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolygonArea.hpp>

#include <cmath>

#include <gtest/gtest.h>

using namespace verdan::coverage;

namespace {

// The area of a cell by GeographicLib's geodesic polygon on WGS 84, km2. The edges of a
// cell are parallels (rhumb lines), not geodesics; cells of a few arc-seconds make the
// difference negligible.
double polygonKm2(double northDeg, double westDeg, double sizeDeg) {
    GeographicLib::PolygonArea polygon(GeographicLib::Geodesic::WGS84());
    polygon.AddPoint(northDeg, westDeg);
    polygon.AddPoint(northDeg, westDeg + sizeDeg);
    polygon.AddPoint(northDeg - sizeDeg, westDeg + sizeDeg);
    polygon.AddPoint(northDeg - sizeDeg, westDeg);
    double perimeterM = 0;
    double areaM2 = 0;
    polygon.Compute(false, true, perimeterM, areaM2);
    return std::abs(areaM2) / 1e6;
}

} // namespace

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
        const double top = polygonKm2(northDeg, 7, grid.cellDeg);
        const double bottom = polygonKm2(northDeg - grid.cellDeg, 7, grid.cellDeg);
        const CoveredArea area = coveredArea(grid);
        EXPECT_NEAR(area.discKm2, 2 * top + 3 * bottom, 1e-6 * area.discKm2) << northDeg;
        EXPECT_NEAR(area.coveredKm2, top + 2 * bottom, 1e-6 * area.coveredKm2) << northDeg;
        grid.marginDb.clear();
        EXPECT_EQ(coveredArea(grid).coveredKm2, 0);
    }
}
