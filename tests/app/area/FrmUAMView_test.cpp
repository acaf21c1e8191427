#include "AreaOnlyForms.h"
#include "AreaViews.h"
#include "ScriptedPrompter.h"
#include "TestApplication.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

class AreaFormView : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::makeApplication<QApplication>(); }

    AreaFormView() {
        forms.area = &form;
        form.Form_Load();
    }

    MemorySettingsStore store;
    ScriptedPrompter prompter;
    ProgramState state;
    AppInfo info;
    PropagationModel model{prompter};
    test::AreaOnlyForms forms;
    FrmUAMModel form{state, store, prompter, info, model, forms};
};

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

void pressEscape(QWidget* target) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

// Regression: one Escape, even one meant for a menu, closed the whole mode form. Escape
// closes dialogs and pickers only; the mode form closes by its close box or menu.
TEST_F(AreaFormView, RegressionEscapeNeverClosesTheModeFormOnlyItsPickers) {
    FrmUAMView view(form);
    view.show();
    pressEscape(view.edit("txtFrq"));
    pressEscape(&view);
    EXPECT_FALSE(form.closeRequested());
    EXPECT_TRUE(view.isVisible());

    FrmDeltaHModel deltaH(forms);
    deltaH.Form_Load();
    FrmDeltaHView picker(deltaH);
    picker.show();
    pressEscape(&picker);
    EXPECT_TRUE(deltaH.closeRequested());

    view.close();
    EXPECT_TRUE(form.closeRequested()) << "the close box still closes the form";
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
        for (const char* name : {"cmdOK", "cmdCancel"}) {
            const QPushButton* button = picker.findChild<QPushButton*>(name);
            ASSERT_NE(button, nullptr) << name;
            EXPECT_TRUE(
                picker.rect().contains(QRect(button->mapTo(&picker, QPoint(0, 0)), button->size())))
                << name;
        }
        heights.push_back(picker.height());
    }
    EXPECT_LT(heights[1], heights[0]) << "fewer levels, a smaller picker";

    FrmDeltaHModel deltaH(forms);
    deltaH.Form_Load();
    FrmDeltaHView deltaView(deltaH);
    deltaView.show();
    QFont bold = deltaView.font();
    bold.setBold(true);
    // The title bar also holds the window's icon and buttons: 100 pixels at the least.
    EXPECT_GT(deltaView.width(),
              QFontMetrics(bold).horizontalAdvance(deltaView.windowTitle()) + 100);
}

} // namespace
