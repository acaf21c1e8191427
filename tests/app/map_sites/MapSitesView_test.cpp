#include "AntennaPolarWidget.h"
#include "LinkBudgetGroupView.h"

#include "ScriptedPrompter.h"
#include "pattern_builders.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
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

} // namespace
} // namespace verdan
