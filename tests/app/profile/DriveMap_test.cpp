#include "DriveMap.h"

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

} // namespace
