#include "FrmPtoPModel.h"

#include "FrmLinkBudgetModel.h"
#include "FrmListEditModel.h"
#include "ProfileFile.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

class PtoPForm : public ::testing::Test {
protected:
    PtoPForm() { info.dataFolder = QStringLiteral("/opt/verdan/share/verdan"); }

    std::unique_ptr<FrmPtoPModel> makeForm() {
        FrmPtoPModel::Openers openers;
        auto renderer = [this](const std::vector<float>& elevations, int w, int h) {
            ++pictures;
            lastPictureSize = QSize(w, h);
            return QByteArray("PNG") + QByteArray::number(static_cast<int>(elevations.size()));
        };
        return std::make_unique<FrmPtoPModel>(state, store, prompter, info, model, openers,
                                              renderer);
    }

    std::unique_ptr<FrmPtoPModel> loadedForm() {
        auto form = makeForm();
        form->Form_Load();
        return form;
    }

    QString stored(const QString& key) { return store.get("Verdan", "Verdan", key); }

    QString writeFile(const QString& name, const QByteArray& content) {
        EXPECT_TRUE(test::writeContent(dir.filePath(name), content));
        return dir.filePath(name);
    }

    QTemporaryDir dir;
    MemorySettingsStore store;
    ProgramState state;
    ScriptedPrompter prompter;
    AppInfo info;
    PropagationModel model{prompter};
    int pictures = 0;
    QSize lastPictureSize;
};

// ---- Value lists ----

// Adding keeps the shortest form, ignores zero, text and duplicates (compared as numbers)
// and refuses an eighth value even when it is a duplicate.
TEST_F(PtoPForm, AddingToAList) {
    auto form = loadedForm();
    for (const char* text : {"0", "abc", "10.0", "1e1", "95.50", "20"}) {
        form->setTxtNewVal(0, text);
        form->cmdAddToList_Click(0);
    }
    EXPECT_EQ(form->LstValues(0), QStringList({"1", "10", "50", "90", "99", "95.5", "20"}));
    EXPECT_TRUE(prompter.messages.empty());
    form->setTxtNewVal(0, "50");
    form->cmdAddToList_Click(0);
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_EQ(prompter.messages[0].text, "Error: Maximum of Seven Values");
    EXPECT_EQ(form->LstValues(0).size(), 7);
}

// Regression: the value lists and the decimal-degree path were forgotten when the form
// closed. Both come back, under Verdan's own keys, with the form's own settings; lists that a
// hand edit spoiled keep only the values a list can hold.
TEST_F(PtoPForm, RegressionListsAndTheDecimalPathAreRemembered) {
    {
        auto form = loadedForm();
        form->setLstValuesIndex(1, 0);
        form->cmdRemFromList_Click(1);
        form->setTxtNewVal(1, "95.5");
        form->cmdAddToList_Click(1);
        form->setTxtFrq("900");
        form->setTxtH1("30");
        form->optPol_Click(0);
        form->setCmbClim("Desert");
        state.path.coords[PathState::TxLatDeg_MM] = "4";
        state.path.TerrainSource = "GLOBE";
        state.path.TxLatDD = QStringLiteral(" 40.015");
        state.path.RxLonDD = QStringLiteral(" 105.5");
        state.path.CoordsInDD = true;
        prompter.queueMessage(MsgAnswer::Yes);
        form->Form_Unload();
    }
    EXPECT_EQ(stored("ConfidenceList"), "90 10 95.5");
    EXPECT_EQ(stored("ReliabilityList"), "1 10 50 90 99");
    EXPECT_EQ(stored("CoordsInDD"), "True");
    EXPECT_EQ(stored("Freq"), "900");
    EXPECT_EQ(stored("POLARIZATION"), "H");

    state = ProgramState{};
    auto form = loadedForm();
    EXPECT_EQ(form->LstValues(1), QStringList({"90", "10", "95.5"}));
    EXPECT_EQ(form->LstValues(0), QStringList({"1", "10", "50", "90", "99"}));
    EXPECT_EQ(state.path.TxLatDD, " 40.015");
    EXPECT_EQ(state.path.RxLonDD, " 105.5");
    EXPECT_TRUE(state.path.CoordsInDD);
    EXPECT_EQ(form->txtFrq(), "900");
    EXPECT_EQ(form->txtH1(), "30");
    EXPECT_EQ(form->optPol(), 0);
    EXPECT_EQ(form->cmbClim(), "Desert");
    EXPECT_EQ(form->lblDorvex(), "GLOBE");
    EXPECT_EQ(state.path.coords[PathState::TxLatDeg_MM], "4");

    store.save("Verdan", "Verdan", "ReliabilityList", "5 abc 5 0 120 1 2 3 4 6 7 8");
    store.save("Verdan", "Verdan", "ConfidenceList", "");
    state = ProgramState{};
    form = loadedForm();
    EXPECT_EQ(form->LstValues(0), QStringList({"5", "1", "2", "3", "4", "6", "7"}));
    EXPECT_EQ(form->LstValues(1), QStringList({"50", "90", "10"})) << "an empty list: defaults";
}

// ---- Range checks ----

// Each field typed out of range and left: a warning, then the field's replacement, selected.
TEST_F(PtoPForm, OutOfRangeWarnsThenPutsTheFixedText) {
    using Leave = QString (*)(FrmPtoPModel&, const QString&);
    const Leave frequency = [](FrmPtoPModel& f, const QString& t) {
        f.setTxtFrq(t);
        f.txtFrq_LostFocus();
        return f.txtFrq();
    };
    const Leave txHeight = [](FrmPtoPModel& f, const QString& t) {
        f.setTxtH1(t);
        f.txtH1_LostFocus();
        return f.txtH1();
    };
    const Leave percentage = [](FrmPtoPModel& f, const QString& t) {
        f.setTxtNewVal(1, t);
        f.txtNewVal_LostFocus(1);
        return f.txtNewVal(1);
    };
    const QString frequencyRange = "Warning: Valid Range is 20 <= Frequency <= 20000";
    const QString heightRange = "Warning: Valid Range is 0.5 <= Antenna Height <= 3000";
    const struct {
        Leave leave;
        const char* control;
        const char* typed;
        QString message;
        const char* replacement;
    } cases[] = {
        {frequency, "txtFrq", "25000", frequencyRange, "10000"},
        {frequency, "txtFrq", "19.9", frequencyRange, "10000"},
        {txHeight, "txtH1", "0.3", heightRange, "100"},
        {txHeight, "txtH1", "3001", heightRange, "100"},
        {percentage, "txtNewVal", "99.5", "Warning: Valid Range is 1 <= Percentage <= 99", "50"}};
    auto form = loadedForm();
    QString selected;
    QObject::connect(form.get(), &FrmPtoPModel::selectAllRequested,
                     [&selected](const QString& name) { selected = name; });
    for (const auto& c : cases) {
        prompter.messages.clear();
        EXPECT_EQ(c.leave(*form, c.typed), c.replacement) << c.control << ' ' << c.typed;
        EXPECT_EQ(prompter.messageTexts(), QStringList{c.message}) << c.control << ' ' << c.typed;
        EXPECT_EQ(selected, c.control);
    }
}

// ---- Profiles ----

// A loaded profile is ready, drawn and calculated. Link Budget...: told before any run; a
// threshold without a power is refused in a message box and the dialog stays open; a good
// entry appends the block and is remembered for next time.
TEST_F(PtoPForm, LoadedProfileIsCalculatedAndTheLinkBudgetAppendsItsBlock) {
    auto form = loadedForm();
    form->mnuReportLinkBudget_Click();
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_TRUE(prompter.messages[0].text.startsWith("Run the calculations first"));
    prompter.queueOpenFile(writeFile("p.pfl", "4,250\n100,110,120,115,105\n"));
    form->mnuFileLoadProfile_Click();
    ASSERT_EQ(prompter.messages.size(), 1U) << prompter.messages.back().text.toStdString();
    EXPECT_EQ(state.ProfilePoints, 5);
    EXPECT_TRUE(form->cmdEditProfileEnabled());
    EXPECT_EQ(form->picProfileElevations(), (std::vector<float>{100, 110, 120, 115, 105}));

    form->cmdCalc_Click();
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(lastPictureSize, QSize(520, 200));
    EXPECT_TRUE(form->cmdReportEnabled());
    EXPECT_TRUE(prompter.screensShown.contains("FrmReport"));
    EXPECT_TRUE(
        state.log->document().plainText().contains("Profile File: " + dir.filePath("p.pfl")));
    EXPECT_GT(QFileInfo(form->logFileName()).size(), 0);
    const auto entry = [](ScreenModel& screen) {
        auto& dialog = static_cast<FrmLinkBudgetModel&>(screen);
        dialog.group().setText(LinkBudgetModel::txtThreshold, "-90");
        dialog.cmdOK_Click();
        EXPECT_FALSE(dialog.closeRequested());
        dialog.group().setText(LinkBudgetModel::txtPower, "10");
        dialog.group().setText(LinkBudgetModel::txtRxGain, "3");
        dialog.cmdOK_Click();
        EXPECT_TRUE(dialog.closeRequested());
    };
    prompter.queueModal("frmLinkBudget", entry);
    form->mnuReportLinkBudget_Click();
    ASSERT_EQ(prompter.messages.size(), 2U);
    EXPECT_TRUE(prompter.messages[1].text.startsWith("Transmitter power:"));
    const QString text = state.log->document().plainText();
    EXPECT_TRUE(text.contains("Transmitter power 40.00 dBm, line loss 0.00 dB"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Threshold -90.0 dBm"));
    EXPECT_TRUE(text.contains("along the path"));

    prompter.queueModal("frmLinkBudget", [](ScreenModel& screen) {
        auto& dialog = static_cast<FrmLinkBudgetModel&>(screen);
        EXPECT_EQ(dialog.group().text(LinkBudgetModel::txtPower), "10");
        dialog.cmdCancel_Click();
    });
    form->mnuReportLinkBudget_Click();
    EXPECT_EQ(state.log->document().plainText(), text);
}

// The editor's OK changes heights only and Cancel nothing; Save Profile writes the edited
// profile in the model's layout and refuses when none is loaded.
TEST_F(PtoPForm, EditedProfileIsSavedInTheModelLayout) {
    auto form = loadedForm();
    form->mnuFileSaveProfile_Click();
    EXPECT_EQ(prompter.messages.at(0).text, "No profile is loaded.");
    state.path.pfl = {2, 30, 1, 2, 3};
    state.path.ProfileReady = true;
    prompter.queueModal("frmListEdit", [](ScreenModel& screen) {
        auto& editor = static_cast<FrmListEditModel&>(screen);
        EXPECT_EQ(editor.cellValue(3, 1), 60);
        // Regression: the distance column took edits and threw them away.
        EXPECT_FALSE(editor.columnEditable(1));
        EXPECT_FALSE(editor.setCellText(2, 1, "999"));
        EXPECT_EQ(editor.cellText(2, 1), "30.000");
        EXPECT_TRUE(editor.setCellText(2, 2, "20"));
        editor.closeBoxClicked();
    });
    form->cmdEditProfile_Click();
    EXPECT_EQ(form->picProfileElevations(), (std::vector<float>{1, 20, 3}));
    prompter.queueModal("frmListEdit", [](ScreenModel& screen) {
        auto& editor = static_cast<FrmListEditModel&>(screen);
        editor.setCellText(1, 2, "500");
        editor.cmdCancel_Click();
    });
    form->cmdEditProfile_Click();
    EXPECT_EQ(state.path.pfl, (std::vector<double>{2, 30, 1, 20, 3}));

    prompter.queueSaveFile(dir.filePath("out.pfl"));
    form->mnuFileSaveProfile_Click();
    std::vector<double> back;
    QString error;
    ASSERT_TRUE(readProfileFile(dir.filePath("out.pfl"), back, error)) << error.toStdString();
    EXPECT_EQ(back, (std::vector<double>{2, 30, 1, 20, 3}));
}

// Regression: Escape (or the close box) on "Retain Output Log?" deleted the whole log.
TEST_F(PtoPForm, RegressionEscapeOnRetainOutputLogKeepsTheLog) {
    auto form = loadedForm();
    state.log->AddLine("kept report");
    ASSERT_TRUE(state.log->SaveFile(form->logFileName()));
    prompter.queueMessage(MsgAnswer::Cancel);
    form->Form_Unload();
    EXPECT_TRUE(QFileInfo::exists(form->logFileName()));
    EXPECT_TRUE(state.log->document().plainText().contains("kept report"));
    EXPECT_EQ(stored("TempLogName"), form->logFileName());
}

// Regression: after a failed extraction Edit Profile stayed enabled on the old profile.
TEST_F(PtoPForm, RegressionAFailedExtractionDisablesEditAndClearsThePicture) {
    bool extracts = true;
    FrmPtoPModel::Openers openers;
    openers.pathCoordinates = [this, &extracts] {
        state.path.pfl = {2, 30, 1, 2, 3};
        state.path.ProfileReady = extracts;
    };
    FrmPtoPModel form(state, store, prompter, info, model, openers, {});
    form.Form_Load();
    form.cmdProfile_Click();
    EXPECT_TRUE(form.cmdEditProfileEnabled());
    EXPECT_FALSE(form.picProfileShowsBackground());
    extracts = false;
    form.cmdProfile_Click();
    EXPECT_FALSE(form.cmdEditProfileEnabled());
    EXPECT_TRUE(form.picProfileShowsBackground());
    EXPECT_TRUE(form.picProfileElevations().empty());
}

} // namespace
