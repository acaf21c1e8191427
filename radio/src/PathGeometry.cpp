#include <verdan/radio/PathGeometry.h>

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <numbers>

namespace verdan::radio {

namespace {

constexpr double DegPerRad = 180.0 / std::numbers::pi;
constexpr double SpeedOfLightMPerS = 299'792'458.0;

double bearingDeg(double azimuthDeg) {
    const double wrapped = std::fmod(azimuthDeg + 360.0, 360.0);
    return wrapped >= 360.0 ? 0.0 : wrapped;
}

} // namespace

double elevationAngleDeg(double fromM, double toM, double distanceM, double earthRadiusM) {
    const double angleRad = distanceM / earthRadiusM;
    const double fromRadiusM = earthRadiusM + fromM;
    const double toRadiusM = earthRadiusM + toM;
    // In the plane of the path, with the first antenna on the vertical axis.
    const double alongM = toRadiusM * std::sin(angleRad);
    const double upM = toRadiusM * std::cos(angleRad) - fromRadiusM;
    return std::atan2(upM, alongM) * DegPerRad;
}

PathDirections pathDirections(const AntennaSite& first, const AntennaSite& second,
                              double earthRadiusM) {
    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    double distanceM = 0;
    double azimuth1Deg = 0;
    double azimuth2Deg = 0;
    wgs84.Inverse(first.latDeg, first.lonDeg, second.latDeg, second.lonDeg, distanceM, azimuth1Deg,
                  azimuth2Deg);
    const double firstM = first.groundM + first.heightM;
    const double secondM = second.groundM + second.heightM;
    PathDirections directions;
    directions.distanceM = distanceM;
    if (distanceM < 1.0) {
        const double upDeg = secondM > firstM ? 90.0 : secondM < firstM ? -90.0 : 0.0;
        directions.fromFirst = {0.0, upDeg};
        directions.fromSecond = {0.0, -upDeg};
        return directions;
    }
    // azimuth2 is the forward bearing at the second point; the first is seen behind it.
    directions.fromFirst = {bearingDeg(azimuth1Deg),
                            elevationAngleDeg(firstM, secondM, distanceM, earthRadiusM)};
    directions.fromSecond = {bearingDeg(azimuth2Deg + 180.0),
                             elevationAngleDeg(secondM, firstM, distanceM, earthRadiusM)};
    return directions;
}

std::optional<FresnelClearance> fresnelClearance(const std::vector<double>& elevationsM,
                                                 double spacingM, double heightAM, double heightBM,
                                                 double freqMHz, double earthRadiusM) {
    const std::size_t points = elevationsM.size();
    if (points < 3)
        return std::nullopt;
    const double pathM = spacingM * static_cast<double>(points - 1);
    const double lambdaM = SpeedOfLightMPerS / (freqMHz * 1e6);
    const double startM = elevationsM.front() + heightAM;
    const double endM = elevationsM.back() + heightBM;
    FresnelClearance worst;
    worst.clearanceRatio = INFINITY;
    for (std::size_t i = 1; i + 1 < points; ++i) {
        const double xM = spacingM * static_cast<double>(i);
        const double bulgeM = xM * (pathM - xM) / (2.0 * earthRadiusM);
        const double rayM = startM + (endM - startM) * xM / pathM;
        const double clearanceM = rayM - (elevationsM[i] + bulgeM);
        const double radiusM = std::sqrt(lambdaM * xM * (pathM - xM) / pathM);
        if (clearanceM <= 0)
            worst.lineOfSight = false;
        const double ratio = clearanceM / radiusM;
        if (ratio < worst.clearanceRatio) {
            worst.clearanceRatio = ratio;
            worst.atDistanceM = xM;
            worst.clearanceM = clearanceM;
            worst.fresnelRadiusM = radiusM;
        }
    }
    return worst;
}

} // namespace verdan::radio
