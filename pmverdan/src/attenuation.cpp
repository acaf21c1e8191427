#include "attenuation.h"

#include "attenuation_functions.h"
#include "numeric.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace pmverdan {

namespace {

constexpr double kThird = 1.0 / 3.0;

std::complex<double> groundImpedance(const PropRecord& prop) {
    return {prop.zgndreal, prop.zgndimag};
}

// Constants of the diffraction attenuation that depend only on the path.
void prepareDiffraction(const PropRecord& prop, PropaRecord& propa) {
    double heightProduct = prop.hg[0] * prop.hg[1];
    const double excess = prop.he[0] * prop.he[1] - heightProduct;
    if (prop.mdp < 0) {
        heightProduct += 10.0;
    }
    propa.diffWeightBase = std::sqrt(1.0 + excess / heightProduct);
    propa.diffWeightDist = propa.dla + propa.tha / prop.gme;
    // Clutter near the antennas: the terrain roughness over the smooth-earth horizon distance.
    double roughness = (1.0 - 0.8 * std::exp(-propa.dlsa / 50e3)) * prop.dh;
    roughness *= 0.78 * std::exp(-std::pow(roughness / 16.0, 0.25));
    propa.diffClutterDb = minOf(
        15.0, 2.171 * std::log(1.0 + 4.77e-4 * prop.hg[0] * prop.hg[1] * prop.wn * roughness));
    propa.diffGroundK = 1.0 / std::abs(groundImpedance(prop));
    propa.diffHeightDb = 20.0;
    propa.diffHeightX = 0.0;
    for (int j = 0; j < 2; ++j) {
        const double radius = 0.5 * prop.dl[j] * prop.dl[j] / prop.he[j];
        const double scale = std::pow(radius * prop.wn, kThird);
        const double pk = propa.diffGroundK / scale;
        const double x = (1.607 - pk) * 151.0 * scale * prop.dl[j] / radius;
        propa.diffHeightX += x;
        propa.diffHeightDb += heightGainDb(x, pk);
    }
}

// Constant of the line-of-sight attenuation: the weight of the two-ray term against the
// extrapolated diffraction line.
void prepareLineOfSight(const PropRecord& prop, PropaRecord& propa) {
    propa.losRoughWeight = 0.021 / (0.021 + prop.wn * prop.dh / maxOf(10e3, propa.dlsa));
}

// Constants of the scatter attenuation.
void prepareScatter(const PropRecord& prop, PropaRecord& propa) {
    propa.scatDiffM = prop.dl[0] - prop.dl[1];
    propa.scatHeightRatio = prop.he[1] / prop.he[0];
    if (propa.scatDiffM < 0.0) {
        propa.scatDiffM = -propa.scatDiffM;
        propa.scatHeightRatio = 1.0 / propa.scatHeightRatio;
    }
    propa.scatEtaBase = (5.67e-6 * prop.ens - 2.32e-3) * prop.ens + 0.031;
    propa.scatLastH0 = -15.0;
}

// Checks the path's inputs against the model's ranges.
void checkRanges(PropRecord& prop, const PropaRecord& propa) {
    if (prop.wn < 0.838 || prop.wn > 210.0) {
        raiseError(prop.kwx, 1);
    }
    for (int j = 0; j < 2; ++j) {
        if (prop.hg[j] < 1.0 || prop.hg[j] > 1000.0) {
            raiseError(prop.kwx, 1);
        }
    }
    for (int j = 0; j < 2; ++j) {
        if (std::fabs(prop.the[j]) > 200e-3 || prop.dl[j] < 0.1 * propa.dls[j] ||
            prop.dl[j] > 3.0 * propa.dls[j]) {
            raiseError(prop.kwx, 3);
        }
    }
    const std::complex<double> impedance = groundImpedance(prop);
    if (prop.ens < 250.0 || prop.ens > 400.0 || prop.gme < 75e-9 || prop.gme > 250e-9 ||
        impedance.real() <= std::fabs(impedance.imag()) || prop.wn < 0.419 || prop.wn > 420.0) {
        raiseError(prop.kwx, 4);
    }
    for (int j = 0; j < 2; ++j) {
        if (prop.hg[j] < 0.5 || prop.hg[j] > 3000.0) {
            raiseError(prop.kwx, 4);
        }
    }
    const double inputs[] = {prop.wn,       prop.dh,    prop.ens,    prop.gme,   prop.zgndreal,
                             prop.zgndimag, prop.hg[0], prop.hg[1],  prop.he[0], prop.he[1],
                             prop.dl[0],    prop.dl[1], prop.the[0], prop.the[1]};
    if (!std::all_of(std::begin(inputs), std::end(inputs),
                     [](double v) { return std::isfinite(v); })) {
        raiseError(prop.kwx, 4);
    }
}

// Everything that depends on the path but not on the distance: horizon sums, range checks,
// and the straight line fitted to diffraction just beyond the horizons.
void preparePath(PropRecord& prop, PropaRecord& propa) {
    for (int j = 0; j < 2; ++j) {
        propa.dls[j] = std::sqrt(2.0 * prop.he[j] / prop.gme);
    }
    propa.dlsa = propa.dls[0] + propa.dls[1];
    propa.dla = prop.dl[0] + prop.dl[1];
    propa.tha = maxOf(prop.the[0] + prop.the[1], -propa.dla * prop.gme);
    propa.losReady = 0;
    propa.scatterReady = 0;
    checkRanges(prop, propa);
    propa.minDistM = std::fabs(prop.he[0] - prop.he[1]) / 200e-3;
    prepareDiffraction(prop, propa);
    propa.scaleLengthM = std::pow(prop.wn * prop.gme * prop.gme, -kThird);
    const double d3 = maxOf(propa.dlsa, 1.3787 * propa.scaleLengthM + propa.dla);
    const double d4 = d3 + 2.7574 * propa.scaleLengthM;
    const double a3 = diffractionLossDb(d3, prop, propa);
    const double a4 = diffractionLossDb(d4, prop, propa);
    propa.emd = (a4 - a3) / (d4 - d3);
    propa.aed = a3 - propa.emd * d3;
}

// Coefficients of ael + ak1 d + ak2 ln d, fitted to the line-of-sight attenuation at up to
// three distances and joined to the diffraction line at the smooth-earth horizon distance.
void fitLineOfSight(const PropRecord& prop, PropaRecord& propa) {
    prepareLineOfSight(prop, propa);
    const double d2 = propa.dlsa;
    const double a2 = propa.aed + d2 * propa.emd;
    double d0 = 1.908 * prop.wn * prop.he[0] * prop.he[1];
    double d1 = 0.0;
    if (propa.aed >= 0.0) {
        d0 = minOf(d0, 0.5 * propa.dla);
        d1 = d0 + 0.25 * (propa.dla - d0);
    } else {
        d1 = maxOf(-propa.aed / propa.emd, 0.25 * propa.dla);
    }
    const double a1 = lineOfSightLossDb(d1, prop, propa);
    bool threePoint = false;
    if (d0 < d1) {
        const double a0 = lineOfSightLossDb(d0, prop, propa);
        const double logRatio = std::log(d2 / d0);
        propa.ak2 = maxOf(0.0, ((d2 - d0) * (a1 - a0) - (d1 - d0) * (a2 - a0)) /
                                   ((d2 - d0) * std::log(d1 / d0) - (d1 - d0) * logRatio));
        threePoint = propa.aed >= 0.0 || propa.ak2 > 0.0;
        if (threePoint) {
            propa.ak1 = (a2 - a0 - propa.ak2 * logRatio) / (d2 - d0);
            if (propa.ak1 < 0.0) {
                propa.ak1 = 0.0;
                propa.ak2 = positiveDifference(a2, a0) / logRatio;
                if (propa.ak2 == 0.0) {
                    propa.ak1 = propa.emd;
                }
            }
        }
    }
    if (!threePoint) {
        propa.ak1 = positiveDifference(a2, a1) / (d2 - d1);
        propa.ak2 = 0.0;
        if (propa.ak1 == 0.0) {
            propa.ak1 = propa.emd;
        }
    }
    propa.ael = a2 - propa.ak1 * d2 - propa.ak2 * std::log(d2);
    propa.losReady = 1;
}

// Straight line of the scatter attenuation and the distance dx where it takes over from
// diffraction.
void fitScatter(const PropRecord& prop, PropaRecord& propa) {
    prepareScatter(prop, propa);
    const double d5 = propa.dla + 200e3;
    const double d6 = d5 + 200e3;
    const double a6 = scatterLossDb(d6, prop, propa);
    const double a5 = scatterLossDb(d5, prop, propa);
    if (a5 < 1000.0) {
        propa.ems = (a6 - a5) / 200e3;
        propa.dx =
            maxOf(propa.dlsa, maxOf(propa.dla + 0.3 * propa.scaleLengthM * std::log(47.7 * prop.wn),
                                    (a5 - propa.aed - propa.ems * d5) / (propa.emd - propa.ems)));
        propa.aes = (propa.emd - propa.ems) * propa.dx + propa.aed;
    } else {
        propa.ems = propa.emd;
        propa.aes = propa.aed;
        propa.dx = 10e6;
    }
    propa.scatterReady = 1;
}

} // namespace

double diffractionLossDb(double distM, const PropRecord& prop, const PropaRecord& propa) {
    const double theta = propa.tha + distM * prop.gme;
    const double beyondM = distM - propa.dla;
    // Double knife edge over the two horizons.
    const double fresnel = 0.0795775 * prop.wn * beyondM * theta * theta;
    const double knifeDb = knifeEdgeLossDb(fresnel * prop.dl[0] / (beyondM + prop.dl[0])) +
                           knifeEdgeLossDb(fresnel * prop.dl[1] / (beyondM + prop.dl[1]));
    // Smooth rounded earth.
    const double radius = beyondM / theta;
    const double scale = std::pow(radius * prop.wn, kThird);
    const double pk = propa.diffGroundK / scale;
    const double x = (1.607 - pk) * 151.0 * scale * theta + propa.diffHeightX;
    const double roundDb = 0.05751 * x - 4.343 * std::log(x) - propa.diffHeightDb;
    // The rougher the terrain, the more weight the knife edges get.
    const double roughness =
        (propa.diffWeightBase + propa.diffWeightDist / distM) *
        minOf((1.0 - 0.8 * std::exp(-distM / 50e3)) * prop.dh * prop.wn, 6283.2);
    const double weight = 25.1 / (25.1 + std::sqrt(roughness));
    return roundDb * weight + (1.0 - weight) * knifeDb + propa.diffClutterDb;
}

double lineOfSightLossDb(double distM, const PropRecord& prop, const PropaRecord& propa) {
    double q = (1.0 - 0.8 * std::exp(-distM / 50e3)) * prop.dh;
    const double roughnessM = 0.78 * q * std::exp(-std::pow(q / 16.0, 0.25));
    q = prop.he[0] + prop.he[1];
    const double sinPsi = q / std::sqrt(distM * distM + q * q);
    const std::complex<double> impedance = groundImpedance(prop);
    std::complex<double> reflection = (sinPsi - impedance) / (sinPsi + impedance) *
                                      std::exp(-minOf(10.0, prop.wn * roughnessM * sinPsi));
    q = std::norm(reflection);
    if (q < 0.25 || q < sinPsi) {
        reflection *= std::sqrt(sinPsi / q);
    }
    const double extrapolatedDb = propa.emd * distM + propa.aed;
    q = prop.wn * prop.he[0] * prop.he[1] * 2.0 / distM;
    if (q > 1.57) {
        q = 3.14 - 2.4649 / q;
    }
    const double twoRayDb =
        -4.343 * std::log(std::norm(std::complex<double>(std::cos(q), -std::sin(q)) + reflection));
    return (twoRayDb - extrapolatedDb) * propa.losRoughWeight + extrapolatedDb;
}

double scatterLossDb(double distM, const PropRecord& prop, PropaRecord& propa) {
    double h0 = 0.0;
    if (propa.scatLastH0 > 15.0) {
        h0 = propa.scatLastH0;
    } else {
        const double theta = prop.the[0] + prop.the[1] + distM * prop.gme;
        const double r1 = 2.0 * prop.wn * theta * prop.he[0];
        const double r2 = 2.0 * prop.wn * theta * prop.he[1];
        if (r1 < 0.2 && r2 < 0.2) {
            return 1001.0;
        }
        double asymmetry = (distM - propa.scatDiffM) / (distM + propa.scatDiffM);
        const double ratio = minOf(maxOf(0.1, propa.scatHeightRatio / asymmetry), 10.0);
        asymmetry = maxOf(0.1, asymmetry);
        const double crossingM =
            (distM - propa.scatDiffM) * (distM + propa.scatDiffM) * theta * 0.25 / distM;
        const double damping = std::pow(minOf(1.7, crossingM / 8.0e3), 6.0);
        const double eta = (propa.scatEtaBase * std::exp(-damping) + 1.0) * crossingM / 1.7556e3;
        const double etaAtLeast1 = maxOf(eta, 1.0);
        h0 = (scatterFrequencyGainDb(r1, etaAtLeast1) + scatterFrequencyGainDb(r2, etaAtLeast1)) *
             0.5;
        h0 += minOf(h0,
                    (1.38 - std::log(etaAtLeast1)) * std::log(asymmetry) * std::log(ratio) * 0.49);
        h0 = positiveDifference(h0, 0.0);
        if (eta < 1.0) {
            const double lowEta = (1.0 + 1.4142 / r1) * (1.0 + 1.4142 / r2);
            h0 = eta * h0 +
                 (1.0 - eta) * 4.343 * std::log(lowEta * lowEta * (r1 + r2) / (r1 + r2 + 2.8284));
        }
        if (h0 > 15.0 && propa.scatLastH0 >= 0.0) {
            h0 = propa.scatLastH0;
        }
    }
    propa.scatLastH0 = h0;
    const double theta = propa.tha + distM * prop.gme;
    return scatterAngleDistanceDb(theta * distM) +
           4.343 * std::log(47.7 * prop.wn * std::pow(theta, 4.0)) -
           0.1 * (prop.ens - 301.0) * std::exp(-theta * distM / 40e3) + h0;
}

void computeReferenceAttenuation(double distM, PropRecord& prop, PropaRecord& propa) {
    if (prop.mdp != 0) {
        preparePath(prop, propa);
    }
    if (prop.mdp >= 0) {
        prop.mdp = 0;
        prop.dist = distM;
        if (!(distM >= 0.0) || !std::isfinite(distM)) {
            raiseError(prop.kwx, 4);
        }
    }
    if (prop.dist > 0.0) {
        if (prop.dist > 1000e3) {
            raiseError(prop.kwx, 1);
        }
        if (prop.dist < propa.minDistM) {
            raiseError(prop.kwx, 3);
        }
        if (prop.dist < 1e3 || prop.dist > 2000e3) {
            raiseError(prop.kwx, 4);
        }
    }
    if (std::isnan(prop.dist)) {
        prop.aref = prop.dist;
        return;
    }
    if (prop.dist < propa.dlsa) {
        if (propa.losReady == 0) {
            fitLineOfSight(prop, propa);
        }
        if (prop.dist > 0.0) {
            prop.aref = propa.ael + propa.ak1 * prop.dist + propa.ak2 * std::log(prop.dist);
        }
    }
    if (prop.dist <= 0.0 || prop.dist >= propa.dlsa) {
        if (propa.scatterReady == 0) {
            fitScatter(prop, propa);
        }
        prop.aref = prop.dist > propa.dx ? propa.aes + propa.ems * prop.dist
                                         : propa.aed + propa.emd * prop.dist;
    }
    prop.aref = maxOf(prop.aref, 0.0);
}

} // namespace pmverdan
