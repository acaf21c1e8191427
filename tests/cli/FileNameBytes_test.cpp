// verdan-cli names files by the bytes of the command line, also bytes that are not UTF-8.
#include "CliRun.h"
#include "FolderFiles.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

using namespace verdan;

namespace {

namespace fs = std::filesystem;

// Regression: such a name was refused, or (decoded to U+FFFD) named another file.
TEST(VerdanCli, RegressionNamesThatAreNotUtf8AreKeptByteForByte) {
    // $L is "caf\xe9" (Latin-1), $F the byte 0xff: the inputs are $L.pfl and the folder $L.
    const struct {
        const char* args;
        std::set<std::string> written;
        const char* error = nullptr; ///< in the message of a refused name, shown readably
    } cases[] = {
        {"p2p --profile \"$L.pfl\" --picture \"$F.png\"", {"\xff.png"}},
        {"area --archive \"$L.db\"", {"caf\xe9.db"}},
        {"coverage --tx 39.0,-76.85 --radius 2 --resolution 30 --terrain raster --dem \"$L\" "
         "--out \"$F\"",
         {"\xff.tif", "\xff.png", "\xff-legend.png", "\xff.kml"}},
        {"p2p --profile \"$F.pfl\"", {}, "The file \\xff.pfl cannot be read"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const fs::path folder = dir.path().toStdString();
        std::ofstream(folder / "caf\xe9.pfl")
            << "10,500\n100,110,120,130,140,150,160,170,180,190,200\n";
        fs::create_directory_symlink(VERDAN_DEMO_RASTER_DIR "demo-tiles-synthetic",
                                     folder / "caf\xe9");
        const test::Outcome outcome = test::runCliScript(
            QStringLiteral("L=$(printf 'caf\\351') F=$(printf '\\377') && exec \"$0\" ") + c.args,
            dir.path());
        EXPECT_EQ(outcome.status, c.error ? cli::ExitUsage : cli::ExitOk) << c.args << outcome.err;
        EXPECT_TRUE(!c.error || outcome.err.find(c.error) != std::string::npos) << outcome.err;
        std::set<std::string> names{"caf\xe9.pfl", "caf\xe9"};
        names.insert(c.written.begin(), c.written.end());
        EXPECT_EQ(test::entries(folder), std::vector<std::string>(names.begin(), names.end()))
            << c.args;
    }
}

} // namespace
