#pragma once

#include "Rgb.h"

#include <verdan/coverage/MapStyle.h>

#include <QString>
#include <QStringList>
#include <vector>

namespace verdan {

/// The quantity a coverage map colours: the basic transmission loss (dB), the received power
/// (dBm), the field strength (dBµV/m) or the margin over a threshold (dB).
using MapQuantity = coverage::MapQuantity;

/// At most this many colour levels on a map.
inline constexpr int MaxMapLevels = 8;

/// The colour scale of a coverage map: levels from the best reception to the worst. A loss
/// map's levels ascend (a cell takes the first level its loss does not exceed); a field
/// strength map's levels descend (a cell takes the first level its field reaches). Cells
/// beyond the last level, and cells without a value, are not coloured. Cells with a model
/// warning keep their colour and are hatched, unless the hatch is switched off.
class MapColours {
public:
    MapColours(MapQuantity quantity, std::vector<double> levels, bool hatchWarnings = true);

    MapQuantity quantity() const { return m_quantity; }
    const std::vector<double>& levels() const { return m_levels; }
    /// The band of `value` (dB or dBµV/m): 0 for the best, -1 when it is not coloured.
    int bandOf(double value) const;
    /// The colour of band 0 .. levels().size() - 1.
    static Rgb bandColour(int band);
    /// The lowest model warning that is marked: 3 (a combination out of range) and 4
    /// (parameters out of range) make the result doubtful.
    static constexpr int WarningLevel = 3;
    /// A cell with the model's warning `kwx` is marked as doubtful; a cell without a result
    /// (coverage::CellWithoutResult) is not.
    static bool marksWarning(int kwx) {
        return kwx >= WarningLevel && kwx != coverage::CellWithoutResult;
    }
    /// Whether marked cells are hatched.
    bool hatchWarnings() const { return m_hatchWarnings; }
    /// "dB" or "dBµV/m", as every legend of the map says it.
    QString unit() const;
    /// The legend's title, e.g. "Basic transmission loss (dB)".
    QString title() const;
    /// One legend line per band: "<= 110 dB", "110 - 120 dB", ... (">= 60 dBµV/m" for field).
    QStringList legendLabels() const;

private:
    MapQuantity m_quantity;
    std::vector<double> m_levels;
    bool m_hatchWarnings;
};

/// The levels a new map of `quantity` starts with (coverage::defaultLevels()), e.g.
/// "110,120,130,140,150,160" dB for loss.
QString defaultLevelsText(MapQuantity quantity);

/// Reads comma-separated levels (C locale) into `levels`, sorted best first and without
/// repetitions. False, with `levels` unchanged, unless the text holds 1..MaxMapLevels numbers
/// within -100..400.
bool parseLevels(const QString& text, MapQuantity quantity, std::vector<double>& levels);

/// The levels as the field shows them: "110,120,130".
QString levelsText(const std::vector<double>& levels);

} // namespace verdan
