#include <verdan/radio/LinkBudget.h>

#include <cmath>

namespace verdan::radio {

std::optional<double> TransmitterSide::mainBeamEirpDbm() const {
    if (erpDbm)
        return *erpDbm + DipoleGainDbi;
    if (powerDbm)
        return eirpDbm(*powerDbm, lineLossDb, pattern ? pattern->gainDbi : gainDbi);
    return std::nullopt;
}

double TransmitterSide::gainTowardDbi(const Direction& direction) const {
    return pattern ? radio::gainTowardDbi(*pattern, pointing, direction) : gainDbi;
}

double eirpDbm(double powerDbm, double lineLossDb, double gainDbi) {
    return powerDbm - lineLossDb + gainDbi;
}

double receivedPowerDbm(double eirpDbm, double basicLossDb, double rxGainDbi, double rxLineLossDb) {
    return eirpDbm - basicLossDb + rxGainDbi - rxLineLossDb;
}

double fieldStrengthDbuvm(double eirpDbm, double basicLossDb, double freqMHz) {
    return eirpDbm - 30.0 - basicLossDb + 20.0 * std::log10(freqMHz) + FieldConstantDb;
}

double marginDb(const Threshold& threshold, double powerDbm, double fieldDbuvm) {
    return (threshold.kind == ThresholdKind::PowerDbm ? powerDbm : fieldDbuvm) - threshold.value;
}

LinkBudget linkBudget(const TransmitterSide& tx, const ReceiverSide& rx, const Direction& direction,
                      double basicLossDb, double freqMHz) {
    LinkBudget budget;
    const double peakDbi = tx.pattern ? tx.pattern->gainDbi : tx.gainDbi;
    budget.txGainDbi = tx.gainTowardDbi(direction);
    budget.eirpDbm = tx.mainBeamEirpDbm().value_or(0.0) + budget.txGainDbi - peakDbi;
    budget.erpDbm = budget.eirpDbm - DipoleGainDbi;
    budget.powerDbm = receivedPowerDbm(budget.eirpDbm, basicLossDb, rx.gainDbi, rx.lineLossDb);
    budget.fieldDbuvm = fieldStrengthDbuvm(budget.eirpDbm, basicLossDb, freqMHz);
    if (rx.threshold)
        budget.marginDb = marginDb(*rx.threshold, budget.powerDbm, budget.fieldDbuvm);
    return budget;
}

} // namespace verdan::radio
