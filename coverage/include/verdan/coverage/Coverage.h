// Coverage prediction: the basic transmission loss from one transmitter to every cell of a
// grid around it, over terrain, on every core. Plain C++, no Qt.
#pragma once

#include <verdan/terrain/TerrainSource.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace verdan::coverage {

/// What a coverage run computes. Ranges are those of the point-to-point run.
struct CoverageInputs {
    terrain::GeoPoint tx;          ///< transmitter position
    double txHeightM = 10;         ///< transmitter antenna height above ground, 0.5..3000 m
    double rxHeightM = 2;          ///< every receiver's antenna height above ground, 0.5..3000 m
    double freqMHz = 100;          ///< 20..20000 MHz
    int polarization = 1;          ///< 0 horizontal, 1 vertical (the model's code)
    double epsRel = 15;            ///< relative permittivity of the ground, 1..100
    double sgmSPerM = 0.005;       ///< ground conductivity, S/m, 0.00001..100
    double surfRefN = 301;         ///< surface refractivity, N-units, 250..400
    int climate = 5;               ///< radio climate 1..7
    double reliabilityPct = 50;    ///< time reliability, 0.1..99.9 %
    double confidencePct = 50;     ///< confidence, 0.1..99.9 %
    double radiusKm = 50;          ///< radius of the map around the transmitter, km
    double resolutionSec = 30;     ///< grid cell size in arc-seconds (latitude and longitude)
    std::optional<double> erpDbw;  ///< effective radiated power, dBW; gives power and field
};

/// The grid of a finished run: row-major, row 0 the northernmost, column 0 the westernmost.
/// Cells outside the radius hold NaN.
struct CoverageGrid {
    int columns = 0;
    int rows = 0;
    double westLonDeg = 0;         ///< west edge of column 0
    double northLatDeg = 0;        ///< north edge of row 0
    double cellDeg = 0;            ///< cell size in degrees, both axes
    std::vector<float> lossDb;     ///< basic transmission loss, dB
    std::vector<float> powerDbm;   ///< received power, dBm (only with ERP)
    std::vector<float> fieldDbuvm; ///< field strength, dBµV/m (only with ERP)
    /// Model warning per cell: 0 none, else the model's error indicator (1..4).
    std::vector<std::uint8_t> warning;
    int txColumn = 0;
    int txRow = 0;
};

/// Progress and cancellation shared between a run and its caller.
struct RunControl {
    std::atomic<bool> cancel{false};     ///< set by the caller; the run stops within 100 ms
    std::function<void(double fraction)> progress; ///< 0..1, called from worker threads
    unsigned threads = 0;                ///< 0: every core
};

/// Outcome of a run.
struct CoverageResult {
    bool ok = false;
    bool cancelled = false;
    std::string message; ///< one line for the user when !ok
    CoverageGrid grid;
};

/// Runs the coverage prediction. Deterministic: identical grids for any thread count.
CoverageResult runCoverage(const CoverageInputs& in, const terrain::TerrainSource& terrain,
                           RunControl& control);

} // namespace verdan::coverage
