#include "FrmReportModel.h"

#include "LogDocumentPrint.h"
#include "RLogClass.h"
#include "ReportLogFixture.h"
#include "Rtf.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::fileContent;
using verdan::test::ScriptedPrompter;
using verdan::test::writeContent;

namespace {

constexpr int kAllFiles = 0;
constexpr int kTextFiles = 1;
constexpr int kRichText = 2;
const QString kOverwrite = QStringLiteral("File already exits.  Overwrite It?");

class FrmReportModelTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        verdan::test::writeSampleReport(log);
    }
    QString pathOf(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    ScriptedPrompter prompter;
    RLogClass log{prompter};
    FrmReportModel& window = log.window();
    QTemporaryDir folder;
};

// Regression: a name typed as report.txt with the Rich Text filter selected got rich text.
// The name's suffix decides; a name without .rtf or .txt follows the filter and gets its
// suffix, as the graph's Save Image does.
TEST_F(FrmReportModelTest, TheSuffixDecidesTheFormatElseTheFilter) {
    const struct {
        const char* fileName;
        int filterIndex;
        const char* savedName;
        bool rich;
    } cases[] = {{"a.rtf", kAllFiles, "a.rtf", true},
                 {"b.RTF", kTextFiles, "b.RTF", true},
                 {"report.txt", kRichText, "report.txt", false},
                 {"e", kRichText, "e.rtf", true},
                 {"f", kTextFiles, "f.txt", false},
                 {"g.log", kAllFiles, "g.log", false},
                 {"h.log", kRichText, "h.log.rtf", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        prompter.busyOnCount = 0;
        prompter.busyOffCount = 0;
        prompter.queueSaveFile(pathOf(c.fileName), c.filterIndex);
        window.cmdFile_Click();
        EXPECT_TRUE(prompter.messages.empty());
        EXPECT_EQ(prompter.busyOnCount, 1);
        EXPECT_EQ(prompter.busyOffCount, 1);
        EXPECT_FALSE(prompter.busy);
        const QByteArray content = fileContent(pathOf(c.savedName));
        if (c.rich) {
            LogDocument read;
            ASSERT_TRUE(readRtf(content, read));
            EXPECT_EQ(read, window.rtbLog());
        } else {
            EXPECT_EQ(content, "Report Log\n  Distance   Loss\n     10.0  120.5\n\n");
        }
    }
}

TEST_F(FrmReportModelTest, NoToOverwriteLeavesTheFileUntouched) {
    const QString path = pathOf("old.txt");
    ASSERT_TRUE(writeContent(path, "old content"));
    prompter.queueSaveFile(path, kTextFiles);
    prompter.queueMessage(MsgAnswer::No);
    window.cmdFile_Click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kOverwrite);
    EXPECT_EQ(fileContent(path), "old content");
    EXPECT_EQ(prompter.busyOnCount, 0);
}

TEST_F(FrmReportModelTest, FailedReplaceKeepsThePreviousFile) {
    // A folder of the chosen name cannot be replaced: the save fails and the folder stays.
    const QString path = pathOf("taken");
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("taken")));
    ASSERT_TRUE(writeContent(pathOf("taken/inside.txt"), "previous"));
    prompter.queueSaveFile(path, kAllFiles);
    prompter.queueMessage(MsgAnswer::Yes);
    window.cmdFile_Click();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text, kOverwrite);
    EXPECT_TRUE(prompter.messages[1].text.contains(path));
    EXPECT_EQ(fileContent(pathOf("taken/inside.txt")), "previous");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

} // namespace
