#include "normal_deviate.h"

#include <cmath>

namespace pmverdan {

double inverseComplementaryNormal(double q) {
    constexpr double c0 = 2.515516698;
    constexpr double c1 = 0.802853;
    constexpr double c2 = 0.010328;
    constexpr double d1 = 1.432788;
    constexpr double d2 = 0.189269;
    constexpr double d3 = 0.001308;
    if (std::isnan(q)) {
        return q;
    }
    const double offset = 0.5 - q;
    double tail = 0.5 - std::fabs(offset);
    if (!(tail > 0.000001)) {
        tail = 0.000001;
    }
    const double t = std::sqrt(-2.0 * std::log(tail));
    const double deviate = t - ((c2 * t + c1) * t + c0) / (((d3 * t + d2) * t + d1) * t + 1.0);
    return offset < 0.0 ? -deviate : deviate;
}

} // namespace pmverdan
