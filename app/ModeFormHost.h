#pragma once

#include "AppInfo.h"
#include "FrmCoverageModel.h"
#include "FrmPtoPModel.h"
#include "FrmUAMModel.h"
#include "MapSitesTools.h"
#include "ModeForms.h"
#include "ProgramState.h"
#include "Prompter.h"
#include "PropagationModel.h"
#include "SettingsStore.h"

#include <memory>

namespace verdan {

/// The program's mode forms. A form is created and loaded when it is first needed: when the
/// selector opens it (then it is shown) or when a pick-list writes into it (then it stays
/// hidden). Opening a form that is already loaded shows it without loading it again. A form
/// is unloaded and destroyed when the user closes it.
class ModeFormHost final : public ModeForms {
public:
    /// Everything handed in must outlive the host.
    ModeFormHost(ProgramState& state, SettingsStore& store, Prompter& prompter, const AppInfo& info,
                 PropagationModel& model, FrmUAMModel::Extensions areaExtensions = {});
    ~ModeFormHost() override;

    /// The selector's "Area Prediction Mode": loads the area form unless it is loaded, shows
    /// it modally, then unloads and destroys it.
    void openAreaMode();

    /// The selector's "Point - To - Point Mode": as openAreaMode() for the point-to-point form.
    void openPointToPoint();

    /// The selector's "Planning Map...": the map beside the selector, on the parameters of the
    /// point-to-point form, which is loaded hidden for it when it is not open and unloaded
    /// again when the map closes (unless the form has been opened meanwhile).
    void openPlanningMap();

    /// The area form, loaded hidden when it is not loaded yet.
    ModeFormFields& areaForm() override;
    /// The point-to-point form, loaded hidden when it is not loaded yet.
    ModeFormFields* pointToPointForm() override;

    /// The area form while it is loaded, else nullptr.
    FrmUAMModel* loadedAreaForm() { return m_area.get(); }
    /// The point-to-point form while it is loaded, else nullptr.
    FrmPtoPModel* loadedPointToPointForm() { return m_ptp.get(); }
    /// The coverage map window while it is open, else nullptr.
    FrmCoverageModel* openCoverageWindow() { return m_coverageWindow.get(); }

    /// How the point-to-point form opens the path coordinates form (empty: a placeholder);
    /// set before the form is first loaded.
    void setPathCoordinatesOpener(std::function<void()> opener) {
        m_pathCoordinates = std::move(opener);
    }

    /// What the coverage map window of the point-to-point form runs on; without an engine
    /// the form's "Planning Map..." says that maps are not available. Set before the form is
    /// first loaded.
    void setCoverageServices(CoverageServices services) { m_coverage = std::move(services); }

    /// At the program's normal end: deletes the report log files of this run that the
    /// settings do not name as the retained log ("TempLogName"), such as the file made by a
    /// form that was only loaded hidden.
    void removeUnretainedLogFiles();

private:
    FrmUAMModel& loadArea();
    FrmPtoPModel& loadPointToPoint();
    void openGroundConstants(const GroundConstantsRequest& request);
    void openSurfaceRefractivity();
    void openCoverageMap();
    void closeCoverageMap();
    PathProfileServices sitesToolServices(FrmPtoPModel* form);

    ProgramState& m_state;
    SettingsStore& m_store;
    Prompter& m_prompter;
    const AppInfo& m_info;
    PropagationModel& m_model;
    FrmUAMModel::Extensions m_areaExtensions;
    std::unique_ptr<FrmUAMModel> m_area;
    std::unique_ptr<FrmPtoPModel> m_ptp;
    std::function<void()> m_pathCoordinates;
    CoverageServices m_coverage;
    /// The coverage map window of the point-to-point form while it is open.
    std::unique_ptr<MapSitesTools> m_sitesTools;
    std::unique_ptr<FrmCoverageModel> m_coverageWindow;
    /// The point-to-point form was loaded hidden for the planning map alone.
    bool m_ptpForMapOnly = false;
};

} // namespace verdan
