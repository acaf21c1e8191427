#include "attenuation_functions.h"

#include <array>
#include <cmath>

namespace pmverdan {

double knifeEdgeLossDb(double v2) {
    if (v2 < 5.76) {
        return 6.02 + 9.11 * std::sqrt(v2) - 1.27 * v2;
    }
    return 12.953 + 4.343 * std::log(v2);
}

double heightGainDb(double x, double pk) {
    if (x < 200.0) {
        const double w = -std::log(pk);
        if (pk < 1e-5 || x * w * w * w > 5495.0) {
            return x > 1.0 ? 17.372 * std::log(x) - 117.0 : -117.0;
        }
        return 2.5e-5 * x * x / pk - 8.686 * w - 15.0;
    }
    double gain = 0.05751 * x - 4.343 * std::log(x);
    if (x < 2000.0) {
        // Blend towards the asymptote for large heights.
        const double w = 0.0134 * x * std::exp(-0.005 * x);
        gain = (1.0 - w) * gain + w * (17.372 * std::log(x) - 117.0);
    }
    return gain;
}

double scatterFrequencyGainDb(double r, double eta) {
    // Coefficients of the gain curves for the integer values 1..5 of eta.
    constexpr std::array<double, 5> a = {25.0, 80.0, 177.0, 395.0, 705.0};
    constexpr std::array<double, 5> b = {24.0, 45.0, 68.0, 80.0, 105.0};
    int curve = 1;
    double fraction = 0.0;
    if (eta >= 5.0) {
        curve = 5;
    } else if (eta >= 1.0) {
        curve = static_cast<int>(eta);
        fraction = eta - curve;
    }
    const double x = (1.0 / r) * (1.0 / r);
    const auto gainOf = [x, &a, &b](int k) {
        return 4.343 * std::log((a[k - 1] * x + b[k - 1]) * x + 1.0);
    };
    double gain = gainOf(curve);
    if (fraction != 0.0) {
        gain = (1.0 - fraction) * gain + fraction * gainOf(curve + 1);
    }
    return gain;
}

double scatterAngleDistanceDb(double thetaDistM) {
    constexpr std::array<double, 3> a = {133.4, 104.6, 71.8};
    constexpr std::array<double, 3> b = {0.332e-3, 0.212e-3, 0.157e-3};
    constexpr std::array<double, 3> c = {-4.343, -1.086, 2.171};
    int range = 2;
    if (thetaDistM <= 10e3) {
        range = 0;
    } else if (thetaDistM <= 70e3) {
        range = 1;
    }
    return a[range] + b[range] * thetaDistM + c[range] * std::log(thetaDistM);
}

} // namespace pmverdan
