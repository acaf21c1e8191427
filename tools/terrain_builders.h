// Writers of terrain databases for tests and demonstrations: a GLOBE folder (index
// "globe.dat" and sixteen full-size tiles, sparse where no sample is written) and a Quarn
// database (index "TOPO.INF" and the ".DDR", ".DDT" and ".DAT" files of each database),
// both filled from an elevation function.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace verdan::terrain {

// Elevation in metres at (latDeg, lonDeg), degrees, north and east positive. For Quarn
// databases a NaN result leaves the sample without data.
using ElevationFn = std::function<double(double latDeg, double lonDeg)>;

// An area in degrees; west < east, both within -180..180.
struct GeoBox {
    double southDeg;
    double westDeg;
    double northDeg;
    double eastDeg;
};

struct GlobeFolderOptions {
    // Names of tiles 1..16 as written to the index and used for the files.
    std::array<std::string, 16> tileNames{"a10g", "b10g", "c10g", "d10g", "e10g", "f10g",
                                          "g10g", "h10g", "i10g", "j10g", "k10g", "l10g",
                                          "m10g", "n10g", "o10g", "p10g"};
    std::string titleLine = "GLOBE tile index";
};

// Writes "globe.dat" and the sixteen tiles into `folder` (created if missing, ending with
// "/"). Every tile has its full size (10800 columns, 4800 or 6000 rows of 16-bit
// little-endian samples); only the samples whose centres lie in one of `boxes` are
// written, with fn rounded to whole metres (clamped to the 16-bit range); all others read
// as 0 and cost no disk. Returns false with a message in *error on an I/O failure.
bool writeGlobeFolder(const std::string& folder, const ElevationFn& fn,
                      const std::vector<GeoBox>& boxes, std::string* error,
                      const GlobeFolderOptions& options = {});

// Latitude and longitude of the centre of GLOBE sample (column 0..43199, row 0..21599
// counted from the south pole), degrees.
double globeSampleLatDeg(int row);
double globeSampleLonDeg(int column);

// One record of "TOPO.INF".
struct QuarnIndexEntry {
    std::string name; // up to 6 characters
    int southMin = 0; // area in arc-minutes: south <= lat < north, west <= lon < east
    int westMin = 0;
    int northMin = 0;
    int eastMin = 0;
    int32_t spacingSec = 3;
    char type = 'D';
    int32_t drive = 1; // 1 = C .. 24 = Z
};

// Writes the 68-byte records of "TOPO.INF" to `path`.
bool writeQuarnIndex(const std::string& path, const std::vector<QuarnIndexEntry>& entries,
                     std::string* error);

// One Quarn database: its area (whole blocks), latitude spacing and sample scaling.
struct QuarnDatabaseLayout {
    std::string name;   // base name of the three files
    int spacingSec = 3; // 3, 6, 12, 15 or 30
    int southMin = 0;   // area in arc-minutes, multiples of the block size
    int westMin = 0;
    int northMin = 0;
    int eastMin = 0;
    int16_t scale = 1; // elevation = scale * sample + offset, sample 1..255
    int16_t offset = 0;
    // Blocks (latitude, longitude of their south-west corners, arc-minutes) left out of
    // the database: they have no table entry and no record.
    std::vector<std::pair<int, int>> missingBlocks;
};

// Block width in arc-minutes for a latitude spacing at a latitude (arc-seconds).
int quarnBlockWidthMin(int spacingSec, int latSec);

// Writes `folder`NAME.DDR, NAME.DDT and NAME.DAT for `layout`, samples from fn. Directory
// entries group up to 85 blocks each. Returns false with a message in *error on failure.
bool writeQuarnDatabase(const std::string& folder, const QuarnDatabaseLayout& layout,
                        const ElevationFn& fn, std::string* error);

// Sample value (1..255, 0 for no data) stored for an elevation with `layout`'s scaling.
int quarnSampleValue(const QuarnDatabaseLayout& layout, double elevM);

} // namespace verdan::terrain
