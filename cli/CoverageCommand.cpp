#include "CoverageCommand.h"

#include "CoverageTerrain.h"
#include "FileNameBytes.h"
#include "InputsDigest.h"
#include "Interrupt.h"
#include "P2pCommand.h"
#include "ProfileCommand.h"

#include <verdan/coverage/Network.h>
#include <verdan/radio/Units.h>

#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace verdan::cli {

namespace {

// The options of coverage itself; the link budget options are added to them.
const QStringList OwnOptionNames{
    QStringLiteral("freq"),       QStringLiteral("h1"),      QStringLiteral("h2"),
    QStringLiteral("pol"),        QStringLiteral("eps"),     QStringLiteral("sgm"),
    QStringLiteral("ns"),         QStringLiteral("climate"), QStringLiteral("rel"),
    QStringLiteral("conf"),       QStringLiteral("tx"),      QStringLiteral("radius"),
    QStringLiteral("resolution"), QStringLiteral("terrain"), QStringLiteral("dem"),
    QStringLiteral("globe-path"), QStringLiteral("out"),     QStringLiteral("sites"),
    QStringLiteral("formats"),    QStringLiteral("threads"), QStringLiteral("summary"),
    QStringLiteral("show"),       QStringLiteral("levels"),  QStringLiteral("colours")};

const QStringList CoverageOptionNames = OwnOptionNames + linkOptionNames();

const QString PrintJobs = QStringLiteral("--print-jobs");

} // namespace

const QStringList& coverageOptionNames() {
    return CoverageOptionNames;
}

namespace {

coverage::OutputFormats formatsFromOptions(const CliOptions& options) {
    if (!options.has(QStringLiteral("formats")))
        return {};
    coverage::OutputFormats formats{false, false, false, {}, false};
    for (const QString& name : options.valueOf(QStringLiteral("formats")).split(u',')) {
        const QString format = name.trimmed().toLower();
        if (format == QLatin1String("tif"))
            formats.geoTiff = true;
        else if (format == QLatin1String("png"))
            formats.png = true;
        else if (format == QLatin1String("kml"))
            formats.kml = true;
        else if (format == QLatin1String("geojson"))
            formats.contour = true;
        else
            throw UsageError{QStringLiteral("--formats: expected a comma-separated list of tif, "
                                            "png, kml and geojson; got \"%1\"")
                                 .arg(name)};
    }
    return formats;
}

coverage::CoverageInputs inputsFromOptions(const CliOptions& options) {
    const PointToPointInputs radio = p2pInputsFromOptions(options);
    coverage::CoverageInputs in;
    const auto [latDeg, lonDeg] = endPoint(options, QStringLiteral("tx"));
    in.tx = {latDeg, lonDeg};
    in.txHeightM = radio.h1M;
    in.rxHeightM = radio.h2M;
    in.freqMHz = radio.frequencyMHz;
    in.polarization = radio.horizontal ? 0 : 1;
    in.epsRel = radio.eps;
    in.sgmSPerM = radio.sgmSPerM;
    in.surfRefN = radio.nsNUnits;
    in.climate = options.integer(QStringLiteral("climate"), 5, 1, 7);
    in.reliabilityPct = options.number(QStringLiteral("rel"), 50, 1, 99, QStringLiteral("%"));
    in.confidencePct = options.number(QStringLiteral("conf"), 50, 1, 99, QStringLiteral("%"));
    in.radiusKm = options.number(QStringLiteral("radius"), 0, 1, 2000, QStringLiteral("km"));
    in.resolutionSec =
        options.number(QStringLiteral("resolution"), 0, 0.1, 3600, QStringLiteral("arc-seconds"));
    const LinkOptions link = linkOptionsFromOptions(options);
    if (link.tx.erpDbm)
        in.erpDbw = *link.tx.erpDbm - 30.0;
    in.transmitter = link.tx;
    in.transmitter.erpDbm.reset();
    in.receiver = link.rx;
    return in;
}

// What the PNG and the KML show: --show (the run's default quantity without), --levels
// (the quantity's default levels without) and --colours.
coverage::MapStyle styleFromOptions(const CliOptions& options, const coverage::CoverageInputs& in) {
    coverage::MapQuantity quantity = coverage::defaultQuantity(in);
    if (options.has(QStringLiteral("show"))) {
        const QString key = options.valueOf(QStringLiteral("show")).trimmed().toLower();
        const std::optional<coverage::MapQuantity> shown =
            coverage::quantityOfKey(key.toStdString());
        if (!shown)
            throw UsageError{QStringLiteral("--show: expected loss, power, field or margin; got "
                                            "\"%1\"")
                                 .arg(options.valueOf(QStringLiteral("show")))};
        if (const std::string missing = coverage::quantityMissing(in, *shown); !missing.empty())
            throw UsageError{
                QStringLiteral("--show %1 needs %2").arg(key, QString::fromStdString(missing))};
        quantity = *shown;
    }
    std::vector<double> levels = coverage::defaultLevels(quantity);
    if (options.has(QStringLiteral("levels"))) {
        coverage::LevelsRead read =
            coverage::parseLevels(options.valueOf(QStringLiteral("levels")).toStdString());
        if (!read.levels)
            throw UsageError{QStringLiteral("--levels: ") + QString::fromStdString(read.message)};
        levels = std::move(*read.levels);
    }
    coverage::Palette palette = coverage::DefaultPalette;
    if (options.has(QStringLiteral("colours"))) {
        const std::optional<coverage::Palette> named = coverage::paletteNamed(
            options.valueOf(QStringLiteral("colours")).trimmed().toStdString());
        if (!named)
            throw UsageError{QStringLiteral("--colours: expected viridis, cividis, blues or greys; "
                                            "got \"%1\"")
                                 .arg(options.valueOf(QStringLiteral("colours")))};
        palette = *named;
    }
    return coverage::MapStyle(quantity, std::move(levels), palette);
}

void requireOptions(const CliOptions& options, const QStringList& names) {
    for (const QString& name : names)
        if (!options.has(name))
            throw UsageError{QStringLiteral("--%1 is required").arg(name)};
}

// "verdan-cli: coverage 42 %" rewritten in place on a terminal.
std::function<void(double)> terminalProgress(CliContext& context) {
    if (&context.err != &std::cerr || isatty(STDERR_FILENO) == 0)
        return {};
    return [&err = context.err, shown = -1](double fraction) mutable {
        const int percent = static_cast<int>(fraction * 100);
        if (percent != shown) {
            shown = percent;
            err << "\rverdan-cli: coverage " << percent << " %" << std::flush;
        }
    };
}

void printSummary(const CoverageRequest& request, const coverage::CoverageGrid& grid,
                  CliContext& context) {
    const std::vector<std::string> files = writtenFiles(request, !grid.marginDb.empty());
    const coverage::CoveredArea area = coverage::coveredArea(grid);
    const std::string threshold = request.thresholdText.toStdString();
    if (!request.summaryJson) {
        for (const std::string& file : files)
            context.out << file << '\n';
        if (!grid.marginDb.empty())
            context.out << "covered area: " << radio::formatFixed(area.coveredKm2, 2) << " km2 of "
                        << radio::formatFixed(area.discKm2, 2) << " km2 ("
                        << radio::formatFixed(area.coveredShare() * 100.0, 1)
                        << " %) at or above the threshold " << threshold << '\n';
        context.out.flush();
        return;
    }
    std::string json = "{\"files\":[";
    for (std::size_t i = 0; i < files.size(); ++i)
        json += (i ? "," : "") + jsonString(files[i]);
    json += "],\"columns\":" + std::to_string(grid.columns) +
            ",\"rows\":" + std::to_string(grid.rows) +
            ",\"disc_km2\":" + radio::formatFixed(area.discKm2, 3);
    if (!grid.marginDb.empty())
        json += ",\"threshold\":" + jsonString(threshold) +
                ",\"covered_km2\":" + radio::formatFixed(area.coveredKm2, 3) +
                ",\"covered_pct\":" + radio::formatFixed(area.coveredShare() * 100.0, 2);
    context.out << json << "}\n";
    context.out.flush();
}

} // namespace

std::vector<std::string> writtenFiles(const CoverageRequest& request, bool margin) {
    const coverage::OutputFormats& f = request.formats;
    const std::string prefix = fileNameBytes(request.outPrefix).toStdString();
    std::vector<std::string> files;
    if (f.geoTiff)
        files.push_back(prefix + ".tif");
    if (f.png || f.kml)
        files.push_back(prefix + ".png");
    if (f.kml) {
        files.push_back(prefix + "-legend.png");
        files.push_back(prefix + ".kml");
    }
    if (f.contour && margin)
        files.push_back(prefix + "-contour.geojson");
    return files;
}

// A JSON string of `bytes` (file names need not be UTF-8: other bytes are escaped as \u00XX).
std::string jsonString(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += {'\\', c};
        else if (byte < 0x20 || byte >= 0x80)
            out += std::string("\\u00") + digits[byte >> 4] + digits[byte & 15];
        else
            out += c;
    }
    return out + '"';
}

CoverageRequest coverageRequestFromOptions(const CliOptions& options) {
    requireOptions(options, {QStringLiteral("tx"), QStringLiteral("radius"),
                             QStringLiteral("resolution"), QStringLiteral("out")});
    CoverageRequest request;
    request.inputs = inputsFromOptions(options);
    request.formats = formatsFromOptions(options);
    request.outPrefix = options.valueOf(QStringLiteral("out"));
    if (request.outPrefix.isEmpty())
        throw UsageError{QStringLiteral("--out: expected a file name prefix")};
    if (const std::string refused =
            coverage::checkOutputPrefix(fileNameBytes(request.outPrefix).toStdString());
        !refused.empty())
        throw UsageError{QStringLiteral("--out: ") + fileNameFromBytes(refused)};
    request.threads = static_cast<unsigned>(options.integer(QStringLiteral("threads"), 0, 0, 1024));
    request.thresholdText = options.valueOf(QStringLiteral("threshold")).trimmed();
    request.summaryJson =
        options.choice(QStringLiteral("summary"), QStringLiteral("text"),
                       {QStringLiteral("text"), QStringLiteral("json")}) == QLatin1String("json");
    const std::string refused = coverage::checkInputs(request.inputs);
    if (!refused.empty())
        throw UsageError{QString::fromStdString(refused)};
    request.style = styleFromOptions(options, request.inputs);
    return request;
}

namespace {

// Prints the warnings of a finished run.
void printRunWarnings(const coverage::CoverageResult& result, const coverage::ColourScale& scale,
                      CliContext& context) {
    if (result.filledPoints > 0)
        printError(context, QStringLiteral("warning: %1 profile points had no terrain data and "
                                           "were taken as the fill elevation")
                                .arg(result.filledPoints));
    if (result.noResultCells > 0)
        printError(context, QStringLiteral("warning: %1 cells within the radius have no result "
                                           "(NaN in band 1, 255 in band 2 of the GeoTIFF)")
                                .arg(result.noResultCells));
    if (const std::string doubtful = coverage::warningSummary(result.grid, scale.warningLevel());
        !doubtful.empty())
        printError(context,
                   QStringLiteral("warning: %1 (band 2 of the GeoTIFF, hatched in the PNG)")
                       .arg(QString::fromStdString(doubtful)));
}

int cancelled(CliContext& context) {
    printError(context, QStringLiteral("cancelled; no file written"));
    return ExitFailure;
}

} // namespace

int runCoverageRequest(const CoverageRequest& request, const terrain::TerrainSource& terrain,
                       CliContext& context) {
    coverage::RunControl control;
    control.threads = request.threads;
    control.progress = terminalProgress(context);
    // A signal while the files are written cancels as during the computation: the files are
    // written as a set, so none of them (and no temporary) is left.
    const InterruptCancels interrupt(control.cancel);
    coverage::CoverageResult result = coverage::runCoverage(request.inputs, terrain, control);
    if (control.progress)
        context.err << '\n';
    if (result.cancelled)
        return cancelled(context);
    if (!result.ok) {
        printError(context, fileNameFromBytes(result.message));
        return result.terrainError ? ExitUsage : ExitFailure;
    }
    const coverage::ColourScale scale = request.style.colourScale();
    printRunWarnings(result, scale, context);
    if (!request.inputsDigest.isEmpty())
        result.grid.metadata.emplace_back(coverage::InputsDigestItem,
                                          request.inputsDigest.toStdString());
    const QString name = request.outPrefix.mid(request.outPrefix.lastIndexOf(u'/') + 1);
    const std::string title = readableFileName(name).toStdString() + " (Longley-Rice coverage)";
    const coverage::Status written =
        coverage::writeCoverageFiles(result.grid, fileNameBytes(request.outPrefix).toStdString(),
                                     request.formats, scale, title, &control.cancel);
    if (written.code == coverage::WriteCancelled)
        return cancelled(context);
    if (!written.ok) {
        printError(context, fileNameFromBytes(written.message));
        return ExitFailure;
    }
    printSummary(request, result.grid, context);
    return ExitOk;
}

int coverageCommand(const QStringList& args, CliContext& context) {
    QStringList rest = args;
    const bool printJobs = rest.removeAll(PrintJobs) > 0;
    try {
        const CliOptions options(rest, CoverageOptionNames);
        if (options.has(QStringLiteral("sites")) != printJobs)
            throw UsageError{QStringLiteral("--sites FILE.csv and --print-jobs go together")};
        if (printJobs) {
            // Every job checked before the first line is printed.
            for (const SiteJob& job : siteJobs(rest, options))
                context.out << fileNameBytes(jobLine(job)).toStdString() << '\n';
            context.out.flush();
            return ExitOk;
        }
        // A signal while the terrain opens cancels the run; one after the files are written
        // leaves the run complete.
        std::atomic<bool> cancel{false};
        const InterruptCancels interrupt(cancel);
        CoverageRequest request = coverageRequestFromOptions(options);
        request.inputsDigest = coverageInputsDigest(request.inputs, terrainIdentity(options));
        std::unique_ptr<terrain::TerrainSource> terrain = openCoverageTerrain(options, context);
        if (!terrain)
            return ExitUsage;
        if (cancel.load())
            return cancelled(context);
        return runCoverageRequest(request, *terrain, context);
    } catch (const UsageError& error) {
        printError(context, error.message);
        return ExitUsage;
    }
}

int coverageMergeCommand(const QStringList& args, CliContext& context) {
    QString outPath;
    std::vector<std::string> inputs;
    bool malformed = false;
    for (qsizetype i = 0; i < args.size() && !malformed; ++i) {
        if (args[i] == QLatin1String("--out") && i + 1 < args.size() && outPath.isEmpty())
            outPath = args[++i];
        else if (args[i].startsWith(QLatin1String("--out=")) && outPath.isEmpty())
            outPath = args[i].mid(6);
        else if (args[i].startsWith(u'-'))
            malformed = true;
        else
            inputs.push_back(fileNameBytes(args[i]).toStdString());
    }
    if (malformed || outPath.isEmpty() || inputs.empty()) {
        printError(context, QStringLiteral("coverage-merge: expected --out MERGED.tif and at "
                                           "least one INPUT.tif"));
        return ExitUsage;
    }
    const std::string out = fileNameBytes(outPath).toStdString();
    std::atomic<bool> cancel{false};
    const InterruptCancels interrupt(cancel);
    const coverage::Status merged = coverage::mergeBestServer(inputs, out, &cancel);
    if (merged.code == coverage::WriteCancelled)
        return cancelled(context);
    if (!merged.ok) {
        printError(context, fileNameFromBytes(merged.message));
        return ExitFailure;
    }
    context.out << out << '\n';
    context.out.flush();
    return ExitOk;
}

} // namespace verdan::cli
