#include "PolarTrace.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace verdan {

namespace {

constexpr double DegToRad = std::numbers::pi / 180;

/// The direction of the vertical cut's angle `t` (degrees below the horizon in front) for an
/// antenna whose boresight bears `azimuthDeg`.
radio::Direction verticalDirection(double azimuthDeg, double t) {
    const double front = std::cos(t * DegToRad);
    const double elevationDeg = -std::asin(std::clamp(std::sin(t * DegToRad), -1.0, 1.0)) / DegToRad;
    return {front >= 0 ? azimuthDeg : std::fmod(azimuthDeg + 180, 360), elevationDeg};
}

} // namespace

double polarRadius(double belowPeakDb, double rangeDb) {
    return std::clamp(1 - belowPeakDb / rangeDb, 0.0, 1.0);
}

PolarTraces polarTraces(const radio::AntennaPattern& pattern, const radio::AntennaPointing& pointing,
                        double rangeDb) {
    PolarTraces traces;
    for (int a = 0; a < 360; ++a) {
        const double rad = a * DegToRad;
        const double horizontal =
            pattern.gainDbi - radio::gainTowardDbi(pattern, pointing, {static_cast<double>(a), 0});
        const double h = polarRadius(horizontal, rangeDb);
        traces.horizontal.at(a) = {h * std::sin(rad), h * std::cos(rad)};
        const double vertical =
            pattern.gainDbi - radio::gainTowardDbi(pattern, pointing, verticalDirection(pointing.azimuthDeg, a));
        const double v = polarRadius(vertical, rangeDb);
        traces.vertical.at(a) = {v * std::cos(rad), -v * std::sin(rad)};
    }
    return traces;
}

std::vector<double> ringRadii(double rangeDb, double stepDb) {
    std::vector<double> radii;
    for (double below = 0; below < rangeDb - 1e-9; below += stepDb)
        radii.push_back(polarRadius(below, rangeDb));
    return radii;
}

} // namespace verdan
