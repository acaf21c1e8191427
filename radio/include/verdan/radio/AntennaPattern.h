// Antenna radiation patterns: the Planet/MSI text format that antenna makers publish, and the
// gain of a pointed antenna in any direction. Plain C++, no Qt.
//
// The file format (".msi", ".pln"): keyword lines, then two blocks of 360 rows "angle
// attenuation" at whole degrees.
//
//     742215 panel 65deg          (optional first line: the name, with or without NAME)
//     MAKE Some maker
//     FREQUENCY 1855              (MHz)
//     GAIN 15.85 dBd              (dBd when no unit is given; dBi or dBd may follow)
//     TILT 2                      (electrical downtilt in degrees; TILT ELECTRICAL also seen)
//     HORIZONTAL 360
//     0 0.0
//     ...
//     VERTICAL 360
//     0 0.9
//     ...
//
// Keywords in any letter case, unknown keywords (vendor additions such as H_WIDTH, COMMENT or
// POLARIZATION) ignored, CRLF line ends, tabs and blank lines accepted. Attenuations are dB
// below the peak gain and may be written with or without a minus sign.
//
// Angles of the two cuts: horizontal from the boresight, clockwise seen from above (as
// bearings); vertical from the horizon in front of the antenna, downward: 90 straight down,
// 180 the horizon behind, 270 straight up. The vertical cut lies in the plane of the
// boresight. Both cuts are taken as the maker measured them, the electrical downtilt
// included: the file's TILT is reported, never applied a second time.
//
// The 3-D gain from the two cuts ("cross-section sum, blended front to back"): for a
// direction at azimuth phi from the boresight (-180..180) and elevation e in the antenna's
// own frame, with w = |phi| / 180,
//
//     A(phi, e) = (1 - w) V(front(e)) + w V(back(e)) + H(phi) - (1 - w) H(0) - w H(180)
//
// where H and V are the horizontal and vertical attenuations, interpolated linearly between
// the 1-degree samples, front(e) = -e and back(e) = 180 + e. The result is held at 0 dB or
// more. Along the boresight's vertical plane it is the vertical cut itself (w = 0 in front,
// 1 behind), on the horizon it is the horizontal cut (when the two cuts agree at 0 and 180
// degrees, as a measured pair does), its peak is the file's peak, it is continuous all round
// and it needs two table look-ups per direction, which a coverage map of millions of cells
// can afford. The shape of the horizontal cut is carried to every elevation, so sidelobes
// off the boresight plane are approximate, as with every method built from two cuts.
//
// A mechanical downtilt turns the whole antenna about its horizontal axis across the
// boresight: the beam goes down in front and the back lobe up behind, and directions at 90
// degrees to the side keep their elevation.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace verdan::radio {

/// A dipole's gain over an isotropic antenna, dB (dBi = dBd + 2.15).
inline constexpr double DipoleGainDbi = 2.15;

/// An antenna pattern as read from a Planet/MSI file.
struct AntennaPattern {
    std::string name;             ///< the file's name line, possibly empty
    std::string make;             ///< MAKE, possibly empty
    double freqMHz = 0;           ///< FREQUENCY, 0 when absent
    double gainDbi = 0;           ///< peak gain, dBi
    double electricalTiltDeg = 0; ///< TILT, degrees down (informative: the cuts include it)
    std::array<double, 360> horizontalDb{}; ///< attenuation below the peak, dB, 0 and up
    std::array<double, 360> verticalDb{};   ///< attenuation below the peak, dB, 0 and up

    /// Attenuation below the peak, dB (0 and up), toward a direction in the antenna's own
    /// frame: `azimuthDeg` from the boresight, clockwise; `elevationDeg` above the antenna's
    /// horizon (-90..90). By the method in the comment at the top of this file.
    double attenuationDb(double azimuthDeg, double elevationDeg) const;
};

/// How an antenna is mounted.
struct AntennaPointing {
    double azimuthDeg = 0;  ///< bearing of the boresight, degrees clockwise from true north
    double downtiltDeg = 0; ///< mechanical downtilt, degrees, positive down (-90..90)
};

/// A direction seen from an antenna's position.
struct Direction {
    double azimuthDeg = 0;   ///< bearing, degrees clockwise from true north
    double elevationDeg = 0; ///< above the local horizontal, degrees (-90..90)
};

/// The gain in dBi of `pattern`, mounted as `pointing`, toward `direction`.
double gainTowardDbi(const AntennaPattern& pattern, const AntennaPointing& pointing,
                     const Direction& direction);

/// The direction in the antenna's own frame (azimuth from the boresight, -180..180, and
/// elevation above the antenna's tilted horizon) of a direction in the local frame.
Direction antennaFrame(const AntennaPointing& pointing, const Direction& direction);

/// The outcome of reading a pattern: the pattern, or a one-line message for the user that
/// starts with "FILE:LINE: " (or "FILE: " for a fault of the whole file).
struct PatternRead {
    std::optional<AntennaPattern> pattern;
    std::string message;
};

/// Reads a pattern from the text of a file; `fileName` is named in the messages.
PatternRead parsePattern(std::string_view text, const std::string& fileName);

/// Reads a pattern file (at most 1 MiB, a regular file: a folder, a pipe or a device is
/// refused without waiting on it).
PatternRead readPatternFile(const std::string& path);

} // namespace verdan::radio
