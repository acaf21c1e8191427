// A user session with the program's own windows: the point-to-point form, the path
// coordinates form and the report window run modally as in the program; only message boxes
// and the file dialog are answered by the script. With VERDAN_SCREENSHOT_DIR set, each step
// is saved as a PNG there (run under Xvfb for the real platform, or offscreen).
#include "FrmProfileView.h"
#include "FrmPtoPModel.h"
#include "FrmPtoPView.h"
#include "PathCoordinatesHost.h"
#include "ProfilePicture.h"
#include "ShellViews.h"
#include "WidgetPrompter.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <stdexcept>

using namespace verdan;

namespace {

int argc = 1;
char appName[] = "profile_session_test";
char* argv[] = {appName, nullptr};

/// The program's modal screens, with a script run inside each one's modal loop; messages
/// and the open-file dialog are answered here and recorded.
class SessionPrompter final : public Prompter {
public:
    using Script = std::function<void(QDialog&)>;

    explicit SessionPrompter(const ViewRegistry& views) : m_widgets(views) {}

    void queueModal(const QString& screen, Script script) {
        m_scripts[screen].push_back(std::move(script));
    }
    void queueOpenFile(const QString& path) { m_openAnswers.push_back(path); }

    QStringList messages;
    QStringList screensShown;

    MsgAnswer message(const QString& text, const QString&, MsgButtons, MsgIcon) override {
        messages << text;
        return MsgAnswer::Ok;
    }
    bool input(const QString&, const QString&, QString&) override { return false; }
    FileAnswer saveFile(const FileRequest&) override { return {}; }
    FileAnswer openFile(const FileRequest&) override {
        if (m_openAnswers.empty())
            return {};
        FileAnswer answer{m_openAnswers.front(), 0};
        m_openAnswers.pop_front();
        return answer;
    }
    void runModal(ScreenModel& screen) override {
        screensShown << screen.screenName();
        auto& queue = m_scripts[screen.screenName()];
        Script script;
        if (!queue.empty()) {
            script = std::move(queue.front());
            queue.pop_front();
        }
        // Runs once the dialog is up; a screen without a script is closed at once.
        QTimer::singleShot(50, [script, &screen] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no modal window for " << screen.screenName().toStdString();
                return;
            }
            try {
                if (script)
                    script(*dialog);
            } catch (const std::exception& error) {
                ADD_FAILURE() << screen.screenName().toStdString() << ": " << error.what();
            }
            if (dialog->isVisible())
                dialog->close();
        });
        m_widgets.runModal(screen);
    }
    void setBusy(bool busy) override { m_widgets.setBusy(busy); }
    void showHelp(const QString&, int) override {}
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&) override { return false; }

private:
    WidgetPrompter m_widgets;
    std::map<QString, std::deque<Script>> m_scripts;
    std::deque<QString> m_openAnswers;
};

/// Saves `widget` as `name`.png in $VERDAN_SCREENSHOT_DIR when it is set.
void screenshot(QWidget& widget, const QString& name) {
    QApplication::processEvents();
    const QString folder = qEnvironmentVariable("VERDAN_SCREENSHOT_DIR");
    const QPixmap image = widget.grab();
    EXPECT_FALSE(image.isNull()) << name.toStdString();
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        EXPECT_TRUE(image.save(folder + u'/' + name + QStringLiteral(".png")));
    }
}

/// The control `name` of a view; a missing control ends the test's script.
template <typename Widget> Widget& child(QDialog& dialog, const QString& name) {
    QWidget* widget = nullptr;
    if (auto* ptp = qobject_cast<FrmPtoPView*>(&dialog))
        widget = ptp->control(name);
    else if (auto* profile = qobject_cast<FrmProfileView*>(&dialog))
        widget = profile->control(name);
    auto* typed = qobject_cast<Widget*>(widget);
    if (!typed)
        throw std::runtime_error("no control " + name.toStdString());
    return *typed;
}

/// Types `text` into a box as a user would: focus in, the text replaced, focus out.
void typeInto(QDialog& dialog, const QString& name, const QString& text) {
    auto& box = child<QLineEdit>(dialog, name);
    box.setFocus();
    box.selectAll();
    QTest::keyClicks(&box, text);
    QApplication::processEvents();
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&box, &out);
}

TEST(PathCoordinatesSession, CoordinatesToReportWithTheDemoGlobeData) {
    if (!QApplication::instance())
        new QApplication(argc, argv);
    const QString demo = QStringLiteral(VERDAN_DEMO_GLOBE_DIR);
    ASSERT_TRUE(QFileInfo::exists(demo + QStringLiteral("globe.dat")))
        << "the build writes the synthetic demo GLOBE data into " << demo.toStdString();

    ViewRegistry views;
    registerShellViews(views);
    registerPtpViews(views);
    registerProfileViews(views);
    SessionPrompter prompter(views);
    MemorySettingsStore store;
    ProgramState state;
    AppInfo info;
    PropagationModel model(prompter);
    PathCoordinatesHost pathCoordinates(state, prompter, info);
    FrmPtoPModel::Openers openers;
    openers.pathCoordinates = [&pathCoordinates] { pathCoordinates.open(); };
    FrmPtoPModel ptp(state, store, prompter, info, model, openers, profilePicturePng);
    ptp.Form_Load();

    prompter.queueModal(QStringLiteral("frmProfile"), [&](QDialog& form) {
        screenshot(form, QStringLiteral("02-path-coordinates-empty"));
        const QStringList boxes{"txtTransLat", "txtTransLon", "txtRecLat", "txtRecLon"};
        const QStringList values{"39", "4",  "48", "N", "76", "42", "0",  "W",
                                 "38", "55", "12", "N", "76", "58", "48", "W"};
        for (int c = 0; c < 4; ++c) {
            for (int i = 0; i < 4; ++i)
                typeInto(form, boxes[c] + QString::number(i), values[c * 4 + i]);
        }
        prompter.queueOpenFile(demo + QStringLiteral("globe.dat"));
        child<QRadioButton>(form, QStringLiteral("optDorvex1")).click();
        EXPECT_EQ(state.path.GlobePath, demo);
        screenshot(form, QStringLiteral("03-path-coordinates-entered"));
        child<QPushButton>(form, QStringLiteral("cmdCalc")).click();
    });
    prompter.queueModal(QStringLiteral("FrmReport"), [&](QDialog& report) {
        report.resize(900, 700);
        screenshot(report, QStringLiteral("05-report"));
    });
    prompter.queueModal(QStringLiteral("frmPtoP"), [&](QDialog& form) {
        screenshot(form, QStringLiteral("01-point-to-point"));
        child<QPushButton>(form, QStringLiteral("cmdProfile")).click();
        EXPECT_TRUE(state.path.ProfileReady);
        EXPECT_EQ(child<QLabel>(form, QStringLiteral("lblDorvex")).text(), QStringLiteral("GLOBE"));
        EXPECT_TRUE(child<QPushButton>(form, QStringLiteral("cmdEditProfile")).isEnabled());
        screenshot(form, QStringLiteral("04-point-to-point-profile"));
        child<QPushButton>(form, QStringLiteral("cmdCalc")).click();
    });
    prompter.runModal(ptp);

    EXPECT_EQ(prompter.screensShown, (QStringList{"frmPtoP", "frmProfile", "FrmReport"}));
    EXPECT_EQ(prompter.messages,
              QStringList{"Cannot find Globe database.  Specify Path to Globe Database Files."});
    EXPECT_EQ(state.ProfilePoints, 800);
    ASSERT_TRUE(state.log);
    const QString report = state.log->document().plainText();
    EXPECT_TRUE(report.contains(QStringLiteral("Terrain Handler: GLOBE"))) << report.toStdString();
    EXPECT_TRUE(report.contains(
        QStringLiteral("Coordinates: (39 4 48 N,76 42 0 W) - (38 55 12 N,76 58 48 W)")))
        << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Profile: Num Points 800,")));
    EXPECT_EQ(state.log->document().pictureCount(), 1);
}

} // namespace
