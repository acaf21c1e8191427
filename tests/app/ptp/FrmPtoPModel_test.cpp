#include "FrmPtoPModel.h"

#include "FrmListEditModel.h"
#include "ProfileFile.h"
#include "ScriptedPrompter.h"

#include <QFile>
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
        openers.groundConstants = [this](const GroundConstantsRequest& request) {
            groundRequests.push_back(request);
        };
        openers.surfaceRefractivity = [this] { ++surfRefOpened; };
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
    QString kethra(const QString& key) {
        return store.get("Ombrel_Kethra", "Global Parameters", key);
    }

    QString writeFile(const QString& name, const QByteArray& content) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }

    QTemporaryDir dir;
    MemorySettingsStore store;
    ProgramState state;
    ScriptedPrompter prompter;
    AppInfo info;
    PropagationModel model{prompter};
    std::vector<GroundConstantsRequest> groundRequests;
    int surfRefOpened = 0;
    int pictures = 0;
    QSize lastPictureSize;
};

TEST_F(PtoPForm, FirstOpeningWithAnEmptyStore) {
    auto form = loadedForm();
    EXPECT_EQ(form->caption(), "Verdan Point-To-Point Mode  (Globe Terrain Handler)");
    EXPECT_EQ(form->txtFrq(), "20.0");
    EXPECT_EQ(form->txtH1(), "3.3");
    EXPECT_EQ(form->txtH2(), "1.3");
    EXPECT_EQ(form->txteps(), "15.0");
    EXPECT_EQ(form->txtsgm(), "0.001");
    EXPECT_EQ(form->txtns(), "301");
    EXPECT_EQ(form->optPol(), 1);
    EXPECT_EQ(form->cmbClim(), "Continental Temperate");
    EXPECT_EQ(form->txtNewVal(0), "99.0");
    EXPECT_EQ(form->LstValues(0), QStringList({"1", "10", "50", "90", "99"}));
    EXPECT_EQ(form->LstValues(1), QStringList({"50", "90", "10"}));
    EXPECT_TRUE(form->cmdRemFromListEnabled(0));
    EXPECT_TRUE(form->cmdRemFromListEnabled(1));
    EXPECT_EQ(form->lblDorvex(), "Quarn");
    EXPECT_FALSE(form->cmdEditProfileEnabled());
    EXPECT_FALSE(form->cmdReportEnabled());
    EXPECT_FALSE(form->mnuReportViewEnabled());
    EXPECT_TRUE(form->picProfileShowsBackground());
    EXPECT_EQ(form->backgroundPicturePath(), "/opt/verdan/share/verdan/pback.jpg");
    EXPECT_FALSE(state.path.ProfileReady);
    EXPECT_EQ(state.path.pfl.size(), 803U);
    EXPECT_EQ(state.path.GlobePath, "C:\\Projects\\Globe\\");
    EXPECT_EQ(state.path.QuarnDrive, 1);
    ASSERT_TRUE(state.log);
    EXPECT_EQ(state.log->Title(), "Report Log");
    EXPECT_TRUE(QFileInfo::exists(form->logFileName()));
}

// ---- Value lists ----

TEST_F(PtoPForm, AddingAppendsTheShortestFormAndEnablesRemove) {
    auto form = loadedForm();
    form->setTxtNewVal(0, "95.50");
    form->cmdAddToList_Click(0);
    EXPECT_EQ(form->txtNewVal(0), "95.5");
    EXPECT_EQ(form->LstValues(0).last(), "95.5");
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(PtoPForm, AddingZeroOrTextChangesNothingAndSaysNothing) {
    auto form = loadedForm();
    for (const char* text : {"0", "abc", ""}) {
        form->setTxtNewVal(1, text);
        form->cmdAddToList_Click(1);
        EXPECT_EQ(form->txtNewVal(1), "0");
    }
    EXPECT_EQ(form->LstValues(1), QStringList({"50", "90", "10"}));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(PtoPForm, DuplicatesAreComparedAsNumbers) {
    auto form = loadedForm();
    for (const char* text : {"50", "50.0", "5e1"}) {
        form->setTxtNewVal(1, text);
        form->cmdAddToList_Click(1);
    }
    EXPECT_EQ(form->LstValues(1), QStringList({"50", "90", "10"}));
}

TEST_F(PtoPForm, EighthValueIsRefusedEvenWhenItIsADuplicate) {
    auto form = loadedForm();
    for (const char* text : {"20", "30"}) {
        form->setTxtNewVal(0, text);
        form->cmdAddToList_Click(0);
    }
    ASSERT_EQ(form->LstValues(0).size(), 7);
    form->setTxtNewVal(0, "50");
    form->cmdAddToList_Click(0);
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_EQ(prompter.messages[0].text, "Error: Maximum of Seven Values");
    EXPECT_EQ(prompter.messages[0].title, "Add Item");
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(form->LstValues(0).size(), 7);
}

TEST_F(PtoPForm, RemoveTakesTheSelectedItemOnly) {
    auto form = loadedForm();
    form->cmdRemFromList_Click(1);
    EXPECT_EQ(form->LstValues(1).size(), 3);
    EXPECT_TRUE(form->cmdRemFromListEnabled(1));
    form->setLstValuesIndex(1, 1);
    form->cmdRemFromList_Click(1);
    EXPECT_EQ(form->LstValues(1), QStringList({"50", "10"}));
    for (int k = 0; k < 2; ++k) {
        form->setLstValuesIndex(1, 0);
        form->cmdRemFromList_Click(1);
    }
    EXPECT_TRUE(form->LstValues(1).isEmpty());
    EXPECT_FALSE(form->cmdRemFromListEnabled(1));
}

// ---- Range checks ----

struct RangeCase {
    const char* name;
    const char* control;
    const char* typed;
    const char* message;
    const char* title;
    const char* replacement;
};

class PtoPRange : public PtoPForm, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(PtoPRange, OutOfRangeWarnsThenPutsTheFixedText) {
    auto form = loadedForm();
    const RangeCase& c = GetParam();
    const QString control = c.control;
    QString selected;
    QObject::connect(form.get(), &FrmPtoPModel::selectAllRequested,
                     [&selected](const QString& name) { selected = name; });
    QString result;
    if (control == "txtFrq") {
        form->setTxtFrq(c.typed);
        form->txtFrq_LostFocus();
        result = form->txtFrq();
    } else if (control == "txtH1") {
        form->setTxtH1(c.typed);
        form->txtH1_LostFocus();
        result = form->txtH1();
    } else if (control == "txtH2") {
        form->setTxtH2(c.typed);
        form->txtH2_LostFocus();
        result = form->txtH2();
    } else {
        form->setTxtNewVal(1, c.typed);
        form->txtNewVal_LostFocus(1);
        result = form->txtNewVal(1);
    }
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_EQ(prompter.messages[0].text, c.message);
    EXPECT_EQ(prompter.messages[0].title, c.title);
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(result, c.replacement);
    EXPECT_EQ(selected, control);
}

INSTANTIATE_TEST_SUITE_P(
    PtoPForm, PtoPRange,
    ::testing::Values(
        RangeCase{"frequency_high", "txtFrq", "25000",
                  "Warning: Valid Range is 20 <= Frequency <= 20000", "Frequency", "10000"},
        RangeCase{"frequency_low", "txtFrq", "19.9",
                  "Warning: Valid Range is 20 <= Frequency <= 20000", "Frequency", "10000"},
        RangeCase{"tx_height", "txtH1", "0.3",
                  "Warning: Valid Range is 0.5 <= Antenna Height <= 3000", "Antenna Height", "100"},
        RangeCase{"rx_height", "txtH2", "3001",
                  "Warning: Valid Range is 0.5 <= Antenna Height <= 3000", "Antenna Height", "10"},
        RangeCase{"percentage", "txtNewVal", "99.5",
                  "Warning: Valid Range is 1 <= Percentage <= 99", "Percentage", "50"}),
    [](const ::testing::TestParamInfo<RangeCase>& info) { return info.param.name; });

TEST_F(PtoPForm, InRangeValuesKeepTheirText) {
    auto form = loadedForm();
    form->setTxtFrq("20000");
    form->txtFrq_LostFocus();
    form->setTxtH1("0.5");
    form->txtH1_LostFocus();
    EXPECT_EQ(form->txtFrq(), "20000");
    EXPECT_EQ(form->txtH1(), "0.5");
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(PtoPForm, GroundAndRefractivityFieldsAreNormalised) {
    auto form = loadedForm();
    form->txteps_LostFocus();
    EXPECT_EQ(form->txteps(), "15");
    form->setTxtns("abc");
    form->txtns_LostFocus();
    EXPECT_EQ(form->txtns(), "0");
    form->setTxtsgm("0.0050");
    form->txtsgm_LostFocus();
    EXPECT_EQ(form->txtsgm(), "0.005");
    EXPECT_TRUE(prompter.messages.empty());
}

// ---- Pick-lists ----

TEST_F(PtoPForm, PickListButtonsOpenTheirListsWithTheFormsTexts) {
    auto form = loadedForm();
    form->cmdconduct_Click();
    form->cmddielect_Click();
    form->cmdSurfRef_Click();
    ASSERT_EQ(groundRequests.size(), 2U);
    EXPECT_EQ(groundRequests[0].target, "txtsgm");
    EXPECT_EQ(groundRequests[0].caption, "Conductivity of Ground");
    EXPECT_EQ(groundRequests[0].options,
              QStringList({"Average Ground   0.005", "Poor Ground   0.001", "Good Ground   0.020",
                           "Fresh Water   0.010", "Sea Water     5.0  "}));
    EXPECT_EQ(groundRequests[1].target, "txteps");
    EXPECT_EQ(groundRequests[1].caption, "Dielectric Constant of Ground");
    EXPECT_EQ(groundRequests[1].options,
              QStringList({"Average Ground      15", "Poor Ground       4", "Good Ground      25",
                           "Fresh Water      81", "Sea Water        81"}));
    EXPECT_EQ(surfRefOpened, 1);
}

TEST_F(PtoPForm, PickListsWriteTheirFields) {
    auto form = loadedForm();
    form->setFieldText("txtsgm", "5");
    form->setFieldText("txteps", "81");
    form->setFieldText("txtns", "350");
    form->setFieldText("txtDH", "90");
    EXPECT_EQ(form->txtsgm(), "5");
    EXPECT_EQ(form->txteps(), "81");
    EXPECT_EQ(form->txtns(), "350");
}

// ---- Settings and the Kethra set ----

TEST_F(PtoPForm, OwnSettingsRoundTrip) {
    {
        auto form = loadedForm();
        form->setTxtFrq("900");
        form->setTxtH1("30");
        form->optPol_Click(0);
        form->setCmbClim("Desert");
        state.path.coords[PathState::TxLatDeg_MM] = "4";
        state.path.TerrainSource = "GLOBE";
        prompter.queueMessage(MsgAnswer::Yes);
        form->Form_Unload();
    }
    EXPECT_EQ(stored("Freq"), "900");
    EXPECT_EQ(stored("POLARIZATION"), "H");
    EXPECT_EQ(stored("RadClim"), "Desert");
    EXPECT_EQ(stored("TxLatDeg_MM"), "4");
    EXPECT_EQ(stored("Dorvex"), "GLOBE");
    EXPECT_EQ(stored("Quarn_Drive"), "1");
    EXPECT_EQ(stored("GlobePath"), "C:\\Projects\\Globe\\");
    state.path = PathState();
    auto again = loadedForm();
    EXPECT_EQ(again->txtFrq(), "900");
    EXPECT_EQ(again->txtH1(), "30");
    EXPECT_EQ(again->optPol(), 0);
    EXPECT_EQ(again->cmbClim(), "Desert");
    EXPECT_EQ(again->lblDorvex(), "GLOBE");
    EXPECT_EQ(state.path.coords[PathState::TxLatDeg_MM], "4");
    EXPECT_TRUE(again->mnuReportViewEnabled());
}

TEST_F(PtoPForm, KethraSetIsReadAndWrittenUnderTheSharedNames) {
    {
        Registry kethraProgram(store);
        kethraProgram.setKethraActive(true);
        kethraProgram.setKethraGlobal("TxHt_m", 45.5);
        kethraProgram.setKethraGlobal("TxFreq_MHz", 1800);
        kethraProgram.setKethraGlobal("TxLatMin_MM", "12");
        kethraProgram.setKethraGlobal("RxLonSec_SS", "33");
        kethraProgram.setKethraGlobal("TxPolar_HV", "H");
        kethraProgram.setKethraGlobal("Dorvex", "GLOBE");
        kethraProgram.SaveKethraGlobals();
    }
    auto form = loadedForm();
    EXPECT_TRUE(form->kethraFlag());
    EXPECT_EQ(form->txtH1(), "45.5");
    EXPECT_EQ(form->txtFrq(), "1800");
    EXPECT_EQ(form->optPol(), 0);
    EXPECT_EQ(state.path.coords[PathState::TxLatDeg_MM], "12");
    EXPECT_EQ(state.path.coords[PathState::RxLonDeg_SS], "33");
    EXPECT_EQ(state.path.TerrainSource, "GLOBE");
    EXPECT_EQ(state.path.GlobePath, "C:\\Projects\\Globe\\");

    form->setTxtH2("7.5");
    state.path.coords[PathState::TxLatDeg_SS] = "59";
    prompter.queueMessage(MsgAnswer::Yes);
    form->Form_Unload();
    EXPECT_EQ(kethra("RxHt_m"), "7.5");
    EXPECT_EQ(kethra("TxLatMin_MM"), "12");
    EXPECT_EQ(kethra("TxLatSec_SS"), "59");
    EXPECT_EQ(kethra("RxLonSec_SS"), "33");
    EXPECT_EQ(kethra("TxPolar_HV"), "H");
    EXPECT_TRUE(kethra("TxLatDeg_MM").isEmpty());
}

TEST_F(PtoPForm, RetainOutputLogNoDeletesTheFileAndClearsTheLog) {
    auto form = loadedForm();
    state.log->AddLine("old report");
    ASSERT_TRUE(state.log->SaveFile(form->logFileName()));
    prompter.queueMessage(MsgAnswer::No);
    form->Form_Unload();
    EXPECT_EQ(prompter.messages.back().text, "Retain Output Log?");
    EXPECT_EQ(prompter.messages.back().title, "Output Log");
    EXPECT_EQ(prompter.messages.back().buttons, MsgButtons::YesNo);
    EXPECT_FALSE(QFileInfo::exists(form->logFileName()));
    EXPECT_FALSE(state.log->document().plainText().contains("old report"));
    EXPECT_EQ(stored("TempLogName"), "");
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

// ---- Profiles ----

TEST_F(PtoPForm, PathCoordinatesPlaceholderKeepsTheBackground) {
    auto form = loadedForm();
    form->cmdProfile_Click();
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_TRUE(prompter.messages[0].text.startsWith("Path coordinates and terrain extraction"));
    EXPECT_EQ(prompter.messages[0].title, "Verdan");
    EXPECT_TRUE(form->picProfileShowsBackground());
    EXPECT_FALSE(form->cmdEditProfileEnabled());
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

TEST_F(PtoPForm, CalculateWithoutTerrainShowsNoTerrainSelectedAndNoReport) {
    auto form = loadedForm();
    form->cmdCalc_Click();
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_EQ(prompter.messages[0].text, "No Terrain Selected");
    EXPECT_FALSE(prompter.screensShown.contains("FrmReport"));
    EXPECT_FALSE(form->cmdReportEnabled());
}

TEST_F(PtoPForm, LoadedProfileIsReadyDrawnAndCalculated) {
    auto form = loadedForm();
    prompter.queueOpenFile(writeFile("p.pfl", "4,250\n100,110,120,115,105\n"));
    form->mnuFileLoadProfile_Click();
    ASSERT_TRUE(prompter.messages.empty()) << prompter.messages[0].text.toStdString();
    EXPECT_TRUE(state.path.ProfileReady);
    EXPECT_EQ(state.ProfilePoints, 5);
    EXPECT_TRUE(form->cmdEditProfileEnabled());
    EXPECT_FALSE(form->picProfileShowsBackground());
    EXPECT_EQ(form->picProfileElevations(), (std::vector<float>{100, 110, 120, 115, 105}));

    form->cmdCalc_Click();
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(lastPictureSize, QSize(520, 200));
    EXPECT_TRUE(form->cmdReportEnabled());
    EXPECT_TRUE(form->mnuReportViewEnabled());
    EXPECT_TRUE(prompter.screensShown.contains("FrmReport"));
    const QString text = state.log->document().plainText();
    EXPECT_TRUE(text.contains("Distance 1.0 km"));
    EXPECT_TRUE(text.contains("Free Space Value"));
    EXPECT_TRUE(text.contains("Profile File: " + dir.filePath("p.pfl")));
    EXPECT_FALSE(text.contains("Coordinates: "));
    EXPECT_GT(QFileInfo(form->logFileName()).size(), 0);
}

TEST_F(PtoPForm, MalformedProfileFileIsRefusedAndTheProfileKept) {
    auto form = loadedForm();
    prompter.queueOpenFile(writeFile("good.pfl", "1,100,5,6"));
    form->mnuFileLoadProfile_Click();
    prompter.queueOpenFile(writeFile("bad.pfl", "3,100,5,6"));
    form->mnuFileLoadProfile_Click();
    ASSERT_EQ(prompter.messages.size(), 1U);
    EXPECT_TRUE(prompter.messages[0].text.contains("elevations"));
    EXPECT_EQ(prompter.messages[0].title, "Load Profile");
    EXPECT_EQ(state.path.pfl, (std::vector<double>{1, 100, 5, 6}));
}

TEST_F(PtoPForm, SaveProfileWritesTheModelLayout) {
    auto form = loadedForm();
    form->mnuFileSaveProfile_Click();
    EXPECT_EQ(prompter.messages.at(0).text, "No profile is loaded.");
    state.path.pfl = {2, 30, 1, 2, 3};
    state.path.ProfileReady = true;
    const QString target = dir.filePath("out.pfl");
    prompter.queueSaveFile(target);
    form->mnuFileSaveProfile_Click();
    std::vector<double> back;
    QString error;
    ASSERT_TRUE(readProfileFile(target, back, error)) << error.toStdString();
    EXPECT_EQ(back, state.path.pfl);
}

TEST_F(PtoPForm, EditorOkChangesHeightsOnlyAndCancelNothing) {
    auto form = loadedForm();
    state.path.pfl = {2, 30, 1, 2, 3};
    state.path.ProfileReady = true;
    prompter.queueModal("frmListEdit", [](ScreenModel& screen) {
        auto& editor = static_cast<FrmListEditModel&>(screen);
        EXPECT_EQ(editor.caption(), "Profile Points");
        EXPECT_EQ(editor.heading(1), "Dist(m)");
        EXPECT_EQ(editor.heading(2), "Height(m)");
        EXPECT_EQ(editor.cellValue(3, 1), 60);
        editor.setCellText(2, 1, "999");
        editor.setCellText(2, 2, "20");
        editor.closeBoxClicked();
    });
    form->cmdEditProfile_Click();
    EXPECT_EQ(state.path.pfl, (std::vector<double>{2, 30, 1, 20, 3}));
    EXPECT_EQ(form->picProfileElevations(), (std::vector<float>{1, 20, 3}));

    prompter.queueModal("frmListEdit", [](ScreenModel& screen) {
        auto& editor = static_cast<FrmListEditModel&>(screen);
        editor.setCellText(1, 2, "500");
        editor.cmdCancel_Click();
    });
    form->cmdEditProfile_Click();
    EXPECT_EQ(state.path.pfl, (std::vector<double>{2, 30, 1, 20, 3}));
}

TEST_F(PtoPForm, HelpAndAbout) {
    auto form = loadedForm();
    form->mnuHelpHelpSystem_Click();
    form->mnuHelpAbout_Click();
    EXPECT_EQ(prompter.helpRequests.size(), 1U);
    EXPECT_TRUE(prompter.screensShown.contains("frmAbout"));
}

} // namespace
