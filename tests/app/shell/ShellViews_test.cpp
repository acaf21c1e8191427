#include "FrmAboutModel.h"
#include "ScriptedPrompter.h"
#include "ShellViews.h"
#include "WidgetPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

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
