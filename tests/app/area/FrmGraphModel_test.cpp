#include "FrmGraphModel.h"

#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace verdan {
namespace {

using test::ScriptedPrompter;

AreaResults twoLevels() {
    AreaResults results;
    results.valid = true;
    results.graphDist = {10, 20, 30};
    results.graphLoss = {{100, 110, 90}, {110, 120, 96}, {115, 126, 99.5}};
    results.graphLastPoint = 2;
    results.graphLastLevel = 1;
    results.graphConfLevels = {50, 90, 0, 0};
    results.graphLabels =
        QStringList{QStringLiteral("50.0% Confidence"), QStringLiteral("90.0% Confidence"),
                    QStringLiteral("Free Space")};
    results.graphTitle1 = QStringLiteral("Frq 100MHz,Ant Hghts 3,3m");
    results.graphTitle2 = QStringLiteral("Continental Temperate, Ns=301");
    return results;
}

class FakeOutput : public GraphOutput {
public:
    QString path;
    std::optional<GraphImageFormat> format;
    bool succeed = true;
    void print() override {}
    bool saveImage(const QString& p, GraphImageFormat f, QString& error) override {
        path = p;
        format = f;
        if (!succeed)
            error = QStringLiteral("disk full");
        return succeed;
    }
};

class FrmGraphModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        graph.Form_Load();
        graph.setOutput(&output);
    }
    AreaResults results = twoLevels();
    ScriptedPrompter prompter;
    FrmGraphModel graph{results, prompter};
    FakeOutput output;
};

TEST_F(FrmGraphModelTest, SaveImageFormatFromSuffixOrFilter) {
    const struct {
        QString answer;
        int filter;
        QString path;
        GraphImageFormat format;
    } cases[] = {
        {QStringLiteral("/tmp/g.png"), 0, QStringLiteral("/tmp/g.png"), GraphImageFormat::Png},
        {QStringLiteral("/tmp/g"), 1, QStringLiteral("/tmp/g.svg"), GraphImageFormat::Svg},
        {QStringLiteral("/tmp/g"), 2, QStringLiteral("/tmp/g.pdf"), GraphImageFormat::Pdf},
        {QStringLiteral("/tmp/g.PDF"), 0, QStringLiteral("/tmp/g.PDF"), GraphImageFormat::Pdf},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        prompter.queueSaveFile(c.answer, c.filter);
        graph.mnuFileSaveImage_Click();
        EXPECT_EQ(output.path, c.path);
        ASSERT_TRUE(output.format.has_value());
        EXPECT_EQ(*output.format, c.format);
    }
    EXPECT_EQ(prompter.saveRequests.back().filters, FrmGraphModel::imageFilters());
    EXPECT_TRUE(prompter.messages.empty());
}

} // namespace
// Regression: the read-out gave the pointer's height instead of the line's loss, and a
// distance left of the first point ("9.0 km" on a line that starts at 10 km).
TEST_F(FrmGraphModelTest, HoverGivesTheLinesLossAtThePointersDistance) {
    const std::pair<double, const char*> cases[] = {{20, "90.0% Confidence: 20.0 km, 120.0 dB"},
                                                    {15, "90.0% Confidence: 15.0 km, 115.0 dB"},
                                                    {27.5, "90.0% Confidence: 27.5 km, 124.5 dB"},
                                                    {5, "90.0% Confidence: 10.0 km, 110.0 dB"},
                                                    {40, "90.0% Confidence: 30.0 km, 126.0 dB"}};
    for (const auto& [distKm, text] : cases) {
        graph.CTWXGraph_Hover(1, distKm, true);
        EXPECT_EQ(graph.lblHover(), QString::fromLatin1(text));
    }
    graph.CTWXGraph_Hover(1, 20, false);
    EXPECT_TRUE(graph.lblHover().isEmpty());
    graph.CTWXGraph_Hover(7, 1, true);
    EXPECT_TRUE(graph.lblHover().isEmpty());
}

} // namespace verdan
