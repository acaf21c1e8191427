#pragma once

#include <QString>
#include <vector>

namespace verdan {

/// Largest number of points a profile file may hold.
inline constexpr int MaxProfileFilePoints = 50000;

/// The least spacing between profile points, metres: closer points make a path shorter than
/// the wavelength, where the model's losses mean nothing (a spacing of 1e-300 m gave -5,992 dB).
inline constexpr double MinProfileSpacingM = 1;

/// Reads a terrain profile written in the model's layout: the number of intervals, the
/// spacing between points in metres, then the elevations in metres, transmitter first;
/// numbers separated by commas, blanks, tabs or line ends, read in the C locale.
///
/// On success `pfl` holds the profile (size = intervals + 3) and true is returned. A text
/// with fewer than four numbers, a value that is not a finite number, an interval count that
/// is not a whole number of at least 1 or disagrees with the number of elevations, a spacing
/// below MinProfileSpacingM, an elevation outside terrain::LowestElevationM..HighestElevationM,
/// or more than MaxProfileFilePoints points is refused: false, `error` names the problem (and
/// the line of a value at fault) and `pfl` is left as it was.
bool parseProfileText(const QString& text, std::vector<double>& pfl, QString& error);

/// As parseProfileText() for the file at `path`; a file that cannot be read is refused too.
bool readProfileFile(const QString& path, std::vector<double>& pfl, QString& error);

/// The profile `pfl` (model layout) as text: the interval count and the spacing on the first
/// line, then the elevations, ten to a line, comma-separated, each line ended by a line feed.
/// Numbers are written in the general number format.
QString profileText(const std::vector<double>& pfl);

/// Writes profileText(pfl) to `path` through a temporary file and a rename, so a failed
/// write leaves a previous file untouched. Returns false with the reason in `error`.
bool writeProfileFile(const QString& path, const std::vector<double>& pfl, QString& error);

} // namespace verdan
