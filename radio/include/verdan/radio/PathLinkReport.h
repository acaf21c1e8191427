// The "Link budget" block of a point-to-point report, and the same numbers as CSV columns and
// JSON fields, from a computed PathLink. One text for every front end. Plain C++, no Qt;
// numbers in the C locale.
#pragma once

#include <verdan/radio/PathLink.h>

#include <cstddef>
#include <string>

namespace verdan::radio {

/// The block of the text report: "Link budget", the transmitter and its antenna, both
/// antennas toward each other, with a power or an ERP the EIRP, the threshold and the table
/// of received power, field strength and margin per reliability x confidence, then the line
/// of sight with its k. Lines end with LF; the block ends with an empty line.
std::string pathLinkReportText(const PathLink& link);

/// The CSV columns after the loss columns: for each confidence, power, field strength and
/// (with a threshold) margin. `header` gives the names, else the values of row `row`.
/// Empty without budgets.
std::string pathLinkCsvColumns(const PathLink& link, bool header, std::size_t row);

/// The JSON fields "link_budget" and "line_of_sight", with a leading comma.
std::string pathLinkJsonFields(const PathLink& link);

} // namespace verdan::radio
