#include "FileSizeLimit.h"
#include "FolderFiles.h"

#include <verdan/files/OutputFiles.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace verdan::files;
namespace fs = std::filesystem;

namespace {

using verdan::test::entries;
using verdan::test::readAll;

// A filler writing `bytes` through the file's descriptor.
FileFiller filling(std::string bytes) {
    return [bytes](const TemporaryFile& file) { return writeBytes(file, bytes); };
}

// Each test in a new folder of its own holding the file "one" with "old one".
class OutputFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / (std::string("files-") + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "one", std::ios::binary) << "old one";
    }
    fs::path dir;
};

TEST_F(OutputFiles, PublishesEverySetFileAndLeavesNoTemporary) {
    fs::permissions(dir / "one", fs::perms(0640));
    OutputSet set;
    set.add(dir / "one", std::string("new one"));
    set.add(dir / "two", filling("filled"));
    set.add(dir / "three", [](const TemporaryFile& file) {
        std::ofstream(file.path, std::ios::binary) << "by name"; // as GDAL writes
        return std::string();
    });
    const PublishResult result = set.publish();
    ASSERT_TRUE(result.ok) << result.message();
    EXPECT_EQ(readAll(dir / "one"), "new one");
    EXPECT_EQ(readAll(dir / "two"), "filled");
    EXPECT_EQ(readAll(dir / "three"), "by name");
    // The replaced file keeps its permissions.
    EXPECT_EQ(fs::status(dir / "one").permissions(), fs::perms(0640));
    EXPECT_EQ(entries(dir), (std::vector<std::string>{"one", "three", "two"}));
}

// Regression: outputs went through a fixed name (NAME.part) opened without O_EXCL or
// O_NOFOLLOW, so a link planted there sent the content into the link's target. A link of the
// user's own keeps naming the new content; one planted by another user (in a shared folder) is
// never followed.
TEST_F(OutputFiles, NeverWritesThroughALinkPlantedBesideTheTargetOrByAnotherUser) {
    for (const char* planted : {"out.tif.part", "out.tif.tmp", "out.tif~"})
        fs::create_symlink(dir / "one", dir / planted);
    ASSERT_TRUE(writeFileAtomically(dir / "out.tif", "map").ok);
    EXPECT_EQ(readAll(dir / "one"), "old one");
    EXPECT_FALSE(fs::is_symlink(dir / "out.tif"));
    EXPECT_EQ(readAll(dir / "out.tif"), "map");

    fs::create_symlink(dir / "one", dir / "own");
    ASSERT_TRUE(writeFileAtomically(dir / "own", "new").ok);
    EXPECT_EQ(readAll(dir / "one"), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "own"));

    fs::create_symlink(dir / "one", dir / "foreign");
    if (::lchown((dir / "foreign").c_str(), 4242, 4242) != 0)
        GTEST_SKIP() << "a link of another user can be made only as root";
    const PublishResult result = writeFileAtomically(dir / "foreign", "attack");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message().find("another user"), std::string::npos) << result.message();
    EXPECT_EQ(readAll(dir / "one"), "new");
}

// `set` published with the size of every file written limited to 64 bytes, as on a full disk.
PublishResult publishOnAFullDisk(const OutputSet& set, const std::atomic<bool>& cancel) {
    const verdan::test::FileSizeLimit limit(64);
    return set.publish(&cancel);
}

// Regression: a set whose second file could not be written had replaced the first already,
// and a full disk published a cut file in place of a good one. Every refusal and every cancel
// (Ctrl-C, SIGTERM) while any file is written leaves every file as it was and no temporary.
TEST_F(OutputFiles, PublishesNothingWhenOneFileFailsOrTheSetIsCancelled) {
    std::atomic<bool> cancel{false};
    const FileFiller fillOk = filling("two");
    const FileFiller relink = [](const TemporaryFile& file) {
        fs::remove(file.path);
        fs::create_symlink("/dev/null", file.path);
        return std::string();
    };
    // Sets the cancel flag while the file is written, after filling it or instead.
    const auto stopping = [&cancel](bool filled) -> FileFiller {
        return [&cancel, filled](const TemporaryFile& file) {
            cancel = true;
            return filled ? writeBytes(file, "two") : std::string("stopped");
        };
    };
    const struct {
        const char* second; ///< the name of the second file of the set
        FileFiller fill;
        const char* says;
        bool cancelledBefore = false;
    } cases[] = {
        {"folder", fillOk, "not a regular"}, // the folder and the pipe are made below
        {"pipe", fillOk, "not a regular"},
        {"no/two", fillOk, "No such file"},
        {"./one", fillOk, "given twice"},
        {"two", [](const TemporaryFile&) { return std::string("encoder broke"); }, "encoder broke"},
        {"two", relink, "replaced"},
        {"two", filling(std::string(64 * 1024, 'y')), "File too large"},
        {"two", fillOk, "cancelled", true},
        {"two", stopping(false), "cancelled"},
        {"two", stopping(true), "cancelled"},
    };
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        cancel = c.cancelledBefore;
        OutputSet set;
        set.add(dir / "one", std::string("new one"));
        set.add(dir / c.second, c.fill);
        const PublishResult result = publishOnAFullDisk(set, cancel);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message().find(c.says), std::string::npos) << result.message();
        EXPECT_EQ(readAll(dir / "one"), "old one");
        EXPECT_EQ(entries(dir), (std::vector<std::string>{"folder", "one", "pipe"}));
    }
}

} // namespace
