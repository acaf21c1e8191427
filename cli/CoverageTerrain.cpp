#include "CoverageTerrain.h"

#include "FileNameBytes.h"
#include "ProfileCommand.h"

#include <verdan/terrain/DorvexSources.h>
#include <verdan/terrain/RasterSource.h>

#include "dorvex.h"

namespace verdan::cli {

namespace {

// The terrain library linked into the program, shared by its GLOBE and Quarn sources.
std::shared_ptr<terrain::DorvexLibrary> linkedDorvex() {
    auto library = std::make_shared<terrain::DorvexLibrary>();
    library->entry.tHandler = &THandler;
    library->entry.closeGlobe = &CloseGlobe;
    return library;
}

void rejectOption(const CliOptions& options, const QString& name, const QString& terrain) {
    if (options.has(name))
        throw UsageError{QStringLiteral("--%1 does not go with --terrain %2").arg(name, terrain)};
}

QString terrainKind(const CliOptions& options) {
    return options.choice(
        QStringLiteral("terrain"), QStringLiteral("globe"),
        {QStringLiteral("globe"), QStringLiteral("quarn"), QStringLiteral("raster")});
}

} // namespace

void checkCoverageTerrainOptions(const CliOptions& options) {
    const QString kind = terrainKind(options);
    if (kind == QLatin1String("raster")) {
        rejectOption(options, QStringLiteral("globe-path"), kind);
        if (!options.has(QStringLiteral("dem")))
            throw UsageError{QStringLiteral("--terrain raster needs --dem PATH (an elevation "
                                            "raster file or a folder of tiles)")};
        return;
    }
    rejectOption(options, QStringLiteral("dem"), kind);
    if (kind == QLatin1String("quarn"))
        rejectOption(options, QStringLiteral("globe-path"), kind);
}

std::unique_ptr<terrain::TerrainSource> openCoverageTerrain(const CliOptions& options,
                                                            CliContext& context) {
    checkCoverageTerrainOptions(options);
    const QString kind = terrainKind(options);
    if (kind == QLatin1String("raster")) {
        terrain::Status status;
        auto source = terrain::openRaster(
            fileNameBytes(options.valueOf(QStringLiteral("dem"))).toStdString(), {}, status);
        if (!source)
            printError(context, fileNameFromBytes(status.message));
        return source;
    }
    if (kind == QLatin1String("quarn"))
        return terrain::makeQuarnSource(linkedDorvex(), 1);
    return terrain::makeGlobeSource(linkedDorvex(),
                                    fileNameBytes(globeFolderOption(options)).toStdString(),
                                    terrain::GlobeTiles::KeepOpen);
}

} // namespace verdan::cli
