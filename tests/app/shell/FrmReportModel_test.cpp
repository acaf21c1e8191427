#include "FrmReportModel.h"

#include "LogDocumentPrint.h"
#include "RLogClass.h"
#include "Rtf.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

constexpr int kAllFiles = 0;
constexpr int kTextFiles = 1;
constexpr int kRichText = 2;
const QString kOverwrite = QStringLiteral("File already exits.  Overwrite It?");

QByteArray fileContent(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeContent(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

class FrmReportModelTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        log.Clear();
        log.AddLine(QStringLiteral("  Distance   Loss"));
        log.setBold(true);
        log.AddLine(QStringLiteral("     10.0  120.5"));
        log.setBold(false);
    }
    QString pathOf(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    ScriptedPrompter prompter;
    RLogClass log{prompter};
    FrmReportModel& window = log.window();
    QTemporaryDir folder;
};

TEST_F(FrmReportModelTest, ClearLogEmptiesTheTextWithoutTitle) {
    window.cmdClear_Click();
    EXPECT_TRUE(window.rtbLog().isEmpty());
    EXPECT_EQ(window.rtbLog().plainText(), QString());
    EXPECT_EQ(window.caption(), "Report Log");
}

TEST_F(FrmReportModelTest, MenuClearLogEmptiesTheText) {
    window.mnuFileClearLog_Click();
    EXPECT_TRUE(window.rtbLog().isEmpty());
}

TEST_F(FrmReportModelTest, SaveDialogStartsInHomeWithRichTextPreselected) {
    window.cmdFile_Click();
    ASSERT_EQ(prompter.saveRequests.size(), 1u);
    const FileRequest& request = prompter.saveRequests.front();
    EXPECT_EQ(request.startFolder, QDir::homePath());
    EXPECT_EQ(request.filters,
              (QStringList{"All Files (*.*)", "Text Files (*.txt)", "Rich Text (*.rtf)"}));
    EXPECT_EQ(request.filterIndex, kRichText);
}

TEST_F(FrmReportModelTest, CancelledDialogWritesNothing) {
    prompter.queueSaveFile(QString());
    window.cmdFile_Click();
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(prompter.busyOnCount, 0);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

struct SaveCase {
    const char* name;
    const char* fileName;
    int filterIndex;
    bool rich;
};

class FrmReportModelSave : public FrmReportModelTest,
                           public testing::WithParamInterface<SaveCase> {};

TEST_P(FrmReportModelSave, FilterDecidesTheFormatWhateverTheName) {
    const QString path = pathOf(GetParam().fileName);
    prompter.queueSaveFile(path, GetParam().filterIndex);
    window.cmdFile_Click();
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(prompter.busyOnCount, 1);
    EXPECT_EQ(prompter.busyOffCount, 1);
    EXPECT_FALSE(prompter.busy);
    const QByteArray content = fileContent(path);
    if (GetParam().rich) {
        LogDocument read;
        ASSERT_TRUE(readRtf(content, read));
        EXPECT_EQ(read, window.rtbLog());
    } else {
        EXPECT_EQ(content, "Report Log\n  Distance   Loss\n     10.0  120.5\n\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Filters, FrmReportModelSave,
                         testing::Values(SaveCase{"AllFilesNamedRtf", "a.rtf", kAllFiles, false},
                                         SaveCase{"TextFilesNamedRtf", "b.rtf", kTextFiles, false},
                                         SaveCase{"TextFilesNamedTxt", "c.txt", kTextFiles, false},
                                         SaveCase{"RichTextNamedTxt", "d.txt", kRichText, true},
                                         SaveCase{"RichTextNoExtension", "e", kRichText, true},
                                         SaveCase{"RichTextNamedRtf", "f.rtf", kRichText, true}),
                         [](const testing::TestParamInfo<SaveCase>& info) {
                             return info.param.name;
                         });

TEST_F(FrmReportModelTest, PlainTextOfAnEmptyLogIsOneLineEnd) {
    window.cmdClear_Click();
    const QString path = pathOf("empty.txt");
    prompter.queueSaveFile(path, kTextFiles);
    window.cmdFile_Click();
    EXPECT_EQ(fileContent(path), "\n");
}

TEST_F(FrmReportModelTest, NoToOverwriteLeavesTheFileUntouched) {
    const QString path = pathOf("old.txt");
    ASSERT_TRUE(writeContent(path, "old content"));
    prompter.queueSaveFile(path, kTextFiles);
    prompter.queueMessage(MsgAnswer::No);
    window.cmdFile_Click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kOverwrite);
    EXPECT_EQ(prompter.messages[0].title, "Verdan");
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(fileContent(path), "old content");
    EXPECT_EQ(prompter.busyOnCount, 0);
}

TEST_F(FrmReportModelTest, YesToOverwriteReplacesTheFile) {
    const QString path = pathOf("old.rtf");
    ASSERT_TRUE(writeContent(path, "old content"));
    prompter.queueSaveFile(path, kRichText);
    prompter.queueMessage(MsgAnswer::Yes);
    window.cmdFile_Click();
    EXPECT_EQ(prompter.messageTexts(), QStringList{kOverwrite});
    LogDocument read;
    ASSERT_TRUE(readRtf(fileContent(path), read));
    EXPECT_EQ(read, window.rtbLog());
}

TEST_F(FrmReportModelTest, NewFileIsNotQuestioned) {
    prompter.queueSaveFile(pathOf("new.txt"), kTextFiles);
    window.cmdFile_Click();
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(fileContent(pathOf("new.txt")).isEmpty());
}

TEST_F(FrmReportModelTest, FailedSaveIsReportedAndChangesNothing) {
    const QString path = pathOf("missing/log.rtf");
    const LogDocument before = window.rtbLog();
    prompter.queueSaveFile(path, kRichText);
    window.cmdFile_Click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(path));
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(prompter.busyOnCount, 1);
    EXPECT_FALSE(prompter.busy);
    EXPECT_EQ(window.rtbLog(), before);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(FrmReportModelTest, FailedReplaceKeepsThePreviousFile) {
    // A folder of the chosen name cannot be replaced: the save fails and the folder stays.
    const QString path = pathOf("taken");
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("taken")));
    ASSERT_TRUE(writeContent(pathOf("taken/inside.txt"), "previous"));
    prompter.queueSaveFile(path, kTextFiles);
    prompter.queueMessage(MsgAnswer::Yes);
    window.cmdFile_Click();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text, kOverwrite);
    EXPECT_TRUE(prompter.messages[1].text.contains(path));
    EXPECT_EQ(fileContent(pathOf("taken/inside.txt")), "previous");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

TEST_F(FrmReportModelTest, MenuSaveAsSavesLikeTheButton) {
    const QString path = pathOf("menu.txt");
    prompter.queueSaveFile(path, kTextFiles);
    window.mnuFileSaveAs_Click();
    EXPECT_EQ(fileContent(path), "Report Log\n  Distance   Loss\n     10.0  120.5\n\n");
}

struct CloseCase {
    const char* name;
    void (FrmReportModel::*handler)();
};

class FrmReportModelClose : public FrmReportModelTest,
                            public testing::WithParamInterface<CloseCase> {};

TEST_P(FrmReportModelClose, HidesTheWindowAndKeepsTheText) {
    const LogDocument before = window.rtbLog();
    int closings = 0;
    QObject::connect(&window, &ScreenModel::closing, [&] { ++closings; });
    (window.*GetParam().handler)();
    EXPECT_TRUE(window.closeRequested());
    EXPECT_EQ(closings, 1);
    EXPECT_EQ(window.rtbLog(), before);
}

INSTANTIATE_TEST_SUITE_P(Handlers, FrmReportModelClose,
                         testing::Values(CloseCase{"Button", &FrmReportModel::cmdClose_Click},
                                         CloseCase{"Menu", &FrmReportModel::mnuFileClose_Click}),
                         [](const testing::TestParamInfo<CloseCase>& info) {
                             return info.param.name;
                         });

} // namespace
