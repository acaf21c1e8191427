#include "FrmListEditView.h"
#include "FrmPtoPView.h"

#include "ScriptedPrompter.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

int argc = 1;
char appName[] = "ptp_view_test";
char* argv[] = {appName, nullptr};

class PtpViews : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QApplication::instance())
            app = new QApplication(argc, argv);
    }
    static QApplication* app;

    MemorySettingsStore store;
    ProgramState state;
    ScriptedPrompter prompter;
    AppInfo info;
    PropagationModel model{prompter};
};
QApplication* PtpViews::app = nullptr;

TEST_F(PtpViews, FormViewMirrorsTheModel) {
    FrmPtoPModel form(state, store, prompter, info, model, {}, {});
    form.Form_Load();
    FrmPtoPView view(form);
    EXPECT_EQ(view.windowTitle(), "Verdan Point-To-Point Mode  (Globe Terrain Handler)");
    auto* frq = qobject_cast<QLineEdit*>(view.control("txtFrq"));
    ASSERT_NE(frq, nullptr);
    EXPECT_EQ(frq->text(), "20.0");
    auto* list = qobject_cast<QListWidget*>(view.control("LstValues1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 3);
    EXPECT_FALSE(view.control("cmdEditProfile")->isEnabled());
    EXPECT_EQ(qobject_cast<QLabel*>(view.control("lblDorvex"))->text(), "Quarn");

    state.path.pfl = {2, 30, 1, 2, 3};
    state.path.ProfileReady = true;
    form.DrawProfile();
    EXPECT_FALSE(qobject_cast<QLabel*>(view.control("picProfile"))->pixmap().isNull());
    form.setFieldText("txtns", "350");
    EXPECT_EQ(qobject_cast<QLineEdit*>(view.control("txtns"))->text(), "350");
}

TEST_F(PtpViews, EditorViewShowsTheRowsAndTakesTypedValues) {
    state.path.ListEditTitle = "Profile Points";
    state.path.ListEditHead1 = "Dist(m)";
    state.path.ListEditHead2 = "Height(m)";
    state.path.ListEditCol1 = {0, 30};
    state.path.ListEditCol2 = {1.5, 2};
    FrmListEditModel editor(state.path);
    editor.Form_Load();
    FrmListEditView view(editor);
    QTableWidget* grid = view.grid();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "Height(m)");
    EXPECT_EQ(grid->item(0, 1)->text(), "1.500");
    grid->item(1, 1)->setText("7");
    EXPECT_EQ(grid->item(1, 1)->text(), "7.000");
    grid->item(1, 1)->setText("x");
    EXPECT_EQ(grid->item(1, 1)->text(), "7.000");
    view.findChild<QPushButton*>("cmdClose")->click();
    EXPECT_EQ(state.path.ListEditCol2, (std::vector<double>{1.5, 7}));
}

} // namespace
