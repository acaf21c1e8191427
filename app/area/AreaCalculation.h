#pragma once

#include "AreaResults.h"
#include "ModelRecords.h"
#include "PropagationModel.h"
#include "ReportSink.h"

#include <QString>
#include <QStringList>
#include <array>
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
/// above zero and d1, d2 moved onto the grid.
DistanceGrid areaDistanceGrid(const AreaInputs& in);

/// Outcome of a run.
enum class AreaRunStatus {
    Done,         ///< the report was written
    TooManyRows,  ///< the grid needs more than MaxAreaRows rows; nothing was run or written
    ModelMissing, ///< the model library or a routine was missing (the user was told)
};

/// The normal area run: prepares the model in `records`, writes the report lines to `sink`
/// and, when it is done, replaces `results`. `prop.mdp` is left for the caller to reset.
AreaRunStatus runAreaCalculation(const AreaInputs& in, PropagationModel& model,
                                 ModelRecords& records, ReportSink& sink, AreaResults& results);

/// One inverse result per active level: the distance (km) at which the loss falls to L.
struct InverseResult {
    std::vector<double> levelsPct;
    std::vector<double> distancesKm;
};

/// The inverse run: writes its report to `sink`; never touches the results of a normal run.
AreaRunStatus runInverseCalculation(const AreaInputs& in, PropagationModel& model,
                                    ModelRecords& records, ReportSink& sink,
                                    InverseResult* result = nullptr);

/// List texts to model codes; a text that matches no item gives 0.
int ClimateCode(const QString& text);
int VariabilityCode(const QString& text);
int SitingCode(const QString& text);

/// The items of the four drop-down lists, in order.
QStringList climateItems();
QStringList variabilityItems();
QStringList sitingItems();

} // namespace verdan
