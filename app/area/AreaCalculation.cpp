#include "AreaCalculation.h"

#include "NumberFormat.h"
#include "ResultsArchive.h"

#include <cmath>

namespace verdan {

using numfmt::padded;
using numfmt::trimmed;

namespace {

// A number's shortest text preceded by a blank when it is not negative.
QString signSpaced(double value) {
    const QString text = numfmt::generalNumber(value);
    return value >= 0 ? QStringLiteral(" ") + text : text;
}

// Rows of a segment as the grid counts them (already rounded down), capped above the limit.
long long cappedCount(double count) {
    if (!(count <= static_cast<double>(MaxAreaRows)))
        return MaxAreaRows + 1;
    return static_cast<long long>(count);
}

// Every routine an area run calls; checked before anything is written.
bool modelRoutinesPresent(PropagationModel& model) {
    for (const char* name : {"qerfi", "qlrps", "qlra", "lrprop", "avar"}) {
        if (model.binding().resolve<void()>(name) == nullptr)
            return false;
    }
    return true;
}

// The curvature factor K of the report: the effective earth's radius over the true one.
double curvatureFactor(const ModelRecords& records) {
    return 1.57e-07 / records.prop.gme;
}

// Ns as the report prints it: whole, without surrounding blanks.
QString refractivityText(const ModelRecords& records) {
    return numfmt::formatPattern(records.prop.ens, u"#####").trimmed();
}

} // namespace

int areaPolarizationCode(bool horizontal) {
    return horizontal ? 0 : 1;
}

QString tooManyRowsMessage() {
    return QStringLiteral("The distances entered would need more than %1 rows in the table. "
                          "Please use larger distance increments or a shorter range.")
        .arg(MaxAreaRows);
}

DistanceGrid areaDistanceGrid(const AreaInputs& in) {
    DistanceGrid grid;
    double d0 = in.d0Km;
    if (!(d0 > 0))
        d0 = in.ds1Km;
    if (!(d0 > 0))
        d0 = 2;
    grid.d0Km = d0;

    if (in.d1Km > d0 && in.ds1Km > 0) {
        grid.count1 = cappedCount(std::floor((in.d1Km - d0) / in.ds1Km + 1.75));
        grid.d1Km = d0 + static_cast<double>(grid.count1 - 1) * in.ds1Km;
        grid.step1Km = in.ds1Km;
    } else {
        grid.count1 = 1;
        grid.d1Km = d0;
        grid.step1Km = 0;
    }

    grid.d2Km = in.d2Km;
    if (in.d2Km > grid.d1Km && in.ds2Km > 0) {
        grid.count2 = cappedCount(std::floor((in.d2Km - grid.d1Km) / in.ds2Km + 0.75));
        grid.d2Km = grid.d1Km + static_cast<double>(grid.count2) * in.ds2Km;
        grid.step2Km = in.ds2Km;
    } else {
        grid.count2 = 0;
    }
    return grid;
}

std::vector<double> activeConfidenceLevels(const std::array<double, 4>& levelsPct) {
    if (!(levelsPct[0] > 0))
        return {50.0};
    std::vector<double> levels{levelsPct[0]};
    for (std::size_t i = 1; i < levelsPct.size() && levelsPct[i] > 0; ++i)
        levels.push_back(levelsPct[i]);
    return levels;
}

bool prepareAreaRun(const AreaInputs& in, PropagationModel& model, ModelRecords& records,
                    AreaRunSetup& setup) {
    if (!modelRoutinesPresent(model))
        return false;
    const auto zt = model.qerfi(in.timePct / 100);
    const auto zl = model.qerfi(in.locationPct / 100);
    if (!zt || !zl)
        return false;
    setup.zt = *zt;
    setup.zl = *zl;
    records.prop.ens = in.nsNUnits;

    setup.levelsPct = in.confLevelsPct;
    const std::vector<double> active = activeConfidenceLevels(in.confLevelsPct);
    setup.levelsPct[0] = active.front();
    setup.lastLevel = static_cast<int>(active.size()) - 1;
    setup.confDeviates.fill(0);
    for (std::size_t i = 0; i < active.size(); ++i) {
        const auto zc = model.qerfi(active[i] / 100);
        if (!zc)
            return false;
        setup.confDeviates[i] = *zc;
    }

    records.prop.hg[0] = in.h1M;
    records.prop.hg[1] = in.h2M;
    records.prop.dh = in.deltaHM;
    records.prop.kwx = 0;
    const int climate = ClimateCode(in.climateText);
    records.propv.klim = climate;
    const int sites[2] = {SitingCode(in.site1Text), SitingCode(in.site2Text)};
    return model.qlrps(records, in.frequencyMHz, 0, in.nsNUnits,
                       areaPolarizationCode(in.horizontal), in.eps, in.sgmSPerM) &&
           model.qlra(records, sites, climate, VariabilityCode(in.variabilityText));
}

void writeAreaParameterLines(const AreaInputs& in, const ModelRecords& records, ReportSink& sink) {
    const PropRecord& prop = records.prop;
    sink.AddLine(QStringLiteral("Frequency  ") + trimmed(in.frequencyMHz, u"000000000000") +
                 QStringLiteral(" MHz"));
    sink.AddLine(QStringLiteral("Antenna Heights  ") + trimmed(prop.hg[0], u"000000.0") +
                 QStringLiteral(", ") + trimmed(prop.hg[1], u"000000.0") + QStringLiteral(" m"));
    sink.AddLine(QStringLiteral("Effective Heights  ") + trimmed(prop.he[0], u"000000.0") +
                 QStringLiteral(", ") + trimmed(prop.he[1], u"000000.0") +
                 QStringLiteral(" m (siting=") + signSpaced(SitingCode(in.site1Text)) +
                 QStringLiteral(", ") + signSpaced(SitingCode(in.site2Text)) + QStringLiteral(")"));
    sink.AddLine(QStringLiteral("Terrain, Delta H  ") + trimmed(prop.dh, u"000000000000") +
                 QStringLiteral(" m"));
    sink.AddLine(QStringLiteral("Polarization=") +
                 (in.horizontal ? QStringLiteral("Horizontal") : QStringLiteral("Vertical")) +
                 QStringLiteral(", eps=  ") + trimmed(in.eps, u"000") + QStringLiteral(", sgm=") +
                 trimmed(in.sgmSPerM, u"00.000") + QStringLiteral(" S/m"));
    sink.AddLine(QStringLiteral("Climate= ") + in.climateText.trimmed() + QStringLiteral(", Ns=") +
                 refractivityText(records) + QStringLiteral(" N-units, K=") +
                 trimmed(curvatureFactor(records), u"00.000"));
    const QString qt = padded(in.timePct, u"000.0");
    switch (VariabilityCode(in.variabilityText)) {
    case 0:
        sink.AddLine(QStringLiteral("   Single Message Service"));
        break;
    case 1:
        sink.AddLine(QStringLiteral("   Individual Service: ") + qt +
                     QStringLiteral("% Time Availability"));
        break;
    case 2:
        sink.AddLine(QStringLiteral("   Mobile Service: Required Reliability-") + qt +
                     QStringLiteral("%"));
        break;
    case 3:
        sink.AddLine(QStringLiteral("   Broadcast Service: Required Reliability-") + qt +
                     QStringLiteral("% Time, ") + padded(in.locationPct, u"000.0") +
                     QStringLiteral("% Locations"));
        break;
    default:
        break;
    }
}

std::optional<double> areaFreeSpaceAt(PropagationModel& model, ModelRecords& records,
                                      double distM) {
    if (records.propv.lvar < 1)
        records.propv.lvar = 1;
    if (!model.lrprop(records, distM))
        return std::nullopt;
    return 8.68589 * std::log(2 * records.prop.wn * records.prop.dist);
}

namespace {

// The compact summaries of the run, used as graph subtitles and archive texts.
void setSummaries(const AreaInputs& in, const ModelRecords& records, AreaResults& results) {
    results.graphTitle1 =
        QStringLiteral("Frq ") + trimmed(in.frequencyMHz, u"000000000000") +
        QStringLiteral("MHz,") + QStringLiteral("Ant Hghts ") + trimmed(in.h1M, u"000000.0") +
        QStringLiteral(",") + trimmed(in.h2M, u"000000.0") + QStringLiteral("m") +
        QStringLiteral(",Terrain Delta H ") + trimmed(in.deltaHM, u"000000000000") +
        QStringLiteral("m,") + QStringLiteral("Pol=") +
        (in.horizontal ? QStringLiteral("Horz") : QStringLiteral("Vert")) +
        QStringLiteral(",eps=") + trimmed(in.eps, u"000") + QStringLiteral(",sgm=") +
        trimmed(in.sgmSPerM, u"00.000") + QStringLiteral("S/m");

    QString title2 = in.climateText.trimmed() + QStringLiteral(", Ns=") +
                     refractivityText(records) + QStringLiteral(",N-units,K=") +
                     trimmed(curvatureFactor(records), u"00.000");
    const QString qt = padded(in.timePct, u"000.0");
    switch (VariabilityCode(in.variabilityText)) {
    case 0:
        title2 += QStringLiteral(",Single Mess Service");
        break;
    case 1:
        title2 += QStringLiteral(",Accl Serv: ") + qt + QStringLiteral("% Time Availability");
        break;
    case 2:
        title2 += QStringLiteral(",Mobl Serv: Reqd Rel-") + qt + QStringLiteral("%");
        break;
    case 3:
        title2 += QStringLiteral(",Broadcast Serv: Req Rel-") + qt + QStringLiteral("%Time, ") +
                  padded(in.locationPct, u"000.0") + QStringLiteral("%Loc");
        break;
    default:
        break;
    }
    results.graphTitle2 = title2;
}

} // namespace

AreaRunStatus computeAreaTable(const AreaInputs& in, PropagationModel& model, ModelRecords& records,
                               AreaTable& table) {
    const DistanceGrid grid = areaDistanceGrid(in);
    if (grid.points() > MaxAreaRows)
        return AreaRunStatus::TooManyRows;
    if (!prepareAreaRun(in, model, records, table.setup))
        return AreaRunStatus::ModelMissing;
    const AreaRunSetup& setup = table.setup;
    const auto points = static_cast<std::size_t>(grid.points());
    table.distKm.reserve(points);
    table.lossDb.reserve(points);
    double distKm = grid.d0Km;
    double stepKm = grid.step1Km;
    for (long long k = 1; k <= grid.points(); ++k) {
        const auto freeSpaceDb = areaFreeSpaceAt(model, records, distKm * 1000);
        if (!freeSpaceDb)
            return AreaRunStatus::ModelMissing;
        std::vector<double> row;
        for (int i = 0; i <= setup.lastLevel; ++i) {
            const auto variability = model.avar(records, setup.zt, setup.zl, setup.confDeviates[i]);
            if (!variability)
                return AreaRunStatus::ModelMissing;
            row.push_back(*variability + *freeSpaceDb);
        }
        row.push_back(*freeSpaceDb);
        table.distKm.push_back(distKm);
        table.lossDb.push_back(std::move(row));
        if (k == grid.count1 && grid.count2 > 0)
            stepKm = grid.step2Km;
        distKm += stepKm;
    }
    table.kwx = records.prop.kwx;
    return AreaRunStatus::Done;
}

void writeAreaReport(const AreaInputs& in, const ModelRecords& records, const AreaTable& table,
                     ReportSink& sink) {
    const AreaRunSetup& setup = table.setup;
    sink.AddLine(QStringLiteral("The Solvane of Radio Propagation in the Area Mode"));
    writeAreaParameterLines(in, records, sink);
    sink.AddLine(QString());
    sink.AddLine(QStringLiteral("Estimated Quantiles of Basic Transmission Loss (dB)"));
    sink.AddLine(QString());
    sink.AddLine(QStringLiteral("       Dist      Free      Confidence Level"));
    QString heading = QStringLiteral("        km       Space");
    for (int i = 0; i <= setup.lastLevel; ++i)
        heading += QStringLiteral("   ") + padded(setup.levelsPct[i], u"000000.0");
    sink.AddLine(heading);
    sink.AddLine(QString());
    for (std::size_t k = 0; k < table.distKm.size(); ++k) {
        const std::vector<double>& losses = table.lossDb[k];
        QString row = QStringLiteral("  ") + padded(table.distKm[k], u"0000000.0") +
                      QStringLiteral(", ") + padded(losses.back(), u"0000000.0");
        for (std::size_t i = 0; i + 1 < losses.size(); ++i)
            row += QStringLiteral(", ") + padded(losses[i], u"0000000.0");
        sink.AddLine(row);
    }
    sink.AddLine(QString());
    for (const QString& line : modelWarningLines(table.kwx))
        sink.AddLine(line);
    sink.AddLine(QStringLiteral("\r\n\r\n"));
}

AreaRunStatus runAreaCalculation(const AreaInputs& in, PropagationModel& model,
                                 ModelRecords& records, ReportSink& sink, AreaResults& results) {
    AreaTable table;
    const AreaRunStatus status = computeAreaTable(in, model, records, table);
    if (status != AreaRunStatus::Done)
        return status;
    writeAreaReport(in, records, table, sink);

    const AreaRunSetup& setup = table.setup;
    AreaResults run;
    setSummaries(in, records, run);
    for (int i = 0; i <= setup.lastLevel; ++i)
        run.graphLabels << trimmed(setup.levelsPct[i], u"000000.0") +
                               QStringLiteral("% Confidence");
    run.graphLabels << QStringLiteral("Free Space");
    run.graphConfLevels = setup.levelsPct;
    run.graphLastLevel = setup.lastLevel;
    run.graphLastPoint = static_cast<int>(table.distKm.size()) - 1;
    run.graphDist = std::move(table.distKm);
    run.graphLoss = std::move(table.lossDb);
    run.archiveParameters = archiveParameterSummary(in);
    run.archiveGround = archiveGroundSummary(in);
    run.valid = true;
    results = std::move(run);
    return AreaRunStatus::Done;
}

} // namespace verdan
