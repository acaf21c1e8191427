#include "FrmAboutModel.h"
#include "FrmVerdanHeaderModel.h"
#include "FrmVerdanModel.h"
#include "ScriptedPrompter.h"
#include "ShellViews.h"
#include "WidgetPrompter.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

QStringList actionTexts(const QMenuBar* bar) {
    QStringList texts;
    for (const QAction* menu : bar->actions()) {
        texts << menu->text();
        for (const QAction* item : menu->menu()->actions())
            texts << "  " + item->text();
    }
    return texts;
}

class ShellViews : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "shell_views_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    MemorySettingsStore store;
    ProgramState state;
    ScriptedPrompter prompter;
    AppInfo info;
};

TEST_F(ShellViews, SelectorHasItsMenusButtonsAndTooltips) {
    int areaOpened = 0;
    FrmVerdanModel::Openers openers;
    openers.areaMode = [&] { ++areaOpened; };
    FrmVerdanModel model(state, store, prompter, info, openers);
    FrmVerdanView view(model);
    EXPECT_EQ(view.windowTitle(), "Verdan - Solvane");
    EXPECT_EQ(actionTexts(view.menuBar()),
              (QStringList{"&File", "  E&xit", "&Help", "  &Help System", "  &Overview",
                           "  &User Guide", "  &About", "  &Show Intro Screen"}));
    auto* area = view.findChild<QToolButton*>("cmdAreaMode");
    auto* ptp = view.findChild<QToolButton*>("cmdPointToPoint");
    ASSERT_NE(area, nullptr);
    ASSERT_NE(ptp, nullptr);
    EXPECT_EQ(area->toolTip(), "Solvane - Area Prediction Mode");
    EXPECT_EQ(ptp->toolTip(), "Solvane - Point-to-Point Mode");
    EXPECT_FALSE(area->icon().isNull()) << "the mode pictures come from the resources";
    area->click();
    EXPECT_EQ(areaOpened, 1);
}

TEST_F(ShellViews, ClosingTheSelectorWritesTheIntroSetting) {
    store.save("Verdan", "Verdan", "ShowSplashScreen", "FALSE");
    FrmVerdanModel model(state, store, prompter, info, {});
    model.Form_Load();
    FrmVerdanView view(model);
    bool closed = false;
    QObject::connect(&view, &FrmVerdanView::closed, [&] { closed = true; });
    view.show();
    model.mnuFileExit_Click();
    EXPECT_TRUE(closed);
    EXPECT_EQ(store.get("Verdan", "Verdan", "ShowSplashScreen"), "FALSE");
}

TEST_F(ShellViews, IntroMirrorsItsModel) {
    FrmVerdanHeaderModel model(state);
    model.Form_Load();
    FrmVerdanHeaderView view(model);
    EXPECT_EQ(view.windowTitle(), "Solvane (Verdan)");
    auto* text = view.findChild<QPlainTextEdit*>();
    auto* show = view.findChild<QCheckBox*>();
    ASSERT_NE(text, nullptr);
    ASSERT_NE(show, nullptr);
    EXPECT_EQ(text->toPlainText(), FrmVerdanHeaderModel::introText());
    EXPECT_TRUE(show->isChecked());
    show->setChecked(false);
    EXPECT_FALSE(model.chkShow());
}

TEST_F(ShellViews, AboutBoxShowsVersionAndButtons) {
    info.versionMajor = 1;
    info.versionMinor = 5;
    info.versionRevision = 5;
    FrmAboutModel model(info, prompter);
    model.Form_Load();
    FrmAboutView view(model);
    EXPECT_EQ(view.windowTitle(), "About Verdan");
    QStringList labels;
    for (const QLabel* label : view.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains("Version 1.5.5"));
    EXPECT_TRUE(labels.contains("Solvane"));
    QStringList buttons;
    for (const QPushButton* button : view.findChildren<QPushButton*>())
        buttons << button->text();
    EXPECT_TRUE(buttons.contains("OK"));
    EXPECT_TRUE(buttons.contains("&System Info..."));
}

} // namespace

namespace {

/// Does `act` on the next message box, as soon as it is up.
void onNextMessageBox(std::function<void(QMessageBox&)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            act(*box);
        }
    });
    poll->start(10);
}

// Regression: Escape or the close box on "Retain Output Log?" answered No and deleted the log.
TEST_F(ShellViews, RegressionAQuestionClosedWithoutAChoiceIsNeitherYesNorNo) {
    ViewRegistry views;
    WidgetPrompter widgets(views);
    const std::vector<std::pair<std::function<void(QMessageBox&)>, MsgAnswer>> cases = {
        {[](QMessageBox& box) {
             QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, Qt::Key_Escape);
         },
         MsgAnswer::Cancel},
        {[](QMessageBox& box) { box.close(); }, MsgAnswer::Cancel},
        {[](QMessageBox& box) { box.button(QMessageBox::No)->click(); }, MsgAnswer::No},
        {[](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); }, MsgAnswer::Yes},
    };
    for (const auto& [act, answer] : cases) {
        onNextMessageBox(act);
        EXPECT_EQ(widgets.message("Retain Output Log?", "Output Log", MsgButtons::YesNo,
                                  MsgIcon::Question),
                  answer);
    }
}

// Regression: a screen that closed right after its own message left no window active, so the
// keyboard did not go back to the screen that had opened it.
TEST_F(ShellViews, RegressionTheOpenerIsActiveAgainAfterAScreenClosesBehindAMessage) {
    ViewRegistry views;
    registerShellViews(views);
    WidgetPrompter widgets(views);
    QDialog opener;
    opener.show();
    opener.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&opener));
    widgets.setOwner(&opener);
    FrmAboutModel about(info, widgets);
    about.Form_Load();
    QTimer::singleShot(0, &about, [&] {
        onNextMessageBox([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
        inform(widgets, "Warning: Identical coordinate values entered.", "Terrain Coordinates");
        about.cmdOK_Click();
    });
    widgets.runModal(about);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&opener));
}

} // namespace
