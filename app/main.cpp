#include "AppInfo.h"
#include "AreaViews.h"
#include "FrmVerdanModel.h"
#include "ModeFormHost.h"
#include "ProgramState.h"
#include "PropagationModel.h"
#include "SettingsStore.h"
#include "VerdanVersion.h"
#include "views/ShellViews.h"
#include "views/WidgetPrompter.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Verdan %s\n", VERDAN_VERSION_TEXT);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verdan"));
    QApplication::setApplicationVersion(QStringLiteral(VERDAN_VERSION_TEXT));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/verdan.svg")));

    const verdan::AppInfo info = verdan::buildAppInfo(QApplication::applicationDirPath());
    verdan::IniSettingsStore store;
    verdan::ProgramState state;
    verdan::ViewRegistry views;
    verdan::registerShellViews(views);
    verdan::registerAreaViews(views);
    verdan::WidgetPrompter prompter(views);

    const auto notYet = [&prompter](const QString& mode) {
        prompter.message(mode + QStringLiteral(" is not available in this version of Verdan."),
                         QStringLiteral("Verdan"), verdan::MsgButtons::Ok,
                         verdan::MsgIcon::Information);
    };
    verdan::FrmVerdanModel::Openers openers;
    verdan::PropagationModel model(prompter);
    verdan::ModeFormHost modeForms(state, store, prompter, info, model);
    openers.areaMode = [&modeForms] { modeForms.openAreaMode(); };
    openers.pointToPoint = [&] { notYet(QStringLiteral("The point-to-point mode")); };

    verdan::FrmVerdanModel selector(state, store, prompter, info, openers);
    verdan::FrmVerdanView window(selector);
    selector.Form_Load();
    prompter.setOwner(&window);
    window.show();
    QObject::connect(&window, &verdan::FrmVerdanView::closed, &app, &QApplication::quit);
    return QApplication::exec();
}
