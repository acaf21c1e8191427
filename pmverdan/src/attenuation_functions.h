// The attenuation functions of the model that depend on one or two normalised arguments.
#pragma once

namespace pmverdan {

// Knife-edge diffraction loss, dB, for v2 = the square of the Fresnel-Kirchhoff parameter
// (v2 >= 0).
double knifeEdgeLossDb(double v2);

// Height-gain term of smooth-earth diffraction, dB, for the normalised distance x and the
// normalised ground impedance pk (> 0).
double heightGainDb(double x, double pk);

// Frequency gain function of troposcatter, dB, for the normalised height r (> 0) and the
// structure parameter eta (from 1 to 5; values outside are treated as the nearest end).
double scatterFrequencyGainDb(double r, double eta);

// Attenuation function of troposcatter, dB, for the product of scatter angle and distance
// thetaDistM, in metres times radians (> 0).
double scatterAngleDistanceDb(double thetaDistM);

} // namespace pmverdan
