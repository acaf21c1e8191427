#include <verdan/coverage/MapStyle.h>

#include <verdan/radio/Units.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <span>

namespace verdan::coverage {

namespace {

struct Anchor {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// Evenly spaced samples of each published colour map, weakest end first. The lightest tints
// of the one-hue schemes are left out: they would vanish on a light background.
constexpr Anchor Viridis[] = {{68, 1, 84},    {71, 45, 123},  {59, 82, 139},
                              {44, 114, 142}, {33, 145, 140}, {40, 174, 128},
                              {94, 201, 98},  {173, 220, 48}, {253, 231, 37}};
constexpr Anchor Cividis[] = {
    {0, 34, 78}, {61, 77, 110}, {124, 123, 120}, {188, 175, 111}, {255, 234, 70}};
constexpr Anchor Blues[] = {{198, 219, 239}, {158, 202, 225}, {107, 174, 214}, {66, 146, 198},
                            {33, 113, 181},  {8, 81, 156},    {8, 48, 107}};
constexpr Anchor Greys[] = {{217, 217, 217}, {189, 189, 189}, {150, 150, 150}, {115, 115, 115},
                            {82, 82, 82},    {37, 37, 37},    {0, 0, 0}};

struct PaletteDefinition {
    const char* name;
    std::span<const Anchor> anchors;
};

const PaletteDefinition& definitionOf(Palette palette) {
    static const PaletteDefinition definitions[] = {
        {"viridis", Viridis}, {"cividis", Cividis}, {"blues", Blues}, {"greys", Greys}};
    return definitions[static_cast<std::size_t>(palette)];
}

bool betterThan(MapQuantity quantity, double a, double b) {
    return higherIsBetter(quantity) ? a > b : a < b;
}

constexpr double LowestLevel = -500;
constexpr double HighestLevel = 500;

// One band's range in words: "up to 110 dB", "110 to 120 dB", "80 dBµV/m and above".
std::string bandText(const ColourScale& scale, std::size_t band) {
    const std::string unit = " " + quantityUnit(scale.quantity());
    const std::string level = shortNumber(scale.steps()[band].level);
    const bool higher = higherIsBetter(scale.quantity());
    if (band == 0)
        return higher ? level + unit + " and above" : "up to " + level + unit;
    const std::string previous = shortNumber(scale.steps()[band - 1].level);
    return higher ? level + " to " + previous + unit : previous + " to " + level + unit;
}

} // namespace

ColourScale::ColourScale(MapQuantity quantity, std::vector<ColourStep> steps, int warningLevel,
                         bool hatch)
    : m_quantity(quantity), m_steps(std::move(steps)), m_warningLevel(warningLevel),
      m_hatch(hatch) {}

int ColourScale::bandOf(float value) const {
    if (std::isnan(value))
        return -1;
    const bool higher = higherIsBetter(m_quantity);
    for (std::size_t band = 0; band < m_steps.size(); ++band)
        if (higher ? value >= m_steps[band].level : value <= m_steps[band].level)
            return static_cast<int>(band);
    return -1;
}

Rgba ColourScale::colourFor(float value) const {
    const int band = bandOf(value);
    return band < 0 ? Rgba{} : m_steps[static_cast<std::size_t>(band)].colour;
}

bool ColourScale::hatches(std::uint8_t warning) const {
    return m_hatch && warning >= m_warningLevel && warning != CellWithoutResult;
}

std::vector<LegendEntry> legendEntries(const ColourScale& scale) {
    std::vector<LegendEntry> entries;
    for (std::size_t band = 0; band < scale.steps().size(); ++band)
        entries.push_back({scale.steps()[band].colour, bandText(scale, band)});
    return entries;
}

std::string paletteName(Palette palette) {
    return definitionOf(palette).name;
}

std::optional<Palette> paletteNamed(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    for (const Palette palette : AllPalettes)
        if (lower == definitionOf(palette).name)
            return palette;
    return std::nullopt;
}

Rgba paletteColour(Palette palette, double t) {
    const std::span<const Anchor> anchors = definitionOf(palette).anchors;
    const double position = std::clamp(t, 0.0, 1.0) * static_cast<double>(anchors.size() - 1);
    const auto lower = std::min(static_cast<std::size_t>(position), anchors.size() - 2);
    const double f = position - static_cast<double>(lower);
    const auto mix = [f](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>(std::lround(a + (b - a) * f));
    };
    const Anchor& a = anchors[lower];
    const Anchor& b = anchors[lower + 1];
    return {mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue), 255};
}

std::vector<double> defaultLevels(MapQuantity quantity) {
    switch (quantity) {
    case MapQuantity::PowerDbm:
        return {-60, -70, -80, -90, -100, -110};
    case MapQuantity::FieldDbuvm:
        return {80, 70, 60, 50, 40, 30};
    case MapQuantity::MarginDb:
        return {30, 20, 10, 0};
    case MapQuantity::LossDb:
        break;
    }
    return {110, 120, 130, 140, 150, 160};
}

LevelsRead parseLevels(std::string_view text) {
    std::vector<double> levels;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view part = text.substr(start, comma - start);
        const std::optional<double> value = radio::parseDecimal(part);
        if (!value)
            return {{}, "expected numbers separated by commas; got \"" + std::string(part) + "\""};
        if (*value < LowestLevel || *value > HighestLevel)
            return {{}, "level " + shortNumber(*value) + " is outside -500..500"};
        levels.push_back(*value);
        start = comma + 1;
    }
    if (levels.size() > static_cast<std::size_t>(MaxStyleLevels))
        return {{}, "expected 1 to 8 levels; got " + std::to_string(levels.size())};
    const bool rising =
        std::adjacent_find(levels.begin(), levels.end(), std::greater_equal<>()) == levels.end();
    const bool falling =
        std::adjacent_find(levels.begin(), levels.end(), std::less_equal<>()) == levels.end();
    if (!rising && !falling)
        return {{}, "the levels must rise or fall strictly; got \"" + std::string(text) + "\""};
    return {std::move(levels), {}};
}

std::string levelsText(const std::vector<double>& levels) {
    std::string text;
    for (const double level : levels)
        text += (text.empty() ? "" : ",") + shortNumber(level);
    return text;
}

std::string shortNumber(double value) {
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return std::string(buffer.data(), end);
}

MapStyle::MapStyle(MapQuantity quantity) : MapStyle(quantity, defaultLevels(quantity)) {}

MapStyle::MapStyle(MapQuantity quantity, std::vector<double> levels, Palette palette, bool hatch)
    : m_levels(std::move(levels)), m_palette(palette), m_scale(quantity, {}, WarningLevel, hatch) {
    std::sort(m_levels.begin(), m_levels.end(),
              [quantity](double a, double b) { return betterThan(quantity, a, b); });
    m_scale = colourScale();
}

ColourScale MapStyle::colourScale(std::uint8_t alpha) const {
    std::vector<ColourStep> steps;
    const std::size_t count = m_levels.size();
    for (std::size_t band = 0; band < count; ++band) {
        // The best band takes the palette's strongest end, the weakest band its other end.
        const double t = count > 1 ? 1.0 - static_cast<double>(band) / (count - 1) : 1.0;
        Rgba colour = paletteColour(m_palette, t);
        colour.alpha = alpha;
        steps.push_back({m_levels[band], colour});
    }
    return ColourScale(quantity(), std::move(steps), WarningLevel, hatch());
}

} // namespace verdan::coverage
