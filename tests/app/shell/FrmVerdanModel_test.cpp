#include "FrmVerdanHeaderModel.h"
#include "FrmVerdanModel.h"
#include "ScriptedPrompter.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

class Selector : public ::testing::Test {
protected:
    std::unique_ptr<FrmVerdanModel> makeSelector() {
        FrmVerdanModel::Openers openers;
        openers.areaMode = [this] { ++areaOpened; };
        openers.pointToPoint = [this] { ++pointToPointOpened; };
        openers.unloadPathCoordinates = [this] { ++pathFormUnloaded; };
        return std::make_unique<FrmVerdanModel>(state, store, prompter, info, openers);
    }

    QString stored() { return store.get("Verdan", "Verdan", "ShowSplashScreen"); }

    MemorySettingsStore store;
    ProgramState state;
    ScriptedPrompter prompter;
    AppInfo info;
    int areaOpened = 0;
    int pointToPointOpened = 0;
    int pathFormUnloaded = 0;
};

TEST_F(Selector, FirstStartShowsTheIntroWithShowNextTimeChecked) {
    bool checkedOnOpen = false;
    prompter.queueModal("frmVerdanHeader", [&](ScreenModel& screen) {
        auto& intro = static_cast<FrmVerdanHeaderModel&>(screen);
        checkedOnOpen = intro.chkShow();
        intro.cmdOK_Click();
    });
    auto selector = makeSelector();
    selector->Form_Load();
    EXPECT_EQ(prompter.screensShown, QStringList{"frmVerdanHeader"});
    EXPECT_TRUE(checkedOnOpen);
    EXPECT_TRUE(state.ShowIntro);
    EXPECT_EQ(stored(), "") << "nothing is written before the selector closes";
    selector->Form_Unload();
    EXPECT_EQ(stored(), "TRUE");
}

TEST_F(Selector, ClearingShowNextTimeIsWrittenOnCloseAndSkipsTheNextIntro) {
    prompter.queueModal("frmVerdanHeader", [](ScreenModel& screen) {
        static_cast<FrmVerdanHeaderModel&>(screen).setChkShow(false);
    });
    auto selector = makeSelector();
    selector->Form_Load();
    EXPECT_FALSE(state.ShowIntro);

    bool checkedWhenReopened = true;
    prompter.queueModal("frmVerdanHeader", [&](ScreenModel& screen) {
        checkedWhenReopened = static_cast<FrmVerdanHeaderModel&>(screen).chkShow();
    });
    selector->mnuHelpShowIntro_Click();
    EXPECT_FALSE(checkedWhenReopened);
    EXPECT_EQ(stored(), "") << "closing the intro from the menu writes nothing";

    selector->Form_Unload();
    EXPECT_EQ(stored(), "FALSE");
    EXPECT_EQ(pathFormUnloaded, 1);
}

TEST_F(Selector, OnlyUpperCaseTrueOrNothingShowsTheIntro) {
    const std::pair<const char*, bool> values[] = {
        {"TRUE", true}, {"true", false}, {"FALSE", false}, {"True", false}, {"1", false}};
    for (const auto& [text, shows] : values) {
        store.save("Verdan", "Verdan", "ShowSplashScreen", text);
        prompter.screensShown.clear();
        makeSelector()->Form_Load();
        EXPECT_EQ(state.ShowIntro, shows) << text;
        EXPECT_EQ(prompter.screensShown.size(), shows ? 1 : 0) << text;
    }
}

TEST_F(Selector, ShippedHelpFilesExistAndHaveTheContextAnchor) {
    info.dataFolder = QStringLiteral(VERDAN_SOURCE_DIR "/docs");
    HelpSystem help(info, prompter);
    for (const QString& file : {help.HelpFileName(1), help.userGuideFileName()}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        EXPECT_TRUE(f.readAll().contains("id=\"context-1\"")) << file.toStdString();
    }
    EXPECT_TRUE(QFile::exists(help.overviewDocumentName()));
}

} // namespace
