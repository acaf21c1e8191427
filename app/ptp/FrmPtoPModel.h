#pragma once

#include "AppInfo.h"
#include "ModeForms.h"
#include "ModelChoices.h"
#include "PointToPointCalculation.h"
#include "PointToPointLink.h"
#include "ProfilePlot.h"
#include "ProgramState.h"
#include "Prompter.h"
#include "PropagationModel.h"
#include "Registry.h"
#include "ScreenModel.h"

#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace verdan {

/// What the point-to-point form asks of the ground constants pick-list: the field it fills,
/// its caption and the captions of its five options.
struct GroundConstantsRequest {
    QString target;
    QString caption;
    QStringList options;
};

/// The point-to-point form "frmPtoP": radio parameters of one link, the reliability and
/// confidence value lists, the profile picture, and the commands that obtain, edit, load and
/// save a profile and run the point-to-point calculation. List index 0 is reliability, 1 is
/// confidence.
class FrmPtoPModel : public ScreenModel, public ModeFormFields {
    Q_OBJECT
public:
    /// The screens this form opens that live elsewhere in the program.
    struct Openers {
        /// The path coordinates form, run modally; empty: a placeholder message.
        std::function<void()> pathCoordinates;
        /// The ground constants pick-list, run modally with the request's target and texts.
        std::function<void(const GroundConstantsRequest&)> groundConstants;
        /// The surface refractivity pick-list, run modally.
        std::function<void()> surfaceRefractivity;
        /// The coverage map window, run modally; empty: not available.
        std::function<void()> coverageMap;
    };
    /// Renders the profile picture of the elevations (m) at width x height pixels as PNG.
    using PictureRenderer = std::function<QByteArray(const std::vector<float>&, int, int)>;

    FrmPtoPModel(ProgramState& state, SettingsStore& store, Prompter& prompter, const AppInfo& info,
                 PropagationModel& model, Openers openers, PictureRenderer renderer,
                 QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmPtoP"); }

    static QString formCaption() {
        return QStringLiteral("Verdan Point-To-Point Mode  (Globe Terrain Handler)");
    }
    /// Size of picProfile in pixels: the size the report's picture is rendered at.
    static constexpr int picProfileWidthPx = 520;
    static constexpr int picProfileHeightPx = 200;

    // ---- Controls ----
    QString txtFrq() const { return m_txtFrq; }
    void setTxtFrq(const QString& text) { setText(m_txtFrq, text); }
    QString txtH1() const { return m_txtH1; }
    void setTxtH1(const QString& text) { setText(m_txtH1, text); }
    QString txtH2() const { return m_txtH2; }
    void setTxtH2(const QString& text) { setText(m_txtH2, text); }
    QString txteps() const { return m_txteps; }
    void setTxteps(const QString& text) { setText(m_txteps, text); }
    QString txtsgm() const { return m_txtsgm; }
    void setTxtsgm(const QString& text) { setText(m_txtsgm, text); }
    QString txtns() const { return m_txtns; }
    void setTxtns(const QString& text) { setText(m_txtns, text); }
    /// 0 Horizontal, 1 Vertical.
    int optPol() const { return m_optPol; }
    void optPol_Click(int index);
    QString cmbClim() const { return m_cmbClim; }
    /// Selects a climate item; a text that is not an item is ignored.
    void setCmbClim(const QString& text);
    static QStringList cmbClimItems() { return climateItems(); }
    QString txtNewVal(int i) const { return m_txtNewVal.at(idx(i)); }
    void setTxtNewVal(int i, const QString& text) { setText(m_txtNewVal.at(idx(i)), text); }
    QStringList LstValues(int i) const { return m_lstValues.at(idx(i)); }
    /// Selected item of list i, -1 for none.
    int LstValuesIndex(int i) const { return m_lstIndex.at(idx(i)); }
    void setLstValuesIndex(int i, int index);
    bool cmdRemFromListEnabled(int i) const { return m_remEnabled.at(idx(i)); }
    QString lblDorvex() const { return m_lblDorvex; }
    bool cmdEditProfileEnabled() const { return m_cmdEditProfileEnabled; }
    bool cmdReportEnabled() const { return m_cmdReportEnabled; }
    bool mnuReportViewEnabled() const { return m_mnuReportViewEnabled; }
    /// picProfile shows the background picture (no profile drawn).
    bool picProfileShowsBackground() const { return m_picBackground; }
    /// The background picture "pback.jpg" in the program's data folder.
    QString backgroundPicturePath() const;
    /// The elevations picProfile draws (empty while the background is shown).
    const std::vector<float>& picProfileElevations() const { return m_picElevations; }
    /// View > "Line of Sight and Fresnel Zone" is checked (off when the form opens).
    bool mnuViewFresnelChecked() const { return m_showFresnel; }
    /// What picProfile draws over the profile: with the view checked and a profile shown, the
    /// antennas and frequency of the fields and the k the model takes for the profile and Ns.
    std::optional<ProfileOverlay> picProfileOverlay() const;
    /// The report log file of this form.
    QString logFileName() const { return m_logFileName; }
    /// The form's values are exchanged with the Kethra set.
    bool kethraFlag() const { return m_kethra; }

    // ---- ModeFormFields: the pick-lists write "txteps", "txtsgm" and "txtns" ----
    void setFieldText(const QString& control, const QString& text) override;

    // ---- Handlers ----
    void Form_Load();
    void Form_Unload();
    // The leaving steps of the fields; each returns false when it showed a range message
    // (the field then holds its replacement text).
    bool txtFrq_LostFocus();
    bool txtH1_LostFocus();
    bool txtH2_LostFocus();
    bool txteps_LostFocus();
    bool txtsgm_LostFocus();
    bool txtns_LostFocus();
    bool txtNewVal_LostFocus(int i);
    /// Enter in value box i: the value is checked as on leaving the box, then added to
    /// list i as "Add to List" does.
    void txtNewVal_Enter(int i);
    void cmdAddToList_Click(int i);
    void cmdRemFromList_Click(int i);
    void cmdCalc_Click();
    /// Runs the point-to-point calculation; returns what became of the run.
    PointToPointStatus mnuReportCalculations_Click();
    void cmdReport_Click();
    void mnuReportView_Click() { cmdReport_Click(); }
    void cmdconduct_Click();
    void cmddielect_Click();
    void cmdSurfRef_Click();
    void cmdProfile_Click();
    void cmdEditProfile_Click();
    void mnuFileClose_Click() { requestClose(); }
    /// "&Load Profile...": a profile file in the model's layout replaces the profile.
    void mnuFileLoadProfile_Click();
    /// "&Save Profile...": the current profile written in the model's layout.
    void mnuFileSaveProfile_Click();
    /// "&Link Budget...": asks for the link budget (frmLinkBudget) and appends its block for
    /// the profile and table of the last run to the report log; told when nothing has run.
    void mnuReportLinkBudget_Click();
    /// View > "Line of Sight and Fresnel Zone" switched on or off.
    void mnuViewFresnel_Click();
    /// "Planning &Map...": the planning map, its runs around the path's transmitter.
    void mnuCoverageMap_Click();
    void mnuHelpHelpSystem_Click();
    void mnuHelpAbout_Click();
    /// Draws the profile held in pfl into picProfile.
    void DrawProfile();

    /// The inputs a run takes from the form now.
    PointToPointInputs currentInputs() const;

signals:
    /// The text of `control` is to be selected whole (after a range warning).
    void selectAllRequested(const QString& control);

private:
    static std::size_t idx(int i) { return i == 0 ? 0U : 1U; }
    void setText(QString& field, const QString& text);
    bool checkField(const QString& field, const QString& control, double minimum, double maximum,
                    const QString& name);
    void normalise(QString& field);
    void showBackground();
    void setDorvexLabel();
    /// The value lists and the decimal-degree path of the last session ("ReliabilityList",
    /// "ConfidenceList", "TxLatDD" ... "RxLonDD", "CoordsInDD"), read and written with the
    /// form's other settings.
    void loadOwnPathAndLists();
    void saveOwnPathAndLists();
    void fillDefaultLists();
    RLogClass& log();

    /// The last Done run: what the link budget block is computed over.
    struct LastRun {
        PointToPointInputs inputs;
        std::vector<double> pfl;
        PointToPointResult result;
        std::optional<radio::PathEndsDeg> ends;
    };

    ProgramState& m_state;
    SettingsStore& m_store;
    Registry m_registry;
    Prompter& m_prompter;
    const AppInfo& m_info;
    PropagationModel& m_model;
    Openers m_openers;
    PictureRenderer m_renderer;

    QString m_txtFrq = QStringLiteral("20.0");
    QString m_txtH1 = QStringLiteral("3.3");
    QString m_txtH2 = QStringLiteral("1.3");
    QString m_txteps = QStringLiteral("15.0");
    QString m_txtsgm = QStringLiteral("0.001");
    QString m_txtns = QStringLiteral("301");
    int m_optPol = 1;
    QString m_cmbClim = QStringLiteral("Continental Temperate");
    std::array<QString, 2> m_txtNewVal{QStringLiteral("99.0"), QStringLiteral("99.0")};
    std::array<QStringList, 2> m_lstValues;
    std::array<int, 2> m_lstIndex{-1, -1};
    std::array<bool, 2> m_remEnabled{false, false};
    QString m_lblDorvex = QStringLiteral("Quarn");
    bool m_cmdEditProfileEnabled = false;
    bool m_cmdReportEnabled = false;
    bool m_mnuReportViewEnabled = false;
    bool m_picBackground = true;
    std::vector<float> m_picElevations;
    bool m_showFresnel = false;
    std::optional<LastRun> m_lastRun;
    QString m_logFileName;
    bool m_kethra = false;
};

} // namespace verdan
