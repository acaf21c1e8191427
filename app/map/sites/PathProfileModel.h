#pragma once

#include "LinkBudgetModel.h"
#include "ProfileGeometry.h"
#include "ProgramState.h"
#include "Prompter.h"
#include "ScreenModel.h"

#include <verdan/terrain/TerrainSource.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace verdan {

/// The point-to-point model's table for a profile: loss for every reliability x confidence
/// pair, and the effective earth radius factor the model took for the path.
struct PathLossTable {
    double curvatureK = 0;
    QString pathType; ///< "Line-Of-Sight Path", ...
    std::vector<double> reliabilityPct;
    std::vector<double> confidencePct;
    /// lossDb[i][j]: reliability i, confidence j, dB.
    std::vector<std::vector<double>> lossDb;
};

/// The terrain the map uses, as the point-to-point form names it.
struct TerrainChoice {
    QString source;     ///< "GLOBE", "Quarn" or "Raster"
    QString rasterPath; ///< the raster's file or folder for "Raster"
};

/// What the path profile tool needs from the rest of the program.
struct PathProfileServices {
    /// The terrain in use; nullptr with `error` set when it cannot be opened.
    std::function<std::shared_ptr<const terrain::TerrainSource>(QString& error)> terrain;
    /// Which terrain that is, for the point-to-point form.
    std::function<TerrainChoice()> terrainChoice;
    /// The point-to-point model over `pfl` (the model's layout) with the form's radio
    /// parameters and lists; empty with `error` set when it cannot run.
    std::function<std::optional<PathLossTable>(const std::vector<double>& pfl, double freqMHz,
                                               double heightAM, double heightBM, QString& error)>
        model;
    /// The link budget group's inputs; empty when it has none to give (told by the group).
    std::function<std::optional<LinkBudgetInputs>()> budget;
};

/// The link budget of every cell of the table.
struct PathBudget {
    double txGainDbi = 0; ///< toward the far end
    double eirpDbm = 0;
    radio::PathDirections directions;
    std::vector<std::vector<double>> powerDbm;
    std::vector<std::vector<double>> fieldDbuvm;
    std::vector<std::vector<double>> marginDb; ///< empty without a threshold
};

/// The ends a profile was drawn between, with their names.
struct DrawnPath {
    terrain::GeoPoint a;
    terrain::GeoPoint b;
    QString nameA;
    QString nameB;
};

/// The path profile tool "frmPathProfile": a profile between two points or two sites (set
/// by two clicks on the map, by sites of the table or typed), drawn over the earth's
/// curvature with the run's k, with the line of sight, the first Fresnel zone and the
/// obstructions, the model's reliability x confidence table and the link budget beside it;
/// "Send to Point-to-Point Form" hands the path, its profile and the terrain to that form
/// through the program state.
class PathProfileModel : public ScreenModel {
    Q_OBJECT
public:
    enum Field { txtLatA, txtLonA, txtLatB, txtLonB, txtHeightA, txtHeightB, txtFreq, FieldCount };
    enum End { EndA, EndB };

    PathProfileModel(ProgramState& state, Prompter& prompter, PathProfileServices services,
                     QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmPathProfile"); }

    // ---- Controls ----
    QString text(Field field) const { return m_text.at(field); }
    void setText(Field field, const QString& text);
    static QString controlName(Field field);
    /// The names of the two ends ("A" or a site's name).
    QString endName(End end) const { return m_names.at(end); }
    /// The path's summary: length, bearing, k, line of sight and the worst clearance.
    QString lblSummary() const { return m_summary; }
    /// The table and the link budget beside it, as lines of fixed-width text.
    QString lblTable() const { return m_tableText; }
    bool cmdSendEnabled() const { return m_geometry.points.size() >= 2; }

    // ---- Handlers ----
    /// A click on the map: the first sets end A, the second end B and draws the profile.
    void mapClicked(double latDeg, double lonDeg);
    /// A site as one end (its antenna height with it).
    void useSite(End end, const QString& name, double latDeg, double lonDeg, double heightM);
    /// Checks the fields, reads the terrain, runs the model and draws; false when nothing
    /// could be drawn (told).
    bool cmdProfile_Click();
    /// "Send to Point-to-Point Form".
    void cmdSendToPtoP_Click();
    /// Escape: the next click starts a new path.
    void cancelTool();

    // ---- Results ----
    const ProfileGeometry& geometry() const { return m_geometry; }
    const std::optional<PathLossTable>& table() const { return m_table; }
    const std::optional<PathBudget>& budget() const { return m_budget; }
    /// The k the geometry was drawn with.
    double curvatureK() const { return m_k; }
    /// Counts the profiles drawn (views redraw on a change).
    int revision() const { return m_revision; }
    /// The point of every end, decimal degrees, as the fields read now (empty for a bad text).
    std::optional<terrain::GeoPoint> endPoint(End end) const;
    /// Where the profile shown was drawn; empty before the first.
    const std::optional<DrawnPath>& drawnPath() const { return m_drawnPath; }
    /// The point a first click on the map gave while the second click is awaited; empty
    /// otherwise.
    std::optional<terrain::GeoPoint> firstClick() const;

signals:
    /// The point-to-point form's path and terrain were replaced.
    void sentToPointToPoint();

private:
    QString fieldError(Field field) const;
    void setEnd(End end, const QString& name, double latDeg, double lonDeg);
    void computeBudget(const terrain::Profile& profile);
    void describe();

    ProgramState& m_state;
    Prompter& m_prompter;
    PathProfileServices m_services;
    std::array<QString, FieldCount> m_text;
    std::array<QString, 2> m_names{QStringLiteral("A"), QStringLiteral("B")};
    End m_nextClick = EndA;
    terrain::Profile m_profile;
    QString m_terrainName;
    ProfileGeometry m_geometry;
    std::optional<DrawnPath> m_drawnPath;
    std::optional<PathLossTable> m_table;
    std::optional<PathBudget> m_budget;
    QString m_modelError;
    double m_k = 4.0 / 3.0;
    QString m_summary;
    QString m_tableText;
    int m_revision = 0;
};

} // namespace verdan
