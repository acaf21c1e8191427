#include "LegendImage.h"

#include <verdan/coverage/CoverageOutput.h>

#include <algorithm>

namespace verdan::coverage::detail {

namespace {

constexpr int Scale = 2; // font pixels to image pixels
constexpr int Padding = 8;
constexpr int RowHeight = 22;
constexpr int SwatchWidth = 28;
constexpr int SwatchHeight = 16;
constexpr int TextLeft = Padding + SwatchWidth + Padding;
constexpr Rgba Panel{255, 255, 255, 230};
constexpr Rgba Ink{20, 20, 20, 255};
constexpr Rgba Frame{110, 110, 110, 255};
constexpr Rgba Neutral{160, 160, 160, 255};

struct Row {
    Rgba colour;
    std::string text;
    bool hatched = false;
};

void drawRow(RgbaImage& image, int top, const Row& row) {
    const int swatchTop = top + (RowHeight - SwatchHeight) / 2;
    image.fill(Padding - 1, swatchTop - 1, SwatchWidth + 2, SwatchHeight + 2, Frame);
    image.fill(Padding, swatchTop, SwatchWidth, SwatchHeight, row.colour);
    if (row.hatched)
        for (int y = 0; y < SwatchHeight; ++y)
            for (int x = 0; x < SwatchWidth; ++x)
                if (onHatchLine(x, y))
                    image.set(Padding + x, swatchTop + y, hatchColour(row.colour));
    drawText(image, TextLeft, top + (RowHeight - GlyphHeight * Scale) / 2, row.text, Scale, Ink);
}

} // namespace

RgbaImage legendImage(const ColourScale& scale, bool warnedCells) {
    std::vector<Row> rows;
    for (const LegendEntry& entry : legendEntries(scale))
        rows.push_back({entry.colour, entry.text});
    if (warnedCells && scale.hatch())
        rows.push_back(
            {Neutral, "model warning " + std::to_string(scale.warningLevel()) + " or above", true});
    const std::string title = quantityTitle(scale.quantity());
    int width = textWidth(title, Scale);
    for (const Row& row : rows)
        width = std::max(width, TextLeft - Padding + textWidth(row.text, Scale));
    width += 2 * Padding;
    const int height = Padding + RowHeight * static_cast<int>(rows.size() + 1) + Padding;
    RgbaImage image(width, height, Frame);
    image.fill(1, 1, width - 2, height - 2, Panel);
    drawText(image, Padding, Padding + (RowHeight - GlyphHeight * Scale) / 2, title, Scale, Ink);
    for (std::size_t i = 0; i < rows.size(); ++i)
        drawRow(image, Padding + RowHeight * static_cast<int>(i + 1), rows[i]);
    return image;
}

} // namespace verdan::coverage::detail
