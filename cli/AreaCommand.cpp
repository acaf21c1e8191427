#include "AreaCommand.h"

#include "FileNameBytes.h"
#include "NumberFormat.h"
#include "ResultsArchive.h"
#include "StdoutSink.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sstream>
#include <sys/stat.h>

namespace verdan::cli {

void printError(CliContext& context, const QString& message) {
    context.err << "verdan-cli: " << oneLine(readableFileName(message)).toStdString() << '\n';
}

namespace {

const QStringList RadioOptions{
    QStringLiteral("freq"),        QStringLiteral("h1"),       QStringLiteral("h2"),
    QStringLiteral("pol"),         QStringLiteral("eps"),      QStringLiteral("sgm"),
    QStringLiteral("ns"),          QStringLiteral("climate"),  QStringLiteral("dh"),
    QStringLiteral("variability"), QStringLiteral("site1"),    QStringLiteral("site2"),
    QStringLiteral("time"),        QStringLiteral("location"), QStringLiteral("conf"),
    QStringLiteral("format")};

const QStringList DistanceOptions{QStringLiteral("d0"), QStringLiteral("d1"), QStringLiteral("ds1"),
                                  QStringLiteral("d2"), QStringLiteral("ds2")};

OutputFormat outputFormat(const CliOptions& options) {
    const QString format =
        options.choice(QStringLiteral("format"), QStringLiteral("text"),
                       {QStringLiteral("text"), QStringLiteral("csv"), QStringLiteral("json")});
    if (format == QLatin1String("csv"))
        return OutputFormat::Csv;
    if (format == QLatin1String("json"))
        return OutputFormat::Json;
    return OutputFormat::Text;
}

// A number for CSV: three decimals, C locale.
QString csvNumber(double value) {
    return QString::number(value, 'f', 3);
}

// The model's warning lines as one line for stderr.
void printWarnings(CliContext& context, int kwx) {
    const QStringList lines = modelWarningLines(kwx);
    if (!lines.isEmpty())
        context.err << "verdan-cli: warning: " << lines.join(u' ').simplified().toStdString()
                    << '\n';
}

QJsonArray warningArray(int kwx) {
    QJsonArray warnings;
    for (const QString& line : modelWarningLines(kwx))
        warnings.append(line.trimmed());
    return warnings;
}

void writeAreaTable(CliContext& context, OutputFormat format, const AreaResults& results, int kwx) {
    const auto levels = static_cast<std::size_t>(results.graphLastLevel) + 1;
    if (format == OutputFormat::Csv) {
        QString header = QStringLiteral("distance_km,free_space_db");
        for (std::size_t i = 0; i < levels; ++i)
            header += QStringLiteral(",conf_%1_pct_db")
                          .arg(numfmt::generalNumber(results.graphConfLevels[i]));
        context.out << header.toStdString() << '\n';
        for (std::size_t row = 0; row < results.graphDist.size(); ++row) {
            const std::vector<double>& series = results.graphLoss[row];
            QString line = csvNumber(results.graphDist[row]) + u',' + csvNumber(series.back());
            for (std::size_t i = 0; i < levels; ++i)
                line += u',' + csvNumber(series[i]);
            context.out << line.toStdString() << '\n';
        }
        printWarnings(context, kwx);
        return;
    }
    QJsonArray confidence;
    for (std::size_t i = 0; i < levels; ++i)
        confidence.append(results.graphConfLevels[i]);
    QJsonArray rows;
    for (std::size_t row = 0; row < results.graphDist.size(); ++row) {
        const std::vector<double>& series = results.graphLoss[row];
        QJsonArray losses;
        for (std::size_t i = 0; i < levels; ++i)
            losses.append(series[i]);
        rows.append(QJsonObject{{QStringLiteral("distanceKm"), results.graphDist[row]},
                                {QStringLiteral("freeSpaceDb"), series.back()},
                                {QStringLiteral("lossDb"), losses}});
    }
    const QJsonObject document{{QStringLiteral("command"), QStringLiteral("area")},
                               {QStringLiteral("title1"), results.graphTitle1},
                               {QStringLiteral("title2"), results.graphTitle2},
                               {QStringLiteral("confidenceLevelsPct"), confidence},
                               {QStringLiteral("warningCode"), kwx},
                               {QStringLiteral("warnings"), warningArray(kwx)},
                               {QStringLiteral("rows"), rows}};
    context.out << QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

void writeInverseTable(CliContext& context, OutputFormat format, double lossLevelDb,
                       const InverseResult& result) {
    if (format == OutputFormat::Csv) {
        context.out << "confidence_pct,distance_km\n";
        for (std::size_t i = 0; i < result.levelsPct.size(); ++i)
            context.out << (numfmt::generalNumber(result.levelsPct[i]) + u',' +
                            csvNumber(result.distancesKm[i]))
                               .toStdString()
                        << '\n';
        return;
    }
    QJsonArray results;
    for (std::size_t i = 0; i < result.levelsPct.size(); ++i)
        results.append(QJsonObject{{QStringLiteral("confidencePct"), result.levelsPct[i]},
                                   {QStringLiteral("distanceKm"), result.distancesKm[i]}});
    const QJsonObject document{{QStringLiteral("command"), QStringLiteral("inverse")},
                               {QStringLiteral("lossLevelDb"), lossLevelDb},
                               {QStringLiteral("results"), results}};
    context.out << QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

// An archive that exists must be a regular file: SQLite would otherwise open a device or pipe
// and create its journal beside it (/dev/full-journal).
void refuseNonRegularArchive(const QString& path) {
    struct stat info {};
    if (::stat(fileNameBytes(path).constData(), &info) == 0 && !S_ISREG(info.st_mode))
        throw UsageError{QStringLiteral("--archive: %1 is not a regular file (a folder, pipe or "
                                        "device)")
                             .arg(path)};
}

} // namespace

GroundAndAir groundAndAirFromOptions(const CliOptions& options, const GroundAndAir& fallback) {
    return {options.number(QStringLiteral("eps"), fallback.eps, 1, 100),
            options.number(QStringLiteral("sgm"), fallback.sgmSPerM, 0.00001, 100,
                           QStringLiteral("S/m")),
            options.number(QStringLiteral("ns"), fallback.nsNUnits, 250, 400,
                           QStringLiteral("N-units"))};
}

AreaInputs areaInputsFromOptions(const CliOptions& options) {
    AreaInputs in;
    in.frequencyMHz =
        options.number(QStringLiteral("freq"), in.frequencyMHz, 20, 20000, QStringLiteral("MHz"));
    in.h1M = options.number(QStringLiteral("h1"), in.h1M, 0.5, 3000, QStringLiteral("m"));
    in.h2M = options.number(QStringLiteral("h2"), in.h2M, 0.5, 3000, QStringLiteral("m"));
    in.horizontal =
        options.choice(QStringLiteral("pol"), QStringLiteral("V"),
                       {QStringLiteral("H"), QStringLiteral("V")}) == QLatin1String("H");
    const GroundAndAir ground =
        groundAndAirFromOptions(options, {in.eps, in.sgmSPerM, in.nsNUnits});
    in.eps = ground.eps;
    in.sgmSPerM = ground.sgmSPerM;
    in.nsNUnits = ground.nsNUnits;
    in.climateText = climateItems().at(
        options.integer(QStringLiteral("climate"), ClimateCode(in.climateText), 1, 7) - 1);
    in.deltaHM = options.number(QStringLiteral("dh"), in.deltaHM, 0, 3000, QStringLiteral("m"));
    in.variabilityText = variabilityItems().at(
        options.integer(QStringLiteral("variability"), VariabilityCode(in.variabilityText), 0, 3));
    in.site1Text =
        sitingItems().at(options.integer(QStringLiteral("site1"), SitingCode(in.site1Text), 0, 2));
    in.site2Text =
        sitingItems().at(options.integer(QStringLiteral("site2"), SitingCode(in.site2Text), 0, 2));
    in.timePct = options.number(QStringLiteral("time"), in.timePct, 0.1, 99.9, QStringLiteral("%"));
    in.locationPct =
        options.number(QStringLiteral("location"), in.locationPct, 0.1, 99.9, QStringLiteral("%"));
    const std::vector<double> levels =
        options.list(QStringLiteral("conf"), {in.confLevelsPct.begin(), in.confLevelsPct.end()}, 4,
                     0.1, 0, 99.9);
    in.confLevelsPct.fill(0);
    std::copy(levels.begin(), levels.end(), in.confLevelsPct.begin());
    in.d0Km = options.number(QStringLiteral("d0"), in.d0Km);
    in.d1Km = options.number(QStringLiteral("d1"), in.d1Km);
    in.ds1Km = options.number(QStringLiteral("ds1"), in.ds1Km);
    in.d2Km = options.number(QStringLiteral("d2"), in.d2Km);
    in.ds2Km = options.number(QStringLiteral("ds2"), in.ds2Km);
    in.lossLevelDb = options.number(QStringLiteral("loss"), in.lossLevelDb);
    return in;
}

int areaCommand(const QStringList& args, CliContext& context) {
    AreaInputs in;
    OutputFormat format = OutputFormat::Text;
    QString archivePath;
    QString archiveComment;
    try {
        const CliOptions options(
            args, RadioOptions + DistanceOptions +
                      QStringList{QStringLiteral("archive"), QStringLiteral("comment")});
        in = areaInputsFromOptions(options);
        format = outputFormat(options);
        if (options.has(QStringLiteral("comment")) && !options.has(QStringLiteral("archive")))
            throw UsageError{QStringLiteral("--comment: only with --archive FILE")};
        if (options.has(QStringLiteral("archive"))) {
            archivePath = options.valueOf(QStringLiteral("archive"));
            if (archivePath.isEmpty())
                throw UsageError{QStringLiteral("--archive: the archive file's name")};
            refuseNonRegularArchive(archivePath);
        }
        if (options.has(QStringLiteral("comment")))
            archiveComment = options.valueOf(QStringLiteral("comment"));
    } catch (const UsageError& error) {
        printError(context, error.message);
        return ExitUsage;
    }
    if (areaDistanceGrid(in).points() > MaxAreaRows) {
        printError(context,
                   QStringLiteral("--d0, --d1, --ds1, --d2, --ds2: ") + tooManyRowsMessage());
        return ExitUsage;
    }

    PropagationModel model(context.prompter, context.modelFolder);
    ModelRecords records;
    AreaResults results;
    std::ostringstream report;
    StdoutSink sink(report);
    switch (runAreaCalculation(in, model, records, sink, results)) {
    case AreaRunStatus::Done:
        break;
    case AreaRunStatus::TooManyRows:
        printError(context, tooManyRowsMessage());
        return ExitUsage;
    case AreaRunStatus::ModelMissing:
        return ExitFailure;
    }
    if (format == OutputFormat::Text)
        context.out << report.str();
    else
        writeAreaTable(context, format, results, records.prop.kwx);
    context.out.flush();
    if (!archivePath.isEmpty()) {
        // Every confidence level of the run, as the area form's save answered "Yes" stores it.
        QString error;
        const std::optional<qint64> runId =
            ResultsArchive::storeAllLevels(results, archivePath, archiveComment, error);
        if (!runId) {
            printError(context, QStringLiteral("--archive: ") + error);
            return ExitFailure;
        }
        context.err << "ModelRun ID " << *runId << '\n';
    }
    return ExitOk;
}

int inverseCommand(const QStringList& args, CliContext& context) {
    AreaInputs in;
    OutputFormat format = OutputFormat::Text;
    try {
        const CliOptions options(args, RadioOptions + QStringList{QStringLiteral("loss")});
        if (!options.has(QStringLiteral("loss")))
            throw UsageError{
                QStringLiteral("--loss: required, the loss level in dB (a finite number)")};
        in = areaInputsFromOptions(options);
        format = outputFormat(options);
    } catch (const UsageError& error) {
        printError(context, error.message);
        return ExitUsage;
    }

    PropagationModel model(context.prompter, context.modelFolder);
    ModelRecords records;
    InverseResult result;
    std::ostringstream report;
    StdoutSink sink(report);
    if (runInverseCalculation(in, model, records, sink, &result) != AreaRunStatus::Done)
        return ExitFailure;
    if (format == OutputFormat::Text)
        context.out << report.str();
    else
        writeInverseTable(context, format, in.lossLevelDb, result);
    context.out.flush();
    return ExitOk;
}

} // namespace verdan::cli
