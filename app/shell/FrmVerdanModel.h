#pragma once

#include "AppInfo.h"
#include "HelpSystem.h"
#include "ProgramState.h"
#include "Prompter.h"
#include "Registry.h"
#include "ScreenModel.h"

#include <functional>

namespace verdan {

/// The mode selector: the program's main window. Loading it runs the start-up sequence,
/// unloading it ends the program.
class FrmVerdanModel : public ScreenModel {
    Q_OBJECT
public:
    /// What the selector opens; the program wires the mode screens in, tests script them.
    struct Openers {
        std::function<void()> areaMode;
        std::function<void()> pointToPoint;
        /// The planning map, with the point-to-point form's parameters.
        std::function<void()> planningMap;
        /// Unloads the path coordinates form when it is loaded.
        std::function<void()> unloadPathCoordinates;
    };

    FrmVerdanModel(ProgramState& state, SettingsStore& store, Prompter& prompter,
                   const AppInfo& info, Openers openers, QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmVerdan"); }

    static QString cmdAreaModeToolTip() { return QStringLiteral("Solvane - Area Prediction Mode"); }
    static QString cmdPointToPointToolTip() {
        return QStringLiteral("Solvane - Point-to-Point Mode");
    }

    /// Start-up: resets the shared state, reads "ShowSplashScreen" and shows the intro
    /// screen when it says so.
    void Form_Load();
    /// Closing: writes "ShowSplashScreen" and unloads the path coordinates form.
    void Form_Unload();

    void cmdAreaMode_Click();
    void cmdPointToPoint_Click();
    /// "&Planning Map...".
    void mnuFilePlanningMap_Click() {
        if (m_openers.planningMap)
            m_openers.planningMap();
    }
    void mnuFileExit_Click() { requestClose(); }
    void mnuHelpHelpSystem_Click() { m_help.ShowHelp(1, 1); }
    /// "&Overview": the overview document, with the desktop's viewer.
    void mnuHelpUserGuide_Click();
    /// "&User Guide": the second help file at context 1.
    void mnuHelpProgramGuide_Click();
    void mnuHelpAbout_Click();
    void mnuHelpShowIntro_Click();

    const HelpSystem& help() const { return m_help; }

private:
    void showIntro();

    ProgramState& m_state;
    Registry m_registry;
    Prompter& m_prompter;
    const AppInfo& m_info;
    HelpSystem m_help;
    Openers m_openers;
};

} // namespace verdan
