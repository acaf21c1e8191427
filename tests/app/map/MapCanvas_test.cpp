#include "MapCanvas.h"

#include "CoverageFakes.h"
#include "MapTiles.h"

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace verdan {
namespace {

using geodata::TileId;

// A layer of one colour everywhere, counting its renders.
class SolidLayer final : public TileLayer {
public:
    explicit SolidLayer(QColor colour) : m_colour(colour) {}
    QImage render(const TileId&, const std::atomic<bool>&) const override {
        ++renders;
        QImage image(geodata::TileSidePx, geodata::TileSidePx, QImage::Format_ARGB32_Premultiplied);
        image.fill(m_colour);
        return image;
    }
    geodata::Extent extent() const override {
        return {-geodata::HalfWorldM, -geodata::HalfWorldM, geodata::HalfWorldM,
                geodata::HalfWorldM};
    }
    mutable std::atomic<int> renders{0};

private:
    QColor m_colour;
};

class Canvas : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::makeApplication<QApplication>(); }
    Canvas() { canvas.resize(400, 300); }
    // The canvas as it is drawn now, after the background renders it asked for are in.
    QImage settled() {
        canvas.grab();
        canvas.cache().waitForDone();
        return canvas.grab().toImage();
    }
    MapCanvas canvas;
};

TEST_F(Canvas, TilesRenderedInTheBackgroundAreDrawnTopLayerOverBottomAtItsOpacity) {
    auto red = std::make_shared<SolidLayer>(Qt::red);
    auto blue = std::make_shared<SolidLayer>(Qt::blue);
    canvas.setLayers({{1, red, 0.5}, {2, blue, 1}});
    canvas.setCamera(geodata::MapCamera({0, 0}, 1000));
    const QImage first = canvas.grab().toImage();
    EXPECT_NE(first.pixelColor(200, 100), QColor(Qt::blue)) << "nothing waits for a render";
    const QColor mixed = settled().pixelColor(200, 100);
    EXPECT_NEAR(mixed.red(), 128, 2);
    EXPECT_NEAR(mixed.blue(), 127, 2);
    EXPECT_GT(blue->renders, 0);

    // Zoomed in, the new tiles are drawn from the coarser ones until they are rendered.
    canvas.cache().forget(99);
    const int before = red->renders;
    canvas.zoomBy(2);
    const QColor meanwhile = canvas.grab().toImage().pixelColor(200, 100);
    EXPECT_NEAR(meanwhile.red(), 128, 2);
    canvas.cache().waitForDone();
    EXPECT_GT(red->renders, before);
}

TEST_F(Canvas, KeysPanAndZoomAndEscapeEndsTheTool) {
    canvas.setCamera(geodata::MapCamera({0, 0}, 100));
    QSignalSpy escape(&canvas, &MapCanvas::escapePressed);
    struct Row {
        int key;
        double dxM, dyM, scale;
    };
    const Row rows[] = {
        {Qt::Key_Right, 10000, 0, 1}, // the view moves east by a quarter of the width
        {Qt::Key_Up, 0, 7500, 1},
        {Qt::Key_Plus, 0, 0, 0.5},
        {Qt::Key_Minus, 0, 0, 2},
    };
    for (const Row& row : rows) {
        const geodata::MapCamera before = canvas.camera();
        QTest::keyClick(&canvas, static_cast<Qt::Key>(row.key));
        EXPECT_NEAR(canvas.camera().centre().xM - before.centre().xM, row.dxM, 1e-6) << row.key;
        EXPECT_NEAR(canvas.camera().centre().yM - before.centre().yM, row.dyM, 1e-6) << row.key;
        EXPECT_DOUBLE_EQ(canvas.camera().metresPerPx(), before.metresPerPx() * row.scale);
    }
    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_EQ(escape.count(), 1);
}

TEST_F(Canvas, TheCacheKeepsTheMostRecentlyUsedTilesAndSkipsUnwantedRenders) {
    TileCache cache(2);
    auto layer = std::make_shared<SolidLayer>(Qt::green);
    const auto fetch = [&](int x, int y) {
        cache.request({1, {2, x, y}}, layer);
        cache.waitForDone();
        return cache.find({1, {2, x, y}}) != nullptr;
    };
    EXPECT_TRUE(fetch(0, 0));
    EXPECT_TRUE(fetch(1, 0));
    EXPECT_NE(cache.find({1, {2, 0, 0}}), nullptr); // used last: kept over tile 1
    EXPECT_TRUE(fetch(2, 0));
    EXPECT_NE(cache.find({1, {2, 0, 0}}), nullptr);
    EXPECT_EQ(cache.find({1, {2, 1, 0}}), nullptr);

    cache.setWanted({{1, {2, 3, 3}}});
    const int renders = layer->renders;
    EXPECT_FALSE(fetch(3, 2));
    EXPECT_EQ(layer->renders, renders);
    cache.setWanted({});
    EXPECT_TRUE(fetch(3, 2)) << "asked again once it is wanted";
}

// The pixel of `layer` over the point `p`, from its tile of zoom `zoom` that holds it.
QColor tilePixel(const TileLayer& layer, const geodata::MercatorPoint& p, int zoom) {
    const TileId tile = geodata::tilesCovering({p.xM, p.yM, p.xM + 1, p.yM + 1}, zoom).front();
    const QImage image = layer.render(tile, std::atomic<bool>(false));
    if (image.isNull())
        return QColor(Qt::transparent);
    const geodata::Extent box = geodata::tileExtent(tile);
    const double pixelM = geodata::metresPerPixel(zoom);
    return image.pixelColor(int((p.xM - box.minXM) / pixelM), int((box.maxYM - p.yM) / pixelM));
}

TEST(ResultTiles, CellsColourThePixelsOverThemAndThoseAtOrAboveTheThresholdAreOutlined) {
    // 4 x 2 cells of 0.01 degree from 45.02 N, 7.00 E; the western two columns are covered.
    auto grid = std::make_shared<coverage::CoverageGrid>();
    grid->columns = 4;
    grid->rows = 2;
    grid->westLonDeg = 7;
    grid->northLatDeg = 45.02;
    grid->cellDeg = 0.01;
    grid->marginDb = {5, 0, -5, NAN, 5, 0, -0.5f, -5};
    const ValueColour colour = [](float value) -> QRgb {
        return value == -0.5f ? qRgb(0, 200, 0) : value >= 0 ? qRgb(250, 0, 0) : 0;
    };
    const CellInside covered = [grid](std::size_t cell) { return grid->marginDb[cell] >= 0; };
    const auto outlined = resultTiles(grid, grid->marginDb, colour, {}, covered);
    const auto pixel = [&](double latDeg, double lonDeg) {
        return tilePixel(*outlined, geodata::toMercator({latDeg, lonDeg}), 14);
    };
    // The centre of cell (row 1, column 2) lies at 45.005 N, 7.025 E.
    EXPECT_EQ(pixel(45.005, 7.025), QColor(0, 200, 0));
    EXPECT_EQ(pixel(45.015, 7.005).alpha(), 255) << "cell 0";
    EXPECT_EQ(pixel(45.005, 7.035).alpha(), 0) << "cell 7 is not coloured";
    EXPECT_EQ(pixel(44.995, 7.025).alpha(), 0) << "south of the grid";

    // The black pixels at zoom 12 along the parallel `latDeg`, from west of the grid to east.
    const auto outlinePixels = [&](const std::shared_ptr<const TileLayer>& layer, double latDeg) {
        const double eastM = geodata::toMercator({latDeg, 7.05}).xM;
        int black = 0;
        for (geodata::MercatorPoint p = geodata::toMercator({latDeg, 6.99}); p.xM < eastM;
             p.xM += geodata::metresPerPixel(12))
            black += tilePixel(*layer, p, 12).rgba() == qRgb(0, 0, 0) ? 1 : 0;
        return black;
    };
    // The western edge of the grid and the edge between the second and third columns.
    EXPECT_EQ(outlinePixels(outlined, 45.015), 2);
    EXPECT_EQ(outlinePixels(outlined, 45.005), 2);
    EXPECT_EQ(outlinePixels(resultTiles(grid, grid->marginDb, colour), 45.015), 0);
}

TEST(ScaleBar, LengthsAreOneTwoOrFiveTimesAPowerOfTen) {
    const std::pair<double, double> rows[] = {{0.9, 0.5}, {1, 1}, {3.7, 2}, {7400, 5000},
                                              {19999, 10000}, {0, 0}};
    for (const auto& [most, length] : rows)
        EXPECT_DOUBLE_EQ(roundScaleLength(most), length) << most;
}

} // namespace
} // namespace verdan
