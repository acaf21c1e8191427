#include "FrmDC_CondModel.h"
#include "FrmDeltaHModel.h"
#include "FrmSurfRefModel.h"
#include "ModeFormHost.h"
#include "ScriptedPrompter.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

class Host : public ::testing::Test {
protected:
    MemorySettingsStore store;
    ScriptedPrompter prompter;
    ProgramState state;
    AppInfo info;
    PropagationModel model{prompter};
    ModeFormHost host{state, store, prompter, info, model};
};

// Regression: a form loaded hidden by a pick-list made a log file that stayed behind.
TEST_F(Host, RegressionNoLogFileButTheRetainedOneIsLeftAtTheEnd) {
    QString hiddenFile;
    prompter.queueModal("frmPtoP", [&](ScreenModel&) {
        host.areaForm().setFieldText("txtNs", "320");
        hiddenFile = host.loadedAreaForm()->logFileName();
    });
    prompter.queueMessage(MsgAnswer::Yes);
    host.openPointToPoint();
    const QString retained = store.get("Verdan", "Verdan", "TempLogName");
    ASSERT_FALSE(retained.isEmpty());
    ASSERT_TRUE(QFileInfo::exists(hiddenFile));
    host.removeUnretainedLogFiles();
    EXPECT_FALSE(QFileInfo::exists(hiddenFile));
    EXPECT_TRUE(QFileInfo::exists(retained));
}

} // namespace
