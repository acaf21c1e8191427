#include "PointToPointCalculation.h"

#include "ModelChoices.h"
#include "NumberFormat.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace verdan {

using numfmt::generalNumber;
using numfmt::padded;
using numfmt::trimmed;

namespace {

const QString RunTitle = QStringLiteral("Verdan Point-To-Point Calculations");
const QString StopTitle = QStringLiteral("Verdan Point-To-Point");

// The number with one leading blank when it is not negative.
QString blankLed(double x) {
    return x < 0 ? generalNumber(x) : u' ' + generalNumber(x);
}

// a - b when a > b, else 0.
double Dim(double a, double b) {
    return a > b ? a - b : 0.0;
}

// The first MaxListValues values of a list.
std::vector<double> firstValues(const std::vector<double>& values) {
    const auto count = std::min<std::size_t>(values.size(), MaxListValues);
    return {values.begin(), values.begin() + static_cast<std::ptrdiff_t>(count)};
}

// The profile holds its own layout: at least one interval, a positive spacing and an
// elevation for every point.
bool profileIsUsable(const std::vector<double>& pfl) {
    if (pfl.size() < 4 || !std::isfinite(pfl[0]) || !std::isfinite(pfl[1]) || pfl[1] <= 0)
        return false;
    const long long np = roundHalfEven(pfl[0]);
    return np >= 1 && static_cast<long long>(pfl.size()) >= np + 3;
}

// The deviates of a list of percentages; false when the model is missing.
bool deviates(PropagationModel& model, const std::vector<double>& pct, std::vector<double>& z) {
    z.clear();
    for (double p : pct) {
        const auto value = model.qerfi(p / 100.0);
        if (!value)
            return false;
        z.push_back(*value);
    }
    return true;
}

// Ends a run: the normal pointer back.
class BusyPointer {
public:
    explicit BusyPointer(Prompter& prompter) : m_prompter(prompter) { m_prompter.setBusy(true); }
    ~BusyPointer() { m_prompter.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Prompter& m_prompter;
};

} // namespace

long long roundHalfEven(double x) {
    const double down = std::floor(x);
    const double fraction = x - down;
    if (fraction > 0.5)
        return static_cast<long long>(down) + 1;
    if (fraction < 0.5)
        return static_cast<long long>(down);
    const auto even = static_cast<long long>(down);
    return even % 2 == 0 ? even : even + 1;
}

double SignedLog10(double x) {
    if (x > 0)
        return std::log10(x);
    if (x < 0)
        return -std::log10(-x);
    return 0.0;
}

double meanSystemElevation(const std::vector<double>& pfl) {
    const long long np = roundHalfEven(pfl.at(0));
    const long long ja = roundHalfEven(3.0 + 0.1 * pfl.at(0));
    const long long jb = np - ja + 6;
    double sum = 0;
    for (long long k = ja; k <= jb; ++k)
        sum += pfl.at(static_cast<std::size_t>(k - 1));
    return sum / static_cast<double>(jb - ja + 1);
}

QString FormatPathCoordinates(const PathState& path) {
    const auto& c = path.coords;
    if (path.CoordsInDD) {
        return u'(' + path.TxLatDD.trimmed() + u' ' + c[PathState::TxLatH_NS] + u',' +
               path.TxLonDD.trimmed() + u' ' + c[PathState::TxLonH_EW] + u')' +
               QStringLiteral(" - ") + u'(' + path.RxLatDD.trimmed() + u' ' +
               c[PathState::RxLatH_NS] + u',' + path.RxLonDD.trimmed() + u' ' +
               c[PathState::RxLonH_EW] + u')';
    }
    const auto part = [&c](int first) {
        return c[first].trimmed() + u' ' + c[first + 1].trimmed() + u' ' + c[first + 2].trimmed() +
               u' ' + c[first + 3];
    };
    return u'(' + part(PathState::TxLatDeg_DD) + u',' + part(PathState::TxLonDeg_DDD) +
           QStringLiteral(") - (") + part(PathState::RxLatDeg_DD) + u',' +
           part(PathState::RxLonDeg_DDD) + u')';
}

PointToPointStatus computePointToPointTable(const PointToPointInputs& in, const PathState& path,
                                            int profilePoints, PropagationModel& model,
                                            ModelRecords& records, PointToPointResult& table) {
    PropRecord& prop = records.prop;
    PropvRecord& propv = records.propv;
    const PropaRecord& propa = records.propa;
    prop.hg[0] = in.h1M;
    prop.hg[1] = in.h2M;
    propv.klim = ClimateCode(in.climateText);
    prop.kwx = 0;
    propv.lvar = 5;
    prop.mdp = -1;

    table.confidencePct = firstValues(in.confidencePct);
    table.reliabilityPct = firstValues(in.reliabilityPct);
    std::vector<double> zc;
    std::vector<double> zr;
    if (!deviates(model, table.confidencePct, zc) || !deviates(model, table.reliabilityPct, zr))
        return PointToPointStatus::ModelMissing;

    const std::vector<double>& pfl = path.pfl;
    const double intervals = pfl.empty() ? 0.0 : pfl[0];
    const double spacingM = pfl.size() < 2 ? 0.0 : pfl[1];
    table.points = roundHalfEven(intervals) + 1;
    table.distKm = intervals * spacingM / 1000.0;
    table.spacingKm = spacingM / 1000.0;
    if (profilePoints == 0)
        return PointToPointStatus::NoElevations;
    if (!profileIsUsable(pfl))
        return PointToPointStatus::InvalidProfile;

    propv.mdvar = 12;
    const int ipol = in.horizontal ? 0 : 1;
    if (!model.qlrps(records, in.frequencyMHz, meanSystemElevation(pfl), in.nsNUnits, ipol, in.eps,
                     in.sgmSPerM))
        return PointToPointStatus::ModelMissing;
    std::vector<double> profile(pfl);
    if (!model.qlrpfl(records, profile.data(), propv.klim, propv.mdvar))
        return PointToPointStatus::ModelMissing;

    table.freeSpaceDb =
        20.0 * SignedLog10(in.frequencyMHz) + 32.45 + 20.0 * SignedLog10(prop.dist / 1000.0);
    table.effectiveHeightM = {prop.he[0], prop.he[1]};
    table.deltaHM = prop.dh;
    table.refractivityNUnits = prop.ens;
    table.curvatureK = 1.57e-07 / prop.gme;

    const double q = prop.dist - propa.dla;
    const double h = spacingM / 2.0;
    const double v = std::floor(Dim(q, h) - Dim(-q, h));
    if (v < 0) {
        table.pathType = QStringLiteral("Line-Of-Sight Path");
    } else {
        table.pathType =
            v == 0 ? QStringLiteral("Single Horizon Path") : QStringLiteral("Double Horizon Path");
        table.dominantMode = prop.dist <= propa.dlsa || prop.dist <= propa.dx
                                 ? QStringLiteral("Diffraction is the Dominant Mode")
                                 : QStringLiteral("Troposheric Scatter is the Dominant Mode");
    }

    table.lossDb.assign(zr.size(), {});
    for (std::size_t i = 0; i < zr.size(); ++i) {
        for (double z : zc) {
            const auto a = model.avar(records, zr[i], 0.0, z);
            if (!a)
                return PointToPointStatus::ModelMissing;
            table.lossDb[i].push_back(*a + table.freeSpaceDb);
        }
    }
    table.kwx = prop.kwx;
    return PointToPointStatus::Done;
}

namespace {

// The first lines of every report that gets past the profile check.
void writePointToPointHeader(const PointToPointInputs& in, const PathState& path,
                             const PointToPointResult& table, ReportSink& sink) {
    sink.AddLine(QStringLiteral("The Solvane of Radio Propagation in the Point-To-Point Mode"));
    if (!path.ProfileFile.isEmpty())
        sink.AddLine(QStringLiteral("Profile File: ") + path.ProfileFile);
    else if (path.TerrainSource == QLatin1String("Quarn"))
        sink.AddLine(QStringLiteral("Terrain Handler: Quarn"));
    else if (path.TerrainSource == QLatin1String("GLOBE"))
        sink.AddLine(QStringLiteral("Terrain Handler: GLOBE"));
    else if (path.TerrainSource == QLatin1String("Raster")) {
        sink.AddLine(QStringLiteral("Terrain Handler: ") + path.RasterName);
        sink.AddLine(QStringLiteral("Points Without Terrain Data: %1 of %2, set to 0 m")
                         .arg(path.FilledPoints)
                         .arg(table.points));
    }
    sink.AddLine(QStringLiteral("Distance ") + trimmed(table.distKm, u"0000000000.0") +
                 QStringLiteral(" km"));
    sink.AddLine(QStringLiteral("Frequency ") + trimmed(in.frequencyMHz, u"0000000000.0") +
                 QStringLiteral(" MHz"));
    sink.AddLine(QStringLiteral("Antenna Heights ") + blankLed(in.h1M) + QStringLiteral(", ") +
                 blankLed(in.h2M) + QStringLiteral(" m"));
}

} // namespace

void writePointToPointReport(const PointToPointInputs& in, const PathState& path,
                             const PointToPointResult& table, ReportSink& sink) {
    writePointToPointHeader(in, path, table, sink);
    sink.AddLine(QStringLiteral("Effective Heights ") +
                 trimmed(table.effectiveHeightM[0], u"00000.0") + QStringLiteral(", ") +
                 trimmed(table.effectiveHeightM[1], u"00000.0") + QStringLiteral(" m"));
    sink.AddLine(QStringLiteral("Terrain, Delta H ") + trimmed(table.deltaHM, u"0000000000.0") +
                 QStringLiteral(" m"));
    sink.AddLine(QString());
    sink.AddLine(QStringLiteral("Polarity - ") +
                 (in.horizontal ? QStringLiteral("Horizontal") : QStringLiteral("Vertical")) +
                 QStringLiteral(", Eps= ") + trimmed(in.eps, u"0000000000.00") +
                 QStringLiteral(", SGM = ") + trimmed(in.sgmSPerM, u"0000000000.0000"));
    sink.AddLine(in.climateText.trimmed() + QStringLiteral(", Ns ") +
                 trimmed(table.refractivityNUnits, u"0000000000.00") + QStringLiteral(", K ") +
                 trimmed(table.curvatureK, u"00000.000"));
    sink.AddLine(QStringLiteral("Profile: Num Points ") +
                 generalNumber(static_cast<double>(table.points)) +
                 QStringLiteral(", Dist between Points ") +
                 trimmed(table.spacingKm, u"0000000000.000") + QStringLiteral(" km"));
    sink.AddLine(table.pathType);
    if (!table.dominantMode.isEmpty())
        sink.AddLine(table.dominantMode);
    if (path.ProfileFile.isEmpty())
        sink.AddLine(QStringLiteral("Coordinates: ") + FormatPathCoordinates(path));

    sink.AddLine(QString());
    sink.AddLine(QStringLiteral("Estimated Quantiles of Basic Transmission Loss (dB)"));
    sink.AddLine(QStringLiteral("Free Space Value ") + padded(table.freeSpaceDb, u"00000.0") +
                 QStringLiteral(" dB"));
    sink.AddLine(QString());
    sink.AddLine(QStringLiteral("         Relia-    Confidence Level"));
    QString heading = QStringLiteral("         bility ");
    for (double c : table.confidencePct)
        heading += padded(c, u"000000.0");
    sink.AddLine(heading);
    sink.AddLine(QString());
    for (std::size_t i = 0; i < table.reliabilityPct.size(); ++i) {
        QString row = QStringLiteral("    ") + padded(table.reliabilityPct[i], u"00000000.0") +
                      QStringLiteral("  ");
        for (double loss : table.lossDb[i])
            row += padded(loss, u"000000.0");
        sink.AddLine(row);
    }

    sink.AddLine(QString());
    if (!in.picturePng.isEmpty())
        sink.insertPicture(in.picturePng, in.pictureWidthPx, in.pictureHeightPx);
    sink.AddLine(QString());
    for (const QString& line : modelWarningLines(table.kwx))
        sink.AddLine(line);
    sink.AddLine(QStringLiteral("\r\n\r\n"));
}

PointToPointStatus runPointToPointCalculation(const PointToPointInputs& in, const PathState& path,
                                              int profilePoints, PropagationModel& model,
                                              ModelRecords& records, Prompter& prompter,
                                              ReportSink& sink, PointToPointResult* result) {
    if (!path.ProfileReady) {
        inform(prompter, QStringLiteral("No Terrain Selected"), RunTitle, MsgIcon::None);
        return PointToPointStatus::NoTerrain;
    }
    BusyPointer busy(prompter);
    PointToPointResult table;
    const PointToPointStatus status =
        computePointToPointTable(in, path, profilePoints, model, records, table);
    switch (status) {
    case PointToPointStatus::NoElevations:
        writePointToPointHeader(in, path, table, sink);
        sink.AddLine(QStringLiteral("Profile: Num Points ") +
                     blankLed(static_cast<double>(table.points)) +
                     QStringLiteral(", Dist between Points ") +
                     numfmt::formatPattern(table.spacingKm, u"###0.000") + QStringLiteral("km"));
        sink.AddLine(QStringLiteral("Error: No Elevation Values, Analysis Cannot Continue"));
        inform(prompter, QStringLiteral("Error: No Elevation Values"), StopTitle, MsgIcon::None);
        return status;
    case PointToPointStatus::InvalidProfile:
        writePointToPointHeader(in, path, table, sink);
        sink.AddLine(QStringLiteral("Error: Invalid Terrain Profile, Analysis Cannot Continue"));
        inform(prompter, QStringLiteral("Error: Invalid Terrain Profile"), StopTitle,
               MsgIcon::Critical);
        return status;
    case PointToPointStatus::Done:
        writePointToPointReport(in, path, table, sink);
        records.clearMessage();
        if (result)
            *result = std::move(table);
        return status;
    case PointToPointStatus::NoTerrain:
    case PointToPointStatus::ModelMissing:
        return status;
    }
    return status;
}

} // namespace verdan
