#include "ProfileCommand.h"

#include "CliPrompter.h"
#include "CliRun.h"
#include "Coordinates.h"
#include "FrmProfileModel.h"
#include "FrmPtoPModel.h"
#include "P2pCommand.h"
#include "PathCoordinatesHost.h"
#include "ProfileFile.h"
#include "ScriptedPrompter.h"
#include "TerrainFixtures.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <sstream>

using namespace verdan;
using namespace verdan::cli;
using verdan::test::ScriptedPrompter;

using verdan::test::Outcome;
using verdan::test::runCommand;

namespace {

const QString DemoGlobe = QStringLiteral(VERDAN_DEMO_GLOBE_DIR);

QStringList nonEmptyLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            lines << line;
    }
    return lines;
}

TEST(ProfileCommand, QuarnProfileWithoutAnyDataFailsWithStatus2) {
    test::QuarnFixture quarn(true, {39 * 60 + 30, -78 * 60 + 30}, 'c');
    ASSERT_TRUE(quarn.ok()) << quarn.error().toStdString();
    const Outcome o = runCommand(
        profileCommand, {"--tx", "39.51,-77.499", "--rx", "39.52,-77.49", "--terrain", "quarn"});
    EXPECT_EQ(o.status, ExitUsage);
    EXPECT_TRUE(o.out.empty());
    EXPECT_EQ(o.err, "verdan-cli: Missing topographic elevation data\n");
}

TEST(P2pCommandCoordinates, SameReportLinesAsTheProgramForTheSameInputs) {
    ASSERT_TRUE(QFileInfo::exists(DemoGlobe + QStringLiteral("globe.dat")))
        << "the synthetic demo GLOBE data is not built in " << DemoGlobe.toStdString();
    const Outcome cli = runCommand(
        p2pCommand, {"--tx", "39.08,-76.7", "--rx", "38.92,-76.98", "--globe-path", DemoGlobe});
    ASSERT_EQ(cli.status, ExitOk) << cli.err;

    // The same path typed into the program's forms: decimal degrees, Globe, its folder, OK,
    // then Run Calculations.
    MemorySettingsStore store;
    ProgramState state;
    ScriptedPrompter prompter;
    AppInfo info;
    PropagationModel model(prompter);
    PathCoordinatesHost host(state, prompter, info);
    FrmPtoPModel::Openers openers;
    openers.pathCoordinates = [&host] { host.open(); };
    FrmPtoPModel ptp(state, store, prompter, info, model, openers, {});
    ptp.Form_Load();
    prompter.queueModal(QStringLiteral("frmProfile"), [&](ScreenModel& screen) {
        auto& form = static_cast<FrmProfileModel&>(screen);
        const QStringList hemispheres{"N", "W", "N", "W"};
        for (int c = 0; c < 4; ++c) {
            form.setBox(static_cast<FrmProfileModel::Coordinate>(c), 3, hemispheres[c]);
            form.box_LostFocus(static_cast<FrmProfileModel::Coordinate>(c), 3);
        }
        form.mnuEditDD_Click();
        const QStringList typed{"39.08", "76.7", "38.92", "76.98"};
        for (int c = 0; c < 4; ++c) {
            form.setDdBox(static_cast<FrmProfileModel::Coordinate>(c), typed[c]);
            form.ddBox_LostFocus(static_cast<FrmProfileModel::Coordinate>(c));
        }
        prompter.queueOpenFile(DemoGlobe + QStringLiteral("globe.dat"));
        form.optDorvex_Click(1);
        form.cmdCalc_Click();
    });
    ptp.cmdProfile_Click();
    ASSERT_TRUE(state.path.ProfileReady) << prompter.messageTexts().join(u'|').toStdString();
    ASSERT_EQ(ptp.mnuReportCalculations_Click(), PointToPointStatus::Done);

    const QStringList expected = nonEmptyLines(QString::fromStdString(cli.out));
    const QStringList program = nonEmptyLines(state.log->document().plainText());
    ASSERT_GE(program.size(), expected.size());
    EXPECT_EQ(program.mid(program.size() - expected.size()), expected);
    EXPECT_TRUE(
        expected.contains(QStringLiteral("Coordinates: (39.08 N,76.7 W) - (38.92 N,76.98 W)")))
        << expected.join(u'\n').toStdString();
    EXPECT_TRUE(expected.contains(QStringLiteral("Terrain Handler: GLOBE")));
}

} // namespace
