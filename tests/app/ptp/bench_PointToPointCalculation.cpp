#include "PointToPointCalculation.h"

#include <benchmark/benchmark.h>
#include <cmath>

using namespace verdan;

namespace {

// Tells nobody anything: the benchmark never needs to ask the user.
class SilentPrompter final : public Prompter {
public:
    MsgAnswer message(const QString&, const QString&, MsgButtons, MsgIcon) override {
        return MsgAnswer::Ok;
    }
    bool input(const QString&, const QString&, QString&) override { return false; }
    FileAnswer saveFile(const FileRequest&) override { return {}; }
    FileAnswer openFile(const FileRequest&) override { return {}; }
    void runModal(ScreenModel&) override {}
    void setBusy(bool) override {}
    void showHelp(const QString&, int) override {}
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&) override { return false; }
};

class NullSink final : public ReportSink {
public:
    void Add(const QString&) override {}
    void AddLine(const QString& s) override { benchmark::DoNotOptimize(s.size()); }
    void insertPicture(const QByteArray&, int, int) override {}
};

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
