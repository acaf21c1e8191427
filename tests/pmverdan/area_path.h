// An area-mode path through the model's internals, for the tests of its parts.
#pragma once

#include "attenuation.h"
#include "normal_deviate.h"
#include "preparation.h"
#include "variability.h"

namespace pmverdan {

struct AreaPath {
    alignas(8) PropRecord prop{};
    alignas(8) PropvRecord propv{};
    alignas(8) PropaRecord propa{};

    AreaPath(double freqMhz, double hTxM, double hRxM, double dhM, int32_t climate = 5,
             int32_t mode = 1) {
        prepareSystem(freqMhz, 0.0, 301.0, 1, 15.0, 0.005, prop);
        prop.hg[0] = hTxM;
        prop.hg[1] = hRxM;
        prop.dh = dhM;
        const int32_t siting[2] = {0, 0};
        prepareArea(siting, climate, mode, prop, propv);
    }

    double arefAt(double distM) {
        computeReferenceAttenuation(distM, prop, propa);
        return prop.aref;
    }

    // The variability loss at the time, location and confidence percentages.
    double lossAt(double timePct, double locationPct, double confidencePct) {
        return variabilityLossDb(inverseComplementaryNormal(timePct / 100.0),
                                 inverseComplementaryNormal(locationPct / 100.0),
                                 inverseComplementaryNormal(confidencePct / 100.0), prop, propv);
    }
};

} // namespace pmverdan
