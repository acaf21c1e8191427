#include "FrmGraphModel.h"

#include "GraphResults.h"
#include "ScriptedPrompter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace verdan {
namespace {

using test::ScriptedPrompter;

// An output that records where and how the graph was saved.
struct FakeOutput : GraphOutput {
    QString path;
    std::optional<GraphImageFormat> format;
    void print() override {}
    bool saveImage(const QString& p, GraphImageFormat f, QString&) override {
        path = p;
        format = f;
        return true;
    }
};

class FrmGraphModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        graph.Form_Load();
        graph.setOutput(&output);
    }
    QString inDir(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
    AreaResults results = test::twoLevels();
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
        {inDir("g.png"), 0, inDir("g.png"), GraphImageFormat::Png},
        {inDir("g"), 1, inDir("g.svg"), GraphImageFormat::Svg},
        {inDir("g"), 2, inDir("g.pdf"), GraphImageFormat::Pdf},
        {inDir("g.PDF"), 0, inDir("g.PDF"), GraphImageFormat::Pdf},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        prompter.queueSaveFile(c.answer, c.filter);
        graph.mnuFileSaveImage_Click();
        EXPECT_EQ(output.path, c.path);
        EXPECT_EQ(output.format, c.format);
    }
    EXPECT_TRUE(prompter.messages.empty());
}

// Regression: a suffix added to the name chosen replaced a file of that name unasked.
TEST_F(FrmGraphModelTest, ACompletedNameOfAnExistingFileIsReplacedOnlyWhenTheUserSaysYes) {
    QFile existing(inDir("g.svg"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        prompter.queueSaveFile(inDir("g"), 1);
        prompter.queueMessage(answer);
        graph.mnuFileSaveImage_Click();
        EXPECT_EQ(output.path, answer == MsgAnswer::Yes ? inDir("g.svg") : QString());
    }
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("already exists")));
}

} // namespace
// Regression: the read-out gave the pointer's height instead of the line's loss, and a
// distance left of the first point ("9.0 km" on a line that starts at 10 km).
TEST_F(FrmGraphModelTest, HoverGivesTheLinesLossAtThePointersDistance) {
    const std::pair<double, const char*> cases[] = {{20, "90.0% Confidence: 20.0 km, 140.0 dB"},
                                                    {15, "90.0% Confidence: 15.0 km, 135.0 dB"},
                                                    {27.5, "90.0% Confidence: 27.5 km, 147.5 dB"},
                                                    {5, "90.0% Confidence: 10.0 km, 130.0 dB"},
                                                    {40, "90.0% Confidence: 30.0 km, 150.0 dB"}};
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
