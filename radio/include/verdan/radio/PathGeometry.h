// The geometry of a radio path between two antennas: where each antenna sees the other
// (bearing and elevation angle), and how well the path clears the terrain (line of sight and
// the first Fresnel zone). Plain C++, no Qt.
//
// Bearings and distances are geodesics on the WGS 84 ellipsoid (GeographicLib). Heights are
// above mean sea level. The earth's curvature enters through the effective earth radius,
// k times the actual radius, with the run's k (the propagation model's refraction factor,
// 4/3 in a standard atmosphere): rays are then straight lines over an earth of that radius.
#pragma once

#include <verdan/radio/AntennaPattern.h>

#include <optional>
#include <vector>

namespace verdan::radio {

/// The actual earth radius of the propagation model, metres (1 / 157e-9 rounded).
inline constexpr double ActualEarthRadiusM = 6370e3;

/// The effective earth radius, metres, for an effective earth radius factor `k` (> 0).
inline double effectiveEarthRadiusM(double k) {
    return k * ActualEarthRadiusM;
}

/// An antenna's place.
struct AntennaSite {
    double latDeg = 0;  ///< -90..90, north positive
    double lonDeg = 0;  ///< -180..180, east positive
    double groundM = 0; ///< ground elevation above mean sea level
    double heightM = 0; ///< antenna height above ground
};

/// How two antennas see each other.
struct PathDirections {
    double distanceM = 0; ///< geodesic distance along the ground
    Direction fromFirst;  ///< the second antenna seen from the first
    Direction fromSecond; ///< the first antenna seen from the second
};

/// The elevation angle, degrees, at which an antenna at `fromM` (above sea level) sees a
/// point at `toM` a ground distance `distanceM` (> 0) away, over an earth of radius
/// `earthRadiusM`: exact for that sphere, including the drop of the horizon.
double elevationAngleDeg(double fromM, double toM, double distanceM, double earthRadiusM);

/// Bearings (geodesic, true north, clockwise) and elevation angles between two antennas.
/// Sites closer than 1 m have elevation 90 or -90 (or 0 for equal heights) and bearing 0.
PathDirections pathDirections(const AntennaSite& first, const AntennaSite& second,
                              double earthRadiusM);

/// The worst point of a path's clearance.
struct FresnelClearance {
    bool lineOfSight = true;   ///< no terrain point touches or rises above the line of sight
    double clearanceRatio = 0; ///< smallest clearance over the first Fresnel zone's radius
                               ///< (1: the zone is clear; 0: grazing; below 0: obstructed)
    double atDistanceM = 0;    ///< where, from the first end
    double clearanceM = 0;     ///< the line of sight's height over the terrain there
    double fresnelRadiusM = 0; ///< the first Fresnel zone's radius there
};

/// The clearance of the line of sight between antennas `heightAM` and `heightBM` above the
/// ends of a profile (elevations above sea level every `spacingM` metres, first end first)
/// at `freqMHz`, over an earth of radius `earthRadiusM`: at every interior point, the
/// terrain raised by the earth's bulge x (d - x) / 2R against the straight line between the
/// antennas, over the first Fresnel radius sqrt(lambda x (d - x) / d). Empty for a profile
/// without an interior point.
std::optional<FresnelClearance> fresnelClearance(const std::vector<double>& elevationsM,
                                                 double spacingM, double heightAM, double heightBM,
                                                 double freqMHz, double earthRadiusM);

} // namespace verdan::radio
