// verdan-cli names files by the bytes of the command line, also bytes that are not UTF-8.
#include "CliOptions.h"
#include "LibraryBinding.h"

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

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
         {"\xff.tif", "\xff.png", "\xff.kml"}},
        {"p2p --profile \"$F.pfl\"", {}, "The file \\xff.pfl cannot be read"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const fs::path folder = dir.path().toStdString();
        std::ofstream(folder / "caf\xe9.pfl")
            << "10,500\n100,110,120,130,140,150,160,170,180,190,200\n";
        fs::create_directory_symlink(VERDAN_DEMO_RASTER_DIR "demo-tiles-synthetic",
                                     folder / "caf\xe9");
        QProcess process;
        process.start("/bin/sh",
                      {"-c",
                       QStringLiteral("cd \"$1\" && L=$(printf 'caf\\351') F=$(printf '\\377') && "
                                      "exec \"$0\" %1")
                           .arg(c.args),
                       verdan::executableFolder() + "/verdan-cli", dir.path()});
        ASSERT_TRUE(process.waitForFinished(60000));
        const std::string err = process.readAllStandardError().toStdString();
        EXPECT_EQ(process.exitCode(), c.error ? verdan::cli::ExitUsage : verdan::cli::ExitOk)
            << c.args << ": " << err;
        EXPECT_TRUE(!c.error || err.find(c.error) != std::string::npos) << err;
        std::set<std::string> names{"caf\xe9.pfl", "caf\xe9"};
        names.insert(c.written.begin(), c.written.end());
        std::set<std::string> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            found.insert(entry.path().filename().native());
        EXPECT_EQ(found, names) << c.args;
    }
}

} // namespace
