#pragma once

#include "FrmCoverageModel.h"
#include "TerrainLibrary.h"

#include <verdan/coverage/CoverageOutput.h>

namespace verdan {

/// The coverage window's services in the program: the coverage engine on every core, the
/// terrain source the path coordinates chose (GLOBE and Quarn over `library`, which must
/// outlive the services, or the elevation raster through GDAL) and the engine's writers.
CoverageServices programCoverageServices(TerrainLibrary& library);

/// The engine's colour scale for a map coloured by `colours`. The engine colours by loss; a
/// field strength level becomes the loss at which a cell of `grid` reaches it (field and loss
/// add up to the same figure in every cell of a run with an ERP).
coverage::ColourScale engineColourScale(const MapColours& colours,
                                        const coverage::CoverageGrid& grid);

/// Writes the map of a Done `run` as GeoTIFF (`path`) or KML (`path` and the PNG beside it
/// that it overlays); `written` lists the files, or `error` says what failed.
bool writeMapFiles(MapFileFormat format, const CoverageRun& run, const MapColours& colours,
                   const QString& path, QStringList& written, QString& error);

} // namespace verdan
