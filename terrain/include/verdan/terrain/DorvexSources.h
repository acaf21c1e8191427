// The GLOBE and Quarn databases as terrain sources, read through the Dorvex terrain
// library's C interface exactly as the point-to-point program has always called it.
#pragma once

#include <verdan/terrain/TerrainSource.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace verdan::terrain {

/// Dorvex's C entry points, bound by the caller (linked, or looked up by name).
struct DorvexEntryPoints {
    using THandlerFn = void(float*, float*, float*, float*, float*, char*, int32_t, float*,
                            int32_t*, float*, float*, int32_t*, int32_t*, int32_t*, int32_t*);
    using CloseGlobeFn = void();
    THandlerFn* tHandler = nullptr;
    CloseGlobeFn* closeGlobe = nullptr;
};

/// The Dorvex library as its sources share it: the entry points and the lock that keeps
/// calls from overlapping (the library keeps its state between calls and is not
/// thread-safe). Every source over one loaded library must share one DorvexLibrary.
struct DorvexLibrary {
    DorvexEntryPoints entry;
    std::mutex lock;
};

/// Points sampled on every GLOBE path; the largest number of points of a Quarn path.
inline constexpr int DorvexPointCount = 800;

/// When a GLOBE source lets Dorvex close its open tile.
enum class GlobeTiles {
    /// After every path, so that no tile stays open between single requests (the program's
    /// point-to-point extraction).
    CloseAfterEachPath,
    /// Only when the source goes: many paths in a row (a coverage map) then read the same
    /// tile through Dorvex's block cache instead of reopening it for every path.
    KeepOpen,
};

/// The GLOBE database in `globePath` (a folder ending with a separator, as bytes in the
/// local encoding; drive letters are mapped by Dorvex). A failure carries Dorvex's error
/// number in Status::code (-1000 no readable "globe.dat", -1001.. a tile that cannot be
/// opened, -1101.. a tile that cannot be read) and globeErrorText as its message. A folder
/// longer than Dorvex's 150-character path is not handed over: it fails as -1000.
std::unique_ptr<TerrainSource> makeGlobeSource(std::shared_ptr<DorvexLibrary> library,
                                               std::string globePath,
                                               GlobeTiles tiles = GlobeTiles::CloseAfterEachPath);

/// The Quarn database that Dorvex finds itself, its index looked up on `drive`
/// (1 = C .. 24 = Z). Points are about 450 m apart, at most the count asked for; points
/// without data get 0 m and are counted. A failure carries Dorvex's error number in
/// Status::code (1: the index cannot be opened) and quarnErrorText as its message.
std::unique_ptr<TerrainSource> makeQuarnSource(std::shared_ptr<DorvexLibrary> library,
                                               int32_t drive);

/// The program's text for a Quarn error number 0..15; empty for any other number.
std::string quarnErrorText(int number);

/// The program's text for a failed GLOBE request: "Error reading tile " or "Error opening
/// tile " followed by the folder, the tile letter and "10g", or "Error in opening file
/// globe.dat".
std::string globeErrorText(int errorNumber, const std::string& globePath);

} // namespace verdan::terrain
