// The library's C entry points: they check what they are handed and pass it on to the model.
#include "pmverdan.h"

#include "attenuation.h"
#include "normal_deviate.h"
#include "numeric.h"
#include "preparation.h"
#include "profile.h"
#include "radial.h"
#include "variability.h"

#include <cmath>
#include <limits>
#include <new>

namespace {

using pmverdan::raiseError;

// Reads the profile's header and checks its values. Returns false when the profile cannot be
// used; reads no elevation before the number of intervals has been accepted.
bool readProfile(const double* pfl, pmverdan::ProfileView& view, int32_t& kwx) {
    const double count = pfl[0];
    const double spacingM = pfl[1];
    if (!(count >= 1.0 && count <= pmverdan::kMaxProfileIntervals)) {
        return false;
    }
    view.intervals = static_cast<int32_t>(count);
    if (view.intervals != count) {
        // A fractional count: the whole intervals are used.
        raiseError(kwx, 2);
    }
    if (!(spacingM > 0.0) || !std::isfinite(spacingM)) {
        return false;
    }
    view.spacingM = spacingM;
    view.elevM = pfl + 2;
    for (int32_t i = 0; i <= view.intervals; ++i) {
        if (!std::isfinite(view.elevM[i])) {
            return false;
        }
    }
    return true;
}

// The state a point-to-point preparation leaves when the profile cannot be used.
void markUnusablePath(PropRecord& prop) {
    raiseError(prop.kwx, 4);
    prop.dist = 0.0;
    prop.dh = 0.0;
    prop.aref = 0.0;
    for (int j = 0; j < 2; ++j) {
        prop.he[j] = prop.hg[j];
        prop.dl[j] = 0.0;
        prop.the[j] = 0.0;
    }
}

// A result that is not a finite number comes from inputs out of every range: kwx 4.
void reportNonFinite(double resultDb, PropRecord& prop) {
    if (!std::isfinite(resultDb)) {
        raiseError(prop.kwx, 4);
    }
}

// The model's work over an analysed path: the reference attenuation in point-to-point mode.
void attenuateAnalysedPath(PropRecord& prop, PropaRecord& propa) {
    pmverdan::computeReferenceAttenuation(0.0, prop, propa);
    reportNonFinite(prop.aref, prop);
}

} // namespace

struct PmvRadial {
    pmverdan::RadialProfile profile;
};

extern "C" {

PMVERDAN_API void qlrps(double fmhz, double zsys, double en0, int32_t ipol, double eps, double sgm,
                        PropRecord* prop) {
    if (prop == nullptr) {
        return;
    }
    pmverdan::prepareSystem(fmhz, zsys, en0, ipol, eps, sgm, *prop);
}

PMVERDAN_API void qlra(int32_t kst[2], int32_t klimx, int32_t mdvarx, PropRecord* prop,
                       PropvRecord* propv) {
    if (kst == nullptr || prop == nullptr || propv == nullptr) {
        return;
    }
    pmverdan::prepareArea(kst, klimx, mdvarx, *prop, *propv);
}

PMVERDAN_API void lrprop(double d, PropRecord* prop, PropaRecord* propa) {
    if (prop == nullptr || propa == nullptr) {
        return;
    }
    pmverdan::computeReferenceAttenuation(d, *prop, *propa);
    reportNonFinite(prop->aref, *prop);
}

PMVERDAN_API double avar(double zzt, double zzl, double zzc, PropRecord* prop, PropvRecord* propv) {
    if (prop == nullptr || propv == nullptr) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const double lossDb = pmverdan::variabilityLossDb(zzt, zzl, zzc, *prop, *propv);
    reportNonFinite(lossDb, *prop);
    return lossDb;
}

PMVERDAN_API double qerfi(double q) {
    return pmverdan::inverseComplementaryNormal(q);
}

PMVERDAN_API void qlrpfl(double* pfl, int32_t klimx, int32_t mdvarx, PropRecord* prop,
                         PropaRecord* propa, PropvRecord* propv) {
    if (pfl == nullptr || prop == nullptr || propa == nullptr || propv == nullptr) {
        return;
    }
    prop->mdp = -1;
    pmverdan::setVariabilityInputs(klimx, mdvarx, *propv);
    pmverdan::ProfileView profile{};
    if (!readProfile(pfl, profile, prop->kwx)) {
        markUnusablePath(*prop);
        return;
    }
    pmverdan::analyseProfile(profile, *prop);
    attenuateAnalysedPath(*prop, *propa);
}

PMVERDAN_API PmvRadial* pmv_radial_open(const double* pfl) {
    if (pfl == nullptr) {
        return nullptr;
    }
    pmverdan::ProfileView profile{};
    int32_t kwx = 0;
    if (!readProfile(pfl, profile, kwx)) {
        return nullptr;
    }
    try {
        return new PmvRadial{pmverdan::RadialProfile(profile)};
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

PMVERDAN_API void pmv_radial_close(PmvRadial* radial) {
    delete radial;
}

PMVERDAN_API double pmv_radial_mean_elevation(const PmvRadial* radial, int32_t first,
                                              int32_t last) {
    if (radial == nullptr || first < 0 || last < first || last > radial->profile.intervals()) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return radial->profile.meanElevationM(first, last);
}

PMVERDAN_API void pmv_radial_qlrpfl(PmvRadial* radial, int32_t intervals, int32_t klimx,
                                    int32_t mdvarx, PropRecord* prop, PropaRecord* propa,
                                    PropvRecord* propv) {
    if (radial == nullptr || prop == nullptr || propa == nullptr || propv == nullptr) {
        return;
    }
    prop->mdp = -1;
    pmverdan::setVariabilityInputs(klimx, mdvarx, *propv);
    if (intervals < 1 || intervals > radial->profile.intervals()) {
        markUnusablePath(*prop);
        return;
    }
    radial->profile.analyse(intervals, *prop);
    attenuateAnalysedPath(*prop, *propa);
}

} // extern "C"
