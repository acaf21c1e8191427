#include "Coordinates.h"

#include "NumberFormat.h"
#include "PathState.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace verdan {

double DmsToDegrees(double degrees, double minutes, double seconds, double sign) {
    return (degrees + minutes / 60.0 + seconds / 3600.0) * sign;
}

Dms DdToDms(double dd) {
    Dms dms;
    dms.sign = dd < 0 ? -1.0 : 1.0;
    dms.degrees = std::floor(dd);
    const double minutes = (dd - dms.degrees) * 60.0;
    dms.minutes = std::floor(minutes);
    dms.seconds = std::floor((minutes - dms.minutes) * 60.0);
    return dms;
}

double DegToRad(double degrees) {
    return degrees * 3.1415926535897 / 180.0;
}

double greatCircleDistanceM(double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg) {
    constexpr double radiusM = 6371008.8;
    constexpr double toRad = std::numbers::pi / 180.0;
    const double dLat = (lat2Deg - lat1Deg) * toRad;
    const double dLon = (lon2Deg - lon1Deg) * toRad;
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(lat1Deg * toRad) * std::cos(lat2Deg * toRad) * std::sin(dLon / 2) *
                         std::sin(dLon / 2);
    return 2.0 * radiusM * std::asin(std::sqrt(std::min(1.0, std::max(0.0, a))));
}

namespace {

// One coordinate of the path from the coordinate texts starting at `first` (degrees, minutes,
// seconds, hemisphere) or the decimal text `dd`.
double pathCoordinateDeg(const PathState& path, int first, const QString& dd, bool latitude) {
    const QString& hemisphere = path.coords.at(static_cast<std::size_t>(first + 3));
    const double sign = latitude ? (hemisphere == QLatin1String("N") ? 1.0 : -1.0)
                                 : (hemisphere == QLatin1String("W") ? -1.0 : 1.0);
    if (path.CoordsInDD)
        return std::fabs(numfmt::leadingNumber(dd)) * sign;
    const auto number = [&](int i) {
        return numfmt::leadingNumber(path.coords.at(static_cast<std::size_t>(first + i)));
    };
    return DmsToDegrees(number(0), number(1), number(2), sign);
}

} // namespace

GeoDegrees pathEndDegrees(const PathState& path, bool receiver) {
    if (receiver)
        return {pathCoordinateDeg(path, PathState::RxLatDeg_DD, path.RxLatDD, true),
                pathCoordinateDeg(path, PathState::RxLonDeg_DDD, path.RxLonDD, false)};
    return {pathCoordinateDeg(path, PathState::TxLatDeg_DD, path.TxLatDD, true),
            pathCoordinateDeg(path, PathState::TxLonDeg_DDD, path.TxLonDD, false)};
}

} // namespace verdan
