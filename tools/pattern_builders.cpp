#include "pattern_builders.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <numbers>

namespace verdan::tools {

namespace {

constexpr double Pi = std::numbers::pi;

// The elevation (degrees, up positive) and whether it lies behind, of a vertical-cut angle.
double elevationOfVertical(int angleDeg, bool& behind) {
    behind = angleDeg > 90 && angleDeg < 270;
    if (behind)
        return angleDeg - 180.0;
    return angleDeg <= 90 ? -angleDeg : 360.0 - angleDeg;
}

double parabolicDb(double offDeg, double beamwidthDeg, double floorDb) {
    return std::min(12.0 * (offDeg / beamwidthDeg) * (offDeg / beamwidthDeg), floorDb);
}

// Cuts of a beam whose attenuation is the sum of an azimuth and an elevation part capped at
// the front-to-back ratio, as seen on the horizon and in the boresight's vertical plane.
PatternCuts beamCuts(double widthDeg, double heightDeg, double tiltDeg, double frontToBackDb) {
    PatternCuts cuts;
    cuts.electricalTiltDeg = tiltDeg;
    const double horizonDb = parabolicDb(tiltDeg, heightDeg, frontToBackDb);
    for (int a = 0; a < 360; ++a) {
        const double offDeg = a <= 180 ? a : 360 - a;
        cuts.horizontalDb[a] =
            std::min(parabolicDb(offDeg, widthDeg, frontToBackDb) + horizonDb, frontToBackDb);
        bool behind = false;
        const double elevationDeg = elevationOfVertical(a, behind);
        cuts.verticalDb[a] =
            behind ? frontToBackDb : parabolicDb(elevationDeg + tiltDeg, heightDeg, frontToBackDb);
    }
    return cuts;
}

std::string number(double value) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                   std::chars_format::fixed, 2)
                         .ptr;
    return std::string(buffer.data(), end);
}

} // namespace

PatternCuts omniPattern() {
    PatternCuts cuts;
    cuts.name = "OMNI-DIPOLE-SYNTHETIC";
    cuts.freqMHz = 450;
    cuts.gainDbi = 2.15;
    for (int a = 0; a < 360; ++a) {
        bool behind = false;
        const double e = elevationOfVertical(a, behind) * Pi / 180.0;
        const double field = std::abs(std::cos(Pi / 2 * std::sin(e))) / std::max(std::cos(e), 1e-9);
        cuts.verticalDb[a] = std::min(40.0, -20.0 * std::log10(std::max(field, 1e-2)));
    }
    return cuts;
}

PatternCuts panelPattern() {
    PatternCuts cuts = beamCuts(65, 7, 2, 25);
    cuts.name = "PANEL-65-SYNTHETIC";
    cuts.freqMHz = 1850;
    cuts.gainDbi = 18;
    return cuts;
}

PatternCuts yagiPattern() {
    PatternCuts cuts = beamCuts(52, 60, 0, 18);
    cuts.name = "YAGI-7-SYNTHETIC";
    cuts.freqMHz = 146;
    cuts.gainDbi = 11;
    return cuts;
}

std::string msiText(const PatternCuts& cuts) {
    std::string text = "NAME " + cuts.name + "\nMAKE " + cuts.make + "\nFREQUENCY " +
                       number(cuts.freqMHz) + "\nGAIN " + number(cuts.gainDbi) + " dBi\nTILT " +
                       number(cuts.electricalTiltDeg) + "\nCOMMENT synthetic pattern\n";
    text += "HORIZONTAL 360\n";
    for (int a = 0; a < 360; ++a)
        text += std::to_string(a) + " " + number(cuts.horizontalDb[a]) + "\n";
    text += "VERTICAL 360\n";
    for (int a = 0; a < 360; ++a)
        text += std::to_string(a) + " " + number(cuts.verticalDb[a]) + "\n";
    return text;
}

bool writeTextFile(const std::string& path, const std::string& text, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
        error = "cannot write " + path;
    return static_cast<bool>(out);
}

} // namespace verdan::tools
