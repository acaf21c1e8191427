#pragma once

#include "AreaCommand.h"
#include "CliOptions.h"

#include <verdan/terrain/TerrainSource.h>

#include <memory>

namespace verdan::cli {

/// The terrain source of `--terrain globe|quarn|raster`: the GLOBE database in --globe-path
/// DIR (default: the program's GLOBE folder), the Quarn database the terrain library finds,
/// or the elevation raster --dem PATH (a file, or a folder of tiles). Throws UsageError for a
/// bad --terrain or an option that does not go with it; prints one line and returns nullptr
/// when the data cannot be opened (exit status 2, as other terrain errors).
/// Checks the terrain options as openCoverageTerrain() does, without opening the data.
/// Throws UsageError.
void checkCoverageTerrainOptions(const CliOptions& options);

std::unique_ptr<terrain::TerrainSource> openCoverageTerrain(const CliOptions& options,
                                                            CliContext& context);

} // namespace verdan::cli
