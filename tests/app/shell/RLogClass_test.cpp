#include "RLogClass.h"

#include "LogDocumentPrint.h"
#include "ReportLogFixture.h"
#include "Rtf.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

using namespace verdan;
using verdan::test::fileContent;
using verdan::test::ScriptedPrompter;
using verdan::test::writeContent;

namespace {

QByteArray tinyPng() {
    return QByteArray::fromHex(
        "89504e470d0a1a0a0000000d4948445200000002000000020802000000fdd49a73000000104944415478"
        "9c63f8cf0004ff192014001bf203fdd696f22b0000000049454e44ae426082");
}

class RLogClassTest : public testing::Test {
protected:
    ScriptedPrompter prompter;
    RLogClass log{prompter};
    QTemporaryDir folder;
};

TEST_F(RLogClassTest, SaveFileThenReadFileRestoresTextAttributesAndPicture) {
    ASSERT_TRUE(folder.isValid());
    log.Clear();
    log.AddLine(QStringLiteral("  Distance    Loss"));
    log.setBold(true);
    log.Add(QStringLiteral("bold "));
    log.setItalic(true);
    log.AddLine(QString::fromUtf16(u"\u00b5V/m \u20ac"));
    log.setBold(false);
    log.setItalic(false);
    log.insertPicture(tinyPng(), 2, 2);
    log.AddLine(QString());
    const LogDocument saved = log.document();
    const QString path = folder.filePath(QStringLiteral("log.rtf"));
    ASSERT_TRUE(log.SaveFile(path));
    EXPECT_TRUE(fileContent(path).startsWith("{\\rtf1"));

    ScriptedPrompter otherPrompter;
    RLogClass other(otherPrompter);
    other.Add(QStringLiteral("replaced"));
    ASSERT_TRUE(other.ReadFile(path));
    EXPECT_EQ(other.document(), saved);
    other.Add(QStringLiteral("appended"));
    EXPECT_TRUE(other.document().plainText().endsWith("\nappended"));
}

// Root may write into any folder: as root the save runs with the file-system identity of an
// ordinary user (nobody), for whom the folder is read-only as for everyone.
TEST_F(RLogClassTest, SaveFileIntoAReadOnlyFolderKeepsThePreviousFile) {
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("log.rtf"));
    ASSERT_TRUE(writeContent(path, "previous"));
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(folder.path(), readOnly));
    log.Add(QStringLiteral("new text"));
    const bool root = geteuid() == 0;
    if (root)
        setfsuid(65534);
    const bool saved = log.SaveFile(path);
    if (root)
        setfsuid(0);
    QFile::setPermissions(folder.path(), readOnly | QFile::WriteOwner);
    EXPECT_FALSE(saved);
    EXPECT_EQ(fileContent(path), "previous");
}

// A write that fails half-way (here: the file size limit, which holds for root too, standing
// in for a full disk) must leave the previous file as it was.
TEST_F(RLogClassTest, SaveFileFailingWhileWritingKeepsThePreviousFile) {
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("log.rtf"));
    ASSERT_TRUE(writeContent(path, "previous"));
    for (int i = 0; i < 2000; ++i)
        log.AddLine(QStringLiteral("a line of the report that makes the file large"));

    rlimit previousLimit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previousLimit;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = log.SaveFile(path);
    setrlimit(RLIMIT_FSIZE, &previousLimit);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(fileContent(path), "previous");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"log.rtf"});
}

} // namespace
