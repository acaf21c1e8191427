#pragma once

#include "FrmCoverageModel.h"
#include "TerrainLibrary.h"

#include <verdan/coverage/CoverageOutput.h>

namespace verdan {

/// The coverage window's services in the program: the coverage engine on every core, the
/// terrain source the path coordinates chose (GLOBE and Quarn over `library`, which must
/// outlive the services, or the elevation raster through GDAL) and the engine's writers.
CoverageServices programCoverageServices(TerrainLibrary& library);

/// The picture a KML saved as `kmlPath` overlays: "map.kml" overlays "map-overlay.png".
QString overlayPathOf(const QString& kmlPath);

/// The legend picture of a KML saved as `kmlPath`: "map.kml" shows "map-legend.png".
QString legendPathOf(const QString& kmlPath);

/// Writes a result as GeoTIFF (`path`) or KML (`path` and overlayPathOf() it, with a site's map
/// also legendPathOf() it, as one set): a site's map coloured by its style, a network's merged
/// map with every band and its best server drawn; `written` lists the files, or `error` says
/// what failed.
bool writeMapFiles(MapFileFormat format, const MapResult& result, const QString& path,
                   QStringList& written, QString& error);

} // namespace verdan
