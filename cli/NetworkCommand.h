#pragma once

#include "AreaCommand.h"

#include <QStringList>

namespace verdan::cli {

/// `verdan-cli network --sites FILE.csv [coverage options] --out PREFIX`: every site's
/// coverage map (PREFIX-<name>, the jobs of siteJobs()), one after another on all cores, then
/// the merged map PREFIX (coverage::mergeNetwork()) and its summary. A site whose GeoTIFF
/// exists with the digest of the site's inputs (coverageInputsDigest()), beside every other
/// file its formats ask for, is not run again. --print-jobs prints the sites' jobs instead;
/// --merge-only merges maps made by them (refusing a missing or outdated one, naming the site).
/// Further options: --bandwidth (with Hz, kHz or MHz; default 1MHz), --noise-figure DB (0..30,
/// default 5), --sinr-threshold DB (-50..60, default 0). Every site needs a transmitter power
/// or an ERP (its power column or the command line's) and the run a --threshold. Progress per
/// site on standard error. Returns the exit status.
int networkCommand(const QStringList& args, CliContext& context);

} // namespace verdan::cli
