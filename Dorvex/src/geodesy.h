// Paths on the earth: a great circle on a sphere of 6370 km (DAZEL) and the geodesic on
// an ellipsoid by Vincenty's inverse and direct solutions in single precision (NGSINV,
// NGSFOR).
#pragma once

#include "state.h"

namespace dorvex {

inline constexpr double kDazelEarthRadiusKm = 6370.0;
// Largest number of rounds of the Vincenty iterations; nearly antipodal points, for
// which they do not converge, end with the last iterate.
inline constexpr int kVincentyMaxRounds = 100;

// Great circle on the sphere, working on `block` (degrees, km).
// Mode 0 (inverse): from lat1, lon1, lat2, lon2 sets az12, az21 (0..360, clockwise from
// north) and distKm; latitudes at or beyond +-90 are first set to +-89.99.
// Mode 1 (direct): from lat1, lon1, az12 and distKm (0..20000) sets lat2 and lon2;
// lon2 = lon1 +- the longitude difference (0..180) and is not wrapped, so it lies
// within lon1 - 180 .. lon1 + 180.
void DAZEL(int mode, DazelBlock& block);

// Vincenty inverse on the ellipsoid of semi-major axis a (any unit) and flattening f
// (0..0.01). Latitudes -pi/2..pi/2 and longitudes in radians (east positive gives
// azimuths clockwise from north). Sets az12 and az21 (radians, 0..2 pi) and the distance
// s in the unit of a. Points within 1e-7 rad in both coordinates give 0, 0, 0.
void NGSINV(float a, float f, float lat1, float lon1, float lat2, float lon2, float& az12,
            float& az21, float& s);

// Vincenty direct on the same ellipsoid: from lat1, lon1 (radians), az12 (radians) and the
// distance s (unit of a, 0..half the circumference) sets lat2, lon2 (radians, longitude
// within -pi..pi) and az21 (radians, 0..2 pi).
void NGSFOR(float a, float f, float lat1, float lon1, float az12, float s, float& lat2, float& lon2,
            float& az21);

} // namespace dorvex
