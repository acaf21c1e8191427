#include "PointToPointLink.h"

#include "Coordinates.h"

#include <cmath>

namespace verdan {

radio::PathProfile pointToPointPath(const std::vector<double>& pfl, const PointToPointInputs& in,
                                    const PointToPointResult& result,
                                    const std::optional<radio::PathEndsDeg>& ends) {
    radio::PathProfile path;
    path.ends = ends;
    if (pfl.size() > 2)
        path.elevationsM.assign(pfl.begin() + 2, pfl.end());
    path.spacingM = pfl.size() > 1 ? pfl[1] : 0;
    path.txHeightM = in.h1M;
    path.rxHeightM = in.h2M;
    path.freqMHz = in.frequencyMHz;
    path.curvatureK = result.curvatureK;
    return path;
}

radio::LossTable pointToPointLossTable(const PointToPointResult& result) {
    return {result.reliabilityPct, result.confidencePct, result.lossDb};
}

double profileCurvatureK(double nsNUnits, const std::vector<double>& pfl) {
    const bool layout = pfl.size() >= 4 && pfl[0] == static_cast<double>(pfl.size() - 3);
    const double zsM = layout ? meanSystemElevation(pfl) : 0.0;
    const double refractivity = nsNUnits * std::exp(-zsM / 9460.0);
    return 1.0 / (1.0 - 0.04665 * std::exp(refractivity / 179.3));
}

std::optional<radio::PathEndsDeg> pathEnds(const PathState& path) {
    if (!path.ProfileFile.isEmpty())
        return std::nullopt;
    const GeoDegrees tx = pathEndDegrees(path, false);
    const GeoDegrees rx = pathEndDegrees(path, true);
    return radio::PathEndsDeg{tx.latDeg, tx.lonDeg, rx.latDeg, rx.lonDeg};
}

} // namespace verdan
