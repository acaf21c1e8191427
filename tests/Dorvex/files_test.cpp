#include "files.h"

#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace dorvex {
namespace {

using test::ScopedEnv;

TEST(DriveFolder, FollowsVerdanDrivesThenXdgDataHomeThenHome) {
    ScopedEnv drives("VERDAN_DRIVES", "/v/drives");
    ScopedEnv data("XDG_DATA_HOME", "/x/data");
    ScopedEnv home("HOME", "/h");
    EXPECT_EQ(driveFolder('C'), "/v/drives/c/");
    {
        ScopedEnv none("VERDAN_DRIVES", std::nullopt);
        EXPECT_EQ(driveFolder('d'), "/x/data/verdan/drives/d/");
        ScopedEnv noData("XDG_DATA_HOME", std::nullopt);
        EXPECT_EQ(driveFolder('Z'), "/h/.local/share/verdan/drives/z/");
    }
}

TEST(HostPath, MapsDriveLettersAndSeparators) {
    ScopedEnv drives("VERDAN_DRIVES", "/v");
    EXPECT_EQ(hostPath("C:\\Projects\\Globe\\"), "/v/c/Projects/Globe/");
    EXPECT_EQ(hostPath("d:Quarn\\DATS\\TOPO.INF"), "/v/d/Quarn/DATS/TOPO.INF");
    EXPECT_EQ(hostPath("/data/globe/"), "/data/globe/");
    EXPECT_EQ(hostPath("relative/x"), "relative/x");
    EXPECT_EQ(hostPath(""), "");
}

TEST(FindNoCase, FindsEachComponentWithoutRegardToCase) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() + "Quarn/dats");
    std::ofstream(dir.path() + "Quarn/dats/Topo.Inf") << "x";
    EXPECT_EQ(findNoCase(dir.path() + "QUARN/DATS/TOPO.INF"), dir.path() + "Quarn/dats/Topo.Inf");
    EXPECT_TRUE(fileExistsNoCase(dir.path() + "quarn/DATS/topo.inf"));
    EXPECT_FALSE(fileExistsNoCase(dir.path() + "quarn/DATS"));
    EXPECT_EQ(findNoCase(dir.path() + "nothing/here"), dir.path() + "nothing/here");
}

} // namespace
} // namespace dorvex
