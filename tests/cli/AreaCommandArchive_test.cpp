#include "ArchiveRows.h"
#include "AreaCommand.h"
#include "CliRun.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace verdan;
using namespace verdan::cli;
using namespace verdan::test;

namespace {

class AreaArchiveOption : public ::testing::Test {
protected:
    QTemporaryDir dir;
    const QString path = dir.filePath("cli.sqlite");
};

// Regression: parallel writers to a new archive lost runs that each reported "stored", and a
// failing writer deleted the file that the others had written.
TEST_F(AreaArchiveOption, ParallelWritersToANewArchiveAllStore) {
    constexpr int kWriters = 20;
    // The writers run at once; each one that fails prints its status after its message.
    const Outcome outcome = test::runCliScript(
        QStringLiteral("for i in $(seq %1); do \"$0\" area --archive cli.sqlite --d2 150 "
                       "> /dev/null || echo \"exit status $?\" & done; wait")
            .arg(kWriters),
        dir.path());
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "") << outcome.err;
    EXPECT_EQ(test::archiveRows(path, "SELECT COUNT(*) FROM ModelRun")[0][0], kWriters);
    EXPECT_EQ(test::archiveRows(path, "SELECT COUNT(DISTINCT ID) FROM DataSets")[0][0], kWriters);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"cli.sqlite"});
}

// A failing writer removes nothing: neither a symbolic link given as the archive nor its
// target.
TEST_F(AreaArchiveOption, FailingWriterLeavesLinksAndTheirTargets) {
    const QString text = dir.filePath("notes.txt");
    ASSERT_TRUE(test::writeContent(text, "not an archive\n"));
    for (const QString& target : {text, dir.filePath("missing.sqlite")}) {
        const QString link = dir.filePath("link.sqlite");
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(target, link));
        const Outcome outcome = runCommand(areaCommand, {"--archive", link});
        EXPECT_EQ(outcome.status, ExitFailure) << target.toStdString();
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(QFileInfo::exists(target), target == text);
    }
    EXPECT_EQ(test::fileContent(text), "not an archive\n");
}

// Regression: a device given as the archive (/dev/full) was opened by SQLite, which left
// its journal file beside it in /dev. A folder, pipe or device is refused before the run.
TEST_F(AreaArchiveOption, RefusesAnArchiveThatIsNoRegularFile) {
    const QString pipe = dir.filePath("pipe.sqlite");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString linkToDevice = dir.filePath("full.sqlite");
    ASSERT_TRUE(QFile::link("/dev/full", linkToDevice));
    const bool journalBefore = QFileInfo::exists("/dev/full-journal");
    for (const QString& archive : {QString("/dev/full"), dir.path(), pipe, linkToDevice}) {
        const Outcome outcome = runCommand(areaCommand, {"--archive", archive});
        EXPECT_EQ(outcome.status, ExitUsage) << archive.toStdString();
        EXPECT_NE(outcome.err.find("not a regular file"), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.out.empty()) << archive.toStdString();
    }
    EXPECT_EQ(QFileInfo::exists("/dev/full-journal"), journalBefore);
}

} // namespace
