#include "ModeFormHost.h"

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

ModeFormFields* ModeFormHost::pointToPointForm() {
    // The point-to-point form plugs in here: loaded hidden on demand, like the area form.
    return nullptr;
}

} // namespace verdan
