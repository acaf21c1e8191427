#include "PathCoordinatesHost.h"

#include "FrmPtoPModel.h"
#include "ScriptedPrompter.h"
#include "TerrainFixtures.h"

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

TEST(PathCoordinatesExchange, TheProfileIsDrawnTheSourceShownAndEditingEnabled) {
    test::GlobeFixture globe;
    ASSERT_TRUE(globe.ok()) << globe.error().toStdString();
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
    state.path.coords = {"39", "4",  "48", "N", "76", "42", "0",  "W",
                         "38", "55", "12", "N", "76", "58", "48", "W"};
    EXPECT_EQ(ptp.lblDorvex(), QStringLiteral("Quarn"));
    EXPECT_FALSE(ptp.cmdEditProfileEnabled());

    prompter.queueModal(QStringLiteral("frmProfile"), [&](ScreenModel& screen) {
        auto& form = static_cast<FrmProfileModel&>(screen);
        prompter.queueOpenFile(globe.folder() + QStringLiteral("globe.dat"));
        form.optDorvex_Click(1);
        form.cmdCalc_Click();
    });
    ptp.cmdProfile_Click();
    EXPECT_TRUE(state.path.ProfileReady);
    EXPECT_EQ(ptp.lblDorvex(), QStringLiteral("GLOBE"));
    EXPECT_TRUE(ptp.cmdEditProfileEnabled());
    EXPECT_FALSE(ptp.picProfileShowsBackground());
    EXPECT_EQ(ptp.picProfileElevations().size(), 800u);

    // A failed extraction drops the profile and brings the background picture back.
    ASSERT_TRUE(globe.removeTileC());
    prompter.queueModal(QStringLiteral("frmProfile"), [](ScreenModel& screen) {
        auto& form = static_cast<FrmProfileModel&>(screen);
        form.setTxtTransLat(0, QStringLiteral("60"));
        form.setTxtTransLon(3, QStringLiteral("E"));
        form.setTxtRecLat(0, QStringLiteral("60"));
        form.setTxtRecLon(3, QStringLiteral("E"));
        for (int i : {0, 3}) {
            form.txtTransLat_LostFocus(i);
            form.txtTransLon_LostFocus(i);
            form.txtRecLat_LostFocus(i);
            form.txtRecLon_LostFocus(i);
        }
        form.txtTransLon_LostFocus(0);
        form.cmdCalc_Click();
    });
    ptp.cmdProfile_Click();
    EXPECT_FALSE(state.path.ProfileReady);
    EXPECT_TRUE(ptp.picProfileShowsBackground());
    EXPECT_TRUE(prompter.messageTexts().last().startsWith(QStringLiteral("Error opening tile ")))
        << prompter.messageTexts().join(u'|').toStdString();
    EXPECT_EQ(ptp.mnuReportCalculations_Click(), PointToPointStatus::NoTerrain);
}

} // namespace
