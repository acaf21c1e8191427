#include "ProfilePicture.h"

#include "PointToPointCalculation.h"
#include "ProfilePlot.h"
#include "RLogClass.h"
#include "ScriptedPrompter.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

int argc = 1;
char appName[] = "ptp_picture_test";
char* argv[] = {appName, nullptr};

class ProfilePictureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QGuiApplication::instance())
            app = new QGuiApplication(argc, argv);
    }
    static QGuiApplication* app;
};
QGuiApplication* ProfilePictureTest::app = nullptr;

TEST_F(ProfilePictureTest, DrawsTheProfileAndTheBaseLine) {
    const QByteArray png = profilePicturePng({0.0F, 100.0F, 0.0F}, 520, 200);
    const QImage image = QImage::fromData(png, "PNG");
    ASSERT_EQ(image.size(), QSize(520, 200));
    EXPECT_EQ(image.pixelColor(250, 180), QColor(0, 0, 117));
    // The middle point (x 250, top of the plot at 100 m) is on the black polyline.
    EXPECT_EQ(image.pixelColor(250, static_cast<int>(180.0 - 125.0 / 150.0 * 180.0)),
              QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(510, 190), QColor(Qt::white));
}

} // namespace
