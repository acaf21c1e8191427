#include "MapSitesTools.h"

#include "ScriptedPrompter.h"
#include "TableTerrain.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace verdan {
namespace {

using Tool = MapSitesTools::Tool;

class MapTools : public ::testing::Test {
protected:
    MapTools() {
        services.terrain = [](QString&) { return std::make_shared<test::TableTerrain>(std::vector<double>(11, 100.0)); };
        tools = std::make_unique<MapSitesTools>(state, store, prompter, QStringLiteral("Verdan"), services);
    }

    ProgramState state;
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    PathProfileServices services;
    std::unique_ptr<MapSitesTools> tools;
};

TEST_F(MapTools, AClickDoesWhatTheToolInUseSays) {
    tools->mapClicked(45, 7); // panning
    EXPECT_EQ(tools->sites().rowCount(), 0);
    tools->setTool(Tool::AddSite);
    tools->mapClicked(45, 7);
    tools->mapClicked(45.1, 7.2);
    ASSERT_EQ(tools->sites().rowCount(), 2);
    EXPECT_EQ(tools->profile().revision(), 0);

    // A press within the tolerance picks the nearest site; a drag moves it with this tool only.
    EXPECT_EQ(tools->siteNear(45.0005, 7.0005, 0.001), 0);
    EXPECT_EQ(tools->siteNear(45.05, 7.1, 0.001), -1);
    EXPECT_TRUE(tools->dragSite(0, 45.01, 7.01));
    EXPECT_EQ(tools->sites().sites()[0].latDeg, 45.01);

    tools->setTool(Tool::PathProfile);
    EXPECT_FALSE(tools->dragSite(0, 45.02, 7.02));
    tools->mapClicked(45, 7);
    tools->escape(); // the first end is forgotten: two more clicks make the path
    EXPECT_EQ(tools->tool(), Tool::Pan);
    tools->setTool(Tool::PathProfile);
    tools->mapClicked(45.2, 7);
    tools->mapClicked(45.2, 7.1);
    EXPECT_EQ(tools->profile().revision(), 1);
    EXPECT_EQ(tools->profile().text(PathProfileModel::txtLatA), "45.200000");
    EXPECT_EQ(tools->sites().rowCount(), 2);
}

TEST_F(MapTools, AProfileBetweenSitesTakesTheirNamesHeightsAndFrequency) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("net.csv"));
    ASSERT_TRUE(test::writeContent(
        path, "name,lat,lon,height_m,freq_mhz\nMast,45,7,42,900\nHut,45,7.1,,\n"));
    ASSERT_TRUE(tools->sites().openFile(path));
    ASSERT_TRUE(tools->profileBetweenSites(0, 1));
    const PathProfileModel& profile = tools->profile();
    EXPECT_EQ(profile.endName(PathProfileModel::EndA), "Mast");
    EXPECT_EQ(profile.endName(PathProfileModel::EndB), "Hut");
    EXPECT_EQ(profile.text(PathProfileModel::txtHeightA), "42");
    EXPECT_EQ(profile.text(PathProfileModel::txtHeightB), "10"); // the tool's own
    EXPECT_EQ(profile.text(PathProfileModel::txtFreq), "900");
    EXPECT_NEAR(profile.geometry().points.front().rayM, 142, 1e-9);
    EXPECT_FALSE(tools->profileBetweenSites(0, 2));
}

TEST_F(MapTools, ARunTakesTheLinkBudgetUnlessItHasAnErpToo) {
    LinkBudgetModel& budget = tools->linkBudget();
    budget.setText(LinkBudgetModel::txtPower, QStringLiteral("20"));
    budget.setCmbPowerUnit(LinkBudgetModel::UnitDbw);
    budget.setText(LinkBudgetModel::txtRxGain, QStringLiteral("3"));
    budget.setText(LinkBudgetModel::txtThreshold, QStringLiteral("-100"));
    coverage::CoverageInputs in;
    ASSERT_TRUE(tools->applyLinkBudget(in));
    EXPECT_EQ(in.transmitter.powerDbm, 50);
    EXPECT_EQ(in.receiver.gainDbi, 3);
    ASSERT_TRUE(in.receiver.threshold);
    EXPECT_TRUE(in.hasLinkBudget());

    coverage::CoverageInputs withErp;
    withErp.erpDbw = 30;
    EXPECT_FALSE(tools->applyLinkBudget(withErp));
    EXPECT_FALSE(withErp.transmitter.powerDbm);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QLatin1String("Give either the ERP")));

    budget.setText(LinkBudgetModel::txtPower, QString()); // a map of loss keeps its ERP
    EXPECT_TRUE(tools->applyLinkBudget(withErp));
    EXPECT_EQ(withErp.erpDbw, 30);
}

} // namespace
} // namespace verdan
