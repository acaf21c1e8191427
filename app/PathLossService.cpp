#include "PathLossService.h"

namespace verdan {

decltype(PathProfileServices::model) pathLossService(PropagationModel& model,
                                                     std::function<PointToPointInputs()> radio) {
    return [&model, radio = std::move(radio)](const std::vector<double>& pfl, double freqMHz,
                                              double heightAM, double heightBM,
                                              QString& error) -> std::optional<PathLossTable> {
        PointToPointInputs in = radio();
        in.frequencyMHz = freqMHz;
        in.h1M = heightAM;
        in.h2M = heightBM;
        PathState path;
        path.pfl = pfl;
        path.ProfileReady = true;
        ModelRecords records;
        PointToPointResult table;
        const int points = pfl.size() > 2 ? static_cast<int>(pfl.size() - 2) : 0;
        if (computePointToPointTable(in, path, points, model, records, table) != PointToPointStatus::Done) {
            error = QStringLiteral("the propagation model could not run on this profile");
            return std::nullopt;
        }
        return PathLossTable{table.curvatureK, table.pathType, table.reliabilityPct, table.confidencePct,
                             table.lossDb};
    };
}

} // namespace verdan
