#include "LinkOptions.h"

#include "FileNameBytes.h"

#include <verdan/radio/AntennaPattern.h>
#include <verdan/radio/Units.h>

namespace verdan::cli {

namespace {

constexpr QLatin1String TxPower("tx-power");
constexpr QLatin1String TxLoss("tx-loss");
constexpr QLatin1String TxGain("tx-gain");
constexpr QLatin1String TxAntenna("tx-antenna");
constexpr QLatin1String Azimuth("azimuth");
constexpr QLatin1String Tilt("tilt");
constexpr QLatin1String RxGain("rx-gain");
constexpr QLatin1String RxLoss("rx-loss");
constexpr QLatin1String Threshold("threshold");
constexpr QLatin1String Erp("erp");

[[noreturn]] void refuse(const QString& option, const std::string& message) {
    throw UsageError{QStringLiteral("--") + option + QStringLiteral(": ") +
                     QString::fromStdString(message)};
}

std::string typed(const CliOptions& options, const QString& name) {
    return options.valueOf(name).toStdString();
}

using Parser = std::optional<double> (*)(std::string_view, std::string&);

// The value of option `name` read by `parse` (a gain or a loss), `fallback` when absent.
double parsed(const CliOptions& options, const QString& name, Parser parse, double fallback) {
    if (!options.has(name))
        return fallback;
    std::string message;
    const std::optional<double> value = parse(typed(options, name), message);
    if (!value)
        refuse(name, message);
    return *value;
}

// The names are constant-initialized: linkOptionNames() may be called while other files'
// statics are initialized.

// Refuses the first pair of options given together that contradict each other.
void refuseContradictions(const CliOptions& options) {
    const struct {
        QLatin1String first;
        QLatin1String second;
        const char* why;
    } pairs[] = {
        {Erp, TxPower, "the ERP is the radiated power: give it or the transmitter power"},
        {Erp, TxLoss, "the ERP already holds the transmitter's line loss"},
        {Erp, TxGain, "the ERP already holds the antenna gain"},
        {TxGain, TxAntenna, "the pattern file gives the antenna's gain"},
    };
    for (const auto& pair : pairs)
        if (options.has(pair.first) && options.has(pair.second))
            throw UsageError{QStringLiteral("--%1 and --%2 contradict each other: %3")
                                 .arg(pair.first, pair.second, QString::fromLatin1(pair.why))};
    for (const QLatin1String aim : {Azimuth, Tilt})
        if (options.has(aim) && !options.has(TxAntenna))
            throw UsageError{QStringLiteral("--%1 aims the pattern of --tx-antenna FILE; give the "
                                            "file")
                                 .arg(aim)};
    const bool budget = options.has(TxPower) || options.has(Erp);
    for (const QLatin1String receiver : {TxLoss, RxGain, RxLoss, Threshold})
        if (options.has(receiver) && !budget)
            throw UsageError{QStringLiteral("--%1 needs a transmitter power (--tx-power) or an "
                                            "ERP (--erp)")
                                 .arg(receiver)};
}

void readTransmitter(const CliOptions& options, LinkOptions& link) {
    if (options.has(TxPower)) {
        const radio::PowerValue power = radio::parsePowerDbm(typed(options, TxPower));
        if (!power.dbm)
            refuse(TxPower, power.message);
        link.tx.powerDbm = power.dbm;
    }
    if (const auto erpDbw = options.powerDbw(Erp, -200, 200))
        link.tx.erpDbm = *erpDbw + 30.0;
    link.tx.lineLossDb = parsed(options, TxLoss, radio::parseLossDb, 0);
    link.tx.gainDbi = parsed(options, TxGain, radio::parseGainDbi, 0);
    if (options.has(TxAntenna)) {
        link.antennaFile = options.valueOf(TxAntenna);
        radio::PatternRead read =
            radio::readPatternFile(fileNameBytes(link.antennaFile).toStdString());
        if (!read.pattern)
            throw UsageError{QStringLiteral("--tx-antenna: ") + fileNameFromBytes(read.message)};
        link.tx.pattern = std::move(read.pattern);
        link.tx.gainDbi = link.tx.pattern->gainDbi;
        link.tx.pointing.azimuthDeg = options.number(Azimuth, 0, 0, 360, QStringLiteral("degrees"));
        link.tx.pointing.downtiltDeg = options.number(Tilt, 0, -90, 90, QStringLiteral("degrees"));
    }
}

void readReceiver(const CliOptions& options, LinkOptions& link) {
    link.rx.gainDbi = parsed(options, RxGain, radio::parseGainDbi, 0);
    link.rx.lineLossDb = parsed(options, RxLoss, radio::parseLossDb, 0);
    if (options.has(Threshold)) {
        const radio::ThresholdValue threshold = radio::parseThreshold(typed(options, Threshold));
        if (!threshold.threshold)
            refuse(Threshold, threshold.message);
        link.rx.threshold = threshold.threshold;
    }
}

} // namespace

const QStringList& linkOptionNames() {
    static const QStringList names{TxPower, TxLoss, TxGain, TxAntenna, Azimuth,
                                   Tilt,    RxGain, RxLoss, Threshold, Erp};
    return names;
}

LinkOptions linkOptionsFromOptions(const CliOptions& options) {
    refuseContradictions(options);
    LinkOptions link;
    readTransmitter(options, link);
    readReceiver(options, link);
    return link;
}

} // namespace verdan::cli
