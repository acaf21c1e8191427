#include "PointToPointCalculation.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <cmath>

using namespace verdan;
using verdan::test::NullSink;
using verdan::test::SilentPrompter;

namespace {

// A 3,000-point profile and 7 reliability x 7 confidence values.
void BM_PointToPoint3000Points7x7(benchmark::State& bench) {
    SilentPrompter prompter;
    PropagationModel model(prompter);
    ModelRecords records;
    NullSink sink;
    PathState path;
    path.ProfileReady = true;
    path.pfl = {2999, 30};
    for (int k = 0; k < 3000; ++k)
        path.pfl.push_back(300 + 120 * std::sin(k * 0.01) + 15 * std::sin(k * 0.13));
    PointToPointInputs in;
    in.frequencyMHz = 900;
    in.h1M = 30;
    in.h2M = 10;
    in.reliabilityPct = {1, 10, 30, 50, 70, 90, 99};
    in.confidencePct = {5, 10, 30, 50, 70, 90, 95};
    for (auto _ : bench) {
        if (runPointToPointCalculation(in, path, 3000, model, records, prompter, sink) !=
            PointToPointStatus::Done) {
            bench.SkipWithError("the model library is missing");
            break;
        }
    }
}
BENCHMARK(BM_PointToPoint3000Points7x7)->Unit(benchmark::kMillisecond);

} // namespace
