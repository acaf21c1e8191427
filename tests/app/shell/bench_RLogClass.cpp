#include "BenchmarkSupport.h"
#include "RLogClass.h"
#include "Rtf.h"
#include "TempFile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using verdan::RLogClass;

constexpr int kLogRows = 29600;
constexpr int kRunRows = 40;

void addRows(RLogClass& log, int rows) {
    for (int i = 0; i < rows; ++i)
        log.AddLine(QStringLiteral("   %1     123.4     135.6     141.2     150.9     98.7")
                        .arg(i % 2000, 6));
}

// Saving after a run that added kRunRows rows to a log of kLogRows rows: the time must follow
// what the run added, not the size of the log.
void BM_SaveAfterARun(benchmark::State& state) {
    verdan::test::SilentPrompter prompter;
    RLogClass log(prompter);
    addRows(log, kLogRows);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("log.rtf"));
    log.SaveFile(path);
    for (auto _ : state) {
        addRows(log, kRunRows);
        benchmark::DoNotOptimize(log.SaveFile(path));
    }
}
BENCHMARK(BM_SaveAfterARun)->Unit(benchmark::kMillisecond);

// Writing the whole log again, as every save did before: the reference.
void BM_SaveTheWholeLog(benchmark::State& state) {
    verdan::test::SilentPrompter prompter;
    RLogClass log(prompter);
    addRows(log, kLogRows);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("log.rtf"));
    for (auto _ : state) {
        addRows(log, kRunRows);
        benchmark::DoNotOptimize(
            verdan::writeFileAtomically(path, verdan::writeRtf(log.document())));
    }
}
BENCHMARK(BM_SaveTheWholeLog)->Unit(benchmark::kMillisecond);

} // namespace
