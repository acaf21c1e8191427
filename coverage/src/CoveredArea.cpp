#include <verdan/coverage/Coverage.h>

#include <cmath>
#include <numbers>

namespace verdan::coverage {

namespace {

constexpr double SemiMajorM = 6378137.0;
constexpr double Flattening = 1.0 / 298.257223563;

// The area, m2, of the zone of the WGS 84 ellipsoid from the equator to `latDeg`, per radian
// of longitude: b^2 / 2 (sin phi / (1 - e^2 sin^2 phi) + atanh(e sin phi) / e).
double zoneAreaM2PerRad(double latDeg) {
    const double e2 = Flattening * (2.0 - Flattening);
    const double e = std::sqrt(e2);
    const double b = SemiMajorM * (1.0 - Flattening);
    const double s = std::sin(latDeg * std::numbers::pi / 180.0);
    return b * b / 2.0 * (s / (1.0 - e2 * s * s) + std::atanh(e * s) / e);
}

} // namespace

double cellAreaKm2(const CoverageGrid& grid, int row) {
    const double widthRad = grid.cellDeg * std::numbers::pi / 180.0;
    const double northDeg = grid.northLatDeg - row * grid.cellDeg;
    return (zoneAreaM2PerRad(northDeg) - zoneAreaM2PerRad(northDeg - grid.cellDeg)) * widthRad /
           1e6;
}

CoveredArea coveredArea(const CoverageGrid& grid) {
    CoveredArea area;
    const bool margin = !grid.marginDb.empty();
    for (int row = 0; row < grid.rows; ++row) {
        const double cellKm2 = cellAreaKm2(grid, row);
        long long disc = 0;
        long long covered = 0;
        for (int column = 0; column < grid.columns; ++column) {
            const auto cell = static_cast<std::size_t>(row) * grid.columns + column;
            if (std::isnan(grid.lossDb[cell]))
                continue;
            ++disc;
            covered += margin && grid.marginDb[cell] >= 0.0f ? 1 : 0;
        }
        area.discKm2 += static_cast<double>(disc) * cellKm2;
        area.coveredKm2 += static_cast<double>(covered) * cellKm2;
    }
    return area;
}

} // namespace verdan::coverage
