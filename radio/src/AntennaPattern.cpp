#include <verdan/radio/AntennaPattern.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace verdan::radio {

namespace {

constexpr double DegPerRad = 180.0 / std::numbers::pi;

// `table` at `angleDeg` (any value; taken modulo 360), linear between whole degrees.
double sampled(const std::array<double, 360>& table, double angleDeg) {
    double wrapped = std::fmod(angleDeg, 360.0);
    if (wrapped < 0)
        wrapped += 360.0;
    const double below = std::floor(wrapped);
    const double fraction = wrapped - below;
    const auto i = static_cast<std::size_t>(below) % 360;
    return table[i] + (table[(i + 1) % 360] - table[i]) * fraction;
}

// `angleDeg` in -180..180.
double signedAngle(double angleDeg) {
    double wrapped = std::fmod(angleDeg + 180.0, 360.0);
    if (wrapped < 0)
        wrapped += 360.0;
    return wrapped - 180.0;
}

} // namespace

double AntennaPattern::attenuationDb(double azimuthDeg, double elevationDeg) const {
    const double back = std::abs(signedAngle(azimuthDeg)) / 180.0;
    const double front = 1.0 - back;
    const double elevationDb = front * sampled(verticalDb, -elevationDeg) +
                               back * sampled(verticalDb, 180.0 + elevationDeg);
    const double shapeDb =
        sampled(horizontalDb, azimuthDeg) - front * horizontalDb[0] - back * horizontalDb[180];
    return std::max(0.0, elevationDb + shapeDb);
}

Direction antennaFrame(const AntennaPointing& pointing, const Direction& direction) {
    const double azimuthRad = (direction.azimuthDeg - pointing.azimuthDeg) / DegPerRad;
    const double elevationRad = direction.elevationDeg / DegPerRad;
    const double tiltRad = pointing.downtiltDeg / DegPerRad;
    // x along the boresight's bearing, y to its right, z up; the antenna is turned down by
    // the tilt about y, so its frame is the local one turned up by the tilt.
    const double x = std::cos(elevationRad) * std::cos(azimuthRad);
    const double y = std::cos(elevationRad) * std::sin(azimuthRad);
    const double z = std::sin(elevationRad);
    const double xAntenna = x * std::cos(tiltRad) - z * std::sin(tiltRad);
    const double zAntenna = x * std::sin(tiltRad) + z * std::cos(tiltRad);
    return {std::atan2(y, xAntenna) * DegPerRad,
            std::asin(std::clamp(zAntenna, -1.0, 1.0)) * DegPerRad};
}

double gainTowardDbi(const AntennaPattern& pattern, const AntennaPointing& pointing,
                     const Direction& direction) {
    const Direction own = antennaFrame(pointing, direction);
    return pattern.gainDbi - pattern.attenuationDb(own.azimuthDeg, own.elevationDeg);
}

} // namespace verdan::radio
