#include "FrmDC_CondModel.h"
#include "FrmDeltaHModel.h"
#include "FrmSurfRefModel.h"
#include "ModeFormHost.h"
#include "ScriptedPrompter.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

class Host : public ::testing::Test {
protected:
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    ProgramState state;
    AppInfo info;
    PropagationModel model{prompter};
    ModeFormHost host{state, store, prompter, info, model};
};

TEST_F(Host, OpeningTheAreaModeLoadsShowsAndUnloadsTheForm) {
    prompter.queueModal("FrmUAM", [](ScreenModel& screen) {
        auto& form = static_cast<FrmUAMModel&>(screen);
        EXPECT_EQ(form.text("txtFrq"), "100") << "loaded before it is shown";
        form.setText("txtFrq", "433");
        form.mnuFileExit_Click();
    });
    prompter.queueMessage(MsgAnswer::Yes);
    host.openAreaMode();
    EXPECT_EQ(prompter.screensShown, QStringList{"FrmUAM"});
    EXPECT_EQ(prompter.messageTexts(), QStringList{"Retain Output Log?"});
    EXPECT_EQ(store.get("Verdan", "Verdan", "Freq"), "433") << "unloaded after closing";
    EXPECT_EQ(host.loadedAreaForm(), nullptr) << "destroyed after its unload";
    EXPECT_TRUE(prompter.allAnswersUsed());
}

TEST_F(Host, APickListWritingIntoAClosedFormLoadsItHidden) {
    host.areaForm().setFieldText("txtDH", "200");
    ASSERT_NE(host.loadedAreaForm(), nullptr);
    EXPECT_TRUE(prompter.screensShown.isEmpty()) << "loaded without being shown";
    EXPECT_EQ(host.loadedAreaForm()->text("txtDH"), "200");

    QString shownDeltaH;
    prompter.queueModal("FrmUAM", [&](ScreenModel& screen) {
        shownDeltaH = static_cast<FrmUAMModel&>(screen).text("txtDH");
    });
    host.openAreaMode();
    EXPECT_EQ(shownDeltaH, "200") << "shown with the picked value, not loaded again";
}

// Regression: a form loaded hidden by a pick-list made a log file that stayed behind.
TEST_F(Host, RegressionNoLogFileButTheRetainedOneIsLeftAtTheEnd) {
    QString hiddenFile;
    prompter.queueModal("frmPtoP", [&](ScreenModel&) {
        host.areaForm().setFieldText("txtNs", "320");
        hiddenFile = host.loadedAreaForm()->logFileName();
    });
    prompter.queueMessage(MsgAnswer::Yes);
    host.openPointToPoint();
    const QString retained = store.get("Verdan", "Verdan", "TempLogName");
    ASSERT_FALSE(retained.isEmpty());
    ASSERT_TRUE(QFileInfo::exists(hiddenFile));
    host.removeUnretainedLogFiles();
    EXPECT_FALSE(QFileInfo::exists(hiddenFile));
    EXPECT_TRUE(QFileInfo::exists(retained));
}

TEST_F(Host, EachOpeningAfterAnUnloadLoadsAgain) {
    prompter.queueModal("FrmUAM", [](ScreenModel& screen) {
        static_cast<FrmUAMModel&>(screen).setText("txtDH", "30");
    });
    host.openAreaMode();
    prompter.queueModal("FrmUAM", [](ScreenModel& screen) {
        EXPECT_EQ(static_cast<FrmUAMModel&>(screen).text("txtDH"), "30");
    });
    host.openAreaMode();
    EXPECT_EQ(prompter.screensShown.size(), 2);
}

TEST_F(Host, RefractivityPickedInTheAreaFormReachesTheHiddenPointToPointForm) {
    prompter.queueModal("FrmUAM", [](ScreenModel& screen) {
        static_cast<FrmUAMModel&>(screen).cmdSurfRef_Click();
    });
    prompter.queueModal("frmSurfRef", [](ScreenModel& screen) {
        auto& pick = static_cast<FrmSurfRefModel&>(screen);
        pick.Option1_Click(6);
        pick.cmdOK_Click();
    });
    prompter.queueMessage(MsgAnswer::Yes);
    host.openAreaMode();
    ASSERT_NE(host.loadedPointToPointForm(), nullptr) << "loaded hidden by the pick-list";
    EXPECT_EQ(host.loadedPointToPointForm()->txtns(), "350");
    EXPECT_EQ(prompter.screensShown, (QStringList{"FrmUAM", "frmSurfRef"}));

    QString shownNs;
    prompter.queueModal("frmPtoP", [&](ScreenModel& screen) {
        shownNs = static_cast<FrmPtoPModel&>(screen).txtns();
        static_cast<FrmPtoPModel&>(screen).mnuFileClose_Click();
    });
    prompter.queueMessage(MsgAnswer::Yes);
    host.openPointToPoint();
    EXPECT_EQ(shownNs, "350") << "shown with the picked value, not loaded again";
    EXPECT_EQ(host.loadedPointToPointForm(), nullptr) << "destroyed after its unload";
}

TEST_F(Host, GroundConstantsPickedInThePointToPointFormReachBothForms) {
    prompter.queueModal("frmPtoP", [](ScreenModel& screen) {
        static_cast<FrmPtoPModel&>(screen).cmdconduct_Click();
    });
    QString caption;
    prompter.queueModal("frmDC_Cond", [&](ScreenModel& screen) {
        auto& pick = static_cast<FrmDC_CondModel&>(screen);
        caption = pick.caption();
        pick.optChartSelect_Click(4);
        pick.cmdOK_Click();
    });
    prompter.queueMessage(MsgAnswer::Yes);
    host.openPointToPoint();
    EXPECT_EQ(caption, "Conductivity of Ground");
    EXPECT_EQ(store.get("Verdan", "Verdan", "GCONDUCT"), "5");
    ASSERT_NE(host.loadedAreaForm(), nullptr) << "the area form was loaded hidden";
    EXPECT_EQ(host.loadedAreaForm()->text("txtsgm"), "5");
}

TEST_F(Host, PickListsOpenedFromTheFormWriteIntoTheSameForm) {
    prompter.queueModal(
        "FrmUAM", [](ScreenModel& screen) { static_cast<FrmUAMModel&>(screen).cmdDeltaH_Click(); });
    prompter.queueModal("frmDeltaH", [](ScreenModel& screen) {
        auto& pick = static_cast<FrmDeltaHModel&>(screen);
        pick.Option1_Click(0);
        pick.cmdOK_Click();
    });
    host.openAreaMode();
    EXPECT_EQ(store.get("Verdan", "Verdan", "DELTAH"), "0");
}

} // namespace
