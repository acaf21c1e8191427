#pragma once

#include "PathState.h"
#include "PointToPointCalculation.h"

#include <verdan/radio/PathLink.h>

#include <optional>
#include <vector>

namespace verdan {

/// The path of a Done point-to-point run as the radio side takes it: the elevations and
/// spacing of `pfl` (the model's layout), the antenna heights and frequency of `in`, the k of
/// `result` and the end points when known.
radio::PathProfile pointToPointPath(const std::vector<double>& pfl, const PointToPointInputs& in,
                                    const PointToPointResult& result,
                                    const std::optional<radio::PathEndsDeg>& ends);

/// The reliability x confidence losses of a run.
radio::LossTable pointToPointLossTable(const PointToPointResult& result);

/// The effective earth radius factor k the model takes for a profile (`pfl`, the model's
/// layout) under a surface refractivity `nsNUnits`: the refractivity brought to the profile's
/// mean elevation zs, Ns exp(-zs / 9460 m), gives k = 1 / (1 - 0.04665 exp(N / 179.3)).
/// A profile that does not hold its layout is taken at sea level.
double profileCurvatureK(double nsNUnits, const std::vector<double>& pfl);

/// The end points of the program's path: those of the path coordinates when the profile was
/// extracted from them, empty for a profile loaded from a file.
std::optional<radio::PathEndsDeg> pathEnds(const PathState& path);

} // namespace verdan
