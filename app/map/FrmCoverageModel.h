#pragma once

#include "AppInfo.h"
#include "CoverageRun.h"
#include "LayerStack.h"
#include "MapResults.h"
#include "PointToPointInputs.h"
#include "ProgramState.h"
#include "Prompter.h"
#include "Registry.h"
#include "ScreenModel.h"

#include <verdan/coverage/MapStyle.h>

#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace verdan {

class MapSitesTools;

/// The files a coverage map can be saved as.
enum class MapFileFormat { GeoTiff, Png, Kml, Pdf };

/// "51.50000 N 0.12500 W".
QString positionText(const terrain::GeoPoint& at);
/// The inputs of a run in words, as its caption and report line give them.
QString inputsText(const coverage::CoverageInputs& in, const QString& climate,
                   const QString& terrainName);

/// What only the view can do with the drawn map: print it and write it as a picture.
class MapOutput {
public:
    virtual ~MapOutput() = default;
    /// Asks for a printer with the print dialog and prints the map with its legend.
    virtual void print() = 0;
    /// Writes the map with its legend, hillshade, ticks and scale bar to `path` as PNG or
    /// PDF (`format`); false with `error` set on failure.
    virtual bool saveImage(const QString& path, MapFileFormat format, QString& error) = 0;
};

/// What the coverage window needs from the rest of the program.
struct CoverageServices {
    /// The coverage engine.
    CoverageEngine engine;
    /// The terrain source the path coordinates chose (GLOBE, Quarn or a raster); nullptr with
    /// `error` set when it cannot be opened.
    std::function<std::shared_ptr<const terrain::TerrainSource>(const PathState&, QString& error)>
        terrain;
    /// Writes a result as GeoTIFF or KML (`format`) to `path`, coloured as shown; on success `written` lists every file written (a KML's picture too),
    /// otherwise `error` says why.
    std::function<bool(MapFileFormat format, const MapResult& result, const QString& path,
                       QStringList& written, QString& error)>
        write;
    /// Gives a run the transmitter and receiver of the window's link budget group; false
    /// when the group refused them (and told why). Empty: runs take only the ERP.
    std::function<bool(coverage::CoverageInputs& in)> linkBudget;
};

/// The coverage map window "frmCoverage": the loss (and, with an ERP, the received power and
/// field strength) from the path's transmitter to every cell within a radius, computed in
/// the background with the point-to-point form's radio parameters and the terrain source of
/// the path coordinates. It asks only for what is new, checks it like the forms, remembers it
/// in the settings, and writes one report line per run and per saved map.
class FrmCoverageModel : public ScreenModel {
    Q_OBJECT
public:
    /// The window's input fields, in the order they are checked.
    enum Field {
        txtRadius,      ///< radius of the map, km
        txtResolution,  ///< cell size, arc-seconds
        txtRxHt,        ///< every receiver's antenna height, m
        txtRel,         ///< reliability, %
        txtConf,        ///< confidence, %
        txtERP,         ///< ERP in the unit of cmbERPUnit; empty: none
        txtLossLevels,   ///< colour levels of a loss map, dB
        txtFieldLevels,  ///< colour levels of a field strength map, dBµV/m
        txtPowerLevels,  ///< colour levels of a received power map, dBm
        txtMarginLevels, ///< colour levels of a margin map, dB
        FieldCount
    };

    /// Everything handed in must outlive the window. `radio` gives the point-to-point form's
    /// parameters as they are now; `logFileName` is the report log's file, saved after each
    /// report line.
    FrmCoverageModel(ProgramState& state, SettingsStore& store, Prompter& prompter,
                     const AppInfo& info, CoverageServices services,
                     std::function<PointToPointInputs()> radio, QString logFileName,
                     QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmCoverage"); }

    // ---- Controls ----
    QString text(Field field) const { return m_text.at(field); }
    void setText(Field field, const QString& text);
    /// The control name of a field ("txtRadius", ...).
    static QString controlName(Field field);
    /// 0 dBW, 1 dBm.
    int cmbERPUnit() const { return m_erpUnit; }
    void setCmbERPUnit(int index);
    /// The radio parameters, transmitter and terrain the next run takes from the
    /// point-to-point form, as the form holds them now.
    QString lblSource() const;
    /// Says that the form's inputs differ from those of the map shown; empty when they agree.
    QString lblInputsChanged() const;
    bool cmdRunEnabled() const { return !busy(); }
    bool cmdCancelEnabled() const { return m_run.state() == RunState::Running; }
    /// Progress of the run, 0..100; progressChanged() tells a change.
    int prgRun() const { return static_cast<int>(m_run.progress() * 100 + 0.5); }
    QString lblStatus() const;
    /// What lies under the pointer on the map; empty when it is off the map.
    QString lblHover() const { return m_hover; }
    /// Whether cells with a model warning are hatched on the map and in its files.
    bool chkHatch() const { return m_hatch; }
    void setChkHatch(bool hatch);
    /// The quantities the current result can show: those its run computed (the loss alone
    /// before a run, none for a network's result).
    std::vector<coverage::MapQuantity> quantities() const;
    /// The quantity of the current result: the one chosen when its run computed it, else the
    /// margin with a threshold, the received power with a power or an ERP, or the loss.
    coverage::MapQuantity quantity() const;
    /// Shows `quantity` on the current result (when its run computed it), re-coloured
    /// without a new run.
    void setQuantity(coverage::MapQuantity quantity);
    /// The colour scale of the current result, its legend and its files; remembered.
    coverage::Palette palette() const { return m_palette; }
    void setPalette(coverage::Palette palette);
    /// The levels field of `quantity`.
    static Field levelsField(coverage::MapQuantity quantity);
    /// How many cells of the map carry which model warning, and why; empty without warnings.
    QString lblWarnings() const { return m_warnings; }

    // ---- Handlers ----
    /// The point-to-point form changed (its path, terrain or radio parameters).
    void formChanged() { emit changed(); }
    void Form_Load();
    void Form_Unload();
    /// Checks a field like the forms do: a value out of range is told and replaced.
    void lostFocus(Field field);
    /// Checks every field, opens the terrain and starts the run; false when nothing started.
    bool cmdRun_Click();
    void cmdCancel_Click() { m_run.cancel(); }
    /// "Run Network": runs every site of the sites table with its own columns, one after
    /// another in the background, and merges their maps into the network's layers; false when
    /// nothing started (no site, a site's inputs at fault, a map too large: each told).
    bool mnuRunNetwork_Click();
    /// "Save Map...": GeoTIFF, PNG with legend, KML or PDF, by suffix or chosen filter.
    void mnuFileSaveMap_Click();
    void mnuFilePrint_Click();
    void mnuFileClose_Click() { closeBoxClicked(); }
    void mnuHelpCoverage_Click();
    /// Closing cancels a run and waits for it (at most a moment).
    void closeBoxClicked() override;
    /// The pointer is over the map at `latDeg`, `lonDeg`.
    void mapHover(double latDeg, double lonDeg);
    void mapLeft();

    // ---- The map ----
    /// The background run; its map is the last one completed.
    const CoverageRun& run() const { return m_run; }
    CoverageRun& run() { return m_run; }
    /// The data of the result layer of `source`; nullptr when there is none.
    const MapResult* result(const QString& source) const;
    /// The result of the topmost visible result layer, whose legend the map shows and which
    /// Save Map and Print write; nullptr when none is shown.
    const MapResult* currentResult() const;
    /// How the current result is coloured: the quantity shown, its levels, the palette and
    /// the hatch (the window's choices without a result).
    coverage::MapStyle mapStyle() const;
    /// Counts changes of the results' data or colours (views rebuild their images on a change).
    int mapRevision() const { return m_mapRevision; }
    /// The current result's caption: every input of its run, its size and time, and its
    /// warnings.
    QString mapCaption() const;
    /// The receiver of the current path when it lies within the map's radius.
    std::optional<terrain::GeoPoint> receiver() const;
    /// The layers of the map, remembered from one opening of the window to the next.
    LayerStack& layers() { return m_layers; }
    /// The arrangement of the window (its docks and size) as the view saved it; remembered.
    QString layoutState() const { return m_layoutState; }
    void setLayoutState(const QString& state) { m_layoutState = state; }
    /// The view that prints and writes PNG and PDF; nullptr when none is attached.
    void setOutput(MapOutput* output) { m_output = output; }
    /// The sites, link budget and path profile tools shown beside the map; nullptr for none.
    MapSitesTools* sitesTools() const { return m_sitesTools; }
    void setSitesTools(MapSitesTools* tools) { m_sitesTools = tools; }

    /// The filters of the "Save Map..." dialog, in MapFileFormat order.
    static QStringList mapFilters();

signals:
    /// prgRun() changed (at most ten times a second during a run).
    void progressChanged();

private:
    bool checkField(Field field);
    bool busy() const {
        return m_run.state() == RunState::Running || m_run.state() == RunState::Cancelling;
    }
    bool checkFields();
    std::optional<coverage::CoverageInputs> buildInputs();
    std::optional<coverage::CoverageInputs> windowInputs(terrain::GeoPoint tx);
    std::optional<std::vector<coverage::CoverageInputs>> networkInputs();
    void addNetworkResults();
    void runStateChanged();
    void addRunResult();
    void layersChanged();
    MapResult* currentResultToChange();
    coverage::MapStyle styleOf(coverage::MapQuantity quantity) const;
    void restyleCurrent(std::optional<coverage::MapQuantity> quantity = {});
    void reportLine(const QString& line);
    bool writeMap(MapFileFormat format, const QString& path, QStringList& written, QString& error);
    QString runCaption() const;
    QString runInputsText() const;
    QString hoverLines(double latDeg, double lonDeg) const;
    bool profileFromFile() const;
    std::optional<terrain::GeoPoint> transmitter() const;
    bool askTransmitter();

    ProgramState& m_state;
    SettingsStore& m_store;
    Registry m_registry;
    Prompter& m_prompter;
    const AppInfo& m_info;
    CoverageServices m_services;
    std::function<PointToPointInputs()> m_radio;
    QString m_logFileName;
    CoverageRun m_run;
    MapOutput* m_output = nullptr;
    MapSitesTools* m_sitesTools = nullptr;
    LayerStack m_layers;
    MapResults m_results;
    QString m_layoutState;

    std::array<QString, FieldCount> m_text;
    int m_erpUnit = 0;
    QString m_hover;
    QString m_warnings;
    QString m_runClimate;
    QString m_runSource;
    QString m_mapSource;
    /// The transmitter entered for a profile read from the file `m_enteredFor`.
    std::optional<terrain::GeoPoint> m_enteredTx;
    QString m_enteredFor;
    bool m_hatch = true;
    std::optional<coverage::MapQuantity> m_chosenQuantity;
    coverage::Palette m_palette = coverage::DefaultPalette;
    int m_mapRevision = 0;
    bool m_cancelled = false;
};

} // namespace verdan
