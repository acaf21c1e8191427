#include <verdan/coverage/MapQuantity.h>

#include <algorithm>
#include <array>
#include <map>

namespace verdan::coverage {

namespace {

struct QuantityTexts {
    const char* name;
    const char* unit;
    const char* key;
};

const QuantityTexts& textsOf(MapQuantity quantity) {
    static const QuantityTexts texts[] = {{"Basic transmission loss", "dB", "loss"},
                                          {"Received power", "dBm", "power"},
                                          {"Field strength", "dB\u00b5V/m", "field"},
                                          {"Margin", "dB", "margin"}};
    return texts[static_cast<std::size_t>(quantity)];
}

} // namespace

std::string quantityName(MapQuantity quantity) {
    return textsOf(quantity).name;
}

std::string quantityUnit(MapQuantity quantity) {
    return textsOf(quantity).unit;
}

std::string quantityKey(MapQuantity quantity) {
    return textsOf(quantity).key;
}

std::optional<MapQuantity> quantityOfKey(std::string_view key) {
    for (const MapQuantity quantity : AllMapQuantities)
        if (key == textsOf(quantity).key)
            return quantity;
    return std::nullopt;
}

std::string quantityTitle(MapQuantity quantity) {
    return quantityName(quantity) + " (" + quantityUnit(quantity) + ")";
}

bool higherIsBetter(MapQuantity quantity) {
    return quantity != MapQuantity::LossDb;
}

const std::vector<float>& quantityValues(const CoverageGrid& grid, MapQuantity quantity) {
    switch (quantity) {
    case MapQuantity::PowerDbm:
        return grid.powerDbm;
    case MapQuantity::FieldDbuvm:
        return grid.fieldDbuvm;
    case MapQuantity::MarginDb:
        return grid.marginDb;
    case MapQuantity::LossDb:
        break;
    }
    return grid.lossDb;
}

MapQuantity defaultQuantity(const CoverageInputs& in) {
    if (in.hasLinkBudget() && in.receiver.threshold)
        return MapQuantity::MarginDb;
    return in.hasLinkBudget() ? MapQuantity::PowerDbm : MapQuantity::LossDb;
}

std::string quantityMissing(const CoverageInputs& in, MapQuantity quantity) {
    if (quantity == MapQuantity::LossDb)
        return {};
    if (!in.hasLinkBudget())
        return "a transmitter power or an ERP";
    if (quantity == MapQuantity::MarginDb && !in.receiver.threshold)
        return "a receiver threshold";
    return {};
}

std::string warningCauseText(WarningCause cause) {
    static const std::array<const char*, WarningCauseCount> texts = {
        "no warning",
        "surface refractivity at the path elevation below 250 N-units",
        "surface refractivity at the path elevation above 400 N-units",
        "path shorter than the model's shortest distance (1 km, or the horizons' overlap)",
        "horizon angle or horizon distance out of the model's range",
        "frequency outside 40 to 10,000 MHz",
        "antenna height outside 1 to 1,000 m",
        "parameters out of the model's range"};
    return texts.at(static_cast<std::size_t>(cause));
}

std::vector<WarningCount> countWarnings(const CoverageGrid& grid, int minLevel) {
    std::map<std::pair<int, WarningCause>, long long> counts;
    for (std::size_t i = 0; i < grid.warning.size(); ++i) {
        if (grid.warning[i] < minLevel || grid.warning[i] == 0 ||
            grid.warning[i] == CellWithoutResult)
            continue;
        const WarningCause cause =
            i < grid.warningCause.size() && grid.warningCause[i] != WarningCause::None
                ? grid.warningCause[i]
                : WarningCause::Other;
        ++counts[{grid.warning[i], cause}];
    }
    std::vector<WarningCount> out;
    for (const auto& [key, cells] : counts)
        out.push_back({key.first, key.second, cells});
    std::sort(out.begin(), out.end(), [](const WarningCount& a, const WarningCount& b) {
        return a.level != b.level ? a.level > b.level : a.cells > b.cells;
    });
    return out;
}

std::string warningCountText(const WarningCount& count) {
    return std::to_string(count.cells) + (count.cells == 1 ? " cell" : " cells") +
           " with model warning " + std::to_string(count.level) + ": " +
           warningCauseText(count.cause);
}

std::string warningSummary(const CoverageGrid& grid, int minLevel) {
    std::string text;
    for (const WarningCount& count : countWarnings(grid, minLevel))
        text += (text.empty() ? "" : "; ") + warningCountText(count);
    return text;
}

} // namespace verdan::coverage
