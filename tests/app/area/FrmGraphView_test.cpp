#include "FrmGraphView.h"

#include "AreaCalculation.h"
#include "PropagationModel.h"
#include "RecordingSink.h"
#include "ResultsGraph.h"
#include "ScriptedPrompter.h"

#include <QApplication>
#include <QChart>
#include <QImage>
#include <QLegend>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace verdan {
namespace {

using test::ScriptedPrompter;

int countColour(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).rgb() == colour.rgb() ? 1 : 0;
    return count;
}

class FrmGraphViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "FrmGraphView_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
};

// The graph of the default area run, computed by the model library built with the program.
TEST_F(FrmGraphViewTest, GraphOfTheDefaultRun) {
    PropagationModel library(prompter);
    ModelRecords records;
    test::RecordingSink sink;
    AreaResults results;
    ASSERT_EQ(runAreaCalculation(AreaInputs{}, library, records, sink, results),
              AreaRunStatus::Done);
    ASSERT_TRUE(canShowGraph(results));
    FrmGraphModel model(results, prompter);
    model.Form_Load();
    FrmGraphView view(model);
    EXPECT_EQ(view.chart()->legend()->markers().size(), 4);
    EXPECT_TRUE(view.chart()->title().contains(results.graphTitle1.toHtmlEscaped()));
    EXPECT_TRUE(view.chart()->title().contains(results.graphTitle2.toHtmlEscaped()));
    const QString path = dir.filePath(QStringLiteral("default-run.png"));
    QString error;
    ASSERT_TRUE(view.saveImage(path, GraphImageFormat::Png, error)) << error.toStdString();
    const QImage image(path);
    for (const QColor& colour :
         {QColor(0, 0, 255), QColor(0, 150, 0), QColor(140, 50, 140), QColor(130, 130, 210)})
        EXPECT_GT(countColour(image, colour), 50) << colour.name().toStdString();
}

} // namespace
} // namespace verdan
