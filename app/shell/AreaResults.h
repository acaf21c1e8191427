#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace verdan {

/// The table of the last normal area run, kept for the graph and the archive. An inverse run
/// leaves it alone.
struct AreaResults {
    bool valid = false;                         ///< a normal run has produced it
    std::vector<double> graphDist;              ///< km, one per row
    std::vector<std::vector<double>> graphLoss; ///< [row][series]: levels, then free space (dB)
    int graphLastPoint = -1;                    ///< rows - 1
    int graphLastLevel = 0;                     ///< index of the last active level
    QStringList graphLabels;                    ///< "50.0% Confidence", ..., "Free Space"
    std::array<double, 4> graphConfLevels{};    ///< all four levels, active or not, percent
    QString graphTitle1;
    QString graphTitle2;
    QString archiveParameters; ///< the archive's parameter summary, from the run's own numbers
    QString archiveGround;     ///< the archive's ground and frequency summary of the run
};

} // namespace verdan
