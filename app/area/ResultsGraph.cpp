#include "ResultsGraph.h"

#include "FrmGraphModel.h"

#include <algorithm>

namespace verdan {

double lossAtDistanceDb(const GraphSeries& series, double distKm) {
    const std::vector<double>& d = series.distKm;
    const std::size_t n = std::min(d.size(), series.lossDb.size());
    if (n == 0)
        return 0;
    const auto end = d.begin() + static_cast<std::ptrdiff_t>(n);
    const std::size_t upper =
        static_cast<std::size_t>(std::upper_bound(d.begin(), end, distKm) - d.begin());
    if (upper == 0)
        return series.lossDb.front();
    if (upper == n)
        return series.lossDb[n - 1];
    const double share = (distKm - d[upper - 1]) / (d[upper] - d[upper - 1]);
    return series.lossDb[upper - 1] + share * (series.lossDb[upper] - series.lossDb[upper - 1]);
}

std::vector<GraphSeries> graphSeries(const AreaResults& results) {
    std::vector<GraphSeries> lines;
    if (!results.valid)
        return lines;
    const std::size_t rows = std::min<std::size_t>(
        results.graphDist.size(), static_cast<std::size_t>(results.graphLastPoint + 1));
    const int freeSpace = results.graphLastLevel + 1;
    for (int i = 0; i <= freeSpace; ++i) {
        GraphSeries line;
        line.name = results.graphLabels.value(i);
        line.colour = kSeriesColours[static_cast<std::size_t>(
            i == freeSpace ? kFreeSpaceColour : std::min(i, kFreeSpaceColour - 1))];
        for (std::size_t row = 0; row < rows && row < results.graphLoss.size(); ++row) {
            const std::vector<double>& losses = results.graphLoss[row];
            if (static_cast<std::size_t>(i) >= losses.size())
                break;
            line.distKm.push_back(results.graphDist[row]);
            line.lossDb.push_back(losses[static_cast<std::size_t>(i)]);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

bool canShowGraph(const AreaResults& results) {
    return results.valid && results.graphLastPoint >= 1 && results.graphDist.size() >= 2;
}

void showResultsGraph(const AreaResults& results, Prompter& prompter) {
    if (!canShowGraph(results)) {
        inform(prompter, QStringLiteral("Warning: Cannot show graph with less than two points"),
               QStringLiteral("Results Graph"), MsgIcon::Warning);
        return;
    }
    FrmGraphModel graph(results, prompter);
    graph.Form_Load();
    prompter.runModal(graph);
}

} // namespace verdan
