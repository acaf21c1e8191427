// The coverage window's run against the engine's own on the same map (the synthetic demo
// GLOBE data, radius 50 km at 30 arc-seconds, every core): the window's wall time and the CPU
// time of its user-interface thread, which redraws the progress and then the map.
#include "FrmPlanningMapView.h"

#include "ScriptedPrompter.h"
#include "SettingsStore.h"

#include <verdan/terrain/DorvexSources.h>

#include "dorvex.h"

#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <ctime>

namespace {

using namespace verdan;

std::shared_ptr<const terrain::TerrainSource> demoGlobe() {
    auto library = std::make_shared<terrain::DorvexLibrary>();
    library->entry = {&THandler, &CloseGlobe};
    return terrain::makeGlobeSource(library, VERDAN_DEMO_GLOBE_DIR, terrain::GlobeTiles::KeepOpen);
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void setPath(PathState& path) {
    const std::array<const char*, PathState::CoordCount> coords = {
        "39", "4", "48", "N", "76", "42", "0", "W", "39", "10", "0", "N", "76", "40", "0", "W"};
    for (int c = 0; c < PathState::CoordCount; ++c)
        path.coords[static_cast<std::size_t>(c)] = QLatin1String(coords[c]);
}

void BM_CoverageWindowGlobeDemo50Km30Sec(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "bench_coverage_window";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
    ProgramState program;
    setPath(program.path);
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    AppInfo info;
    CoverageServices services;
    services.engine = coverage::runCoverage;
    services.terrain = [globe = demoGlobe()](const PathState&, QString&) { return globe; };
    PointToPointInputs radio;
    radio.frequencyMHz = 900;
    radio.h1M = 30;
    radio.h2M = 2;
    FrmCoverageModel model(program, store, prompter, info, std::move(services),
                           [radio] { return radio; }, QString());
    model.Form_Load();
    model.setText(FrmCoverageModel::txtRadius, "50");
    model.setText(FrmCoverageModel::txtResolution, "30");
    FrmPlanningMapView view(model);
    view.show();
    double guiCpuMs = 0;
    for (auto _ : state) {
        const double cpuBefore = threadCpuMs();
        if (!model.cmdRun_Click()) {
            state.SkipWithError("the run did not start");
            return;
        }
        while (model.run().state() == RunState::Running)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QApplication::processEvents();
        guiCpuMs += threadCpuMs() - cpuBefore;
        if (model.run().state() != RunState::Done) {
            state.SkipWithError(model.lblStatus().toStdString().c_str());
            return;
        }
    }
    state.counters["gui_thread_cpu_ms"] = guiCpuMs / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CoverageWindowGlobeDemo50Km30Sec)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CoverageEngineGlobeDemo50Km30Sec(benchmark::State& state) {
    const auto globe = demoGlobe();
    coverage::CoverageInputs in;
    in.tx = {39.08, -76.7};
    in.txHeightM = 30;
    in.rxHeightM = 2;
    in.freqMHz = 900;
    in.radiusKm = 50;
    in.resolutionSec = 30;
    for (auto _ : state) {
        coverage::RunControl control;
        if (!coverage::runCoverage(in, *globe, control).ok) {
            state.SkipWithError("the run failed");
            return;
        }
    }
}
BENCHMARK(BM_CoverageEngineGlobeDemo50Km30Sec)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
