#include "radial.h"

#include "numeric.h"
#include "preparation.h"

#include <bit>
#include <cmath>

namespace pmverdan {

namespace {

// The nearest whole number to x, ties to even, for 0 <= x < 2^53 (exact: from 2^52 on every
// double is whole, and below it adding 2^52 rounds away the fraction).
double nearestWhole(double x) {
    constexpr double kTwoTo52 = 0x1p52;
    return x < kTwoTo52 ? (x + kTwoTo52) - kTwoTo52 : x;
}

// The double with the given biased exponent and no fraction: 2^(biased - 1023).
double powerOfTwo(uint64_t biased) {
    return std::bit_cast<double>(biased << 52);
}

} // namespace

double repeatedDifference(double start, double step, int32_t count) {
    constexpr uint64_t kMantissaBits = 52;
    const double perStep = 1.0 / step;
    double value = start;
    while (count > 0) {
        const uint64_t biased = std::bit_cast<uint64_t>(value) >> kMantissaBits;
        // In the binade [binadeStart, 2 binadeStart) the doubles are ulp apart; below 2^-970,
        // beyond the largest or not positive: one step at a time.
        const bool ordinary = biased > kMantissaBits + 1 && biased < 0x7ff;
        const double binadeStart = powerOfTwo(ordinary ? biased : 1023);
        const double ulp = powerOfTwo(ordinary ? biased - kMantissaBits : 1023);
        // step / ulp, exactly: times a power of two.
        const double units = step * powerOfTwo(ordinary ? 2046 + kMantissaBits - biased : 1023);
        const double roundedUnits = nearestWhole(units);
        if (!ordinary || value - binadeStart < step || std::fabs(units - roundedUnits) == 0.5) {
            // The difference leaves the binade, or lies halfway between two neighbours.
            value -= step;
            --count;
            continue;
        }
        // Every difference that stays in the binade is the value less the rounded step; the
        // products and differences below are exact multiples of the ulp.
        const double stride = roundedUnits * ulp;
        const auto staysFor = [&](int32_t steps) {
            return (value - (steps - 1) * stride) - binadeStart >= step;
        };
        // How many steps stay, to within one (the stride and the step differ by half an ulp).
        const double room =
            minOf((value - binadeStart - step) * perStep, static_cast<double>(count));
        int32_t steps = minOf(static_cast<int32_t>(room) + 1, count);
        while (steps > 1 && !staysFor(steps)) {
            --steps;
        }
        while (steps < count && staysFor(steps + 1)) {
            ++steps;
        }
        value -= steps * stride;
        count -= steps;
    }
    return value;
}

void UpperHull::clear() {
    m_vertices.clear();
    m_lastPoint = 0;
}

void UpperHull::add(int32_t i, const double* y) {
    while (m_vertices.size() >= 2) {
        const int32_t b = m_vertices.back();
        const int32_t a = m_vertices[m_vertices.size() - 2];
        // b stays when it lies above the chord from a to i.
        if ((b - a) * (y[i] - y[a]) - (y[b] - y[a]) * (i - a) < 0.0) {
            break;
        }
        m_vertices.pop_back();
    }
    m_vertices.push_back(i);
    m_lastPoint = i;
}

RadialProfile::RadialProfile(const ProfileView& profile)
    : m_spacingM(profile.spacingM), m_elevM(profile.elevM, profile.elevM + profile.intervals + 1),
      m_sumM(m_elevM.size() + 1), m_indexMomentM(m_elevM.size() + 1), m_fromTxM(m_elevM.size()),
      m_lowered(m_elevM.size()), m_txAngle(m_elevM.size()) {
    const double halfCurvature = 0.5 * kEarthCurvature;
    for (std::size_t i = 0; i < m_elevM.size(); ++i) {
        m_sumM[i + 1] = m_sumM[i] + m_elevM[i];
        m_indexMomentM[i + 1] = m_indexMomentM[i] + static_cast<long double>(i) * m_elevM[i];
        if (i > 0) {
            m_fromTxM[i] = m_fromTxM[i - 1] + m_spacingM;
        }
        const double xM = m_fromTxM[i];
        m_lowered[i] = m_elevM[i] - halfCurvature * xM * xM;
    }
}

double RadialProfile::meanElevationM(int32_t first, int32_t last) const {
    return static_cast<double>((m_sumM[last + 1] - m_sumM[first]) / (last - first + 1));
}

void RadialProfile::analyse(int32_t intervals, PropRecord& prop) {
    prop.dist = intervals * m_spacingM;
    findHorizons(intervals, prop);
    analyseTerrain(view(intervals), prop);
}

ProfileView RadialProfile::view(int32_t intervals) {
    return {intervals,    m_spacingM, m_elevM.data(), m_sumM.data(), m_indexMomentM.data(),
            &m_decileHint};
}

// The result of pmverdan::findHorizons over the path to point np, from the hulls.
void RadialProfile::findHorizons(int32_t np, PropRecord& prop) {
    const double halfCurvature = 0.5 * prop.gme;
    if (!(std::isfinite(halfCurvature) && halfCurvature <= 0.5 * kEarthCurvature &&
          std::isfinite(prop.hg[0]) && std::isfinite(prop.hg[1]))) {
        // Beyond what the hulls were built for: every point is looked at.
        pmverdan::findHorizons(view(np), prop);
        return;
    }
    const double* z = m_elevM.data();
    const double txElevM = z[0] + prop.hg[0];
    const double rxElevM = z[np] + prop.hg[1];
    const double slope = (rxElevM - txElevM) / prop.dist;
    const double bulge = halfCurvature * prop.dist;
    prop.the[0] = slope - bulge;
    prop.the[1] = -slope - bulge;
    prop.dl[0] = prop.dist;
    prop.dl[1] = prop.dist;
    if (np < 2) {
        return;
    }
    extendHulls(np - 1, prop.hg[0]);
    const int32_t top = highestFromTransmitter(halfCurvature);
    const double topM = m_fromTxM[top];
    const double topAngle = (z[top] - txElevM) / topM - halfCurvature * topM;
    if (!(topAngle > prop.the[0])) {
        return; // nothing rises above the line between the antennas
    }
    prop.the[0] = topAngle;
    prop.dl[0] = topM;
    // Every point above that line is seen from the receiver above the transmitter, every other
    // point below it: the receiver's horizon is the highest point of all.
    int32_t horizon = 0;
    for (const int32_t i : m_rxHull.vertices()) {
        const double fromRxM = prop.dist - i * m_spacingM;
        const double angle = (z[i] - rxElevM) / fromRxM - halfCurvature * fromRxM;
        if (angle > prop.the[1]) {
            prop.the[1] = angle;
            horizon = i;
        }
    }
    if (horizon > 0) {
        prop.dl[1] = repeatedDifference(prop.dist, m_spacingM, horizon);
    }
}

// Brings both hulls to the points 1..lastPoint for the transmitter height txHeightM.
void RadialProfile::extendHulls(int32_t lastPoint, double txHeightM) {
    if (lastPoint < m_rxHull.lastPoint()) {
        m_rxHull.clear();
    }
    if (lastPoint < m_txHull.lastPoint() || txHeightM != m_txHeightM) {
        m_txHull.clear();
        m_txHeightM = txHeightM;
    }
    for (int32_t i = m_rxHull.lastPoint() + 1; i <= lastPoint; ++i) {
        m_rxHull.add(i, m_lowered.data());
    }
    const double txElevM = m_elevM[0] + txHeightM;
    for (int32_t i = m_txHull.lastPoint() + 1; i <= lastPoint; ++i) {
        m_txAngle[i] = (m_elevM[i] - txElevM) / m_fromTxM[i];
        m_txHull.add(i, m_txAngle.data());
    }
}

// The first point where the angle from the transmitter is highest: along the hull the angle
// rises while an edge is steeper than the curvature's slope, and falls after.
int32_t RadialProfile::highestFromTransmitter(double halfCurvature) const {
    const std::vector<int32_t>& v = m_txHull.vertices();
    const double* y = m_txAngle.data();
    const double perPoint = halfCurvature * m_spacingM;
    std::size_t lo = 0;
    std::size_t hi = v.size() - 1;
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (y[v[mid + 1]] - y[v[mid]] > perPoint * (v[mid + 1] - v[mid])) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return v[lo];
}

} // namespace pmverdan
