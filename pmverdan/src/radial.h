// The paths from the first point of one terrain profile to each of its points (a radial of a
// coverage map), analysed with the work they share.
#pragma once

#include "pmverdan.h"
#include "profile.h"

#include <cstdint>
#include <vector>

namespace pmverdan {

// The value of `start` after `count` times `start -= step` in double arithmetic, every
// rounding included (0 < step, count * step < start), found a binade at a time: within one the
// rounded step is the same. The horizon distances of the point-to-point analysis are such
// running differences, and its line fits truncate them to whole points.
double repeatedDifference(double start, double step, int32_t count);

// The upper convex hull of points (i, y[i]) added in increasing i. A point on or below the
// chord of its neighbours is dropped.
class UpperHull {
public:
    void clear();
    // Adds point i (above every point added so far); y must hold it.
    void add(int32_t i, const double* y);
    const std::vector<int32_t>& vertices() const { return m_vertices; }
    // The last point added, 0 before the first.
    int32_t lastPoint() const { return m_lastPoint; }

private:
    std::vector<int32_t> m_vertices;
    int32_t m_lastPoint = 0;
};

// What the paths along one profile share: running sums of the elevations for the line fits,
// and the points that can be a horizon, seen from the first point or from any later one.
//
// Horizons (as findHorizons finds them, to the same bits where they are distances). Seen from the
// transmitter (height t above the first point), point i at xi metres is at the angle (z[i] - t) /
// xi - c xi, c half the effective curvature: the highest point is the vertex of the upper hull of
// the points (xi, (z[i] - t) / xi) where a line of slope c touches, found by bisection for any c.
// Seen from a receiver at point n, the angle of point i is, up to terms that are the same for every
// point, the slope from the receiver to (xi, z[i] - c xi^2): the highest point is a vertex of the
// upper hull of those points. A larger curvature only adds vertices to that hull, so the hull built
// for the actual earth's curvature (above every effective curvature) holds the receiver's horizon
// for any refractivity; its vertices are searched one by one.
class RadialProfile {
public:
    // Copies the profile (intervals >= 1, spacing > 0, finite elevations). Throws std::bad_alloc.
    explicit RadialProfile(const ProfileView& profile);

    int32_t intervals() const { return static_cast<int32_t>(m_elevM.size()) - 1; }

    // Mean elevation of the points first..last (0 <= first <= last <= intervals()), m.
    double meanElevationM(int32_t first, int32_t last) const;

    // The work of analyseProfile over the path to point `intervals` (1..intervals()). Fastest
    // for non-decreasing `intervals` with one transmitter height.
    void analyse(int32_t intervals, PropRecord& prop);

private:
    ProfileView view(int32_t intervals);
    void findHorizons(int32_t intervals, PropRecord& prop);
    void extendHulls(int32_t lastPoint, double txHeightM);
    int32_t highestFromTransmitter(double halfCurvature) const;

    double m_spacingM;
    std::vector<double> m_elevM;
    std::vector<long double> m_sumM;
    std::vector<long double> m_indexMomentM;
    std::vector<double> m_fromTxM; // distance of each point, summed a spacing at a time
    std::vector<double> m_lowered; // z[i] - c xi^2 for the actual earth's curvature
    std::vector<double> m_txAngle; // (z[i] - t) / xi for the transmitter height below
    double m_txHeightM = 0.0;
    UpperHull m_txHull; // of (i, m_txAngle[i])
    UpperHull m_rxHull; // of (i, m_lowered[i])
    DecileHint m_decileHint;
};

} // namespace pmverdan
