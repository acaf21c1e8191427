#pragma once

#include "AreaResults.h"
#include "ModelChoices.h"
#include "ModelRecords.h"
#include "PropagationModel.h"
#include "ReportSink.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace verdan {

/// Everything an area-mode run reads from the area form, taken when the run starts. The
/// numbers are those the form's texts read by the leading-number rule; the list texts are
/// the selected items' texts (the report prints the climate text).
struct AreaInputs {
    double frequencyMHz = 100;
    double h1M = 3;
    double h2M = 3;
    double deltaHM = 90;
    double nsNUnits = 301;
    double eps = 15;
    double sgmSPerM = 0.005;
    double timePct = 50;     ///< QT
    double locationPct = 50; ///< QL
    std::array<double, 4> confLevelsPct{50, 90, 10, 0};
    double d0Km = 10;
    double d1Km = 150;
    double ds1Km = 10;
    double d2Km = 500;
    double ds2Km = 50;
    double lossLevelDb = 125.5; ///< L of the inverse run
    bool horizontal = false;    ///< "Horizontal" selected (else "Vertical")
    QString climateText = QStringLiteral("Continental Temperate");
    QString variabilityText = QStringLiteral("Broadcast");
    QString site1Text = QStringLiteral("Random");
    QString site2Text = QStringLiteral("Random");
};

/// The distance grid of a normal run.
struct DistanceGrid {
    double d0Km = 0;
    double d1Km = 0; ///< adjusted to the grid
    double d2Km = 0; ///< adjusted to the grid
    double step1Km = 0;
    double step2Km = 0;
    long long count1 = 1;
    long long count2 = 0;
    long long points() const { return count1 + count2; }
};

/// Largest number of rows a normal run tabulates.
inline constexpr long long MaxAreaRows = 32768;

/// The grid of rows for d0, d1, ds1, d2, ds2 (km), with d0 replaced by ds1 or 2 km when not
/// above zero and d1, d2 moved onto the grid. Any numbers are accepted (a NaN compares as not
/// above); a segment that would count more than MaxAreaRows rows is counted as
/// MaxAreaRows + 1, so that points() tells a grid to refuse without overflowing. Without a
/// second segment d2Km keeps the value given.
DistanceGrid areaDistanceGrid(const AreaInputs& in);

/// Outcome of a run.
enum class AreaRunStatus {
    Done,         ///< the report was written
    TooManyRows,  ///< the grid needs more than MaxAreaRows rows; nothing was run or written
    ModelMissing, ///< the model library or a routine was missing (the user was told)
};

/// The normal area run: computes the table (computeAreaTable), writes its report to `sink`
/// (writeAreaReport) and, when it is done, replaces `results`.
/// The numbers are used as given: the form keeps them in its ranges (frequency 20..20000
/// MHz, heights 0.5..3000 m, percentages 0.1..99.9, confidence levels 0..99.9); the model
/// reports other values through `prop.kwx`, which becomes the warning lines. A grid of more
/// than MaxAreaRows rows is refused before anything is called or written; nothing is written
/// when the model is missing. `prop.mdp`, the
/// saving of the log and the form's commands are left to the caller.
AreaRunStatus runAreaCalculation(const AreaInputs& in, PropagationModel& model,
                                 ModelRecords& records, ReportSink& sink, AreaResults& results);

/// One inverse result per active level: the distance (km) at which the loss falls to L.
struct InverseResult {
    std::vector<double> levelsPct;
    std::vector<double> distancesKm;
};

/// The inverse run: for each active level, walks down from 4,000 km in 100 m steps, then in
/// 0.1 m steps, to the distance at which the loss no longer exceeds `in.lossLevelDb`, and
/// writes its report to `sink`. The distances of `in` are not used. It has no access to the
/// results of a normal run, so they keep the values of the last one. `result`, when given,
/// receives the levels and distances of a completed run.
AreaRunStatus runInverseCalculation(const AreaInputs& in, PropagationModel& model,
                                    ModelRecords& records, ReportSink& sink,
                                    InverseResult* result = nullptr);

/// The message shown when a normal run is refused because its grid needs more than
/// MaxAreaRows rows.
QString tooManyRowsMessage();

/// The polarization code handed to the model: 0 horizontal, 1 vertical.
int areaPolarizationCode(bool horizontal);

/// What both runs compute before their reports: the deviates and the active levels.
struct AreaRunSetup {
    double zt = 0;                        ///< deviate of the percent of time
    double zl = 0;                        ///< deviate of the percent of locations
    int lastLevel = 0;                    ///< index of the last active confidence level
    std::array<double, 4> levelsPct{};    ///< the four levels as used, percent
    std::array<double, 4> confDeviates{}; ///< deviates of the active levels
};

/// The numbers of a normal run, one row per distance of the grid.
struct AreaTable {
    AreaRunSetup setup;
    std::vector<double> distKm;
    /// Per row the losses (dB) of the active levels in order, then the free-space loss.
    std::vector<std::vector<double>> lossDb;
    int kwx = 0; ///< the model's error indicator after the run
};

/// Computes a normal run's numbers into `table` without writing anything: prepares the model
/// in `records` (prepareAreaRun) and, for each distance of the grid, takes the free-space
/// loss and the loss of each active level (avar with the time, location and confidence
/// deviates). TooManyRows before anything is called; ModelMissing when the library or a
/// routine is missing.
AreaRunStatus computeAreaTable(const AreaInputs& in, PropagationModel& model, ModelRecords& records,
                               AreaTable& table);

/// Writes the report of a computed run (`table` from computeAreaTable, `records` as it left
/// them) to `sink`, ending with the text of two line breaks.
void writeAreaReport(const AreaInputs& in, const ModelRecords& records, const AreaTable& table,
                     ReportSink& sink);

/// The active confidence levels of `levelsPct` (percent): the levels before the first one
/// that is not above zero. The first level always counts; one that is not above zero is
/// taken as 50 %, the value the form puts in its place.
std::vector<double> activeConfidenceLevels(const std::array<double, 4>& levelsPct);

/// Computes the deviates and prepares the model in `records` for an area run (heights,
/// delta h, climate, refractivity, `qlrps` with the published polarization code, `qlra`).
/// First makes sure that every routine a run calls is present: false (the user was told,
/// nothing was called) when the library or one of its routines is missing.
bool prepareAreaRun(const AreaInputs& in, PropagationModel& model, ModelRecords& records,
                    AreaRunSetup& setup);

/// Lines 2 to 8 of both reports (frequency, heights, effective heights, delta h,
/// polarization and ground, climate, service), from the inputs and the prepared records.
void writeAreaParameterLines(const AreaInputs& in, const ModelRecords& records, ReportSink& sink);

/// Places the model at `distM` metres (the change level raised to at least 1, `lrprop`) and
/// returns the free-space loss (dB) there; empty when the model is missing. The losses of
/// the levels are then `avar` + that free-space loss.
std::optional<double> areaFreeSpaceAt(PropagationModel& model, ModelRecords& records, double distM);

} // namespace verdan
