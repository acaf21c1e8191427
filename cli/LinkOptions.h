#pragma once

#include "CliOptions.h"

#include <verdan/radio/LinkBudget.h>

#include <QStringList>

#include <optional>

namespace verdan::cli {

/// The link budget options shared by `coverage` and `p2p`.
struct LinkOptions {
    radio::TransmitterSide tx; ///< with --erp its erpDbm (dBm)
    radio::ReceiverSide rx;
    QString antennaFile; ///< --tx-antenna as typed, empty without

    /// True when a power or an ERP was given, so there is a budget to compute.
    bool hasBudget() const { return tx.powerDbm || tx.erpDbm; }
};

/// The option names read by linkOptionsFromOptions(), without "--".
const QStringList& linkOptionNames();

/// Reads --tx-power (50W, 47dBm, 17dBW), --tx-loss DB, --tx-gain (dBi, dBd) or --tx-antenna
/// FILE (Planet/MSI) with --azimuth DEG (0..360) and --tilt DEG (mechanical downtilt,
/// -90..90), --rx-gain, --rx-loss and --threshold (-100dBm or 40dBuV/m), and --erp (dBW, or
/// with dBm) as the ERP in the main beam. Throws UsageError for a bad value, an unreadable
/// pattern file (its name and line) and contradictory combinations: --erp with --tx-power,
/// --tx-loss or --tx-gain; --tx-gain with --tx-antenna; --azimuth or --tilt without
/// --tx-antenna; receiver options or a threshold without a power or an ERP.
LinkOptions linkOptionsFromOptions(const CliOptions& options);

} // namespace verdan::cli
