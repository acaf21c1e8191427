#include <verdan/radio/AntennaPattern.h>

#include "FolderFiles.h"
#include "pattern_builders.h"

#include <cmath>
#include <cstdlib>
#include <regex>
#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace verdan::radio;
using verdan::tools::PatternCuts;

namespace {

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

AntennaPattern parsed(const std::string& text) {
    const PatternRead read = parsePattern(text, "test.msi");
    EXPECT_TRUE(read.pattern) << read.message;
    return read.pattern.value_or(AntennaPattern{});
}

const std::string Yagi = verdan::tools::msiText(verdan::tools::yagiPattern());

} // namespace

TEST(PatternFile, QuirksOfMakersFilesAreRead) {
    const struct {
        const char* what;
        std::string text;
        const char* name = "YAGI-7-SYNTHETIC";
    } cases[] = {
        {"as written", Yagi},
        {"no NAME token", replaced(Yagi, "NAME YAGI", "YAGI")},
        {"a number as the name", replaced(Yagi, "NAME YAGI-7-SYNTHETIC", "80010541"), "80010541"},
        {"gain in dBd by default", replaced(Yagi, "GAIN 11.00 dBi", "GAIN 8.85")},
        {"gain in dBd", replaced(Yagi, "GAIN 11.00 dBi", "Gain 8.85 dBd")},
        {"unit glued on", replaced(Yagi, "GAIN 11.00 dBi", "gain 11dbi")},
        {"CRLF", std::regex_replace(Yagi, std::regex("\n"), "\r\n")},
        {"tabs", replaced(Yagi, "\n90 ", "\n90\t\t")},
        {"minus signs", replaced(replaced(Yagi, "\n30 3", "\n30 -3"), "\n45 6", "\n45 -6")},
        {"vendor keys",
         replaced(Yagi, "COMMENT", "H_WIDTH 52\nPOLARIZATION +45\nTILT ELECTRICAL\nCOMMENT")},
    };
    const AntennaPattern reference = parsed(Yagi);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const AntennaPattern pattern = parsed(c.text);
        EXPECT_NEAR(pattern.gainDbi, 11, 1e-9);
        EXPECT_EQ(pattern.name, c.name);
        EXPECT_EQ(pattern.horizontalDb, reference.horizontalDb);
        EXPECT_EQ(pattern.verticalDb, reference.verticalDb);
    }
    EXPECT_NEAR(reference.horizontalDb[30], 3.99, 1e-9); // 12 (30 / 52)^2
    EXPECT_NEAR(reference.freqMHz, 146, 1e-9);
}

// A refusal names the file and, where there is one, the line at fault.
TEST(PatternFile, MalformedFilesAreRefusedWithTheirLine) {
    const struct {
        const char* what;
        std::string text;
        int line; ///< 0: the file as a whole
        const char* says;
    } cases[] = {
        {"short block", replaced(Yagi, "\n359 0.00\nV", "\nV"), 367, "359 of its 360"},
        {"ends in a block", Yagi.substr(0, Yagi.rfind("359 ")), 368 + 359, "359 of its 360"},
        {"not a number", replaced(Yagi, "\n45 ", "\n45 x"), 53, "angle and an attenuation"},
        {"rows out of order", replaced(Yagi, "\n45 ", "\n46 "), 53, "the angle 45"},
        {"a block of 720 rows", replaced(Yagi, "VERTICAL 360", "VERTICAL 720"), 368, "360"},
        {"gain not a number", replaced(Yagi, "GAIN 11.00", "GAIN high"), 4, "GAIN"},
        {"a stray row", replaced(Yagi, "COMMENT", "12 3"), 6, "outside"},
        {"no vertical cut", Yagi.substr(0, Yagi.find("VERTICAL")), 0, "no VERTICAL block"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const PatternRead read = parsePattern(c.text, "yagi.msi");
        EXPECT_FALSE(read.pattern);
        const std::string at = c.line ? ":" + std::to_string(c.line) + ": " : ": ";
        EXPECT_EQ(read.message.rfind("yagi.msi" + at, 0), 0u) << read.message;
        EXPECT_NE(read.message.find(c.says), std::string::npos) << read.message;
    }
}

TEST(PatternFile, FoldersPipesAndMissingFilesAreRefusedWithoutWaiting) {
    const verdan::test::TempFolder folder;
    ASSERT_EQ(::mkfifo((folder / "pipe.msi").c_str(), 0600), 0);
    for (const std::string& path : {folder / "pipe.msi", folder.path()})
        EXPECT_NE(readPatternFile(path).message.find("not a regular file"), std::string::npos);
    EXPECT_FALSE(readPatternFile(folder / "missing.msi").pattern);
}

namespace {

// A pattern whose cuts are easy to compute by hand: 0.1 dB per degree off the boresight
// across, 0.5 dB per degree off the horizon in front, 18 dB plus as much behind.
AntennaPattern handPattern() {
    AntennaPattern pattern;
    pattern.gainDbi = 10;
    for (int a = 0; a < 360; ++a) {
        pattern.horizontalDb[a] = 0.1 * (a <= 180 ? a : 360 - a);
        const int fromHorizon = a <= 90 ? a : a < 270 ? std::abs(a - 180) : 360 - a;
        pattern.verticalDb[a] = (a > 90 && a < 270 ? 18.0 : 0.0) + 0.5 * fromHorizon;
    }
    return pattern;
}

} // namespace

TEST(AntennaGain, PointsOfTheBeamAgainstHandFigures) {
    const AntennaPattern pattern = handPattern();
    const struct {
        const char* what;
        double downtiltDeg;
        Direction toward; // local bearing and elevation, the antenna facing 40 degrees
        double gainDbi;
    } cases[] = {
        // Untilted, the cuts themselves: ReproducesBothCuts below; between their degrees:
        {"above the horizon, half-way interpolated", 0, {40, 2.5}, 10 - 1.25},
        {"downtilt: beam lowered in front", 5, {40, -5}, 10},
        {"downtilt: horizon in front", 5, {40, 0}, 10 - 2.5},
        {"downtilt: back lobe raised", 5, {220, 5}, 10 - 18},
        {"downtilt: horizon behind", 5, {220, 0}, 10 - 18 - 2.5},
        {"downtilt: side keeps its elevation", 5, {130, 0}, 10 - 9},
        {"uptilt", -3, {40, 3}, 10},
    };
    for (const auto& c : cases) {
        const AntennaPointing pointing{40, c.downtiltDeg};
        EXPECT_NEAR(gainTowardDbi(pattern, pointing, c.toward), c.gainDbi, 1e-9) << c.what;
    }
}

TEST(AntennaGain, ReproducesBothCutsAndNeverExceedsThePeak) {
    const PatternCuts cuts = verdan::tools::panelPattern();
    const AntennaPattern pattern = parsed(verdan::tools::msiText(cuts));
    const AntennaPointing pointing{300, 0};
    for (int a = 0; a < 360; ++a) {
        EXPECT_NEAR(gainTowardDbi(pattern, pointing, {300.0 + a, 0}), 18 - cuts.horizontalDb[a],
                    0.006)
            << a; // file values have 2 decimals
        const double elevationDeg = a <= 90 ? -a : a >= 270 ? 360 - a : a - 180;
        const double bearingDeg = a > 90 && a < 270 ? 120 : 300;
        EXPECT_NEAR(gainTowardDbi(pattern, pointing, {bearingDeg, elevationDeg}),
                    18 - cuts.verticalDb[a], 0.006)
            << a;
    }
    // The electrical tilt is in the cuts: the peak lies 2 degrees down in front.
    EXPECT_NEAR(gainTowardDbi(pattern, pointing, {300, -2}), 18, 1e-9);
    for (double tiltDeg : {0.0, 8.0})
        for (double bearingDeg = 0; bearingDeg < 360; bearingDeg += 7.5)
            for (double elevationDeg = -90; elevationDeg <= 90; elevationDeg += 2.5)
                ASSERT_LE(gainTowardDbi(pattern, {300, tiltDeg}, {bearingDeg, elevationDeg}),
                          18 + 1e-12);
}
