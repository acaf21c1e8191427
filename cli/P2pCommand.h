#pragma once

#include "AreaCommand.h"
#include "PointToPointCalculation.h"

#include <QStringList>

namespace verdan::cli {

/// The inputs of a point-to-point run from the command's options. Defaults are the texts the
/// point-to-point form shows on its first opening (20 MHz, 3.3 m, 1.3 m, vertical, eps 15,
/// sgm 0.001, Ns 301, climate 5, reliabilities 1,10,50,90,99, confidences 50,90,10); ranges
/// are those the form checks (frequency 20..20000 MHz, heights 0.5..3000 m, list values
/// 1..99, at most seven each). Throws UsageError.
PointToPointInputs p2pInputsFromOptions(const CliOptions& options);

/// `verdan-cli p2p [options] (--profile FILE | --tx LAT,LON --rx LAT,LON [--terrain globe|quarn]
/// [--globe-path DIR]) [--picture FILE.png] [--format text|csv|json]`: the point-to-point run
/// over a profile file in the model's layout, or over the profile extracted between the end
/// points as the path coordinates form does. Prints the report as the report log receives it,
/// or the table as CSV or JSON; --picture writes the profile picture as PNG. Returns the exit
/// status.
int p2pCommand(const QStringList& args, CliContext& context);

} // namespace verdan::cli
