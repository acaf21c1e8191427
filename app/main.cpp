#include "AppInfo.h"
#include "AreaViews.h"
#include "FrmPlanningMapView.h"
#include "FrmGraphView.h"
#include "FrmProfileView.h"
#include "FrmPtoPView.h"
#include "FrmVerdanModel.h"
#include "ModeFormHost.h"
#include "PathCoordinatesHost.h"
#include "ProgramCoverage.h"
#include "ProgramState.h"
#include "PropagationModel.h"
#include "ResultsArchive.h"
#include "ResultsGraph.h"
#include "SettingsStore.h"
#include "VerdanVersion.h"
#include "views/ShellViews.h"
#include "views/WidgetPrompter.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

namespace {

// Qt's own diagnostics (about files, database connections, fonts) mean nothing to the user;
// every failure the user must know about is shown by the program itself.
void dropQtMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

int main(int argc, char* argv[]) {
    qInstallMessageHandler(dropQtMessage);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Verdan %s\n", VERDAN_VERSION_TEXT);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verdan"));
    QApplication::setApplicationVersion(QStringLiteral(VERDAN_VERSION_TEXT));

    const verdan::AppInfo info = verdan::buildAppInfo(QApplication::applicationDirPath());
    verdan::IniSettingsStore store;
    verdan::ProgramState state;
    verdan::ViewRegistry views;
    verdan::registerShellViews(views);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/verdan.svg")));
    verdan::registerAreaViews(views);
    verdan::registerGraphViews(views);
    verdan::registerPtpViews(views);
    verdan::registerProfileViews(views);
    verdan::registerPlanningMapViews(views);
    verdan::WidgetPrompter prompter(views);

    verdan::FrmVerdanModel::Openers openers;
    verdan::PropagationModel model(prompter);
    verdan::ResultsArchive archive(verdan::confLevelPicker(state));
    verdan::FrmUAMModel::Extensions areaExtensions;
    areaExtensions.showGraph = [&](verdan::FrmUAMModel&) {
        verdan::showResultsGraph(state.area, prompter);
    };
    areaExtensions.saveToArchive = [&](verdan::FrmUAMModel& form) {
        if (archive.saveResults(state.area, state, prompter)) {
            form.cmdSaveData().enabled = false;
            emit form.changed();
        }
    };
    verdan::ModeFormHost modeForms(state, store, prompter, info, model, areaExtensions);
    openers.areaMode = [&modeForms] { modeForms.openAreaMode(); };
    openers.pointToPoint = [&modeForms] { modeForms.openPointToPoint(); };
    openers.planningMap = [&modeForms] { modeForms.openPlanningMap(); };
    verdan::PathCoordinatesHost pathCoordinates(state, prompter, info);
    modeForms.setPathCoordinatesOpener([&pathCoordinates] { pathCoordinates.open(); });
    modeForms.setCoverageServices(verdan::programCoverageServices(pathCoordinates.terrain()));
    openers.unloadPathCoordinates = [&pathCoordinates] { pathCoordinates.unload(); };

    verdan::FrmVerdanModel selector(state, store, prompter, info, openers);
    verdan::FrmVerdanView window(selector);
    selector.Form_Load();
    prompter.setOwner(&window);
    window.show();
    QObject::connect(&window, &verdan::FrmVerdanView::closed, &app, &QApplication::quit);
    const int exitCode = QApplication::exec();
    modeForms.removeUnretainedLogFiles();
    return exitCode;
}
