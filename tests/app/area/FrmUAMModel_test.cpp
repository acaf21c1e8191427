#include "AreaCalculation.h"
#include "AreaOnlyForms.h"
#include "FrmUAMModel.h"
#include "ModeFormHost.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

struct AreaForm : ::testing::Test {
    std::unique_ptr<FrmUAMModel> open() {
        auto form = std::make_unique<FrmUAMModel>(state, store, prompter, info, model, forms);
        forms.area = form.get();
        form->Form_Load();
        return form;
    }

    /// The user enters `name`, types `text` and leaves the field.
    static void type(FrmUAMModel& form, const QString& name, const QString& text) {
        form.fieldGotFocus(name);
        form.setText(name, text);
        form.fieldLostFocus();
    }

    QString own(const QString& key) { return store.get("Verdan", "Verdan", key); }

    MemorySettingsStore store;
    ScriptedPrompter prompter;
    ProgramState state;
    AppInfo info;
    PropagationModel model{prompter};
    test::AreaOnlyForms forms;
};

// ---- Leaving the fields ----

// Leaving a field normalises its text to the leading number, then checks its range: out of
// range warns (with the normalised text still shown) and puts the field's replacement.
TEST_F(AreaForm, LeavingAFieldNormalisesAndChecksItsRange) {
    const struct {
        const char* field;
        const char* typed;
        const char* message; // empty: no warning
        const char* shown;
    } cases[] = {
        {"txtFrq", "25000.0", "Warning: Range Frequency <= 20000", "100"},
        {"txtFrq", "12", "Warning: Range 20 <= Frequency", "100"},
        {"txtFrq", "20000.00", "", "20000"},
        {"txtH1", "0.2", "Warning: Range 0.5 <= Antenna Height", "10"},
        {"txtH1", "0.5", "", "0.5"},
        {"txtH2", "5000", "Warning: Range Antenna Height <= 3000", "10"},
        {"txtQT", "100", "Warning: Valid Range is 0.1 <= Percent Time <= 99.9", "0.5"},
        {"txtQT", "0.1", "", "0.1"},
        {"txtQL", "0", "Warning: Valid Range is 0.1 <= Percent Location <= 99.9", "0.5"},
        {"txtQL", "99.90", "", "99.9"},
        {"txtQC2", "100", "Warning: Valid Range is 0 <= Confidence Level 2 <= 99.9", "0"},
        {"txtQC3", "-1", "Warning: Valid Range is 0 <= Confidence Level 3 <= 99.9", "0"},
        {"txtQC3", "99.9", "", "99.9"},
        {"txtsgm", "0.0050", "", "0.005"},
        {"txteps", " 1 5x", "", "15"},
        {"txtdBLossLevel", "130.50 dB", "", "130.50 dB"},
    };
    auto form = open();
    for (const auto& c : cases) {
        prompter.messages.clear();
        type(*form, c.field, c.typed);
        EXPECT_EQ(prompter.messageTexts().join('|'), c.message) << c.field << " " << c.typed;
        EXPECT_EQ(form->text(c.field), c.shown) << c.field << " " << c.typed;
    }
    QStringList shownAtMessage;
    prompter.messageShown = [&](const auto&) { shownAtMessage << form->text("txtFrq"); };
    type(*form, "txtFrq", "25000.0");
    EXPECT_EQ(shownAtMessage, QStringList{"25000"}) << "normalised before the check";
}

// ---- Modes ----

// ---- Opening the pick-lists ----

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
    EXPECT_EQ(store.get(kethra, global, "TxFreq_MHz"), "1800");
    EXPECT_EQ(store.get(kethra, global, "TxPolar_HV"), "V");
    EXPECT_EQ(store.get(kethra, global, "TxLoss_dB"), "3.5") << "passed through unchanged";
    EXPECT_EQ(store.get(kethra, global, "CalledFromKethra"), "False");
    EXPECT_EQ(own("TxHt"), "60") << "own settings are written too";
}

// ---- The report log file ----

// Regression: a stored log name that names some other file must not lead to that file being
// overwritten by the next run or deleted when the log is discarded.
TEST_F(AreaForm, RegressionAForeignFileNamedAsLogIsLeftUntouched) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString foreign = folder.path() + "/notes.txt";
    ASSERT_TRUE(test::writeContent(foreign, "my own notes\n"));
    store.save("Verdan", "Verdan", "TempLogName", foreign);

    auto form = open();
    EXPECT_NE(form->logFileName(), foreign);
    prompter.queueMessage(MsgAnswer::No);
    form->Form_Unload();
    EXPECT_EQ(test::fileContent(foreign), "my own notes\n");
}

// ---- Runs ----

// Regression: Report > Run Calculations (and a click on a button that takes no focus) ran with
// the focused field's unchecked text (5 MHz). The focused field is checked first: a field
// out of range shows its message and stops the command, one in range lets it go on.
TEST_F(AreaForm, RegressionCommandsCheckTheFocusedFieldFirst) {
    const std::pair<const char*, std::function<bool(FrmUAMModel&)>> commands[] = {
        {"Run Calculations", [](FrmUAMModel& f) { return f.mnuReportRun_Click(); }},
        {"Calculate",
         [this](FrmUAMModel& f) {
             const auto before = prompter.screensShown.size();
             f.cmdCalc_Click();
             return prompter.screensShown.size() > before;
         }},
    };
    for (const auto& [command, run] : commands) {
        SCOPED_TRACE(command);
        auto form = open();
        prompter.messages.clear();
        form->fieldGotFocus("txtFrq");
        form->setText("txtFrq", "5");
        EXPECT_FALSE(run(*form));
        EXPECT_EQ(prompter.messageTexts(), QStringList{"Warning: Range 20 <= Frequency"});
        EXPECT_FALSE(state.area.valid) << "nothing ran";
        EXPECT_EQ(form->text("txtFrq"), "100");
        EXPECT_EQ(form->focusedField(), "txtFrq") << "the field keeps the focus";

        form->setText("txtFrq", "450abc");
        EXPECT_TRUE(run(*form));
        EXPECT_EQ(prompter.messages.size(), 1U) << "no second message";
        EXPECT_EQ(form->text("txtFrq"), "450");
        EXPECT_TRUE(state.area.graphTitle1.contains("450")) << state.area.graphTitle1.toStdString();
        state.area = AreaResults{};
    }
}

// Regression: an inverse run enabled Save again, which then stored the earlier normal run's
// table as if it were the inverse run's.
TEST_F(AreaForm, RegressionSaveStaysDisabledAfterAnInverseRunAsViewGraphDoes) {
    auto form = open();
    form->cmdCalc_Click();
    ASSERT_TRUE(form->cmdSaveData().enabled);
    form->mnuModeInverse_Click();
    EXPECT_FALSE(form->cmdSaveData().enabled) << "switching to inverse mode";
    ASSERT_TRUE(form->mnuReportRun_Click());
    EXPECT_FALSE(form->cmdSaveData().enabled) << "after the inverse run";
    EXPECT_FALSE(form->cmdGraph().enabled);
    EXPECT_TRUE(form->cmdReport().enabled);
}

TEST_F(AreaForm, FirstOpeningOffersNoResultsUntilCalculateRunsTheTableAndShowsTheReport) {
    auto form = open();
    EXPECT_EQ(form->text("txtQC4"), "0.0") << "three confidence levels";
    EXPECT_FALSE(form->cmdReport().enabled);
    EXPECT_FALSE(form->cmdGraph().enabled);
    EXPECT_FALSE(form->cmdSaveData().enabled);
    EXPECT_TRUE(QFileInfo::exists(form->logFileName())) << "a new temporary file";
    EXPECT_EQ(state.model.prop.mdp, 1);

    type(*form, "txtds1", "20");
    form->cmdCalc_Click();
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join('|').toStdString();
    EXPECT_TRUE(form->cmdGraph().enabled);
    EXPECT_TRUE(form->cmdSaveData().enabled);
    EXPECT_EQ(state.model.prop.mdp, 0);
    EXPECT_TRUE(state.area.valid);
    EXPECT_EQ(prompter.screensShown, QStringList{"FrmReport"});
    EXPECT_EQ(prompter.busyOnCount, prompter.busyOffCount);
    EXPECT_FALSE(prompter.busy);
    EXPECT_TRUE(state.log->document().plainText().contains(
        "The Solvane of Radio Propagation in the Area Mode"));
    QFile saved(form->logFileName());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("Area Mode")) << "the log is saved after the run";
}

// Regression: Escape (or the close box) on "Retain Output Log?" deleted the whole log. A
// retained log is read again by the next opening.
TEST_F(AreaForm, RegressionOnlyAnExplicitNoDiscardsTheLog) {
    for (const MsgAnswer answer : {MsgAnswer::Cancel, MsgAnswer::Yes}) {
        auto form = open();
        const QString file = form->logFileName();
        state.log->AddLine("kept report");
        ASSERT_TRUE(state.log->SaveFile(file));
        prompter.queueMessage(answer);
        form->Form_Unload();
        EXPECT_EQ(own("TempLogName"), file);
        state.log.reset();
        auto reopened = open();
        EXPECT_EQ(reopened->logFileName(), file);
        EXPECT_TRUE(reopened->cmdReport().enabled);
        EXPECT_TRUE(state.log->document().plainText().contains("kept report"));
    }
}

// ---- The mode form host ----

// Regression: a form loaded hidden by a pick-list made a log file that stayed behind.
TEST_F(AreaForm, RegressionNoLogFileButTheRetainedOneIsLeftAtTheEnd) {
    ModeFormHost host{state, store, prompter, info, model};
    QString hiddenFile;
    prompter.queueModal("frmPtoP", [&](ScreenModel&) {
        host.areaForm().setFieldText("txtNs", "320");
        hiddenFile = host.loadedAreaForm()->logFileName();
    });
    prompter.queueMessage(MsgAnswer::Yes);
    host.openPointToPoint();
    const QString retained = own("TempLogName");
    ASSERT_FALSE(retained.isEmpty());
    ASSERT_TRUE(QFileInfo::exists(hiddenFile));
    host.removeUnretainedLogFiles();
    EXPECT_FALSE(QFileInfo::exists(hiddenFile));
    EXPECT_TRUE(QFileInfo::exists(retained));
}

} // namespace
