// The legend of a coverage map as a picture, for the KML's screen overlay.
#pragma once

#include "BitmapFont.h"

#include <verdan/coverage/MapStyle.h>

namespace verdan::coverage::detail {

/// The legend of `scale` on a light panel: the quantity and unit as its title, one colour
/// swatch per band with its range in words, and with `warnedCells` a hatched swatch for the
/// cells with a model warning at or above the scale's warning level (when it hatches them).
RgbaImage legendImage(const ColourScale& scale, bool warnedCells);

} // namespace verdan::coverage::detail
