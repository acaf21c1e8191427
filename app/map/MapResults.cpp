#include "MapResults.h"

#include "NumberFormat.h"

#include <cmath>

namespace verdan {

namespace {

using coverage::MapQuantity;

// Overlap counts from this one up share the strongest colour.
constexpr int OverlapColours = 4;

std::uint32_t rgbOf(const coverage::Rgba& colour) {
    return (std::uint32_t{colour.red} << 16) | (std::uint32_t{colour.green} << 8) | colour.blue;
}

coverage::Rgba overlapColour(coverage::Palette palette, float count) {
    if (!(count >= 1))
        return {};
    const double step = std::min<double>(count, OverlapColours) - 1;
    return coverage::paletteColour(palette, step / (OverlapColours - 1));
}

QString oneDecimal(double value) {
    return numfmt::formatPattern(value, u"0.0");
}

QString sitesText(int count) {
    return QString::number(count) + (count == 1 ? QStringLiteral(" site") : QStringLiteral(" sites"));
}

} // namespace

const std::vector<float>& MapResult::values() const {
    switch (band) {
    case ResultBand::Site:
        break;
    case ResultBand::BestServer:
        return network->server;
    case ResultBand::Overlap:
        return network->overlap;
    case ResultBand::Sinr:
        return network->sinrDb;
    case ResultBand::StrongestPower:
        return network->powerDbm;
    }
    return coverage::quantityValues(*grid, style.quantity());
}

std::function<coverage::Rgba(float)> MapResult::colours() const {
    switch (band) {
    case ResultBand::BestServer:
        return [](float number) {
            return std::isnan(number) ? coverage::Rgba{}
                                      : coverage::serverColour(static_cast<int>(number));
        };
    case ResultBand::Overlap:
        return [palette = style.palette()](float count) { return overlapColour(palette, count); };
    case ResultBand::Site:
    case ResultBand::Sinr:
    case ResultBand::StrongestPower:
        break;
    }
    return [shown = style](float value) { return shown.colourOf(value); };
}

QString MapResult::legendTitle() const {
    switch (band) {
    case ResultBand::BestServer:
        return QStringLiteral("Best server");
    case ResultBand::Overlap:
        return QStringLiteral("Sites at or above the threshold");
    case ResultBand::Sinr:
        return QStringLiteral("SINR (dB)");
    case ResultBand::StrongestPower:
        return QStringLiteral("Strongest received power (dBm)");
    case ResultBand::Site:
        break;
    }
    return QString::fromStdString(style.title());
}

std::vector<LegendEntry> MapResult::legend() const {
    std::vector<LegendEntry> entries;
    if (band == ResultBand::BestServer) {
        for (std::size_t i = 0; i < siteNames.size(); ++i)
            entries.push_back({rgbOf(coverage::serverColour(static_cast<int>(i + 1))),
                               QString::number(i + 1) + u' ' + siteNames[i]});
    } else if (band == ResultBand::Overlap) {
        for (int count = 1; count <= OverlapColours; ++count)
            entries.push_back({rgbOf(overlapColour(style.palette(), static_cast<float>(count))),
                               sitesText(count) +
                                   (count == OverlapColours ? QStringLiteral(" or more") : QString())});
    } else {
        for (const coverage::LegendEntry& entry : style.legend())
            entries.push_back({rgbOf(entry.colour), QString::fromStdString(entry.text)});
    }
    return entries;
}

QString MapResult::valueAt(double latDeg, double lonDeg) const {
    const double column = std::floor((lonDeg - grid->westLonDeg) / grid->cellDeg);
    const double row = std::floor((grid->northLatDeg - latDeg) / grid->cellDeg);
    const std::vector<float>& shown = values();
    const double cell = row * grid->columns + column;
    if (column < 0 || row < 0 || column >= grid->columns || row >= grid->rows ||
        cell >= static_cast<double>(shown.size()) || std::isnan(shown[static_cast<std::size_t>(cell)]))
        return QStringLiteral("no data");
    const float value = shown[static_cast<std::size_t>(cell)];
    switch (band) {
    case ResultBand::BestServer: {
        const auto number = static_cast<std::size_t>(value);
        return QString::number(number) + u' ' +
               (number >= 1 && number <= siteNames.size() ? siteNames[number - 1] : QString());
    }
    case ResultBand::Overlap:
        return sitesText(static_cast<int>(value));
    case ResultBand::Sinr:
        return oneDecimal(value) + QStringLiteral(" dB");
    case ResultBand::Site:
    case ResultBand::StrongestPower:
        break;
    }
    return QString::fromStdString(coverage::quantityKey(style.quantity())) + u' ' +
           oneDecimal(value) + u' ' + QString::fromStdString(coverage::quantityUnit(style.quantity()));
}

MapLayer MapResult::layer(const QString& source) const {
    MapLayer shown;
    shown.kind = LayerKind::Result;
    shown.source = source;
    shown.name = name + QStringLiteral(" (") + legendTitle() + u')';
    shown.legendTitle = legendTitle();
    shown.legend = legend();
    return shown;
}

std::vector<MapResult> networkResults(std::shared_ptr<const coverage::NetworkGrid> merged,
                                      std::vector<QString> siteNames, const QString& name,
                                      const QString& caption, const coverage::MapStyle& powerStyle,
                                      const coverage::MapStyle& sinrStyle) {
    std::vector<MapResult> results;
    for (ResultBand band : {ResultBand::BestServer, ResultBand::Overlap, ResultBand::Sinr,
                            ResultBand::StrongestPower}) {
        MapResult& result = results.emplace_back();
        result.name = name;
        result.band = band;
        result.network = merged;
        result.grid = std::shared_ptr<const coverage::CoverageGrid>(merged, &merged->layout);
        result.siteNames = siteNames;
        result.style = band == ResultBand::Sinr ? sinrStyle : powerStyle;
        result.caption = caption;
    }
    return results;
}

} // namespace verdan
