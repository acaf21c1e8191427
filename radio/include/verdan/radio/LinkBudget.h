// The link budget of one path: transmitter power, line losses and antenna gains around a
// basic transmission loss give the radiated power, the received power, the field strength
// and the margin over a receiver's threshold. Plain C++, no Qt.
//
// Relations (all powers in dBm, gains in dBi, losses in dB):
//
//     EIRP = P - L_tx + G_tx                 ERP = EIRP - 2.15 (over a half-wave dipole)
//     P_rx = EIRP - L_b + G_rx - L_rx        (L_b: basic transmission loss, isotropic to
//                                             isotropic, as the propagation model gives it)
//     E    = EIRP - 30 - L_b + 20 log10(f_MHz) + 107.22        (dBµV/m)
//
// The field strength is that of a plane wave carrying the power an isotropic antenna would
// receive, E^2 / 120 pi = P_iso 4 pi / lambda^2 (ITU-R P.525): in free space, 1 kW ERP gives
// 106.92 dBµV/m at 1 km at any frequency. It is the field at the receiving antenna, so the
// receiver's gain and line loss do not enter it.
#pragma once

#include <verdan/radio/AntennaPattern.h>
#include <verdan/radio/Units.h>

#include <optional>

namespace verdan::radio {

/// 10 log10(30) + 120 + 20 log10(4 pi 1e6 / c): the field strength (dBµV/m) of a plane wave
/// whose power into an isotropic antenna is 0 dBW at 1 MHz.
inline constexpr double FieldConstantDb = 107.219;

/// The transmitter side: either a power with its line loss, or an ERP in the main beam.
/// The antenna: a fixed gain, or a pattern (whose peak gain the fixed gain then is).
struct TransmitterSide {
    std::optional<double> powerDbm;        ///< transmitter output, dBm
    double lineLossDb = 0;                 ///< feeder, connectors, combiner, dB, 0 and up
    std::optional<double> erpDbm;          ///< ERP in the main beam, dBm (instead of a power)
    double gainDbi = 0;                    ///< antenna gain in the main beam, dBi
    std::optional<AntennaPattern> pattern; ///< when given, its gain replaces gainDbi
    AntennaPointing pointing;              ///< how a pattern is mounted

    /// EIRP in the main beam, dBm; empty with neither a power nor an ERP.
    std::optional<double> mainBeamEirpDbm() const;
    /// The antenna gain toward `direction`, dBi (the fixed gain without a pattern).
    double gainTowardDbi(const Direction& direction) const;
};

/// The receiver side.
struct ReceiverSide {
    double gainDbi = 0;    ///< antenna gain toward the transmitter, dBi
    double lineLossDb = 0; ///< feeder and connectors, dB
    std::optional<Threshold> threshold;
};

/// The budget of one path for one basic transmission loss.
struct LinkBudget {
    double txGainDbi = 0;           ///< transmitting antenna's gain toward the receiver
    double eirpDbm = 0;             ///< toward the receiver
    double erpDbm = 0;              ///< toward the receiver
    double powerDbm = 0;            ///< at the receiver's input
    double fieldDbuvm = 0;          ///< at the receiving antenna
    std::optional<double> marginDb; ///< over the threshold, when there is one
};

double eirpDbm(double powerDbm, double lineLossDb, double gainDbi);
double receivedPowerDbm(double eirpDbm, double basicLossDb, double rxGainDbi, double rxLineLossDb);
double fieldStrengthDbuvm(double eirpDbm, double basicLossDb, double freqMHz);
/// The margin of a received power (dBm) and field strength (dBµV/m) over `threshold`.
double marginDb(const Threshold& threshold, double powerDbm, double fieldDbuvm);

/// The budget toward a receiver in `direction` (seen from the transmitter) over a path of
/// basic transmission loss `basicLossDb` at `freqMHz`. `tx` must have a power or an ERP.
LinkBudget linkBudget(const TransmitterSide& tx, const ReceiverSide& rx, const Direction& direction,
                      double basicLossDb, double freqMHz);

} // namespace verdan::radio
