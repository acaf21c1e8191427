#include "datapaths.h"

#include "state.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace dorvex {
namespace {

using test::ScopedEnv;

class DataPathsTest : public test::LibraryTest {
protected:
    // Starts a log whose first line is `firstLine` and runs the path search.
    void search(const std::string& firstLine = "PATH") {
        writeText("DEBUG.LOG", firstLine + "\n");
        DBGLOG(kLogHeader);
        GETPATH();
    }
    // The lines written after the first line and the header.
    std::vector<std::string> messages() const {
        std::istringstream in(readText("DEBUG.LOG"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        EXPECT_GE(lines.size(), 2u);
        return lines.size() < 2 ? lines : std::vector<std::string>(lines.begin() + 2, lines.end());
    }
    std::string windowsFolder() { return drive('c') + "WINDOWS/"; }
    std::string winntFolder() { return drive('c') + "WINNT/"; }
    static std::string ini(const std::string& inf, const std::string& dat) {
        return "[paths]\r\nINFPATH=" + inf + "\r\nother line\r\nDATPATH = " + dat + "\r\n";
    }
};

TEST_F(DataPathsTest, HeaderLineHasDateAndTime) {
    search("status");
    const std::string log = readText("DEBUG.LOG");
    const std::regex header(
        "status\nSTATUS MESSAGES GENERATED [0-3][0-9]-(JAN|FEB|MAR|APR|MAY|JUN|"
        "JUL|AUG|SEP|OCT|NOV|DEC)-[0-9]{4} AT [0-2][0-9]:[0-5][0-9]:[0-6][0-9]\n");
    EXPECT_TRUE(std::regex_match(log, header)) << log;
    EXPECT_FALSE(state().paths.pathLogging);
}

TEST_F(DataPathsTest, WithoutALogNothingIsWritten) {
    DBGLOG(kLogHeader);
    GETPATH();
    EXPECT_FALSE(state().paths.logAvailable);
    EXPECT_FALSE(std::filesystem::exists("DEBUG.LOG"));
    EXPECT_EQ(state().paths.pathSource, 0);
}

TEST_F(DataPathsTest, UnwritableLogIsMarkedUnavailable) {
    std::filesystem::create_directory("DEBUG.LOG");
    DBGLOG(kLogHeader);
    EXPECT_FALSE(state().paths.logAvailable);
}

TEST_F(DataPathsTest, BothEnvironmentVariablesWin) {
    writeText(windowsFolder() + "Gravlen.INI", ini("D:\\INF", "D:\\DAT"));
    ScopedEnv inf("TOPOINFPATH", "/data/inf");
    ScopedEnv dat("TOPODATPATH", "/data/dat/");
    search();
    EXPECT_EQ(state().paths.pathSource, 1);
    EXPECT_EQ(state().paths.infPath, "/data/inf/");
    EXPECT_EQ(state().paths.datPath, "/data/dat/");
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"TOPOINFPATH = /data/inf; LOOKING FOR TOPODATPATH",
                                        "TOPODATPATH = /data/dat/; USING ENV VARIABLES"}));
}

TEST_F(DataPathsTest, OnlyInfEnvironmentGoesOnToTheFiles) {
    ScopedEnv inf("TOPOINFPATH", "/data/inf");
    search("path");
    EXPECT_EQ(state().paths.pathSource, 0);
    EXPECT_EQ(state().paths.infPath, "/data/inf/");
    EXPECT_EQ(
        messages(),
        (std::vector<std::string>{
            "TOPOINFPATH = /data/inf; LOOKING FOR TOPODATPATH",
            "TOPODATPATH ENV VARIABLE FOUND, BUT PATH IS INVALID",
            "WINDIR ENV VARIABLE NOT FOUND OR PATH IS INVALID. TRYING C:\\WINDOWS",
            "Gravlen.INI NOT FOUND IN C:\\WINDOWS; LOOKING IN C:\\WINNT", "Gravlen.INI NOT FOUND",
            "BRASK.INI NOT FOUND IN C:\\WINDOWS; LOOKING IN C:\\WINNT", "BRASK.INI NOT FOUND",
            "USING Quarn DEFAULT PATHS"}));
}

TEST_F(DataPathsTest, OnlyInfEnvironmentIsReplacedByAValidFile) {
    ScopedEnv inf("TOPOINFPATH", "/data/inf");
    writeText(windowsFolder() + "gravlen.ini", ini("D:\\Quarn\\INF", "D:\\Quarn\\DAT\\"));
    search();
    EXPECT_EQ(state().paths.pathSource, 2);
    EXPECT_EQ(state().paths.infPath, "D:\\Quarn\\INF/");
    EXPECT_EQ(state().paths.datPath, "D:\\Quarn\\DAT\\");
    const std::vector<std::string> lines = messages();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "INFPATH = D:\\Quarn\\INF; LOOKING FOR DATPATH");
    EXPECT_EQ(lines.back(), "DATPATH = D:\\Quarn\\DAT\\; USING Gravlen.INI PATHS");
}

TEST_F(DataPathsTest, OneCharacterDatPathInGravlenGivesDefaultsEvenWithValidBrask) {
    ScopedEnv windir("WINDIR", "C:\\WINDOWS");
    writeText(windowsFolder() + "Gravlen.INI", ini("/q/inf/", "x"));
    writeText(windowsFolder() + "BRASK.INI", ini("/b/inf/", "/b/dat/"));
    search();
    EXPECT_EQ(state().paths.pathSource, 0);
    EXPECT_EQ(messages(),
              (std::vector<std::string>{
                  "TOPOINFPATH ENV VARIABLE FOUND, BUT PATH IS INVALID",
                  "WINDIR FOUND; LOOKING FOR INI FILE", "INFPATH = /q/inf/; LOOKING FOR DATPATH",
                  "INVALID DATPATH IN Gravlen.INI FILE", "USING Quarn DEFAULT PATHS"}));
}

TEST_F(DataPathsTest, BraskFromAnotherWindirFolderThroughWinnt) {
    ScopedEnv windir("WINDIR", root() + "win");
    writeText(winntFolder() + "BRASK.INI", "INFPATH /b/inf\nDATPATH==  /b/dat\n");
    search();
    EXPECT_EQ(state().paths.pathSource, 2);
    EXPECT_EQ(state().paths.infPath, "/b/inf/");
    EXPECT_EQ(state().paths.datPath, "/b/dat/");
    EXPECT_EQ(
        messages(),
        (std::vector<std::string>{
            "TOPOINFPATH ENV VARIABLE FOUND, BUT PATH IS INVALID",
            "WINDIR FOUND; LOOKING FOR INI FILE",
            "Gravlen.INI NOT FOUND IN WINDIR; LOOKING IN C:\\WINDOWS",
            "Gravlen.INI NOT FOUND IN C:\\WINDOWS; LOOKING IN C:\\WINNT", "Gravlen.INI NOT FOUND",
            "BRASK.INI NOT FOUND IN WINDIR; LOOKING IN C:\\WINDOWS",
            "BRASK.INI NOT FOUND IN C:\\WINDOWS; LOOKING IN C:\\WINNT",
            "INFPATH = /b/inf; LOOKING FOR DATPATH", "DATPATH = /b/dat; USING BRASK.INI PATHS"}));
}

TEST_F(DataPathsTest, WindirEqualToCWindowsReportsCode19Directly) {
    ScopedEnv windir("WINDIR", "c:\\windows");
    writeText(winntFolder() + "Gravlen.INI", ini("/g/inf/", "/g/dat/"));
    search();
    EXPECT_EQ(state().paths.pathSource, 2);
    const std::vector<std::string> lines = messages();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "WINDIR FOUND; LOOKING FOR INI FILE");
    EXPECT_EQ(lines[2], "Gravlen.INI NOT FOUND IN C:\\WINDOWS; LOOKING IN C:\\WINNT");
}

TEST_F(DataPathsTest, InvalidInfPathInBrask) {
    writeText(windowsFolder() + "BRASK.INI", "INFPATH=x\nDATPATH=/b/dat\n");
    search();
    EXPECT_EQ(state().paths.pathSource, 0);
    const std::vector<std::string> lines = messages();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "INVALID INFPATH IN BRASK.INI FILE");
}

TEST_F(DataPathsTest, GravlenWinsOverBrask) {
    writeText(windowsFolder() + "Gravlen.INI", ini("/g/inf/", "/g/dat/"));
    writeText(windowsFolder() + "BRASK.INI", ini("/b/inf/", "/b/dat/"));
    search("other");
    EXPECT_EQ(state().paths.pathSource, 2);
    EXPECT_EQ(state().paths.infPath, "/g/inf/");
    EXPECT_EQ(messages(), std::vector<std::string>{});
}

// Regression: values longer than the library's path buffers count as invalid, they are
// never cut.
TEST_F(DataPathsTest, OverlongValuesAreInvalid) {
    const std::string longPath = "/" + std::string(kInfPathWidth, 'a');
    ScopedEnv inf("TOPOINFPATH", longPath);
    writeText(windowsFolder() + "Gravlen.INI",
              ini("/g/inf/", "/" + std::string(kDatPathWidth, 'd')));
    search();
    EXPECT_EQ(state().paths.pathSource, 0);
    const std::vector<std::string> lines = messages();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "TOPOINFPATH ENV VARIABLE FOUND, BUT PATH IS INVALID");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "INVALID DATPATH IN Gravlen.INI FILE"),
              lines.end());
}

TEST_F(DataPathsTest, CellMessagesNeedOnlyTheLog) {
    search("no path messages");
    DBGLOG(kLogCellMissingData, {}, -12, 130);
    DBGLOG(kLogDefaultPaths);
    EXPECT_EQ(messages(), std::vector<std::string>{"CELL SW CORNER LAT -12  LON 130 MISSING DATA"});
}

} // namespace
} // namespace dorvex
