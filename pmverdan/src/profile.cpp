#include "profile.h"

#include "numeric.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <functional>

namespace pmverdan {

namespace {

// The terrain irregularity resamples its range at 10 k - 5 points, k of them per tenth; k is
// at most this.
constexpr int32_t kMaxPerTenth = 25;

// The deviations from the fitted line beyond these shares of their spread are gathered first,
// and beyond the second when too few lie beyond the first.
constexpr double kFirstShare = 1.0;
constexpr double kSecondShare = 0.4;

// Along a radial the deciles are looked for first within this share of the last path's
// interdecile range around the last path's.
constexpr double kHintWindowShare = 0.05;

// Horizon distance over a smooth earth of the given terrain irregularity, m.
double roughHorizonM(double effectiveHeightM, double terrainDhM, double curvature) {
    return std::sqrt(2.0 * effectiveHeightM / curvature) *
           std::exp(-0.07 * std::sqrt(terrainDhM / maxOf(effectiveHeightM, 5.0)));
}

// The value of rank `rank` (0 the first) among values[0..count) in the order `before`, by a
// quickselect whose partitions write every value to both ends of `spare` (count values) and
// advance one end or the other: no branch depends on a value, so none is mispredicted. Values
// and spare are both overwritten.
template <typename Before>
double selectRank(double* values, int32_t count, int32_t rank, Before before, double* spare) {
    for (;;) {
        const double a = values[0];
        const double b = values[count / 2];
        const double c = values[count - 1];
        const double pivot = std::max(std::min(a, b), std::min(std::max(a, b), c));
        int32_t front = 0; // values before the pivot, from spare[0] on
        int32_t back = 0;  // values after it, down from spare[count - 1]
        for (int32_t i = 0; i < count; ++i) {
            const double value = values[i];
            spare[front] = value;
            spare[count - 1 - back] = value;
            front += before(value, pivot) ? 1 : 0;
            back += before(pivot, value) ? 1 : 0;
        }
        if (rank >= front && rank < count - back) {
            return pivot; // among the values equal to the pivot
        }
        double* const next = values;
        if (rank < front) {
            values = spare;
            count = front;
        } else {
            rank -= count - back;
            values = spare + (count - back);
            count = back;
        }
        spare = next;
    }
}

// The n samples of the profile from xa intervals on, step intervals apart (linear between the
// points, along the first or last interval beyond the ends), and the straight line fitted to
// them with the first and last weighted one half.
class IrregularitySamples {
public:
    // Takes the samples into samples[0..n), n >= 2. Each position is computed on its own, so
    // that no sample waits on the one before.
    IrregularitySamples(const ProfileView& profile, double xa, double step, int32_t n,
                        double* samples)
        : m_samples(samples), m_count(n), m_middle(0.5 * (n - 1)) {
        // Positions from the middle sample: u = j - middle, counted in whole steps (exact).
        const double middleX = xa + m_middle * step;
        // The positions rise with u: when the first and last lie on the profile, all do.
        const bool inside = middleX - m_middle * step >= 0.0 &&
                            middleX + m_middle * step < static_cast<double>(profile.intervals);
        double sum = 0.0;
        double moment = 0.0;
        if (inside) {
            takeSamples<true>(profile, middleX, step, sum, moment);
        } else {
            takeSamples<false>(profile, middleX, step, sum, moment);
        }
        fitLine(sum, moment);
    }

    // The root mean square of some of the deviations from the line, m (NaN when not a number):
    // a guide to where the deciles lie.
    double spreadM() const {
        constexpr int32_t kEvery = 8;
        double squares = 0.0;
        int32_t taken = 0;
        for (int32_t j = kEvery / 2; j < m_count; j += kEvery, ++taken) {
            const double value = deviation(j);
            squares += value * value;
        }
        return std::sqrt(squares / taken);
    }

    // Gathers the deviations at or above thresholdM into high and those at or below -thresholdM
    // into low, without a branch.
    void gatherBeyond(double thresholdM, double* high, int32_t& highCount, double* low,
                      int32_t& lowCount) const {
        highCount = 0;
        lowCount = 0;
        for (int32_t j = 0; j < m_count; ++j) {
            const double value = deviation(j);
            high[highCount] = value;
            low[lowCount] = value;
            highCount += value >= thresholdM ? 1 : 0;
            lowCount += value <= -thresholdM ? 1 : 0;
        }
    }

    int32_t count() const { return m_count; }

    // Counts the deviations above upperM + halfWidthM and gathers those within halfWidthM of
    // upperM into high; counts those below lowerM - halfWidthM and gathers those within
    // halfWidthM of lowerM into low; without a branch.
    void gatherNear(double upperM, double lowerM, double halfWidthM, double* high,
                    int32_t& highCount, int32_t& above, double* low, int32_t& lowCount,
                    int32_t& below) const {
        std::ptrdiff_t nearUpper = 0;
        std::ptrdiff_t nearLower = 0;
        std::ptrdiff_t beyondUpper = 0;
        std::ptrdiff_t beyondLower = 0;
        double u = -m_middle;
        for (int32_t j = 0; j < m_count; ++j, u += 1.0) {
            const double value = m_samples[j] - (m_meanM + m_slopeM * u);
            high[nearUpper] = value;
            low[nearLower] = value;
            nearUpper += std::fabs(value - upperM) <= halfWidthM ? 1 : 0;
            beyondUpper += value - upperM > halfWidthM ? 1 : 0;
            nearLower += std::fabs(value - lowerM) <= halfWidthM ? 1 : 0;
            beyondLower += lowerM - value > halfWidthM ? 1 : 0;
        }
        highCount = static_cast<int32_t>(nearUpper);
        lowCount = static_cast<int32_t>(nearLower);
        above = static_cast<int32_t>(beyondUpper);
        below = static_cast<int32_t>(beyondLower);
    }

    // Every deviation, into high and into low.
    void gatherAll(double* high, double* low) const {
        for (int32_t j = 0; j < m_count; ++j) {
            high[j] = deviation(j);
            low[j] = high[j];
        }
    }

private:
    // The samples at the positions middleX + u step and the sums over them of s and s u; kInside
    // when every position lies in [0, intervals).
    template <bool kInside>
    void takeSamples(const ProfileView& profile, double middleX, double step, double& sum,
                     double& moment) {
        const double* z = profile.elevM;
        const double lastPoint = profile.intervals;
        double u = -m_middle;
        for (int32_t j = 0; j < m_count; ++j, u += 1.0) {
            const double x = middleX + u * step;
            // The segment from point i to i + 1 that holds x, or the first or last (the first
            // for a position that is not a number).
            const int32_t i = kInside ? static_cast<int32_t>(x)
                                      : minOf(static_cast<int32_t>(maxOf(0.0, minOf(x, lastPoint))),
                                              profile.intervals - 1);
            const double value = z[i] + (z[i + 1] - z[i]) * (x - i);
            m_samples[j] = value;
            sum += value;
            moment += value * u;
        }
    }

    double deviation(int32_t j) const {
        return m_samples[j] - (m_meanM + m_slopeM * (j - m_middle));
    }

    // The line from the plain sums over every sample of s and s u (u = j - middle).
    void fitLine(double sum, double moment) {
        const double first = m_samples[0];
        const double last = m_samples[m_count - 1];
        const double span = m_count - 1;
        m_meanM = (sum - 0.5 * (first + last)) / span;
        m_slopeM = (moment - 0.5 * (last - first) * m_middle) * 12.0 / ((span * span + 2.0) * span);
    }

    double* m_samples;
    int32_t m_count;
    double m_middle;
    double m_meanM = 0.0;
    double m_slopeM = 0.0;
};

// The ka-th largest (upper) and ka-th smallest (lower) deviations of the samples from their
// line, when each lies within a narrow window around the hint's: the deviations in the windows
// are gathered, those beyond them only counted. False when either lies outside.
bool decileBoundsNear(const IrregularitySamples& samples, int32_t ka, const DecileHint& hint,
                      double& upper, double& lower, double* scratch) {
    const int32_t n = samples.count();
    double* const high = scratch;
    double* const low = scratch + n;
    double* const spare = scratch + 2 * n;
    // A twentieth of the last range on either side, and a millimetre.
    const double halfWidthM = kHintWindowShare * (hint.upperM - hint.lowerM) + 1e-3;
    int32_t highCount = 0;
    int32_t lowCount = 0;
    int32_t above = 0;
    int32_t below = 0;
    samples.gatherNear(hint.upperM, hint.lowerM, halfWidthM, high, highCount, above, low, lowCount,
                       below);
    if (!(above < ka && ka <= above + highCount && below < ka && ka <= below + lowCount)) {
        return false;
    }
    upper = selectRank(high, highCount, ka - 1 - above, std::greater<>(), spare);
    lower = selectRank(low, lowCount, ka - 1 - below, std::less<>(), spare);
    return true;
}

// The ka-th largest (upper) and ka-th smallest (lower) deviations of the samples from their
// line. The deviations beyond a threshold on either side are gathered first; when there are at
// least ka of them the value sought is among those few.
void decileBounds(const IrregularitySamples& samples, int32_t ka, double& upper, double& lower,
                  double* scratch) {
    const int32_t n = samples.count();
    double* const high = scratch;
    double* const low = scratch + n;
    double* const spare = scratch + 2 * n;
    int32_t highCount = 0;
    int32_t lowCount = 0;
    const double spreadM = samples.spreadM();
    for (const double share : {kFirstShare, kSecondShare}) {
        samples.gatherBeyond(share * spreadM, high, highCount, low, lowCount);
        if (highCount >= ka && lowCount >= ka) {
            break;
        }
    }
    if (highCount < ka || lowCount < ka) {
        // Too few beyond either threshold (or a spread that is not a number): all of them.
        samples.gatherAll(high, low);
        highCount = n;
        lowCount = n;
    }
    upper = selectRank(high, highCount, ka - 1, std::greater<>(), spare);
    lower = selectRank(low, lowCount, ka - 1, std::less<>(), spare);
}

} // namespace

void findHorizons(const ProfileView& profile, PropRecord& prop) {
    const int32_t np = profile.intervals;
    const double* z = profile.elevM;
    const double txElevM = z[0] + prop.hg[0];
    const double rxElevM = z[np] + prop.hg[1];
    const double halfCurvature = 0.5 * prop.gme;
    const double bulge = halfCurvature * prop.dist;
    const double slope = (rxElevM - txElevM) / prop.dist;
    prop.the[0] = slope - bulge;
    prop.the[1] = -slope - bulge;
    prop.dl[0] = prop.dist;
    prop.dl[1] = prop.dist;
    double fromTxM = 0.0;
    double fromRxM = prop.dist;
    bool txSeesRx = true;
    for (int32_t i = 1; i < np; ++i) {
        fromTxM += profile.spacingM;
        fromRxM -= profile.spacingM;
        double rise = z[i] - (halfCurvature * fromTxM + prop.the[0]) * fromTxM - txElevM;
        if (rise > 0.0) {
            prop.the[0] += rise / fromTxM;
            prop.dl[0] = fromTxM;
            txSeesRx = false;
        }
        if (!txSeesRx) {
            rise = z[i] - (halfCurvature * fromRxM + prop.the[1]) * fromRxM - rxElevM;
            if (rise > 0.0) {
                prop.the[1] += rise / fromRxM;
                prop.dl[1] = fromRxM;
            }
        }
    }
}

void fitProfileLine(const ProfileView& profile, double x1M, double x2M, double& startElevM,
                    double& endElevM) {
    const int32_t np = profile.intervals;
    const double* z = profile.elevM;
    const double xn = np;
    double xa = truncateInto(positiveDifference(x1M / profile.spacingM, 0.0), 0, np);
    double xb = xn - truncateInto(positiveDifference(xn, x2M / profile.spacingM), 0, np);
    if (xb <= xa) {
        xa = positiveDifference(xa, 1.0);
        xb = xn - positiveDifference(xn, xb + 1.0);
    }
    int32_t ja = static_cast<int32_t>(xa);
    const int32_t jb = static_cast<int32_t>(xb);
    const int32_t n = jb - ja;
    const double span = xb - xa;
    double x = -0.5 * span;
    const double middle = xb + x;
    double sum = 0.5 * (z[ja] + z[jb]);
    double moment = 0.5 * (z[ja] - z[jb]) * x;
    if (profile.sumM != nullptr) {
        // The points strictly between the ends, from the running sums.
        if (n >= 2) {
            const long double inner = profile.sumM[jb] - profile.sumM[ja + 1];
            sum += static_cast<double>(inner);
            moment += static_cast<double>(profile.indexMomentM[jb] - profile.indexMomentM[ja + 1] -
                                          middle * inner);
        }
    } else {
        for (int32_t i = 2; i <= n; ++i) {
            ++ja;
            x += 1.0;
            sum += z[ja];
            moment += z[ja] * x;
        }
    }
    const double mean = sum / span;
    const double slope = moment * 12.0 / ((span * span + 2.0) * span);
    startElevM = mean - slope * middle;
    endElevM = mean + slope * (xn - middle);
}

double interdecileRangeM(const ProfileView& profile, double x1M, double x2M) {
    const double xa = x1M / profile.spacingM;
    const double xb = x2M / profile.spacingM;
    if (!(xb - xa >= 2.0)) {
        return 0.0;
    }
    // Resample the range at n equally spaced points; ka of them form each tenth.
    // At most 245 points: kept on the stack, as this runs once per model call.
    const int32_t ka = truncateInto(0.1 * (xb - xa + 8.0), 4, kMaxPerTenth);
    const int32_t n = 10 * ka - 5;
    const double step = (xb - xa) / (n - 1);
    std::array<double, 10 * kMaxPerTenth - 5> resampled;
    const IrregularitySamples samples(profile, xa, step, n, resampled.data());
    // The ka-th largest and the ka-th smallest deviations bound the middle 80 %.
    std::array<double, 3 * (10 * kMaxPerTenth - 5)> scratch;
    double upper = 0.0;
    double lower = 0.0;
    DecileHint* const hint = profile.decileHint;
    if (hint == nullptr || !decileBoundsNear(samples, ka, *hint, upper, lower, scratch.data())) {
        decileBounds(samples, ka, upper, lower, scratch.data());
    }
    if (hint != nullptr) {
        *hint = {upper, lower};
    }
    return (upper - lower) / (1.0 - 0.8 * std::exp(-(x2M - x1M) / 50e3));
}

void analyseProfile(const ProfileView& profile, PropRecord& prop) {
    prop.dist = profile.intervals * profile.spacingM;
    findHorizons(profile, prop);
    analyseTerrain(profile, prop);
}

void analyseTerrain(const ProfileView& profile, PropRecord& prop) {
    const int32_t np = profile.intervals;
    const double* z = profile.elevM;
    // The irregularity is taken between points a little away from each antenna.
    const double x1M = minOf(15.0 * prop.hg[0], 0.1 * prop.dl[0]);
    const double x2M = prop.dist - minOf(15.0 * prop.hg[1], 0.1 * prop.dl[1]);
    prop.dh = interdecileRangeM(profile, x1M, x2M);
    double txGroundM = 0.0;
    double rxGroundM = 0.0;
    if (prop.dl[0] + prop.dl[1] > 1.5 * prop.dist) {
        // Line of sight: one line fitted over the path; horizons from the effective heights.
        fitProfileLine(profile, x1M, x2M, txGroundM, rxGroundM);
        prop.he[0] = prop.hg[0] + positiveDifference(z[0], txGroundM);
        prop.he[1] = prop.hg[1] + positiveDifference(z[np], rxGroundM);
        for (int j = 0; j < 2; ++j) {
            prop.dl[j] = roughHorizonM(prop.he[j], prop.dh, prop.gme);
        }
        const double horizonSumM = prop.dl[0] + prop.dl[1];
        if (horizonSumM <= prop.dist) {
            // Raise the heights until the horizons meet over the path.
            const double ratio = prop.dist / horizonSumM;
            for (int j = 0; j < 2; ++j) {
                prop.he[j] *= ratio * ratio;
                prop.dl[j] = roughHorizonM(prop.he[j], prop.dh, prop.gme);
            }
        }
        for (int j = 0; j < 2; ++j) {
            const double smoothM = std::sqrt(2.0 * prop.he[j] / prop.gme);
            prop.the[j] =
                (0.65 * prop.dh * (smoothM / prop.dl[j] - 1.0) - 2.0 * prop.he[j]) / smoothM;
        }
    } else {
        // Trans-horizon: a line fitted in front of each antenna, up to near its horizon.
        double unused = 0.0;
        fitProfileLine(profile, x1M, 0.9 * prop.dl[0], txGroundM, unused);
        fitProfileLine(profile, prop.dist - 0.9 * prop.dl[1], x2M, unused, rxGroundM);
        prop.he[0] = prop.hg[0] + positiveDifference(z[0], txGroundM);
        prop.he[1] = prop.hg[1] + positiveDifference(z[np], rxGroundM);
    }
}

} // namespace pmverdan
