// Builders of antenna pattern files in the Planet/MSI text format: the three synthetic
// patterns of the demo and the tests (an omnidirectional dipole, a 65-degree panel and a
// Yagi-like beam). Invented from textbook formulas, not any maker's antenna. Plain C++.
#pragma once

#include <array>
#include <string>

namespace verdan::tools {

/// The contents of a pattern file. Attenuations are dB below the peak, 0 and up, at whole
/// degrees; the angle conventions are those of the format (horizontal clockwise from the
/// boresight, vertical downward from the horizon in front).
struct PatternCuts {
    std::string name;
    std::string make = "SYNTHETIC (not a real antenna)";
    double freqMHz = 0;
    double gainDbi = 0;
    double electricalTiltDeg = 0;
    std::array<double, 360> horizontalDb{};
    std::array<double, 360> verticalDb{};
};

/// A vertical half-wave dipole: 2.15 dBi all round, cos(pi/2 sin e) / cos e in elevation.
PatternCuts omniPattern();
/// A 65-degree sector panel, 18 dBi, 7-degree vertical beam with 2 degrees of electrical
/// downtilt in its cuts, 25 dB front to back.
PatternCuts panelPattern();
/// A 7-element Yagi-like beam, 11 dBi, 52 degrees wide across, 60 degrees in elevation,
/// 18 dB front to back.
PatternCuts yagiPattern();

/// `cuts` as the text of a pattern file (LF line ends, GAIN in dBi).
std::string msiText(const PatternCuts& cuts);

/// Writes `text` to `path`; false with a message in `error` when it cannot.
bool writeTextFile(const std::string& path, const std::string& text, std::string& error);

} // namespace verdan::tools
