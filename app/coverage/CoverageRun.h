#pragma once

#include <verdan/coverage/Coverage.h>

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace verdan {

/// The coverage engine as the program calls it: coverage::runCoverage, or a stand-in in tests.
using CoverageEngine = std::function<coverage::CoverageResult(
    const coverage::CoverageInputs&, const terrain::TerrainSource&, coverage::RunControl&)>;

/// Terrain elevations over the extent of a coverage grid, for the map's hillshade: row 0 the
/// northernmost, elevations in metres, NaN where the terrain has no data. Sample (r, c) lies at
/// the centre of a cell of `cellLatDeg` x `cellLonDeg` degrees.
struct ElevationGrid {
    int columns = 0;
    int rows = 0;
    double westLonDeg = 0;
    double northLatDeg = 0;
    double cellLonDeg = 0;
    double cellLatDeg = 0;
    std::vector<float> elevationM;
};

/// Samples the terrain over the extent of `grid` at most `maxSide` samples a side, one profile
/// per row. Stops early (the rest NaN) when `cancel` is set.
ElevationGrid sampleElevations(const terrain::TerrainSource& terrain,
                               const coverage::CoverageGrid& grid, int maxSide,
                               const std::atomic<bool>& cancel);

/// Where a coverage run stands.
enum class RunState {
    Idle,       ///< nothing computed (or the last run was cancelled)
    Running,    ///< the engine works in the background
    Cancelling, ///< cancel asked; the engine stops within 100 ms
    Done,       ///< a map is ready
    Failed,     ///< the engine gave an error message
};

/// One coverage run at a time on a worker thread: the engine, then the terrain samples of the
/// hillshade. The object lives on the user-interface thread; its signals and state changes
/// happen there (queued from the worker), so the window stays responsive.
class CoverageRun : public QObject {
    Q_OBJECT
public:
    explicit CoverageRun(CoverageEngine engine, QObject* parent = nullptr);
    /// Cancels a run in progress and waits for its thread.
    ~CoverageRun() override;

    /// Starts a run unless one is running or cancelling (then false). `terrain` is kept until
    /// the next run.
    bool start(const coverage::CoverageInputs& inputs,
               std::shared_ptr<const terrain::TerrainSource> terrain);
    /// Asks a running run to stop: Running becomes Cancelling, then Idle when it ended.
    void cancel();
    /// Blocks until the worker has ended and its outcome is applied (closing, tests).
    void wait();

    RunState state() const { return m_state; }
    /// Fraction done, 0..1.
    double progress() const { return m_progress; }
    /// The failure message of a Failed run.
    QString message() const { return m_message; }
    /// The inputs of the last run started.
    const coverage::CoverageInputs& inputs() const { return m_inputs; }
    /// The grid of a Done run.
    const coverage::CoverageGrid& grid() const { return m_result.grid; }
    /// The hillshade samples of a Done run.
    const ElevationGrid& elevations() const { return m_elevations; }
    /// The terrain of the last run started; nullptr before the first.
    const terrain::TerrainSource* terrain() const { return m_terrain.get(); }
    /// Wall time of the last completed run, seconds.
    double elapsedSec() const { return m_elapsedSec; }

    /// Largest number of hillshade samples a side.
    static constexpr int HillshadeSide = 600;

signals:
    void stateChanged();
    void progressChanged();

private:
    struct Outcome {
        coverage::CoverageResult result;
        ElevationGrid elevations;
        double elapsedSec = 0;
    };
    void work();
    void postProgress(double fraction);
    void finish();
    void setState(RunState state);

    CoverageEngine m_engine;
    RunState m_state = RunState::Idle;
    double m_progress = 0;
    QString m_message;
    coverage::CoverageInputs m_inputs;
    std::shared_ptr<const terrain::TerrainSource> m_terrain;
    coverage::CoverageResult m_result;
    ElevationGrid m_elevations;
    double m_elapsedSec = 0;

    coverage::RunControl m_control;
    std::atomic<double> m_workerProgress{0};
    std::atomic<bool> m_progressPosted{false};
    std::unique_ptr<Outcome> m_outcome;
    std::thread m_thread;
};

} // namespace verdan
