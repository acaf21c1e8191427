// A terrain source made of a function, for the coverage tests and benchmarks: points are
// sampled on the great circle, one every `spacingM`; points outside the box have no data.
#pragma once

#include "RadialPlan.h"

#include <verdan/terrain/TerrainSource.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace verdan::test {

class SyntheticTerrain : public terrain::TerrainSource {
public:
    using Elevation = std::function<double(terrain::GeoPoint)>;

    SyntheticTerrain(Elevation elevation, double spacingM, double boxHalfDeg = 10)
        : m_elevation(std::move(elevation)), m_spacingM(spacingM), m_boxHalfDeg(boxHalfDeg) {}

    /// Points farther than `boxHalfDeg` from 0 N 0 E (in either axis) have no data.
    bool covers(terrain::GeoPoint at) const {
        return std::fabs(at.latDeg) <= m_boxHalfDeg && std::fabs(at.lonDeg) <= m_boxHalfDeg;
    }

    std::string displayName() const override { return "Synthetic"; }

    int pointCountFor(terrain::GeoPoint from, terrain::GeoPoint to) const override {
        const double distM = coverage::detail::polarOf(from, to).distM;
        return std::clamp(static_cast<int>(std::lround(distM / m_spacingM)) + 1, 3, 50'000);
    }

    terrain::Status profile(terrain::GeoPoint from, terrain::GeoPoint to, int pointCount,
                            terrain::Profile& out) const override {
        const coverage::detail::Polar path = coverage::detail::polarOf(from, to);
        out.spacingM = path.distM / (pointCount - 1);
        out.elevationsM.assign(static_cast<std::size_t>(pointCount), 0.0);
        out.filledPoints = 0;
        for (int i = 0; i < pointCount; ++i) {
            const terrain::GeoPoint at =
                coverage::detail::destination(from, path.bearingRad, i * out.spacingM);
            if (covers(at))
                out.elevationsM[static_cast<std::size_t>(i)] = m_elevation(at);
            else
                ++out.filledPoints;
        }
        if (out.filledPoints == pointCount)
            return terrain::Status::failure("synthetic terrain: no data on the path");
        return terrain::Status::success();
    }

    terrain::Status elevationAt(terrain::GeoPoint at, double& elevationM) const override {
        if (!covers(at))
            return terrain::Status::failure("synthetic terrain: no data here");
        elevationM = m_elevation(at);
        return terrain::Status::success();
    }

private:
    Elevation m_elevation;
    double m_spacingM;
    double m_boxHalfDeg;
};

} // namespace verdan::test
