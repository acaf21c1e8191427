#include "ProgramCoverage.h"

#include <verdan/terrain/DorvexSources.h>
#include <verdan/terrain/RasterSource.h>

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace verdan {

namespace {

// Opacity of the coloured cells of the files' picture.
constexpr std::uint8_t FileColourAlpha = 200;

// Added to a KML's name for the picture it overlays.
const QString OverlaySuffix = QStringLiteral("-overlay");

std::shared_ptr<const terrain::TerrainSource> openPathTerrain(TerrainLibrary& library,
                                                              const PathState& path,
                                                              QString& error) {
    if (path.TerrainSource == QLatin1String("Raster")) {
        terrain::Status status;
        std::shared_ptr<const terrain::TerrainSource> source = terrain::openRaster(
            path.RasterPath.toLocal8Bit().toStdString(), terrain::RasterOptions{}, status);
        if (!source)
            error = QString::fromStdString(status.message);
        return source;
    }
    std::shared_ptr<terrain::DorvexLibrary> dorvex = library.dorvex();
    if (!dorvex) {
        error = QStringLiteral("the terrain library is missing");
        return nullptr;
    }
    if (path.TerrainSource == QLatin1String("GLOBE"))
        return terrain::makeGlobeSource(dorvex, path.GlobePath.toLocal8Bit().toStdString(),
                                        terrain::GlobeTiles::KeepOpen);
    return terrain::makeQuarnSource(dorvex, path.QuarnDrive);
}

} // namespace

QString overlayPathOf(const QString& kmlPath) {
    const QFileInfo file(kmlPath);
    return file.dir().filePath(file.completeBaseName() + OverlaySuffix + QStringLiteral(".png"));
}

QString legendPathOf(const QString& kmlPath) {
    const QFileInfo file(kmlPath);
    return file.dir().filePath(file.completeBaseName() + QStringLiteral("-legend.png"));
}

bool writeMapFiles(MapFileFormat format, const MapResult& result, const QString& path,
                   QStringList& written, QString& error) {
    const QFileInfo file(path);
    const QString prefix = file.dir().filePath(file.completeBaseName());
    coverage::OutputFormats formats;
    formats.geoTiff = format == MapFileFormat::GeoTiff;
    formats.png = formats.kml = format == MapFileFormat::Kml;
    formats.pngSuffix = OverlaySuffix.toStdString();
    formats.contour = false;
    std::vector<coverage::NetworkSite> sites;
    for (const QString& name : result.siteNames)
        sites.push_back({name.toStdString(), {}, 0});
    const terrain::Status status =
        result.network
            ? coverage::writeNetworkFiles(*result.network, sites, prefix.toLocal8Bit().toStdString(),
                                          formats, "Verdan network map (best server)")
            : coverage::writeCoverageFiles(*result.grid, prefix.toLocal8Bit().toStdString(), formats,
                                           result.style.colourScale(FileColourAlpha),
                                           "Verdan coverage map");
    if (!status.ok) {
        error = QString::fromStdString(status.message);
        return false;
    }
    written = formats.geoTiff ? QStringList{prefix + QStringLiteral(".tif")}
                              : QStringList{prefix + QStringLiteral(".kml"), overlayPathOf(path)};
    if (format == MapFileFormat::Kml && !result.network)
        written << legendPathOf(path);
    return true;
}

CoverageServices programCoverageServices(TerrainLibrary& library) {
    CoverageServices services;
    services.engine = coverage::runCoverage;
    services.terrain = [&library](const PathState& path, QString& error) {
        return openPathTerrain(library, path, error);
    };
    services.write = writeMapFiles;
    return services;
}

} // namespace verdan
