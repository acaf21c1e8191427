#pragma once

#include <QPointF>
#include <cstdint>
#include <optional>
#include <vector>

namespace verdan {

/// One stroke of the profile picture: a polyline in one colour.
struct PlotStroke {
    std::uint32_t rgb = 0; ///< 0xRRGGBB
    std::vector<QPointF> points;
};

/// The profile picture as drawn in a picture of `W` x `H` units (y grows downwards): the
/// vertical extent and the strokes in drawing order.
struct ProfilePlot {
    double lowM = 0;  ///< widened lowest elevation, bottom of the plot area
    double highM = 0; ///< widened highest elevation, top of the plot area
    std::vector<PlotStroke> strokes;
};

/// The radio path drawn over the profile when asked: the line of sight between the antenna tops
/// and the first Fresnel zone around it, both bent down by the earth's bulge x (d - x) / 2kR
/// (R = 6370 km) because the terrain is drawn on a flat base.
struct ProfileOverlay {
    double spacingM = 0;  ///< between profile points, > 0
    double txHeightM = 0; ///< antenna above the first point
    double rxHeightM = 0; ///< antenna above the last point
    double freqMHz = 0;   ///< 20..20000
    double curvatureK = 4.0 / 3.0;
    friend bool operator==(const ProfileOverlay&, const ProfileOverlay&) = default;
};

/// The profile's elevations, pfl[2] to the end, as single-precision numbers.
std::vector<float> profileElevations(const std::vector<double>& pfl);

/// Plots `elevations` into a picture of `W` x `H` units with a margin of 20 units on each
/// axis: the extent runs a quarter of the elevation range below the lowest and above the
/// highest elevation; an all-equal profile (zero or not) gets a range of 1 m, so an all-zero
/// profile spans -0.25 to 1.25 m. Strokes in order: the grey and blue receiver marks at
/// x = W - 20, the blue base line, the black profile polyline (from the base line's end
/// through every point) and the light border along the top and left edges.
/// With an `overlay` (and at least two elevations) the extent also takes in the antenna tops
/// and the zone, and three strokes follow: the zone's lower and upper edges (green) and the
/// line of sight (red).
ProfilePlot PlotProfile(const std::vector<float>& elevations, double W, double H,
                        const std::optional<ProfileOverlay>& overlay = std::nullopt);

} // namespace verdan
