#pragma once

#include "AreaResults.h"
#include "Prompter.h"
#include "Rgb.h"

#include <QString>
#include <array>
#include <vector>

namespace verdan {

/// The graph's series colours: confidence level i uses colour i (i = 0 .. 3), the
/// free-space line always colour 4.
inline constexpr std::array<Rgb, 5> kSeriesColours{
    {{0, 0, 255}, {0, 150, 0}, {140, 50, 140}, {255, 0, 0}, {130, 130, 210}}};

/// Index of the free-space colour in kSeriesColours.
inline constexpr int kFreeSpaceColour = 4;

/// One line of the results graph: loss (dB) against distance (km).
struct GraphSeries {
    QString name; ///< the legend text ("50.0% Confidence", ..., "Free Space")
    Rgb colour;
    std::vector<double> distKm;
    std::vector<double> lossDb;
};

/// The lines of the graph of `results`, in series order: each active confidence level, then
/// the free-space loss. Empty when `results` holds no normal run.
std::vector<GraphSeries> graphSeries(const AreaResults& results);

/// The loss (dB) of `series` at `distKm` (km): linear between the computed distances, the
/// first or last loss outside them; 0 for a series without points. The distances must rise.
double lossAtDistanceDb(const GraphSeries& series, double distKm);

/// True when the last normal run tabulated at least two distances, so it can be graphed.
bool canShowGraph(const AreaResults& results);

/// The area form's "View Graph" (`mnuGraphView_Click`, also `cmdGraph_Click`): opens the
/// results graph `frmGraph` modally through `prompter`, or, for a run of fewer than two
/// distances, says "Warning: Cannot show graph with less than two points" instead.
void showResultsGraph(const AreaResults& results, Prompter& prompter);

} // namespace verdan
