#include "profile.h"

#include "numeric.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace pmverdan {

namespace {

// Horizon distance over a smooth earth of the given terrain irregularity, m.
double roughHorizonM(double effectiveHeightM, double terrainDhM, double curvature) {
    return std::sqrt(2.0 * effectiveHeightM / curvature) *
           std::exp(-0.07 * std::sqrt(terrainDhM / maxOf(effectiveHeightM, 5.0)));
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
    for (int32_t i = 2; i <= n; ++i) {
        ++ja;
        x += 1.0;
        sum += z[ja];
        moment += z[ja] * x;
    }
    const double mean = sum / span;
    const double slope = moment * 12.0 / ((span * span + 2.0) * span);
    startElevM = mean - slope * middle;
    endElevM = mean + slope * (xn - middle);
}

double interdecileRangeM(const ProfileView& profile, double x1M, double x2M) {
    const int32_t np = profile.intervals;
    const double* z = profile.elevM;
    double xa = x1M / profile.spacingM;
    double xb = x2M / profile.spacingM;
    if (!(xb - xa >= 2.0)) {
        return 0.0;
    }
    // Resample the range at n equally spaced points; ka of them form each tenth.
    // At most 245 points: kept on the stack, as this runs once per model call.
    constexpr int32_t MaxPerTenth = 25;
    const int32_t ka = truncateInto(0.1 * (xb - xa + 8.0), 4, MaxPerTenth);
    const int32_t n = 10 * ka - 5;
    const int32_t kb = n - ka + 1;
    const double sn = n - 1;
    std::array<double, 10 * MaxPerTenth - 5> storage;
    double* const samples = storage.data();
    const double step = (xb - xa) / sn;
    int32_t k = truncateInto(xa + 1.0, 1, np);
    xa -= k;
    for (int32_t j = 0; j < n; ++j) {
        while (xa > 0.0 && k < np) {
            xa -= 1.0;
            ++k;
        }
        samples[j] = z[k] + (z[k] - z[k - 1]) * xa;
        xa += step;
    }
    // Deviations from the samples' own regression line.
    double lineStart = 0.0;
    double lineEnd = 0.0;
    fitProfileLine(ProfileView{n - 1, 1.0, samples}, 0.0, sn, lineStart, lineEnd);
    const double lineStep = (lineEnd - lineStart) / sn;
    double line = lineStart;
    for (int32_t j = 0; j < n; ++j) {
        samples[j] -= line;
        line += lineStep;
    }
    // The ka-th and kb-th largest deviations bound the middle 80 %. After the first
    // selection every deviation ranked below ka lies behind it, so the second (kb > ka)
    // selects among those only.
    double* const upperAt = samples + (ka - 1);
    std::nth_element(samples, upperAt, samples + n, std::greater<>());
    double* const lowerAt = samples + (kb - 1);
    std::nth_element(upperAt + 1, lowerAt, samples + n, std::greater<>());
    const double upper = *upperAt;
    const double lower = *lowerAt;
    return (upper - lower) / (1.0 - 0.8 * std::exp(-(x2M - x1M) / 50e3));
}

void analyseProfile(const ProfileView& profile, PropRecord& prop) {
    const int32_t np = profile.intervals;
    const double* z = profile.elevM;
    prop.dist = np * profile.spacingM;
    findHorizons(profile, prop);
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
