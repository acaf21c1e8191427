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

void writePlain(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class OutputFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / (std::string("files-") + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    std::string at(const std::string& name) const { return (dir / name).string(); }

    fs::path dir;
};

TEST_F(OutputFiles, PublishesEverySetFileAndLeavesNoTemporary) {
    writePlain(dir / "a.txt", "old a");
    ::chmod(at("a.txt").c_str(), 0640);
    OutputSet set;
    set.add(at("a.txt"), std::string("new a"));
    set.add(at("b.bin"), [](const TemporaryFile& file) { return writeBytes(file, "filled"); });
    set.add(at("c.txt"), [](const TemporaryFile& file) {
        std::ofstream(file.path, std::ios::binary) << "by name"; // as GDAL writes
        return std::string();
    });
    const PublishResult result = set.publish();
    ASSERT_TRUE(result.ok) << result.message();
    EXPECT_EQ(readAll(dir / "a.txt"), "new a");
    EXPECT_EQ(readAll(dir / "b.bin"), "filled");
    EXPECT_EQ(readAll(dir / "c.txt"), "by name");
    struct stat info {};
    ASSERT_EQ(::stat(at("a.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u); // the replaced file keeps its permissions
    EXPECT_EQ(entries(dir), (std::vector<std::string>{"a.txt", "b.bin", "c.txt"}));
}

// Regression: outputs went through a fixed name (NAME.part) opened without O_EXCL or
// O_NOFOLLOW, so a link planted there sent the content into the link's target.
TEST_F(OutputFiles, NeverWritesThroughALinkPlantedBesideTheTarget) {
    writePlain(dir / "victim", "precious");
    for (const char* planted : {"out.tif.part", "out.tif.tmp", "out.tif~"})
        fs::create_symlink(dir / "victim", dir / planted);
    const PublishResult result = writeFileAtomically(at("out.tif"), "map");
    ASSERT_TRUE(result.ok) << result.message();
    EXPECT_EQ(readAll(dir / "victim"), "precious");
    EXPECT_FALSE(fs::is_symlink(dir / "out.tif"));
    EXPECT_EQ(readAll(dir / "out.tif"), "map");
}

// A link of the user's own keeps naming the new content; one planted by another user (in a
// shared folder) is never followed.
TEST_F(OutputFiles, FollowsOnlyTheUsersOwnLinks) {
    writePlain(dir / "target", "old");
    fs::create_symlink(dir / "target", dir / "own");
    ASSERT_TRUE(writeFileAtomically(at("own"), "new").ok);
    EXPECT_EQ(readAll(dir / "target"), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "own"));

    fs::create_symlink(dir / "target", dir / "foreign");
    if (::lchown(at("foreign").c_str(), 4242, 4242) != 0)
        GTEST_SKIP() << "a link of another user can be made only as root";
    const PublishResult result = writeFileAtomically(at("foreign"), "attack");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message().find("another user"), std::string::npos) << result.message();
    EXPECT_EQ(readAll(dir / "target"), "new");
}

// Regression: a set whose second file could not be written had replaced the first already.
// Every refusal leaves every file as it was and no temporary.
TEST_F(OutputFiles, PublishesNothingWhenOneFileFails) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& dir)> prepare;
        FileFiller secondFill;
        const char* reason;
    };
    const auto fillOk = [](const TemporaryFile& file) { return writeBytes(file, "two"); };
    const std::vector<Case> cases{
        {"folder in the place of the second file",
         [](const fs::path& d) { fs::create_directory(d / "two"); }, fillOk, "not a regular"},
        {"pipe in the place of the second file",
         [](const fs::path& d) { ::mkfifo((d / "two").c_str(), 0600); }, fillOk, "not a regular"},
        {"the second file's filler fails", [](const fs::path&) {},
         [](const TemporaryFile&) { return std::string("encoder broke"); }, "encoder broke"},
        {"the second file's filler replaces it by a link", [](const fs::path&) {},
         [](const TemporaryFile& file) {
             fs::remove(file.path);
             fs::create_symlink("/dev/null", file.path);
             return std::string();
         },
         "replaced"},
        {"the second file's folder is missing", [](const fs::path&) {}, fillOk, "No such file"},
    };
    for (const Case& c : cases) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        writePlain(dir / "one", "old one");
        c.prepare(dir);
        OutputSet set;
        set.add(at("one"), std::string("new one"));
        set.add(std::string(c.what).find("missing") != std::string::npos ? at("no/two") : at("two"),
                c.secondFill);
        const PublishResult result = set.publish();
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_NE(result.message().find(c.reason), std::string::npos)
            << c.what << ": " << result.message();
        EXPECT_EQ(readAll(dir / "one"), "old one") << c.what;
        for (const std::string& name : entries(dir))
            EXPECT_TRUE(name == "one" || name == "two") << c.what << ": left " << name;
    }
}

// Regression: a full disk published an empty or cut file in place of a good one.
TEST_F(OutputFiles, KeepsThePreviousFilesOnAFullDisk) {
    writePlain(dir / "one", "old one");
    for (const std::size_t bytes : {std::size_t{100}, std::size_t{64 * 1024}}) {
        OutputSet set;
        set.add(at("one"), std::string(bytes, 'x'));
        set.add(at("two"), [bytes](const TemporaryFile& file) {
            return writeBytes(file, std::string(bytes, 'y'));
        });
        PublishResult result;
        {
            const verdan::test::FileSizeLimit limit(64);
            result = set.publish();
        }
        EXPECT_FALSE(result.ok) << bytes;
        EXPECT_EQ(readAll(dir / "one"), "old one") << bytes;
        EXPECT_EQ(entries(dir), std::vector<std::string>{"one"}) << bytes;
    }
}

TEST_F(OutputFiles, RefusesATargetGivenTwice) {
    OutputSet set;
    set.add(at("one"), std::string("a"));
    set.add(at("./one"), std::string("b"));
    set.add(at("one"), std::string("c"));
    EXPECT_FALSE(set.publish().ok);
    EXPECT_TRUE(entries(dir).empty());
}

// A cancel (Ctrl-C, SIGTERM) while any file is written leaves nothing behind.
TEST_F(OutputFiles, CancelledSetLeavesNothing) {
    writePlain(dir / "one", "old one");
    for (int cancelAt = 0; cancelAt < 3; ++cancelAt) {
        std::atomic<bool> cancel{cancelAt == 0};
        OutputSet set;
        set.add(at("one"), std::string("new one"));
        set.add(at("two"), [&, cancelAt](const TemporaryFile& file) {
            cancel = cancelAt == 1;
            return cancel ? std::string("stopped") : writeBytes(file, "two");
        });
        set.add(at("three"), [&, cancelAt](const TemporaryFile& file) {
            cancel = cancel || cancelAt == 2;
            return writeBytes(file, "three");
        });
        const PublishResult result = set.publish(&cancel);
        EXPECT_TRUE(result.cancelled) << cancelAt;
        EXPECT_EQ(readAll(dir / "one"), "old one") << cancelAt;
        EXPECT_EQ(entries(dir), std::vector<std::string>{"one"}) << cancelAt;
    }
}

} // namespace
