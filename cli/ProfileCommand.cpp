#include "ProfileCommand.h"

#include "DriveMap.h"
#include "NumberFormat.h"
#include "ProfileFile.h"
#include "SettingsStore.h"

#include <cmath>

namespace verdan::cli {

namespace {

const QStringList ProfileOptions{QStringLiteral("tx"), QStringLiteral("rx"),
                                 QStringLiteral("terrain"), QStringLiteral("globe-path"),
                                 QStringLiteral("dem")};

} // namespace

std::pair<double, double> endPoint(const CliOptions& options, const QString& name) {
    const UsageError bad{QStringLiteral("--%1: expected LAT,LON in decimal degrees, north and "
                                        "east positive (latitude -90..90, longitude -180..180)")
                             .arg(name)};
    const QStringList parts = options.valueOf(name).split(u',');
    if (parts.size() != 2)
        throw bad;
    const std::optional<double> lat = parseNumber(parts[0]);
    const std::optional<double> lon = parseNumber(parts[1]);
    if (!lat.has_value() || !lon.has_value())
        throw bad;
    const double latDeg = *lat;
    const double lonDeg = *lon;
    if (std::fabs(latDeg) > 90 || std::fabs(lonDeg) > 180)
        throw bad;
    return {latDeg, lonDeg};
}

namespace {

QString storedGlobePath() {
    IniSettingsStore store;
    const QString stored =
        store.get(QStringLiteral("Verdan"), QStringLiteral("Verdan"), QStringLiteral("GlobePath"));
    return stored.isEmpty() ? PathState::defaultGlobePath() : stored;
}

} // namespace

QString globeFolderOption(const CliOptions& options) {
    QString folder = options.has(QStringLiteral("globe-path"))
                         ? options.valueOf(QStringLiteral("globe-path"))
                         : storedGlobePath();
    if (folder.isEmpty())
        throw UsageError{QStringLiteral("--globe-path: expected a folder")};
    if (!folder.endsWith(u'/') && !folder.endsWith(u'\\'))
        folder += u'/';
    return folder;
}

TerrainRequest terrainRequestFromOptions(const CliOptions& options) {
    TerrainRequest request;
    if (!options.has(QStringLiteral("tx")) || !options.has(QStringLiteral("rx")))
        throw UsageError{QStringLiteral("--tx LAT,LON and --rx LAT,LON are both required")};
    const auto [txLat, txLon] = endPoint(options, QStringLiteral("tx"));
    const auto [rxLat, rxLon] = endPoint(options, QStringLiteral("rx"));
    request.ends = PathEnds{txLat, txLon, rxLat, rxLon};
    if (identicalEnds(request.ends))
        throw UsageError{
            QStringLiteral("--tx/--rx: Warning: Identical coordinate values entered.")};
    request.source = options.choice(QStringLiteral("terrain"), QStringLiteral("globe"),
                                    {QStringLiteral("globe"), QStringLiteral("quarn"),
                                     QStringLiteral("raster")});
    const bool raster = request.source == QLatin1String("raster");
    if (raster != options.has(QStringLiteral("dem")))
        throw UsageError{QStringLiteral("--dem PATH (a raster file or folder of tiles) goes with "
                                        "--terrain raster, which needs it")};
    if (raster)
        request.demPath = options.valueOf(QStringLiteral("dem"));
    request.globePath = globeFolderOption(options);
    return request;
}

bool extractForCli(const TerrainRequest& request, CliContext& context, ExtractionResult& result) {
    const bool globe = request.source == QLatin1String("globe");
    if (request.source == QLatin1String("raster")) {
        result = extractRasterProfile(request.demPath, request.ends, nullptr);
        if (!result.succeeded()) {
            printError(context, QStringLiteral("--dem: ") + result.message);
            return false;
        }
    } else {
        TerrainLibrary library(context.prompter, context.modelFolder);
        result = globe ? extractGlobeProfile(library, request.ends, request.globePath)
                       : extractQuarnProfile(library, request.ends, 1);
    }
    if (result.libraryMissing)
        return false;
    if (!result.succeeded()) {
        if (!globe) {
            const QString text = QuarnErrorText(result.errorNumber);
            printError(context,
                       text.isEmpty()
                           ? QStringLiteral("Terrain database error %1").arg(result.errorNumber)
                           : text);
        } else if (result.errorNumber <= -1001) {
            printError(context, globeErrorText(result.errorNumber, request.globePath));
        } else {
            printError(context, globeErrorText(result.errorNumber, request.globePath) +
                                    QStringLiteral(" in ") + hostPath(request.globePath));
        }
        return false;
    }
    if (result.pfl.empty()) {
        printError(context, QStringLiteral("Warning: No elevation points"));
        return false;
    }
    if (result.filledPoints > 0)
        printError(context, filledPointsText(result.filledPoints, result.pointsReturned));
    return true;
}

void describePath(const TerrainRequest& request, const ExtractionResult& extracted,
                  PathState& path) {
    const auto degrees = [](double value) { return numfmt::generalNumber(std::fabs(value)); };
    path.TerrainSource = request.source == QLatin1String("globe")   ? QStringLiteral("GLOBE")
                         : request.source == QLatin1String("quarn") ? QStringLiteral("Quarn")
                                                                    : QStringLiteral("Raster");
    path.RasterName = extracted.sourceName;
    path.FilledPoints = extracted.filledPoints;
    path.CoordsInDD = true;
    path.TxLatDD = degrees(request.ends.txLatDeg);
    path.TxLonDD = degrees(request.ends.txLonDeg);
    path.RxLatDD = degrees(request.ends.rxLatDeg);
    path.RxLonDD = degrees(request.ends.rxLonDeg);
    path.coords[PathState::TxLatH_NS] =
        request.ends.txLatDeg < 0 ? QStringLiteral("S") : QStringLiteral("N");
    path.coords[PathState::TxLonH_EW] =
        request.ends.txLonDeg < 0 ? QStringLiteral("W") : QStringLiteral("E");
    path.coords[PathState::RxLatH_NS] =
        request.ends.rxLatDeg < 0 ? QStringLiteral("S") : QStringLiteral("N");
    path.coords[PathState::RxLonH_EW] =
        request.ends.rxLonDeg < 0 ? QStringLiteral("W") : QStringLiteral("E");
}

int profileCommand(const QStringList& args, CliContext& context) {
    TerrainRequest request;
    try {
        const CliOptions options(args, ProfileOptions);
        request = terrainRequestFromOptions(options);
    } catch (const UsageError& error) {
        printError(context, error.message);
        return ExitUsage;
    }
    ExtractionResult result;
    if (!extractForCli(request, context, result))
        return result.libraryMissing ? ExitFailure : ExitUsage;
    context.out << profileText(result.pfl).toStdString();
    context.out.flush();
    return ExitOk;
}

} // namespace verdan::cli
