#include "ResultsGraph.h"

#include "FrmGraphModel.h"
#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace verdan {
namespace {

using test::ScriptedPrompter;

// `rows` distances from 10 km by 10 km with `levels` active levels, then free space.
AreaResults tableOf(int rows, std::vector<double> levels) {
    AreaResults results;
    results.valid = true;
    results.graphLastLevel = static_cast<int>(levels.size()) - 1;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        results.graphConfLevels[i] = levels[i];
        results.graphLabels << QString::number(levels[i], 'f', 1) + QStringLiteral("% Confidence");
    }
    results.graphLabels << QStringLiteral("Free Space");
    for (int row = 0; row < rows; ++row) {
        results.graphDist.push_back(10.0 * (row + 1));
        std::vector<double> losses;
        for (std::size_t s = 0; s <= levels.size(); ++s)
            losses.push_back(100.0 + row + 5.0 * static_cast<double>(s));
        results.graphLoss.push_back(losses);
    }
    results.graphLastPoint = rows - 1;
    results.graphTitle1 = QStringLiteral("title one");
    results.graphTitle2 = QStringLiteral("title two");
    return results;
}

TEST(GraphSeries, TwoLevelsGiveThreeLinesWithTheirColours) {
    const auto lines = graphSeries(tableOf(5, {50, 90}));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].name, QStringLiteral("50.0% Confidence"));
    EXPECT_EQ(lines[1].name, QStringLiteral("90.0% Confidence"));
    EXPECT_EQ(lines[2].name, QStringLiteral("Free Space"));
    EXPECT_EQ(lines[0].colour, (Rgb{0, 0, 255}));
    EXPECT_EQ(lines[1].colour, (Rgb{0, 150, 0}));
    EXPECT_EQ(lines[2].colour, (Rgb{130, 130, 210}));
    ASSERT_EQ(lines[1].distKm.size(), 5u);
    EXPECT_EQ(lines[1].distKm[4], 50.0);
    EXPECT_EQ(lines[1].lossDb[4], 109.0);
    EXPECT_EQ(lines[2].lossDb[0], 110.0);
}

TEST(GraphSeries, FourLevelsUseTheFirstFourColoursAndFreeSpaceTheFifth) {
    const auto lines = graphSeries(tableOf(3, {50, 90, 10, 99}));
    ASSERT_EQ(lines.size(), 5u);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].colour, kSeriesColours[i]) << i;
    EXPECT_EQ(lines[2].colour, (Rgb{140, 50, 140}));
    EXPECT_EQ(lines[3].colour, (Rgb{255, 0, 0}));
}

TEST(GraphSeries, NoNormalRunGivesNoLines) {
    EXPECT_TRUE(graphSeries(AreaResults{}).empty());
}

TEST(CanShowGraph, NeedsTwoDistances) {
    EXPECT_FALSE(canShowGraph(AreaResults{}));
    EXPECT_FALSE(canShowGraph(tableOf(1, {50})));
    EXPECT_TRUE(canShowGraph(tableOf(2, {50})));
}

TEST(ShowResultsGraph, SingleDistanceGivesTheWarning) {
    ScriptedPrompter prompter;
    showResultsGraph(tableOf(1, {50, 90, 10}), prompter);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("Warning: Cannot show graph with less than two points"));
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Results Graph"));
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(prompter.screensShown.isEmpty());
}

TEST(ShowResultsGraph, TwoDistancesOpenTheLoadedGraph) {
    ScriptedPrompter prompter;
    int lines = 0;
    QString caption;
    prompter.queueModal(QStringLiteral("frmGraph"), [&](ScreenModel& screen) {
        auto& graph = dynamic_cast<FrmGraphModel&>(screen);
        lines = static_cast<int>(graph.series().size());
        caption = graph.caption();
        graph.cmdOK_Click();
    });
    showResultsGraph(tableOf(2, {50, 90, 10}), prompter);
    EXPECT_EQ(prompter.screensShown, QStringList{QStringLiteral("frmGraph")});
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(lines, 4);
    EXPECT_EQ(caption, QStringLiteral("User Area Model"));
}

} // namespace
} // namespace verdan
