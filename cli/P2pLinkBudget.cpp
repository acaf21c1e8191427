#include "P2pLinkBudget.h"

#include <verdan/radio/Units.h>

#include <cmath>

namespace verdan::cli {

namespace {

using radio::formatFixed;

std::string jsonNumber(double value, int decimals) {
    return std::isfinite(value) ? formatFixed(value, decimals) : std::string("null");
}

std::string percent(double value) {
    const double whole = std::round(value);
    return std::abs(value - whole) < 1e-9 ? formatFixed(whole, 0) : formatFixed(value, 1);
}

std::string thresholdText(const radio::Threshold& threshold) {
    return formatFixed(threshold.value, 1) +
           (threshold.kind == radio::ThresholdKind::PowerDbm ? " dBm" : " dBuV/m");
}

std::string directionText(const radio::Direction& direction, bool bearingKnown) {
    return (bearingKnown ? "azimuth " + formatFixed(direction.azimuthDeg, 1) + " deg, "
                         : std::string("along the path, ")) +
           "elevation " + formatFixed(direction.elevationDeg, 2) + " deg";
}

std::string clearanceText(const radio::FresnelClearance& c) {
    return std::string(c.lineOfSight ? "clear" : "obstructed") + "; smallest clearance " +
           formatFixed(c.clearanceRatio, 2) + " of the first Fresnel zone (" +
           formatFixed(c.clearanceM, 1) + " m of " + formatFixed(c.fresnelRadiusM, 1) + " m) at " +
           formatFixed(c.atDistanceM / 1000.0, 3) + " km";
}

// The table of power, field and margin, one line per reliability x confidence.
std::string budgetTable(const P2pLink& link, const PointToPointResult& result) {
    std::string text = "  Rel %  Conf %   Loss dB  Power dBm  Field dBuV/m";
    const bool margin = link.options.rx.threshold.has_value();
    text += margin ? "  Margin dB\n" : "\n";
    for (std::size_t i = 0; i < link.budgets.size(); ++i)
        for (std::size_t j = 0; j < link.budgets[i].size(); ++j) {
            const radio::LinkBudget& b = link.budgets[i][j];
            const auto cell = [](const std::string& value, std::size_t width) {
                return std::string(value.size() < width ? width - value.size() : 0, ' ') + value;
            };
            text += cell(percent(result.reliabilityPct[i]), 7) +
                    cell(percent(result.confidencePct[j]), 8) +
                    cell(formatFixed(result.lossDb[i][j], 1), 10) +
                    cell(formatFixed(b.powerDbm, 2), 11) + cell(formatFixed(b.fieldDbuvm, 2), 14) +
                    (margin ? cell(formatFixed(*b.marginDb, 2), 11) : std::string()) + "\n";
        }
    return text;
}

} // namespace

P2pLink computeP2pLink(const LinkOptions& options, const std::optional<PathEnds>& ends,
                       const std::vector<double>& pfl, const PointToPointInputs& in,
                       const PointToPointResult& result) {
    P2pLink link;
    link.options = options;
    link.earthRadiusM = radio::effectiveEarthRadiusM(result.curvatureK);
    const std::vector<double> elevationsM(pfl.begin() + 2, pfl.end());
    const double groundTxM = elevationsM.front();
    const double groundRxM = elevationsM.back();
    link.bearingsKnown = ends.has_value();
    if (ends) {
        link.directions = radio::pathDirections({ends->txLatDeg, ends->txLonDeg, groundTxM, in.h1M},
                                                {ends->rxLatDeg, ends->rxLonDeg, groundRxM, in.h2M},
                                                link.earthRadiusM);
    } else {
        const double distanceM = pfl[0] * pfl[1];
        link.directions.distanceM = distanceM;
        link.directions.fromFirst = {options.tx.pointing.azimuthDeg,
                                     radio::elevationAngleDeg(groundTxM + in.h1M,
                                                              groundRxM + in.h2M, distanceM,
                                                              link.earthRadiusM)};
        link.directions.fromSecond = {options.tx.pointing.azimuthDeg + 180.0,
                                      radio::elevationAngleDeg(groundRxM + in.h2M,
                                                               groundTxM + in.h1M, distanceM,
                                                               link.earthRadiusM)};
    }
    link.txGainDbi = options.tx.gainTowardDbi(link.directions.fromFirst);
    if (options.hasBudget())
        for (const std::vector<double>& row : result.lossDb) {
            link.budgets.emplace_back();
            for (double lossDb : row)
                link.budgets.back().push_back(radio::linkBudget(
                    options.tx, options.rx, link.directions.fromFirst, lossDb, in.frequencyMHz));
        }
    link.clearance = radio::fresnelClearance(elevationsM, pfl[1], in.h1M, in.h2M, in.frequencyMHz,
                                             link.earthRadiusM);
    return link;
}

std::string linkReportText(const P2pLink& link, const PointToPointResult& result) {
    const LinkOptions& o = link.options;
    std::string text = "Link budget\n";
    if (o.tx.powerDbm)
        text += "  Transmitter power " + formatFixed(*o.tx.powerDbm, 2) + " dBm, line loss " +
                formatFixed(o.tx.lineLossDb, 2) + " dB\n";
    if (o.tx.erpDbm)
        text += "  ERP in the main beam " + formatFixed(*o.tx.erpDbm, 2) + " dBm\n";
    if (o.tx.pattern)
        text += "  Transmitting antenna " + o.tx.pattern->name + " (" +
                formatFixed(o.tx.pattern->gainDbi, 2) + " dBi peak), azimuth " +
                formatFixed(o.tx.pointing.azimuthDeg, 1) + " deg, mechanical tilt " +
                formatFixed(o.tx.pointing.downtiltDeg, 1) + " deg\n";
    text += "  Transmitting antenna toward the receiver: " +
            directionText(link.directions.fromFirst, link.bearingsKnown) + ", gain " +
            formatFixed(link.txGainDbi, 2) + " dBi\n";
    text += "  Receiving antenna toward the transmitter: " +
            directionText(link.directions.fromSecond, link.bearingsKnown) + ", gain " +
            formatFixed(o.rx.gainDbi, 2) + " dBi, line loss " + formatFixed(o.rx.lineLossDb, 2) +
            " dB\n";
    if (!link.budgets.empty()) {
        const radio::LinkBudget& first = link.budgets.front().front();
        text += "  EIRP toward the receiver " + formatFixed(first.eirpDbm, 2) + " dBm, ERP " +
                formatFixed(first.erpDbm, 2) + " dBm\n";
        if (o.rx.threshold)
            text += "  Threshold " + thresholdText(*o.rx.threshold) + "\n";
        text += budgetTable(link, result);
    }
    text +=
        "  Line of sight (k = " + formatFixed(link.earthRadiusM / radio::ActualEarthRadiusM, 3) +
        "): " + (link.clearance ? clearanceText(*link.clearance) : "no interior profile point") +
        "\n\n";
    return text;
}

std::string linkCsvColumns(const P2pLink& link, const PointToPointResult& result, bool header,
                           std::size_t row) {
    std::string text;
    if (link.budgets.empty())
        return text;
    const bool margin = link.options.rx.threshold.has_value();
    for (std::size_t j = 0; j < result.confidencePct.size(); ++j) {
        if (header) {
            const std::string conf = "_conf_" + percent(result.confidencePct[j]);
            text +=
                ",power_dbm" + conf + ",field_dbuvm" + conf + (margin ? ",margin_db" + conf : "");
            continue;
        }
        const radio::LinkBudget& b = link.budgets[row][j];
        text += "," + formatFixed(b.powerDbm, 2) + "," + formatFixed(b.fieldDbuvm, 2) +
                (margin ? "," + formatFixed(*b.marginDb, 2) : std::string());
    }
    return text;
}

std::string linkJsonFields(const P2pLink& link) {
    const LinkOptions& o = link.options;
    const auto direction = [&link](const radio::Direction& d) {
        return std::string("\"azimuth_deg\":") +
               (link.bearingsKnown ? formatFixed(d.azimuthDeg, 2) : std::string("null")) +
               ",\"elevation_deg\":" + formatFixed(d.elevationDeg, 3);
    };
    std::string json = ",\"link_budget\":{\"tx\":{" + direction(link.directions.fromFirst) +
                       ",\"gain_dbi\":" + formatFixed(link.txGainDbi, 2) + "},\"rx\":{" +
                       direction(link.directions.fromSecond) +
                       ",\"gain_dbi\":" + formatFixed(o.rx.gainDbi, 2) +
                       ",\"line_loss_db\":" + formatFixed(o.rx.lineLossDb, 2) + "}";
    if (!link.budgets.empty()) {
        json += ",\"eirp_dbm\":" + formatFixed(link.budgets.front().front().eirpDbm, 2) +
                ",\"erp_dbm\":" + formatFixed(link.budgets.front().front().erpDbm, 2);
        const auto table = [&link](const char* name, auto value) {
            std::string out = std::string(",\"") + name + "\":[";
            for (std::size_t i = 0; i < link.budgets.size(); ++i) {
                out += i ? ",[" : "[";
                for (std::size_t j = 0; j < link.budgets[i].size(); ++j)
                    out += (j ? "," : "") + jsonNumber(value(link.budgets[i][j]), 2);
                out += "]";
            }
            return out + "]";
        };
        json += table("power_dbm", [](const radio::LinkBudget& b) { return b.powerDbm; });
        json += table("field_dbuvm", [](const radio::LinkBudget& b) { return b.fieldDbuvm; });
        if (o.rx.threshold)
            json += table("margin_db", [](const radio::LinkBudget& b) { return *b.marginDb; });
    }
    json += "},\"line_of_sight\":";
    if (!link.clearance)
        return json + "null";
    const radio::FresnelClearance& c = *link.clearance;
    return json + "{\"clear\":" + (c.lineOfSight ? "true" : "false") +
           ",\"k\":" + formatFixed(link.earthRadiusM / radio::ActualEarthRadiusM, 4) +
           ",\"fresnel_clearance_ratio\":" + jsonNumber(c.clearanceRatio, 3) +
           ",\"at_km\":" + formatFixed(c.atDistanceM / 1000.0, 3) +
           ",\"clearance_m\":" + formatFixed(c.clearanceM, 2) +
           ",\"fresnel_radius_m\":" + formatFixed(c.fresnelRadiusM, 2) + "}";
}

} // namespace verdan::cli
