#include "ProfileGeometry.h"

#include <cmath>

namespace verdan {

namespace {

constexpr double SpeedOfLightMPerS = 299792458.0;

Obstruction obstructionOf(const ProfilePoint& point) {
    if (point.fresnelRadiusM <= 0)
        return Obstruction::None; // the ends carry the antennas
    if (point.clearanceM() <= 0)
        return Obstruction::LineOfSight;
    if (point.clearanceM() < PlannedFresnelClearance * point.fresnelRadiusM)
        return Obstruction::FresnelZone;
    return Obstruction::None;
}

} // namespace

ProfileGeometry profileGeometry(const std::vector<double>& elevationsM, double spacingM,
                                double heightAM, double heightBM, double freqMHz, double k) {
    ProfileGeometry geometry;
    geometry.earthRadiusM = radio::effectiveEarthRadiusM(k);
    if (elevationsM.size() < 2)
        return geometry;
    const std::size_t last = elevationsM.size() - 1;
    geometry.pathM = spacingM * static_cast<double>(last);
    const double d = geometry.pathM;
    const double lambdaM = SpeedOfLightMPerS / (freqMHz * 1e6);
    const double startM = elevationsM.front() + heightAM;
    const double endM = elevationsM.back() + heightBM;
    geometry.points.reserve(elevationsM.size());
    for (std::size_t i = 0; i <= last; ++i) {
        ProfilePoint point;
        point.distanceM = i == last ? d : spacingM * static_cast<double>(i);
        const double x = point.distanceM;
        point.groundM = elevationsM[i];
        point.bulgeM = x * (d - x) / (2 * geometry.earthRadiusM);
        point.rayM = startM + (endM - startM) * x / d;
        point.fresnelRadiusM = i == 0 || i == last ? 0 : std::sqrt(lambdaM * x * (d - x) / d);
        point.obstruction = obstructionOf(point);
        geometry.points.push_back(point);
    }
    geometry.worst = radio::fresnelClearance(elevationsM, spacingM, heightAM, heightBM, freqMHz,
                                             geometry.earthRadiusM);
    return geometry;
}

} // namespace verdan
