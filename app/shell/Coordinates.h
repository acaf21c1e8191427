#pragma once

namespace verdan {

struct PathState;

/// One coordinate as degrees, minutes, seconds and a sign (+1 north or east, -1 south or
/// west).
struct Dms {
    double degrees = 0;
    double minutes = 0;
    double seconds = 0;
    double sign = 1;
};

/// (degrees + minutes / 60 + seconds / 3600) * sign, in decimal degrees. No range check:
/// minutes or seconds of 60 and more are simply added in.
double DmsToDegrees(double degrees, double minutes, double seconds, double sign);

/// Decimal degrees to degrees, minutes and seconds: sign -1 for dd < 0, else +1; degrees,
/// minutes and seconds are each the largest integer not above their value (seconds are
/// truncated, so 40.05, whose binary form lies just below it, gives 40 2 59). Callers hand
/// in unsigned values; the sign then comes from the hemisphere.
Dms DdToDms(double dd);

/// Degrees to radians with pi taken as 3.1415926535897.
double DegToRad(double degrees);

/// Great-circle distance in metres between two points given in decimal degrees (north and
/// east positive), on a sphere of the mean earth radius 6371008.8 m. Used to tell end points
/// that are closer than a metre.
double greatCircleDistanceM(double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg);

/// A point in signed decimal degrees, north and east positive.
struct GeoDegrees {
    double latDeg = 0;
    double lonDeg = 0;
};

/// The transmitter end (or with `receiver` the receiver end) of the path coordinates: the
/// decimal-degree texts when the coordinates were entered so, else degrees, minutes and
/// seconds (leading-number rule); the hemisphere ("N"/"S", "E"/"W") gives the sign.
GeoDegrees pathEndDegrees(const PathState& path, bool receiver);

} // namespace verdan
