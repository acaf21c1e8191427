// A small bitmap font for the texts of images the engine draws itself (the KML legend): 5 x 7
// pixel glyphs of printable ASCII and the micro sign, drawn at a whole-number scale.
#pragma once

#include <verdan/coverage/MapStyle.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace verdan::coverage::detail {

/// RGBA pixels, four bytes per pixel, row-major from the top-left corner.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    RgbaImage(int w, int h, Rgba fill);
    /// Sets the pixel at (x, y); pixels outside the image are left alone.
    void set(int x, int y, Rgba colour);
    /// Fills the rectangle from (x, y), `w` x `h` pixels.
    void fill(int x, int y, int w, int h, Rgba colour);
};

/// Glyph cell of the font at scale 1: 5 x 7 pixels inside a 6 x 9 advance.
inline constexpr int GlyphWidth = 5;
inline constexpr int GlyphHeight = 7;
inline constexpr int GlyphAdvance = 6;

/// The width in pixels of UTF-8 `text` drawn at `scale`.
int textWidth(std::string_view text, int scale);

/// Draws UTF-8 `text` with its top-left corner at (x, y), each font pixel `scale` x `scale`.
/// Characters the font lacks are drawn as '?'.
void drawText(RgbaImage& image, int x, int y, std::string_view text, int scale, Rgba colour);

} // namespace verdan::coverage::detail
