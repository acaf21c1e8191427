#include "PathCoordinatesHost.h"

namespace verdan {

PathCoordinatesHost::PathCoordinatesHost(ProgramState& state, Prompter& prompter,
                                         const AppInfo& info, QString libraryFolder)
    : m_state(state), m_prompter(prompter), m_info(info),
      m_terrain(prompter, std::move(libraryFolder)) {}

void PathCoordinatesHost::open() {
    if (!m_form) {
        m_form = std::make_unique<FrmProfileModel>(m_state, m_prompter, m_terrain, m_info);
        m_form->Form_Load();
    }
    m_form->resetCloseRequest();
    m_prompter.runModal(*m_form);
}

} // namespace verdan
