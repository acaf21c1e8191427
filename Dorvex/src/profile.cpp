#include "profile.h"

#include "geodesy.h"
#include "globe.h"
#include "state.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace dorvex {

namespace {
constexpr float kGlobeErrorBelowM = -500.0f;
} // namespace

int NGET_GLOBE_PFL(float lat1Deg, float lon1Deg, float lat2Deg, float lon2Deg, int points,
                   float* profile, int pathLength, const char* path) {
    if (points < 2) {
        return 0;
    }
    const float e1 = GLOBE_ELEVATION(lon1Deg, lat1Deg, pathLength, path);
    if (e1 < kGlobeErrorBelowM) {
        return static_cast<int>(std::lround(e1));
    }
    const float e2 = GLOBE_ELEVATION(lon2Deg, lat2Deg, pathLength, path);
    if (e2 < kGlobeErrorBelowM) {
        return static_cast<int>(std::lround(e2));
    }
    DazelBlock& block = state().dazel;
    block.lat1 = lat1Deg;
    block.lon1 = lon1Deg;
    block.elev1 = e1;
    block.lat2 = lat2Deg;
    block.lon2 = lon2Deg;
    block.elev2 = e2;
    DAZEL(0, block);

    const double spacingKm = double{block.distKm} / (points - 1);
    profile[0] = static_cast<float>(points);
    profile[1] = static_cast<float>(spacingKm * 1000.0);
    profile[2] = e1;
    profile[points + 1] = e2;
    for (int i = 2; i <= points - 1; ++i) {
        block.distKm = static_cast<float>((i - 1) * spacingKm);
        DAZEL(1, block);
        const float e = GLOBE_ELEVATION(block.lon2, block.lat2, pathLength, path);
        if (e < kGlobeErrorBelowM) {
            return static_cast<int>(std::lround(e));
        }
        profile[i + 1] = e;
    }
    return 1;
}

void PRFILE(float lat1, float lon1, float lat2, float lon2, float spacingM, float a, float f,
            int datum, char name[kQuarnNameWidth], int sampleRule, const char option[4],
            float fillM, int maxPoints, float* distancesM, float* elevationsM, int& pointsOut,
            int& status, int& errorNumber) {
    status = 0;
    // The geodesic routines take longitudes positive west; the reader takes them east.
    const float west1 = -lon1;
    const float west2 = -lon2;
    float az12 = 0.0f;
    float az21 = 0.0f;
    float s = 0.0f;
    NGSINV(a, f, lat1, west1, lat2, west2, az12, az21, s);

    const float ratio = spacingM > 0.0f ? s / spacingM : 0.0f;
    int n = std::isfinite(ratio) && ratio < 1.0e6f ? static_cast<int>(ratio) + 1 : 1;
    n = std::min(std::max(n, 3), maxPoints);
    pointsOut = std::max(n, 0);
    const float step = n > 1 ? s / static_cast<float>(n - 1) : 0.0f;
    const bool fillMissing = std::memcmp(option, "D   ", 4) == 0;

    QuarnNameList names;
    int spacingSec = 0;
    for (int i = 1; i <= n; ++i) {
        float lat = lat1;
        float west = west1;
        float dist = 0.0f;
        if (i > 1 && i == n) {
            lat = lat2;
            west = west2;
            dist = s;
        } else if (i > 1) {
            dist = static_cast<float>(i - 1) * step;
            float back = 0.0f;
            NGSFOR(a, f, lat1, west1, az12, dist, lat, west, back);
        }
        distancesM[i - 1] = dist;
        int error = 0;
        TOPGET(lat, -west, "R   ", sampleRule, name, names, spacingSec, datum, error,
               elevationsM[i - 1]);
        errorNumber = error;
        if (error != 0) {
            if (fillMissing && (error == 10 || error == 11 || error == 13)) {
                elevationsM[i - 1] = fillM;
            } else {
                status = -1;
                return;
            }
        }
    }
}

} // namespace dorvex
