// Profile samplers: equally spaced points along a great circle from the GLOBE grid, and
// along a geodesic from the Quarn database.
#pragma once

#include "quarn.h"

namespace dorvex {

// GLOBE profile between (lat1Deg, lon1Deg) and (lat2Deg, lon2Deg), degrees, north and
// east positive, on a sphere of 6370 km. profile[0] receives the number of points,
// profile[1] the spacing in metres, profile[2 .. points + 1] the elevations in metres
// from point 1; it must hold points + 2 floats. points >= 2;
// pathLength (0..150) and path (150 characters) name the GLOBE folder. Returns 1 when
// complete, the GLOBE error number (below -500) of the first failing elevation (elements
// filled before it keep their values), or 0 for fewer than 2 points (nothing written).
int NGET_GLOBE_PFL(float lat1Deg, float lon1Deg, float lat2Deg, float lon2Deg, int points,
                   float* profile, int pathLength, const char* path);

// Quarn profile along the geodesic of the ellipsoid (a metres, flattening f) between
// (lat1, lon1) and (lat2, lon2), radians, north and east positive.
//   spacingM    nominal step in metres (> 0): floor(s / spacingM) + 1 points, at least 3,
//               at most maxPoints.
//   datum       datum number handed to TOPGET (0).
//   name        12 characters, blank to search TOPO.INF (see TOPGET).
//   sampleRule  sample rule handed to TOPGET (4 bilinear).
//   option      4 characters; "D   " stores fillM for missing data (errors 10, 11, 13)
//               and goes on; otherwise any error stops.
//   distancesM, elevationsM  out, maxPoints floats each, from index 0.
//   pointsOut   out: number of points; status out: 0 success, -1 stopped on an error;
//   errorNumber out: TOPGET error of the last point read.
void PRFILE(float lat1, float lon1, float lat2, float lon2, float spacingM, float a, float f,
            int datum, char name[kQuarnNameWidth], int sampleRule, const char option[4],
            float fillM, int maxPoints, float* distancesM, float* elevationsM, int& pointsOut,
            int& status, int& errorNumber);

} // namespace dorvex
