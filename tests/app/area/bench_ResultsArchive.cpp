#include "ResultsArchive.h"

#include "AreaCalculation.h"
#include "ScriptedPrompter.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A table shaped like the default run with four levels: 22 rows, five series.
verdan::AreaResults fourLevelRun() {
    verdan::AreaResults results;
    results.valid = true;
    results.graphLastLevel = 3;
    results.graphConfLevels = {50, 90, 10, 99};
    for (int row = 0; row < 22; ++row) {
        const double distKm = row < 15 ? 10.0 * (row + 1) : 150.0 + 50.0 * (row - 14);
        results.graphDist.push_back(distKm);
        results.graphLoss.push_back({110 + distKm / 5, 120 + distKm / 5, 100 + distKm / 5,
                                     130 + distKm / 5, 80 + distKm / 10});
    }
    results.graphLastPoint = 21;
    results.archiveParameters = verdan::archiveParameterSummary(verdan::AreaInputs{});
    results.archiveGround = verdan::archiveGroundSummary(verdan::AreaInputs{});
    return results;
}

// 1,000 saves answered "Yes" (all four levels) into one archive file, as the area form does
// them: each save opens the file, writes in one transaction, commits it durably (the disk's
// flush) and closes it. `folder` empty: the temporary folder ($TMPDIR).
void thousandSaves(benchmark::State& state, const QString& folder) {
    const verdan::AreaResults results = fourLevelRun();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir(folder.isEmpty() ? QString()
                                           : folder + QStringLiteral("/verdan-bench-XXXXXX"));
        if (!dir.isValid()) {
            state.SkipWithError("no temporary folder");
            return;
        }
        verdan::ProgramState program;
        program.archivePath = dir.filePath(QStringLiteral("bench.sqlite"));
        verdan::test::ScriptedPrompter prompter;
        verdan::ResultsArchive archive({});
        state.ResumeTiming();
        for (int save = 0; save < 1000; ++save) {
            prompter.queueInput(QStringLiteral("bench"));
            if (!archive.saveResults(results, program, prompter)) {
                state.SkipWithError("a save failed");
                return;
            }
            prompter.messages.clear();
            prompter.inputs.clear();
        }
    }
}
// On the disk of $TMPDIR: bound by the disk's flush time of each commit.
void BM_ThousandSavesOnDisk(benchmark::State& state) {
    thousandSaves(state, QString());
}
BENCHMARK(BM_ThousandSavesOnDisk)->Unit(benchmark::kMillisecond)->Iterations(1);

// On a memory file system, where a flush costs nothing: the program's own cost.
void BM_ThousandSavesInMemoryFileSystem(benchmark::State& state) {
    thousandSaves(state, QStringLiteral("/dev/shm"));
}
BENCHMARK(BM_ThousandSavesInMemoryFileSystem)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
