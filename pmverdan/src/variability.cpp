#include "variability.h"

#include "numeric.h"

#include <array>
#include <cmath>

namespace pmverdan {

namespace {

// One curve of the climate tables: two coefficients, dB, and three distances, m.
struct Curve {
    double c1;
    double c2;
    double x1M;
    double x2M;
    double x3M;
};

// The variability curves of one radio climate.
struct Climate {
    Curve median;        // median loss relative to the reference, dB
    Curve spreadBelow;   // time variability for fractions of time above 50 %, dB
    Curve spreadAbove;   // time variability for fractions of time below 50 %, dB
    double ducting;      // ratio of the spread far above the median to spreadAbove
    double breakDeviate; // deviate from which the spread above levels off
    double below[3];     // frequency factor of spreadBelow: f1 + f2 / ((f3 ln(0.133 wn))^2 + 1)
    double above[3];     // frequency factor of spreadAbove, same form
};

// Equatorial, continental subtropical, maritime subtropical, desert, continental temperate,
// maritime temperate over land, maritime temperate over sea.
constexpr std::array<Climate, 7> kClimates = {{
    {{-9.67, 12.7, 144.9e3, 190.3e3, 133.8e3},
     {2.13, 159.5, 762.2e3, 123.6e3, 94.5e3},
     {2.11, 102.3, 636.9e3, 134.8e3, 95.6e3},
     1.224,
     1.282,
     {1.0, 0.0, 0.0},
     {1.0, 0.0, 0.0}},
    {{-0.62, 9.19, 228.9e3, 205.2e3, 143.6e3},
     {2.66, 7.67, 100.4e3, 172.5e3, 136.4e3},
     {6.87, 15.53, 138.7e3, 143.7e3, 98.6e3},
     0.801,
     2.161,
     {1.0, 0.0, 0.0},
     {0.93, 0.31, 2.00}},
    {{1.26, 15.5, 262.6e3, 185.2e3, 99.8e3},
     {6.11, 6.65, 138.2e3, 242.2e3, 178.6e3},
     {10.08, 9.60, 165.3e3, 225.7e3, 129.7e3},
     1.380,
     1.282,
     {1.0, 0.0, 0.0},
     {1.0, 0.0, 0.0}},
    {{-9.21, 9.05, 84.1e3, 101.1e3, 98.6e3},
     {1.98, 13.11, 139.1e3, 132.7e3, 193.5e3},
     {3.68, 159.3, 464.4e3, 93.1e3, 94.2e3},
     1.000,
     20.0,
     {1.0, 0.0, 0.0},
     {0.93, 0.19, 1.79}},
    {{-0.62, 9.19, 228.9e3, 205.2e3, 143.6e3},
     {2.68, 7.16, 93.7e3, 186.8e3, 133.5e3},
     {4.75, 8.12, 93.2e3, 135.9e3, 113.4e3},
     1.224,
     1.282,
     {0.92, 0.25, 1.77},
     {0.93, 0.31, 2.00}},
    {{-0.39, 2.86, 141.7e3, 315.9e3, 167.4e3},
     {6.86, 10.38, 187.8e3, 169.6e3, 108.9e3},
     {8.58, 13.97, 216.0e3, 152.0e3, 122.7e3},
     1.518,
     1.282,
     {1.0, 0.0, 0.0},
     {1.0, 0.0, 0.0}},
    {{3.15, 857.9, 2222.e3, 164.8e3, 116.3e3},
     {8.51, 169.8, 609.8e3, 119.9e3, 106.6e3},
     {8.43, 8.19, 136.2e3, 188.5e3, 122.9e3},
     1.518,
     1.282,
     {1.0, 0.0, 0.0},
     {1.0, 0.0, 0.0}},
}};

constexpr int kDefaultClimate = 5;

// Single message, individual, mobile, broadcast.
enum class Service { SingleMessage = 0, Individual = 1, Mobile = 2, Broadcast = 3 };

// What avar keeps between calls; recomputed by levels as the caller's lvar says.
struct VariabilityState {
    bool computed = false;
    const Climate* climate = nullptr;
    Service service = Service::SingleMessage;
    bool noSituation = false; // the +20 flag
    bool noLocation = false;  // the +10 flag
    double gainBelow = 1.0;
    double gainAbove = 1.0;
    double dexaM = 0.0;
    double effectiveDistM = 0.0;
    double medianDb = 0.0;
    double sigmaBelowDb = 0.0;
    double sigmaAboveDb = 0.0;
    double sigmaDuctDb = 0.0;
    double ductTailDb = 0.0;
    double sigmaLocationDb = 0.0;
    double situationVar0 = 0.0;
};

thread_local VariabilityState tState;

double frequencyFactor(const double (&f)[3], double logWn) {
    const double scaled = f[2] * logWn;
    return f[0] + f[1] / (scaled * scaled + 1.0);
}

void updateState(int32_t level, PropRecord& prop, PropvRecord& propv) {
    VariabilityState& s = tState;
    if (level >= 5) {
        if (propv.klim <= 0 || propv.klim > 7) {
            propv.klim = kDefaultClimate;
            raiseError(prop.kwx, 2);
        }
        s.climate = &kClimates[static_cast<size_t>(propv.klim - 1)];
    }
    if (level >= 4) {
        int32_t mode = propv.mdvar;
        s.noSituation = mode >= 20;
        if (s.noSituation) {
            mode -= 20;
        }
        s.noLocation = mode >= 10;
        if (s.noLocation) {
            mode -= 10;
        }
        if (mode < 0 || mode > 3) {
            mode = 0;
            raiseError(prop.kwx, 2);
        }
        s.service = static_cast<Service>(mode);
    }
    if (level >= 3) {
        const double logWn = std::log(0.133 * prop.wn);
        s.gainBelow = frequencyFactor(s.climate->below, logWn);
        s.gainAbove = frequencyFactor(s.climate->above, logWn);
    }
    if (level >= 2) {
        s.dexaM = std::sqrt(18e6 * prop.he[0]) + std::sqrt(18e6 * prop.he[1]) +
                  std::pow(575.7e12 / prop.wn, 1.0 / 3.0);
    }
    // Effective distance: the path mapped onto the curves' standard geometry.
    if (prop.dist < s.dexaM) {
        s.effectiveDistM = 130e3 * prop.dist / s.dexaM;
    } else {
        s.effectiveDistM = 130e3 + prop.dist - s.dexaM;
    }
    const Climate& c = *s.climate;
    const double de = s.effectiveDistM;
    const auto curveAt = [de](const Curve& k) {
        return climateCurve(k.c1, k.c2, k.x1M, k.x2M, k.x3M, de);
    };
    s.medianDb = curveAt(c.median);
    s.sigmaBelowDb = curveAt(c.spreadBelow) * s.gainBelow;
    s.sigmaAboveDb = curveAt(c.spreadAbove) * s.gainAbove;
    s.sigmaDuctDb = s.sigmaAboveDb * c.ducting;
    s.ductTailDb = (s.sigmaAboveDb - s.sigmaDuctDb) * c.breakDeviate;
    if (s.noLocation) {
        s.sigmaLocationDb = 0.0;
    } else {
        const double q = (1.0 - 0.8 * std::exp(-prop.dist / 50e3)) * prop.dh * prop.wn;
        s.sigmaLocationDb = 10.0 * q / (q + 13.0);
    }
    if (s.noSituation) {
        s.situationVar0 = 0.0;
    } else {
        const double base = 5.0 + 3.0 * std::exp(-de / 100e3);
        s.situationVar0 = base * base;
    }
    s.computed = true;
}

} // namespace

double climateCurve(double c1, double c2, double x1M, double x2M, double x3M, double deM) {
    const double centred = (deM - x2M) / x3M;
    const double rise = (deM / x1M) * (deM / x1M);
    return (c1 + c2 / (1.0 + centred * centred)) * rise / (1.0 + rise);
}

double variabilityLossDb(double timeDeviate, double locationDeviate, double situationDeviate,
                         PropRecord& prop, PropvRecord& propv) {
    // Weights of the time and location spreads in the situation variability.
    constexpr double kTimeWeight = 7.8;
    constexpr double kLocationWeight = 24.0;

    VariabilityState& s = tState;
    const int32_t level = s.computed ? propv.lvar : 5;
    if (level > 0) {
        updateState(level, prop, propv);
        propv.lvar = 0;
    }
    double zt = timeDeviate;
    double zl = locationDeviate;
    const double zc = situationDeviate;
    switch (s.service) {
    case Service::SingleMessage:
        zt = zc;
        zl = zc;
        break;
    case Service::Individual:
        zl = zc;
        break;
    case Service::Mobile:
        zl = zt;
        break;
    case Service::Broadcast:
        break;
    }
    if (std::fabs(zt) > 3.1 || std::fabs(zl) > 3.1 || std::fabs(zc) > 3.1) {
        raiseError(prop.kwx, 1);
    }
    if (!std::isfinite(zt) || !std::isfinite(zl) || !std::isfinite(zc)) {
        raiseError(prop.kwx, 4);
    }
    double sigmaTimeDb = 0.0;
    if (zt < 0.0) {
        sigmaTimeDb = s.sigmaBelowDb;
    } else if (zt <= s.climate->breakDeviate) {
        sigmaTimeDb = s.sigmaAboveDb;
    } else {
        sigmaTimeDb = s.sigmaDuctDb + s.ductTailDb / zt;
    }
    const double st = sigmaTimeDb * zt;
    const double sl = s.sigmaLocationDb * zl;
    const double situationVar =
        s.situationVar0 + st * st / (kTimeWeight + zc * zc) + sl * sl / (kLocationWeight + zc * zc);
    const double sgl = s.sigmaLocationDb;
    double yr = 0.0;
    switch (s.service) {
    case Service::SingleMessage:
        propv.sgc = std::sqrt(sigmaTimeDb * sigmaTimeDb + sgl * sgl + situationVar);
        break;
    case Service::Individual:
        yr = st;
        propv.sgc = std::sqrt(sgl * sgl + situationVar);
        break;
    case Service::Mobile:
        yr = std::sqrt(sigmaTimeDb * sigmaTimeDb + sgl * sgl) * zt;
        propv.sgc = std::sqrt(situationVar);
        break;
    case Service::Broadcast:
        yr = st + sl;
        propv.sgc = std::sqrt(situationVar);
        break;
    }
    double lossDb = prop.aref - s.medianDb - yr - propv.sgc * zc;
    if (lossDb < 0.0) {
        // A loss below free space is compressed: far below 0 it grows a tenth as fast.
        lossDb = lossDb * (29.0 - lossDb) / (29.0 - 10.0 * lossDb);
    }
    return lossDb;
}

} // namespace pmverdan
