#include "FrmAboutModel.h"
#include "ScriptedPrompter.h"
#include "ShellViews.h"
#include "TestApplication.h"
#include "WidgetPrompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

class ShellViews : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::makeApplication<QApplication>(); }
    MemorySettingsStore store;
    ProgramState state;
    ScriptedPrompter prompter;
    AppInfo info;
};

/// Does `act` on the next modal dialog of class `Dialog`, as soon as it is up.
template <class Dialog = QMessageBox>
void onNextDialog(std::type_identity_t<std::function<void(Dialog&)>> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (auto* box = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
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
        onNextDialog(act);
        EXPECT_EQ(widgets.message("Retain Output Log?", "Output Log", MsgButtons::YesNo,
                                  MsgIcon::Question),
                  answer);
    }
}

// Regression: message and input boxes were narrower than their titles, which the window
// manager then cut ("Add… ive", "Area M… Save"). Each opens wide enough for its whole title
// in a bold font, with room for the window's icon and buttons.
TEST_F(ShellViews, RegressionMessageAndInputBoxesFitTheirTitles) {
    ViewRegistry views;
    WidgetPrompter widgets(views);
    const auto titleFits = [](QWidget& box) {
        QFont bold = box.font();
        bold.setBold(true);
        EXPECT_GE(box.width(), QFontMetrics(bold).horizontalAdvance(box.windowTitle()) + 100)
            << box.windowTitle().toStdString();
    };
    for (const char* title : {"Add Data to Archive", "Verdan Point-to-Point Calculations"}) {
        onNextDialog([&titleFits](QMessageBox& box) {
            titleFits(box);
            box.button(QMessageBox::Ok)->click();
        });
        widgets.message("Data Stored", title, MsgButtons::Ok, MsgIcon::None);
    }
    onNextDialog<QInputDialog>([&titleFits](QInputDialog& box) {
        titleFits(box);
        box.reject();
    });
    QString comment;
    EXPECT_FALSE(widgets.input("Comments for plot", "Area Mode Data Save", comment));
}

// Regression: every file dialog started in the home folder. A dialog starts in the folder
// last used for its kind (its caption) this session, else where its caller asks.
TEST(RecentFolders, RegressionFileDialogsStartWhereTheirKindWasLastUsed) {
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    RecentFolders recent;
    FileRequest report;
    report.caption = QStringLiteral("Save Report Log");
    report.startFolder = first.path();
    FileRequest image = report;
    image.caption = QStringLiteral("Save Image");
    FileRequest tiles = report;
    tiles.caption = QStringLiteral("Choose a Folder of Elevation Tiles");
    tiles.folder = true;

    EXPECT_EQ(recent.startFolder(report), first.path());
    recent.remember(report, second.filePath("report.txt"));
    recent.remember(image, QString()); // cancelled
    recent.remember(tiles, second.path());
    EXPECT_EQ(recent.startFolder(report), second.path());
    EXPECT_EQ(recent.startFolder(image), first.path()) << "another kind";
    EXPECT_EQ(recent.startFolder(tiles), second.path()) << "a chosen folder itself";

    const QString gone = second.path();
    second.remove();
    EXPECT_EQ(recent.startFolder(report), first.path()) << gone.toStdString() << " is gone";
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
        onNextDialog([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
        inform(widgets, "Warning: Identical coordinate values entered.", "Terrain Coordinates");
        about.cmdOK_Click();
    });
    widgets.runModal(about);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&opener));
}

} // namespace
