#pragma once

#include "AreaCalculation.h"
#include "CliOptions.h"
#include "Prompter.h"

#include <QStringList>
#include <ostream>

namespace verdan::cli {

/// Where a command writes and whom it asks. `modelFolder` is the folder searched first for
/// the model library (empty: the executable's folder).
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    Prompter& prompter;
    QString modelFolder;
};

/// Prints "verdan-cli: " and `message` as one line on the context's error stream.
void printError(CliContext& context, const QString& message);

/// Output formats of the area commands.
enum class OutputFormat { Text, Csv, Json };

/// The ground and air of an area or inverse run's options, in the ranges the area form's
/// ground and refractivity choices cover: --eps 1..100, --sgm 0.00001..100 S/m, --ns 250..400 N-units,
/// each `fallback` when absent. Throws UsageError naming the option and its range.
struct GroundAndAir {
    double eps;
    double sgmSPerM;
    double nsNUnits;
};
GroundAndAir groundAndAirFromOptions(const CliOptions& options, const GroundAndAir& fallback);

/// The inputs of an area or inverse run from the command's options: defaults are the texts
/// the area form shows on its first opening; ranges are those the form checks (frequency
/// 20..20000 MHz, heights 0.5..3000 m, percent of time and locations 0.1..99.9, first
/// confidence level 0.1..99.9, the others 0..99.9, ground and air as
/// groundAndAirFromOptions(), --dh 0..3000 m), list options map to the list items
/// (--climate 1..7, --variability 0..3, --site1/--site2 0..2, --pol H|V). Throws UsageError.
AreaInputs areaInputsFromOptions(const CliOptions& options);

/// `verdan-cli area [options]`: the normal run. Prints the report as the report log receives
/// it, or the table as CSV or JSON (--format). With --archive FILE [--comment TEXT] it then
/// stores every confidence level of the run in the results archive FILE and prints the new
/// "ModelRun ID <n>" on stderr; a failed store leaves FILE as it was and exits with 1.
/// Returns the exit status.
int areaCommand(const QStringList& args, CliContext& context);

/// `verdan-cli inverse [options] --loss DB`: the inverse run. Prints its report, or the
/// distances as CSV or JSON. Returns the exit status.
int inverseCommand(const QStringList& args, CliContext& context);

} // namespace verdan::cli
