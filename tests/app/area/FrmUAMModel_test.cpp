#include "AreaCalculation.h"
#include "FrmDC_CondModel.h"
#include "FrmDeltaHModel.h"
#include "FrmSurfRefModel.h"
#include "FrmUAMModel.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

/// A scripted prompter that also records, for each message, the text of one field at the
/// moment the message was shown.
class WatchingPrompter : public ScriptedPrompter {
public:
    std::function<QString()> watch;
    QStringList watchedAtMessage;

    MsgAnswer message(const QString& text, const QString& title, MsgButtons buttons,
                      MsgIcon icon) override {
        if (watch)
            watchedAtMessage << watch();
        return ScriptedPrompter::message(text, title, buttons, icon);
    }
};

/// The mode forms as the pick-lists see them: the area form under test, no point-to-point.
struct TestForms : ModeForms {
    FrmUAMModel* area = nullptr;
    ModeFormFields& areaForm() override { return *area; }
    ModeFormFields* pointToPointForm() override { return nullptr; }
};

QString logText(const RLogClass& log) {
    return log.document().plainText();
}

class AreaForm : public ::testing::Test {
protected:
    std::unique_ptr<FrmUAMModel> open(SettingsStore& settings) {
        auto form = std::make_unique<FrmUAMModel>(state, settings, prompter, info, model, forms);
        forms.area = form.get();
        form->Form_Load();
        return form;
    }
    std::unique_ptr<FrmUAMModel> open() { return open(store); }

    /// The user enters `name`, types `text` and leaves the field.
    static void type(FrmUAMModel& form, const QString& name, const QString& text) {
        form.fieldGotFocus(name);
        form.setText(name, text);
        form.fieldLostFocus();
    }

    QString own(const QString& key) { return store.get("Verdan", "Verdan", key); }

    MemorySettingsStore store;
    WatchingPrompter prompter;
    ProgramState state;
    AppInfo info;
    PropagationModel model{prompter};
    TestForms forms;
};

// ---- Loading ----

TEST_F(AreaForm, FirstOpeningWithAnEmptyStoreShowsTheDesignTexts) {
    auto form = open();
    const std::map<QString, QString> expected{
        {"txtFrq", "100"},          {"txtH1", "3"},     {"txtH2", "3"},
        {"txtDH", "90.0"},          {"txtNs", "301.0"}, {"txteps", "15.0"},
        {"txtsgm", "0.005"},        {"txtQT", "50.0"},  {"txtQL", "50.0"},
        {"txtQC1", "50.0"},         {"txtQC2", "90.0"}, {"txtQC3", "10.0"},
        {"txtQC4", "0.0"},          {"txtd0", "10.0"},  {"txtd1", "150.0"},
        {"txtds1", "10.0"},         {"txtd2", "500.0"}, {"txtds2", "50.0"},
        {"txtdBLossLevel", "125.5"}};
    for (const auto& [name, text] : expected)
        EXPECT_EQ(form->text(name), text) << name.toStdString();
    EXPECT_FALSE(form->optPol(0));
    EXPECT_TRUE(form->optPol(1)) << "Vertical";
    EXPECT_EQ(form->cmbClim().text(), "Continental Temperate");
    EXPECT_EQ(form->cmbVAR().text(), "Broadcast");
    EXPECT_EQ(form->cmbSit1().text(), "Random");
    EXPECT_EQ(form->cmbSit2().text(), "Random");
    EXPECT_EQ(form->caption(), "Area Prediction Mode");
    EXPECT_EQ(form->modeIndicator(), 1);
    EXPECT_FALSE(form->mnuReportView().enabled);
    EXPECT_FALSE(form->cmdReport().enabled);
    EXPECT_FALSE(form->mnuGraphView().enabled);
    EXPECT_FALSE(form->cmdGraph().enabled);
    EXPECT_FALSE(form->cmdSaveData().enabled);
    EXPECT_FALSE(form->cmdSaveData().visible);
    EXPECT_FALSE(form->kethraFlag());
    ASSERT_TRUE(state.log);
    EXPECT_EQ(state.log->Title(), "Report Log");
    EXPECT_TRUE(QFileInfo::exists(form->logFileName())) << "a new temporary file";
    EXPECT_EQ(state.model.prop.mdp, 1);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(AreaForm, FieldsCarryTheirTooltipsAndOnlyTheLossLevelHasNoEntryStep) {
    auto form = open();
    EXPECT_EQ(form->field("txtFrq").toolTip, "20 MHz to 20 GHz");
    EXPECT_EQ(form->field("txtQC2").toolTip, "0.0% to 99.9%");
    EXPECT_EQ(form->field("txtd2").toolTip, "Distance 2 (greater than distance 1)");
    EXPECT_EQ(form->cmbVAR().toolTip, "Methode Type for combining Statistics");
    EXPECT_EQ(FrmUAMModel::fieldInfos().size(), 19u);
    for (const auto& info : FrmUAMModel::fieldInfos())
        EXPECT_EQ(FrmUAMModel::hasEntryAndLeavingSteps(info.name), info.name != "txtdBLossLevel");
}

TEST_F(AreaForm, StoredTextsAreAppliedAsTheyStandAndListTextsOnlyWhenListed) {
    store.save("Verdan", "Verdan", "Freq", "250.50");
    store.save("Verdan", "Verdan", "ReFrac", "abc");
    store.save("Verdan", "Verdan", "RadClim", "Desert");
    store.save("Verdan", "Verdan", "MODEVAR", "Sometimes");
    store.save("Verdan", "Verdan", "SITECRIT2", "Very Careful");
    store.save("Verdan", "Verdan", "STEPDIST1", "25");
    store.save("Verdan", "Verdan", "POLARIZATION", "H");
    auto form = open();
    EXPECT_EQ(form->text("txtFrq"), "250.50") << "no check until the field is left";
    EXPECT_EQ(form->text("txtNs"), "abc");
    EXPECT_EQ(form->cmbClim().text(), "Desert");
    EXPECT_EQ(form->cmbVAR().text(), "Broadcast") << "not an item: ignored";
    EXPECT_EQ(form->cmbSit2().text(), "Very Careful");
    EXPECT_EQ(form->text("txtds1"), "25");
    EXPECT_EQ(form->ds1Km(), 10) << "the remembered increment is 10 right after loading";
    EXPECT_TRUE(form->optPol(0));
}

TEST_F(AreaForm, PolarizationOtherThanCapitalHSelectsVertical) {
    for (const QString stored : {"h", "V", "", "Horizontal"}) {
        store.save("Verdan", "Verdan", "POLARIZATION", stored);
        auto form = open();
        EXPECT_TRUE(form->optPol(1)) << stored.toStdString();
    }
}

// ---- Leaving the fields ----

TEST_F(AreaForm, FrequencyOf25000IsWrittenBackWarnedAboutAndReplacedBy100) {
    auto form = open();
    prompter.watch = [&] { return form->text("txtFrq"); };
    type(*form, "txtFrq", "25000.0");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Warning: Range Frequency <= 20000");
    EXPECT_EQ(prompter.messages[0].title, "Frequency");
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(prompter.watchedAtMessage, QStringList{"25000"}) << "normalised before the check";
    EXPECT_EQ(form->text("txtFrq"), "100");
}

TEST_F(AreaForm, FrequencyBelowTheRangeNamesTheMinimum) {
    auto form = open();
    type(*form, "txtFrq", "12");
    EXPECT_EQ(prompter.messageTexts(), QStringList{"Warning: Range 20 <= Frequency"});
    EXPECT_EQ(form->text("txtFrq"), "100");
}

TEST_F(AreaForm, LimitsOfTheRangeChecksAreInclusive) {
    struct Case {
        const char* field;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"txtFrq", "20", "20"},    {"txtFrq", "20000.00", "20000"}, {"txtH1", "0.5", "0.5"},
        {"txtH2", "3000", "3000"}, {"txtQT", "0.1", "0.1"},         {"txtQL", "99.90", "99.9"},
        {"txtQC2", "0", "0"},      {"txtQC3", "99.9", "99.9"},      {"txtQC4", "0.0", "0"},
    };
    auto form = open();
    for (const Case& c : cases) {
        type(*form, c.field, c.typed);
        EXPECT_EQ(form->text(c.field), c.shown) << c.field << " " << c.typed;
    }
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join('|').toStdString();
}

TEST_F(AreaForm, AntennaHeightOutOfRangeBecomes10) {
    auto form = open();
    type(*form, "txtH1", "0.2");
    type(*form, "txtH2", "5000");
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text, "Warning: Range 0.5 <= Antenna Height");
    EXPECT_EQ(prompter.messages[0].title, "Antenna Height");
    EXPECT_EQ(prompter.messages[1].text, "Warning: Range Antenna Height <= 3000");
    EXPECT_EQ(form->text("txtH1"), "10");
    EXPECT_EQ(form->text("txtH2"), "10");
}

TEST_F(AreaForm, PercentTimeAndLocationOutOfRangeBecome05) {
    auto form = open();
    type(*form, "txtQT", "100");
    type(*form, "txtQL", "0");
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text, "Warning: Valid Range is 0.1 <= Percent Time <= 99.9");
    EXPECT_EQ(prompter.messages[0].title, "Percent Time");
    EXPECT_EQ(prompter.messages[1].text, "Warning: Valid Range is 0.1 <= Percent Location <= 99.9");
    EXPECT_EQ(prompter.messages[1].title, "Percent Location");
    EXPECT_EQ(form->text("txtQT"), "0.5");
    EXPECT_EQ(form->text("txtQL"), "0.5");
}

TEST_F(AreaForm, FirstConfidenceLevelOfZeroBecomes50AndClearsTheSecond) {
    auto form = open();
    type(*form, "txtQC1", "0");
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(form->text("txtQC1"), "50");
    EXPECT_EQ(form->text("txtQC2"), "0");

    form->setText("txtQC2", "90");
    type(*form, "txtQC1", "75.50");
    EXPECT_EQ(form->text("txtQC1"), "75.5");
    EXPECT_EQ(form->text("txtQC2"), "90") << "a positive first level leaves the second alone";
}

TEST_F(AreaForm, OtherConfidenceLevelsOutOfRangeBecome0) {
    auto form = open();
    type(*form, "txtQC2", "100");
    type(*form, "txtQC3", "-1");
    type(*form, "txtQC4", "150");
    EXPECT_EQ(prompter.messageTexts(),
              (QStringList{"Warning: Valid Range is 0 <= Confidence Level 2 <= 99.9",
                           "Warning: Valid Range is 0 <= Confidence Level 3 <= 99.9",
                           "Warning: Valid Range is 0 <= Confidence Level 4 <= 99.9"}));
    EXPECT_EQ(prompter.messages[2].title, "Confidence Level 4");
    for (const char* name : {"txtQC2", "txtQC3", "txtQC4"})
        EXPECT_EQ(form->text(name), "0") << name;
}

TEST_F(AreaForm, NonPositiveInitialDistanceTakesTheLastIncrementOr2) {
    auto form = open();
    type(*form, "txtds1", "10");
    type(*form, "txtd0", "-5");
    EXPECT_EQ(form->text("txtd0"), "10");
    type(*form, "txtds1", "0");
    type(*form, "txtd0", "-5");
    EXPECT_EQ(form->text("txtd0"), "2");
    type(*form, "txtds1", "7.50");
    EXPECT_EQ(form->text("txtds1"), "7.5");
    type(*form, "txtd0", "0");
    EXPECT_EQ(form->text("txtd0"), "7.5");
    type(*form, "txtd0", "3.0");
    EXPECT_EQ(form->text("txtd0"), "3");
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(AreaForm, InitialDistanceRightAfterLoadingUsesIncrement10) {
    store.save("Verdan", "Verdan", "STEPDIST1", "0");
    auto form = open();
    type(*form, "txtd0", "-5");
    EXPECT_EQ(form->text("txtd0"), "10");
}

TEST_F(AreaForm, NormalisedFieldsTakeTheLeadingNumber) {
    struct Case {
        const char* field;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"txtNs", "abc", "0"},     {"txtNs", "301.0", "301"},  {"txtsgm", "0.0050", "0.005"},
        {"txteps", " 1 5x", "15"}, {"txtDH", "90.60", "90.6"}, {"txtd1", "155.", "155"},
        {"txtd2", "5e2", "500"},   {"txtds2", "", "0"},
    };
    auto form = open();
    for (const Case& c : cases) {
        type(*form, c.field, c.typed);
        EXPECT_EQ(form->text(c.field), c.shown) << c.field << " '" << c.typed << "'";
    }
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(AreaForm, LossLevelHasNoLeavingStep) {
    auto form = open();
    type(*form, "txtdBLossLevel", "130.50 dB");
    EXPECT_EQ(form->text("txtdBLossLevel"), "130.50 dB");
}

TEST_F(AreaForm, EnteringAFieldSelectsItsWholeText) {
    auto form = open();
    form->fieldGotFocus("txtNs");
    EXPECT_EQ(form->focusedField(), "txtNs");
    EXPECT_EQ(form->field("txtNs").selStart, 0);
    EXPECT_EQ(form->field("txtNs").selLength, 5);
    form->fieldGotFocus("txtdBLossLevel");
    EXPECT_EQ(form->field("txtdBLossLevel").selLength, 0) << "no entry step";
}

TEST_F(AreaForm, CheckRangeSelectsTheFieldBeforeItIsReplaced) {
    auto form = open();
    TextField& qt = form->field("txtQT");
    qt.text = "120";
    EXPECT_FALSE(CheckRange(prompter, qt, 0.1, 99.9, "Percent Time"));
    EXPECT_EQ(qt.selStart, 0);
    EXPECT_EQ(qt.selLength, 3);
}

// ---- Modes ----

TEST_F(AreaForm, InverseModeShowsTheLossLevelInsteadOfTheDistances) {
    auto form = open();
    const QStringList distances{"txtd0", "txtd1", "txtds1", "txtd2", "txtds2"};
    for (const QString& name : distances)
        EXPECT_TRUE(form->field(name).visible);
    EXPECT_FALSE(form->field("txtdBLossLevel").visible);

    form->cmdGraph().enabled = true;
    form->mnuGraphView().enabled = true;
    form->mnuModeInverse_Click();
    EXPECT_EQ(form->modeIndicator(), 0);
    for (const QString& name : distances)
        EXPECT_FALSE(form->field(name).visible) << name.toStdString();
    EXPECT_TRUE(form->field("txtdBLossLevel").visible);
    EXPECT_FALSE(form->cmdGraph().enabled);
    EXPECT_FALSE(form->mnuGraphView().enabled);

    form->mnuModeNormal_Click();
    EXPECT_EQ(form->modeIndicator(), 1);
    for (const QString& name : distances)
        EXPECT_TRUE(form->field(name).visible);
    EXPECT_FALSE(form->field("txtdBLossLevel").visible);
    EXPECT_FALSE(form->cmdGraph().enabled) << "switching back does not re-enable the graph";
    EXPECT_FALSE(form->mnuGraphView().enabled);
}

TEST_F(AreaForm, EnableDatabaseSaveShowsTheSaveButtonWithoutEnablingIt) {
    auto form = open();
    form->mnuReportEnableSave_Click();
    EXPECT_TRUE(form->cmdSaveData().visible);
    EXPECT_FALSE(form->cmdSaveData().enabled);
}

TEST_F(AreaForm, PolarizationOptionsAreExclusive) {
    auto form = open();
    form->optPol_Click(0);
    EXPECT_TRUE(form->optPol(0));
    EXPECT_FALSE(form->optPol(1));
    form->optPol_Click(1);
    EXPECT_FALSE(form->optPol(0));
    EXPECT_TRUE(form->optPol(1));
}

TEST_F(AreaForm, ListSelectionsComeFromTheirItems) {
    auto form = open();
    form->selectListItem("cmbClim", 6);
    EXPECT_EQ(form->cmbClim().text(), "Maritime Temperate, Over Sea");
    form->selectListItem("cmbClim", 7);
    EXPECT_EQ(form->cmbClim().text(), "Maritime Temperate, Over Sea") << "no such item";
    form->selectListItem("cmbSit1", 2);
    EXPECT_EQ(form->cmbSit1().text(), "Very Careful");
}

TEST_F(AreaForm, PickListsWriteIntoTheFieldsTheyName) {
    auto form = open();
    form->setFieldText("txtDH", "200");
    form->setFieldText("txtns", "350");
    form->setFieldText("nothing", "1");
    EXPECT_EQ(form->text("txtDH"), "200");
    EXPECT_EQ(form->text("txtNs"), "301.0") << "txtns is the point-to-point form's field";
}

// ---- Opening the pick-lists ----

TEST_F(AreaForm, DeltaHButtonOpensItsPickList) {
    auto form = open();
    prompter.queueModal("frmDeltaH", [](ScreenModel& screen) {
        auto& pick = static_cast<FrmDeltaHModel&>(screen);
        pick.Option1_Click(3);
        pick.cmdOK_Click();
    });
    form->cmdDeltaH_Click();
    EXPECT_EQ(form->text("txtDH"), "200");
}

TEST_F(AreaForm, GroundButtonsSetTheTargetCaptionAndOptions) {
    auto form = open();
    prompter.queueModal("frmDC_Cond", [&](ScreenModel& screen) {
        auto& pick = static_cast<FrmDC_CondModel&>(screen);
        EXPECT_EQ(state.PickTarget, "txtsgm");
        EXPECT_EQ(pick.caption(), "Conductivity of Ground");
        EXPECT_EQ(pick.optChartSelectCaptions().at(4), "Sea Water     5.0  ");
        pick.optChartSelect_Click(2);
        pick.cmdOK_Click();
    });
    form->cmdConductGround_Click();
    EXPECT_EQ(form->text("txtsgm"), "0.02");

    prompter.queueModal("frmDC_Cond", [&](ScreenModel& screen) {
        auto& pick = static_cast<FrmDC_CondModel&>(screen);
        EXPECT_EQ(state.PickTarget, "txteps");
        EXPECT_EQ(pick.caption(), "Dielectric Constant of Ground");
        EXPECT_EQ(pick.optChartSelectCaptions().at(1), "Poor Ground       4");
        pick.optChartSelect_Click(1);
        pick.cmdOK_Click();
    });
    form->cmdDielectric_Click();
    EXPECT_EQ(form->text("txteps"), "4");
}

TEST_F(AreaForm, SurfaceRefractivityButtonOpensItsPickList) {
    auto form = open();
    prompter.queueModal("frmSurfRef", [](ScreenModel& screen) {
        auto& pick = static_cast<FrmSurfRefModel&>(screen);
        pick.Option1_Click(6);
        pick.cmdOK_Click();
    });
    form->cmdSurfRef_Click();
    EXPECT_EQ(form->text("txtNs"), "350");
}

TEST_F(AreaForm, HelpAndAboutGoThroughThePrompter) {
    auto form = open();
    form->mnuHelpHelpSystem_Click();
    ASSERT_EQ(prompter.helpRequests.size(), 1u);
    EXPECT_EQ(prompter.helpRequests[0].context, 1);
    form->mnuHelpAbout_Click();
    EXPECT_EQ(prompter.screensShown, QStringList{"frmAbout"});
}

TEST_F(AreaForm, CloseMenuAsksToClose) {
    auto form = open();
    form->mnuFileExit_Click();
    EXPECT_TRUE(form->closeRequested());
}

// ---- Persistence ----

TEST_F(AreaForm, UnloadingStoresEveryFieldUnderItsKey) {
    auto form = open();
    const std::map<QString, QString> keys{
        {"TxHt", "txtH1"},       {"RxHt", "txtH2"},
        {"ReFrac", "txtNs"},     {"Freq", "txtFrq"},
        {"DIELEC", "txteps"},    {"GCONDUCT", "txtsgm"},
        {"PCTTIME", "txtQT"},    {"PCTLOC", "txtQL"},
        {"DELTAH", "txtDH"},     {"InversedBLossLevel", "txtdBLossLevel"},
        {"CONFLEV1", "txtQC1"},  {"CONFLEV2", "txtQC2"},
        {"CONFLEV3", "txtQC3"},  {"CONFLEV4", "txtQC4"},
        {"INITDIST", "txtd0"},   {"ENDIST1", "txtd1"},
        {"STEPDIST1", "txtds1"}, {"ENDIST2", "txtd2"},
        {"STEPDIST2", "txtds2"}};
    int n = 1;
    for (const auto& [key, control] : keys)
        form->setText(control, QString::number(n++) + ".25");
    form->selectListItem("cmbClim", 0);
    form->selectListItem("cmbVAR", 1);
    form->selectListItem("cmbSit1", 1);
    form->selectListItem("cmbSit2", 2);
    form->optPol_Click(0);
    prompter.queueMessage(MsgAnswer::Yes);
    form->Form_Unload();
    for (const auto& [key, control] : keys)
        EXPECT_EQ(own(key), form->text(control)) << key.toStdString();
    EXPECT_EQ(own("RadClim"), "Equatorial");
    EXPECT_EQ(own("MODEVAR"), "Individual");
    EXPECT_EQ(own("SITECRIT1"), "Careful");
    EXPECT_EQ(own("SITECRIT2"), "Very Careful");
    EXPECT_EQ(own("POLARIZATION"), "H");

    auto reopened = open();
    for (const auto& [key, control] : keys)
        EXPECT_EQ(reopened->text(control), form->text(control)) << control.toStdString();
    EXPECT_EQ(reopened->cmbVAR().text(), "Individual");
    EXPECT_TRUE(reopened->optPol(0));
}

TEST_F(AreaForm, TypedValuesAreShownAgainAfterRestartingTheProgram) {
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    {
        IniSettingsStore disk(config.path());
        auto form = open(disk);
        type(*form, "txtFrq", "450.0");
        type(*form, "txtH1", "12.5");
        form->selectListItem("cmbClim", 3);
        prompter.queueMessage(MsgAnswer::Yes);
        form->Form_Unload();
    }
    state.log.reset();
    IniSettingsStore disk(config.path());
    auto form = open(disk);
    EXPECT_EQ(form->text("txtFrq"), "450");
    EXPECT_EQ(form->text("txtH1"), "12.5");
    EXPECT_EQ(form->cmbClim().text(), "Desert");
    EXPECT_EQ(disk.get("Verdan", "Verdan", "Freq"), "450");
}

// ---- Kethra ----

TEST_F(AreaForm, KethraLaunchTakesTheSharedValuesAndIsConsumed) {
    const QString kethra = "Ombrel_Kethra";
    const QString global = "Global Parameters";
    store.save(kethra, global, "CalledFromKethra", "True");
    store.save(kethra, global, "TxHt_m", "45.5");
    store.save(kethra, global, "RxHt_m", "2");
    store.save(kethra, global, "TxFreq_MHz", "900");
    store.save(kethra, global, "DeltaH_m", "30");
    store.save(kethra, global, "TxPolar_HV", "H");
    store.save(kethra, global, "TxLoss_dB", "3.5");
    store.save("Verdan", "Verdan", "TxHt", "99");
    store.save("Verdan", "Verdan", "RadClim", "Desert");
    store.save("Verdan", "Verdan", "CONFLEV2", "80");

    auto form = open();
    EXPECT_TRUE(form->kethraFlag());
    EXPECT_EQ(store.get(kethra, global, "CalledFromKethra"), "False") << "launch consumed";
    EXPECT_EQ(form->text("txtH1"), "45.5") << "own setting not used";
    EXPECT_EQ(form->text("txtH2"), "2");
    EXPECT_EQ(form->text("txtFrq"), "900");
    EXPECT_EQ(form->text("txtNs"), "301");
    EXPECT_EQ(form->text("txtsgm"), "0.005");
    EXPECT_EQ(form->text("txtQT"), "0.5") << "the shared default";
    EXPECT_EQ(form->text("txtDH"), "30");
    EXPECT_TRUE(form->optPol(0));
    EXPECT_EQ(form->cmbClim().text(), "Desert") << "own lists are read in both cases";
    EXPECT_EQ(form->text("txtQC2"), "80");

    type(*form, "txtH1", "60");
    type(*form, "txtFrq", "1800");
    form->optPol_Click(1);
    prompter.queueMessage(MsgAnswer::Yes);
    form->Form_Unload();
    EXPECT_EQ(store.get(kethra, global, "TxHt_m"), "60");
    EXPECT_EQ(store.get(kethra, global, "TxFreq_MHz"), "1800");
    EXPECT_EQ(store.get(kethra, global, "TxPolar_HV"), "V");
    EXPECT_EQ(store.get(kethra, global, "TxLoss_dB"), "3.5") << "passed through unchanged";
    EXPECT_EQ(store.get(kethra, global, "CalledFromKethra"), "False");
    EXPECT_EQ(own("TxHt"), "60") << "own settings are written too";
}

TEST_F(AreaForm, WithoutKethraTheSharedSetIsLeftAlone) {
    auto form = open();
    prompter.queueMessage(MsgAnswer::Yes);
    form->Form_Unload();
    EXPECT_EQ(store.get("Ombrel_Kethra", "Global Parameters", "TxHt_m"), "");
}

// ---- The report log file ----

TEST_F(AreaForm, RetainingTheLogKeepsItsFileForTheNextOpening) {
    auto form = open();
    const QString file = form->logFileName();
    state.log->AddLine("first report");
    ASSERT_TRUE(state.log->SaveFile(file));
    prompter.queueMessage(MsgAnswer::Yes);
    form->Form_Unload();
    EXPECT_EQ(prompter.messages.back().text, "Retain Output Log?");
    EXPECT_EQ(prompter.messages.back().title, "Output Log");
    EXPECT_EQ(prompter.messages.back().buttons, MsgButtons::YesNo);
    EXPECT_EQ(own("TempLogName"), file);

    state.log.reset();
    auto reopened = open();
    EXPECT_EQ(reopened->logFileName(), file);
    EXPECT_TRUE(reopened->mnuReportView().enabled);
    EXPECT_TRUE(reopened->cmdReport().enabled);
    EXPECT_TRUE(logText(*state.log).contains("first report"));
}

// Regression: Escape (or the close box) on "Retain Output Log?" deleted the whole log.
TEST_F(AreaForm, RegressionOnlyAnExplicitNoDiscardsTheLog) {
    for (const MsgAnswer answer : {MsgAnswer::Cancel, MsgAnswer::Yes}) {
        auto form = open();
        const QString file = form->logFileName();
        state.log->AddLine("kept report");
        ASSERT_TRUE(state.log->SaveFile(file));
        prompter.queueMessage(answer);
        form->Form_Unload();
        EXPECT_TRUE(QFileInfo::exists(file));
        EXPECT_EQ(own("TempLogName"), file);
        EXPECT_TRUE(logText(*state.log).contains("kept report"));
    }
}

TEST_F(AreaForm, DiscardingTheLogDeletesItsFileAndClearsIt) {
    auto form = open();
    const QString file = form->logFileName();
    state.log->AddLine("old report");
    ASSERT_TRUE(state.log->SaveFile(file));
    prompter.queueMessage(MsgAnswer::No);
    form->Form_Unload();
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(logText(*state.log), "Report Log\n");
    EXPECT_EQ(own("TempLogName"), "");
}

TEST_F(AreaForm, AMissingLogFileIsReplacedByANewOne) {
    store.save("Verdan", "Verdan", "TempLogName", QDir::tempPath() + "/no-such-verdan-log.rtf");
    auto form = open();
    EXPECT_NE(form->logFileName(), QDir::tempPath() + "/no-such-verdan-log.rtf");
    EXPECT_TRUE(QFileInfo::exists(form->logFileName()));
    EXPECT_FALSE(form->mnuReportView().enabled);
}

TEST_F(AreaForm, AnEmptyLogFileNotWrittenYetIsTakenOver) {
    auto first = open();
    const QString file = first->logFileName();
    prompter.queueMessage(MsgAnswer::Yes);
    first->Form_Unload();
    auto form = open();
    EXPECT_EQ(form->logFileName(), file);
    EXPECT_TRUE(form->cmdReport().enabled);
}

// Regression: a stored log name that names some other file must not lead to that file being
// overwritten by the next run or deleted when the log is discarded.
TEST_F(AreaForm, RegressionAForeignFileNamedAsLogIsLeftUntouched) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString foreign = folder.path() + "/notes.txt";
    QFile file(foreign);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("my own notes\n");
    file.close();
    store.save("Verdan", "Verdan", "TempLogName", foreign);

    auto form = open();
    EXPECT_NE(form->logFileName(), foreign);
    prompter.queueMessage(MsgAnswer::No);
    form->Form_Unload();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "my own notes\n");
}

// ---- Runs ----

TEST_F(AreaForm, CalculateRunsTheTableEnablesTheCommandsAndShowsTheReport) {
    auto form = open();
    type(*form, "txtds1", "20");
    form->cmdCalc_Click();
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join('|').toStdString();
    EXPECT_TRUE(form->mnuReportView().enabled);
    EXPECT_TRUE(form->cmdReport().enabled);
    EXPECT_TRUE(form->mnuGraphView().enabled);
    EXPECT_TRUE(form->cmdGraph().enabled);
    EXPECT_TRUE(form->cmdSaveData().enabled);
    EXPECT_FALSE(form->cmdSaveData().visible);
    EXPECT_EQ(state.model.prop.mdp, 0);
    EXPECT_TRUE(state.area.valid);
    EXPECT_EQ(prompter.screensShown, QStringList{"FrmReport"});
    EXPECT_EQ(prompter.busyOnCount, prompter.busyOffCount);
    EXPECT_FALSE(prompter.busy);
    EXPECT_TRUE(logText(*state.log).contains("The Solvane of Radio Propagation in the Area Mode"));
    QFile saved(form->logFileName());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("Area Mode")) << "the log is saved after the run";
}

TEST_F(AreaForm, CalculateLeavesTheFocusedFieldFirstTheMenuDoesNot) {
    auto form = open();
    form->fieldGotFocus("txtFrq");
    form->setText("txtFrq", "25000");
    form->mnuReportRun_Click();
    EXPECT_TRUE(prompter.messages.empty()) << "the menu runs with the text as typed";
    EXPECT_EQ(form->text("txtFrq"), "25000");
    EXPECT_EQ(form->focusedField(), "txtFrq");
    EXPECT_TRUE(logText(*state.log).contains("Frequency  25000 MHz"));

    form->cmdCalc_Click();
    EXPECT_EQ(prompter.messageTexts(), QStringList{"Warning: Range Frequency <= 20000"});
    EXPECT_EQ(form->text("txtFrq"), "100");
    EXPECT_TRUE(form->focusedField().isEmpty());
    EXPECT_TRUE(logText(*state.log).contains("Frequency  100 MHz"));
}

TEST_F(AreaForm, TheRunReadsTheFrequencyShownInTheField) {
    store.save("Verdan", "Verdan", "Freq", "250");
    auto form = open();
    form->mnuReportRun_Click();
    EXPECT_TRUE(logText(*state.log).contains("Frequency  250 MHz"));
}

TEST_F(AreaForm, ARunRemembersTheIncrementForTheInitialDistance) {
    auto form = open();
    form->setText("txtds1", "30");
    form->mnuReportRun_Click();
    EXPECT_EQ(form->ds1Km(), 30);
    type(*form, "txtd0", "0");
    EXPECT_EQ(form->text("txtd0"), "30");
}

TEST_F(AreaForm, InverseRunEnablesTheReportButNotTheGraph) {
    auto form = open();
    form->mnuModeInverse_Click();
    form->setText("txtQC2", "0");
    form->mnuReportRun_Click();
    EXPECT_TRUE(form->mnuReportView().enabled);
    EXPECT_TRUE(form->cmdReport().enabled);
    EXPECT_FALSE(form->mnuGraphView().enabled);
    EXPECT_FALSE(form->cmdGraph().enabled);
    EXPECT_TRUE(form->cmdSaveData().enabled);
    EXPECT_EQ(state.model.prop.mdp, 0);
    EXPECT_FALSE(state.area.valid) << "an inverse run leaves the table alone";
    EXPECT_TRUE(logText(*state.log).contains("Dist (Km)"));
}

TEST_F(AreaForm, TooLargeAGridIsRefusedWithAMessage) {
    auto form = open();
    form->setText("txtds1", "0.001");
    form->setText("txtd1", "2000");
    const QString before = logText(*state.log);
    form->cmdCalc_Click();
    EXPECT_TRUE(prompter.screensShown.isEmpty()) << "the previous table is not shown as result";
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, tooManyRowsMessage());
    EXPECT_EQ(prompter.messages[0].title, "Verdan");
    EXPECT_TRUE(prompter.messages[0].text.contains("32768"));
    EXPECT_EQ(logText(*state.log), before);
    EXPECT_FALSE(form->cmdGraph().enabled);
    EXPECT_FALSE(form->cmdSaveData().enabled);
    EXPECT_FALSE(prompter.busy);
}

TEST_F(AreaForm, GraphAndArchiveRunTheirScreensWhenPluggedIn) {
    int graphs = 0;
    int saves = 0;
    FrmUAMModel::Extensions extensions;
    extensions.showGraph = [&](FrmUAMModel&) { ++graphs; };
    extensions.saveToArchive = [&](FrmUAMModel&) { ++saves; };
    FrmUAMModel form(state, store, prompter, info, model, forms, extensions);
    forms.area = &form;
    form.Form_Load();
    form.cmdGraph_Click();
    form.mnuGraphView_Click();
    form.cmdSaveData_Click();
    EXPECT_EQ(graphs, 2);
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(prompter.messages.empty());
}

} // namespace
