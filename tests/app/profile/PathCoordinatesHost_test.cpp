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
    const std::array<QString, PathState::CoordCount> coords{
        "39", "4", "48", "N", "76", "42", "0", "W", "38", "55", "12", "N", "76", "58", "48", "W"};
    state.path.coords = coords;
    state.path.ProfileFile = QStringLiteral("/earlier/loaded.pfl");
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
    EXPECT_TRUE(state.path.ProfileFile.isEmpty()) << "an extracted profile comes from no file";
    EXPECT_EQ(state.path.coords, coords);
    EXPECT_FALSE(prompter.busy);
    EXPECT_EQ(ptp.lblDorvex(), QStringLiteral("GLOBE"));
    EXPECT_TRUE(ptp.cmdEditProfileEnabled());
    EXPECT_FALSE(ptp.picProfileShowsBackground());
    EXPECT_EQ(ptp.picProfileElevations().size(), 800u);
}

} // namespace
