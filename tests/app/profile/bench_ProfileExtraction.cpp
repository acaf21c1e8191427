// From typed coordinates to the report: the path coordinates form's OK (hand-over and an
// 800-point GLOBE extraction from the synthetic demo data) followed by the point-to-point run
// with its profile picture.
#include "FrmProfileModel.h"
#include "FrmPtoPModel.h"
#include "PointToPointCalculation.h"
#include "ProfilePicture.h"
#include "ProfilePlot.h"

#include "bench_support.h"
#include <QFileInfo>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace verdan;
using verdan::test::NullSink;
using verdan::test::SilentPrompter;

namespace {

void BM_CoordinatesToReport800PointGlobePath(benchmark::State& bench) {
    const QString demo = QStringLiteral(VERDAN_DEMO_GLOBE_DIR);
    if (!QFileInfo::exists(demo + QStringLiteral("globe.dat"))) {
        bench.SkipWithError("the synthetic demo GLOBE data is not built");
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_ProfileExtraction";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);

    SilentPrompter prompter;
    ProgramState state;
    state.path.coords = {"39", "4",  "48", "N", "76", "42", "0",  "W",
                         "38", "55", "12", "N", "76", "58", "48", "W"};
    state.path.TerrainSource = QStringLiteral("GLOBE");
    state.path.GlobePath = demo;
    TerrainLibrary terrain(prompter);
    AppInfo info;
    FrmProfileModel form(state, prompter, terrain, info);
    form.Form_Load();
    PropagationModel model(prompter);
    ModelRecords records;
    NullSink sink;
    PointToPointInputs in;
    for (auto _ : bench) {
        form.cmdCalc_Click();
        if (!state.path.ProfileReady || state.ProfilePoints != 800) {
            bench.SkipWithError("the GLOBE extraction failed");
            break;
        }
        in.picturePng =
            profilePicturePng(profileElevations(state.path.pfl), FrmPtoPModel::picProfileWidthPx,
                              FrmPtoPModel::picProfileHeightPx);
        in.pictureWidthPx = FrmPtoPModel::picProfileWidthPx;
        in.pictureHeightPx = FrmPtoPModel::picProfileHeightPx;
        if (runPointToPointCalculation(in, state.path, state.ProfilePoints, model, records,
                                       prompter, sink) != PointToPointStatus::Done) {
            bench.SkipWithError("the point-to-point run failed");
            break;
        }
    }
}
BENCHMARK(BM_CoordinatesToReport800PointGlobePath)->Unit(benchmark::kMillisecond);

} // namespace
