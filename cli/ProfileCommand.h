#pragma once

#include "AreaCommand.h"
#include "CliOptions.h"
#include "PathState.h"
#include "ProfileExtraction.h"

#include <QStringList>

namespace verdan::cli {

/// The terrain options of the profile and p2p commands.
struct TerrainRequest {
    PathEnds ends;     ///< from --tx LAT,LON and --rx LAT,LON, decimal degrees
    QString source = QStringLiteral("globe"); ///< --terrain globe (default), quarn or raster
    QString globePath; ///< --globe-path DIR, ending with "/"
    QString demPath;   ///< --dem PATH: the raster file or folder of the raster source
};

/// The value of the option `name` as LAT,LON in decimal degrees (latitude -90..90, longitude
/// -180..180). Throws UsageError naming the option when it is malformed.
std::pair<double, double> endPoint(const CliOptions& options, const QString& name);

/// The GLOBE folder of --globe-path DIR, ending with "/"; without the option the program's
/// GLOBE folder: the one the point-to-point form stored, else "C:\Projects\Globe\" of the
/// drive map. Throws UsageError for an empty folder.
QString globeFolderOption(const CliOptions& options);

/// Reads --tx, --rx (both required), --terrain, --globe-path and --dem from `options`. Without
/// --globe-path the folder is the program's GLOBE folder: the one the point-to-point form stored,
/// else "C:\Projects\Globe\" of the drive map. Throws UsageError for a missing or malformed end
/// point (latitude -90..90, longitude -180..180), a bad --terrain, end points closer than a
/// metre, --terrain raster without --dem, or --dem with another source.
TerrainRequest terrainRequestFromOptions(const CliOptions& options);

/// Extracts the profile of `request` as the path coordinates form does (800 GLOBE points,
/// Quarn points every 450 m from the database the terrain library finds on drive C, or one
/// point per raster cell). On failure prints one line with the program's message to
/// `context.err` and returns false (the commands then exit with 1 when the library is
/// missing, else with 2); a warning about points without data is printed and the profile
/// kept.
bool extractForCli(const TerrainRequest& request, CliContext& context, ExtractionResult& result);

/// Puts the terrain source (with the raster's name and filled points of `extracted`) and the
/// end points (as decimal-degree texts with hemisphere letters) into `path`, as the
/// decimal-degree view of the form hands them over.
void describePath(const TerrainRequest& request, const ExtractionResult& extracted,
                  PathState& path);

/// `verdan-cli profile --tx LAT,LON --rx LAT,LON [--terrain globe|quarn|raster]
/// [--globe-path DIR] [--dem PATH]`:
/// prints the extracted profile in the model's layout (the profile file format). Returns the
/// exit status.
int profileCommand(const QStringList& args, CliContext& context);

} // namespace verdan::cli
