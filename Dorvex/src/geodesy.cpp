#include "geodesy.h"

#include <cmath>

namespace dorvex {

namespace {

constexpr double kDegPerRad = 57.29577951;
constexpr double kRadPerDeg = 0.01745329252;
constexpr float kLatLimitDeg = 89.99f;
constexpr double kMeridianDeg = 1e-5;

constexpr float kTolerance = 5.0e-7f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kPi = 3.1415927f;
constexpr float kCoincidentRad = 1e-7f;

double sinSquared(double angle) {
    const double s = std::sin(angle);
    return s * s;
}

double clampUnit(double value) {
    return std::fmax(-1.0, std::fmin(1.0, value));
}

void dazelInverse(DazelBlock& block) {
    if (std::fabs(block.lat1) >= 90.0f) {
        block.lat1 = std::copysign(kLatLimitDeg, block.lat1);
    }
    if (std::fabs(block.lat2) >= 90.0f) {
        block.lat2 = std::copysign(kLatLimitDeg, block.lat2);
    }
    const double lonDiff = std::remainder(double{block.lon2} - double{block.lon1}, 360.0);
    const double latDiff = double{block.lat2} - double{block.lat1};
    double centralRad = 0.0;
    if (std::fabs(lonDiff) <= kMeridianDeg) {
        if (std::fabs(latDiff) <= kMeridianDeg) {
            block.az12 = 0.0f;
            block.az21 = 0.0f;
            block.distKm = 0.0f;
            return;
        }
        const bool north = block.lat2 > block.lat1;
        block.az12 = north ? 0.0f : 180.0f;
        block.az21 = north ? 180.0f : 0.0f;
        centralRad = std::fabs(latDiff) * kRadPerDeg;
    } else {
        const bool firstIsWest = lonDiff > 0.0;
        const double latW = (firstIsWest ? block.lat1 : block.lat2) * kRadPerDeg;
        const double latE = (firstIsWest ? block.lat2 : block.lat1) * kRadPerDeg;
        const double d = std::fabs(lonDiff) * kRadPerDeg;
        const double dLat = std::fabs(latDiff) * kRadPerDeg;
        const double h =
            2.0 * (sinSquared(dLat / 2.0) + sinSquared(d / 2.0) * std::cos(latW) * std::cos(latE));
        const double sinC = std::sqrt(std::fmax(0.0, h * (2.0 - h)));
        centralRad = std::atan2(sinC, 1.0 - h);
        const double half = sinSquared(d / 2.0);
        const double azWest =
            std::atan2(std::cos(latE) * std::sin(d),
                       std::sin(latE - latW) + 2.0 * std::sin(latW) * std::cos(latE) * half) *
            kDegPerRad;
        const double azEast = 360.0 - std::atan2(std::cos(latW) * std::sin(d),
                                                 2.0 * std::sin(latE) * std::cos(latW) * half -
                                                     std::sin(latE - latW)) *
                                          kDegPerRad;
        block.az12 = static_cast<float>(firstIsWest ? azWest : azEast);
        block.az21 = static_cast<float>(firstIsWest ? azEast : azWest);
    }
    block.distKm = static_cast<float>(kDazelEarthRadiusKm * centralRad);
}

// The longitude difference comes from the angle at the pole of the triangle pole, point 1,
// point 2: cos(dlon) = (cos c - cos(colat1) cos(colat2)) / (sin(colat1) sin(colat2)).
void dazelDirect(DazelBlock& block) {
    const double c = double{block.distKm} / kDazelEarthRadiusKm;
    if (c == 0.0) {
        block.lat2 = block.lat1;
        block.lon2 = block.lon1;
        return;
    }
    const double colat1 = (90.0 - double{block.lat1}) * kRadPerDeg;
    const double az = double{block.az12} * kRadPerDeg;
    const double cosColat2 =
        clampUnit(std::cos(az) * std::sin(colat1) * std::sin(c) + std::cos(colat1) * std::cos(c));
    const double colat2 = std::acos(cosColat2);
    const double denominator = std::sin(colat1) * std::sin(colat2);
    double lonDiffDeg = 0.0;
    if (denominator > 0.0) {
        lonDiffDeg =
            std::acos(clampUnit((std::cos(c) - std::cos(colat1) * cosColat2) / denominator)) *
            kDegPerRad;
    }
    block.lat2 = static_cast<float>(90.0 - colat2 * kDegPerRad);
    block.lon2 = static_cast<float>(block.az12 <= 180.0f ? block.lon1 + lonDiffDeg
                                                         : block.lon1 - lonDiffDeg);
}

} // namespace

void DAZEL(int mode, DazelBlock& block) {
    if (mode == 0) {
        dazelInverse(block);
    } else {
        dazelDirect(block);
    }
}

void NGSINV(float a, float f, float lat1, float lon1, float lat2, float lon2, float& az12,
            float& az21, float& s) {
    if (std::fabs(lat1 - lat2) <= kCoincidentRad && std::fabs(lon1 - lon2) <= kCoincidentRad) {
        az12 = 0.0f;
        az21 = 0.0f;
        s = 0.0f;
        return;
    }
    const float r = 1.0f - f;
    float tu1 = r * std::sin(lat1) / std::cos(lat1);
    float tu2 = r * std::sin(lat2) / std::cos(lat2);
    const float cu1 = 1.0f / std::sqrt(tu1 * tu1 + 1.0f);
    const float su1 = cu1 * tu1;
    const float cu2 = 1.0f / std::sqrt(tu2 * tu2 + 1.0f);
    const float cu1cu2 = cu1 * cu2;
    float baz = cu1cu2 * tu2;
    float faz = baz * tu1;
    float x = lon2 - lon1;

    float sx = 0, cx = 0, sy = 0, cy = 0, y = 0, c2a = 0, cz = 0, e = 0;
    for (int round = 0; round < kVincentyMaxRounds; ++round) {
        sx = std::sin(x);
        cx = std::cos(x);
        tu1 = cu2 * sx;
        tu2 = baz - su1 * cu2 * cx;
        sy = std::sqrt(tu1 * tu1 + tu2 * tu2);
        cy = cu1cu2 * cx + faz;
        y = std::atan2(sy, cy);
        const float sa = sy > 0.0f ? cu1cu2 * sx / sy : 0.0f;
        c2a = 1.0f - sa * sa;
        cz = faz + faz;
        if (c2a > 0.0f) {
            cz = cy - cz / c2a;
        }
        e = cz * cz * 2.0f - 1.0f;
        const float c = ((-3.0f * c2a + 4.0f) * f + 4.0f) * c2a * f / 16.0f;
        const float previous = x;
        x = ((e * cy * c + cz) * sy * c + y) * sa;
        x = (1.0f - c) * x * f + lon2 - lon1;
        if (!(std::fabs(previous - x) > kTolerance)) {
            break;
        }
    }

    az12 = std::atan2(tu1, tu2);
    az21 = std::atan2(cu1 * sx, baz * cx - su1 * cu2) + kPi;
    if (az12 < 0.0f) {
        az12 += kTwoPi;
    }
    if (az21 < 0.0f) {
        az21 += kTwoPi;
    }

    // Helmert's expansion of the arc length.
    float t = std::sqrt((1.0f / r / r - 1.0f) * c2a + 1.0f) + 1.0f;
    t = (t - 2.0f) / t;
    const float c = (t * t / 4.0f + 1.0f) / (1.0f - t);
    const float d = (0.375f * t * t - 1.0f) * t;
    const float ecy = e * cy;
    const float series = 1.0f - e - e;
    s = ((((sy * sy * 4.0f - 3.0f) * series * cz * d / 6.0f - ecy) * d / 4.0f + cz) * sy * d + y) *
        c * a * r;
}

void NGSFOR(float a, float f, float lat1, float lon1, float az12, float s, float& lat2, float& lon2,
            float& az21) {
    const float r = 1.0f - f;
    float tu = r * std::sin(lat1) / std::cos(lat1);
    const float sf = std::sin(az12);
    const float cf = std::cos(az12);
    float baz = 0.0f;
    if (cf != 0.0f) {
        baz = std::atan2(tu, cf) * 2.0f;
    }
    const float cu = 1.0f / std::sqrt(tu * tu + 1.0f);
    const float su = tu * cu;
    const float sa = cu * sf;
    const float c2a = 1.0f - sa * sa;
    float x = std::sqrt((1.0f / r / r - 1.0f) * c2a + 1.0f) + 1.0f;
    x = (x - 2.0f) / x;
    float c = (x * x / 4.0f + 1.0f) / (1.0f - x);
    const float d = (0.375f * x * x - 1.0f) * x;
    tu = s / r / a / c;
    float y = tu;

    float sy = 0, cy = 0, cz = 0, e = 0;
    for (int round = 0; round < kVincentyMaxRounds; ++round) {
        sy = std::sin(y);
        cy = std::cos(y);
        cz = std::cos(baz + y);
        e = cz * cz * 2.0f - 1.0f;
        const float previous = y;
        const float ecy = e * cy;
        const float series = e + e - 1.0f;
        y = (((sy * sy * 4.0f - 3.0f) * series * cz * d / 6.0f + ecy) * d / 4.0f - cz) * sy * d +
            tu;
        if (!(std::fabs(y - previous) > kTolerance)) {
            break;
        }
    }

    baz = cu * cy * cf - su * sy;
    c = r * std::sqrt(sa * sa + baz * baz);
    const float dd = su * cy + cu * sy * cf;
    lat2 = std::atan2(dd, c);
    c = cu * cy - su * sy * cf;
    x = std::atan2(sy * sf, c);
    c = ((-3.0f * c2a + 4.0f) * f + 4.0f) * c2a * f / 16.0f;
    const float dl = ((e * cy * c + cz) * sy * c + y) * sa;
    lon2 = lon1 + x - (1.0f - c) * dl * f;
    if (lon2 > kPi) {
        lon2 -= kTwoPi;
    }
    if (lon2 <= -kPi) {
        lon2 += kTwoPi;
    }
    az21 = std::atan2(sa, baz) + kPi;
    if (az21 < 0.0f) {
        az21 += kTwoPi;
    }
}

} // namespace dorvex
