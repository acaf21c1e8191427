// The shaded relief of the terrain in use, tile by tile in the display projection. Plain
// C++, no Qt.
//
// Elevations are sampled at the centre of every pixel of a tile and of a one-pixel border
// around it. The slope of each pixel comes from its eight neighbours by Horn's weighted
// differences (B. K. P. Horn, "Hill shading and the reflectance map", Proc. IEEE 69(1),
// 1981), the pixel's ground size being the projection's pixel size divided by its scale
// factor at the pixel's latitude. The grey level is 255 times the cosine of the angle between
// the surface's normal and the light, which comes from the north-west (azimuth 315 degrees)
// 45 degrees above the horizon, and is 0 when the surface faces away: flat ground is 180.
// Pixels whose neighbourhood holds no terrain are transparent.
#pragma once

#include <verdan/geodata/RasterLayer.h>
#include <verdan/terrain/TerrainSource.h>

#include <atomic>

namespace verdan::geodata {

/// The light of the shaded relief.
inline constexpr double LightAzimuthDeg = 315;
inline constexpr double LightAltitudeDeg = 45;

/// The shaded relief of `terrain` over `tile`, opaque grey where there is terrain. Stops
/// early, the rest transparent, once `cancel` is set. `terrain` is read from the calling
/// thread only through elevationAt().
void hillshadeTile(const terrain::TerrainSource& terrain, const TileId& tile, TileImage& out,
                   const std::atomic<bool>* cancel = nullptr);

} // namespace verdan::geodata
