#include "LinkBudgetGroupView.h"
#include "MapSitesOverlay.h"
#include "PathProfileView.h"
#include "SitesTableView.h"

#include "ScriptedPrompter.h"
#include "TableTerrain.h"
#include "TestFiles.h"
#include "pattern_builders.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace verdan {
namespace {

class MapSitesView : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "MapSitesView_test";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }

    /// Where a test keeps the pictures it draws, to be looked at: VERDAN_PICTURES or nowhere.
    static void keep(const QImage& image, const QString& name) {
        const QString folder = qEnvironmentVariable("VERDAN_PICTURES");
        if (!folder.isEmpty())
            image.save(QDir(folder).filePath(name));
    }

    /// Draws `view` at each of `sizes`, keeps the picture as `<name>-<width>.png` and hands it
    /// to `check`.
    static void drawAt(QWidget& view, std::initializer_list<QSize> sizes, const char* name,
                       const std::function<void(const QImage&)>& check) {
        for (const QSize size : sizes) {
            SCOPED_TRACE(size.width());
            view.resize(size);
            view.show();
            QImage image(view.size(), QImage::Format_RGB32);
            view.render(&image);
            keep(image, QStringLiteral("%1-%2.png").arg(QLatin1String(name)).arg(size.width()));
            check(image);
        }
    }
};

using PixelTest = std::function<bool(const QColor&)>;

/// How many pixels of `image` inside `box` pass `test`.
int pixelsIn(const QImage& image, const QRect& box, const PixelTest& test) {
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

bool bluish(const QColor& pixel) {
    return pixel.blue() > pixel.red() + 15;
}

/// A pixel within 40 of `colour` in each channel.
PixelTest near(const QColor& colour) {
    return [colour](const QColor& p) {
        return std::abs(p.red() - colour.red()) < 40 && std::abs(p.green() - colour.green()) < 40 &&
               std::abs(p.blue() - colour.blue()) < 40;
    };
}

/// Where the control `child` of `view` lies in a picture of the view.
QRect boxOf(const QWidget& view, const QWidget* child) {
    return {child->mapTo(&view, QPoint(0, 0)), child->size()};
}

TEST_F(MapSitesView, TheGroupMirrorsItsModelAndPreviewsTheBeamWhereItPoints) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("panel.msi"));
    std::string error;
    ASSERT_TRUE(tools::writeTextFile(path.toStdString(), tools::msiText(tools::panelPattern()), error));
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    LinkBudgetModel model(store, prompter, QStringLiteral("Verdan"));
    model.Form_Load();
    LinkBudgetGroupView view(model);
    prompter.queueOpenFile(path);
    model.cmdBrowseAntenna_Click();
    model.setText(LinkBudgetModel::txtAzimuth, QStringLiteral("90"));
    model.setText(LinkBudgetModel::txtPower, QStringLiteral("25"));
    EXPECT_EQ(static_cast<QLineEdit*>(view.control(QStringLiteral("txtPower")))->text(), "25");
    EXPECT_FALSE(view.control(QStringLiteral("txtGain"))->isEnabled());
    drawAt(view, {QSize(340, 520), QSize(480, 640)}, "link-budget", [&](const QImage& image) {
        // The horizontal plot fills the preview's left half: the beam east of its centre is
        // shaded, the back lobe's side far less.
        const QRect box = boxOf(view, view.control(QStringLiteral("polAntenna")));
        const QRect west(box.left(), box.top(), box.width() / 4, box.height());
        const int back = pixelsIn(image, west, bluish);
        const int front = pixelsIn(image, west.translated(west.width(), 0), bluish);
        EXPECT_GT(front, 1000);
        EXPECT_GT(front, 2 * back);
    });
}

TEST_F(MapSitesView, TheProfileShowsTheLineOfSightAndMarksWhatBlocksIt) {
    // Rising ground with a ridge two thirds along that blocks the line of sight: a red mark
    // in the right half of the chart, none in the left, where the ground is clear.
    std::vector<double> ground{120, 125, 140, 150, 160, 170, 185, 260, 205, 190, 180};
    ProgramState state;
    test::ScriptedPrompter prompter;
    PathProfileServices services;
    services.terrain = [&](QString&) { return std::make_shared<test::TableTerrain>(ground); };
    services.model = [](const std::vector<double>&, double, double, double, QString&) {
        return std::optional<PathLossTable>(
            PathLossTable{1.333, QStringLiteral("Diffraction Path"), {10, 50, 90}, {50, 90}, {{128.1, 131.0}, {133.4, 137.9}, {140.2, 146.5}}});
    };
    PathProfileModel model(state, prompter, services);
    model.useSite(PathProfileModel::EndA, QStringLiteral("Mast"), 40.05, -105.26, 40);
    model.useSite(PathProfileModel::EndB, QStringLiteral("Hut"), 40.05, -105.14, 10);
    ASSERT_TRUE(model.cmdProfile_Click());
    PathProfileView view(model);
    drawAt(view, {QSize(760, 420), QSize(1100, 600)}, "path-profile", [&](const QImage& image) {
        const QRect box = boxOf(view, view.control(QStringLiteral("chart")));
        const QRect left(box.left(), box.top(), box.width() / 2, box.height());
        const QRect right(box.center().x(), box.top(), box.width() / 2, box.height());
        EXPECT_GT(pixelsIn(image, box, near(PathProfileChart::SightColour)), box.width() / 3);
        EXPECT_GT(pixelsIn(image, right, near(PathProfileChart::BlockedColour)), 10);
        EXPECT_EQ(pixelsIn(image, left, near(PathProfileChart::BlockedColour)), 0);
        EXPECT_GT(pixelsIn(image, box, near(PathProfileChart::FresnelColour)), 20);
    });
}

TEST_F(MapSitesView, TheSitesTableEditsInPlaceAndPreviewsTheSelectedAntenna) {
    QTemporaryDir dir;
    std::string error;
    ASSERT_TRUE(tools::writeTextFile(dir.filePath(QStringLiteral("panel.msi")).toStdString(),
                                     tools::msiText(tools::panelPattern()), error));
    const QString csv = dir.filePath(QStringLiteral("net.csv"));
    ASSERT_TRUE(test::writeContent(csv, "name,lat,lon,height_m,power,antenna,azimuth,tilt\n"
                                        "Hill_A,40.05,-105.26,30,50W,panel.msi,250,3\n"
                                        "Hill_B,40.05,-105.26,30,50W,panel.msi,10,3\n"
                                        "Valley,39.97,-105.47,12,10W,,,\n"));
    test::ScriptedPrompter prompter;
    SitesTableModel model(prompter);
    ASSERT_TRUE(model.openFile(csv));
    SitesTableView view(model);
    view.show();
    auto* grid = static_cast<QTableWidget*>(view.control(QStringLiteral("grdSites")));
    grid->setCurrentCell(0, 0);
    EXPECT_EQ(model.selectedRow(), 0);
    grid->item(2, 3)->setText(QStringLiteral("15"));
    EXPECT_EQ(model.cell(2, 3), "15");
    grid->item(2, 3)->setText(QStringLiteral("-4")); // refused: the cell shows 15 again
    EXPECT_EQ(grid->item(2, 3)->text(), "15");
    EXPECT_EQ(prompter.messages.size(), 1u);
    drawAt(view, {QSize(620, 520), QSize(900, 700)}, "sites-table", [&](const QImage& image) {
        const QRect polar = boxOf(view, view.control(QStringLiteral("polAntenna")));
        EXPECT_GT(pixelsIn(image, polar, bluish), 400);
    });
}

TEST_F(MapSitesView, SitesAreDrawnWhereTheMapPutsThemWithTheirAzimuth) {
    test::ScriptedPrompter prompter;
    SitesTableModel sites(prompter);
    sites.addSite(1, 1);               // no azimuth
    const int sector = sites.addSite(1, 3); // selected
    ASSERT_TRUE(sites.setCell(sector, 8, QStringLiteral("90")));
    // One degree is 50 pixels, north up.
    const PixelOf pixelOf = [](double latDeg, double lonDeg) { return QPointF(lonDeg * 50, 200 - latDeg * 50); };
    QImage image(220, 220, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawSites(painter, sites, pixelOf);
    painter.end();
    keep(image, QStringLiteral("sites-overlay.png"));
    const auto marked = [&](int x, int y) { return qRed(image.pixel(x, y)) > qGreen(image.pixel(x, y)) + 60; };
    EXPECT_TRUE(marked(50, 150));   // the dot of the first site
    EXPECT_TRUE(marked(150, 150));  // the second site
    EXPECT_TRUE(marked(150 + 14, 150)); // its stroke toward the east
    EXPECT_FALSE(marked(50 + 14, 150)); // none beside the first
    EXPECT_TRUE(marked(150, 150 - 9));  // the selected site's ring
}

} // namespace
} // namespace verdan
