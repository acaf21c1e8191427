#include "preparation.h"

#include "numeric.h"

#include <cmath>
#include <complex>

namespace pmverdan {

namespace {

// Effective height of an antenna sited with care: the height above ground plus the benefit
// a careful choice of site gives on irregular terrain, m.
double sitedHeightM(double heightM, int32_t siting, double terrainDhM) {
    if (siting <= 0) {
        return heightM;
    }
    double benefit = siting == 1 ? 4.0 : 9.0;
    if (heightM < 5.0) {
        benefit *= std::sin(0.3141593 * heightM);
    }
    return heightM +
           (1.0 + benefit) * std::exp(-minOf(20.0, 2.0 * heightM / maxOf(1e-3, terrainDhM)));
}

} // namespace

void prepareSystem(double freqMhz, double systemElevationM, double refractivityN,
                   int32_t polarization, double permittivity, double conductivitySpm,
                   PropRecord& prop) {
    // A ground needs a permittivity above that of free space and a conductivity that is
    // not negative.
    const bool usable = std::isfinite(freqMhz) && freqMhz > 0.0 &&
                        std::isfinite(systemElevationM) && std::isfinite(refractivityN) &&
                        std::isfinite(permittivity) && permittivity > 1.0 &&
                        std::isfinite(conductivitySpm) && conductivitySpm >= 0.0;
    if (!usable) {
        raiseError(prop.kwx, 4);
    }
    prop.wn = freqMhz / 47.7;
    prop.ens = refractivityN;
    if (systemElevationM != 0.0) {
        prop.ens *= std::exp(-systemElevationM / 9460.0);
    }
    prop.gme = kEarthCurvature * (1.0 - 0.04665 * std::exp(prop.ens / 179.3));
    const double lossTerm = prop.wn > 0.0 ? 376.62 * conductivitySpm / prop.wn : 0.0;
    const std::complex<double> relative(permittivity, lossTerm);
    std::complex<double> impedance = std::sqrt(relative - 1.0);
    if (polarization != 0) {
        impedance /= relative;
    }
    prop.zgndreal = impedance.real();
    prop.zgndimag = impedance.imag();
    if (!std::isfinite(prop.zgndreal) || !std::isfinite(prop.zgndimag) ||
        !std::isfinite(prop.gme)) {
        raiseError(prop.kwx, 4);
    }
}

void setVariabilityInputs(int32_t climate, int32_t variabilityMode, PropvRecord& propv) {
    propv.lvar = maxOf(propv.lvar, 3);
    if (variabilityMode >= 0) {
        propv.mdvar = variabilityMode;
        propv.lvar = maxOf(propv.lvar, 4);
    }
    if (climate > 0) {
        propv.klim = climate;
        propv.lvar = 5;
    }
}

void prepareArea(const int32_t siting[2], int32_t climate, int32_t variabilityMode,
                 PropRecord& prop, PropvRecord& propv) {
    for (int j = 0; j < 2; ++j) {
        prop.he[j] = sitedHeightM(prop.hg[j], siting[j], prop.dh);
        const double smoothHorizonM = std::sqrt(2.0 * prop.he[j] / prop.gme);
        prop.dl[j] = smoothHorizonM * std::exp(-0.07 * std::sqrt(prop.dh / maxOf(prop.he[j], 5.0)));
        prop.the[j] = (0.65 * prop.dh * (smoothHorizonM / prop.dl[j] - 1.0) - 2.0 * prop.he[j]) /
                      smoothHorizonM;
    }
    prop.mdp = 1;
    setVariabilityInputs(climate, variabilityMode, propv);
}

} // namespace pmverdan
