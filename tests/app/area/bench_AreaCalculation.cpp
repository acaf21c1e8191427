#include "AreaCalculation.h"
#include "RecordingSink.h"
#include "ScriptedPrompter.h"

#include <benchmark/benchmark.h>

using namespace verdan;

namespace {

// A normal run with the form's defaults: 22 rows, three levels, report and results.
void BM_DefaultAreaRun(benchmark::State& state) {
    test::ScriptedPrompter prompter;
    PropagationModel model(prompter);
    ModelRecords records;
    AreaResults results;
    for (auto _ : state) {
        test::RecordingSink sink;
        benchmark::DoNotOptimize(runAreaCalculation(AreaInputs{}, model, records, sink, results));
    }
}
BENCHMARK(BM_DefaultAreaRun)->Unit(benchmark::kMillisecond);

// The inverse run with four levels at the default loss level.
void BM_InverseRunFourLevels(benchmark::State& state) {
    test::ScriptedPrompter prompter;
    PropagationModel model(prompter);
    ModelRecords records;
    AreaInputs in;
    in.confLevelsPct = {50, 90, 10, 30};
    for (auto _ : state) {
        test::RecordingSink sink;
        benchmark::DoNotOptimize(runInverseCalculation(in, model, records, sink));
    }
}
BENCHMARK(BM_InverseRunFourLevels)->Unit(benchmark::kMillisecond);

} // namespace
