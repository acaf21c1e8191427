#include "RLogClass.h"

#include "LogDocumentPrint.h"
#include "Rtf.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <functional>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

constexpr CharFormat kPlain{};
constexpr CharFormat kTitle{true, false, true};

QByteArray tinyPng() {
    return QByteArray::fromHex(
        "89504e470d0a1a0a0000000d4948445200000002000000020802000000fdd49a73000000104944415478"
        "9c63f8cf0004ff192014001bf203fdd696f22b0000000049454e44ae426082");
}

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

class RLogClassTest : public testing::Test {
protected:
    /// SaveFile() with the file size limit at 4096 bytes, which holds for root too and
    /// stands in for a full disk.
    bool saveWithinFileSizeLimit(const QString& path) {
        rlimit previousLimit{};
        EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = previousLimit;
        small.rlim_cur = 4096;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved = log.SaveFile(path);
        setrlimit(RLIMIT_FSIZE, &previousLimit);
        std::signal(SIGXFSZ, previousHandler);
        return saved;
    }

    ScriptedPrompter prompter;
    RLogClass log{prompter};
    QTemporaryDir folder;
};

TEST_F(RLogClassTest, CreationTitlesTheWindowReportLog) {
    EXPECT_EQ(log.Title(), "Report Log");
    EXPECT_EQ(log.window().caption(), "Report Log");
    EXPECT_EQ(log.window().screenName(), "FrmReport");
    EXPECT_TRUE(log.document().isEmpty());
}

TEST_F(RLogClassTest, TitleSetsTheWindowCaption) {
    log.setTitle(QStringLiteral("Area Results"));
    EXPECT_EQ(log.Title(), "Area Results");
    EXPECT_EQ(log.window().caption(), "Area Results");
}

TEST_F(RLogClassTest, ClearLeavesOnlyTheBoldUnderlinedTitleLine) {
    log.Add(QStringLiteral("old text\r\nmore"));
    log.Clear();
    LogDocument expected;
    expected.appendText(QStringLiteral("Report Log\r\n"), kTitle);
    EXPECT_EQ(log.document(), expected);
    EXPECT_EQ(log.document().plainText(), "Report Log\n");

    log.Add(QStringLiteral("next"));
    expected.appendText(QStringLiteral("next"), kPlain);
    EXPECT_EQ(log.document(), expected);
}

TEST_F(RLogClassTest, AddThenAddLineGivesOneLineWithLineEnd) {
    log.Add(QStringLiteral("a"));
    log.AddLine(QStringLiteral("b"));
    EXPECT_EQ(log.document().plainText(), "ab\n");
    ASSERT_EQ(log.document().paragraphs().size(), 2);
    EXPECT_TRUE(log.document().paragraphs().last().items.isEmpty());
}

struct AttributeCase {
    const char* name;
    void (RLogClass::*setter)(bool);
    CharFormat format;
};

class RLogClassAttributes : public testing::TestWithParam<AttributeCase> {};

TEST_P(RLogClassAttributes, AppliesToTextInsertedAfterwardsOnly) {
    ScriptedPrompter prompter;
    RLogClass log(prompter);
    log.Add(QStringLiteral("before"));
    (log.*GetParam().setter)(true);
    log.Add(QStringLiteral("on"));
    (log.*GetParam().setter)(false);
    log.Add(QStringLiteral("off"));
    LogDocument expected;
    expected.appendText(QStringLiteral("before"), kPlain);
    expected.appendText(QStringLiteral("on"), GetParam().format);
    expected.appendText(QStringLiteral("off"), kPlain);
    EXPECT_EQ(log.document(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Setters, RLogClassAttributes,
    testing::Values(AttributeCase{"Bold", &RLogClass::setBold, CharFormat{true, false, false}},
                    AttributeCase{"Italic", &RLogClass::setItalic, CharFormat{false, true, false}},
                    AttributeCase{"Underline", &RLogClass::setUnderline,
                                  CharFormat{false, false, true}}),
    [](const testing::TestParamInfo<AttributeCase>& info) { return info.param.name; });

TEST_F(RLogClassTest, AddTitleUsesTheCurrentCaption) {
    log.setTitle(QStringLiteral("Point-to-Point"));
    log.setItalic(true);
    log.AddTitle();
    log.Add(QStringLiteral("x"));
    LogDocument expected;
    expected.appendText(QStringLiteral("Point-to-Point\n"), CharFormat{true, true, true});
    expected.appendText(QStringLiteral("x"), CharFormat{false, true, false});
    EXPECT_EQ(log.document(), expected);
}

TEST_F(RLogClassTest, InsertPictureAppendsAtTheEndWithoutTheClipboard) {
    log.AddLine(QStringLiteral("Profile"));
    log.insertPicture(tinyPng(), 400, 300);
    log.insertPicture(QByteArray(), 10, 10);
    ASSERT_EQ(log.document().pictureCount(), 1);
    EXPECT_EQ(std::get<Picture>(log.document().paragraphs().last().items.first()),
              (Picture{tinyPng(), 400, 300}));
}

TEST_F(RLogClassTest, ChangedIsSignalledForEveryChange) {
    int changes = 0;
    QObject::connect(&log, &RLogClass::changed, [&] { ++changes; });
    log.Add(QStringLiteral("a"));
    EXPECT_EQ(changes, 1);
    log.insertPicture(tinyPng(), 2, 2);
    EXPECT_EQ(changes, 2);
    log.setTitle(QStringLiteral("T"));
    EXPECT_EQ(changes, 3);
    log.Clear();
    EXPECT_GE(changes, 5);
}

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

TEST_F(RLogClassTest, ReadFileOfAMissingPathReturnsFalseAndKeepsTheText) {
    ASSERT_TRUE(folder.isValid());
    log.Clear();
    log.Add(QStringLiteral("kept"));
    const LogDocument before = log.document();
    EXPECT_FALSE(log.ReadFile(folder.filePath(QStringLiteral("missing.rtf"))));
    EXPECT_EQ(log.document(), before);
}

TEST_F(RLogClassTest, ReadFileOfNonRtfReturnsFalseAndKeepsTheText) {
    ASSERT_TRUE(folder.isValid());
    log.Add(QStringLiteral("kept"));
    const LogDocument before = log.document();
    for (const QByteArray& content :
         {QByteArray(), QByteArray("plain text"), QByteArray("{\\rtf1 truncated")}) {
        const QString path = folder.filePath(QStringLiteral("bad.rtf"));
        ASSERT_TRUE(writeContent(path, content));
        EXPECT_FALSE(log.ReadFile(path)) << content.constData();
        EXPECT_EQ(log.document(), before);
    }
    EXPECT_FALSE(log.ReadFile(folder.path()));
    EXPECT_EQ(log.document(), before);
}

TEST_F(RLogClassTest, SaveFileIntoAMissingFolderFailsAndShowsNothing) {
    ASSERT_TRUE(folder.isValid());
    log.Add(QStringLiteral("text"));
    EXPECT_FALSE(log.SaveFile(folder.filePath(QStringLiteral("missing/log.rtf"))));
    EXPECT_TRUE(prompter.messages.empty());
}

// /proc takes no new files, not even from root: the previous file there stays as it was.
TEST_F(RLogClassTest, SaveFileIntoAReadOnlyFolderKeepsThePreviousFile) {
    const QString path = QStringLiteral("/proc/version");
    const QByteArray previous = fileContent(path);
    ASSERT_FALSE(previous.isEmpty());
    log.Add(QStringLiteral("new text"));
    EXPECT_FALSE(log.SaveFile(path));
    EXPECT_EQ(fileContent(path), previous);
}

// A write that fails half-way (here: the file size limit, which holds for root too, standing
// in for a full disk) must leave the previous file as it was.
TEST_F(RLogClassTest, SaveFileFailingWhileWritingKeepsThePreviousFile) {
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
// ReadFile(); the next save, like one after Clear(), writes the file anew.
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
        ASSERT_TRUE(other.ReadFile(path));
        EXPECT_EQ(other.document(), log.document());
    };
    const std::vector<std::pair<std::function<void()>, bool>> runs = {
        {[this] { log.AddLine(QStringLiteral("first run")); }, true},
        {[this] { log.Add(QStringLiteral("open ")), log.setBold(true), log.Add("bold"); }, true},
        {[this] { log.Add(QStringLiteral(" bold")), log.setBold(false), log.AddLine({}); }, true},
        {[this] {
             log.insertPicture(tinyPng(), 2, 2);
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

TEST_F(RLogClassTest, ShowRunsTheReportWindowModally) {
    log.window().cmdClose_Click();
    ASSERT_TRUE(log.window().closeRequested());
    bool wasReset = false;
    prompter.queueModal(QStringLiteral("FrmReport"), [&](ScreenModel& screen) {
        wasReset = !screen.closeRequested();
        static_cast<FrmReportModel&>(screen).cmdClose_Click();
    });
    log.Show();
    EXPECT_EQ(prompter.screensShown, QStringList{"FrmReport"});
    EXPECT_TRUE(wasReset);
    EXPECT_TRUE(log.window().closeRequested());
}

} // namespace
