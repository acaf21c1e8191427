// The reference attenuation: line of sight, diffraction and troposcatter, joined into one
// continuous function of distance.
#pragma once

#include "pmverdan.h"

namespace pmverdan {

// Reference attenuation prop.aref, dB (>= 0), at distM metres (the work of lrprop).
// When prop.mdp is not 0 the path-dependent coefficients are (re)computed into propa first and
// the input ranges are checked into prop.kwx. In the area mode (prop.mdp >= 0) distM becomes
// prop.dist (model range 1 km..2000 km); in point-to-point mode (prop.mdp < 0) prop.dist is kept.
void computeReferenceAttenuation(double distM, PropRecord& prop, PropaRecord& propa);

// The three parts, exposed for tests. Each needs the coefficients of a preceding
// computeReferenceAttenuation call (or its own preparation for the first two).
// Diffraction attenuation beyond the horizon, dB, at distM metres (> propa.dla).
double diffractionLossDb(double distM, const PropRecord& prop, const PropaRecord& propa);
// Line-of-sight attenuation, dB, at distM metres (0 < distM < propa.dlsa).
double lineOfSightLossDb(double distM, const PropRecord& prop, const PropaRecord& propa);
// Troposcatter attenuation, dB, at distM metres; 1001 when scatter is not defined there.
double scatterLossDb(double distM, const PropRecord& prop, PropaRecord& propa);

} // namespace pmverdan
