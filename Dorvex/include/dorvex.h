/* Dorvex terrain library: elevation profiles from the GLOBE and Quarn databases.
 *
 * Every argument is passed by address except the character widths, which are passed by
 * value. Character arguments are fixed-width byte strings padded with blanks, without a
 * terminating zero. Arrays are float vectors; the library fills them from index 0.
 * The library keeps state between calls (open GLOBE tile, index, Quarn database) and is
 * not thread-safe: calls must not overlap. It never shows anything and never ends the
 * host process; failures come back through the status and error-number arguments. */
#ifndef DORVEX_H
#define DORVEX_H

#include <stdint.h>

#if defined(__GNUC__)
#define DORVEX_API __attribute__((visibility("default")))
#else
#define DORVEX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Samples the terrain between two points.
 *   lat1, lon1, lat2, lon2  end points in radians, north and east positive; latitudes
 *                           within [-pi/2, pi/2], longitudes within [-pi, pi].
 *   pathLength      GLOBE: number of significant characters of dataPath, rounded to the
 *                   nearest integer, 0..150 (a larger value finds no index: -1000).
 *   dataPath        150 characters. GLOBE: folder of "globe.dat" and the tiles, ending
 *                   with "/"; a Windows drive-letter folder ("C:\Globe\") maps through
 *                   the drive map. Quarn: the first 12 characters name a database, all
 *                   blanks let the library search its index "TOPO.INF".
 *   dataPathWidth   ignored.
 *   fill            Quarn: elevation in metres stored where the database has no data.
 *   pointCount      GLOBE: exact number of points, at least 2. Quarn: largest number of
 *                   points (the step is near 450 m, at least 3 points).
 *   distances       out: distance of each point from point 1, metres (pointCount floats).
 *   elevations      out: elevation of each point, metres. GLOBE uses it as work area of
 *                   pointCount + 2 floats.
 *   pointsReturned  out: number of points in distances and elevations.
 *   status          out: 0 success, -1 failure.
 *   errorNumber     GLOBE out: 1 complete, -1000 no "globe.dat", -1000 - t tile t cannot
 *                   be opened, -1100 - t tile t cannot be read, 0 fewer than 2 points.
 *                   Quarn in: 1..24 picks the drive C..Z of the default index location
 *                   (any other value: C). Quarn out: topographic error of the last point,
 *                   0 none (see QuarnErrMsg and the program's error texts).
 *   source          0 Quarn, 1 GLOBE; any other value gives status -1 and writes nothing
 *                   else. */
DORVEX_API void THandler(float* lat1, float* lon1, float* lat2, float* lon2, float* pathLength,
                         char* dataPath, int32_t dataPathWidth, float* fill, int32_t* pointCount,
                         float* distances, float* elevations, int32_t* pointsReturned,
                         int32_t* status, int32_t* errorNumber, int32_t* source);

/* Closes the GLOBE tile kept open between calls; the next GLOBE request reopens it. */
DORVEX_API void CloseGlobe(void);

/* Writes the 23-character, blank-padded text of a GLOBE error number into text
 * (no terminating zero). width is ignored except that a width from 1 to 22 limits the
 * number of characters written. */
DORVEX_API void GlobeErrMsg(char* text, int32_t width, int32_t* number);

/* Writes the 52-character, blank-padded text of a Quarn error number into text
 * (no terminating zero). A number below 0 or above 13 is set to 15. width is ignored
 * except that a width from 1 to 51 limits the number of characters written. */
DORVEX_API void QuarnErrMsg(char* text, int32_t width, int32_t* number);

#ifdef __cplusplus
}
#endif

#endif /* DORVEX_H */
