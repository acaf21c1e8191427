#include "PathCoordinatesHost.h"

#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

TEST(PathCoordinatesHost, TheFormIsLoadedOnceAndKeptHiddenUntilUnloaded) {
    ProgramState state;
    state.path.coords[PathState::TxLatDeg_DD] = QStringLiteral("39");
    ScriptedPrompter prompter;
    AppInfo info;
    PathCoordinatesHost host(state, prompter, info);
    EXPECT_EQ(host.loadedForm(), nullptr);
    prompter.queueModal(QStringLiteral("frmProfile"), [](ScreenModel& screen) {
        auto& form = static_cast<FrmProfileModel&>(screen);
        EXPECT_EQ(form.txtTransLat(0), QStringLiteral("39"));
        form.setTxtTransLat(0, QStringLiteral("41"));
        form.cmdCancel_Click();
    });
    host.open();
    ASSERT_NE(host.loadedForm(), nullptr);
    prompter.queueModal(QStringLiteral("frmProfile"), [](ScreenModel& screen) {
        auto& form = static_cast<FrmProfileModel&>(screen);
        EXPECT_FALSE(form.closeRequested()) << "reopening clears the close request";
        EXPECT_EQ(form.txtTransLat(0), QStringLiteral("41")) << "the hidden form kept its text";
        form.cmdCancel_Click();
    });
    host.open();
    EXPECT_EQ(state.path.coords[PathState::TxLatDeg_DD], QStringLiteral("39"));
    host.unload();
    EXPECT_EQ(host.loadedForm(), nullptr);
    prompter.queueModal(QStringLiteral("frmProfile"), [](ScreenModel& screen) {
        EXPECT_EQ(static_cast<FrmProfileModel&>(screen).txtTransLat(0), QStringLiteral("39"));
    });
    host.open();
    EXPECT_EQ(prompter.screensShown, (QStringList{"frmProfile", "frmProfile", "frmProfile"}));
    EXPECT_TRUE(prompter.allAnswersUsed());
}

} // namespace
