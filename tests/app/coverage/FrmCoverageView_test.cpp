#include "FrmCoverageView.h"

#include "CoverageFakes.h"
#include "ScriptedPrompter.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace verdan {
namespace {

class CoverageView : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "FrmCoverageView_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }

    void SetUp() override {
        const std::array<const char*, PathState::CoordCount> coords = {
            "45", "0", "0", "N", "7", "0", "0", "E", "45", "0", "30", "N", "7", "0", "30", "E"};
        for (int c = 0; c < PathState::CoordCount; ++c)
            state.path.coords[static_cast<std::size_t>(c)] = QLatin1String(coords[c]);
        CoverageServices services;
        services.engine = [](const coverage::CoverageInputs& in, const terrain::TerrainSource&,
                             coverage::RunControl&) {
            coverage::CoverageResult result = test::syntheticRun(in);
            result.grid.warning[4 * 8 + 2] = 4; // a coloured cell with a warning
            return result;
        };
        services.terrain = [](const PathState&, QString&) {
            return std::make_shared<test::SlopeTerrain>();
        };
        model = std::make_unique<FrmCoverageModel>(state, store, prompter, info,
                                                   std::move(services), PointToPointInputs{},
                                                   QString());
        model->Form_Load();
        view = std::make_unique<FrmCoverageView>(*model);
        view->resize(1200, 760);
        view->show();
    }

    void run() {
        static_cast<QPushButton*>(view->control("cmdRun"))->click();
        ASSERT_TRUE(test::processUntil([&] { return model->run().state() == RunState::Done; }));
    }

    ProgramState state;
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    AppInfo info;
    std::unique_ptr<FrmCoverageModel> model;
    std::unique_ptr<FrmCoverageView> view;
};

TEST_F(CoverageView, RunsShowsProgressReadsThePointerAndExportsPdf) {
    auto* radius = static_cast<QLineEdit*>(view->control("txtRadius"));
    radius->selectAll();
    QTest::keyClicks(radius, "0");
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(radius, &out);
    EXPECT_EQ(prompter.messageTexts(), QStringList{"Warning: Valid Range is 1 <= Radius <= 500"});
    EXPECT_EQ(radius->text(), "30");

    run();
    EXPECT_EQ(static_cast<QProgressBar*>(view->control("prgRun"))->value(), 100);
    EXPECT_FALSE(static_cast<QPushButton*>(view->control("cmdCancel"))->isEnabled());
    QWidget* map = view->control("map");
    QTest::mouseMove(map, QPoint(map->width() / 2 + 5, map->height() / 2 + 5));
    EXPECT_TRUE(static_cast<QLabel*>(view->control("lblHover"))->text().contains("loss 145.0 dB"));

    QTemporaryDir dir;
    const QString pdf = dir.filePath("map.pdf");
    prompter.queueSaveFile(pdf);
    model->mnuFileSaveMap_Click();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(4) == "%PDF");
    EXPECT_TRUE(state.log->document().plainText().contains("Coverage map saved: " + pdf));
}

TEST_F(CoverageView, CellsAreDrawnInTheirLegendColours) {
    static_cast<QSlider*>(view->control("sldOpacity"))->setValue(100);
    run();
    auto* map = static_cast<CoverageMapWidget*>(view->control("map"));
    const QImage image = map->grab().toImage();
    const coverage::CoverageGrid& grid = model->run().grid();
    const auto pixelAt = [&](int row, int column) {
        const QPointF p = map->pixelOf({grid.northLatDeg - (row + 0.5) * grid.cellDeg,
                                        grid.westLonDeg + (column + 0.5) * grid.cellDeg});
        return image.pixelColor(p.toPoint());
    };
    const auto colour = [](const Rgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); };
    // Losses 105, 115, ... 155 dB fall in the bands of the levels 110, 120, ... 160 dB.
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(pixelAt(4, column), colour(MapColours::bandColour(column))) << column;
    for (const auto& [row, column] : {std::pair{0, 0}, std::pair{5, 6}}) {
        const QColor hillshade = pixelAt(row, column);
        EXPECT_EQ(hillshade.red(), hillshade.blue()) << row << ' ' << column;
        EXPECT_EQ(hillshade.red(), hillshade.green()) << row << ' ' << column;
    }
}

TEST_F(CoverageView, WarnedCellsKeepTheirColourUnderAHatchThatCanBeSwitchedOff) {
    // Regression: cells with a model warning were drawn grey, whatever their value.
    static_cast<QSlider*>(view->control("sldOpacity"))->setValue(100);
    run();
    auto* map = static_cast<CoverageMapWidget*>(view->control("map"));
    const coverage::CoverageGrid& grid = model->run().grid();
    const auto cellPixels = [&](int row, int column) {
        const QImage image = map->grab().toImage();
        const QPointF nw = map->pixelOf({grid.northLatDeg - row * grid.cellDeg,
                                         grid.westLonDeg + column * grid.cellDeg});
        const QPointF se = map->pixelOf({grid.northLatDeg - (row + 1) * grid.cellDeg,
                                         grid.westLonDeg + (column + 1) * grid.cellDeg});
        std::vector<QColor> pixels;
        for (int y = static_cast<int>(nw.y()) + 2; y < static_cast<int>(se.y()) - 2; ++y)
            for (int x = static_cast<int>(nw.x()) + 2; x < static_cast<int>(se.x()) - 2; ++x)
                pixels.push_back(image.pixelColor(x, y));
        return pixels;
    };
    const Rgb band = MapColours::bandColour(2);
    const QColor colour(band.red, band.green, band.blue);
    const auto share = [&](const std::vector<QColor>& pixels, auto predicate) {
        return static_cast<double>(std::count_if(pixels.begin(), pixels.end(), predicate)) /
               static_cast<double>(pixels.size());
    };
    const auto isColour = [&](const QColor& c) { return c == colour; };
    const auto isLighter = [&](const QColor& c) {
        return c != colour && c.blue() > colour.blue() && c.red() >= colour.red();
    };
    const std::vector<QColor> hatched = cellPixels(4, 2);
    ASSERT_GT(hatched.size(), 100U);
    EXPECT_GT(share(hatched, isColour), 0.6);
    EXPECT_GT(share(hatched, isLighter), 0.05);
    EXPECT_EQ(share(cellPixels(4, 3), isLighter), 0.0);
    EXPECT_EQ(static_cast<QLabel*>(view->control("lblWarnings"))->text(),
              "1 cell with model warning 4: parameters out of the model's range; 1 cell with "
              "model warning 3: parameters out of the model's range");
    static_cast<QCheckBox*>(view->control("chkHatch"))->click();
    EXPECT_FALSE(model->chkHatch());
    EXPECT_EQ(share(cellPixels(4, 2), isColour), 1.0);
}

} // namespace
} // namespace verdan
