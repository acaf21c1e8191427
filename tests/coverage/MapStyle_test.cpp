// What a map shows: bands per quantity, the colour scales' lightness, levels as typed and the
// legend's words.
#include <verdan/coverage/MapStyle.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace verdan::coverage;

namespace {

TEST(MapStyle, EachQuantityPutsAValueInItsBand) {
    const struct {
        MapQuantity quantity;
        std::vector<double> levels;                 // as typed
        std::vector<std::pair<float, int>> inBands; // a value and its band, -1 for none
    } cases[] = {
        {MapQuantity::LossDb, {110, 120}, {{110, 0}, {115, 1}, {120.5f, -1}, {60, 0}}},
        {MapQuantity::PowerDbm, {-100, -90}, {{-85, 0}, {-95, 1}, {-100, 1}, {-101, -1}}},
        {MapQuantity::FieldDbuvm, {80, 70}, {{79.9f, 1}, {95, 0}}},
        {MapQuantity::MarginDb, {0, 10, 20}, {{0, 2}, {-0.1f, -1}, {25, 0}, {std::nanf(""), -1}}},
    };
    for (const auto& c : cases) {
        const MapStyle style(c.quantity, c.levels, Palette::Cividis);
        for (const auto& [value, band] : c.inBands) {
            EXPECT_EQ(style.bandOf(value), band) << quantityKey(c.quantity) << " " << value;
            EXPECT_EQ(style.colourOf(value).alpha, band < 0 ? 0 : 255)
                << quantityKey(c.quantity) << " " << value;
        }
    }
}

// CIE L* of an sRGB colour.
double lightness(Rgba c) {
    const auto linear = [](std::uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    const double y = 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
    return y > 216.0 / 24389 ? 116 * std::cbrt(y) - 16 : y * 24389.0 / 27;
}

TEST(MapStyle, EveryScaleStepsInLightnessOneWaySoItReadsInGrey) {
    for (const Palette palette : AllPalettes) {
        const MapStyle style(MapQuantity::PowerDbm, {-50, -60, -70, -80, -90, -100, -110, -120},
                             palette);
        const std::vector<LegendEntry> legend = style.legend();
        ASSERT_EQ(legend.size(), 8u);
        const double direction = lightness(legend[0].colour) > lightness(legend[7].colour) ? 1 : -1;
        for (std::size_t band = 1; band < legend.size(); ++band)
            EXPECT_GE(direction *
                          (lightness(legend[band - 1].colour) - lightness(legend[band].colour)),
                      6.0)
                << paletteName(palette) << " band " << band;
    }
    // The published end points of viridis: the best band is its yellow end.
    EXPECT_EQ(paletteColour(Palette::Viridis, 0), (Rgba{68, 1, 84, 255}));
    EXPECT_EQ(MapStyle(MapQuantity::LossDb).colourOf(50), (Rgba{253, 231, 37, 255}));
}

TEST(MapStyle, LevelsAreReadInTheCLocaleAndMustRiseOrFallStrictly) {
    const struct {
        const char* text;
        std::vector<double> levels; // empty: refused
        const char* message;
    } cases[] = {
        {"-110,-100,-90", {-110, -100, -90}, ""},
        {" 80 , 70.5 ,60", {80, 70.5, 60}, ""},
        {"-95", {-95}, ""},
        {"1,3,2", {}, "rise or fall strictly"},
        {"10,10", {}, "rise or fall strictly"},
        {"1,2,3,4,5,6,7,8,9", {}, "1 to 8 levels; got 9"},
        {"1,5;2", {}, "got \"5;2\""},
        {"70,5", {70, 5}, ""},
        {"", {}, "got \"\""},
        {"10,,20", {}, "got \"\""},
        {"600", {}, "outside -500..500"},
        {"nan", {}, "got \"nan\""},
    };
    for (const auto& c : cases) {
        const LevelsRead read = parseLevels(c.text);
        EXPECT_EQ(read.levels.value_or(std::vector<double>{}), c.levels) << c.text;
        EXPECT_NE(read.message.find(c.message), std::string::npos)
            << c.text << ": " << read.message;
    }
    EXPECT_EQ(levelsText({-92.5, -100, 3e2}), "-92.5,-100,300");
}

TEST(MapStyle, LegendNamesEachBandsRangeWithTheUnit) {
    const struct {
        MapQuantity quantity;
        std::vector<double> levels;
        std::vector<std::string> texts;
    } cases[] = {
        {MapQuantity::LossDb, {120, 110}, {"up to 110 dB", "110 to 120 dB"}},
        {MapQuantity::PowerDbm, {-90, -80}, {"-80 dBm and above", "-90 to -80 dBm"}},
        {MapQuantity::FieldDbuvm, {40.5}, {"40.5 dB\u00b5V/m and above"}},
        {MapQuantity::MarginDb, {0, 10}, {"10 dB and above", "0 to 10 dB"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> texts;
        for (const LegendEntry& entry : MapStyle(c.quantity, c.levels).legend())
            texts.push_back(entry.text);
        EXPECT_EQ(texts, c.texts) << quantityTitle(c.quantity);
    }
    EXPECT_EQ(paletteNamed("Cividis"), Palette::Cividis);
    EXPECT_FALSE(paletteNamed("jet"));
}

} // namespace
