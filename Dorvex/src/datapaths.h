// Where the Quarn database lies (environment variables or the initialisation files
// "Gravlen.INI" and "BRASK.INI" shared with sibling tools) and the optional debug log
// "DEBUG.LOG" in the working directory.
#pragma once

#include <string_view>

namespace dorvex {

// Longest information path and data path the library keeps, in characters.
inline constexpr std::size_t kInfPathWidth = 247;
inline constexpr std::size_t kDatPathWidth = 245;
// Longest line read from an initialisation file, in characters.
inline constexpr std::size_t kIniLineWidth = 261;

// Debug log messages. The path-search messages (3..25) are written only when the first
// line of DEBUG.LOG starts with "PATH"; the header and cell messages whenever the log
// exists.
enum LogCode : int {
    kLogHeader = 1,
    kLogInfEnvInvalid = 3,
    kLogInfEnvFound = 4,
    kLogDatEnvInvalid = 5,
    kLogDatEnvFound = 6,
    kLogWindirMissing = 7,
    kLogWindirFound = 8,
    kLogBraskNotInWindir = 9,
    kLogBraskNotInWindows = 11,
    kLogBraskNotFound = 12,
    kLogBraskInfInvalid = 13,
    kLogIniInfFound = 14,
    kLogBraskDatInvalid = 15,
    kLogBraskDatFound = 16,
    kLogGravlenNotInWindir = 18,
    kLogGravlenNotInWindows = 19,
    kLogGravlenNotFound = 20,
    kLogGravlenInfInvalid = 21,
    kLogGravlenDatInvalid = 22,
    kLogGravlenDatFound = 23,
    kLogDefaultPaths = 25,
    kLogCellMissingData = 30, // a cell without data (block or directory entry missing)
    kLogCellNotInIndex = 31,  // a cell that no database of TOPO.INF covers
};

// Writes the line of `code` to DEBUG.LOG. `path` is the value printed by the path
// messages; cellLatDeg and cellLonDeg (whole degrees) by the cell messages. Code 1 first
// reads the log's first line to decide whether path messages are wanted. A log that
// cannot be opened for appending is marked unavailable.
void DBGLOG(int code, std::string_view path = {}, int cellLatDeg = 0, int cellLonDeg = 0);

// Finds the information path (folder of "TOPO.INF") and the data path and sets the path
// source in the library state: 1 environment variables, 2 initialisation file, 0 default
// locations. Paths found end with "/".
void GETPATH();

} // namespace dorvex
