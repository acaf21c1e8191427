// The GLOBE 30-arc-second elevation grid: index "globe.dat", sixteen tiles of 16-bit
// little-endian samples, bilinear interpolation, one tile kept open between requests.
#pragma once

namespace dorvex {

inline constexpr int kGlobeColumns = 43200; // samples around the earth
inline constexpr int kGlobeRows = 21600;    // samples from pole to pole
inline constexpr int kGlobeTileColumns = 10800;
inline constexpr int kGlobePathWidth = 150; // width of the folder argument
inline constexpr float kGlobePolarCapM = 2777.0f;
inline constexpr float kGlobeNoIndex = -1000.0f;

// Elevation in metres, rounded to a whole number, at lonDeg (east positive, any value;
// it is wrapped into 0..360) and latDeg (north positive, -90..90). The folder is the
// first pathLength characters (0..150) of path (150 characters), ending with "/".
// Errors come back as values below -500: -1000 no index "globe.dat" in the folder (also
// for a path length outside 0..150 or a non-finite coordinate), -1000 - t tile t cannot
// be opened, -1100 - t a sample of tile t cannot be read. South of -89.99167 degrees
// the polar cap gives 2777 m without reading a tile.
float GLOBE_ELEVATION(float lonDeg, float latDeg, int pathLength, const char* path);

// Grid position of a point: column 0..43199 and row 0..21599 (counted from the south
// pole) of the sample south-west of the point, and the fractions 0..1 towards the next
// column and row. latDeg is limited to -90..90; lonDeg is wrapped into 0..360.
void GLOBE_INDEX(double latDeg, double lonDeg, int& column, int& row, double& columnFraction,
                 double& rowFraction);

// Tile 1..16 and 1-based sample record of the grid sample (column 0..43199, row 0..21599).
void GLOBE_RECORD(int column, int row, int& tile, int& record);

// Reads sample `record` of tile 1..16 into elevM (metres; the ocean code -500 reads as 0),
// opening the tile from the loaded index if it is not the open one. Returns 0 on success,
// 1 on error with errorValue -1000 - tile (cannot open) or -1100 - tile (cannot read).
int GET_GLOBE_DATA(int tile, int record, float& elevM, int& errorValue);

// Bilinear interpolation between e[0] (south-west), e[1] (north-west), e[2] (north-east)
// and e[3] (south-east): first along the latitude by rowFraction, then along the
// longitude by columnFraction (both 0..1).
double GLOBE_INTERP(double columnFraction, double rowFraction, const float e[4]);

// Closes the open tile; the next request reopens its tile.
void closeGlobeTile();

} // namespace dorvex
