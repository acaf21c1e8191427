#include "NetworkCommand.h"

#include "CoverageCommand.h"
#include "CoverageTerrain.h"
#include "FileNameBytes.h"
#include "InputsDigest.h"
#include "Interrupt.h"

#include <verdan/coverage/Network.h>
#include <verdan/radio/Units.h>

#include <sys/stat.h>

#include <sstream>

namespace verdan::cli {

namespace {

const QString PrintJobs = QStringLiteral("--print-jobs");
const QString MergeOnly = QStringLiteral("--merge-only");
const QStringList NetworkOnlyOptions{QStringLiteral("bandwidth"), QStringLiteral("noise-figure"),
                                     QStringLiteral("sinr-threshold")};

// The sites' runs as the command line asks for them.
struct NetworkRun {
    std::vector<SiteJob> jobs;
    std::vector<CoverageRequest> requests; ///< one per job, with its inputs' digest
    std::vector<CliOptions> siteOptions;   ///< one per job
    coverage::ChannelSettings channel;
    QString outPrefix;
};

// --bandwidth: a number followed by Hz, kHz or MHz.
double bandwidthHz(const CliOptions& options) {
    const QString text = options.valueOf(QStringLiteral("bandwidth")).trimmed();
    if (text.isEmpty())
        return 1e6;
    const struct {
        const char* unit;
        double hz;
    } units[] = {{"khz", 1e3}, {"mhz", 1e6}, {"hz", 1.0}};
    for (const auto& [unit, hz] : units) {
        if (!text.toLower().endsWith(QLatin1String(unit)))
            continue;
        const std::optional<double> value = parseNumber(text.chopped(qstrlen(unit)).trimmed());
        if (value && *value * hz >= 1 && *value * hz <= 1e9)
            return *value * hz;
        break;
    }
    throw UsageError{QStringLiteral("--bandwidth: expected 1Hz to 1000MHz with its unit (Hz, "
                                    "kHz or MHz), as 200kHz; got \"%1\"")
                         .arg(text)};
}

coverage::ChannelSettings channelFromOptions(const CliOptions& options) {
    coverage::ChannelSettings channel;
    channel.bandwidthHz = bandwidthHz(options);
    channel.noiseFigureDb =
        options.number(QStringLiteral("noise-figure"), 5, 0, 30, QStringLiteral("dB"));
    channel.sinrThresholdDb =
        options.number(QStringLiteral("sinr-threshold"), 0, -50, 60, QStringLiteral("dB"));
    return channel;
}

// `args` without the options of the network alone (the sites' jobs do not take them).
QStringList withoutNetworkOptions(const QStringList& args) {
    QStringList kept;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString name = args[i].mid(2).section(u'=', 0, 0);
        if (!args[i].startsWith(QLatin1String("--")) || !NetworkOnlyOptions.contains(name))
            kept << args[i];
        else if (!args[i].contains(u'='))
            ++i;
    }
    return kept;
}

// The site's request as a single run reads its job, checked for what the merge needs.
CoverageRequest siteRequest(const SiteJob& job, const CliOptions& options, const QString& terrain) {
    CoverageRequest request = coverageRequestFromOptions(options);
    request.inputsDigest = coverageInputsDigest(request.inputs, terrain);
    const auto refuse = [&job](const char* why) {
        throw UsageError{QStringLiteral("--sites: site \"%1\": ").arg(job.site) +
                         QLatin1String(why)};
    };
    if (!request.inputs.hasLinkBudget())
        refuse("needs a transmitter power or an ERP (its power column, --tx-power or --erp)");
    if (!request.inputs.receiver.threshold)
        throw UsageError{QStringLiteral("network needs --threshold (the receiver's sensitivity, "
                                        "as -100dBm): the overlap and the covered areas count "
                                        "the cells at or above it")};
    if (!request.formats.geoTiff)
        throw UsageError{QStringLiteral("--formats: the network needs tif (the merge reads each "
                                        "site's GeoTIFF)")};
    return request;
}

NetworkRun prepare(const QStringList& args, const CliOptions& options) {
    NetworkRun run;
    if (!options.has(QStringLiteral("sites")))
        throw UsageError{QStringLiteral("--sites FILE.csv is required")};
    run.channel = channelFromOptions(options);
    const QStringList jobArgs = withoutNetworkOptions(args);
    run.jobs = siteJobs(jobArgs, CliOptions(jobArgs, coverageOptionNames()));
    run.outPrefix = options.valueOf(QStringLiteral("out"));
    QString terrain;
    for (const SiteJob& job : run.jobs) {
        const CliOptions& site =
            run.siteOptions.emplace_back(job.words.mid(2), coverageOptionNames());
        if (terrain.isEmpty())
            terrain = terrainIdentity(site); // the terrain options are the same for every site
        run.requests.push_back(siteRequest(job, site, terrain));
    }
    return run;
}

bool regularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string mapPath(const CoverageRequest& request) {
    return fileNameBytes(request.outPrefix).toStdString() + ".tif";
}

// Whether the site's files are all there and its GeoTIFF was made from the same inputs.
bool upToDate(const CoverageRequest& request) {
    for (const std::string& file : writtenFiles(request, true))
        if (!regularFile(file))
            return false;
    return coverage::mapInputsDigest(mapPath(request)) == request.inputsDigest.toStdString();
}

QString siteLabel(const NetworkRun& run, std::size_t i) {
    return QStringLiteral("network: site %1 of %2 (%3)")
        .arg(i + 1)
        .arg(run.jobs.size())
        .arg(run.jobs[i].site);
}

// A cancelled network run: the maps of the sites finished before it stay, for the next run.
int sitesCancelled(CliContext& context) {
    printError(context, QStringLiteral("network: cancelled; the maps of the sites done are kept"));
    return ExitFailure;
}

// Runs every site whose map is not up to date; the exit status.
int runSites(const NetworkRun& run, const std::atomic<bool>& cancel, CliContext& context) {
    std::unique_ptr<terrain::TerrainSource> terrain;
    std::ostringstream siteOut; // each site's file list: the network prints its own
    CliContext siteContext{siteOut, context.err, context.prompter, context.modelFolder};
    for (std::size_t i = 0; i < run.jobs.size(); ++i) {
        if (cancel.load())
            return sitesCancelled(context);
        if (upToDate(run.requests[i])) {
            printError(context, siteLabel(run, i) + QStringLiteral(": unchanged, kept"));
            continue;
        }
        printError(context, siteLabel(run, i) + QStringLiteral(": running"));
        if (!terrain && !(terrain = openCoverageTerrain(run.siteOptions[i], context)))
            return ExitUsage;
        if (const int status = runCoverageRequest(run.requests[i], *terrain, siteContext);
            status != ExitOk)
            return cancel.load() ? sitesCancelled(context) : status;
    }
    return ExitOk;
}

std::string areaText(const coverage::CoveredArea& area) {
    return "covered " + radio::formatFixed(area.coveredKm2, 2) + " km2 of " +
           radio::formatFixed(area.discKm2, 2) + " km2 (" +
           radio::formatFixed(area.coveredShare() * 100.0, 1) + " %)";
}

std::string areaJson(const coverage::CoveredArea& area) {
    return "\"covered_km2\":" + radio::formatFixed(area.coveredKm2, 3) +
           ",\"disc_km2\":" + radio::formatFixed(area.discKm2, 3) +
           ",\"covered_pct\":" + radio::formatFixed(area.coveredShare() * 100.0, 2);
}

void printTextSummary(const NetworkRun& run, const coverage::NetworkGrid& merged,
                      const coverage::NetworkArea& area, CliContext& context) {
    for (std::size_t i = 0; i < run.jobs.size(); ++i)
        context.out << "site " << i + 1 << ' ' << run.jobs[i].site.toStdString() << ": "
                    << areaText(merged.siteAreas[i]) << '\n';
    context.out << "network: " << areaText(area.network) << " at or above the threshold "
                << run.requests[0].thresholdText.toStdString() << "; served by more than one site "
                << radio::formatFixed(area.multiServedKm2, 2) << " km2; SINR at or above "
                << radio::formatFixed(run.channel.sinrThresholdDb, 1) << " dB "
                << radio::formatFixed(area.sinrAboveKm2, 2) << " km2\n";
}

void printJsonSummary(const NetworkRun& run, const std::vector<std::string>& files,
                      const coverage::NetworkGrid& merged, const coverage::NetworkArea& area,
                      CliContext& context) {
    std::string json = "{\"files\":[";
    for (std::size_t i = 0; i < files.size(); ++i)
        json += (i ? "," : "") + jsonString(files[i]);
    json += "],\"threshold\":" + jsonString(run.requests[0].thresholdText.toStdString()) +
            ",\"sites\":[";
    for (std::size_t i = 0; i < run.jobs.size(); ++i)
        json += std::string(i ? "," : "") +
                "{\"name\":" + jsonString(run.jobs[i].site.toStdString()) + ',' +
                areaJson(merged.siteAreas[i]) + '}';
    json += "],\"network\":{" + areaJson(area.network) +
            ",\"multi_served_km2\":" + radio::formatFixed(area.multiServedKm2, 3) +
            ",\"sinr_threshold_db\":" + radio::formatFixed(run.channel.sinrThresholdDb, 2) +
            ",\"sinr_above_km2\":" + radio::formatFixed(area.sinrAboveKm2, 3) + "}}\n";
    context.out << json;
}

// Merges the sites' maps into PREFIX and prints the summary; the exit status.
int mergeSites(const NetworkRun& run, const std::atomic<bool>& cancel, CliContext& context) {
    std::vector<coverage::NetworkSite> sites;
    for (std::size_t i = 0; i < run.jobs.size(); ++i) {
        const CoverageRequest& request = run.requests[i];
        if (coverage::mapInputsDigest(mapPath(request)) != request.inputsDigest.toStdString()) {
            printError(context, QStringLiteral("network: site \"%1\": %2 is missing or was made "
                                               "from other inputs; run its job again")
                                    .arg(run.jobs[i].site, fileNameFromBytes(mapPath(request))));
            return ExitFailure;
        }
        sites.push_back({run.jobs[i].site.toStdString(), mapPath(request), request.inputs.freqMHz});
    }
    coverage::NetworkGrid merged;
    coverage::Status status = coverage::mergeNetwork(sites, run.channel, merged, &cancel);
    CoverageRequest output = run.requests[0];
    output.outPrefix = run.outPrefix;
    output.formats.contour = false;
    const QString name = run.outPrefix.mid(run.outPrefix.lastIndexOf(u'/') + 1);
    if (status.ok)
        status = coverage::writeNetworkFiles(
            merged, sites, fileNameBytes(run.outPrefix).toStdString(), output.formats,
            readableFileName(name).toStdString() + " (Longley-Rice network, best server)", &cancel);
    if (!status.ok) {
        printError(context, status.code == coverage::WriteCancelled
                                ? QStringLiteral("cancelled; the merged map is not written")
                                : fileNameFromBytes(status.message));
        return ExitFailure;
    }
    const coverage::NetworkArea area = coverage::networkArea(merged, run.channel);
    std::vector<std::string> files;
    const std::string prefix = fileNameBytes(run.outPrefix).toStdString();
    for (const auto& [asked, suffix] : {std::pair{output.formats.geoTiff, ".tif"},
                                        std::pair{output.formats.png || output.formats.kml, ".png"},
                                        std::pair{output.formats.kml, ".kml"}})
        if (asked)
            files.push_back(prefix + suffix);
    if (run.requests[0].summaryJson) {
        printJsonSummary(run, files, merged, area, context);
        return ExitOk;
    }
    for (const std::string& file : files)
        context.out << file << '\n';
    printTextSummary(run, merged, area, context);
    return ExitOk;
}

} // namespace

int networkCommand(const QStringList& args, CliContext& context) {
    QStringList rest = args;
    const bool printJobs = rest.removeAll(PrintJobs) > 0;
    const bool mergeOnly = rest.removeAll(MergeOnly) > 0;
    std::atomic<bool> cancel{false};
    const InterruptCancels interrupt(cancel);
    try {
        if (printJobs && mergeOnly)
            throw UsageError{QStringLiteral("--print-jobs and --merge-only exclude each other")};
        const CliOptions options(rest, coverageOptionNames() + NetworkOnlyOptions);
        const NetworkRun run = prepare(rest, options);
        if (printJobs) {
            for (const SiteJob& job : run.jobs)
                context.out << fileNameBytes(jobLine(job)).toStdString() << '\n';
            context.out.flush();
            return ExitOk;
        }
        if (!mergeOnly)
            if (const int status = runSites(run, cancel, context); status != ExitOk)
                return status;
        const int status = mergeSites(run, cancel, context);
        context.out.flush();
        return status;
    } catch (const UsageError& error) {
        printError(context, error.message);
        return ExitUsage;
    }
}

} // namespace verdan::cli
