#pragma once

#include "ProfilePlot.h"

#include <QByteArray>
#include <QImage>
#include <vector>

namespace verdan {

/// The profile picture of `elevations` (metres, transmitter first) on a white image of
/// `widthPx` x `heightPx` pixels (both at least 21), drawn as PlotProfile() lays it out, with
/// the line of sight and the first Fresnel zone when an `overlay` is given.
QImage renderProfilePicture(const std::vector<float>& elevations, int widthPx, int heightPx,
                            const std::optional<ProfileOverlay>& overlay = std::nullopt);

/// renderProfilePicture() as PNG bytes; empty when the image could not be encoded.
QByteArray profilePicturePng(const std::vector<float>& elevations, int widthPx, int heightPx);

} // namespace verdan
