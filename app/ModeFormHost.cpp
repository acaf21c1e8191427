#include "ModeFormHost.h"

#include "PathLossService.h"

#include "FrmDC_CondModel.h"
#include "FrmSurfRefModel.h"
#include "ProfilePicture.h"

#include <utility>

namespace verdan {

ModeFormHost::ModeFormHost(ProgramState& state, SettingsStore& store, Prompter& prompter,
                           const AppInfo& info, PropagationModel& model,
                           FrmUAMModel::Extensions areaExtensions)
    : m_state(state), m_store(store), m_prompter(prompter), m_info(info), m_model(model),
      m_areaExtensions(std::move(areaExtensions)) {}

ModeFormHost::~ModeFormHost() = default;

FrmUAMModel& ModeFormHost::loadArea() {
    if (!m_area) {
        m_area = std::make_unique<FrmUAMModel>(m_state, m_store, m_prompter, m_info, m_model, *this,
                                               m_areaExtensions);
        m_area->Form_Load();
    }
    return *m_area;
}

void ModeFormHost::openAreaMode() {
    FrmUAMModel& form = loadArea();
    m_prompter.runModal(form);
    form.Form_Unload();
    m_area.reset();
}

ModeFormFields& ModeFormHost::areaForm() {
    return loadArea();
}

FrmPtoPModel& ModeFormHost::loadPointToPoint() {
    if (!m_ptp) {
        FrmPtoPModel::Openers openers;
        openers.pathCoordinates = m_pathCoordinates;
        openers.groundConstants = [this](const GroundConstantsRequest& request) {
            openGroundConstants(request);
        };
        openers.surfaceRefractivity = [this] { openSurfaceRefractivity(); };
        if (m_coverage.engine)
            openers.coverageMap = [this] { openCoverageMap(); };
        m_ptp = std::make_unique<FrmPtoPModel>(m_state, m_store, m_prompter, m_info, m_model,
                                               std::move(openers), profilePicturePng);
        m_ptp->Form_Load();
    }
    return *m_ptp;
}

void ModeFormHost::openPlanningMap() {
    if (!m_coverage.engine)
        return;
    if (!m_ptp)
        m_ptpForMapOnly = true;
    loadPointToPoint();
    openCoverageMap();
}

void ModeFormHost::openPointToPoint() {
    m_ptpForMapOnly = false;
    FrmPtoPModel& form = loadPointToPoint();
    m_prompter.runModal(form);
    closeCoverageMap();
    form.Form_Unload();
    m_ptp.reset();
}

ModeFormFields* ModeFormHost::pointToPointForm() {
    return &loadPointToPoint();
}

void ModeFormHost::removeUnretainedLogFiles() {
    if (!m_state.log)
        return;
    Registry registry(m_store);
    registry.setAppname(m_info.title);
    registry.setSection(QStringLiteral("Verdan"));
    m_state.log->removeFilesExcept(registry.Param(QStringLiteral("TempLogName")));
}

void ModeFormHost::openGroundConstants(const GroundConstantsRequest& request) {
    m_state.PickTarget = request.target;
    FrmDC_CondModel pick(m_state, *this);
    pick.Form_Load();
    pick.setCaption(request.caption);
    pick.setOptChartSelectCaptions(request.options);
    m_prompter.runModal(pick);
}

void ModeFormHost::openCoverageMap() {
    if (m_coverageWindow)
        return;
    FrmPtoPModel* form = m_ptp.get();
    m_sitesTools = std::make_unique<MapSitesTools>(m_state, m_store, m_prompter, m_info.title,
                                                   sitesToolServices(form));
    m_sitesTools->linkBudget().Form_Load();
    // The profile sent to the point-to-point form is drawn there at once.
    QObject::connect(&m_sitesTools->profile(), &PathProfileModel::sentToPointToPoint, form,
                     [form] { form->DrawProfile(); });
    CoverageServices services = m_coverage;
    services.linkBudget = [tools = m_sitesTools.get()](coverage::CoverageInputs& in) {
        return tools->applyLinkBudget(in);
    };
    m_coverageWindow = std::make_unique<FrmCoverageModel>(
        m_state, m_store, m_prompter, m_info, std::move(services),
        [form] { return form->currentInputs(); }, form->logFileName());
    m_coverageWindow->setSitesTools(m_sitesTools.get());
    m_coverageWindow->Form_Load();
    // The window follows the form: a new path, terrain or radio parameter is shown at once.
    QObject::connect(form, &ScreenModel::changed, m_coverageWindow.get(),
                     &FrmCoverageModel::formChanged);
    m_prompter.showModeless(*m_coverageWindow, [this] { closeCoverageMap(); });
}

PathProfileServices ModeFormHost::sitesToolServices(FrmPtoPModel* form) {
    PathProfileServices services;
    services.terrain = [this](QString& error) -> std::shared_ptr<const terrain::TerrainSource> {
        if (!m_coverage.terrain) {
            error = QStringLiteral("no terrain source is set up");
            return nullptr;
        }
        return m_coverage.terrain(m_state.path, error);
    };
    services.terrainChoice = [this] {
        return TerrainChoice{m_state.path.TerrainSource, m_state.path.RasterPath};
    };
    services.model = pathLossService(m_model, [form] { return form->currentInputs(); });
    return services;
}

void ModeFormHost::closeCoverageMap() {
    std::unique_ptr<FrmCoverageModel> window = std::move(m_coverageWindow);
    if (!window)
        return;
    // Its view may be going already: nothing of the window reaches it any more.
    window->disconnect();
    if (!window->closeRequested())
        window->closeBoxClicked();
    window->Form_Unload();
    window.reset();
    m_sitesTools.reset();
    if (std::exchange(m_ptpForMapOnly, false) && m_ptp) {
        m_ptp->Form_Unload();
        m_ptp.reset();
    }
}

void ModeFormHost::openSurfaceRefractivity() {
    FrmSurfRefModel pick(*this);
    pick.Form_Load();
    m_prompter.runModal(pick);
}

} // namespace verdan
