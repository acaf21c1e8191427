// The Quarn topographic cell database: index "TOPO.INF" of 68-byte records, and per
// database a directory (".DDR"), block tables (".DDT") and blocks of 61 x 61 samples
// (".DAT"). TOPGET returns the elevation of one point.
#pragma once

#include <array>
#include <cstdint>

namespace dorvex {

inline constexpr int kQuarnNameWidth = 12;
inline constexpr int kQuarnMaxDirectory = 95;
inline constexpr int kQuarnTableSize = 85;
inline constexpr int kQuarnBlockSamples = 61;
inline constexpr int kQuarnIndexRecordBytes = 68;
inline constexpr int kQuarnTableRecordBytes = 512;
inline constexpr int kQuarnBlockRecordBytes = 4096;
inline constexpr int kQuarnHeaderBytes = 200;

// Names of the databases used, kept by the caller between TOPGET calls (up to 10).
struct QuarnNameList {
    std::array<std::array<char, kQuarnNameWidth>, 10> names{};
    int count = 0;
};

// Elevation of one point.
//   lat, lon    the point, north and east positive, in the unit of unitCode: "R" radians
//               (latitude -pi/2..pi/2, longitude -pi..pi), "D" degrees, "M" arc-minutes,
//               "S" arc-seconds; any other code returns at once with error 0.
//   sampleRule  0 or 3 highest of the four samples, 1 nearest, any other value bilinear.
//   name        12 characters: blank to search TOPO.INF, otherwise the database to use; it
//               is blanked after a read error so that the next call starts over.
//   names       list of database names used (FILCNT).
//   spacingSec  out: latitude spacing of the database, arc-seconds.
//   datum       0 (WGS 84, no conversion); 1..13 are not supported (error 7).
//   errorNumber out: 0 elevation returned; 1 TOPO.INF cannot be opened; 3 a database's
//               files cannot be opened or read; 4 no database contains the point; 5, 6 the
//               named database does not contain the point / does not exist; 7, 8, 9 datum,
//               latitude, longitude invalid; 10 a sample around the point holds no data;
//               11 the block is missing from the database; 12 read error or invalid block;
//               13 no directory entry or no database for the block, or TOPO.INF unreadable.
//   elevM       out: metres; -1 for the reader's failures; untouched when the point lies
//               in the cell that failed last (errors 11 and 13 repeated without reading).
void TOPGET(float lat, float lon, const char unitCode[4], int sampleRule,
            char name[kQuarnNameWidth], QuarnNameList& names, int& spacingSec, int datum,
            int& errorNumber, float& elevM);

// Checks and converts a point (radians) to WGS 84: 0 ok, 1 datum outside 0..13 or not
// supported (only datum 0 is), 2 |lat| > pi/2, 3 |lon| > pi.
int TOPWGS(int datum, float& latRad, float& lonRad);

// Block width in arc-minutes for latitude spacing spacingSec (3, 6, 12, 15, 30) at
// latitude latSec (arc-seconds, either sign); 0 for another spacing or |lat| >= 91 deg.
int QRNSPC(int spacingSec, int latSec);

// Searches TOPO.INF from record `firstRecord` (1-based) for a "D" or "B" database whose
// area contains the point (arc-seconds) and opens it: 0 found, 1 index cannot be opened,
// 2 index read error or unreadable directory, 3 database files cannot be opened or read,
// 4 no database contains the point.
int TOPFND(float latSec, float lonSec, int firstRecord);

// Opens the database named by the first characters of name (up to the first blank) from
// TOPO.INF: 0 opened, 1 index cannot be opened, 2 read error, 3 files cannot be opened,
// 4 the database does not contain the point, 5 no such database.
int NAMFND(const char name[kQuarnNameWidth], float latSec, float lonSec);

// Opens the files of database `baseName` (record `drive` for default locations): 0 opened,
// 2 directory read error, 3 a file cannot be opened or its first block read.
int QRNOPN(const char* baseName, int drive);

// Elevation at the point (arc-seconds) from the open database: 0 ok, 1 a sample is
// missing, 2 block not in its table, 3 read error or invalid block, 4 no directory entry.
int QRNELV(float latSec, float lonSec, int sampleRule, float& elevM);

// After a missing block (QRNELV result `failed`, 2 or 4) tries the other databases of
// TOPO.INF that contain the point; returns the last QRNELV result (`failed` when no other
// database contains the point), or 5 when no database contains it.
int RECOVR(float latSec, float lonSec, int sampleRule, int failed, float& elevM);

// Adds a non-blank name to the list of names used (at most 10, no duplicates).
void FILCNT(const char name[kQuarnNameWidth], QuarnNameList& names);

// Closes the open database and empties its caches.
void closeQuarnDatabase();

} // namespace dorvex
