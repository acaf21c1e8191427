// The radio side of one point-to-point path: how the two antennas see each other, the
// transmitting antenna's gain toward the receiver, the link budget of every cell of the
// propagation model's loss table, and the clearance of the line of sight over the profile.
// Plain C++, no Qt.
//
// The method: the path's end points give geodesic bearings (PathGeometry.h); without them the
// transmitting antenna is taken as aimed along the path, its azimuth being the path's
// bearing. Elevation angles, the earth's bulge and the first Fresnel zone use the effective
// earth radius k times 6370 km, with the k of the model's run. Each loss of the table (basic
// transmission loss, dB) gives one budget (LinkBudget.h).
#pragma once

#include <verdan/radio/LinkBudget.h>
#include <verdan/radio/PathGeometry.h>

#include <optional>
#include <vector>

namespace verdan::radio {

/// The end points of a path, decimal degrees, north and east positive.
struct PathEndsDeg {
    double txLatDeg = 0;
    double txLonDeg = 0;
    double rxLatDeg = 0;
    double rxLonDeg = 0;
};

/// The path as the propagation model ran it.
struct PathProfile {
    std::optional<PathEndsDeg> ends; ///< empty for a profile without coordinates
    std::vector<double> elevationsM; ///< above sea level, transmitter first, at least 2
    double spacingM = 0;             ///< between profile points, > 0
    double txHeightM = 0;            ///< antenna above ground, 0.5..3000
    double rxHeightM = 0;            ///< antenna above ground, 0.5..3000
    double freqMHz = 0;              ///< 20..20000
    double curvatureK = 4.0 / 3.0;   ///< effective over actual earth radius of the run
};

/// The model's table of basic transmission losses.
struct LossTable {
    std::vector<double> reliabilityPct;
    std::vector<double> confidencePct;
    /// lossDb[i][j]: reliability i, confidence j, dB.
    std::vector<std::vector<double>> lossDb;
};

/// The radio side of one path, what the "Link budget" report block prints.
struct PathLink {
    TransmitterSide tx;
    ReceiverSide rx;
    LossTable table;
    bool bearingsKnown = false; ///< false over a profile without coordinates
    PathDirections directions;  ///< bearings (when known) and elevation angles
    double earthRadiusM = 0;    ///< the run's effective earth radius
    double txGainDbi = 0;       ///< toward the receiver
    /// Per cell of `table`, when the transmitter has a power or an ERP; else empty.
    std::vector<std::vector<LinkBudget>> budgets;
    std::optional<FresnelClearance> clearance; ///< empty without an interior profile point
};

/// Computes the radio side of `path` for the antennas `tx` and `rx` over the losses of
/// `table`.
PathLink computePathLink(const TransmitterSide& tx, const ReceiverSide& rx, const PathProfile& path,
                         const LossTable& table);

} // namespace verdan::radio
