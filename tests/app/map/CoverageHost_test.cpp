#include "CoverageFakes.h"
#include "FrmPtoPModel.h"
#include "ModeFormHost.h"
#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace verdan {
namespace {

class CoverageHost : public ::testing::Test {
protected:
    void SetUp() override { host.setCoverageServices(test::syntheticServices()); }

    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    ProgramState state;
    AppInfo info;
    PropagationModel model{prompter};
    ModeFormHost host{state, store, prompter, info, model};
};

// Regression: the coverage window was modal and locked the point-to-point form.
TEST_F(CoverageHost, TheWindowOpensBesideTheFormFollowsItReopensAsLeftAndGoesWithIt) {
    prompter.queueModal("frmPtoP", [&](ScreenModel& screen) {
        auto& form = static_cast<FrmPtoPModel&>(screen);
        form.mnuCoverageMap_Click();
        FrmCoverageModel* window = host.openCoverageWindow();
        ASSERT_NE(window, nullptr);
        // The form goes on while the window is open, and the window follows it.
        form.mnuCoverageMap_Click();
        EXPECT_EQ(host.openCoverageWindow(), window);
        form.setFieldText("txtns", "320");
        EXPECT_TRUE(window->lblSource().contains("Ns 320")) << window->lblSource().toStdString();
        // Closed, the window is unloaded; opened again, it shows what it remembered.
        window->setText(FrmCoverageModel::txtRadius, "12");
        window->mnuFileClose_Click();
        prompter.modelessClosed();
        EXPECT_EQ(host.openCoverageWindow(), nullptr);
        EXPECT_EQ(store.get("Verdan", "Verdan", "CovRadius_km"), "12");
        form.mnuCoverageMap_Click();
        EXPECT_EQ(host.openCoverageWindow()->text(FrmCoverageModel::txtRadius), "12");
        host.openCoverageWindow()->setText(FrmCoverageModel::txtRadius, "44");
    });
    prompter.queueMessage(MsgAnswer::Yes);
    host.openPointToPoint();
    EXPECT_EQ(prompter.screensShown, (QStringList{"frmPtoP", "frmCoverage", "frmCoverage"}));
    EXPECT_EQ(host.openCoverageWindow(), nullptr);
    EXPECT_EQ(store.get("Verdan", "Verdan", "CovRadius_km"), "44");
}

TEST_F(CoverageHost, TheSelectorOpensTheMapOnAHiddenFormThatGoesWithIt) {
    host.openPlanningMap();
    ASSERT_NE(host.openCoverageWindow(), nullptr);
    EXPECT_EQ(prompter.screensShown, (QStringList{"frmCoverage"})) << "the form stays hidden";
    ASSERT_NE(host.loadedPointToPointForm(), nullptr);
    host.loadedPointToPointForm()->setFieldText("txtns", "320");
    EXPECT_TRUE(host.openCoverageWindow()->lblSource().contains("Ns 320"));
    host.openCoverageWindow()->mnuFileClose_Click();
    prompter.modelessClosed();
    EXPECT_EQ(host.openCoverageWindow(), nullptr);
    EXPECT_EQ(host.loadedPointToPointForm(), nullptr);
}

} // namespace
} // namespace verdan
