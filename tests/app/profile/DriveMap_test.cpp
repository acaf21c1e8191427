#include "DriveMap.h"
#include "FrmDriveSelectModel.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace verdan;

namespace {

class DriveMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("VERDAN_DRIVES", dir.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("VERDAN_DRIVES"); }
    QTemporaryDir dir;
};

TEST_F(DriveMapTest, DriveLetterPathsMapIntoTheirFolders) {
    EXPECT_EQ(hostPath(QStringLiteral("C:\\Projects\\Globe\\")),
              dir.path() + QStringLiteral("/c/Projects/Globe/"));
    EXPECT_EQ(hostPath(QStringLiteral("d:Quarn")), dir.path() + QStringLiteral("/d/Quarn"));
    EXPECT_EQ(hostPath(QStringLiteral("/srv/globe/")), QStringLiteral("/srv/globe/"));
    EXPECT_EQ(hostPath(QString()), QString());
}

TEST_F(DriveMapTest, DriveSelectionOkGivesTheDriveNumberOfTheChosenDrive) {
    for (const char* drive : {"a", "c", "d"})
        ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromLatin1(drive)));
    FrmDriveSelectModel form(1);
    form.Form_Load();
    EXPECT_EQ(form.drvQuarnIndex(), 1) << "drive C is preselected";
    form.setDrvQuarnIndex(2);
    form.cmdOK_Click();
    EXPECT_TRUE(form.closeRequested());
    EXPECT_EQ(form.QuarnDrive(), 2);
}

} // namespace
