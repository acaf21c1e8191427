#include "FrmCoverageView.h"

#include "CoverageFakes.h"
#include "ScriptedPrompter.h"
#include "SettingsStore.h"
#include "WidgetPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

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
                                                   std::move(services),
                                                   [] { return PointToPointInputs{}; },
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
    QTest::mouseMove(map, (static_cast<CoverageMapWidget*>(map)->frame().center() + QPointF(5, 5)).toPoint());
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

TEST_F(CoverageView, TheLegendAndTheTickLabelsStayOffTheMapAndFitShowsItWhole) {
    run();
    auto* map = static_cast<CoverageMapWidget*>(view->control("map"));
    for (const QSize size : {QSize(1200, 760), QSize(760, 520)}) {
        view->resize(size);
        QApplication::processEvents();
        const MapLayout layout = MapLayout::of(QRectF(map->rect()), map->scene(), map->font());
        EXPECT_FALSE(layout.legend.intersects(layout.frame)) << size.width();
        EXPECT_TRUE(QRectF(map->rect()).contains(layout.legend)) << size.width();
        EXPECT_GT(layout.frame.width(), 200) << size.width();
    }
    const QRectF frame = map->frame();
    const terrain::GeoPoint tx = model->run().inputs().tx;
    const QPointF before = map->pixelOf(tx);
    const QPointF pointer = frame.center() + QPointF(40, 30);
    QWheelEvent zoom(pointer, map->mapToGlobal(pointer), {}, {0, 480}, Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(map, &zoom);
    EXPECT_NE(map->pixelOf(tx), before);
    static_cast<QPushButton*>(view->control("cmdFit"))->click();
    EXPECT_EQ(map->pixelOf(tx), before);
    // The hover read-out keeps to the map: over the legend it is empty.
    QTest::mouseMove(map, frame.center().toPoint());
    EXPECT_FALSE(model->lblHover().isEmpty());
    const MapLayout layout = MapLayout::of(QRectF(map->rect()), map->scene(), map->font());
    QTest::mouseMove(map, layout.legend.center().toPoint());
    EXPECT_TRUE(model->lblHover().isEmpty());
}

TEST_F(CoverageView, TickLabelsCarryTheirHemisphereAndNeitherOverlapNorLeaveTheMapAfterZoom) {
    // Regression: the bottom latitude lay under the scale bar and labels overlapped after
    // zooming and panning.
    run();
    auto* map = static_cast<CoverageMapWidget*>(view->control("map"));
    QImage image(map->size(), QImage::Format_RGB32);
    for (const int notches : {0, 960, -600}) {
        const QPointF centre = map->frame().center() + QPointF(notches / 20.0, 0);
        QWheelEvent zoom(centre, map->mapToGlobal(centre), {}, {0, notches}, Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(map, &zoom);
        QTest::mousePress(map, Qt::LeftButton, {}, map->frame().center().toPoint());
        QTest::mouseMove(map, (map->frame().center() + QPointF(37, 23)).toPoint());
        QTest::mouseRelease(map, Qt::LeftButton, {}, (map->frame().center() + QPointF(37, 23)).toPoint());
        const std::vector<MapLabel> labels = tickLabels(map->frame(), QRectF(map->rect()),
                                                        map->viewport(), map->font());
        ASSERT_GE(labels.size(), 4U) << notches;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const QChar hemisphere = labels[i].text.back();
            EXPECT_TRUE(QStringLiteral("NSEW").contains(hemisphere)) << labels[i].text.toStdString();
            EXPECT_TRUE(QRectF(map->rect()).contains(labels[i].box)) << labels[i].text.toStdString();
            EXPECT_FALSE(labels[i].box.intersects(map->frame())) << labels[i].text.toStdString();
            for (std::size_t j = 0; j < i; ++j)
                EXPECT_FALSE(labels[i].box.intersects(labels[j].box))
                    << labels[i].text.toStdString() << " " << labels[j].text.toStdString();
        }
    }
}

TEST_F(CoverageView, TheMapKeepsTrueProportionsSoTheScaleBarHoldsBothWays) {
    // Regression: a degree of longitude was drawn as long as a degree of latitude.
    state.path.coords[PathState::TxLatDeg_DD] = QStringLiteral("39");
    run();
    auto* map = static_cast<CoverageMapWidget*>(view->control("map"));
    const terrain::GeoPoint tx = model->run().inputs().tx;
    // 0.1 degree of latitude is 11.12 km; so is 0.1 / cos(39 N) = 0.12868 degree of longitude.
    const QPointF origin = map->pixelOf(tx);
    const double northPx = origin.y() - map->pixelOf({tx.latDeg + 0.1, tx.lonDeg}).y();
    const double eastPx = map->pixelOf({tx.latDeg, tx.lonDeg + 0.12868}).x() - origin.x();
    EXPECT_NEAR(eastPx / northPx, 1.0, 0.005);
}

TEST_F(CoverageView, PdfIsALandscapePageOfTheUsersPaperWithTextOfAReadableSize) {
    // Regression: the legend and tick text came out ten times too large over a faded map.
    static_cast<QSlider*>(view->control("sldOpacity"))->setValue(100);
    run();
    QTemporaryDir dir;
    for (const auto& [locale, widthIn, heightIn] :
         {std::tuple{QLocale(QLocale::German, QLocale::Germany), 297 / 25.4, 210 / 25.4},
          std::tuple{QLocale(QLocale::English, QLocale::UnitedStates), 11.0, 8.5}}) {
        QLocale::setDefault(locale);
        const QString pdf = dir.filePath("map.pdf");
        prompter.queueSaveFile(pdf);
        model->mnuFileSaveMap_Click();
        QLocale::setDefault(QLocale::c());
        const QString prefix = dir.filePath("page");
        QFile::remove(prefix + "-1.png");
        ASSERT_EQ(QProcess::execute(QStringLiteral(VERDAN_PDFTOPPM),
                                    {"-r", "50", "-png", pdf, prefix}),
                  0);
        const QImage page(prefix + "-1.png");
        ASSERT_FALSE(page.isNull());
        EXPECT_NEAR(page.width(), widthIn * 50, 2);
        EXPECT_NEAR(page.height(), heightIn * 50, 2);
        // The legend's swatch of the first level: a few pixels high, as a line of 8 pt text.
        const Rgb band = MapColours::bandColour(0);
        int top = page.height();
        int bottom = -1;
        long long mapPixels = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                if (c.red() != c.green() || c.green() != c.blue())
                    ++mapPixels;
                if (x > page.width() * 3 / 4 && c == QColor(band.red, band.green, band.blue)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        ASSERT_GE(bottom, top);
        EXPECT_LE(bottom - top + 1, 9);
        EXPECT_GE(bottom - top + 1, 3);
        // The map fills a good part of the page in full colour.
        EXPECT_GT(static_cast<double>(mapPixels) / (page.width() * page.height()), 0.15);
    }
}

TEST_F(CoverageView, AWindowBesideItsOwnerClosesWithItAndLetsItGoOn) {
    ViewRegistry views;
    registerCoverageViews(views);
    WidgetPrompter widgets(views);
    view.reset();
    for (const bool ownerCloses : {false, true}) {
        auto owner = std::make_unique<QDialog>();
        owner->show();
        widgets.setOwner(owner.get());
        int closed = 0;
        widgets.showModeless(*model, [&] {
            ++closed;
            model->Form_Unload();
        });
        auto* window = owner->findChild<FrmCoverageView*>();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->isModal());
        if (ownerCloses) {
            owner.reset();
        } else {
            model->mnuFileClose_Click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(owner->findChild<FrmCoverageView*>(), nullptr);
        }
        EXPECT_EQ(closed, 1) << ownerCloses;
    }
}

} // namespace
} // namespace verdan
