#include "AntennaPolarWidget.h"
#include "LinkBudgetGroupView.h"
#include "MapSitesOverlay.h"
#include "PathProfileView.h"
#include "SitesTableView.h"

#include "ScriptedPrompter.h"
#include "TableTerrain.h"
#include "pattern_builders.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QTableWidget>
#include <QTemporaryDir>
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
};

bool bluish(QRgb pixel) {
    return qBlue(pixel) > qRed(pixel) + 15;
}

TEST_F(MapSitesView, ThePolarPreviewShowsTheBeamWhereItPoints) {
    const radio::AntennaPattern panel =
        *radio::parsePattern(tools::msiText(tools::panelPattern()), "panel.msi").pattern;
    AntennaPolarWidget polar;
    polar.setPattern(panel, {90, 0});
    for (const QSize size : {QSize(360, 190), QSize(720, 380)}) {
        polar.resize(size);
        QImage image(size, QImage::Format_RGB32);
        polar.render(&image);
        keep(image, QStringLiteral("polar-%1.png").arg(size.width()));
        // The horizontal plot fills the left half: the beam east of its centre is shaded, the
        // back lobe's side is white at the same distance.
        const int textPx = std::max(9, size.height() / 16);
        const double radius = std::min(size.width() / 2.0, size.height() - 2.6 * textPx) / 2 - 4;
        const QPoint centre(size.width() / 4, static_cast<int>(1.4 * textPx + radius + 2));
        const int reach = static_cast<int>(radius * 0.8);
        EXPECT_TRUE(bluish(image.pixel(centre + QPoint(reach, 3)))) << size.width();
        EXPECT_FALSE(bluish(image.pixel(centre - QPoint(reach, -3)))) << size.width();
    }
}

TEST_F(MapSitesView, TheGroupMirrorsItsModelAndPreviewsTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("yagi.msi"));
    std::string error;
    ASSERT_TRUE(tools::writeTextFile(path.toStdString(), tools::msiText(tools::yagiPattern()), error));
    MemorySettingsStore store;
    test::ScriptedPrompter prompter;
    LinkBudgetModel model(store, prompter, QStringLiteral("Verdan"));
    model.Form_Load();
    LinkBudgetGroupView view(model);
    for (const QSize size : {QSize(340, 520), QSize(480, 640)}) {
        view.resize(size);
        view.show();
        prompter.queueOpenFile(path);
        model.cmdBrowseAntenna_Click();
        model.setText(LinkBudgetModel::txtAzimuth, QStringLiteral("45"));
        model.setText(LinkBudgetModel::txtPower, QStringLiteral("25"));
        EXPECT_EQ(static_cast<QLineEdit*>(view.control(QStringLiteral("txtPower")))->text(), "25");
        EXPECT_FALSE(view.control(QStringLiteral("txtGain"))->isEnabled());
        QImage image(view.size(), QImage::Format_RGB32);
        view.render(&image);
        keep(image, QStringLiteral("link-budget-%1.png").arg(size.width()));
        const QWidget* polar = view.control(QStringLiteral("polAntenna"));
        const QRect box(polar->mapTo(&view, QPoint(0, 0)), polar->size());
        int shaded = 0;
        for (int y = box.top(); y <= box.bottom(); y += 2)
            for (int x = box.left(); x <= box.right(); x += 2)
                shaded += bluish(image.pixel(x, y)) ? 1 : 0;
        EXPECT_GT(shaded, 100) << size.width();
    }
}

/// How many pixels of `image` inside `box` are within 40 of `colour` in each channel.
int pixelsNear(const QImage& image, const QRect& box, const QColor& colour) {
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            count += std::abs(p.red() - colour.red()) < 40 && std::abs(p.green() - colour.green()) < 40 &&
                             std::abs(p.blue() - colour.blue()) < 40
                         ? 1
                         : 0;
        }
    return count;
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
    for (const QSize size : {QSize(760, 420), QSize(1100, 600)}) {
        view.resize(size);
        view.show();
        QImage image(view.size(), QImage::Format_RGB32);
        view.render(&image);
        keep(image, QStringLiteral("path-profile-%1.png").arg(size.width()));
        const QWidget* chart = view.control(QStringLiteral("chart"));
        const QRect box(chart->mapTo(&view, QPoint(0, 0)), chart->size());
        const QRect left(box.left(), box.top(), box.width() / 2, box.height());
        const QRect right(box.center().x(), box.top(), box.width() / 2, box.height());
        EXPECT_GT(pixelsNear(image, box, PathProfileChart::SightColour), box.width() / 3) << size.width();
        EXPECT_GT(pixelsNear(image, right, PathProfileChart::BlockedColour), 10) << size.width();
        EXPECT_EQ(pixelsNear(image, left, PathProfileChart::BlockedColour), 0) << size.width();
        EXPECT_GT(pixelsNear(image, box, PathProfileChart::FresnelColour), 20) << size.width();
    }
}

TEST_F(MapSitesView, TheSitesTableEditsInPlaceAndPreviewsTheSelectedAntenna) {
    QTemporaryDir dir;
    std::string error;
    ASSERT_TRUE(tools::writeTextFile(dir.filePath(QStringLiteral("panel.msi")).toStdString(),
                                     tools::msiText(tools::panelPattern()), error));
    QFile csv(dir.filePath(QStringLiteral("net.csv")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("name,lat,lon,height_m,power,antenna,azimuth,tilt\n"
              "Hill_A,40.05,-105.26,30,50W,panel.msi,250,3\n"
              "Hill_B,40.05,-105.26,30,50W,panel.msi,10,3\n"
              "Valley,39.97,-105.47,12,10W,,,\n");
    csv.close();
    test::ScriptedPrompter prompter;
    SitesTableModel model(prompter);
    ASSERT_TRUE(model.openFile(csv.fileName()));
    SitesTableView view(model);
    auto* grid = static_cast<QTableWidget*>(view.control(QStringLiteral("grdSites")));
    for (const QSize size : {QSize(620, 520), QSize(900, 700)}) {
        view.resize(size);
        view.show();
        grid->setCurrentCell(0, 0);
        EXPECT_EQ(model.selectedRow(), 0);
        grid->item(2, 3)->setText(QStringLiteral("15"));
        EXPECT_EQ(model.cell(2, 3), "15");
        grid->item(2, 3)->setText(QStringLiteral("-4")); // refused: the cell shows 15 again
        EXPECT_EQ(grid->item(2, 3)->text(), "15");
        QImage image(view.size(), QImage::Format_RGB32);
        view.render(&image);
        keep(image, QStringLiteral("sites-table-%1.png").arg(size.width()));
        const QWidget* polar = view.control(QStringLiteral("polAntenna"));
        const QRect box(polar->mapTo(&view, QPoint(0, 0)), polar->size());
        int shaded = 0;
        for (int y = box.top(); y <= box.bottom(); y += 2)
            for (int x = box.left(); x <= box.right(); x += 2)
                shaded += bluish(image.pixel(x, y)) ? 1 : 0;
        EXPECT_GT(shaded, 100) << size.width();
    }
    EXPECT_EQ(prompter.messages.size(), 2u);
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
