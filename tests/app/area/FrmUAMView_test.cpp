#include "AreaViews.h"
#include "ScriptedPrompter.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

struct TestForms : ModeForms {
    FrmUAMModel* area = nullptr;
    ModeFormFields& areaForm() override { return *area; }
    ModeFormFields* pointToPointForm() override { return nullptr; }
};

class AreaFormView : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "FrmUAMView_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }

    AreaFormView() {
        forms.area = &form;
        form.Form_Load();
    }

    QStringList texts(const QList<QLabel*>& labels) {
        QStringList out;
        for (const QLabel* label : labels)
            out << label->text();
        return out;
    }

    MemorySettingsStore store;
    ScriptedPrompter prompter;
    ProgramState state;
    AppInfo info;
    PropagationModel model{prompter};
    TestForms forms;
    FrmUAMModel form{state, store, prompter, info, model, forms};
};

TEST_F(AreaFormView, ShowsEveryGroupLabelUnitAndControl) {
    FrmUAMView view(form);
    EXPECT_EQ(view.windowTitle(), "Area Prediction Mode");
    QStringList groups;
    for (const QGroupBox* box : view.findChildren<QGroupBox*>())
        groups << box->title();
    for (const char* title : {"Input Parameters", "Environmental Parameters",
                              "Statistical Parameters", "Tabulation Parameters", "Antenna Heights",
                              "Site Criteria", "Confidence Levels", "Polarization"})
        EXPECT_TRUE(groups.contains(title)) << title;
    const QStringList labels = texts(view.findChildren<QLabel*>());
    for (const char* label : {"Frequency",
                              "Trans",
                              "Rec",
                              "Percent of time",
                              "Percent of Locations",
                              "1",
                              "2",
                              "3",
                              "4",
                              "Initial Distance",
                              "End Distance 1",
                              "Dist Inc 1",
                              "End Distance 2",
                              "Dist Inc 2",
                              "dB Loss Calculation Level",
                              "Radio Climate",
                              "Mode of Variability",
                              "Transmitter",
                              "Receiver",
                              "MHz",
                              "m",
                              "N-units",
                              "S/m",
                              "%",
                              "km",
                              "dB"})
        EXPECT_TRUE(labels.contains(label)) << label;
    for (const auto& fieldInfo : FrmUAMModel::fieldInfos()) {
        QLineEdit* edit = view.edit(fieldInfo.name);
        ASSERT_NE(edit, nullptr) << fieldInfo.name.toStdString();
        EXPECT_EQ(edit->text(), form.text(fieldInfo.name));
        EXPECT_EQ(edit->toolTip(), fieldInfo.toolTip);
    }
    for (const char* name : {"cmdCalc", "cmdReport", "cmdGraph", "cmdSaveData", "cmdSurfRef",
                             "cmdConductGround", "cmdDielectric", "cmdDeltaH"})
        EXPECT_NE(view.findChild<QPushButton*>(name), nullptr) << name;
    EXPECT_EQ(view.findChild<QPushButton*>("cmdCalc")->text(), "Calculate");
    EXPECT_EQ(view.findChild<QComboBox*>("cmbClim")->currentText(), "Continental Temperate");
    EXPECT_TRUE(view.findChild<QRadioButton*>("optPol_1")->isChecked());
}

TEST_F(AreaFormView, LeavingAFieldForAnotherRunsItsCheck) {
    FrmUAMView view(form);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QLineEdit* frequency = view.edit("txtFrq");
    frequency->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(form.focusedField(), "txtFrq");
    frequency->selectAll();
    QTest::keyClicks(frequency, "25000");
    EXPECT_EQ(form.text("txtFrq"), "25000");
    view.edit("txtH1")->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(prompter.messageTexts(), QStringList{"Warning: Range Frequency <= 20000"});
    EXPECT_EQ(frequency->text(), "100");
    EXPECT_EQ(form.focusedField(), "txtH1");
}

void sendFocus(QLineEdit* edit, QEvent::Type type, Qt::FocusReason reason) {
    QFocusEvent event(type, reason);
    QApplication::sendEvent(edit, &event);
}

// Regression: after a message box the field that got the focus back with the window's
// re-activation was not entered, so leaving it ran no check and 0.2 m was accepted.
TEST_F(AreaFormView, RegressionAFieldEnteredAgainAfterAMessageIsCheckedWhenLeft) {
    FrmUAMView view(form);
    QLineEdit* frequency = view.edit("txtFrq");
    QLineEdit* height = view.edit("txtH1");
    sendFocus(frequency, QEvent::FocusIn, Qt::MouseFocusReason);
    form.setText("txtFrq", "10025000");
    sendFocus(frequency, QEvent::FocusOut, Qt::TabFocusReason);
    sendFocus(height, QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    sendFocus(height, QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    EXPECT_EQ(form.focusedField(), "txtH1");
    EXPECT_EQ(form.field("txtH1").selLength, form.text("txtH1").size()) << "entry selects";
    form.setText("txtH1", "0.2");
    sendFocus(height, QEvent::FocusOut, Qt::PopupFocusReason);
    sendFocus(height, QEvent::FocusIn, Qt::PopupFocusReason);
    EXPECT_EQ(prompter.messages.size(), 1U) << "a menu is no leaving";
    sendFocus(height, QEvent::FocusOut, Qt::TabFocusReason);
    EXPECT_EQ(prompter.messageTexts(), (QStringList{"Warning: Range Frequency <= 20000",
                                                    "Warning: Range 0.5 <= Antenna Height"}));
    EXPECT_EQ(form.text("txtFrq"), "100");
    EXPECT_EQ(form.text("txtH1"), "10");
}

TEST_F(AreaFormView, InverseModeHidesTheDistancesAndTheirLabels) {
    FrmUAMView view(form);
    view.show();
    form.mnuModeInverse_Click();
    EXPECT_FALSE(view.edit("txtd1")->isVisible());
    EXPECT_TRUE(view.edit("txtdBLossLevel")->isVisible());
    for (QLabel* label : view.findChildren<QLabel*>()) {
        if (label->text() == "End Distance 1" || label->text() == "km") {
            EXPECT_FALSE(label->isVisible());
        }
        if (label->text() == "dB Loss Calculation Level" || label->text() == "dB") {
            EXPECT_TRUE(label->isVisible());
        }
    }
    EXPECT_FALSE(view.findChild<QPushButton*>("cmdSaveData")->isVisible());
    form.mnuReportEnableSave_Click();
    EXPECT_TRUE(view.findChild<QPushButton*>("cmdSaveData")->isVisible());
    EXPECT_FALSE(view.findChild<QPushButton*>("cmdSaveData")->isEnabled());
}

// Regression: the level picker's fixed size clipped its OK button, and narrow pick-lists cut
// their titles ("delta h - Te... Parameter").
TEST_F(AreaFormView, RegressionPickersShowTheirOkButtonAndTheirWholeTitle) {
    std::vector<int> heights;
    for (const std::array<double, 5>& levels :
         {std::array<double, 5>{50, 90, 10, 95, 0}, std::array<double, 5>{50, 90, 0, 0, 0}}) {
        state.ConfLevelChoices = levels;
        FrmConfLevelModel pick(state);
        pick.Form_Load();
        FrmConfLevelView picker(pick);
        picker.show();
        const QPushButton* ok = picker.findChild<QPushButton*>("cmdOK");
        EXPECT_TRUE(picker.rect().contains(ok->geometry()));
        heights.push_back(picker.height());
    }
    EXPECT_LT(heights[1], heights[0]) << "fewer levels, a smaller picker";

    TestForms pickForms;
    pickForms.area = &form;
    FrmDeltaHModel deltaH(pickForms);
    deltaH.Form_Load();
    FrmDeltaHView deltaView(deltaH);
    deltaView.show();
    QFont bold = deltaView.font();
    bold.setBold(true);
    // The title bar also holds the window's icon and buttons: 100 pixels at the least.
    EXPECT_GT(deltaView.width(),
              QFontMetrics(bold).horizontalAdvance(deltaView.windowTitle()) + 100);
}

TEST_F(AreaFormView, PickListViewsShowTheirOptions) {
    TestForms pickForms;
    pickForms.area = &form;
    FrmDeltaHModel deltaH(pickForms);
    deltaH.Form_Load();
    FrmDeltaHView deltaView(deltaH);
    EXPECT_TRUE(deltaView.findChild<QRadioButton*>("Option1_2")->isChecked());
    deltaView.findChild<QRadioButton*>("Option1_4")->click();
    deltaView.findChild<QPushButton*>("cmdOK")->click();
    EXPECT_EQ(form.text("txtDH"), "500");

    state.PickTarget = "txtsgm";
    FrmDC_CondModel ground(state, pickForms);
    ground.Form_Load();
    ground.setOptChartSelectCaptions(FrmDC_CondModel::conductivityOptions());
    FrmDC_CondView groundView(ground);
    EXPECT_EQ(groundView.findChild<QRadioButton*>("optChartSelect_4")->text(),
              "Sea Water     5.0  ");

    FrmSurfRefModel surf(pickForms);
    surf.Form_Load();
    FrmSurfRefView surfView(surf);
    EXPECT_EQ(surfView.findChildren<QRadioButton*>().size(), 7);
}

/// Saves a picture of the form to the file named by VERDAN_SCREENSHOT (run under a real X
/// server, e.g. xvfb-run, to see it with fonts).
TEST_F(AreaFormView, Screenshot) {
    const QString path = qEnvironmentVariable("VERDAN_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "set VERDAN_SCREENSHOT to a PNG path to take a picture of the form";
    FrmUAMView view(form);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QImage picture = view.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(path));
}

} // namespace
