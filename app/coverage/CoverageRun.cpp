#include "CoverageRun.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace verdan {

namespace {

// Share of the progress bar taken by the engine; the hillshade samples take the rest.
constexpr double EngineShare = 0.95;

float elevationOrNan(const terrain::TerrainSource& terrain, terrain::GeoPoint at) {
    double elevationM = 0;
    return terrain.elevationAt(at, elevationM).ok ? static_cast<float>(elevationM)
                                                  : std::numeric_limits<float>::quiet_NaN();
}

void sampleRow(const terrain::TerrainSource& terrain, ElevationGrid& out, int row) {
    const double latDeg = out.northLatDeg - (row + 0.5) * out.cellLatDeg;
    const auto at = [&](int column) {
        return terrain::GeoPoint{latDeg, out.westLonDeg + (column + 0.5) * out.cellLonDeg};
    };
    auto* first = out.elevationM.data() + static_cast<std::ptrdiff_t>(row) * out.columns;
    terrain::Profile profile;
    if (out.columns >= 2 &&
        terrain.profile(at(0), at(out.columns - 1), out.columns, profile).ok &&
        profile.elevationsM.size() == static_cast<std::size_t>(out.columns)) {
        std::transform(profile.elevationsM.begin(), profile.elevationsM.end(), first,
                       [](double e) { return static_cast<float>(e); });
        return;
    }
    for (int c = 0; c < out.columns; ++c)
        first[c] = elevationOrNan(terrain, at(c));
}

} // namespace

ElevationGrid sampleElevations(const terrain::TerrainSource& terrain,
                               const coverage::CoverageGrid& grid, int maxSide,
                               const std::atomic<bool>& cancel) {
    ElevationGrid out;
    if (grid.columns <= 0 || grid.rows <= 0)
        return out;
    out.columns = std::min(grid.columns, maxSide);
    out.rows = std::min(grid.rows, maxSide);
    out.westLonDeg = grid.westLonDeg;
    out.northLatDeg = grid.northLatDeg;
    out.cellLonDeg = grid.cellDeg * grid.columns / out.columns;
    out.cellLatDeg = grid.cellDeg * grid.rows / out.rows;
    out.elevationM.assign(static_cast<std::size_t>(out.columns) * out.rows,
                          std::numeric_limits<float>::quiet_NaN());
    for (int r = 0; r < out.rows && !cancel; ++r)
        sampleRow(terrain, out, r);
    return out;
}

CoverageRun::CoverageRun(CoverageEngine engine, QObject* parent)
    : QObject(parent), m_engine(std::move(engine)) {
    m_control.progress = [this](double fraction) { postProgress(fraction * EngineShare); };
}

CoverageRun::~CoverageRun() {
    m_control.cancel = true;
    if (m_thread.joinable())
        m_thread.join();
}

bool CoverageRun::start(const coverage::CoverageInputs& inputs,
                        std::shared_ptr<const terrain::TerrainSource> terrain) {
    if (m_state == RunState::Running || m_state == RunState::Cancelling || !terrain)
        return false;
    if (m_thread.joinable())
        m_thread.join();
    m_runInputs = inputs;
    m_runTerrain = std::move(terrain);
    m_message.clear();
    m_progress = 0;
    m_workerProgress = 0;
    m_lastPost = {};
    m_control.cancel = false;
    setState(RunState::Running);
    m_thread = std::thread([this] { work(); });
    return true;
}

void CoverageRun::work() {
    auto outcome = std::make_unique<Outcome>();
    const auto started = std::chrono::steady_clock::now();
    try {
        outcome->result = m_engine(m_runInputs, *m_runTerrain, m_control);
        if (outcome->result.ok && !m_control.cancel)
            outcome->elevations = sampleElevations(*m_runTerrain, outcome->result.grid,
                                                   HillshadeSide, m_control.cancel);
    } catch (const std::exception& e) {
        outcome->result = {};
        outcome->result.message = std::string("The coverage run failed: ") + e.what();
    }
    outcome->result.cancelled = outcome->result.cancelled || m_control.cancel;
    outcome->elapsedSec =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    m_outcome = std::move(outcome);
    QMetaObject::invokeMethod(this, [this] { finish(); }, Qt::QueuedConnection);
}

void CoverageRun::postProgress(double fraction) {
    m_workerProgress = fraction;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastPost < ProgressInterval || m_progressPosted.exchange(true))
        return;
    m_lastPost = now;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_progressPosted = false;
            if (m_state != RunState::Running)
                return;
            m_progress = m_workerProgress;
            emit progressChanged();
        },
        Qt::QueuedConnection);
}

const coverage::CoverageGrid& CoverageRun::grid() const {
    static const coverage::CoverageGrid none;
    return m_map.result ? m_map.result->grid : none;
}

std::shared_ptr<const coverage::CoverageGrid> CoverageRun::sharedGrid() const {
    if (!m_map.result)
        return nullptr;
    return std::shared_ptr<const coverage::CoverageGrid>(m_map.result, &m_map.result->grid);
}

void CoverageRun::finish() {
    if (!m_outcome)
        return;
    if (m_thread.joinable())
        m_thread.join();
    std::unique_ptr<Outcome> outcome = std::move(m_outcome);
    if (outcome->result.cancelled || !outcome->result.ok) {
        m_progress = 0;
        emit progressChanged();
        if (!outcome->result.cancelled)
            m_message = QString::fromStdString(outcome->result.message);
        setState(outcome->result.cancelled ? RunState::Idle : RunState::Failed);
        return;
    }
    m_map = {m_runInputs, std::move(m_runTerrain),
             std::make_shared<const coverage::CoverageResult>(std::move(outcome->result)),
             std::move(outcome->elevations), outcome->elapsedSec};
    ++m_mapSerial;
    m_progress = 1;
    emit progressChanged();
    setState(RunState::Done);
}

void CoverageRun::cancel() {
    if (m_state != RunState::Running)
        return;
    m_control.cancel = true;
    setState(RunState::Cancelling);
}

void CoverageRun::wait() {
    if (m_thread.joinable())
        m_thread.join();
    QCoreApplication::sendPostedEvents(this);
    finish();
}

void CoverageRun::setState(RunState state) {
    m_state = state;
    emit stateChanged();
}

} // namespace verdan
