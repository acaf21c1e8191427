#include "FrmDriveSelectModel.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace verdan;

namespace {

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

TEST_F(DriveSelect, OkGivesTheDriveNumberOfTheChosenDrive) {
    FrmDriveSelectModel form(1);
    form.Form_Load();
    EXPECT_EQ(form.drvQuarnIndex(), 1) << "drive C is preselected";
    form.setDrvQuarnIndex(2);
    form.cmdOK_Click();
    EXPECT_TRUE(form.closeRequested());
    EXPECT_EQ(form.QuarnDrive(), 2);
}

} // namespace
