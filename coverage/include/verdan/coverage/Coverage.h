// Coverage prediction: the basic transmission loss from one transmitter to every cell of a
// grid around it, over terrain, on every core. Plain C++, no Qt.
//
// Method: terrain profiles are taken along radials from the transmitter to every cell of the
// grid's border, each as long as the radius; the point-to-point calculation of the
// Longley-Rice propagation model (mode of variability 12, as the program's point-to-point
// run) gives the loss at each radial sample a cell needs, over the profile from the
// transmitter to that sample. Every cell within the radius takes the result of the radial
// sample nearest to its centre (on the radials either side of it).
//
// With a transmitter power or an ERP the link budget of radio/ turns each loss into received
// power, field strength and, with a threshold, margin. A transmitting antenna pattern is
// taken toward each radial sample: the radial's bearing and the elevation angle from the
// transmitting antenna to the receiving antenna over the sample's ground, over an earth of
// the model's effective radius at the transmitter (its k for the run's refractivity).
#pragma once

#include <verdan/radio/LinkBudget.h>
#include <verdan/terrain/TerrainSource.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace verdan::coverage {

/// The warning value of a cell within the radius for which the model gave no number (its
/// loss NaN), so that band 2 of the GeoTIFF tells it apart from cells outside the radius
/// (NaN in both bands). Not a model warning: warning counts leave it out.
inline constexpr std::uint8_t CellWithoutResult = 255;

/// Runs over more cells than this are refused (memory and time).
inline constexpr long long MaxCells = 50'000'000;

/// What a coverage run computes. Ranges are those of the point-to-point run.
struct CoverageInputs {
    terrain::GeoPoint tx;         ///< transmitter position, latitude within +-89 degrees
    double txHeightM = 10;        ///< transmitter antenna height above ground, 0.5..3000 m
    double rxHeightM = 2;         ///< every receiver's antenna height above ground, 0.5..3000 m
    double freqMHz = 100;         ///< 20..20000 MHz
    int polarization = 1;         ///< 0 horizontal, 1 vertical (the model's code)
    double epsRel = 15;           ///< relative permittivity of the ground, 1..100
    double sgmSPerM = 0.005;      ///< ground conductivity, S/m, 0.00001..100
    double surfRefN = 301;        ///< surface refractivity, N-units, 250..400
    int climate = 5;              ///< radio climate 1..7
    double reliabilityPct = 50;   ///< time reliability, 0.1..99.9 %
    double confidencePct = 50;    ///< confidence, 0.1..99.9 %
    double radiusKm = 50;         ///< radius of the map around the transmitter, 1..2000 km
    double resolutionSec = 30;    ///< grid cell size in arc-seconds (both axes), 0.1..3600
    std::optional<double> erpDbw; ///< ERP in the main beam, dBW; gives power and field
    /// The transmitter's power and line loss (instead of erpDbw), its antenna's gain or
    /// pattern and pointing. Its erpDbm is not used: erpDbw is the ERP.
    radio::TransmitterSide transmitter;
    /// The receiving antenna's gain and line loss, and the threshold of the margin band.
    radio::ReceiverSide receiver;

    /// True when power and field strength can be computed (a power or an ERP).
    bool hasLinkBudget() const { return erpDbw.has_value() || transmitter.powerDbm.has_value(); }
};

/// Why the model warned about a cell's path, as far as its records tell (the first that
/// applies, in this order).
enum class WarningCause : std::uint8_t {
    None,             ///< no warning
    RefractivityLow,  ///< surface refractivity at the path's elevation below 250 N-units
    RefractivityHigh, ///< surface refractivity at the path's elevation above 400 N-units
    NearTransmitter,  ///< path shorter than the model's shortest distance
    Horizon,          ///< horizon angle or horizon distance out of the model's range
    Frequency,        ///< frequency outside the model's best range
    AntennaHeight,    ///< antenna height outside the model's best range
    Other,            ///< another parameter, or a combination, out of range
};

/// Number of WarningCause values.
inline constexpr int WarningCauseCount = 8;

/// The cause in words, e.g. "surface refractivity at the path elevation below 250 N-units".
std::string warningCauseText(WarningCause cause);

/// The grid of a run: row-major, row 0 the northernmost, column 0 the westernmost. Cell
/// edges lie on whole multiples of the cell size from 0 degrees, so every grid of one
/// resolution lines up with every other. Cells outside the radius hold NaN.
struct CoverageGrid {
    int columns = 0;
    int rows = 0;
    double westLonDeg = 0;         ///< west edge of column 0
    double northLatDeg = 0;        ///< north edge of row 0
    double cellDeg = 0;            ///< cell size in degrees, both axes
    std::vector<float> lossDb;     ///< basic transmission loss, dB
    std::vector<float> powerDbm;   ///< received power at the receiver's input, dBm (link budget)
    std::vector<float> fieldDbuvm; ///< field strength, dBµV/m (link budget)
    std::vector<float> marginDb;   ///< over the receiver's threshold, dB (with a threshold)
    /// Model warning per cell: 0 none, else the model's error indicator (1..4).
    std::vector<std::uint8_t> warning;
    /// Why the model warned, per cell (a WarningCause); empty in grids read back from files.
    std::vector<WarningCause> warningCause;
    int txColumn = 0; ///< the cell that holds the transmitter
    int txRow = 0;
    /// Further metadata items (name, value) of the GeoTIFF the grid is written to.
    std::vector<std::pair<std::string, std::string>> metadata;

    long long cellCount() const { return static_cast<long long>(columns) * rows; }
    double centreLatDeg(int row) const { return northLatDeg - (row + 0.5) * cellDeg; }
    double centreLonDeg(int column) const { return westLonDeg + (column + 0.5) * cellDeg; }
};

/// Progress and cancellation shared between a run and its caller.
struct RunControl {
    std::atomic<bool> cancel{false}; ///< set by the caller; the run stops within 100 ms
    /// 0..1, rising; called from worker threads, one call at a time.
    std::function<void(double fraction)> progress;
    unsigned threads = 0; ///< 0: every core
};

/// Outcome of a run.
struct CoverageResult {
    bool ok = false;
    bool cancelled = false;
    std::string message;        ///< one line for the user when !ok
    bool terrainError = false;  ///< the failure lies in the terrain data (not covered, unreadable)
    CoverageGrid grid;          ///< empty unless ok
    long long modelCalls = 0;   ///< radial samples computed
    long long filledPoints = 0; ///< profile points without terrain data (given the fill)
    long long noResultCells = 0; ///< cells within the radius whose loss came out NaN
};

/// The empty message when `in` is within the documented ranges and its grid has a cell within
/// the radius, else one line naming the first value at fault and what it accepts.
std::string checkInputs(const CoverageInputs& in);

/// The grid a run of `in` fills (size and georeferencing; the value arrays stay empty).
/// `in` must pass checkInputs().
CoverageGrid gridLayout(const CoverageInputs& in);

/// Runs the coverage prediction. Deterministic: identical grids for any thread count. Fails
/// with a message for inputs out of range, a grid of more than MaxCells cells, a map that
/// crosses the 180th meridian, terrain that does not cover the radius, or a terrain error.
CoverageResult runCoverage(const CoverageInputs& in, const terrain::TerrainSource& terrain,
                           RunControl& control);

/// The part of a map at or above the receiver's threshold.
struct CoveredArea {
    double coveredKm2 = 0; ///< cells whose margin is 0 dB or more
    double discKm2 = 0;    ///< cells within the radius (with a value)
    double coveredShare() const { return discKm2 > 0 ? coveredKm2 / discKm2 : 0.0; }
};

/// The covered area of `grid`, each cell by its exact area on the WGS 84 ellipsoid (the
/// zone between its two latitudes, in proportion to its width in longitude). Without a
/// margin band only the disc is counted.
CoveredArea coveredArea(const CoverageGrid& grid);

/// The area, km2, of a cell in row `row` of `grid` on the WGS 84 ellipsoid.
double cellAreaKm2(const CoverageGrid& grid, int row);

/// Received power (dBm, isotropic receiving antenna) and field strength (dBµV/m) for a
/// basic transmission loss, an ERP (dBW, relative to a half-wave dipole) and a frequency.
double receivedPowerDbm(double erpDbw, double lossDb);
double fieldStrengthDbuvm(double erpDbw, double lossDb, double freqMHz);

/// The effective earth radius, m, the model takes at the transmitter's ground elevation
/// `groundM` for the refractivity of `in` (1 / its effective curvature).
double effectiveEarthRadiusM(const CoverageInputs& in, double groundM);

} // namespace verdan::coverage
