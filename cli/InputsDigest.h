// The digest of everything a coverage map is made of, which the map's GeoTIFF carries so that
// a network run can tell a site's map that is still current from one to be made again.
#pragma once

#include "CliOptions.h"

#include <verdan/coverage/Coverage.h>

#include <QString>

namespace verdan::cli {

/// The terrain's identity from the terrain options of `options`: the kind, the data path made
/// absolute, and the name, size and modification time of every file under it (GLOBE and
/// raster data; Quarn by its kind alone).
QString terrainIdentity(const CliOptions& options);

/// The SHA-256 (hex) of the program's version, every model and link budget input of `in`
/// (the antenna pattern's gains, not its file's name) and `terrain` (terrainIdentity()).
QString coverageInputsDigest(const coverage::CoverageInputs& in, const QString& terrain);

} // namespace verdan::cli
