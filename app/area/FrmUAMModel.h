#pragma once

#include "AppInfo.h"
#include "FieldChecks.h"
#include "ModeForms.h"
#include "ProgramState.h"
#include "Prompter.h"
#include "PropagationModel.h"
#include "Registry.h"
#include "ScreenModel.h"

#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <vector>

namespace verdan {

struct AreaInputs;

/// A drop-down list: its items and the selected one (the user cannot type free text).
struct ComboField {
    QStringList items;
    int listIndex = -1; ///< the selected item, -1 for none
    QString toolTip;

    /// The selected item's text, "" when none is selected.
    QString text() const { return listIndex >= 0 ? items.value(listIndex) : QString(); }
    /// Selects the item whose text is `text`; returns false (keeping the selection) when the
    /// list has no such item.
    bool select(const QString& text);
};

/// The area-mode parameter form "FrmUAM": every input of an area run as text fields, the
/// four drop-down lists and the polarization options, the checks of the fields when they are
/// left, the pick-lists, the switch between normal and inverse runs, and the persistence of
/// the inputs in the settings store (or the exchange with the shared Kethra parameters).
///
/// The form's fields are the texts; a run reads them at the moment it starts.
class FrmUAMModel : public ScreenModel, public ModeFormFields {
    Q_OBJECT
public:
    /// One parameter field as the screen shows it.
    struct FieldInfo {
        QString name;       ///< control name ("txtFrq")
        QString label;      ///< its label, or the caption of the button that labels it
        QString unit;       ///< unit label, "" for none
        QString designText; ///< text at design time
        QString toolTip;    ///< "" for none
        bool labelledByButton = false;
    };
    /// The screen's fields, in the order in which the screen groups them.
    static const std::vector<FieldInfo>& fieldInfos();
    /// The fields that select their text on entry and have a leaving step (all but
    /// txtdBLossLevel).
    static bool hasEntryAndLeavingSteps(const QString& name);

    /// Opens the results graph and stores the results in the archive; both are screens of
    /// their own. An empty function shows that the command is not available.
    struct Extensions {
        std::function<void(FrmUAMModel&)> showGraph;
        std::function<void(FrmUAMModel&)> saveToArchive;
    };

    /// `forms` gives the pick-lists the mode forms they write into; `model` is the
    /// propagation model the runs call. All must outlive the form.
    FrmUAMModel(ProgramState& state, SettingsStore& store, Prompter& prompter, const AppInfo& info,
                PropagationModel& model, ModeForms& forms, Extensions extensions = {},
                QObject* parent = nullptr);

    QString screenName() const override { return QStringLiteral("FrmUAM"); }

    // ---- Controls ----
    /// The field named `name`; throws std::out_of_range for a name the form does not have.
    TextField& field(const QString& name);
    const TextField& field(const QString& name) const;
    /// The text of the field `name`.
    QString text(const QString& name) const { return field(name).text; }
    /// What the user typed into a field (no check runs until the field is left).
    void setText(const QString& name, const QString& text);
    /// ModeFormFields: a pick-list writes a value; a name the form does not have is ignored.
    void setFieldText(const QString& control, const QString& text) override;

    ComboField& cmbClim() { return m_cmbClim; }
    ComboField& cmbVAR() { return m_cmbVAR; }
    ComboField& cmbSit1() { return m_cmbSit1; }
    ComboField& cmbSit2() { return m_cmbSit2; }
    const ComboField& cmbClim() const { return m_cmbClim; }
    const ComboField& cmbVAR() const { return m_cmbVAR; }
    const ComboField& cmbSit1() const { return m_cmbSit1; }
    const ComboField& cmbSit2() const { return m_cmbSit2; }
    /// The user picked item `index` of the list named `name` ("cmbClim", ...).
    void selectListItem(const QString& name, int index);

    /// Polarization option `index`: 0 "Horizontal", 1 "Vertical".
    bool optPol(int index) const { return m_optPol.at(index); }
    /// Clicking an option selects it and clears the other.
    void optPol_Click(int index);

    Command& mnuReportView() { return m_mnuReportView; }
    Command& cmdReport() { return m_cmdReport; }
    Command& mnuGraphView() { return m_mnuGraphView; }
    Command& cmdGraph() { return m_cmdGraph; }
    Command& cmdSaveData() { return m_cmdSaveData; }

    /// 1 in normal mode, 0 in inverse mode.
    int modeIndicator() const { return m_modeIndicator; }
    /// True when this opening of the form exchanges its values with the Kethra programs.
    bool kethraFlag() const { return m_kethraFlag; }
    /// The file that keeps the report log between runs.
    QString logFileName() const { return m_logFileName; }
    /// Increment up to distance 1 (km) as txtds1 held it when last left or last read by a
    /// run; 10 after loading. Replaces a non-positive initial distance.
    double ds1Km() const { return m_ds1Km; }

    /// The field that has the focus ("" for none); the view keeps it up to date.
    QString focusedField() const { return m_focusedField; }

    // ---- Load and unload ----
    void Form_Load();
    void Form_Unload();

    // ---- Focus ----
    /// A field gained the focus: it becomes the focused field and, when it has an entry
    /// step, its text is selected.
    void fieldGotFocus(const QString& name);
    /// The focused field lost the focus: its leaving step runs.
    void fieldLostFocus();
    /// The leaving step of `name`, as the table of the form gives it; false when it showed a
    /// range message (the field then holds its replacement text).
    bool leaveField(const QString& name);
    /// A command is about to use the fields while one still has the focus (a menu, a
    /// shortcut or a button that takes no focus): that field's leaving step runs now, and it
    /// keeps the focus. False when it showed a range message: the command then does not run,
    /// so the user sees the replacement first.
    bool checkFocusedField();

    // The leaving steps; each returns false when it showed a range message.
    bool txtFrq_LostFocus();
    bool txtH1_LostFocus();
    bool txtH2_LostFocus();
    bool txtQT_LostFocus();
    bool txtQL_LostFocus();
    bool txtQC1_LostFocus();
    bool txtQC2_LostFocus();
    bool txtQC3_LostFocus();
    bool txtQC4_LostFocus();
    bool txtd0_LostFocus();
    bool txtds1_LostFocus();

    // ---- Buttons and menus ----
    /// The run (as the menu's), then the report window when the run completed.
    void cmdCalc_Click();
    void cmdReport_Click();
    void cmdGraph_Click() { mnuGraphView_Click(); }
    void cmdSaveData_Click();
    void cmdSurfRef_Click();
    void cmdConductGround_Click();
    void cmdDielectric_Click();
    void cmdDeltaH_Click();
    void mnuFileExit_Click() { requestClose(); }
    void mnuModeNormal_Click() { SetInverseMode(false); }
    void mnuModeInverse_Click();
    void mnuReportView_Click() { cmdReport_Click(); }
    void mnuGraphView_Click();
    /// The run (normal or inverse by the mode), after checkFocusedField(): the focus stays
    /// where it is. Returns true when the run completed, false when it was refused.
    bool mnuReportRun_Click();
    void mnuReportEnableSave_Click();
    void mnuHelpHelpSystem_Click();
    void mnuHelpAbout_Click();

    /// Normal mode shows the five tabulation fields, inverse mode the loss level field.
    void SetInverseMode(bool inverse);

    /// The inputs of a run, read from the fields' texts and the selected items now.
    AreaInputs runInputs() const;

private:
    void normalise(const QString& name);
    bool leaveConfidenceLevel(const QString& name, const QString& title);
    void openGroundConstants(const QString& target);
    bool RunNormalCalculation();
    bool RunInverseCalculation();
    void finishRun();
    void disableNormalRunCommands();
    void loadFromKethra();
    void loadOwnFields();
    void loadLogFile();
    void saveToKethra();
    QString ownSetting(const QString& key);
    void applySetting(const QString& key, const QString& control);

    ProgramState& m_state;
    Prompter& m_prompter;
    const AppInfo& m_info;
    PropagationModel& m_model;
    ModeForms& m_forms;
    Extensions m_extensions;
    Registry m_registry;

    std::map<QString, TextField> m_fields;
    ComboField m_cmbClim;
    ComboField m_cmbVAR;
    ComboField m_cmbSit1;
    ComboField m_cmbSit2;
    std::array<bool, 2> m_optPol{false, true};
    Command m_mnuReportView;
    Command m_cmdReport;
    Command m_mnuGraphView;
    Command m_cmdGraph;
    Command m_cmdSaveData;

    int m_modeIndicator = 1;
    bool m_kethraFlag = false;
    QString m_logFileName;
    double m_ds1Km = 10;
    QString m_focusedField;
};

} // namespace verdan
