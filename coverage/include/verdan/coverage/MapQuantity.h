// What a coverage map shows: the quantity coloured, its name and unit, and the model's
// warnings in words. Every legend (the window's, the PNG's, the KML's) takes its texts here.
#pragma once

#include <verdan/coverage/Coverage.h>

#include <string>
#include <vector>

namespace verdan::coverage {

/// The quantity a coverage map colours.
enum class MapQuantity {
    LossDb,     ///< basic transmission loss, dB (lower is better)
    FieldDbuvm, ///< field strength, dBµV/m (higher is better; needs an ERP)
};

/// "Basic transmission loss", "Field strength".
std::string quantityName(MapQuantity quantity);
/// "dB", "dBµV/m" (UTF-8).
std::string quantityUnit(MapQuantity quantity);
/// "Basic transmission loss (dB)".
std::string quantityTitle(MapQuantity quantity);
/// True when a higher value means better reception.
bool higherIsBetter(MapQuantity quantity);
/// The grid's values of `quantity` (empty when the run did not compute it).
const std::vector<float>& quantityValues(const CoverageGrid& grid, MapQuantity quantity);

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
