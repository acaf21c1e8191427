#include "globe.h"

#include "files.h"
#include "state.h"

#include <cmath>
#include <fstream>
#include <string>

namespace dorvex {

namespace {

constexpr int kIndexLines = 17; // a title line, then one tile name per line
constexpr int kTileNameWidth = 4;
constexpr float kPolarCapLatDeg = -89.99167f;
constexpr int kOceanCode = -500;

// Reads the tile names of "globe.dat" in `folder`; false when the file cannot be opened or
// holds fewer than 17 lines (a short index would leave tiles without names).
bool loadIndex(GlobeState& globe, const std::string& folder) {
    // Only a regular file: a FIFO or device would block or never end.
    const std::string indexPath = findNoCase(hostPath(folder + "globe.dat"));
    if (!fileExistsNoCase(indexPath)) {
        return false;
    }
    std::ifstream index(indexPath);
    if (!index) {
        return false;
    }
    std::string line;
    std::array<std::string, 16> names;
    for (int i = 0; i < kIndexLines; ++i) {
        if (!std::getline(index, line)) {
            return false;
        }
        if (i > 0) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            names[static_cast<std::size_t>(i - 1)] =
                std::string(trimRight(std::string_view(line).substr(0, kTileNameWidth)));
        }
    }
    globe.tile.close();
    globe.tileOpen = 0;
    globe.tileNames = names;
    globe.indexFolder = folder;
    globe.indexLoaded = true;
    return true;
}

} // namespace

float GLOBE_ELEVATION(float lonDeg, float latDeg, int pathLength, const char* path) {
    GlobeState& globe = state().globe;
    if (pathLength < 0 || pathLength > kGlobePathWidth || !path) {
        return kGlobeNoIndex;
    }
    const std::string folder(path, static_cast<std::size_t>(pathLength));
    if (!globe.indexLoaded || folder != globe.indexFolder) {
        globe.indexLoaded = false;
        if (!loadIndex(globe, folder)) {
            return kGlobeNoIndex;
        }
    }
    if (!std::isfinite(lonDeg) || !std::isfinite(latDeg)) {
        return kGlobeNoIndex;
    }
    if (latDeg < kPolarCapLatDeg) {
        return kGlobePolarCapM;
    }
    int column = 0;
    int row = 0;
    double fx = 0;
    double fy = 0;
    GLOBE_INDEX(latDeg, lonDeg, column, row, fx, fy);
    const int rowNorth = row + 1 < kGlobeRows ? row + 1 : kGlobeRows - 1;
    const int columnEast = column + 1 < kGlobeColumns ? column + 1 : 0;
    const int positions[4][2] = {
        {column, row}, {column, rowNorth}, {columnEast, rowNorth}, {columnEast, row}};
    float samples[4];
    for (int i = 0; i < 4; ++i) {
        int tile = 0;
        int record = 0;
        int errorValue = 0;
        GLOBE_RECORD(positions[i][0], positions[i][1], tile, record);
        if (GET_GLOBE_DATA(tile, record, samples[i], errorValue) != 0) {
            return static_cast<float>(errorValue);
        }
    }
    return static_cast<float>(std::round(GLOBE_INTERP(fx, fy, samples)));
}

void GLOBE_INDEX(double latDeg, double lonDeg, int& column, int& row, double& columnFraction,
                 double& rowFraction) {
    const double lat = std::fmin(90.0, std::fmax(-90.0, latDeg));
    const double y = (lat + 90.0) * 120.0 - 0.5;
    row = static_cast<int>(y);
    rowFraction = y - row;
    if (rowFraction < 0.0) {
        row = 0;
        rowFraction = 0.0;
    }
    double lon = std::fmod(lonDeg, 360.0);
    if (lon < 0.0) {
        lon += 360.0;
    }
    double x = lon < 180.0 ? (lon + 180.0) * 120.0 - 0.5 : (lon - 180.0) * 120.0 - 0.5;
    if (x < 0.0) {
        x += kGlobeColumns;
    }
    column = static_cast<int>(x);
    if (column >= kGlobeColumns) {
        column = kGlobeColumns - 1;
    }
    columnFraction = x - column;
}

void GLOBE_RECORD(int column, int row, int& tile, int& record) {
    int band = 0;
    int rowInTile = 0;
    if (row >= 16800) {
        band = 0;
        rowInTile = 21600 - row;
    } else if (row >= 10800) {
        band = 1;
        rowInTile = 16800 - row;
    } else if (row >= 4800) {
        band = 2;
        rowInTile = 10800 - row;
    } else {
        band = 3;
        rowInTile = 4800 - row;
    }
    tile = band * 4 + column / kGlobeTileColumns + 1;
    record = (rowInTile - 1) * kGlobeTileColumns + column % kGlobeTileColumns + 1;
}

int GET_GLOBE_DATA(int tile, int record, float& elevM, int& errorValue) {
    GlobeState& globe = state().globe;
    if (tile < 1 || tile > 16) {
        errorValue = -1000 - tile;
        return 1;
    }
    if (!globe.tile.isOpen() || globe.tileOpen != tile) {
        globe.tile.close();
        globe.tileOpen = 0;
        const std::string& name = globe.tileNames[static_cast<std::size_t>(tile - 1)];
        if (name.empty() || !globe.tile.open(hostPath(globe.indexFolder + name))) {
            errorValue = -1000 - tile;
            return 1;
        }
        globe.tileOpen = tile;
    }
    const std::size_t offset = (static_cast<std::size_t>(record) - 1) * 2;
    unsigned char bytes[2];
    if (record < 1 || !globe.tile.read(offset, bytes, sizeof bytes)) {
        errorValue = -1100 - tile;
        return 1;
    }
    const int value = readInt16(bytes);
    elevM = static_cast<float>(value == kOceanCode ? 0 : value);
    return 0;
}

double GLOBE_INTERP(double columnFraction, double rowFraction, const float e[4]) {
    const double west = e[0] + (e[1] - e[0]) * rowFraction;
    const double east = e[3] + (e[2] - e[3]) * rowFraction;
    return west + (east - west) * columnFraction;
}

void closeGlobeTile() {
    GlobeState& globe = state().globe;
    globe.tile.close();
}

} // namespace dorvex
