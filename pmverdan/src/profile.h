// Analysis of a terrain profile for the point-to-point mode.
#pragma once

#include "pmverdan.h"

#include <cstdint>
#include <limits>

namespace pmverdan {

// Where the deciles of the terrain irregularity's deviations lay on the last path analysed
// (NaN before the first): along a radial the next path's lie close by.
struct DecileHint {
    double upperM = std::numeric_limits<double>::quiet_NaN();
    double lowerM = std::numeric_limits<double>::quiet_NaN();
};

// Equally spaced elevations along a path: intervals + 1 elevations, m, spacingM apart.
struct ProfileView {
    int32_t intervals;
    double spacingM;
    const double* elevM;
    // Optional running sums over the elevations, each at least intervals + 1 long: sumM[k] is
    // the sum of the elevations before point k, indexMomentM[k] that of each elevation times its
    // point number. With them a line fit costs the same over any range.
    const long double* sumM = nullptr;
    const long double* indexMomentM = nullptr;
    // Optional: looked up and updated by the terrain irregularity.
    DecileHint* decileHint = nullptr;
};

// Largest number of intervals a profile may have.
constexpr int32_t kMaxProfileIntervals = 1000000;

// Horizon angles prop.the (rad) and horizon distances prop.dl (m) of both ends, from the
// profile, the antenna heights prop.hg and the curvature prop.gme; prop.dist must be the path
// length (intervals x spacing). Needs intervals >= 1.
void findHorizons(const ProfileView& profile, PropRecord& prop);

// Least-squares straight line through the profile between the distances x1M and x2M from the
// first point (both clamped to the path), the end points of the range weighted one half.
// Returns the line's elevation at the first point (startElevM) and at the last (endElevM), m.
void fitProfileLine(const ProfileView& profile, double x1M, double x2M, double& startElevM,
                    double& endElevM);

// Terrain irregularity, m: the interdecile range of the profile's deviations from its fitted
// straight line between x1M and x2M, scaled to an infinitely long path. 0 when the range spans
// fewer than two intervals.
double interdecileRangeM(const ProfileView& profile, double x1M, double x2M);

// The profile analysis of the point-to-point mode (the work of qlrpfl before its final call
// of lrprop): path length, terrain irregularity, effective heights, horizons. Needs prop.hg and
// prop.gme; profile.intervals >= 1.
void analyseProfile(const ProfileView& profile, PropRecord& prop);

// The part of analyseProfile that follows the horizons: terrain irregularity, effective heights,
// and the horizons of a line-of-sight path. Needs prop.dist, dl and the as findHorizons leaves
// them.
void analyseTerrain(const ProfileView& profile, PropRecord& prop);

} // namespace pmverdan
