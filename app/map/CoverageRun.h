#pragma once

#include <verdan/coverage/Coverage.h>
#include <verdan/coverage/Network.h>

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace verdan {

/// The coverage engine as the program calls it: coverage::runCoverage, or a stand-in in tests.
using CoverageEngine = std::function<coverage::CoverageResult(
    const coverage::CoverageInputs&, const terrain::TerrainSource&, coverage::RunControl&)>;

/// Where a coverage run stands.
enum class RunState {
    Idle,       ///< no run in progress (none yet, or the last one was cancelled)
    Running,    ///< the engine works in the background
    Cancelling, ///< cancel asked; the engine stops within 100 ms
    Done,       ///< the last run completed; its map is shown
    Failed,     ///< the engine gave an error message
};

/// One coverage run at a time on a worker thread. The object lives on the user-interface thread; its signals and state changes
/// happen there (queued from the worker), so the window stays responsive. The map of the last
/// completed run stays until another run completes: a run that is cancelled or fails leaves
/// it as it was.
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
    /// Starts the runs of a network's sites (`sites`, named `names`), one after another, then
    /// merges their maps in memory; the progress spans them all. As start() otherwise; a
    /// network run that is cancelled or fails keeps nothing of its sites' maps.
    bool startNetwork(std::vector<coverage::CoverageInputs> sites, std::vector<std::string> names,
                      const coverage::ChannelSettings& channel,
                      std::shared_ptr<const terrain::TerrainSource> terrain);
    /// Asks a running run to stop: Running becomes Cancelling, then Idle when it ended.
    void cancel();
    /// Blocks until the worker has ended and its outcome is applied (closing, tests).
    void wait();

    RunState state() const { return m_state; }
    /// Fraction done, 0..1; 0 again when a run is cancelled or fails.
    double progress() const { return m_progress; }
    /// The failure message of a Failed run.
    QString message() const { return m_message; }
    /// True once a run has completed: the map below is the last completed one.
    bool hasMap() const { return m_map.terrain != nullptr; }
    /// The inputs of the map.
    const coverage::CoverageInputs& inputs() const { return m_map.inputs; }
    /// The grid of the map (an empty grid before the first completed run).
    const coverage::CoverageGrid& grid() const;
    /// The grid of the map, shared with whoever draws it: it lives while they hold it, after
    /// another run has replaced it. nullptr before the first completed run.
    std::shared_ptr<const coverage::CoverageGrid> sharedGrid() const;
    /// The terrain of the last completed run (a site's or a network's), shared in the same way.
    std::shared_ptr<const terrain::TerrainSource> sharedTerrain() const { return m_terrain; }
    /// The terrain of the last completed run; nullptr before the first.
    const terrain::TerrainSource* terrain() const { return m_terrain.get(); }
    /// Counts the completed runs: changes when a new map replaces the shown one.
    int mapSerial() const { return m_mapSerial; }
    /// Wall time of the run that made the map, seconds.
    double elapsedSec() const { return m_map.elapsedSec; }
    /// Whether the last run started was a network's.
    bool networkRun() const { return !m_networkSites.empty(); }
    /// The merged map of the network run just completed, handed over once: nullptr before one
    /// and after it was taken.
    std::shared_ptr<const coverage::NetworkGrid> takeNetwork() { return std::move(m_network); }
    /// The cells of the merged map of the last network run completed.
    long long networkCells() const { return m_networkCells; }
    /// The site names and inputs of the last network run started.
    const std::vector<std::string>& networkNames() const { return m_networkNames; }
    const std::vector<coverage::CoverageInputs>& networkSites() const { return m_networkSites; }
    /// Wall time of the last network run completed, seconds.
    double networkElapsedSec() const { return m_networkElapsedSec; }

    /// Progress reaches the user-interface thread at most once in this time, so that a fast
    /// engine does not keep that thread busy redrawing.
    static constexpr std::chrono::milliseconds ProgressInterval{100};

signals:
    void stateChanged();
    void progressChanged();

private:
    struct Outcome {
        coverage::CoverageResult result;
        std::shared_ptr<const coverage::NetworkGrid> network;
        double elapsedSec = 0;
    };
    /// A completed run and what it ran on.
    struct Map {
        coverage::CoverageInputs inputs;
        std::shared_ptr<const terrain::TerrainSource> terrain;
        std::shared_ptr<const coverage::CoverageResult> result;
        double elapsedSec = 0;
    };
    void launch(const coverage::CoverageInputs& inputs,
                std::shared_ptr<const terrain::TerrainSource> terrain);
    void work();
    coverage::CoverageResult workNetwork(Outcome& outcome);
    void postProgress(double fraction);
    void finish();
    void setState(RunState state);

    CoverageEngine m_engine;
    RunState m_state = RunState::Idle;
    double m_progress = 0;
    QString m_message;
    Map m_map;
    int m_mapSerial = 0;
    coverage::CoverageInputs m_runInputs;
    std::vector<coverage::CoverageInputs> m_networkSites;
    std::vector<std::string> m_networkNames;
    coverage::ChannelSettings m_channel;
    std::shared_ptr<const coverage::NetworkGrid> m_network;
    double m_networkElapsedSec = 0;
    long long m_networkCells = 0;
    std::shared_ptr<const terrain::TerrainSource> m_terrain;
    std::shared_ptr<const terrain::TerrainSource> m_runTerrain;

    coverage::RunControl m_control;
    std::atomic<double> m_workerProgress{0};
    std::atomic<bool> m_progressPosted{false};
    std::chrono::steady_clock::time_point m_lastPost;
    std::unique_ptr<Outcome> m_outcome;
    std::thread m_thread;
};

} // namespace verdan
