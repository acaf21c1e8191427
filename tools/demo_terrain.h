// The invented terrain of the demo data sets (GLOBE and rasters): smooth hills around the
// two default paths of the path coordinates form. Not real elevations.
#pragma once

#include <cmath>

namespace verdan::terrain {

inline constexpr double kPi = 3.14159265358979323846;

// Gently rolling coastal plain, 10 to 130 m, with the open water of a bay (GLOBE ocean
// code -500) east of 76.45 degrees west.
inline double coastalPlainM(double latDeg, double lonDeg) {
    if (lonDeg > -76.45) {
        return -500.0;
    }
    const double hills = std::sin(latDeg * 2.0 * kPi * 6.0) * std::cos(lonDeg * 2.0 * kPi * 5.0);
    const double rise = (-76.45 - lonDeg) * 60.0;
    return 10.0 + std::fmin(60.0, rise) + 35.0 * (hills + 1.0);
}

// Plains at about 1600 m rising westward into ridges up to about 3200 m.
inline double foothillsM(double latDeg, double lonDeg) {
    const double west = std::fmax(0.0, -105.2 - lonDeg);
    const double ridges = std::sin(lonDeg * 2.0 * kPi * 8.0) * std::cos(latDeg * 2.0 * kPi * 3.0);
    return 1600.0 + 1800.0 * std::tanh(west * 3.0) + 150.0 * ridges * std::tanh(west * 5.0);
}

inline double demoElevationM(double latDeg, double lonDeg) {
    return lonDeg > -90.0 ? coastalPlainM(latDeg, lonDeg) : foothillsM(latDeg, lonDeg);
}

} // namespace verdan::terrain
