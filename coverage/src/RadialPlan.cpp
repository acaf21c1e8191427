#include "RadialPlan.h"

#include "ParallelFor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace verdan::coverage::detail {

namespace {

constexpr double Pi = std::numbers::pi;
constexpr std::uint64_t NoSample = std::numeric_limits<std::uint64_t>::max();

double radians(double deg) {
    return deg * Pi / 180.0;
}

double degrees(double rad) {
    return rad * 180.0 / Pi;
}

double normalizedBearing(double rad) {
    const double wrapped = std::fmod(rad, 2 * Pi);
    return wrapped < 0 ? wrapped + 2 * Pi : wrapped;
}

// What the distance and bearing from a point at latitude lat1 to one at lat2 take from the two
// latitudes alone.
struct LatitudeTerms {
    double halfDLatSin2; // sin^2((lat2 - lat1) / 2)
    double cosProduct;   // cos lat1 cos lat2
    double cosLat2;
    double towardPole; // cos lat1 sin lat2
    double awayPole;   // sin lat1 cos lat2
};

LatitudeTerms latitudeTerms(double lat1, double lat2) {
    return {std::pow(std::sin((lat2 - lat1) / 2), 2), std::cos(lat1) * std::cos(lat2),
            std::cos(lat2), std::cos(lat1) * std::sin(lat2), std::sin(lat1) * std::cos(lat2)};
}

// What they take from the difference of longitudes dLon alone.
struct LongitudeTerms {
    double halfDLonSin2; // sin^2(dLon / 2)
    double sinDLon;
    double cosDLon;
};

LongitudeTerms longitudeTerms(double dLon) {
    return {std::pow(std::sin(dLon / 2), 2), std::sin(dLon), std::cos(dLon)};
}

// The great-circle distance (haversine) and initial bearing.
Polar polarFrom(const LatitudeTerms& lat, const LongitudeTerms& lon) {
    const double h = lat.halfDLatSin2 + lat.cosProduct * lon.halfDLonSin2;
    const double distM = 2 * EarthRadiusM * std::asin(std::min(1.0, std::sqrt(h)));
    const double bearing =
        std::atan2(lon.sinDLon * lat.cosLat2, lat.towardPole - lat.awayPole * lon.cosDLon);
    return {distM, normalizedBearing(bearing)};
}

// The cells on the border of the grid, clockwise from the north-west corner, each once.
std::vector<terrain::GeoPoint> borderCentres(const CoverageGrid& grid) {
    std::vector<std::pair<int, int>> cells; // row, column
    const int lastRow = grid.rows - 1;
    const int lastColumn = grid.columns - 1;
    for (int c = 0; c <= lastColumn; ++c)
        cells.emplace_back(0, c);
    for (int r = 1; r <= lastRow; ++r)
        cells.emplace_back(r, lastColumn);
    for (int c = lastColumn - 1; lastRow > 0 && c >= 0; --c)
        cells.emplace_back(lastRow, c);
    for (int r = lastRow - 1; lastColumn > 0 && r >= 1; --r)
        cells.emplace_back(r, 0);
    std::vector<terrain::GeoPoint> centres;
    centres.reserve(cells.size());
    for (const auto& [row, column] : cells)
        centres.push_back({grid.centreLatDeg(row), grid.centreLonDeg(column)});
    return centres;
}

// One radial toward every border cell, as long as the radius, by ascending bearing.
std::vector<Radial> makeRadials(const CoverageInputs& in, const CoverageGrid& grid,
                                const terrain::TerrainSource& terrain) {
    const double radiusM = in.radiusKm * 1000.0;
    std::vector<double> bearings;
    for (const terrain::GeoPoint centre : borderCentres(grid))
        bearings.push_back(polarOf(in.tx, centre).bearingRad);
    std::sort(bearings.begin(), bearings.end());
    bearings.erase(std::unique(bearings.begin(), bearings.end(),
                               [](double a, double b) { return b - a < 1e-12; }),
                   bearings.end());
    std::vector<Radial> radials;
    radials.reserve(bearings.size());
    for (double bearing : bearings) {
        Radial radial;
        radial.bearingRad = bearing;
        radial.end = destination(in.tx, bearing, radiusM);
        radial.points = std::clamp(terrain.pointCountFor(in.tx, radial.end), 2, 50'000);
        radials.push_back(radial);
    }
    return radials;
}

struct Choice {
    double dist2M2;
    std::uint32_t sample;
};

// The sample of radial `radial` nearest to `cell` (never the transmitter's own point).
Choice nearestOn(const Radial& radial, Polar cell, double radiusM) {
    const double stepM = radiusM / (radial.points - 1);
    const double cosDelta = std::cos(cell.bearingRad - radial.bearingRad);
    const double along = cell.distM * cosDelta / stepM;
    const auto sample =
        static_cast<std::uint32_t>(std::clamp(std::lround(along), 1L, long{radial.points - 1}));
    const double s = sample * stepM;
    return {cell.distM * cell.distM + s * s - 2 * cell.distM * s * cosDelta, sample};
}

// The bearings of the radials (ascending) cut into equal slices, each knowing the first
// bearing above its start: the radials around a bearing are found in a step or two.
class BearingIndex {
public:
    explicit BearingIndex(std::vector<double> bearings)
        : m_bearings(std::move(bearings)), m_firstAbove(2 * m_bearings.size() + 1),
          m_slicesPerRad(static_cast<double>(m_firstAbove.size() - 1) / (2 * Pi)) {
        for (std::size_t slice = 0; slice < m_firstAbove.size(); ++slice)
            m_firstAbove[slice] = static_cast<std::size_t>(
                std::upper_bound(m_bearings.begin(), m_bearings.end(), slice / m_slicesPerRad) -
                m_bearings.begin());
    }

    /// The first bearing above `bearingRad`, as std::upper_bound finds it.
    std::size_t firstAbove(double bearingRad) const {
        const double at = bearingRad * m_slicesPerRad;
        const double lastSlice = static_cast<double>(m_firstAbove.size() - 1);
        std::size_t i =
            m_firstAbove[static_cast<std::size_t>(at > 0 ? std::min(at, lastSlice) : 0)];
        // The slice's start may round to either side of the bearing.
        while (i > 0 && m_bearings[i - 1] > bearingRad)
            --i;
        while (i < m_bearings.size() && m_bearings[i] <= bearingRad)
            ++i;
        return i;
    }

    std::size_t size() const { return m_bearings.size(); }

private:
    std::vector<double> m_bearings;
    std::vector<std::size_t> m_firstAbove;
    double m_slicesPerRad;
};

// The radial and sample for one cell: the nearer of the two radials around its bearing.
std::uint64_t sampleKey(const std::vector<Radial>& radials, const BearingIndex& bearings,
                        Polar cell, double radiusM) {
    const std::size_t upper = bearings.firstAbove(cell.bearingRad);
    const std::size_t after = upper == bearings.size() ? 0 : upper;
    const std::size_t before = upper == 0 ? bearings.size() - 1 : upper - 1;
    const std::size_t first = std::min(before, after);
    const std::size_t second = std::max(before, after);
    const Choice a = nearestOn(radials[first], cell, radiusM);
    const Choice b = nearestOn(radials[second], cell, radiusM);
    const bool takeSecond = b.dist2M2 < a.dist2M2;
    return (static_cast<std::uint64_t>(takeSecond ? second : first) << 32) |
           (takeSecond ? b.sample : a.sample);
}

// Groups the cells' keys by radial into the plan's sample lists and cell positions.
void groupSamples(const std::vector<std::uint64_t>& keys, RadialPlan& plan) {
    const std::size_t radialCount = plan.radials.size();
    std::vector<std::uint32_t> start(radialCount + 1, 0);
    for (std::uint64_t key : keys)
        if (key != NoSample)
            ++start[(key >> 32) + 1];
    for (std::size_t r = 0; r < radialCount; ++r)
        start[r + 1] += start[r];
    std::vector<std::uint32_t> grouped(start.back());
    std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
    for (std::uint64_t key : keys)
        if (key != NoSample)
            grouped[fill[key >> 32]++] = static_cast<std::uint32_t>(key);
    plan.firstSample.assign(radialCount + 1, 0);
    plan.sampleIndex.clear();
    for (std::size_t r = 0; r < radialCount; ++r) {
        const auto begin = grouped.begin() + start[r];
        const auto end = grouped.begin() + start[r + 1];
        std::sort(begin, end);
        plan.firstSample[r] = static_cast<std::uint32_t>(plan.sampleIndex.size());
        plan.sampleIndex.insert(plan.sampleIndex.end(), begin, std::unique(begin, end));
    }
    plan.firstSample[radialCount] = static_cast<std::uint32_t>(plan.sampleIndex.size());
    plan.cellSample.assign(keys.size(), -1);
    for (std::size_t cell = 0; cell < keys.size(); ++cell) {
        if (keys[cell] == NoSample)
            continue;
        const std::size_t r = keys[cell] >> 32;
        const auto begin = plan.sampleIndex.begin() + plan.firstSample[r];
        const auto end = plan.sampleIndex.begin() + plan.firstSample[r + 1];
        const auto at = std::lower_bound(begin, end, static_cast<std::uint32_t>(keys[cell]));
        plan.cellSample[cell] = static_cast<std::int32_t>(at - plan.sampleIndex.begin());
    }
}

} // namespace

Polar polarOf(terrain::GeoPoint from, terrain::GeoPoint to) {
    return polarFrom(latitudeTerms(radians(from.latDeg), radians(to.latDeg)),
                     longitudeTerms(radians(to.lonDeg - from.lonDeg)));
}

terrain::GeoPoint destination(terrain::GeoPoint from, double bearingRad, double distM) {
    const double lat1 = radians(from.latDeg);
    const double delta = distM / EarthRadiusM;
    const double lat2 = std::asin(std::sin(lat1) * std::cos(delta) +
                                  std::cos(lat1) * std::sin(delta) * std::cos(bearingRad));
    const double dLon = std::atan2(std::sin(bearingRad) * std::sin(delta) * std::cos(lat1),
                                   std::cos(delta) - std::sin(lat1) * std::sin(lat2));
    return {degrees(lat2), from.lonDeg + degrees(dLon)};
}

bool planRadials(const CoverageInputs& in, const CoverageGrid& grid,
                 const terrain::TerrainSource& terrain, unsigned threads,
                 const std::atomic<bool>& cancel, RadialPlan& plan) {
    plan.radials = makeRadials(in, grid, terrain);
    std::vector<double> radialBearings;
    for (const Radial& radial : plan.radials)
        radialBearings.push_back(radial.bearingRad);
    const BearingIndex bearings(std::move(radialBearings));
    const double radiusM = in.radiusKm * 1000.0;
    // What the cells' distances and bearings take from their column alone, once.
    std::vector<LongitudeTerms> columns;
    columns.reserve(static_cast<std::size_t>(grid.columns));
    for (int column = 0; column < grid.columns; ++column)
        columns.push_back(longitudeTerms(radians(grid.centreLonDeg(column) - in.tx.lonDeg)));
    const double txLat = radians(in.tx.latDeg);
    std::vector<std::uint64_t> keys(static_cast<std::size_t>(grid.cellCount()), NoSample);
    parallelFor(
        static_cast<std::size_t>(grid.rows), threads, [&] { return cancel.load(); },
        [&](std::size_t row) {
            const LatitudeTerms lat =
                latitudeTerms(txLat, radians(grid.centreLatDeg(static_cast<int>(row))));
            for (int column = 0; column < grid.columns; ++column) {
                const Polar cell = polarFrom(lat, columns[static_cast<std::size_t>(column)]);
                if (cell.distM <= radiusM)
                    keys[row * grid.columns + column] =
                        sampleKey(plan.radials, bearings, cell, radiusM);
            }
        });
    if (cancel.load())
        return false;
    groupSamples(keys, plan);
    return true;
}

} // namespace verdan::coverage::detail
