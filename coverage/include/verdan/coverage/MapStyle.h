// How a finished coverage map is coloured: the quantity shown, its levels and a colour scale,
// turned into the colour of each value and the legend's entries. Independent of the run, so a
// map can be re-coloured without computing it again. Plain C++, no Qt.
//
// The colour scales are perceptual and sequential: their lightness rises steadily from the
// weakest band to the best, so they read in grey and for colour-blind users. Their anchor
// colours are samples of the published colour maps: viridis (van der Walt and Smith, 2015),
// cividis (Nunez, Anderton and Renslow, PLOS ONE 2018) and Brewer's sequential "Blues" and
// "Greys" schemes; between anchors the colour is interpolated linearly.
#pragma once

#include <verdan/coverage/MapQuantity.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace verdan::coverage {

/// A colour with opacity, 0..255 each.
struct Rgba {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;

    friend bool operator==(const Rgba&, const Rgba&) = default;
};

/// One band of a colour scale: values from `level` toward the better side of it (and not
/// past the previous band's level) take `colour`. A loss band holds losses up to `level`; a
/// band of the other quantities holds values of `level` and above.
struct ColourStep {
    double level = 0;
    Rgba colour;
};

/// The colours of a map of one quantity: bands of levels, best first, transparent beyond the
/// last one and outside the radius. Every cell takes its value's colour; cells with a model
/// warning at or above `warningLevel` are also crossed by a light hatch (when `hatch`), so
/// that doubtful results stand out without hiding what the model gave.
class ColourScale {
public:
    /// `steps` best first (ascending levels for loss, descending for the others);
    /// `warningLevel` 1..4 (5: never marked).
    ColourScale(MapQuantity quantity, std::vector<ColourStep> steps, int warningLevel,
                bool hatch = true);

    /// The band of a value: 0 for the best, -1 for NaN (outside the radius) and beyond the
    /// last band.
    int bandOf(float value) const;
    /// The colour of a value; transparent where bandOf() is -1.
    Rgba colourFor(float value) const;
    /// True when a cell with the model's warning `warning` is hatched.
    bool hatches(std::uint8_t warning) const;

    MapQuantity quantity() const { return m_quantity; }
    const std::vector<ColourStep>& steps() const { return m_steps; }
    int warningLevel() const { return m_warningLevel; }
    bool hatch() const { return m_hatch; }

private:
    MapQuantity m_quantity;
    std::vector<ColourStep> m_steps;
    int m_warningLevel;
    bool m_hatch;
};

/// One line of a legend: a band's colour and its range in words with the unit.
struct LegendEntry {
    Rgba colour;
    std::string text; ///< "up to 110 dB", "110 to 120 dB", "-80 dBm and above" (UTF-8)
};

/// The legend of a scale, one entry per band, best first.
std::vector<LegendEntry> legendEntries(const ColourScale& scale);

/// The named colour scales.
enum class Palette {
    Viridis, ///< dark violet through blue and green to yellow
    Cividis, ///< dark blue through grey to yellow, made for colour-blind readers
    Blues,   ///< one hue, light to dark blue
    Greys,   ///< light to dark grey
};

/// Every palette, in the order above.
inline constexpr Palette AllPalettes[] = {Palette::Viridis, Palette::Cividis, Palette::Blues,
                                          Palette::Greys};

/// The scale a new map takes: viridis. The program's earlier green-to-violet scale was
/// neither monotone in lightness nor readable with red-green colour blindness.
inline constexpr Palette DefaultPalette = Palette::Viridis;

/// "viridis", "cividis", "blues", "greys".
std::string paletteName(Palette palette);
/// The palette of a name (letter case ignored); empty for any other text.
std::optional<Palette> paletteNamed(std::string_view name);
/// The palette's colour at `t` in 0..1, from its weakest (0) to its strongest (1) end; opaque.
Rgba paletteColour(Palette palette, double t);

/// At most this many levels on a map.
inline constexpr int MaxStyleLevels = 8;

/// The levels a map of `quantity` starts with, best first: loss 110..160 dB, received power
/// -60..-110 dBm, field strength 80..30 dBµV/m (10 dB apart), margin 30, 20, 10, 0 dB.
std::vector<double> defaultLevels(MapQuantity quantity);

/// Levels read from text, or the one-line reason they were refused.
struct LevelsRead {
    std::optional<std::vector<double>> levels; ///< as typed, in their order
    std::string message;
};

/// Reads "a,b,c": 1..MaxStyleLevels numbers in the C locale (blanks around each allowed),
/// each within -500..500, strictly rising or strictly falling.
LevelsRead parseLevels(std::string_view text);

/// The levels as typed back: "-110,-100,-90" (C locale, shortest form).
std::string levelsText(const std::vector<double>& levels);

/// A number in the C locale in its shortest form: "110", "-92.5".
std::string shortNumber(double value);

/// What a map shows and how: the quantity, its levels, the colour scale and whether warned
/// cells are hatched.
class MapStyle {
public:
    /// A map of `quantity` with the default levels and palette.
    explicit MapStyle(MapQuantity quantity);
    /// `levels` in any order without repetitions (see parseLevels()), 1..MaxStyleLevels.
    MapStyle(MapQuantity quantity, std::vector<double> levels, Palette palette = DefaultPalette,
             bool hatch = true);

    /// The lowest model warning that is marked: 3 (a combination out of range) and 4
    /// (parameters out of range) make the result doubtful.
    static constexpr int WarningLevel = 3;

    MapQuantity quantity() const { return m_scale.quantity(); }
    /// The levels best first: ascending for loss, descending for the others.
    const std::vector<double>& levels() const { return m_levels; }
    Palette palette() const { return m_palette; }
    bool hatch() const { return m_scale.hatch(); }

    /// The band of a value: 0 for the best, -1 when it is not coloured.
    int bandOf(float value) const { return m_scale.bandOf(value); }
    /// The colour of a value (opaque), transparent when it is not coloured.
    Rgba colourOf(float value) const { return m_scale.colourFor(value); }
    /// "Received power (dBm)".
    std::string title() const { return quantityTitle(quantity()); }
    /// One entry per band, best first.
    std::vector<LegendEntry> legend() const { return legendEntries(m_scale); }
    /// The bands for the output files, every colour with opacity `alpha`.
    ColourScale colourScale(std::uint8_t alpha = 255) const;

private:
    std::vector<double> m_levels;
    Palette m_palette;
    ColourScale m_scale;
};

} // namespace verdan::coverage
