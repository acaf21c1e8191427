#include "ProfilePlot.h"

#include <algorithm>

namespace verdan {

namespace {

constexpr double Margin = 20;
constexpr std::uint32_t Grey = 0x757575;     // RGB(117,117,117)
constexpr std::uint32_t DarkBlue = 0x000075; // RGB(0,0,117)
constexpr std::uint32_t Black = 0x000000;
constexpr std::uint32_t Light = 0xF2F2F2; // RGB(242,242,242)

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

ProfilePlot PlotProfile(const std::vector<float>& elevations, double W, double H) {
    double lowest = 1e9;
    double highest = -1e9;
    for (float e : elevations) {
        lowest = std::min(lowest, static_cast<double>(e));
        highest = std::max(highest, static_cast<double>(e));
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
    std::vector<QPointF> points;
    points.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        const double x =
            count > 1 ? plotW * static_cast<double>(k) / static_cast<double>(count - 1) : 0.0;
        const double y = plotH - (elevations[k] - plot.lowM) / span * plotH;
        points.emplace_back(x, y);
    }
    const double yLast = points.empty() ? plotH : points.back().y();

    plot.strokes.push_back({Grey, {{plotW, yLast - 19}, {plotW, 0}}});
    plot.strokes.push_back({DarkBlue, {{plotW, yLast - 20}, {plotW, plotH}}});
    plot.strokes.push_back({DarkBlue, {{W - Margin, H - Margin}, {0, H - Margin}}});
    PlotStroke profile{Black, {{0, H - Margin}}};
    profile.points.insert(profile.points.end(), points.begin(), points.end());
    plot.strokes.push_back(std::move(profile));
    plot.strokes.push_back({Light, {{plotW, 0}, {0, 0}, {0, plotH}}});
    return plot;
}

} // namespace verdan
