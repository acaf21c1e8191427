#include "FrmGraphView.h"

#include "AreaCalculation.h"
#include "FileSizeLimit.h"
#include "GraphResults.h"
#include "PropagationModel.h"
#include "RecordingSink.h"
#include "ResultsGraph.h"
#include "ScriptedPrompter.h"
#include "TestApplication.h"
#include "TestFiles.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QImage>
#include <QLegend>
#include <QMouseEvent>
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
    static void SetUpTestSuite() { test::makeApplication<QApplication>(); }
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

// Regression: Save Image wrote straight into the chosen file, so a full disk left a cut
// picture in place of the previous one. Each format now fails whole and keeps the old file.
TEST_F(FrmGraphViewTest, RegressionAFailedImageSaveKeepsThePreviousFile) {
    const AreaResults results = test::twoLevels();
    FrmGraphModel model(results, prompter);
    model.Form_Load();
    FrmGraphView view(model);
    const QByteArray previous("the picture saved before");
    for (const auto format :
         {GraphImageFormat::Png, GraphImageFormat::Svg, GraphImageFormat::Pdf}) {
        const QString path = dir.filePath(QStringLiteral("graph"));
        ASSERT_TRUE(test::writeContent(path, previous));
        QString error;
        {
            const test::FileSizeLimit limit(200);
            EXPECT_FALSE(view.saveImage(path, format, error)) << static_cast<int>(format);
        }
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(test::fileContent(path), previous) << static_cast<int>(format);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("graph")});
    }
}

// Moves the pointer over the chart of `view` to (distKm, lossDb), shifted by `offsetPx`.
void movePointer(FrmGraphView& view, double distKm, double lossDb, QPointF offsetPx = {}) {
    auto* chartView = view.findChild<QChartView*>();
    QChart* chart = view.chart();
    const QPointF inChart = chart->mapToPosition(QPointF(distKm, lossDb), chart->series().front());
    const QPoint at = chartView->mapFromScene(chart->mapToScene(inChart + offsetPx));
    QMouseEvent move(QEvent::MouseMove, at, chartView->viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(chartView->viewport(), &move);
}

// Regression: the read-out changed only when the pointer crossed a line, and named a
// distance left of the first point ("9.0 km" on a line that starts at 10 km).
TEST_F(FrmGraphViewTest, RegressionTheHoverReadOutFollowsThePointerAlongALine) {
    const AreaResults results = test::twoLevels();
    FrmGraphModel model(results, prompter);
    model.Form_Load();
    FrmGraphView view(model);
    view.resize(900, 640);
    view.show();
    QApplication::processEvents();

    const std::pair<double, const char*> along[] = {
        {12, "90.0% Confidence: 12.0 km, 132.0 dB"},
        {15, "90.0% Confidence: 15.0 km, 135.0 dB"},
        {25, "90.0% Confidence: 25.0 km, 145.0 dB"},
    };
    for (const auto& [distKm, text] : along) {
        movePointer(view, distKm, lossAtDistanceDb(model.series()[1], distKm), {0, 3});
        EXPECT_EQ(view.hoverText(), QString::fromLatin1(text));
    }
    movePointer(view, 10, 130, {-5, 0});
    EXPECT_EQ(view.hoverText(), QStringLiteral("90.0% Confidence: 10.0 km, 130.0 dB"));
    movePointer(view, 20, 125);
    EXPECT_EQ(view.hoverText(), QString()) << "between two lines, on neither";
}

} // namespace
} // namespace verdan
