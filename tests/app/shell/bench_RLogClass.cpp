#include "RLogClass.h"
#include "Rtf.h"
#include "TempFile.h"
#include "bench_support.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using verdan::RLogClass;

constexpr int kLogRows = 29600;
constexpr int kRunRows = 40;
constexpr int kPictureBytes = 20000;

// One point-to-point run's report: its table and the profile picture.
void addRun(RLogClass& log) {
    for (int i = 0; i < kRunRows; ++i)
        log.AddLine(
            QStringLiteral("   %1     123.4     135.6     141.2     150.9     98.7").arg(i, 6));
    log.insertPicture(QByteArray(kPictureBytes, '\x5a'), 520, 200);
    log.AddLine(QString());
}

// A log of kLogRows rows with a picture every kRunRows rows, saved once.
struct LargeLog {
    verdan::test::SilentPrompter prompter;
    RLogClass log{prompter};
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("log.rtf"));

    LargeLog() {
        for (int rows = 0; rows < kLogRows; rows += kRunRows)
            addRun(log);
        log.SaveFile(path);
    }
};

// Saving after a run: the time must follow what the run added, not the size of the log.
void BM_SaveAfterARun(benchmark::State& state) {
    LargeLog large;
    for (auto _ : state) {
        addRun(large.log);
        benchmark::DoNotOptimize(large.log.SaveFile(large.path));
    }
}
BENCHMARK(BM_SaveAfterARun)->Unit(benchmark::kMillisecond);

// Writing the whole log again, as every save did before: the reference.
void BM_SaveTheWholeLog(benchmark::State& state) {
    LargeLog large;
    for (auto _ : state) {
        addRun(large.log);
        benchmark::DoNotOptimize(
            verdan::writeFileAtomically(large.path, verdan::writeRtf(large.log.document())));
    }
}
BENCHMARK(BM_SaveTheWholeLog)->Unit(benchmark::kMillisecond);

} // namespace
