#include "ProfilePicture.h"

#include "PointToPointCalculation.h"
#include "ProfilePlot.h"
#include "RLogClass.h"
#include "ScriptedPrompter.h"

#include <QGuiApplication>
#include <QTemporaryDir>
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

TEST_F(ProfilePictureTest, DrawsTheProfileInBlackAndTheBaseLineInBlue) {
    const QImage image = renderProfilePicture({0.0F, 100.0F, 0.0F}, 520, 200);
    ASSERT_EQ(image.size(), QSize(520, 200));
    EXPECT_EQ(image.pixelColor(250, 180), QColor(0, 0, 117));
    // The middle point (x 250, top of the plot at 100 m) is on the black polyline.
    const int yTop = static_cast<int>(180.0 - 125.0 / 150.0 * 180.0);
    EXPECT_EQ(image.pixelColor(250, yTop), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(510, 190), QColor(Qt::white));
}

TEST_F(ProfilePictureTest, FlatProfileIsDrawnAsALine) {
    const QImage image = renderProfilePicture(std::vector<float>(801, 0.0F), 520, 200);
    EXPECT_EQ(image.pixelColor(250, 150), QColor(Qt::black));
}

TEST_F(ProfilePictureTest, PngBytesDecode) {
    const QByteArray png = profilePicturePng({1.0F, 2.0F}, 100, 50);
    ASSERT_FALSE(png.isEmpty());
    EXPECT_TRUE(png.startsWith("\x89PNG"));
    EXPECT_EQ(QImage::fromData(png, "PNG").size(), QSize(100, 50));
}

TEST_F(ProfilePictureTest, ReportSavedAsRtfKeepsThePictureAndReadsBackWithIt) {
    ScriptedPrompter prompter;
    PropagationModel model(prompter);
    ModelRecords records;
    PathState path;
    path.pfl = {4, 250, 100, 110, 120, 115, 105};
    path.ProfileReady = true;
    PointToPointInputs in;
    in.picturePng = profilePicturePng(profileElevations(path.pfl), 520, 200);
    in.pictureWidthPx = 520;
    in.pictureHeightPx = 200;
    RLogClass log(prompter);
    ASSERT_EQ(runPointToPointCalculation(in, path, 5, model, records, prompter, log),
              PointToPointStatus::Done);
    QTemporaryDir dir;
    const QString file = dir.filePath("report.rtf");
    ASSERT_TRUE(log.SaveFile(file));

    RLogClass back(prompter);
    ASSERT_TRUE(back.ReadFile(file));
    int pictures = 0;
    for (const Paragraph& paragraph : back.document().paragraphs()) {
        for (const ParagraphItem& item : paragraph.items) {
            if (const auto* picture = std::get_if<Picture>(&item)) {
                ++pictures;
                EXPECT_EQ(picture->png, in.picturePng);
                EXPECT_EQ(picture->widthPx, 520);
                EXPECT_EQ(picture->heightPx, 200);
            }
        }
    }
    EXPECT_EQ(pictures, 1);
    EXPECT_TRUE(back.document().plainText().contains("Free Space Value"));
}

} // namespace
