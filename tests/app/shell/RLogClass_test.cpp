#include "RLogClass.h"

#include "FileSizeLimit.h"
#include "LogDocumentPrint.h"
#include "ReportLogFixture.h"
#include "Rtf.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace verdan;
using verdan::test::fileContent;
using verdan::test::ScriptedPrompter;
using verdan::test::writeContent;

namespace {

class RLogClassTest : public testing::Test {
protected:
    /// SaveFile() with the file size limit at 4096 bytes, standing in for a full disk.
    bool saveWithinFileSizeLimit(const QString& path) {
        const verdan::test::FileSizeLimit limit(4096);
        return log.SaveFile(path);
    }

    ScriptedPrompter prompter;
    RLogClass log{prompter};
    QTemporaryDir folder;
};

// A save that cannot create its file (/proc takes no new files, not even from root) or fails
// half-way (here: the file size limit, which holds for root too, standing in for a full disk)
// must leave the previous file as it was.
TEST_F(RLogClassTest, SaveFileFailingKeepsThePreviousFile) {
    const QByteArray version = fileContent("/proc/version");
    ASSERT_FALSE(version.isEmpty());
    log.Add(QStringLiteral("new text"));
    EXPECT_FALSE(log.SaveFile("/proc/version"));
    EXPECT_EQ(fileContent("/proc/version"), version);

    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("log.rtf"));
    ASSERT_TRUE(writeContent(path, "previous"));
    for (int i = 0; i < 2000; ++i)
        log.AddLine(QStringLiteral("a line of the report that makes the file large"));
    EXPECT_FALSE(saveWithinFileSizeLimit(path));
    EXPECT_EQ(fileContent(path), "previous");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"log.rtf"});

    // The same when only an addition is written to a log saved before.
    log.Clear();
    ASSERT_TRUE(log.SaveFile(path));
    const QByteArray saved = fileContent(path);
    for (int i = 0; i < 2000; ++i)
        log.AddLine(QStringLiteral("a line of the report that makes the file large"));
    EXPECT_FALSE(saveWithinFileSizeLimit(path));
    EXPECT_EQ(fileContent(path), saved);
}

// Regression: every save wrote the whole log again, so a large log made each run slow. A save
// now adds only what the log gained (the saved part is kept as it is) and the file reads back
// as the log. An addition a crash left unfinished after the log's group is ignored by
// ReadFile(), which replaces what the log held; the next save, like one after Clear(), writes
// the file anew.
TEST_F(RLogClassTest, RegressionASaveAddsOnlyWhatTheLogGained) {
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("log.rtf"));
    const auto crash = [this, &path] {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write("\\par next ru");
        file.close();
        ScriptedPrompter otherPrompter;
        RLogClass other(otherPrompter);
        other.Add(QStringLiteral("replaced"));
        ASSERT_TRUE(other.ReadFile(path));
        EXPECT_EQ(other.document(), log.document());
        other.Add(QStringLiteral("appended"));
        EXPECT_TRUE(other.document().plainText().endsWith("appended"));
    };
    const std::vector<std::pair<std::function<void()>, bool>> runs = {
        {[this] { log.AddLine(QStringLiteral("first run")); }, true},
        {[this] { log.Add(QStringLiteral("open ")), log.setBold(true), log.Add("bold"); }, true},
        {[this] { log.Add(QStringLiteral(" bold")), log.setBold(false), log.AddLine({}); }, true},
        {[this] {
             log.insertPicture(verdan::test::tinyPng(), 2, 2);
             log.AddLine(QString::fromUtf16(u"\u20ac {\\}"));
         },
         true},
        {[] {}, true},
        {crash, false},
        {[this] { log.Clear(); }, false},
    };
    QByteArray previous;
    for (const auto& [run, kept] : runs) {
        run();
        ASSERT_TRUE(log.SaveFile(path));
        const QByteArray content = fileContent(path);
        EXPECT_EQ(content.startsWith(previous.left(previous.size() - 2)), kept) << content.data();
        LogDocument read;
        ASSERT_TRUE(readRtf(content, read)) << content.constData();
        EXPECT_EQ(read, log.document());
        previous = content;
    }
}

} // namespace
