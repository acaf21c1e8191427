#include <verdan/coverage/MapQuantity.h>

#include <algorithm>
#include <array>
#include <map>

namespace verdan::coverage {

std::string quantityName(MapQuantity quantity) {
    return quantity == MapQuantity::LossDb ? "Basic transmission loss" : "Field strength";
}

std::string quantityUnit(MapQuantity quantity) {
    return quantity == MapQuantity::LossDb ? "dB" : "dB\u00b5V/m";
}

std::string quantityTitle(MapQuantity quantity) {
    return quantityName(quantity) + " (" + quantityUnit(quantity) + ")";
}

bool higherIsBetter(MapQuantity quantity) {
    return quantity != MapQuantity::LossDb;
}

const std::vector<float>& quantityValues(const CoverageGrid& grid, MapQuantity quantity) {
    return quantity == MapQuantity::LossDb ? grid.lossDb : grid.fieldDbuvm;
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
