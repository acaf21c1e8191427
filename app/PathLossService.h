#pragma once

#include "PathProfileModel.h"
#include "PointToPointCalculation.h"
#include "PropagationModel.h"

#include <functional>

namespace verdan {

/// The path profile tool's model: the point-to-point table over a profile, with the ground,
/// climate, polarization, refractivity and reliability and confidence lists that `radio`
/// gives (the point-to-point form's, as it holds them when the profile is drawn) and the
/// tool's own frequency and antenna heights.
decltype(PathProfileServices::model) pathLossService(PropagationModel& model,
                                                     std::function<PointToPointInputs()> radio);

} // namespace verdan
