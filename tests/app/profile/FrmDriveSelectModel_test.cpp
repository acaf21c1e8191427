#include "FrmDriveSelectModel.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace verdan;

namespace {

TEST(FrmDriveSelectModel, DriveNumbersCountFromC) {
    const std::pair<const char*, int> cases[] = {
        {"c:", 1},  {"d:  /x/d/", 2}, {"Z:", 24}, {"z", 24}, {"a:", -1},
        {"b:", -1}, {"", -1},         {"1:", -1}, {"é", -1},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(FrmDriveSelectModel::driveNumber(QString::fromUtf8(text)), number) << text;
}

class DriveSelect : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("VERDAN_DRIVES", dir.path().toLocal8Bit());
        QDir root(dir.path());
        ASSERT_TRUE(root.mkpath(QStringLiteral("a")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("c")));
        ASSERT_TRUE(root.mkpath(QStringLiteral("d")));
    }
    void TearDown() override { qunsetenv("VERDAN_DRIVES"); }
    QTemporaryDir dir;
};

TEST_F(DriveSelect, ListsTheDriveFoldersAndPreselectsTheCurrentDrive) {
    FrmDriveSelectModel form(2);
    form.Form_Load();
    EXPECT_EQ(form.caption(), QStringLiteral("Quarn Drive Select"));
    ASSERT_EQ(form.drvQuarn().size(), 3);
    EXPECT_EQ(form.drvQuarn().at(0), QStringLiteral("a:  ") + dir.path() + QStringLiteral("/a/"));
    EXPECT_TRUE(form.drvQuarn().at(2).startsWith(QStringLiteral("d:")));
    EXPECT_EQ(form.drvQuarnIndex(), 2);
}

TEST_F(DriveSelect, OkGivesTheDriveNumberOfTheChosenDrive) {
    FrmDriveSelectModel form(1);
    form.Form_Load();
    EXPECT_EQ(form.drvQuarnIndex(), 1) << "drive C is preselected";
    form.setDrvQuarnIndex(2);
    form.cmdOK_Click();
    EXPECT_TRUE(form.closeRequested());
    EXPECT_EQ(form.QuarnDrive(), 2);
}

TEST_F(DriveSelect, DriveAOrBCountsAsCancel) {
    FrmDriveSelectModel form(1);
    form.Form_Load();
    form.setDrvQuarnIndex(0);
    form.cmdOK_Click();
    EXPECT_EQ(form.QuarnDrive(), -1);
}

TEST_F(DriveSelect, CancelAndTheCloseBoxGiveMinusOne) {
    FrmDriveSelectModel form(1);
    form.Form_Load();
    form.setDrvQuarnIndex(2);
    form.cmdCancel_Click();
    EXPECT_TRUE(form.closeRequested());
    EXPECT_EQ(form.QuarnDrive(), -1);
    FrmDriveSelectModel other(1);
    other.Form_Load();
    other.closeBoxClicked();
    EXPECT_TRUE(other.closeRequested());
    EXPECT_EQ(other.QuarnDrive(), -1);
}

TEST(FrmDriveSelectModelEmpty, NoDriveFoldersGivesAnEmptyListAndOkCountsAsCancel) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    qputenv("VERDAN_DRIVES", dir.path().toLocal8Bit());
    FrmDriveSelectModel form(1);
    form.Form_Load();
    EXPECT_TRUE(form.drvQuarn().isEmpty());
    EXPECT_EQ(form.drvQuarnIndex(), -1);
    form.cmdOK_Click();
    EXPECT_EQ(form.QuarnDrive(), -1);
    qunsetenv("VERDAN_DRIVES");
}

} // namespace
