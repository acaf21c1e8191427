#include "ProfilePlot.h"

#include "ProfileGeometry.h"

#include <algorithm>

namespace verdan {

namespace {

constexpr double Margin = 20;
constexpr std::uint32_t Grey = 0x757575;     // RGB(117,117,117)
constexpr std::uint32_t DarkBlue = 0x000075; // RGB(0,0,117)
constexpr std::uint32_t Black = 0x000000;
constexpr std::uint32_t Light = 0xF2F2F2; // RGB(242,242,242)
constexpr std::uint32_t ZoneGreen = 0x009600;
constexpr std::uint32_t RayRed = 0xDC0000;

// The line of sight and the zone's edges over the flat base, per profile point, metres.
struct OverlayHeights {
    std::vector<double> rayM;
    std::vector<double> lowerM;
    std::vector<double> upperM;
};

OverlayHeights overlayHeights(const std::vector<float>& elevations, const ProfileOverlay& overlay) {
    const std::vector<double> elevationsM(elevations.begin(), elevations.end());
    const ProfileGeometry geometry =
        profileGeometry(elevationsM, overlay.spacingM, overlay.txHeightM, overlay.rxHeightM,
                        overlay.freqMHz, overlay.curvatureK);
    OverlayHeights heights;
    for (const ProfilePoint& point : geometry.points) {
        const double flatRayM = point.rayM - point.bulgeM;
        heights.rayM.push_back(flatRayM);
        heights.lowerM.push_back(flatRayM - point.fresnelRadiusM);
        heights.upperM.push_back(flatRayM + point.fresnelRadiusM);
    }
    return heights;
}

} // namespace

std::vector<float> profileElevations(const std::vector<double>& pfl) {
    std::vector<float> elevations;
    if (pfl.size() > 2) {
        elevations.reserve(pfl.size() - 2);
        for (auto it = pfl.begin() + 2; it != pfl.end(); ++it)
            elevations.push_back(static_cast<float>(*it));
    }
    return elevations;
}

ProfilePlot PlotProfile(const std::vector<float>& elevations, double W, double H,
                        const std::optional<ProfileOverlay>& overlay) {
    double lowest = 1e9;
    double highest = -1e9;
    for (float e : elevations) {
        lowest = std::min(lowest, static_cast<double>(e));
        highest = std::max(highest, static_cast<double>(e));
    }
    OverlayHeights heights;
    if (overlay && elevations.size() >= 2) {
        heights = overlayHeights(elevations, *overlay);
        lowest = std::min(lowest, *std::min_element(heights.lowerM.begin(), heights.lowerM.end()));
        highest =
            std::max(highest, *std::max_element(heights.upperM.begin(), heights.upperM.end()));
    }
    if (elevations.empty()) {
        lowest = 0;
        highest = 0;
    }
    if (highest == lowest)
        highest = lowest + 1;
    const double quarter = (highest - lowest) / 4.0;
    ProfilePlot plot;
    plot.lowM = lowest - quarter;
    plot.highM = highest + quarter;
    const double span = plot.highM - plot.lowM;

    const double plotW = W - Margin;
    const double plotH = H - Margin;
    const auto count = elevations.size();
    const auto xAt = [&](std::size_t k) {
        return count > 1 ? plotW * static_cast<double>(k) / static_cast<double>(count - 1) : 0.0;
    };
    const auto yAt = [&](double heightM) { return plotH - (heightM - plot.lowM) / span * plotH; };
    std::vector<QPointF> points;
    points.reserve(count);
    for (std::size_t k = 0; k < count; ++k)
        points.emplace_back(xAt(k), yAt(elevations[k]));
    const double yLast = points.empty() ? plotH : points.back().y();

    plot.strokes.push_back({Grey, {{plotW, yLast - 19}, {plotW, 0}}});
    plot.strokes.push_back({DarkBlue, {{plotW, yLast - 20}, {plotW, plotH}}});
    plot.strokes.push_back({DarkBlue, {{W - Margin, H - Margin}, {0, H - Margin}}});
    PlotStroke profile{Black, {{0, H - Margin}}};
    profile.points.insert(profile.points.end(), points.begin(), points.end());
    plot.strokes.push_back(std::move(profile));
    plot.strokes.push_back({Light, {{plotW, 0}, {0, 0}, {0, plotH}}});
    const auto curve = [&](std::uint32_t rgb, const std::vector<double>& heightsM) {
        PlotStroke stroke{rgb, {}};
        for (std::size_t k = 0; k < heightsM.size(); ++k)
            stroke.points.emplace_back(xAt(k), yAt(heightsM[k]));
        plot.strokes.push_back(std::move(stroke));
    };
    if (!heights.rayM.empty()) {
        curve(ZoneGreen, heights.lowerM);
        curve(ZoneGreen, heights.upperM);
        curve(RayRed, heights.rayM);
    }
    return plot;
}

} // namespace verdan
