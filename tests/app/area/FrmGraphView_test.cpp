#include "FrmGraphView.h"

#include "AreaCalculation.h"
#include "PropagationModel.h"
#include "RecordingSink.h"
#include "ResultsGraph.h"
#include "ScriptedPrompter.h"

#include <QApplication>
#include <QChart>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPrinter>
#include <QTemporaryDir>
#include <QValueAxis>
#include <gtest/gtest.h>

namespace verdan {
namespace {

using test::ScriptedPrompter;

AreaResults threeLevels() {
    AreaResults results;
    results.valid = true;
    const double levels[] = {50, 90, 10};
    results.graphLastLevel = 2;
    for (int i = 0; i < 3; ++i) {
        results.graphConfLevels[static_cast<std::size_t>(i)] = levels[i];
        results.graphLabels << QString::number(levels[i], 'f', 1) + QStringLiteral("% Confidence");
    }
    results.graphLabels << QStringLiteral("Free Space");
    for (int row = 0; row < 22; ++row) {
        const double distKm = row < 15 ? 10.0 * (row + 1) : 150.0 + 50.0 * (row - 14);
        results.graphDist.push_back(distKm);
        results.graphLoss.push_back(
            {110 + distKm / 5, 120 + distKm / 5, 100 + distKm / 5, 80 + distKm / 10});
    }
    results.graphLastPoint = 21;
    results.graphTitle1 = QStringLiteral("Frq 100MHz,Ant Hghts 3,3m");
    results.graphTitle2 = QStringLiteral("Continental Temperate, Ns=301");
    return results;
}

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

TEST_F(FrmGraphViewTest, ChartMirrorsTheModel) {
    const AreaResults results = threeLevels();
    FrmGraphModel model(results, prompter);
    model.Form_Load();
    FrmGraphView view(model);
    EXPECT_EQ(view.windowTitle(), QStringLiteral("User Area Model"));

    QChart* chart = view.chart();
    const auto series = chart->series();
    ASSERT_EQ(series.size(), 4);
    const QStringList names{QStringLiteral("50.0% Confidence"), QStringLiteral("90.0% Confidence"),
                            QStringLiteral("10.0% Confidence"), QStringLiteral("Free Space")};
    const QColor colours[] = {QColor(0, 0, 255), QColor(0, 150, 0), QColor(140, 50, 140),
                              QColor(130, 130, 210)};
    for (int i = 0; i < 4; ++i) {
        auto* line = qobject_cast<QLineSeries*>(series[i]);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->name(), names[i]);
        EXPECT_EQ(line->pen().color(), colours[i]) << i;
        EXPECT_EQ(line->count(), 22);
    }
    QStringList legend;
    for (QLegendMarker* marker : chart->legend()->markers())
        legend << marker->label();
    EXPECT_EQ(legend, names);
    EXPECT_TRUE(chart->legend()->isVisible());
    EXPECT_TRUE(chart->title().contains(results.graphTitle1));
    EXPECT_TRUE(chart->title().contains(results.graphTitle2));
    EXPECT_TRUE(chart->title().contains(QStringLiteral("Verdan User Area Mode")));

    const auto horizontal = chart->axes(Qt::Horizontal);
    const auto vertical = chart->axes(Qt::Vertical);
    ASSERT_EQ(horizontal.size(), 1);
    ASSERT_EQ(vertical.size(), 1);
    EXPECT_EQ(horizontal[0]->titleText(), QStringLiteral("Distance, Km"));
    EXPECT_EQ(vertical[0]->titleText(), QStringLiteral("Transmission Loss (dB)"));
    EXPECT_TRUE(horizontal[0]->isGridLineVisible());
    EXPECT_TRUE(vertical[0]->isGridLineVisible());
}

TEST_F(FrmGraphViewTest, HoveringALineShowsDistanceAndLoss) {
    const AreaResults results = threeLevels();
    FrmGraphModel model(results, prompter);
    model.Form_Load();
    FrmGraphView view(model);
    auto* line = qobject_cast<QLineSeries*>(view.chart()->series().at(1));
    ASSERT_NE(line, nullptr);
    emit line->hovered(QPointF(105, 150.25), true);
    EXPECT_EQ(view.hoverText(), QStringLiteral("90.0% Confidence: 105.0 km, 141.0 dB"));
    emit line->hovered(QPointF(105, 150.25), false);
    EXPECT_TRUE(view.hoverText().isEmpty());
}

TEST_F(FrmGraphViewTest, SavedPngShowsTheFourLineColours) {
    const AreaResults results = threeLevels();
    FrmGraphModel model(results, prompter);
    model.Form_Load();
    FrmGraphView view(model);
    const QString path = dir.filePath(QStringLiteral("graph"));
    prompter.queueSaveFile(path, 0);
    model.mnuFileSaveImage_Click();
    EXPECT_TRUE(prompter.messages.empty());
    QImage image(path + QStringLiteral(".png"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1200, 800));
    for (const QColor& colour :
         {QColor(0, 0, 255), QColor(0, 150, 0), QColor(140, 50, 140), QColor(130, 130, 210)})
        EXPECT_GT(countColour(image, colour), 50) << colour.name().toStdString();
}

TEST_F(FrmGraphViewTest, SvgAndPdfFiles) {
    const AreaResults results = threeLevels();
    FrmGraphModel model(results, prompter);
    model.Form_Load();
    FrmGraphView view(model);
    QString error;
    const QString svg = dir.filePath(QStringLiteral("graph.svg"));
    const QString pdf = dir.filePath(QStringLiteral("graph.pdf"));
    ASSERT_TRUE(view.saveImage(svg, GraphImageFormat::Svg, error)) << error.toStdString();
    ASSERT_TRUE(view.saveImage(pdf, GraphImageFormat::Pdf, error)) << error.toStdString();
    QFile svgFile(svg);
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    const QByteArray svgText = svgFile.readAll();
    EXPECT_TRUE(svgText.contains("<svg"));
    EXPECT_TRUE(svgText.contains("Free Space"));
    QFile pdfFile(pdf);
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdfFile.read(5).startsWith("%PDF"));
}

TEST_F(FrmGraphViewTest, UnwritableImageFileIsReported) {
    const AreaResults results = threeLevels();
    FrmGraphModel model(results, prompter);
    model.Form_Load();
    FrmGraphView view(model);
    prompter.queueSaveFile(dir.filePath(QStringLiteral("missing/folder/graph.png")));
    model.mnuFileSaveImage_Click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("cannot be written")));
}

TEST_F(FrmGraphViewTest, PrintsOnAPdfPrinter) {
    const AreaResults results = threeLevels();
    FrmGraphModel model(results, prompter);
    model.Form_Load();
    FrmGraphView view(model);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = dir.filePath(QStringLiteral("printed.pdf"));
    printer.setOutputFileName(path);
    ASSERT_TRUE(view.printTo(printer));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_GT(file.size(), 1000);
}

TEST_F(FrmGraphViewTest, OkClosesTheDialog) {
    const AreaResults results = threeLevels();
    FrmGraphModel model(results, prompter);
    model.Form_Load();
    ViewRegistry views;
    registerGraphViews(views);
    std::unique_ptr<QDialog> dialog(views.create(model, nullptr));
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dynamic_cast<FrmGraphView*>(dialog.get()), nullptr);
    dialog->show();
    model.cmdOK_Click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
}

// The graph of the default area run, computed by the model library built with the program.
TEST_F(FrmGraphViewTest, GraphOfTheDefaultRun) {
    PropagationModel library(prompter);
    ModelRecords records;
    test::RecordingSink sink;
    AreaResults results;
    ASSERT_EQ(runAreaCalculation(AreaInputs{}, library, records, sink, results),
              AreaRunStatus::Done)
        << "the model library libpmverdan.so is built beside the test";
    ASSERT_TRUE(canShowGraph(results));
    FrmGraphModel model(results, prompter);
    model.Form_Load();
    FrmGraphView view(model);
    QStringList legend;
    for (QLegendMarker* marker : view.chart()->legend()->markers())
        legend << marker->label();
    EXPECT_EQ(legend,
              (QStringList{QStringLiteral("50.0% Confidence"), QStringLiteral("90.0% Confidence"),
                           QStringLiteral("10.0% Confidence"), QStringLiteral("Free Space")}));
    EXPECT_TRUE(view.chart()->title().contains(results.graphTitle1.toHtmlEscaped()));
    EXPECT_TRUE(view.chart()->title().contains(results.graphTitle2.toHtmlEscaped()));
    const QString path = dir.filePath(QStringLiteral("default-run.png"));
    QString error;
    ASSERT_TRUE(view.saveImage(path, GraphImageFormat::Png, error)) << error.toStdString();
    const QImage image(path);
    for (const QColor& colour :
         {QColor(0, 0, 255), QColor(0, 150, 0), QColor(140, 50, 140), QColor(130, 130, 210)})
        EXPECT_GT(countColour(image, colour), 50) << colour.name().toStdString();
    // For a look at the pictures: VERDAN_GRAPH_PNG=/some/file.png keeps a copy of the saved
    // graph there and a picture of the whole window beside it ("file-window.png").
    const QString keep = qEnvironmentVariable("VERDAN_GRAPH_PNG");
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(path, keep);
        view.show();
        view.grab().save(
            QString(keep).replace(QStringLiteral(".png"), QStringLiteral("-window.png")));
    }
}

} // namespace
} // namespace verdan
