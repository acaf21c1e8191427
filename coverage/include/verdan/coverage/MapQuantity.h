// What a coverage map shows: the quantity coloured, its name and unit, and the model's
// warnings in words. Every legend (the window's, the PNG's, the KML's) takes its texts here.
#pragma once

#include <verdan/coverage/Coverage.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace verdan::coverage {

/// The quantity a coverage map colours.
enum class MapQuantity {
    LossDb,     ///< basic transmission loss, dB (lower is better)
    PowerDbm,   ///< received power at the receiver's input, dBm (needs a power or an ERP)
    FieldDbuvm, ///< field strength, dBµV/m (needs a power or an ERP)
    MarginDb,   ///< margin over the receiver's threshold, dB (needs a threshold)
};

/// Every quantity, in the order above.
inline constexpr MapQuantity AllMapQuantities[] = {MapQuantity::LossDb, MapQuantity::PowerDbm,
                                                   MapQuantity::FieldDbuvm, MapQuantity::MarginDb};

/// "Basic transmission loss", "Received power", "Field strength", "Margin".
std::string quantityName(MapQuantity quantity);
/// "dB", "dBm", "dBµV/m" (UTF-8), "dB".
std::string quantityUnit(MapQuantity quantity);
/// "Basic transmission loss (dB)".
std::string quantityTitle(MapQuantity quantity);
/// The short name users type: "loss", "power", "field", "margin".
std::string quantityKey(MapQuantity quantity);
/// The quantity of a short name (exact, lower case); empty for any other text.
std::optional<MapQuantity> quantityOfKey(std::string_view key);
/// True when a higher value means better reception (all but the loss).
bool higherIsBetter(MapQuantity quantity);
/// The grid's values of `quantity` (empty when the run did not compute it).
const std::vector<float>& quantityValues(const CoverageGrid& grid, MapQuantity quantity);
/// True when the grid holds values of `quantity`.
inline bool hasQuantity(const CoverageGrid& grid, MapQuantity quantity) {
    return !quantityValues(grid, quantity).empty();
}
/// What a map of a run of `in` shows unless the user says otherwise: the margin with a
/// threshold, else the received power with a power or an ERP, else the loss.
MapQuantity defaultQuantity(const CoverageInputs& in);
/// What a run of `in` lacks to compute `quantity`: "a transmitter power or an ERP", "a
/// receiver threshold", or the empty string when it computes it.
std::string quantityMissing(const CoverageInputs& in, MapQuantity quantity);

/// The cells of one model warning level with one cause.
struct WarningCount {
    int level = 0;
    WarningCause cause = WarningCause::None;
    long long cells = 0;
};

/// The cells with a model warning of `minLevel` or above, by level (highest first) and cause
/// (most cells first). A grid without causes counts every warning as WarningCause::Other.
std::vector<WarningCount> countWarnings(const CoverageGrid& grid, int minLevel);

/// "52 cells with model warning 4: surface refractivity at the path elevation below 250
/// N-units".
std::string warningCountText(const WarningCount& count);

/// Every count's text joined by "; "; empty without warnings.
std::string warningSummary(const CoverageGrid& grid, int minLevel);

} // namespace verdan::coverage
