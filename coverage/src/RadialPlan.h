// The geometry of a coverage run: the grid, the radials and which radial sample each cell
// takes.
#pragma once

#include <verdan/coverage/Coverage.h>

#include <cstdint>
#include <vector>

namespace verdan::coverage::detail {

/// Mean radius of the earth, m, for the spherical geometry of the grid.
inline constexpr double EarthRadiusM = 6371008.8;

/// One radial: from the transmitter along `bearingRad` (clockwise from north, 0..2 pi) for
/// the radius of the run, sampled at `points` evenly spaced points (the first at the
/// transmitter).
struct Radial {
    double bearingRad = 0;
    terrain::GeoPoint end;
    int points = 0;
};

/// The radials of a run and the samples the cells need.
struct RadialPlan {
    std::vector<Radial> radials; ///< ascending bearing
    /// The samples (indices 1..points-1 along their radial) that some cell takes, ascending
    /// within each radial; those of radial r are sampleIndex[firstSample[r]..firstSample[r+1]).
    std::vector<std::uint32_t> firstSample;
    std::vector<std::uint32_t> sampleIndex;
    /// Per grid cell the position in sampleIndex of the sample it takes; -1 outside the radius.
    std::vector<std::int32_t> cellSample;
};

/// A point seen from the transmitter on the sphere.
struct Polar {
    double distM = 0;      ///< great-circle distance, m
    double bearingRad = 0; ///< initial bearing, clockwise from north, 0..2 pi
};

/// The great-circle distance and bearing from `from` to `to`.
Polar polarOf(terrain::GeoPoint from, terrain::GeoPoint to);

/// The point `distM` metres from `from` along the great circle of initial bearing `bearingRad`.
terrain::GeoPoint destination(terrain::GeoPoint from, double bearingRad, double distM);

/// Plans the radials of `in` over `grid` (as gridLayout() makes it) with the point counts of
/// `terrain`, and assigns every cell within the radius its nearest radial sample, on
/// `threads` threads. Returns false (plan incomplete) when `cancel` was set.
bool planRadials(const CoverageInputs& in, const CoverageGrid& grid,
                 const terrain::TerrainSource& terrain, unsigned threads,
                 const std::atomic<bool>& cancel, RadialPlan& plan);

} // namespace verdan::coverage::detail
