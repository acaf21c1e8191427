#include "FrmDriveSelectView.h"
#include "FrmProfileView.h"

#include "ScriptedPrompter.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

int argc = 1;
char appName[] = "profile_view_test";
char* argv[] = {appName, nullptr};

class ProfileViews : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    QLineEdit* box(FrmProfileView& view, const char* name) {
        return qobject_cast<QLineEdit*>(view.control(QString::fromLatin1(name)));
    }
    static void leave(QLineEdit* edit) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit, &out);
    }

    ProgramState state;
    ScriptedPrompter prompter;
    TerrainLibrary terrain{prompter};
    AppInfo info;
};

TEST_F(ProfileViews, FormViewMirrorsTheModelAndForwardsLeaving) {
    state.path.coords = {"39", "4",  "48", "N", "76", "42", "0",  "W",
                         "38", "55", "12", "N", "76", "58", "48", "W"};
    FrmProfileModel form(state, prompter, terrain, info);
    form.Form_Load();
    FrmProfileView view(form);
    view.show();
    QLineEdit* hemisphere = box(view, "txtTransLat3");
    ASSERT_NE(hemisphere, nullptr);
    EXPECT_EQ(hemisphere->text(), QStringLiteral("N"));
    EXPECT_FALSE(box(view, "txtTLat")->isVisible());
    hemisphere->clear();
    QTest::keyClicks(hemisphere, QStringLiteral("s"));
    leave(hemisphere);
    EXPECT_EQ(form.txtTransLat(3), QStringLiteral("S"));
    EXPECT_EQ(hemisphere->text(), QStringLiteral("S"));

    form.mnuEditDD_Click();
    EXPECT_TRUE(box(view, "txtTLat")->isVisible());
    EXPECT_FALSE(box(view, "txtTransLat0")->isVisible());
    EXPECT_TRUE(hemisphere->isVisible()) << "the decimal view shows the hemisphere";
    EXPECT_EQ(box(view, "txtTLon")->text(), QStringLiteral("76.7000"));
}

// Regression: the boxes had no headings or tooltips, the dialog stayed wide after the
// decimal view, and F1 did nothing.
TEST_F(ProfileViews, RegressionBoxesAreNamedTheDialogShrinksBackAndF1OpensTheHelp) {
    FrmProfileModel form(state, prompter, terrain, info);
    form.Form_Load();
    FrmProfileView view(form);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    for (const char* name : {"txtTransLat0", "txtTransLon1", "txtRecLat2", "txtRecLon3"})
        EXPECT_FALSE(box(view, name)->toolTip().isEmpty()) << name;
    const QSize dmsSize = view.size();
    form.mnuEditDD_Click();
    QApplication::processEvents();
    const QSize ddSize = view.size();
    EXPECT_LE(view.width(), dmsSize.width()) << "the decimal view is not wider";
    form.mnuEditDMS_Click();
    QApplication::processEvents();
    EXPECT_EQ(view.size(), dmsSize);
    form.mnuEditDD_Click();
    QApplication::processEvents();
    EXPECT_EQ(view.size(), ddSize) << "the dialog shrinks back to the decimal view";
    form.mnuEditDMS_Click();
    QTest::keyClick(&view, Qt::Key_F1);
    EXPECT_EQ(prompter.helpRequests.size(), 1U);
}

} // namespace
