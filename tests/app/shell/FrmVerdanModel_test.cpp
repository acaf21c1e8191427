#include "FrmAboutModel.h"
#include "FrmVerdanHeaderModel.h"
#include "FrmVerdanModel.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

class Selector : public ::testing::Test {
protected:
    Selector() {
        info.versionMajor = 1;
        info.versionMinor = 5;
        info.versionRevision = 5;
        info.dataFolder = QStringLiteral("/opt/verdan/share/verdan");
    }

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
        EXPECT_EQ(intro.caption(), "Solvane (Verdan)");
        EXPECT_TRUE(intro.txtIntro().startsWith("SOLVANE (VERDAN)\n\nVerdan estimates"));
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

    ProgramState nextRun;
    ScriptedPrompter nextPrompter;
    FrmVerdanModel next(nextRun, store, nextPrompter, info, {});
    next.Form_Load();
    EXPECT_TRUE(nextPrompter.screensShown.isEmpty());
    EXPECT_FALSE(nextRun.ShowIntro);
}

struct StoredValue {
    const char* text;
    bool showsIntro;
};

class StoredSplashSetting : public Selector, public ::testing::WithParamInterface<StoredValue> {};

TEST_P(StoredSplashSetting, OnlyUpperCaseTrueOrNothingShowsTheIntro) {
    store.save("Verdan", "Verdan", "ShowSplashScreen", GetParam().text);
    auto selector = makeSelector();
    selector->Form_Load();
    EXPECT_EQ(state.ShowIntro, GetParam().showsIntro) << GetParam().text;
    EXPECT_EQ(prompter.screensShown.size(), GetParam().showsIntro ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Values, StoredSplashSetting,
                         ::testing::Values(StoredValue{"TRUE", true}, StoredValue{"true", false},
                                           StoredValue{"FALSE", false}, StoredValue{"True", false},
                                           StoredValue{"1", false}));

TEST_F(Selector, IntroFromTheMenuStartsClearedWhenStoredLowerCaseTrue) {
    store.save("Verdan", "Verdan", "ShowSplashScreen", "true");
    auto selector = makeSelector();
    selector->Form_Load();
    bool checked = true;
    prompter.queueModal("frmVerdanHeader", [&](ScreenModel& screen) {
        checked = static_cast<FrmVerdanHeaderModel&>(screen).chkShow();
    });
    selector->mnuHelpShowIntro_Click();
    EXPECT_FALSE(checked);
}

TEST_F(Selector, StartUpResetsTheSharedState) {
    store.save("Verdan", "Verdan", "ShowSplashScreen", "FALSE");
    state.archivePath = "/tmp/old.sqlite";
    state.ProfilePoints = 800;
    state.model.msgText = "left over";
    auto selector = makeSelector();
    selector->Form_Load();
    EXPECT_TRUE(state.archivePath.isEmpty());
    EXPECT_EQ(state.ProfilePoints, 0);
    EXPECT_EQ(state.model.msgText, std::string(200, ' '));
    EXPECT_EQ(selector->caption(), "Verdan - Solvane");
}

TEST_F(Selector, ModeButtonsOpenTheirScreens) {
    auto selector = makeSelector();
    selector->cmdAreaMode_Click();
    selector->cmdPointToPoint_Click();
    selector->cmdPointToPoint_Click();
    EXPECT_EQ(areaOpened, 1);
    EXPECT_EQ(pointToPointOpened, 2);
}

TEST_F(Selector, HelpMenusOpenTheHelpGuideAndOverview) {
    auto selector = makeSelector();
    selector->mnuHelpHelpSystem_Click();
    selector->mnuHelpProgramGuide_Click();
    selector->mnuHelpUserGuide_Click();
    ASSERT_EQ(prompter.helpRequests.size(), 2u);
    EXPECT_EQ(prompter.helpRequests[0].helpFile, "/opt/verdan/share/verdan/help/verdan-help.html");
    EXPECT_EQ(prompter.helpRequests[0].context, 1);
    EXPECT_EQ(prompter.helpRequests[1].helpFile, "/opt/verdan/share/verdan/help/user-guide.html");
    EXPECT_EQ(prompter.helpRequests[1].context, 1);
    EXPECT_EQ(prompter.documentsOpened,
              QStringList{"/opt/verdan/share/verdan/verdan-overview.html"});
    EXPECT_EQ(selector->help().HelpFileName(2), "");
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

TEST_F(Selector, AboutBoxShowsTheVersion) {
    prompter.queueModal("frmAbout", [](ScreenModel& screen) {
        auto& about = static_cast<FrmAboutModel&>(screen);
        EXPECT_EQ(about.lblVersion(), "Version 1.5.5");
        EXPECT_EQ(about.caption(), "About Verdan");
        about.cmdOK_Click();
        EXPECT_TRUE(about.closeRequested());
    });
    auto selector = makeSelector();
    selector->mnuHelpAbout_Click();
    EXPECT_EQ(prompter.screensShown, QStringList{"frmAbout"});
    EXPECT_TRUE(prompter.allAnswersUsed());
}

class SystemInfo : public Selector {
protected:
    void SetUp() override { ASSERT_TRUE(bin.isValid()); }
    void addTool(const QString& name) {
        QFile tool(bin.path() + "/" + name);
        ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\n");
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QTemporaryDir bin{QDir::tempPath() + "/bin-XXXXXX"};
};

TEST_F(SystemInfo, FoundOnPathInPreferenceOrder) {
    addTool("kinfocenter");
    addTool("hardinfo");
    const QString path = "/nonexistent:" + bin.path();
    EXPECT_EQ(FrmAboutModel::findOnPath(FrmAboutModel::systemInfoPrograms(), path),
              bin.path() + "/hardinfo");
    EXPECT_EQ(FrmAboutModel::findOnPath({"absent"}, path), "");
}

TEST_F(SystemInfo, WithoutAToolTheUserIsTold) {
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    FrmAboutModel about(info, prompter);
    about.cmdSysInfo_Click();
    qputenv("PATH", savedPath);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(prompter.programsStarted.isEmpty());
}

TEST_F(SystemInfo, AToolThatFailsToStartIsReportedToo) {
    addTool("hardinfo");
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    prompter.programResult = false;
    FrmAboutModel about(info, prompter);
    about.cmdSysInfo_Click();
    qputenv("PATH", savedPath);
    EXPECT_EQ(prompter.programsStarted, QStringList{bin.path() + "/hardinfo"});
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{"System Information Is Unavailable At This Time"});
}

} // namespace

namespace {

TEST(Intro, TextIsExactlyTheProgramsDescription) {
    QFile expected(QStringLiteral(VERDAN_TEST_DATA_DIR "/shell/intro-text.txt"));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    EXPECT_EQ(FrmVerdanHeaderModel::introText().toStdString(), expected.readAll().toStdString());
}

} // namespace
