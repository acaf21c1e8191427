// The geometry of a path profile as the planning map draws it: the terrain raised by the
// earth's bulge over a flat chord, the straight line of sight between the two antennas, the
// first Fresnel zone around it and the points that obstruct either. Plain C++.
//
// Over an earth of effective radius R = k * 6370 km (k: the run's effective earth radius
// factor), a point x metres from the first end of a path d metres long stands
// b(x) = x (d - x) / 2R above the chord between the ends (the bulge). The line of sight runs
// straight from the first antenna (ground plus height) to the second. The first Fresnel
// zone's radius is r(x) = sqrt(lambda x (d - x) / d). The clearance c(x) is the line of
// sight's height over the raised terrain; a point obstructs the line of sight when c <= 0
// and intrudes into the Fresnel zone when c < 0.6 r, the clearance radio links are
// commonly planned for (the link then loses more than free space).
#pragma once

#include <verdan/radio/PathGeometry.h>

#include <optional>
#include <vector>

namespace verdan {

/// How a profile point stands against the path.
enum class Obstruction {
    None,        ///< clear of 60 % of the first Fresnel zone
    FresnelZone, ///< within 60 % of the first Fresnel zone, below the line of sight's clearance
    LineOfSight  ///< touching or above the line of sight
};

/// One point of the profile.
struct ProfilePoint {
    double distanceM = 0;      ///< from the first end
    double groundM = 0;        ///< terrain above mean sea level
    double bulgeM = 0;         ///< earth's bulge over the chord
    double rayM = 0;           ///< the line of sight's height above mean sea level
    double fresnelRadiusM = 0; ///< the first Fresnel zone's radius (0 at the ends)
    Obstruction obstruction = Obstruction::None;

    /// The terrain as it stands under the line of sight.
    double raisedM() const { return groundM + bulgeM; }
    double clearanceM() const { return rayM - raisedM(); }
};

/// The whole path.
struct ProfileGeometry {
    std::vector<ProfilePoint> points;
    double pathM = 0;
    double earthRadiusM = 0;
    /// The worst point (smallest clearance over the Fresnel radius); empty for a profile
    /// without an interior point.
    std::optional<radio::FresnelClearance> worst;
};

/// The share of the first Fresnel zone a link is planned to keep clear.
inline constexpr double PlannedFresnelClearance = 0.6;

/// The geometry of a profile of `elevationsM` (every `spacingM` metres, at least two points)
/// with antennas `heightAM` and `heightBM` above its ends, at `freqMHz`, for an effective
/// earth radius factor `k` (> 0).
ProfileGeometry profileGeometry(const std::vector<double>& elevationsM, double spacingM,
                                double heightAM, double heightBM, double freqMHz, double k);

} // namespace verdan
