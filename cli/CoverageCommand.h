#pragma once

#include "AreaCommand.h"
#include "CliOptions.h"
#include "LinkOptions.h"

#include <verdan/coverage/Coverage.h>
#include <verdan/coverage/CoverageOutput.h>
#include <verdan/coverage/MapStyle.h>

#include <QStringList>

#include <memory>
#include <vector>

namespace verdan::cli {

/// A coverage run as the command line asks for it.
struct CoverageRequest {
    coverage::CoverageInputs inputs;
    coverage::OutputFormats formats;
    QString outPrefix;        ///< --out PREFIX
    unsigned threads = 0;     ///< --threads N, 0: every core
    QString thresholdText;    ///< --threshold as typed, empty without
    bool summaryJson = false; ///< --summary json
    /// What the PNG and the KML show.
    coverage::MapStyle style{coverage::MapQuantity::LossDb};
    QString inputsDigest;     ///< stored in the GeoTIFF (coverageInputsDigest()), empty: none
};

/// The option names of `verdan-cli coverage` (without "--").
const QStringList& coverageOptionNames();

/// Reads a coverage run from the options of `verdan-cli coverage`: --tx LAT,LON, --radius KM
/// (1..2000), --resolution SEC (0.1..3600), the radio options of p2p (their defaults; --h1
/// the transmitter's height, --h2 every receiver's), --rel and --conf (one value each,
/// 1..99, default 50), the link budget options (linkOptionsFromOptions(); --erp DBW is the
/// ERP in the main beam), --out PREFIX, --formats (a comma-separated subset of
/// tif,png,kml,geojson; default all; geojson is the covered area of a threshold), --threads N
/// (0..1024), --summary text|json, and what the PNG and KML show: --show loss|power|field|margin
/// (default: margin with a threshold, else power with a power or an ERP, else loss), --levels
/// a,b,c (1..8 C-locale numbers rising or falling strictly; default the quantity's) and
/// --colours viridis|cividis|blues|greys. Throws UsageError, also for inputs the engine refuses
/// (a map of more than 50 million cells) and a quantity the run does not compute.
CoverageRequest coverageRequestFromOptions(const CliOptions& options);

/// Runs `request` over `terrain`, prints progress on standard error when it is a terminal,
/// writes the files and prints their names, then with a threshold the covered area in one
/// line; with --summary json one JSON object instead (files, cells, covered area). Ctrl-C cancels
/// the run without writing a file. Returns the exit status: 2 for terrain data that fail or do not
/// cover the radius, 1 for a cancelled run or a file that cannot be written.
int runCoverageRequest(const CoverageRequest& request, const terrain::TerrainSource& terrain,
                       CliContext& context);

/// `verdan-cli coverage [options]`: a coverage map around one transmitter, or with
/// --sites FILE.csv --print-jobs one command line per site. Returns the exit status.
int coverageCommand(const QStringList& args, CliContext& context);

/// `verdan-cli coverage-merge --out MERGED.tif INPUT.tif...`: the best-server mosaic of
/// per-site maps. Returns the exit status.
int coverageMergeCommand(const QStringList& args, CliContext& context);

/// One site's job of `--sites FILE.csv --print-jobs`.
struct SiteJob {
    QString site;
    QStringList words; ///< "verdan-cli", "coverage" and the options, unquoted
};

/// The jobs of `--sites FILE.csv --print-jobs`: one `verdan-cli coverage` command per site of
/// the sites file (read by coverage::readSitesFile()), with the site's --tx, --out
/// PREFIX-<name>, the options its cells give (height_m as --h1, power as --tx-power, tx_loss,
/// gain, antenna made absolute, azimuth, tilt, freq_mhz as --freq) in place of those of the
/// command line they replace (a power also replaces --erp; a gain --tx-antenna with its aim;
/// an antenna --tx-gain), and every other option of `args` (paths made absolute). Throws
/// UsageError for an unreadable or malformed file (naming its row and column), a value of
/// `args` holding a line break or NUL (it would split the job's line in two commands), and
/// for a job that a single run would refuse, naming the site.
std::vector<SiteJob> siteJobs(const QStringList& args, const CliOptions& options);

/// The job's shell command line: the words shell-quoted, joined by blanks; one line.
QString jobLine(const SiteJob& job);

/// The files a run of `request` writes (with `margin`: a margin band, for the contour).
std::vector<std::string> writtenFiles(const CoverageRequest& request, bool margin);

/// A JSON string of `bytes` (file names need not be UTF-8: other bytes are escaped as \u00XX).
std::string jsonString(const std::string& bytes);

/// `text` quoted for a POSIX shell when it needs quoting.
QString shellQuoted(const QString& text);

} // namespace verdan::cli
