#include "P2pCommand.h"

#include "FileNameBytes.h"
#include "FrmPtoPModel.h"
#include "LinkOptions.h"
#include "NumberFormat.h"
#include "PointToPointLink.h"
#include "ProfileCommand.h"
#include "ProfileFile.h"
#include "ProfilePicture.h"
#include "ProfilePlot.h"
#include "StdoutSink.h"
#include "TempFile.h"

#include <verdan/radio/PathLinkReport.h>

#include <QGuiApplication>
#include <cmath>
#include <memory>
#include <optional>
#include <sstream>

#include <sys/stat.h>

namespace verdan::cli {

namespace {

const QStringList P2pOptions{
    QStringLiteral("freq"), QStringLiteral("h1"),      QStringLiteral("h2"),
    QStringLiteral("pol"),  QStringLiteral("eps"),     QStringLiteral("sgm"),
    QStringLiteral("ns"),   QStringLiteral("climate"), QStringLiteral("rel"),
    QStringLiteral("conf"), QStringLiteral("profile"), QStringLiteral("tx"),
    QStringLiteral("rx"),   QStringLiteral("terrain"), QStringLiteral("globe-path"),
    QStringLiteral("dem"),  QStringLiteral("picture"), QStringLiteral("format")};

QString joined(const std::vector<double>& values) {
    QStringList texts;
    for (double v : values)
        texts << numfmt::generalNumber(v);
    return texts.join(u',');
}

QStringList p2pOptionNames() {
    return P2pOptions + linkOptionNames();
}

bool anyLinkOption(const CliOptions& options) {
    for (const QString& name : linkOptionNames())
        if (options.has(name))
            return true;
    return false;
}

void writeTable(CliContext& context, OutputFormat format, const PointToPointResult& result,
                const std::optional<radio::PathLink>& link) {
    const auto number = [](double v) { return numfmt::formatPattern(v, u"0.0"); };
    // JSON has no NaN or infinity: a value that is not finite is written as null.
    const auto jsonNumber = [&number](double v) {
        return std::isfinite(v) ? number(v) : QStringLiteral("null");
    };
    if (format == OutputFormat::Csv) {
        QString header = QStringLiteral("reliability_pct");
        for (double c : result.confidencePct)
            header += QStringLiteral(",conf_") + numfmt::generalNumber(c);
        context.out << header.toStdString()
                    << (link ? radio::pathLinkCsvColumns(*link, true, 0) : std::string()) << '\n';
        for (std::size_t i = 0; i < result.lossDb.size(); ++i) {
            QString row = numfmt::generalNumber(result.reliabilityPct[i]);
            for (double loss : result.lossDb[i])
                row += u',' + number(loss);
            context.out << row.toStdString()
                        << (link ? radio::pathLinkCsvColumns(*link, false, i) : std::string())
                        << '\n';
        }
        if (result.kwx != 0)
            printError(context,
                       QStringLiteral("warning: ") + modelWarningLines(result.kwx).join(u' '));
        return;
    }
    QString json = QStringLiteral("{\"distance_km\":") +
                   numfmt::formatPattern(result.distKm, u"0.000") +
                   QStringLiteral(",\"free_space_db\":") + jsonNumber(result.freeSpaceDb) +
                   QStringLiteral(",\"path\":\"") + result.pathType +
                   QStringLiteral("\",\"dominant_mode\":\"") + result.dominantMode +
                   QStringLiteral("\",\"kwx\":") + QString::number(result.kwx) +
                   QStringLiteral(",\"reliability_pct\":[") + joined(result.reliabilityPct) +
                   QStringLiteral("],\"confidence_pct\":[") + joined(result.confidencePct) +
                   QStringLiteral("],\"loss_db\":[");
    for (std::size_t i = 0; i < result.lossDb.size(); ++i) {
        QStringList row;
        for (double loss : result.lossDb[i])
            row << jsonNumber(loss);
        json += (i ? QStringLiteral(",[") : QStringLiteral("[")) + row.join(u',') + u']';
    }
    json += u']';
    context.out << json.toStdString() << (link ? radio::pathLinkJsonFields(*link) : std::string())
                << "}\n";
}

// Writes the picture; a QGuiApplication (offscreen unless a platform is set) is made when the
// process has none.
bool writePicture(const QString& path, const std::vector<double>& pfl, QString& error) {
    std::unique_ptr<QGuiApplication> app;
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "verdan-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    const QByteArray png = profilePicturePng(
        profileElevations(pfl), FrmPtoPModel::picProfileWidthPx, FrmPtoPModel::picProfileHeightPx);
    if (png.isEmpty()) {
        error = QStringLiteral("the picture could not be encoded");
        return false;
    }
    return writeFileAtomically(path, png, &error);
}

// The --picture file: a name is required, and never one of the command's input files.
QString pictureFileFromOptions(const CliOptions& options, const QString& profileFile) {
    const QString picture = options.valueOf(QStringLiteral("picture"));
    if (picture.isEmpty())
        throw UsageError{QStringLiteral("--picture: the name of the PNG file to write")};
    struct stat target {};
    struct stat input {};
    if (!profileFile.isEmpty() && ::stat(fileNameBytes(picture).constData(), &target) == 0 &&
        ::stat(fileNameBytes(profileFile).constData(), &input) == 0 &&
        target.st_dev == input.st_dev && target.st_ino == input.st_ino)
        throw UsageError{QStringLiteral("--picture: \"") + picture +
                         QStringLiteral("\" is the profile file; give another name")};
    return picture;
}

} // namespace

PointToPointInputs p2pInputsFromOptions(const CliOptions& options) {
    PointToPointInputs in;
    in.frequencyMHz = options.number(QStringLiteral("freq"), 20, 20, 20000, QStringLiteral("MHz"));
    in.h1M = options.number(QStringLiteral("h1"), 3.3, 0.5, 3000, QStringLiteral("m"));
    in.h2M = options.number(QStringLiteral("h2"), 1.3, 0.5, 3000, QStringLiteral("m"));
    in.horizontal =
        options.choice(QStringLiteral("pol"), QStringLiteral("V"),
                       {QStringLiteral("H"), QStringLiteral("V")}) == QLatin1String("H");
    in.eps = options.number(QStringLiteral("eps"), 15);
    in.sgmSPerM = options.number(QStringLiteral("sgm"), 0.001);
    in.nsNUnits = options.number(QStringLiteral("ns"), 301);
    in.climateText = climateItems().at(options.integer(QStringLiteral("climate"), 5, 1, 7) - 1);
    in.reliabilityPct =
        options.list(QStringLiteral("rel"), {1, 10, 50, 90, 99}, MaxListValues, 1, 1, 99);
    in.confidencePct = options.list(QStringLiteral("conf"), {50, 90, 10}, MaxListValues, 1, 1, 99);
    return in;
}

int p2pCommand(const QStringList& args, CliContext& context) {
    PointToPointInputs in;
    OutputFormat format = OutputFormat::Text;
    QString profileFile;
    QString pictureFile;
    std::optional<TerrainRequest> terrain;
    std::optional<LinkOptions> linkOptions;
    try {
        const CliOptions options(args, p2pOptionNames());
        in = p2pInputsFromOptions(options);
        if (anyLinkOption(options))
            linkOptions = linkOptionsFromOptions(options);
        const QString formatText =
            options.choice(QStringLiteral("format"), QStringLiteral("text"),
                           {QStringLiteral("text"), QStringLiteral("csv"), QStringLiteral("json")});
        format = formatText == QLatin1String("csv")    ? OutputFormat::Csv
                 : formatText == QLatin1String("json") ? OutputFormat::Json
                                                       : OutputFormat::Text;
        const bool coordinates =
            options.has(QStringLiteral("tx")) || options.has(QStringLiteral("rx"));
        if (coordinates && options.has(QStringLiteral("profile")))
            throw UsageError{QStringLiteral("--profile and --tx/--rx: give either a profile file "
                                            "or the end points of the path")};
        if (!coordinates &&
            (options.has(QStringLiteral("terrain")) || options.has(QStringLiteral("globe-path")) ||
             options.has(QStringLiteral("dem"))))
            throw UsageError{
                QStringLiteral("--terrain, --globe-path and --dem go with --tx and --rx")};
        if (coordinates)
            terrain = terrainRequestFromOptions(options);
        else if (!options.has(QStringLiteral("profile")))
            throw UsageError{QStringLiteral("--profile FILE (a profile in the model's layout) or "
                                            "--tx LAT,LON --rx LAT,LON is required")};
        else
            profileFile = options.valueOf(QStringLiteral("profile"));
        if (!coordinates && options.has(QStringLiteral("azimuth")))
            throw UsageError{QStringLiteral("--azimuth needs the path's bearing: give --tx and "
                                            "--rx (over a profile file the antenna is taken as "
                                            "aimed along the path)")};
        if (options.has(QStringLiteral("picture")))
            pictureFile = pictureFileFromOptions(options, profileFile);
    } catch (const UsageError& error) {
        printError(context, error.message);
        return ExitUsage;
    }

    PathState path;
    path.TerrainSource.clear();
    QString error;
    int points = 0;
    if (terrain) {
        ExtractionResult extracted;
        if (!extractForCli(*terrain, context, extracted))
            return extracted.libraryMissing ? ExitFailure : ExitUsage;
        describePath(*terrain, extracted, path);
        path.pfl = std::move(extracted.pfl);
        points = extracted.pointsReturned;
    } else {
        if (!readProfileFile(profileFile, path.pfl, error)) {
            printError(context, QStringLiteral("--profile: ") + error);
            return ExitUsage;
        }
        points = static_cast<int>(path.pfl.size() - 2);
        path.ProfileFile = profileFile;
    }
    path.ProfileReady = true;

    PropagationModel model(context.prompter, context.modelFolder);
    ModelRecords records;
    PointToPointResult result;
    std::ostringstream report;
    StdoutSink sink(report);
    const PointToPointStatus status = runPointToPointCalculation(in, path, points, model, records,
                                                                 context.prompter, sink, &result);
    if (status != PointToPointStatus::Done)
        return status == PointToPointStatus::ModelMissing ? ExitFailure : ExitUsage;
    if (!pictureFile.isEmpty() && !writePicture(pictureFile, path.pfl, error)) {
        printError(context, QStringLiteral("--picture: ") + error);
        return ExitFailure;
    }
    std::optional<radio::PathLink> link;
    if (linkOptions) {
        std::optional<radio::PathEndsDeg> ends;
        if (terrain)
            ends = radio::PathEndsDeg{terrain->ends.txLatDeg, terrain->ends.txLonDeg,
                                      terrain->ends.rxLatDeg, terrain->ends.rxLonDeg};
        link = radio::computePathLink(linkOptions->tx, linkOptions->rx,
                                      pointToPointPath(path.pfl, in, result, ends),
                                      pointToPointLossTable(result));
    }
    if (format == OutputFormat::Text)
        context.out << report.str() << (link ? radio::pathLinkReportText(*link) : std::string());
    else
        writeTable(context, format, result, link);
    context.out.flush();
    return ExitOk;
}

} // namespace verdan::cli
