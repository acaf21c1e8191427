// The link budget block of `verdan-cli p2p`: the radio side of the path computed over the
// point-to-point table (compute), and its report lines, CSV columns and JSON fields (format).
#pragma once

#include "LinkOptions.h"
#include "PointToPointCalculation.h"
#include "ProfileExtraction.h"

#include <verdan/radio/PathGeometry.h>

#include <optional>
#include <string>
#include <vector>

namespace verdan::cli {

/// The radio side of one point-to-point run.
struct P2pLink {
    LinkOptions options;
    bool bearingsKnown = false;       ///< false over a profile file: no coordinates
    radio::PathDirections directions; ///< bearings (when known) and elevation angles
    double earthRadiusM = 0;          ///< the run's effective earth radius
    double txGainDbi = 0;             ///< toward the receiver
    /// Per reliability (rows) and confidence (columns), with a power or an ERP.
    std::vector<std::vector<radio::LinkBudget>> budgets;
    std::optional<radio::FresnelClearance> clearance;
};

/// Computes the block for the run `result` of `in` over `pfl` (the model's layout), the
/// path's end points when known. Without coordinates the transmitting antenna is taken as
/// aimed along the path (its azimuth is the path's bearing).
P2pLink computeP2pLink(const LinkOptions& options, const std::optional<PathEnds>& ends,
                       const std::vector<double>& pfl, const PointToPointInputs& in,
                       const PointToPointResult& result);

/// The "Link budget" block of the text report, lines ending with LF.
std::string linkReportText(const P2pLink& link, const PointToPointResult& result);

/// The CSV columns after the loss columns: for each confidence, power, field strength and
/// (with a threshold) margin. `header` gives the names, else the values of row `row`.
std::string linkCsvColumns(const P2pLink& link, const PointToPointResult& result, bool header,
                           std::size_t row);

/// The JSON fields "link_budget" and "line_of_sight", with a leading comma.
std::string linkJsonFields(const P2pLink& link);

} // namespace verdan::cli
