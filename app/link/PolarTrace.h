#pragma once

#include <verdan/radio/AntennaPattern.h>

#include <QPointF>
#include <array>
#include <vector>

namespace verdan {

/// The two cuts of an antenna pattern as polar plots, for a preview of the antenna as it is
/// mounted. Each trace has a point per degree on a disc of radius 1 whose rim is the peak
/// gain and whose centre is `rangeDb` below it (gains further down sit at the centre). x
/// grows to the right and y upward.
///
/// The horizontal trace is the gain on the horizon seen from above with north up: the point
/// for bearing b lies at (r sin b, r cos b). The vertical trace is the gain in the vertical
/// plane of the boresight seen from the side, the front to the right: the point for an angle
/// t below the horizon in front (the file's convention: 90 straight down, 180 the horizon
/// behind) lies at (r cos t, -r sin t). Both are taken through the antenna's gain toward each
/// direction, so the azimuth and the mechanical downtilt are applied as in a run.
struct PolarTraces {
    std::array<QPointF, 360> horizontal;
    std::array<QPointF, 360> vertical;
};

/// Plot radius of a gain `belowPeakDb` (0 and up) under the peak, for a plot `rangeDb` deep.
double polarRadius(double belowPeakDb, double rangeDb);

/// The traces of `pattern` mounted as `pointing`.
PolarTraces polarTraces(const radio::AntennaPattern& pattern, const radio::AntennaPointing& pointing,
                        double rangeDb);

/// The gain rings of a plot `rangeDb` deep, every `stepDb`: their radii, rim first.
std::vector<double> ringRadii(double rangeDb, double stepDb);

} // namespace verdan
