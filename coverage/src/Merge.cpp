#include <verdan/coverage/CoverageOutput.h>

#include "GdalRaster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace verdan::coverage {

namespace {

// Whether two edges are a whole number of cells apart.
bool linedUp(double a, double b, double cellDeg) {
    const double cells = (b - a) / cellDeg;
    return std::fabs(cells - std::round(cells)) < 1e-6;
}

long long cellsBetween(double from, double to, double cellDeg) {
    return std::llround((to - from) / cellDeg);
}

} // namespace

Status detail::mosaicLayout(const std::vector<std::string>& paths, CoverageGrid& mosaic) {
    std::vector<CoverageGrid> layouts(paths.size());
    std::vector<const CoverageGrid*> grids;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (Status s = detail::readLossRaster(paths[i], layouts[i], false); !s.ok)
            return s;
        grids.push_back(&layouts[i]);
    }
    return mosaicLayout(grids, paths, mosaic);
}

Status detail::mosaicLayout(const std::vector<const CoverageGrid*>& grids,
                            const std::vector<std::string>& names, CoverageGrid& mosaic) {
    const CoverageGrid& first = *grids[0];
    const double cellDeg = first.cellDeg;
    double west = first.westLonDeg;
    double north = first.northLatDeg;
    double east = west;
    double south = north;
    for (std::size_t i = 0; i < grids.size(); ++i) {
        const CoverageGrid& g = *grids[i];
        if (std::fabs(g.cellDeg - cellDeg) > 1e-9 * cellDeg ||
            !linedUp(first.westLonDeg, g.westLonDeg, cellDeg) ||
            !linedUp(first.northLatDeg, g.northLatDeg, cellDeg))
            return Status::failure(names[i] + ": its cells do not line up with those of " +
                                   names[0] + " (maps of one resolution expected)");
        west = std::min(west, g.westLonDeg);
        north = std::max(north, g.northLatDeg);
        east = std::max(east, g.westLonDeg + g.columns * cellDeg);
        south = std::min(south, g.northLatDeg - g.rows * cellDeg);
    }
    // Sizes in floating point first: maps far apart span more cells than an int holds.
    const double columns = std::round((east - west) / cellDeg);
    const double rows = std::round((north - south) / cellDeg);
    if (!(columns * rows <= static_cast<double>(MaxCells)))
        return Status::failure("The merged map would span more than " + std::to_string(MaxCells) +
                               " cells, the most allowed");
    mosaic.cellDeg = cellDeg;
    mosaic.westLonDeg = west;
    mosaic.northLatDeg = north;
    mosaic.columns = static_cast<int>(columns);
    mosaic.rows = static_cast<int>(rows);
    return Status::success();
}

bool detail::placeInMosaic(const CoverageGrid& mosaic, const CoverageGrid& input,
                           long long& column0, long long& row0) {
    column0 = cellsBetween(mosaic.westLonDeg, input.westLonDeg, mosaic.cellDeg);
    row0 = cellsBetween(input.northLatDeg, mosaic.northLatDeg, mosaic.cellDeg);
    return column0 >= 0 && row0 >= 0 && column0 + input.columns <= mosaic.columns &&
           row0 + input.rows <= mosaic.rows;
}

namespace {

// Takes the cells of `input` (number `number`, 1-based) that beat the mosaic's.
Status mergeInto(const std::string& path, float number, CoverageGrid& mosaic,
                 std::vector<float>& winner) {
    CoverageGrid input;
    if (Status s = detail::readLossRaster(path, input, true); !s.ok)
        return s;
    long long column0 = 0;
    long long row0 = 0;
    if (!detail::placeInMosaic(mosaic, input, column0, row0))
        return Status::failure(path + ": changed while the maps were merged");
    for (int r = 0; r < input.rows; ++r) {
        for (int c = 0; c < input.columns; ++c) {
            const float lossDb = input.lossDb[static_cast<std::size_t>(r) * input.columns + c];
            const std::size_t at =
                static_cast<std::size_t>(row0 + r) * mosaic.columns + (column0 + c);
            if (!std::isnan(lossDb) && !(lossDb >= mosaic.lossDb[at])) {
                mosaic.lossDb[at] = lossDb;
                winner[at] = number;
            }
        }
    }
    return Status::success();
}

} // namespace

Status mergeBestServer(const std::vector<std::string>& inputPaths, const std::string& outPath,
                       const std::atomic<bool>* cancel) {
    if (inputPaths.empty())
        return Status::failure("No coverage maps to merge");
    CoverageGrid mosaic;
    if (Status s = detail::mosaicLayout(inputPaths, mosaic); !s.ok)
        return s;
    const auto cells = static_cast<std::size_t>(mosaic.cellCount());
    mosaic.lossDb.assign(cells, std::numeric_limits<float>::quiet_NaN());
    std::vector<float> winner(cells, std::numeric_limits<float>::quiet_NaN());
    for (std::size_t i = 0; i < inputPaths.size(); ++i)
        if (Status s = mergeInto(inputPaths[i], static_cast<float>(i + 1), mosaic, winner); !s.ok)
            return s;
    const std::vector<detail::FloatBand> bands{
        {&mosaic.lossDb, "basic transmission loss of the best server", "dB"},
        {&winner, "best server: 1-based number of the input map", ""}};
    files::OutputSet set;
    set.add(outPath, [&](const files::TemporaryFile& file) {
        const Status written =
            detail::writeFloatGeoTiff(file.path, mosaic, bands, detail::MergedMapKind, cancel);
        return detail::reasonOf(written, file.path);
    });
    return statusOf(set.publish(cancel));
}

} // namespace verdan::coverage
