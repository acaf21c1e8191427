#pragma once

#include "ModelRecords.h"
#include "PathState.h"
#include "PointToPointInputs.h"
#include "Prompter.h"
#include "PropagationModel.h"
#include "ReportSink.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

namespace verdan {

/// Outcome of a run.
enum class PointToPointStatus {
    Done,           ///< the report was written
    NoTerrain,      ///< no profile loaded: "No Terrain Selected", nothing written
    NoElevations,   ///< the profile has no elevations: header and error lines written
    InvalidProfile, ///< the profile does not hold its own layout: header and error line written
    ModelMissing,   ///< the model library or a routine was missing (told, nothing written)
};

/// The numbers of a run: what the report prints, and the table for the command-line front end.
struct PointToPointResult {
    double distKm = 0;
    double spacingKm = 0; ///< distance between profile points
    long long points = 0; ///< profile points (intervals + 1)
    double freeSpaceDb = 0;
    std::array<double, 2> effectiveHeightM{}; ///< transmitter, receiver
    double deltaHM = 0;                       ///< terrain irregularity
    double refractivityNUnits = 0;            ///< Ns as the model adjusted it
    double curvatureK = 0;                    ///< effective over true earth radius
    QString pathType;                         ///< the path line ("Line-Of-Sight Path", ...)
    QString dominantMode; ///< the dominant-mode line, empty for a line-of-sight path
    std::vector<double> reliabilityPct;
    std::vector<double> confidencePct;
    /// loss(i, j) in dB, rows = reliability values, columns = confidence values.
    std::vector<std::vector<double>> lossDb;
    int kwx = 0; ///< the model's error indicator after the run
};

/// Computes a run's numbers into `table` without writing anything: prepares the model in
/// `records` for the profile `path.pfl` (qlrps with the profile's mean elevation, qlrpfl in
/// the mode of variability 12) and takes the loss for every reliability x confidence pair
/// (avar with the reliability as time deviate, location deviate 0, plus the free-space loss).
/// Stops with NoElevations when `profilePoints` is 0 and InvalidProfile when the profile
/// does not hold its layout (distance, spacing and points are filled then); ModelMissing
/// when the library or a routine is missing. Does not look at `path.ProfileReady`.
PointToPointStatus computePointToPointTable(const PointToPointInputs& in, const PathState& path,
                                            int profilePoints, PropagationModel& model,
                                            ModelRecords& records, PointToPointResult& table);

/// Writes the report of a computed run (`table` from computePointToPointTable, Done) to `sink`,
/// the profile picture of `in` included, ending with the text of two line breaks.
void writePointToPointReport(const PointToPointInputs& in, const PathState& path,
                             const PointToPointResult& table, ReportSink& sink);

/// The point-to-point run: checks that a profile is loaded, computes the table
/// (computePointToPointTable) and writes the report to `sink`; a profile without elevations
/// or with a broken layout writes the header and an error line. Messages and the busy pointer
/// go through `prompter`. `result`, when given, receives the numbers of a Done run. Saving
/// the log is the caller's step once the run is Done.
PointToPointStatus runPointToPointCalculation(const PointToPointInputs& in, const PathState& path,
                                              int profilePoints, PropagationModel& model,
                                              ModelRecords& records, Prompter& prompter,
                                              ReportSink& sink,
                                              PointToPointResult* result = nullptr);

/// The mean elevation (m) of the profile handed to the model's preparation: the average of
/// the points from about a tenth of the path from each end. `pfl` in the model's layout.
double meanSystemElevation(const std::vector<double>& pfl);

/// The coordinate text of the report's coordinate line (after "Coordinates: ").
QString FormatPathCoordinates(const PathState& path);

/// log10(x) for x > 0, -log10(-x) for x < 0, 0 for x = 0.
double SignedLog10(double x);

/// Rounds to the nearest integer, ties to the even integer (4.5 gives 4, 5.5 gives 6).
long long roundHalfEven(double x);

} // namespace verdan
