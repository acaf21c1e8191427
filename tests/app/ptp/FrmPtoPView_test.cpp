#include "FrmLinkBudgetView.h"
#include "FrmListEditView.h"
#include "FrmPtoPView.h"

#include "LinkBudgetGroupView.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
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

// Keeps a picture to be looked at when VERDAN_PICTURES names a folder.
void keep(const QImage& image, const QString& name) {
    const QString folder = qEnvironmentVariable("VERDAN_PICTURES");
    if (!folder.isEmpty())
        image.save(QDir(folder).filePath(name));
}

int countPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour ? 1 : 0;
    return count;
}

void sendFocus(QWidget* edit, QEvent::Type type, Qt::FocusReason reason) {
    QFocusEvent event(type, reason);
    QApplication::sendEvent(edit, &event);
}

// Regression: leaving a field for a menu warned twice and swallowed the menu; Enter in a value
// box pressed the first button (the conductivity pick-list).
TEST_F(PtpViews, RegressionOneWarningPerLeavingAndEnterAddsToTheList) {
    int pickLists = 0;
    FrmPtoPModel::Openers openers;
    openers.groundConstants = [&pickLists](const GroundConstantsRequest&) { ++pickLists; };
    FrmPtoPModel form(state, store, prompter, info, model, openers, {});
    form.Form_Load();
    FrmPtoPView view(form);
    view.show();
    QWidget* frequency = view.control("txtFrq");
    sendFocus(frequency, QEvent::FocusIn, Qt::MouseFocusReason);
    form.setTxtFrq("10025000");
    sendFocus(frequency, QEvent::FocusOut, Qt::PopupFocusReason);
    sendFocus(frequency, QEvent::FocusIn, Qt::PopupFocusReason);
    EXPECT_TRUE(prompter.messages.empty()) << "a menu is no leaving";
    QWidget* value = view.control("txtNewVal1");
    sendFocus(frequency, QEvent::FocusOut, Qt::TabFocusReason);
    sendFocus(value, QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    sendFocus(value, QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    EXPECT_EQ(prompter.messages.size(), 1U);
    EXPECT_EQ(form.txtFrq(), "10000");

    for (const QPushButton* button : view.findChildren<QPushButton*>())
        EXPECT_FALSE(button->autoDefault() || button->isDefault()) << button->text().toStdString();
    qobject_cast<QLineEdit*>(value)->clear();
    QTest::keyClicks(value, "95");
    QTest::keyClick(value, Qt::Key_Return);
    QTest::keyClick(value, Qt::Key_Return);
    EXPECT_EQ(form.LstValues(1), QStringList({"50", "90", "10", "95"}));
    EXPECT_EQ(pickLists, 0);
}

QAction* menuAction(QWidget& view, const QString& text) {
    for (QAction* action : view.findChildren<QAction*>())
        if (action->text() == text)
            return action;
    return nullptr;
}

// Regression: Report > Run Calculations ran with the focused field's unchecked text (5 MHz).
// The focused field is checked first; the run goes on only when it passed.
TEST_F(PtpViews, RegressionRunCalculationsChecksTheFocusedFieldFirst) {
    FrmPtoPModel form(state, store, prompter, info, model, {}, {});
    form.Form_Load();
    FrmPtoPView view(form);
    view.show();
    QAction* run = menuAction(view, QStringLiteral("Run &Calculations"));
    ASSERT_NE(run, nullptr);
    QWidget* frequency = view.control("txtFrq");
    sendFocus(frequency, QEvent::FocusIn, Qt::MouseFocusReason);
    form.setTxtFrq("5");
    prompter.messages.clear();
    run->trigger();
    ASSERT_EQ(prompter.messages.size(), 1U) << "the range message only: no run";
    EXPECT_TRUE(prompter.messages[0].text.contains("Frequency"));
    EXPECT_EQ(form.txtFrq(), "10000");

    form.setTxtFrq("450");
    run->trigger();
    ASSERT_EQ(prompter.messages.size(), 2U);
    EXPECT_EQ(prompter.messages[1].text, "No Terrain Selected") << "the run went on";
}

// Regression: the profile editor's distance cells opened an editor whose text was dropped,
// and Escape in the editor kept the edits.
TEST_F(PtpViews, RegressionTheEditorsDistancesAreFixedAndEscapeDiscardsTheEdits) {
    state.path.ListEditCol1 = {0, 30};
    state.path.ListEditCol2 = {1.5, 2};
    FrmListEditModel editor(state.path);
    editor.Form_Load();
    editor.setColumnEditable(1, false);
    FrmListEditView view(editor);
    for (int row = 0; row < 2; ++row) {
        EXPECT_FALSE(view.grid()->item(row, 0)->flags() & Qt::ItemIsEditable) << row;
        EXPECT_TRUE(view.grid()->item(row, 1)->flags() & Qt::ItemIsEditable) << row;
    }
    view.grid()->item(1, 1)->setText("7");
    QTest::keyClick(view.grid(), Qt::Key_Escape);
    EXPECT_TRUE(editor.closeRequested());
    EXPECT_FALSE(state.path.ListEditAccepted);
    EXPECT_EQ(state.path.ListEditCol2, (std::vector<double>{1.5, 2}));
}

// The Link Budget dialog shows the whole group above its buttons at both sizes.
TEST_F(PtpViews, TheLinkBudgetDialogShowsTheGroupAndItsButtons) {
    FrmLinkBudgetModel model(store, prompter, QStringLiteral("Verdan"));
    model.Form_Load();
    FrmLinkBudgetView view(model);
    for (const QSize size : {view.sizeHint(), view.sizeHint() + QSize(200, 120)}) {
        view.resize(size);
        view.show();
        QApplication::processEvents();
        keep(view.grab().toImage(), QStringLiteral("link-budget-%1.png").arg(size.width()));
        const QRect inside = view.rect();
        for (const char* name : {"txtPower", "txtThreshold"}) {
            const QWidget* field = view.group()->control(QString::fromLatin1(name));
            ASSERT_NE(field, nullptr) << name;
            EXPECT_TRUE(inside.contains(QRect(field->mapTo(&view, QPoint()), field->size())));
        }
        const auto* ok = view.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        ASSERT_NE(ok, nullptr);
        EXPECT_GT(ok->mapTo(&view, QPoint()).y(),
                  view.group()->mapTo(&view, QPoint()).y() + view.group()->height() - 1);
    }
}

// View > Line of Sight and Fresnel Zone draws the red line and the green zone over the
// profile; off again, the picture is the plain one.
TEST_F(PtpViews, TheViewMenuTogglesTheLineOfSightAndTheZone) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.pfl"));
    ASSERT_TRUE(test::writeContent(file, "10,1000\n100,140,180,220,230,215,190,160,150,140,150\n"));
    FrmPtoPModel form(state, store, prompter, info, model, {}, {});
    form.Form_Load();
    form.setTxtFrq(QStringLiteral("900"));
    form.setTxtH1(QStringLiteral("40"));
    form.setTxtH2(QStringLiteral("30"));
    prompter.queueOpenFile(file);
    form.mnuFileLoadProfile_Click();
    FrmPtoPView view(form);
    const auto picture = [&view] {
        return static_cast<QLabel*>(view.control(QStringLiteral("picProfile")))->pixmap().toImage();
    };
    const QImage plain = picture();
    EXPECT_EQ(countPixels(plain, qRgb(220, 0, 0)), 0);
    form.mnuViewFresnel_Click();
    const QImage zone = picture();
    keep(zone, QStringLiteral("profile-fresnel.png"));
    EXPECT_GT(countPixels(zone, qRgb(220, 0, 0)), 400);
    EXPECT_GT(countPixels(zone, qRgb(0, 150, 0)), 800);
    form.mnuViewFresnel_Click();
    EXPECT_EQ(picture(), plain);
}

} // namespace
