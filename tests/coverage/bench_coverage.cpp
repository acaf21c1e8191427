// Coverage runs, reporting cells per second:
// - the synthetic demo GLOBE data, radius 50 km at 30 arc-seconds;
// - a synthetic 3-arc-second GeoTIFF written by GDAL, radius 50 km at 3 arc-seconds (1.66
//   million cells), on 1 and 2 threads; goal on 2 cores: 2 s with 2 threads;
// - a synthetic 1-arc-second GeoTIFF, radius 50 km at 1 arc-second (15 million cells), on 2
//   threads; goal on 2 cores: 25 s, peak memory of the process 1.5 GB;
// each with the peak memory of the process; and the demo GLOBE run again with a transmitting
// antenna pattern, a power and a threshold (the link budget's cost).
#include "pattern_builders.h"
#include "raster_builders.h"

#include <verdan/coverage/Coverage.h>
#include <verdan/terrain/DorvexSources.h>
#include <verdan/terrain/RasterSource.h>

#include "dorvex.h"

#include <benchmark/benchmark.h>

#include <cmath>
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

void BM_CoverageGlobeDemoLinkBudget(benchmark::State& state) {
    auto library = std::make_shared<terrain::DorvexLibrary>();
    library->entry = {&THandler, &CloseGlobe};
    const auto globe =
        terrain::makeGlobeSource(library, VERDAN_DEMO_GLOBE_DIR, terrain::GlobeTiles::KeepOpen);
    coverage::CoverageInputs in = inputs({39.08, -76.7}, 30);
    const radio::PatternRead pattern =
        radio::parsePattern(tools::msiText(tools::panelPattern()), "panel.msi");
    in.transmitter.pattern = pattern.pattern;
    in.transmitter.powerDbm = 43;
    in.transmitter.pointing = {120, 3};
    in.receiver.threshold = radio::Threshold{radio::ThresholdKind::PowerDbm, -95};
    runMap(state, in, *globe);
}
BENCHMARK(BM_CoverageGlobeDemoLinkBudget)
    ->Arg(1)
    ->Arg(2)
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
