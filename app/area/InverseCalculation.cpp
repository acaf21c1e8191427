#include "AreaCalculation.h"

#include "NumberFormat.h"

namespace verdan {

namespace {

// The search starts at 4,000 km and walks down in 100 m steps, then in 0.1 m steps.
constexpr double StartDistM = 4'000'000;
constexpr double CoarseStepM = 100;
constexpr long long MaxCoarseSteps = 5'000'000;
constexpr long long MaxFineSteps = 1000;

// -1, 0 or +1 as `x` is below, at or above zero; a NaN gives 0, which ends a walk.
int signOf(double x) {
    return (x > 0) - (x < 0);
}

// The sign of (loss - L) at `distM` metres for the deviate `zc`; empty when the model is
// missing.
std::optional<int> lossSign(PropagationModel& model, ModelRecords& records, double distM,
                            const AreaRunSetup& setup, double zc, double lossLevelDb) {
    const auto freeSpaceDb = areaFreeSpaceAt(model, records, distM);
    if (!freeSpaceDb)
        return std::nullopt;
    const auto variability = model.avar(records, setup.zt, setup.zl, zc);
    if (!variability)
        return std::nullopt;
    return signOf(*variability + *freeSpaceDb - lossLevelDb);
}

// The downward search of one level: the distance (m) at which the loss falls to L.
std::optional<double> searchDistance(PropagationModel& model, ModelRecords& records,
                                     const AreaRunSetup& setup, double zc, double lossLevelDb) {
    double distM = StartDistM;
    double stepM = CoarseStepM;
    int dir = 1;
    long long count = 0;
    std::optional<int> s;
    for (;;) {
        ++count;
        s = lossSign(model, records, distM, setup, zc, lossLevelDb);
        if (!s)
            return std::nullopt;
        if (!(distM - stepM > 0 && count < MaxCoarseSteps && *s == dir))
            break;
        distM -= stepM;
    }

    distM += stepM;
    stepM /= 1000;
    long long k = 1;
    s = lossSign(model, records, distM, setup, zc, lossLevelDb);
    if (!s)
        return std::nullopt;
    dir = *s;
    while (k <= MaxFineSteps && *s == dir) {
        distM -= stepM;
        ++k;
        s = lossSign(model, records, distM, setup, zc, lossLevelDb);
        if (!s)
            return std::nullopt;
    }
    return distM - stepM;
}

} // namespace

AreaRunStatus runInverseCalculation(const AreaInputs& in, PropagationModel& model,
                                    ModelRecords& records, ReportSink& sink,
                                    InverseResult* result) {
    AreaRunSetup setup;
    if (!prepareAreaRun(in, model, records, setup))
        return AreaRunStatus::ModelMissing;

    sink.AddLine(QStringLiteral("Inverse Solvane of Radio Propagation in the Area Mode"));
    writeAreaParameterLines(in, records, sink);
    const QString level = numfmt::generalNumber(in.lossLevelDb);
    sink.AddLine(QStringLiteral("Loss Calculation Level: ") +
                 (in.lossLevelDb >= 0 ? QStringLiteral(" ") + level : level) +
                 QStringLiteral(" dB"));
    sink.AddLine(QString());
    sink.AddLine(QStringLiteral("            Confidence Level"));
    sink.Add(QStringLiteral("         "));
    for (int i = 0; i <= setup.lastLevel; ++i)
        sink.Add(numfmt::padded(setup.levelsPct[i], u"00000.0") + QStringLiteral("    "));
    sink.AddLine(QString());
    sink.AddLine(QString());

    InverseResult found;
    sink.Add(QStringLiteral("Dist (Km)"));
    for (int i = 0; i <= setup.lastLevel; ++i) {
        const auto distM =
            searchDistance(model, records, setup, setup.confDeviates[i], in.lossLevelDb);
        if (!distM)
            return AreaRunStatus::ModelMissing;
        found.levelsPct.push_back(setup.levelsPct[i]);
        found.distancesKm.push_back(*distM / 1000);
        sink.Add(numfmt::padded(*distM / 1000, u"00000.000") + QStringLiteral("  "));
    }
    sink.AddLine(QString());
    sink.AddLine(QStringLiteral("\r\n\r\n"));
    if (result)
        *result = std::move(found);
    return AreaRunStatus::Done;
}

} // namespace verdan
