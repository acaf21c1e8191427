#include "FileSizeLimit.h"
#include "FolderFiles.h"

#include <verdan/files/OutputFiles.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace verdan::files;
namespace fs = std::filesystem;

namespace {

using namespace verdan::test;

// A filler writing `bytes` through the file's descriptor.
FileFiller filling(std::string bytes) {
    return [bytes](const TemporaryFile& file) { return writeBytes(file, bytes); };
}

// Each test in a new folder of its own holding the file "one" with "old one".
struct OutputFiles : ::testing::Test {
    void SetUp() override { std::ofstream(dir / "one", std::ios::binary) << "old one"; }
    TempFolder dir;
};

TEST_F(OutputFiles, PublishesEverySetFileAndLeavesNoTemporary) {
    fs::permissions(dir / "one", fs::perms(0640));
    OutputSet set;
    set.add(dir / "one", std::string("one"));
    set.add(dir / "two", filling("two"));
    set.add(dir / "three", [](const TemporaryFile& file) {
        std::ofstream(file.path, std::ios::binary) << "three"; // by name, as GDAL writes
        return std::string();
    });
    const PublishResult result = set.publish();
    ASSERT_TRUE(result.ok) << result.message();
    for (const char* name : {"one", "two", "three"})
        EXPECT_EQ(readAll(dir / name), name) << "each file holds its name";
    // The replaced file keeps its permissions.
    EXPECT_EQ(fs::status(dir / "one").permissions(), fs::perms(0640));
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"one", "three", "two"}));
}

// Regression: outputs went through a fixed name (NAME.part) opened without O_EXCL or
// O_NOFOLLOW, so a link planted there sent the content into the link's target. A link of the
// user's own keeps naming the new content; one planted by another user (in a shared folder) is
// never followed.
TEST_F(OutputFiles, NeverWritesThroughALinkPlantedBesideTheTargetOrByAnotherUser) {
    for (const char* link : {"out.tif.part", "out.tif.tmp", "out.tif~", "own", "foreign"})
        fs::create_symlink(dir / "one", dir / link);
    ASSERT_TRUE(writeFileAtomically(dir / "out.tif", "map").ok);
    EXPECT_EQ(readAll(dir / "one"), "old one");
    EXPECT_FALSE(fs::is_symlink(dir / "out.tif"));
    EXPECT_EQ(readAll(dir / "out.tif"), "map");

    ASSERT_TRUE(writeFileAtomically(dir / "own", "new").ok);
    EXPECT_EQ(readAll(dir / "one"), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "own"));

    if (::lchown((dir / "foreign").c_str(), 4242, 4242) != 0)
        GTEST_SKIP() << "a link of another user can be made only as root";
    const PublishResult result = writeFileAtomically(dir / "foreign", "attack");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message().find("another user"), std::string::npos) << result.message();
    EXPECT_EQ(readAll(dir / "one"), "new");
}

// Regression: a set whose second file could not be written had replaced the first already,
// and a full disk published a cut file in place of a good one. Every refusal and every cancel
// (Ctrl-C, SIGTERM) while any file is written leaves every file as it was and no temporary.
TEST_F(OutputFiles, PublishesNothingWhenOneFileFailsOrTheSetIsCancelled) {
    std::atomic<bool> cancel{false};
    const FileFiller broken = [](const TemporaryFile&) { return std::string("encoder broke"); };
    const FileFiller relink = [](const TemporaryFile& file) {
        fs::remove(file.path);
        fs::create_symlink("/dev/null", file.path);
        return std::string();
    };
    // Sets the cancel flag while the file is written, then fills it with `fill`.
    const auto cancelling = [&cancel](FileFiller fill) -> FileFiller {
        return [&cancel, fill](const TemporaryFile& file) {
            cancel = true;
            return fill(file);
        };
    };
    const struct {
        const char* second; ///< the name of the second file of the set
        FileFiller fill;
        const char* says;
        bool cancelledBefore = false;
    } cases[] = {
        {"folder", filling("two"), "not a regular"}, // the folder and the pipe are made below
        {"pipe", filling("two"), "not a regular"},
        {"no/two", filling("two"), "No such file"},
        {"./one", filling("two"), "given twice"},
        {"two", broken, "encoder broke"},
        {"two", relink, "replaced"},
        {"two", filling(std::string(64 * 1024, 'y')), "File too large"},
        {"two", filling("two"), "cancelled", true},
        {"two", cancelling(broken), "cancelled"},
        {"two", cancelling(filling("two")), "cancelled"},
    };
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        cancel = c.cancelledBefore;
        OutputSet set;
        set.add(dir / "one", std::string("new one"));
        set.add(dir / c.second, c.fill);
        const PublishResult result = [&] {
            const FileSizeLimit fullDisk(64); // writes past 64 bytes fail as on a full disk
            return set.publish(&cancel);
        }();
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message().find(c.says), std::string::npos) << result.message();
        EXPECT_EQ(readAll(dir / "one"), "old one");
        EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"folder", "one", "pipe"}));
    }
}

} // namespace
