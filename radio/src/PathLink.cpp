#include <verdan/radio/PathLink.h>

namespace verdan::radio {

namespace {

// Directions over a profile without coordinates: the antenna is aimed along the path.
PathDirections alongThePath(const TransmitterSide& tx, const PathProfile& path, double distanceM,
                            double earthRadiusM) {
    const double txTopM = path.elevationsM.front() + path.txHeightM;
    const double rxTopM = path.elevationsM.back() + path.rxHeightM;
    PathDirections directions;
    directions.distanceM = distanceM;
    directions.fromFirst = {tx.pointing.azimuthDeg,
                            elevationAngleDeg(txTopM, rxTopM, distanceM, earthRadiusM)};
    directions.fromSecond = {tx.pointing.azimuthDeg + 180.0,
                             elevationAngleDeg(rxTopM, txTopM, distanceM, earthRadiusM)};
    return directions;
}

} // namespace

PathLink computePathLink(const TransmitterSide& tx, const ReceiverSide& rx, const PathProfile& path,
                         const LossTable& table) {
    PathLink link;
    link.tx = tx;
    link.rx = rx;
    link.table = table;
    link.earthRadiusM = effectiveEarthRadiusM(path.curvatureK);
    link.bearingsKnown = path.ends.has_value();
    if (const std::optional<PathEndsDeg>& ends = path.ends) {
        link.directions = pathDirections(
            {ends->txLatDeg, ends->txLonDeg, path.elevationsM.front(), path.txHeightM},
            {ends->rxLatDeg, ends->rxLonDeg, path.elevationsM.back(), path.rxHeightM},
            link.earthRadiusM);
    } else {
        const double distanceM = static_cast<double>(path.elevationsM.size() - 1) * path.spacingM;
        link.directions = alongThePath(tx, path, distanceM, link.earthRadiusM);
    }
    link.txGainDbi = tx.gainTowardDbi(link.directions.fromFirst);
    if (tx.powerDbm || tx.erpDbm)
        for (const std::vector<double>& row : table.lossDb) {
            link.budgets.emplace_back();
            for (double lossDb : row)
                link.budgets.back().push_back(
                    linkBudget(tx, rx, link.directions.fromFirst, lossDb, path.freqMHz));
        }
    link.clearance = fresnelClearance(path.elevationsM, path.spacingM, path.txHeightM,
                                      path.rxHeightM, path.freqMHz, link.earthRadiusM);
    return link;
}

} // namespace verdan::radio
