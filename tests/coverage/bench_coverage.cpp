// Coverage runs, reporting cells per second:
// - the synthetic demo GLOBE data, radius 50 km at 30 arc-seconds;
// - a synthetic 3-arc-second GeoTIFF written by GDAL, radius 50 km at 3 arc-seconds (1.66
//   million cells), on 1 and 2 threads; goal on 2 cores: 2 s with 2 threads;
// - a synthetic 1-arc-second GeoTIFF, radius 50 km at 1 arc-second (15 million cells), on 2
//   threads; goal on 2 cores: 25 s, peak memory of the process 1.5 GB;
// each with the peak memory of the process; and the demo GLOBE run alternately without and
// with a transmitting antenna pattern, a power and a threshold (the link budget's cost in CPU
// time, goal at most 10 %).
#include "pattern_builders.h"
#include "raster_builders.h"

#include <verdan/coverage/Coverage.h>
#include <verdan/terrain/DorvexSources.h>
#include <verdan/terrain/RasterSource.h>

#include "dorvex.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <filesystem>

#include <sys/resource.h>

namespace {

using namespace verdan;

void runMap(benchmark::State& state, const coverage::CoverageInputs& in,
            const terrain::TerrainSource& terrain) {
    long long cells = 0;
    for (auto _ : state) {
        coverage::RunControl control;
        control.threads = static_cast<unsigned>(state.range(0));
        const coverage::CoverageResult result = coverage::runCoverage(in, terrain, control);
        if (!result.ok) {
            state.SkipWithError(result.message.c_str());
            return;
        }
        cells = result.grid.cellCount();
        state.counters["model_calls"] = static_cast<double>(result.modelCalls);
    }
    state.counters["cells"] = static_cast<double>(cells);
    // The process's peak resident memory so far: bounded by the grid, not by the profiles.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["cells_per_s"] = benchmark::Counter(
        static_cast<double>(cells) * state.iterations(), benchmark::Counter::kIsRate);
}

coverage::CoverageInputs inputs(terrain::GeoPoint tx, double resolutionSec) {
    coverage::CoverageInputs in;
    in.tx = tx;
    in.txHeightM = 30;
    in.freqMHz = 900;
    in.radiusKm = 50;
    in.resolutionSec = resolutionSec;
    return in;
}

void BM_CoverageGlobeDemo50Km30Sec(benchmark::State& state) {
    auto library = std::make_shared<terrain::DorvexLibrary>();
    library->entry = {&THandler, &CloseGlobe};
    const auto globe =
        terrain::makeGlobeSource(library, VERDAN_DEMO_GLOBE_DIR, terrain::GlobeTiles::KeepOpen);
    runMap(state, inputs({39.08, -76.7}, 30), *globe);
}
BENCHMARK(BM_CoverageGlobeDemo50Km30Sec)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The process's CPU time for one run of `in`, seconds; 0 when the run fails.
double runCpuSeconds(const coverage::CoverageInputs& in, const terrain::TerrainSource& terrain,
                     unsigned threads) {
    const auto cpuSeconds = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    };
    coverage::RunControl control;
    control.threads = threads;
    const double start = cpuSeconds();
    const bool ok = coverage::runCoverage(in, terrain, control).ok;
    return ok ? cpuSeconds() - start : 0.0;
}

// The cost of the antenna pattern and the link budget: the demo GLOBE run of
// BM_CoverageGlobeDemo50Km30Sec (same grid) alternately without and with a transmitting
// pattern read from its file (a 65-degree panel, aimed at 120 degrees, 3 degrees of
// mechanical downtilt), a power and a threshold. Alternating puts the machine's other load
// on both alike; the process's CPU time of each is summed over the iterations.
// overhead_pct is the link budget's cost in per cent of a run without it (goal: at most 10).
void BM_CoverageGlobeDemoLinkBudget(benchmark::State& state) {
    auto library = std::make_shared<terrain::DorvexLibrary>();
    library->entry = {&THandler, &CloseGlobe};
    const auto globe =
        terrain::makeGlobeSource(library, VERDAN_DEMO_GLOBE_DIR, terrain::GlobeTiles::KeepOpen);
    const coverage::CoverageInputs plain = inputs({39.08, -76.7}, 30);
    coverage::CoverageInputs budget = plain;
    const std::string patternPath =
        (std::filesystem::temp_directory_path() / "verdan-bench-panel.msi").string();
    std::string error;
    radio::PatternRead pattern;
    if (tools::writeTextFile(patternPath, tools::msiText(tools::panelPattern()), error))
        pattern = radio::readPatternFile(patternPath);
    std::filesystem::remove(patternPath);
    if (!pattern.pattern) {
        state.SkipWithError("the pattern file could not be written or read");
        return;
    }
    budget.transmitter.pattern = pattern.pattern;
    budget.transmitter.powerDbm = 43;
    budget.transmitter.pointing = {120, 3};
    budget.receiver.threshold = radio::Threshold{radio::ThresholdKind::PowerDbm, -95};
    const auto threads = static_cast<unsigned>(state.range(0));
    double plainS = 0;
    double budgetS = 0;
    for (auto _ : state) {
        plainS += runCpuSeconds(plain, *globe, threads);
        budgetS += runCpuSeconds(budget, *globe, threads);
    }
    if (plainS <= 0 || budgetS <= 0) {
        state.SkipWithError("a run failed");
        return;
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["plain_cpu_ms"] = 1000 * plainS / iterations;
    state.counters["budget_cpu_ms"] = 1000 * budgetS / iterations;
    state.counters["overhead_pct"] = 100 * (budgetS / plainS - 1);
}
BENCHMARK(BM_CoverageGlobeDemoLinkBudget)
    ->Arg(1)
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A raster of hills, 1.2 by 1.6 degrees around 45.5 N 7.5 E, `cellSec` arc-seconds a cell.
std::string syntheticRaster(int cellSec) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("verdan-bench-hills-" + std::to_string(cellSec) + "sec.tif");
    terrain::RasterLayout layout;
    layout.width = 5760 / cellSec;
    layout.height = 4320 / cellSec;
    layout.geoTransform = {6.7, cellSec / 3600.0, 0, 46.1, 0, -cellSec / 3600.0};
    std::string error;
    if (!terrain::writeRaster(
            path.string(), layout,
            [](double x, double y) {
                return 600 + 300 * std::sin(x * 40) * std::cos(y * 35) + 40 * std::sin(x * 400);
            },
            &error))
        return {};
    return path.string();
}

void runRasterMap(benchmark::State& state, const std::string& path, double resolutionSec) {
    terrain::Status status;
    const auto raster = terrain::openRaster(path, {}, status);
    if (!raster) {
        state.SkipWithError(status.message.c_str());
        return;
    }
    runMap(state, inputs({45.5, 7.5}, resolutionSec), *raster);
}

void BM_CoverageRaster3Sec50Km(benchmark::State& state) {
    static const std::string path = syntheticRaster(3);
    runRasterMap(state, path, 3);
}
BENCHMARK(BM_CoverageRaster3Sec50Km)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CoverageRaster1Sec50Km(benchmark::State& state) {
    static const std::string path = syntheticRaster(1);
    runRasterMap(state, path, 1);
}
BENCHMARK(BM_CoverageRaster1Sec50Km)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
