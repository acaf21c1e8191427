#include <verdan/coverage/Coverage.h>

#include "ParallelFor.h"
#include "RadialPlan.h"
#include "TextFormat.h"

#include "pmverdan.h"

#include <verdan/radio/PathGeometry.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <numbers>

namespace verdan::coverage {

using detail::RadialPlan;

namespace {

constexpr float NoData = std::numeric_limits<float>::quiet_NaN();

std::string pointText(terrain::GeoPoint at) {
    return text::fixed(at.latDeg, 5) + ", " + text::fixed(at.lonDeg, 5);
}

bool within(double value, double minimum, double maximum) {
    return value >= minimum && value <= maximum; // false for NaN
}

std::string rangeMessage(const CoverageInputs& in) {
    struct Check {
        double value;
        double minimum;
        double maximum;
        const char* message;
    };
    const Check checks[] = {
        {in.tx.latDeg, -89, 89, "transmitter latitude: -89..89 degrees"},
        {in.tx.lonDeg, -180, 180, "transmitter longitude: -180..180 degrees"},
        {in.txHeightM, 0.5, 3000, "transmitter height: 0.5..3000 m"},
        {in.rxHeightM, 0.5, 3000, "receiver height: 0.5..3000 m"},
        {in.freqMHz, 20, 20000, "frequency: 20..20000 MHz"},
        {static_cast<double>(in.polarization), 0, 1, "polarization: 0 horizontal or 1 vertical"},
        {in.epsRel, 1, 100, "relative permittivity: 1..100"},
        {in.sgmSPerM, 0.00001, 100, "conductivity: 0.00001..100 S/m"},
        {in.surfRefN, 250, 400, "surface refractivity: 250..400 N-units"},
        {static_cast<double>(in.climate), 1, 7, "climate: 1..7"},
        {in.reliabilityPct, 0.1, 99.9, "reliability: 0.1..99.9 %"},
        {in.confidencePct, 0.1, 99.9, "confidence: 0.1..99.9 %"},
        {in.radiusKm, 1, 2000, "radius: 1..2000 km"},
        {in.resolutionSec, 0.1, 3600, "resolution: 0.1..3600 arc-seconds"},
        {in.erpDbw.value_or(0), -200, 200, "ERP: -200..200 dBW"},
        {in.transmitter.powerDbm.value_or(0), -100, 130, "transmitter power: -100..130 dBm"},
        {in.transmitter.lineLossDb, 0, 100, "transmitter line loss: 0..100 dB"},
        {in.transmitter.gainDbi, -50, 60, "transmitter antenna gain: -50..60 dBi"},
        {in.transmitter.pointing.azimuthDeg, -360, 360, "antenna azimuth: 0..360 degrees"},
        {in.transmitter.pointing.downtiltDeg, -90, 90, "antenna tilt: -90..90 degrees"},
        {in.receiver.gainDbi, -50, 60, "receiver antenna gain: -50..60 dBi"},
        {in.receiver.lineLossDb, 0, 100, "receiver line loss: 0..100 dB"},
    };
    for (const Check& check : checks)
        if (!within(check.value, check.minimum, check.maximum))
            return check.message;
    if (in.erpDbw && in.transmitter.powerDbm)
        return "an ERP or a transmitter power, not both: the ERP already holds the power, "
               "line loss and antenna gain";
    if (in.receiver.threshold && !in.hasLinkBudget())
        return "a threshold needs a transmitter power or an ERP";
    return {};
}

// Fails when the terrain has no elevation at the transmitter or at the radius due north,
// east, south or west of it.
std::string terrainCoverMessage(const CoverageInputs& in, const terrain::TerrainSource& terrain) {
    std::vector<terrain::GeoPoint> points{in.tx};
    for (int quarter = 0; quarter < 4; ++quarter)
        points.push_back(
            detail::destination(in.tx, quarter * std::numbers::pi / 2, in.radiusKm * 1000.0));
    for (const terrain::GeoPoint at : points) {
        double elevationM = 0;
        const terrain::Status status = terrain.elevationAt(at, elevationM);
        if (!status.ok)
            return "The terrain data do not cover the radius of " + text::fixed(in.radiusKm, 1) +
                   " km around the transmitter: no elevation at " + pointText(at) + " (" +
                   status.message + ")";
    }
    return {};
}

// The model inputs shared by every sample, and the deviates of reliability and confidence.
struct ModelSetup {
    double freqMHz;
    double heightsM[2];
    int ipol;
    double eps;
    double sgm;
    double ns;
    int klim;
    double zTime;
    double zConfidence;
    double freeSpaceAt1KmDb; // the free-space loss at 1 km, dB
};

ModelSetup modelSetup(const CoverageInputs& in) {
    return {in.freqMHz,
            {in.txHeightM, in.rxHeightM},
            in.polarization,
            in.epsRel,
            in.sgmSPerM,
            in.surfRefN,
            in.climate,
            qerfi(in.reliabilityPct / 100.0),
            qerfi(in.confidencePct / 100.0),
            20.0 * std::log10(in.freqMHz) + 32.45};
}

// Closes a radial of the model library.
struct RadialCloser {
    void operator()(PmvRadial* radial) const { pmv_radial_close(radial); }
};
using RadialHandle = std::unique_ptr<PmvRadial, RadialCloser>;

// The mean elevation of the middle part of the path to point `intervals` (the point-to-point
// run's system elevation: the points from about a tenth of the path to about nine tenths).
double systemElevationM(const PmvRadial* radial, int intervals) {
    const auto ja = static_cast<int>(std::nearbyint(3.0 + 0.1 * intervals));
    const int jb = intervals - ja + 6;
    return pmv_radial_mean_elevation(radial, ja - 3, jb - 3);
}

struct SampleLoss {
    float lossDb;
    std::uint8_t warning;
    WarningCause cause;
};

// Which of the model's range checks the path failed, from its records after the run: the
// conditions of the warnings 4, then 3, then 1 (kwx 2 comes from the variability only).
WarningCause causeOf(const PropRecord& prop, const PropaRecord& propa) {
    if (prop.kwx == 0)
        return WarningCause::None;
    if (prop.ens < 250.0)
        return WarningCause::RefractivityLow;
    if (prop.ens > 400.0)
        return WarningCause::RefractivityHigh;
    if (prop.dist < 1e3 || prop.dist < propa.minDistM)
        return WarningCause::NearTransmitter;
    for (int j = 0; j < 2; ++j) {
        if (std::fabs(prop.the[j]) > 200e-3 || prop.dl[j] < 0.1 * propa.dls[j] ||
            prop.dl[j] > 3.0 * propa.dls[j])
            return WarningCause::Horizon;
    }
    if (prop.wn < 0.838 || prop.wn > 210.0)
        return WarningCause::Frequency;
    for (int j = 0; j < 2; ++j) {
        if (prop.hg[j] < 1.0 || prop.hg[j] > 1000.0)
            return WarningCause::AntennaHeight;
    }
    return WarningCause::Other;
}

// The point-to-point loss over the path from the transmitter to point `intervals` of the
// radial, as the program's point-to-point run computes it for one reliability and confidence.
SampleLoss pointToPointLoss(const ModelSetup& setup, PmvRadial* radial, int intervals) {
    PropRecord prop{};
    PropvRecord propv{};
    PropaRecord propa{};
    prop.hg[0] = setup.heightsM[0];
    prop.hg[1] = setup.heightsM[1];
    propv.klim = setup.klim;
    propv.lvar = 5;
    propv.mdvar = 12;
    prop.mdp = -1;
    qlrps(setup.freqMHz, systemElevationM(radial, intervals), setup.ns, setup.ipol, setup.eps,
          setup.sgm, &prop);
    pmv_radial_qlrpfl(radial, intervals, setup.klim, propv.mdvar, &prop, &propa, &propv);
    const double freeSpaceDb = setup.freeSpaceAt1KmDb + 20.0 * std::log10(prop.dist / 1000.0);
    const double lossDb = avar(setup.zTime, 0.0, setup.zConfidence, &prop, &propv) + freeSpaceDb;
    return {static_cast<float>(lossDb), static_cast<std::uint8_t>(prop.kwx), causeOf(prop, propa)};
}

// At least two points, all finite; a source may return fewer points than asked (Quarn).
bool usableProfile(const terrain::Profile& profile, int points) {
    const auto count = static_cast<int>(profile.elevationsM.size());
    if (count < 2 || count > points || !(profile.spacingM > 0 && std::isfinite(profile.spacingM)))
        return false;
    for (double z : profile.elevationsM)
        if (!std::isfinite(z))
            return false;
    return true;
}

// Computes the samples of the plan on the radials, in parallel; records the first failure
// (by radial) and reports progress.
class SampleRun {
public:
    SampleRun(const CoverageInputs& in, const RadialPlan& plan,
              const terrain::TerrainSource& terrain, RunControl& control)
        : m_in(in), m_plan(plan), m_terrain(terrain), m_control(control), m_setup(modelSetup(in)),
          m_lossDb(plan.sampleIndex.size()), m_warning(plan.sampleIndex.size()),
          m_cause(plan.sampleIndex.size()) {}

    void run(unsigned threads) {
        detail::parallelFor(
            m_plan.radials.size(), threads,
            [this] { return m_control.cancel.load() || m_failed.load(); },
            [this](std::size_t r) { runRadial(r); });
    }

    bool failed() const { return m_failed.load(); }
    const std::string& message() const { return m_message; }
    long long filledPoints() const { return m_filledPoints.load(); }
    const std::vector<float>& lossDb() const { return m_lossDb; }
    const std::vector<std::uint8_t>& warning() const { return m_warning; }
    const std::vector<WarningCause>& cause() const { return m_cause; }
    /// The transmitting antenna's gain toward each sample, dBi (with a pattern only).
    const std::vector<float>& txGainDbi() const { return m_txGainDbi; }

    /// Takes the transmitting antenna's pattern toward every sample, over an earth of
    /// `earthRadiusM`.
    void aimPattern(double earthRadiusM) {
        m_earthRadiusM = earthRadiusM;
        m_txGainDbi.resize(m_lossDb.size());
    }

private:
    void runRadial(std::size_t r) {
        const detail::Radial& radial = m_plan.radials[r];
        const std::uint32_t first = m_plan.firstSample[r];
        const std::uint32_t last = m_plan.firstSample[r + 1];
        if (first != last && !computeRadial(r, radial, first, last))
            return;
        reportProgress();
    }

    bool computeRadial(std::size_t r, const detail::Radial& radial, std::uint32_t first,
                       std::uint32_t last) {
        terrain::Profile profile;
        const terrain::Status status =
            m_terrain.profile(m_in.tx, radial.end, radial.points, profile);
        if (!status.ok || !usableProfile(profile, radial.points)) {
            fail(r, "No terrain profile toward " + pointText(radial.end) + ": " +
                        (status.ok ? std::string("the terrain source returned unusable data")
                                   : status.message));
            return false;
        }
        m_filledPoints += profile.filledPoints;
        std::vector<double> pfl(profile.elevationsM.size() + 2);
        pfl[0] = static_cast<double>(profile.elevationsM.size() - 1);
        pfl[1] = profile.spacingM;
        std::copy(profile.elevationsM.begin(), profile.elevationsM.end(), pfl.begin() + 2);
        const RadialHandle shared(pmv_radial_open(pfl.data()));
        if (!shared)
            throw std::bad_alloc();
        // The plan's sample i lies at i / (points - 1) of the radial; fewer points returned
        // than asked move it to the nearest point returned.
        const double scale =
            static_cast<double>(profile.elevationsM.size() - 1) / (radial.points - 1);
        for (std::uint32_t k = first; k < last; ++k) {
            if (m_control.cancel.load())
                return false;
            const auto intervals =
                static_cast<int>(std::max(1.0, std::round(m_plan.sampleIndex[k] * scale)));
            const SampleLoss sample = pointToPointLoss(m_setup, shared.get(), intervals);
            m_lossDb[k] = sample.lossDb;
            m_warning[k] = sample.warning;
            m_cause[k] = sample.cause;
            if (!m_txGainDbi.empty())
                m_txGainDbi[k] = gainTowardSample(radial, pfl, intervals);
        }
        return true;
    }

    // The transmitting antenna's gain toward the receiving antenna at point `intervals` of the
    // radial's profile `pfl` (the model's layout).
    float gainTowardSample(const detail::Radial& radial, const std::vector<double>& pfl,
                           int intervals) const {
        const auto index = static_cast<std::size_t>(intervals);
        const double elevationDeg =
            radio::elevationAngleDeg(pfl[2] + m_in.txHeightM, pfl[2 + index] + m_in.rxHeightM,
                                     pfl[1] * static_cast<double>(index), m_earthRadiusM);
        const radio::Direction toward{radial.bearingRad * 180.0 / std::numbers::pi, elevationDeg};
        return static_cast<float>(m_in.transmitter.gainTowardDbi(toward));
    }

    void fail(std::size_t radial, std::string message) {
        const std::lock_guard lock(m_mutex);
        if (radial < m_failedRadial) {
            m_failedRadial = radial;
            m_message = std::move(message);
        }
        m_failed = true;
    }

    void reportProgress() {
        const std::size_t done = ++m_done;
        if (!m_control.progress)
            return;
        const std::lock_guard lock(m_mutex);
        const double fraction = static_cast<double>(done) / m_plan.radials.size();
        if (fraction >= m_reported + 0.001 || done == m_plan.radials.size()) {
            m_reported = std::max(m_reported, fraction);
            m_control.progress(m_reported);
        }
    }

    const CoverageInputs& m_in;
    const RadialPlan& m_plan;
    const terrain::TerrainSource& m_terrain;
    RunControl& m_control;
    const ModelSetup m_setup;
    std::vector<float> m_lossDb;
    std::vector<std::uint8_t> m_warning;
    std::vector<WarningCause> m_cause;
    std::vector<float> m_txGainDbi;
    double m_earthRadiusM = radio::ActualEarthRadiusM;
    std::atomic<bool> m_failed{false};
    std::atomic<std::size_t> m_done{0};
    std::atomic<long long> m_filledPoints{0};
    std::mutex m_mutex;
    std::size_t m_failedRadial = std::numeric_limits<std::size_t>::max();
    std::string m_message;
    double m_reported = 0;
};

// The link budget of one cell; `txGainDbi` toward it.
struct CellBudget {
    double mainBeamEirpDbm;
    double peakGainDbi;
    double rxGainLessLossDb;
    double fieldOffsetDb; // the field of 0 dBm EIRP over a loss of 0 dB

    void fill(CoverageGrid& grid, const CoverageInputs& in, std::size_t cell, double lossDb,
              double txGainDbi) const {
        const double eirpDbm = mainBeamEirpDbm + txGainDbi - peakGainDbi;
        const double powerDbm = eirpDbm - lossDb + rxGainLessLossDb;
        const double fieldDbuvm = eirpDbm - lossDb + fieldOffsetDb;
        grid.powerDbm[cell] = static_cast<float>(powerDbm);
        grid.fieldDbuvm[cell] = static_cast<float>(fieldDbuvm);
        if (in.receiver.threshold)
            grid.marginDb[cell] =
                static_cast<float>(radio::marginDb(*in.receiver.threshold, powerDbm, fieldDbuvm));
    }
};

// The transmitter of `in` with its ERP, when given as one.
radio::TransmitterSide transmitterOf(const CoverageInputs& in) {
    radio::TransmitterSide tx = in.transmitter;
    tx.erpDbm.reset();
    if (in.erpDbw)
        tx.erpDbm = *in.erpDbw + 30.0;
    return tx;
}

// Fills the grid from the samples; returns the number of cells within the radius that have
// no result.
long long fillGrid(const CoverageInputs& in, const RadialPlan& plan, const SampleRun& samples,
                   CoverageGrid& grid) {
    const auto cells = static_cast<std::size_t>(grid.cellCount());
    grid.lossDb.assign(cells, NoData);
    grid.warning.assign(cells, 0);
    grid.warningCause.assign(cells, WarningCause::None);
    const bool budget = in.hasLinkBudget();
    if (budget) {
        grid.powerDbm.assign(cells, NoData);
        grid.fieldDbuvm.assign(cells, NoData);
    }
    long long noResult = 0;
    if (in.receiver.threshold)
        grid.marginDb.assign(cells, NoData);
    const radio::TransmitterSide tx = transmitterOf(in);
    const double peakDbi = tx.pattern ? tx.pattern->gainDbi : tx.gainDbi;
    const CellBudget cellBudget{tx.mainBeamEirpDbm().value_or(0), peakDbi,
                                in.receiver.gainDbi - in.receiver.lineLossDb,
                                radio::fieldStrengthDbuvm(0.0, 0.0, in.freqMHz)};
    const std::vector<float>& gains = samples.txGainDbi();
    for (std::size_t cell = 0; cell < cells; ++cell) {
        const std::int32_t k = plan.cellSample[cell];
        if (k < 0)
            continue;
        const float lossDb = samples.lossDb()[k];
        grid.lossDb[cell] = lossDb;
        grid.warning[cell] = samples.warning()[k];
        if (std::isnan(lossDb)) {
            grid.warning[cell] = CellWithoutResult;
            ++noResult;
        }
        grid.warningCause[cell] = samples.cause()[k];
        if (budget)
            cellBudget.fill(grid, in, cell, lossDb, gains.empty() ? peakDbi : gains[k]);
    }
    return noResult;
}

// Whether the centre of the transmitter's cell or of one of its neighbours (the nearest
// centres) lies within the radius: else every cell of the map would be empty.
bool hasCellWithinRadius(const CoverageInputs& in, const CoverageGrid& grid) {
    for (int row = grid.txRow - 1; row <= grid.txRow + 1; ++row)
        for (int column = grid.txColumn - 1; column <= grid.txColumn + 1; ++column)
            if (detail::polarOf(in.tx, {grid.centreLatDeg(row), grid.centreLonDeg(column)}).distM <=
                in.radiusKm * 1000.0)
                return true;
    return false;
}

double transmitterGroundM(const CoverageInputs& in, const terrain::TerrainSource& terrain) {
    double groundM = 0;
    return terrain.elevationAt(in.tx, groundM).ok ? groundM : 0.0;
}

CoverageResult failure(std::string message, bool terrainError = false) {
    CoverageResult result;
    result.message = std::move(message);
    result.terrainError = terrainError;
    return result;
}

CoverageResult cancelled() {
    CoverageResult result;
    result.cancelled = true;
    result.message = "Cancelled";
    return result;
}

} // namespace

std::string checkInputs(const CoverageInputs& in) {
    if (std::string message = rangeMessage(in); !message.empty())
        return message;
    const CoverageGrid grid = gridLayout(in);
    if (grid.cellCount() > MaxCells)
        return "The map would have " + std::to_string(grid.cellCount()) + " cells; at most " +
               std::to_string(MaxCells) +
               " are allowed: choose a smaller radius or a coarser resolution";
    if (grid.westLonDeg < -180 || grid.westLonDeg + grid.columns * grid.cellDeg > 180)
        return "The map would cross the 180th meridian, which is not supported";
    if (grid.northLatDeg > 90 || grid.northLatDeg - grid.rows * grid.cellDeg < -90)
        return "The map would reach beyond a pole, which is not supported";
    if (!hasCellWithinRadius(in, grid))
        return "No cell centre of " + text::fixed(in.resolutionSec, 1) +
               " arc-seconds lies within the radius of " + text::fixed(in.radiusKm, 1) +
               " km: choose a finer resolution or a larger radius";
    return {};
}

CoverageGrid gridLayout(const CoverageInputs& in) {
    CoverageGrid grid;
    grid.cellDeg = in.resolutionSec / 3600.0;
    const double capRad = in.radiusKm * 1000.0 / detail::EarthRadiusM;
    const double latRad = in.tx.latDeg * std::numbers::pi / 180.0;
    const double dLatDeg = capRad * 180.0 / std::numbers::pi;
    const double dLonDeg =
        std::asin(std::min(1.0, std::sin(capRad) / std::cos(latRad))) * 180.0 / std::numbers::pi;
    const auto index = [&grid](double deg) {
        return static_cast<long long>(std::floor(deg / grid.cellDeg));
    };
    const long long top = index(in.tx.latDeg + dLatDeg);
    const long long bottom = index(in.tx.latDeg - dLatDeg);
    const long long west = index(in.tx.lonDeg - dLonDeg);
    const long long east = index(in.tx.lonDeg + dLonDeg);
    grid.rows = static_cast<int>(top - bottom + 1);
    grid.columns = static_cast<int>(east - west + 1);
    grid.northLatDeg = static_cast<double>(top + 1) * grid.cellDeg;
    grid.westLonDeg = static_cast<double>(west) * grid.cellDeg;
    grid.txRow = static_cast<int>(top - index(in.tx.latDeg));
    grid.txColumn = static_cast<int>(index(in.tx.lonDeg) - west);
    return grid;
}

CoverageResult runCoverage(const CoverageInputs& in, const terrain::TerrainSource& terrain,
                           RunControl& control) {
    if (std::string message = checkInputs(in); !message.empty())
        return failure(std::move(message));
    if (std::string message = terrainCoverMessage(in, terrain); !message.empty())
        return failure(std::move(message), true);
    CoverageGrid grid = gridLayout(in);
    try {
        const unsigned threads = detail::workerCount(control.threads, grid.rows);
        RadialPlan plan;
        if (!detail::planRadials(in, grid, terrain, threads, control.cancel, plan))
            return cancelled();
        SampleRun samples(in, plan, terrain, control);
        if (in.transmitter.pattern && in.hasLinkBudget())
            samples.aimPattern(effectiveEarthRadiusM(in, transmitterGroundM(in, terrain)));
        samples.run(threads);
        if (samples.failed())
            return failure(samples.message(), true);
        if (control.cancel.load())
            return cancelled();
        CoverageResult result;
        result.noResultCells = fillGrid(in, plan, samples, grid);
        result.ok = true;
        result.modelCalls = static_cast<long long>(plan.sampleIndex.size());
        result.filledPoints = samples.filledPoints();
        result.grid = std::move(grid);
        return result;
    } catch (const std::bad_alloc&) {
        return failure("Not enough memory for a map of " + std::to_string(grid.cellCount()) +
                       " cells");
    }
}

double receivedPowerDbm(double erpDbw, double lossDb) {
    return radio::receivedPowerDbm(erpDbw + 30.0 + radio::DipoleGainDbi, lossDb, 0.0, 0.0);
}

double fieldStrengthDbuvm(double erpDbw, double lossDb, double freqMHz) {
    return radio::fieldStrengthDbuvm(erpDbw + 30.0 + radio::DipoleGainDbi, lossDb, freqMHz);
}

double effectiveEarthRadiusM(const CoverageInputs& in, double groundM) {
    PropRecord prop{};
    qlrps(in.freqMHz, groundM, in.surfRefN, in.polarization, in.epsRel, in.sgmSPerM, &prop);
    return prop.gme > 0 ? 1.0 / prop.gme : radio::ActualEarthRadiusM;
}

} // namespace verdan::coverage
