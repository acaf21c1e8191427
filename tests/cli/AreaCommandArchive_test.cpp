#include "ArchiveRows.h"
#include "AreaCommand.h"
#include "CliRun.h"
#include "LibraryBinding.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using namespace verdan;
using namespace verdan::cli;

using verdan::test::Outcome;
using verdan::test::runCommand;

namespace {

class AreaArchiveOption : public ::testing::Test {
protected:
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cli.sqlite"));
};

// Regression: parallel writers to a new archive lost runs that each reported "stored", and a
// failing writer deleted the file that the others had written.
TEST_F(AreaArchiveOption, ParallelWritersToANewArchiveAllStore) {
    constexpr int kWriters = 20;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < kWriters; ++i) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->start(executableFolder() + QStringLiteral("/verdan-cli"),
                              {QStringLiteral("area"), QStringLiteral("--archive"), path,
                               QStringLiteral("--d2"), QStringLiteral("150")});
    }
    for (const auto& writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(60000));
        EXPECT_EQ(writer->exitCode(), ExitOk) << writer->readAllStandardError().toStdString();
    }
    EXPECT_EQ(test::archiveRows(path, QStringLiteral("SELECT COUNT(*) FROM ModelRun"))[0][0],
              kWriters);
    EXPECT_EQ(
        test::archiveRows(path, QStringLiteral("SELECT COUNT(DISTINCT ID) FROM DataSets"))[0][0],
        kWriters);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("cli.sqlite")});
}

// A failing writer removes nothing: neither a symbolic link given as the archive nor its
// target.
TEST_F(AreaArchiveOption, FailingWriterLeavesLinksAndTheirTargets) {
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(test::writeContent(text, "not an archive\n"));
    for (const QString& target : {text, dir.filePath(QStringLiteral("missing.sqlite"))}) {
        const QString link = dir.filePath(QStringLiteral("link.sqlite"));
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(target, link));
        const Outcome outcome = runCommand(areaCommand, {QStringLiteral("--archive"), link});
        EXPECT_EQ(outcome.status, ExitFailure) << target.toStdString();
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(QFileInfo::exists(target), target == text);
    }
    EXPECT_EQ(test::fileContent(text), "not an archive\n");
}

// Regression: a device given as the archive (/dev/full) was opened by SQLite, which left
// its journal file beside it in /dev. A folder, pipe or device is refused before the run.
TEST_F(AreaArchiveOption, RefusesAnArchiveThatIsNoRegularFile) {
    const QString pipe = dir.filePath(QStringLiteral("pipe.sqlite"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString linkToDevice = dir.filePath(QStringLiteral("full.sqlite"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), linkToDevice));
    const bool journalBefore = QFileInfo::exists(QStringLiteral("/dev/full-journal"));
    for (const QString& archive :
         {QStringLiteral("/dev/full"), dir.path(), pipe, linkToDevice}) {
        const Outcome outcome = runCommand(areaCommand, {QStringLiteral("--archive"), archive});
        EXPECT_EQ(outcome.status, ExitUsage) << archive.toStdString();
        EXPECT_NE(outcome.err.find("not a regular file"), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.out.empty()) << archive.toStdString();
    }
    EXPECT_EQ(QFileInfo::exists(QStringLiteral("/dev/full-journal")), journalBefore);
}

} // namespace
