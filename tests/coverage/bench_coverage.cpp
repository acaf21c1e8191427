// Coverage runs of about a million cells: radius 50 km at 3 arc-seconds over synthetic
// hills sampled every 3 arc-seconds, on 1 and 2 threads. Reports cells per second.
#include "SyntheticTerrain.h"

#include <verdan/coverage/Coverage.h>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using namespace verdan;

void BM_Coverage3Sec50Km(benchmark::State& state) {
    const test::SyntheticTerrain terrain(
        [](terrain::GeoPoint at) {
            return 300 + 120 * std::sin(at.latDeg * 40) * std::cos(at.lonDeg * 35) +
                   25 * std::sin(at.lonDeg * 400);
        },
        92.6);
    coverage::CoverageInputs in;
    in.tx = {0.1, 0.1};
    in.txHeightM = 30;
    in.freqMHz = 900;
    in.radiusKm = 50;
    in.resolutionSec = 3;
    long long cells = 0;
    for (auto _ : state) {
        coverage::RunControl control;
        control.threads = static_cast<unsigned>(state.range(0));
        const coverage::CoverageResult result = coverage::runCoverage(in, terrain, control);
        if (!result.ok)
            state.SkipWithError(result.message.c_str());
        cells = result.grid.cellCount();
        state.counters["model_calls"] = static_cast<double>(result.modelCalls);
    }
    state.counters["cells"] = static_cast<double>(cells);
    state.counters["cells_per_s"] =
        benchmark::Counter(static_cast<double>(cells) * state.iterations(),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Coverage3Sec50Km)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
