#include "FrmVerdanModel.h"

#include "FrmAboutModel.h"
#include "FrmVerdanHeaderModel.h"

namespace verdan {

FrmVerdanModel::FrmVerdanModel(ProgramState& state, SettingsStore& store, Prompter& prompter,
                               const AppInfo& info, Openers openers, QObject* parent)
    : ScreenModel(parent), m_state(state), m_registry(store), m_prompter(prompter), m_info(info),
      m_help(info, prompter), m_openers(std::move(openers)) {
    setCaption(QStringLiteral("Verdan - Solvane"));
    m_registry.setAppname(m_info.title);
    m_registry.setSection(QStringLiteral("Verdan"));
}

void FrmVerdanModel::Form_Load() {
    m_state.resetForStart();
    m_registry.setKey(QStringLiteral("ShowSplashScreen"));
    m_registry.RegGet();
    const QString stored = m_registry.Setting();
    m_state.ShowIntro = stored.isEmpty() || stored == u"TRUE";
    if (m_state.ShowIntro)
        showIntro();
}

void FrmVerdanModel::Form_Unload() {
    m_registry.setKey(QStringLiteral("ShowSplashScreen"));
    m_registry.setSetting(m_state.ShowIntro ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    m_registry.RegSave();
    if (m_openers.unloadPathCoordinates)
        m_openers.unloadPathCoordinates();
}

void FrmVerdanModel::cmdAreaMode_Click() {
    if (m_openers.areaMode)
        m_openers.areaMode();
}

void FrmVerdanModel::cmdPointToPoint_Click() {
    if (m_openers.pointToPoint)
        m_openers.pointToPoint();
}

void FrmVerdanModel::mnuHelpUserGuide_Click() {
    m_prompter.openDocument(m_help.overviewDocumentName());
}

void FrmVerdanModel::mnuHelpProgramGuide_Click() {
    m_prompter.showHelp(m_help.userGuideFileName(), 1);
}

void FrmVerdanModel::mnuHelpAbout_Click() {
    FrmAboutModel about(m_info, m_prompter);
    about.Form_Load();
    m_prompter.runModal(about);
}

void FrmVerdanModel::mnuHelpShowIntro_Click() {
    showIntro();
}

void FrmVerdanModel::showIntro() {
    FrmVerdanHeaderModel intro(m_state);
    intro.Form_Load();
    m_prompter.runModal(intro);
    intro.Form_Unload();
}

} // namespace verdan
