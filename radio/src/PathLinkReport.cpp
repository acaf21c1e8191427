#include <verdan/radio/PathLinkReport.h>

#include <cmath>

namespace verdan::radio {

namespace {

std::string jsonNumber(double value, int decimals) {
    return std::isfinite(value) ? formatFixed(value, decimals) : std::string("null");
}

std::string percent(double value) {
    const double whole = std::round(value);
    return std::abs(value - whole) < 1e-9 ? formatFixed(whole, 0) : formatFixed(value, 1);
}

std::string thresholdText(const Threshold& threshold) {
    return formatFixed(threshold.value, 1) +
           (threshold.kind == ThresholdKind::PowerDbm ? " dBm" : " dBuV/m");
}

std::string directionText(const Direction& direction, bool bearingKnown) {
    return (bearingKnown ? "azimuth " + formatFixed(direction.azimuthDeg, 1) + " deg, "
                         : std::string("along the path, ")) +
           "elevation " + formatFixed(direction.elevationDeg, 2) + " deg";
}

std::string clearanceText(const FresnelClearance& c) {
    return std::string(c.lineOfSight ? "clear" : "obstructed") + "; smallest clearance " +
           formatFixed(c.clearanceRatio, 2) + " of the first Fresnel zone (" +
           formatFixed(c.clearanceM, 1) + " m of " + formatFixed(c.fresnelRadiusM, 1) + " m) at " +
           formatFixed(c.atDistanceM / 1000.0, 3) + " km";
}

// A budget for every cell: a power or an ERP, and a table with at least one cell.
bool hasBudgets(const PathLink& link) {
    return !link.budgets.empty() && !link.budgets.front().empty();
}

// The table of power, field and margin, one line per reliability x confidence.
std::string budgetTable(const PathLink& link) {
    std::string text = "  Rel %  Conf %   Loss dB  Power dBm  Field dBuV/m";
    const bool margin = link.rx.threshold.has_value();
    text += margin ? "  Margin dB\n" : "\n";
    for (std::size_t i = 0; i < link.budgets.size(); ++i)
        for (std::size_t j = 0; j < link.budgets[i].size(); ++j) {
            const LinkBudget& b = link.budgets[i][j];
            const auto cell = [](const std::string& value, std::size_t width) {
                return std::string(value.size() < width ? width - value.size() : 0, ' ') + value;
            };
            text += cell(percent(link.table.reliabilityPct[i]), 7) +
                    cell(percent(link.table.confidencePct[j]), 8) +
                    cell(formatFixed(link.table.lossDb[i][j], 1), 10) +
                    cell(formatFixed(b.powerDbm, 2), 11) + cell(formatFixed(b.fieldDbuvm, 2), 14) +
                    (margin ? cell(formatFixed(*b.marginDb, 2), 11) : std::string()) + "\n";
        }
    return text;
}

} // namespace

std::string pathLinkReportText(const PathLink& link) {
    std::string text = "Link budget\n";
    if (link.tx.powerDbm)
        text += "  Transmitter power " + formatFixed(*link.tx.powerDbm, 2) + " dBm, line loss " +
                formatFixed(link.tx.lineLossDb, 2) + " dB\n";
    if (link.tx.erpDbm)
        text += "  ERP in the main beam " + formatFixed(*link.tx.erpDbm, 2) + " dBm\n";
    if (link.tx.pattern)
        text += "  Transmitting antenna " + link.tx.pattern->name + " (" +
                formatFixed(link.tx.pattern->gainDbi, 2) + " dBi peak), azimuth " +
                formatFixed(link.tx.pointing.azimuthDeg, 1) + " deg, mechanical tilt " +
                formatFixed(link.tx.pointing.downtiltDeg, 1) + " deg\n";
    text += "  Transmitting antenna toward the receiver: " +
            directionText(link.directions.fromFirst, link.bearingsKnown) + ", gain " +
            formatFixed(link.txGainDbi, 2) + " dBi\n";
    text += "  Receiving antenna toward the transmitter: " +
            directionText(link.directions.fromSecond, link.bearingsKnown) + ", gain " +
            formatFixed(link.rx.gainDbi, 2) + " dBi, line loss " +
            formatFixed(link.rx.lineLossDb, 2) + " dB\n";
    if (hasBudgets(link)) {
        const LinkBudget& first = link.budgets.front().front();
        text += "  EIRP toward the receiver " + formatFixed(first.eirpDbm, 2) + " dBm, ERP " +
                formatFixed(first.erpDbm, 2) + " dBm\n";
        if (link.rx.threshold)
            text += "  Threshold " + thresholdText(*link.rx.threshold) + "\n";
        text += budgetTable(link);
    }
    text +=
        "  Line of sight (k = " + formatFixed(link.earthRadiusM / ActualEarthRadiusM, 3) +
        "): " + (link.clearance ? clearanceText(*link.clearance) : "no interior profile point") +
        "\n\n";
    return text;
}

std::string pathLinkCsvColumns(const PathLink& link, bool header, std::size_t row) {
    std::string text;
    if (!hasBudgets(link))
        return text;
    const bool margin = link.rx.threshold.has_value();
    for (std::size_t j = 0; j < link.table.confidencePct.size(); ++j) {
        if (header) {
            const std::string conf = "_conf_" + percent(link.table.confidencePct[j]);
            text +=
                ",power_dbm" + conf + ",field_dbuvm" + conf + (margin ? ",margin_db" + conf : "");
            continue;
        }
        const LinkBudget& b = link.budgets[row][j];
        text += "," + formatFixed(b.powerDbm, 2) + "," + formatFixed(b.fieldDbuvm, 2) +
                (margin ? "," + formatFixed(*b.marginDb, 2) : std::string());
    }
    return text;
}

std::string pathLinkJsonFields(const PathLink& link) {
    const auto direction = [&link](const Direction& d) {
        return std::string("\"azimuth_deg\":") +
               (link.bearingsKnown ? formatFixed(d.azimuthDeg, 2) : std::string("null")) +
               ",\"elevation_deg\":" + formatFixed(d.elevationDeg, 3);
    };
    std::string json = ",\"link_budget\":{\"tx\":{" + direction(link.directions.fromFirst) +
                       ",\"gain_dbi\":" + formatFixed(link.txGainDbi, 2) + "},\"rx\":{" +
                       direction(link.directions.fromSecond) +
                       ",\"gain_dbi\":" + formatFixed(link.rx.gainDbi, 2) +
                       ",\"line_loss_db\":" + formatFixed(link.rx.lineLossDb, 2) + "}";
    if (hasBudgets(link)) {
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
        json += table("power_dbm", [](const LinkBudget& b) { return b.powerDbm; });
        json += table("field_dbuvm", [](const LinkBudget& b) { return b.fieldDbuvm; });
        if (link.rx.threshold)
            json += table("margin_db", [](const LinkBudget& b) { return *b.marginDb; });
    }
    json += "},\"line_of_sight\":";
    if (!link.clearance)
        return json + "null";
    const FresnelClearance& c = *link.clearance;
    return json + "{\"clear\":" + (c.lineOfSight ? "true" : "false") +
           ",\"k\":" + formatFixed(link.earthRadiusM / ActualEarthRadiusM, 4) +
           ",\"fresnel_clearance_ratio\":" + jsonNumber(c.clearanceRatio, 3) +
           ",\"at_km\":" + formatFixed(c.atDistanceM / 1000.0, 3) +
           ",\"clearance_m\":" + formatFixed(c.clearanceM, 2) +
           ",\"fresnel_radius_m\":" + formatFixed(c.fresnelRadiusM, 2) + "}";
}

} // namespace verdan::radio
