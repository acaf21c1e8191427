// The library's state between calls: open GLOBE tile and index, data paths and debug log
// settings, the open Quarn database, the great-circle scratch block and the Quarn step.
// Everything lives in one LibraryState object; calls must not overlap.
#pragma once

#include "files.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace dorvex {

// Marks a block cache that holds no block or block table.
inline constexpr int kNoBlock = 11111;
// Marks "no failing cell".
inline constexpr int kNoCell = 999999;

struct GlobeState {
    bool indexLoaded = false;
    std::string indexFolder;               // folder text the index was read from
    std::array<std::string, 16> tileNames; // tile file names from the index
    BlockCachedFile tile;                  // the open tile, if any
    int tileOpen = 0;                      // number of the tile last opened, 0 none
};

struct PathState {
    bool known = false;  // the search of GETPATH has run
    std::string infPath; // folder of TOPO.INF as found (environment or file)
    std::string datPath; // folder of the database files as found
    int pathSource = 0;  // 0 default locations, 1 environment, 2 initialisation file
    bool logAvailable = false;
    bool pathLogging = false;
};

struct QuarnDirectoryEntry {
    int16_t lat1, lon1, lat2, lon2; // first and last block, arc-minutes
};

struct QuarnState {
    bool firstCall = true;
    int failLatDeg = kNoCell; // last failing cell, whole degrees
    int failLonDeg = kNoCell;
    int failCode = 0;
    int indexRecord = 0; // record of TOPO.INF last found (1-based), 0 none
    int indexDrive = 1;  // drive of the default index location, 1 = C .. 24 = Z

    bool open = false;  // a database is open
    std::string dbName; // base name of the open database
    int dbDrive = 0;    // drive of its index record
    std::vector<QuarnDirectoryEntry> directory;
    ReadFile ddt;
    ReadFile dat;
    int spacingSec = 0; // latitude spacing of the database, arc-seconds

    int tableEntry = kNoBlock; // directory entry (0-based) of the block table held
    std::array<int16_t, 85> tableLat{};
    std::array<int16_t, 85> tableLon{};
    std::array<int16_t, 85> tableRecord{};

    int blockLat = kNoBlock; // block held, arc-minutes
    int blockLon = kNoBlock;
    std::array<unsigned char, 4096> block{};
};

// Values exchanged between the GLOBE sampler and DAZEL. Degrees, kilometres.
struct DazelBlock {
    float lat1 = 0, lon1 = 0, elev1 = 0;
    float lat2 = 0, lon2 = 0, elev2 = 0;
    float az12 = 0, az21 = 0; // degrees clockwise from north, 0..360
    float distKm = 0;         // great-circle distance
};

struct LibraryState {
    GlobeState globe;
    PathState paths;
    QuarnState quarn;
    DazelBlock dazel;
    float quarnSpacingM = 0; // Quarn sample step, fixed at the first Quarn request
};

// The library's single state object.
LibraryState& state();

// Closes every file and returns the state to that of a freshly loaded library.
void resetLibraryState();

} // namespace dorvex
