// The results of a short run for the graph's tests: two confidence levels and free space.
#pragma once

#include "AreaResults.h"

namespace verdan::test {

/// 50 % and 90 % confidence and free space at 10, 20 and 30 km; the 90 % line runs from
/// 130 dB to 150 dB by 1 dB a kilometre.
inline AreaResults twoLevels() {
    AreaResults results;
    results.valid = true;
    results.graphDist = {10, 20, 30};
    results.graphLoss = {{100, 130, 90}, {110, 140, 96}, {115, 150, 99.5}};
    results.graphLastPoint = 2;
    results.graphLastLevel = 1;
    results.graphConfLevels = {50, 90, 0, 0};
    results.graphLabels = QStringList{"50.0% Confidence", "90.0% Confidence", "Free Space"};
    return results;
}

} // namespace verdan::test
