#include "PointToPointCalculation.h"

#include "AreaCalculation.h"
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

PointToPointStatus runPointToPointCalculation(const PointToPointInputs& in, const PathState& path,
                                              int profilePoints, PropagationModel& model,
                                              ModelRecords& records, Prompter& prompter,
                                              ReportSink& sink, PointToPointResult* result) {
    if (!path.ProfileReady) {
        inform(prompter, QStringLiteral("No Terrain Selected"), RunTitle, MsgIcon::None);
        return PointToPointStatus::NoTerrain;
    }
    BusyPointer busy(prompter);
    PropRecord& prop = records.prop;
    PropvRecord& propv = records.propv;
    const PropaRecord& propa = records.propa;

    prop.hg[0] = in.h1M;
    prop.hg[1] = in.h2M;
    const double fmhz = in.frequencyMHz;
    const int ipol = in.horizontal ? 0 : 1;
    propv.klim = ClimateCode(in.climateText);
    prop.kwx = 0;
    propv.lvar = 5;
    prop.mdp = -1;

    const std::vector<double> qc = firstValues(in.confidencePct);
    const std::vector<double> qr = firstValues(in.reliabilityPct);
    std::vector<double> zc;
    std::vector<double> zr;
    if (!deviates(model, qc, zc) || !deviates(model, qr, zr))
        return PointToPointStatus::ModelMissing;

    const std::vector<double>& pfl = path.pfl;
    const double intervals = pfl.empty() ? 0.0 : pfl[0];
    const double spacingM = pfl.size() < 2 ? 0.0 : pfl[1];
    const long long np = roundHalfEven(intervals);
    const double distKm = intervals * spacingM / 1000.0;
    const double xiKm = spacingM / 1000.0;

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
                         .arg(np + 1));
    }
    sink.AddLine(QStringLiteral("Distance ") + trimmed(distKm, u"0000000000.0") +
                 QStringLiteral(" km"));
    sink.AddLine(QStringLiteral("Frequency ") + trimmed(fmhz, u"0000000000.0") +
                 QStringLiteral(" MHz"));
    sink.AddLine(QStringLiteral("Antenna Heights ") + blankLed(prop.hg[0]) + QStringLiteral(", ") +
                 blankLed(prop.hg[1]) + QStringLiteral(" m"));

    if (profilePoints == 0) {
        sink.AddLine(QStringLiteral("Profile: Num Points ") +
                     blankLed(static_cast<double>(np + 1)) +
                     QStringLiteral(", Dist between Points ") +
                     numfmt::formatPattern(xiKm, u"###0.000") + QStringLiteral("km"));
        sink.AddLine(QStringLiteral("Error: No Elevation Values, Analysis Cannot Continue"));
        inform(prompter, QStringLiteral("Error: No Elevation Values"), StopTitle, MsgIcon::None);
        return PointToPointStatus::NoElevations;
    }
    if (!profileIsUsable(pfl)) {
        sink.AddLine(QStringLiteral("Error: Invalid Terrain Profile, Analysis Cannot Continue"));
        inform(prompter, QStringLiteral("Error: Invalid Terrain Profile"), StopTitle,
               MsgIcon::Critical);
        return PointToPointStatus::InvalidProfile;
    }

    const double ns = in.nsNUnits;
    const double zsys = meanSystemElevation(pfl);
    propv.mdvar = 12;
    if (!model.qlrps(records, fmhz, zsys, ns, ipol, in.eps, in.sgmSPerM))
        return PointToPointStatus::ModelMissing;
    std::vector<double> profile(pfl);
    if (!model.qlrpfl(records, profile.data(), propv.klim, propv.mdvar))
        return PointToPointStatus::ModelMissing;

    const double fsl = 20.0 * SignedLog10(fmhz) + 32.45 + 20.0 * SignedLog10(prop.dist / 1000.0);

    sink.AddLine(QStringLiteral("Effective Heights ") + trimmed(prop.he[0], u"00000.0") +
                 QStringLiteral(", ") + trimmed(prop.he[1], u"00000.0") + QStringLiteral(" m"));
    sink.AddLine(QStringLiteral("Terrain, Delta H ") + trimmed(prop.dh, u"0000000000.0") +
                 QStringLiteral(" m"));
    sink.AddLine(QString());

    const double k = 1.57e-07 / prop.gme;
    sink.AddLine(QStringLiteral("Polarity - ") +
                 (ipol == 0 ? QStringLiteral("Horizontal") : QStringLiteral("Vertical")) +
                 QStringLiteral(", Eps= ") + trimmed(in.eps, u"0000000000.00") +
                 QStringLiteral(", SGM = ") + trimmed(in.sgmSPerM, u"0000000000.0000"));
    sink.AddLine(in.climateText.trimmed() + QStringLiteral(", Ns ") +
                 trimmed(prop.ens, u"0000000000.00") + QStringLiteral(", K ") +
                 trimmed(k, u"00000.000"));
    sink.AddLine(QStringLiteral("Profile: Num Points ") +
                 generalNumber(static_cast<double>(np + 1)) +
                 QStringLiteral(", Dist between Points ") + trimmed(xiKm, u"0000000000.000") +
                 QStringLiteral(" km"));

    const double q = prop.dist - propa.dla;
    const double h = spacingM / 2.0;
    const double v = std::floor(Dim(q, h) - Dim(-q, h));
    QString pathType;
    QString dominantMode;
    if (v < 0) {
        pathType = QStringLiteral("Line-Of-Sight Path");
    } else {
        pathType =
            v == 0 ? QStringLiteral("Single Horizon Path") : QStringLiteral("Double Horizon Path");
        dominantMode = prop.dist <= propa.dlsa || prop.dist <= propa.dx
                           ? QStringLiteral("Diffraction is the Dominant Mode")
                           : QStringLiteral("Troposheric Scatter is the Dominant Mode");
    }
    sink.AddLine(pathType);
    if (!dominantMode.isEmpty())
        sink.AddLine(dominantMode);
    if (path.ProfileFile.isEmpty())
        sink.AddLine(QStringLiteral("Coordinates: ") + FormatPathCoordinates(path));

    sink.AddLine(QString());
    sink.AddLine(QStringLiteral("Estimated Quantiles of Basic Transmission Loss (dB)"));
    sink.AddLine(QStringLiteral("Free Space Value ") + padded(fsl, u"00000.0") +
                 QStringLiteral(" dB"));
    sink.AddLine(QString());
    sink.AddLine(QStringLiteral("         Relia-    Confidence Level"));
    QString heading = QStringLiteral("         bility ");
    for (double c : qc)
        heading += padded(c, u"000000.0");
    sink.AddLine(heading);
    sink.AddLine(QString());

    std::vector<std::vector<double>> losses;
    for (std::size_t i = 0; i < qr.size(); ++i) {
        QString row = QStringLiteral("    ") + padded(qr[i], u"00000000.0") + QStringLiteral("  ");
        std::vector<double> rowLosses;
        for (std::size_t j = 0; j < qc.size(); ++j) {
            const auto a = model.avar(records, zr[i], 0.0, zc[j]);
            if (!a)
                return PointToPointStatus::ModelMissing;
            const double loss = *a + fsl;
            rowLosses.push_back(loss);
            row += padded(loss, u"000000.0");
        }
        losses.push_back(std::move(rowLosses));
        sink.AddLine(row);
    }

    sink.AddLine(QString());
    if (!in.picturePng.isEmpty())
        sink.insertPicture(in.picturePng, in.pictureWidthPx, in.pictureHeightPx);
    sink.AddLine(QString());
    for (const QString& line : modelWarningLines(prop.kwx))
        sink.AddLine(line);

    records.clearMessage();
    sink.AddLine(QStringLiteral("\r\n\r\n"));

    if (result) {
        result->distKm = distKm;
        result->freeSpaceDb = fsl;
        result->pathType = pathType;
        result->dominantMode = dominantMode;
        result->reliabilityPct = qr;
        result->confidencePct = qc;
        result->lossDb = std::move(losses);
        result->kwx = prop.kwx;
    }
    return PointToPointStatus::Done;
}

} // namespace verdan
