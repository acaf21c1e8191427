#include "ResultsArchive.h"

#include "ArchiveRows.h"
#include "AreaCalculation.h"
#include "FileSizeLimit.h"
#include "FrmConfLevelModel.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace verdan {
namespace {

using test::ScriptedPrompter;

// A table shaped like the default run: 22 rows (10 .. 150 km by 10, 200 .. 500 km by 50),
// the given levels, then free space. Losses are made up but distinct per series and row. The
// texts for the archive are those of the inputs `run`.
AreaResults makeResults(std::vector<double> levels = {50, 90, 10}, const AreaInputs& run = {}) {
    AreaResults results;
    results.valid = true;
    for (int d = 10; d <= 150; d += 10)
        results.graphDist.push_back(d);
    for (int d = 200; d <= 500; d += 50)
        results.graphDist.push_back(d);
    results.graphLastPoint = static_cast<int>(results.graphDist.size()) - 1;
    results.graphLastLevel = static_cast<int>(levels.size()) - 1;
    for (std::size_t i = 0; i < levels.size(); ++i)
        results.graphConfLevels[i] = levels[i];
    for (std::size_t row = 0; row < results.graphDist.size(); ++row) {
        std::vector<double> losses;
        for (std::size_t s = 0; s <= levels.size(); ++s)
            losses.push_back(100.0 + 0.25 * static_cast<double>(row) +
                             10.0 * static_cast<double>(s));
        results.graphLoss.push_back(losses);
    }
    results.archiveParameters = archiveParameterSummary(run);
    results.archiveGround = archiveGroundSummary(run);
    return results;
}

std::vector<std::pair<double, double>> unpackPairs(const QByteArray& bytes) {
    std::vector<std::pair<double, double>> points;
    for (qsizetype at = 0; at + 16 <= bytes.size() - 1; at += 16)
        points.emplace_back(qFromLittleEndian<double>(bytes.constData() + at),
                            qFromLittleEndian<double>(bytes.constData() + at + 8));
    return points;
}

class ResultsArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("runs.sqlite");
    }
    // A save answered with `path` (when the dialog comes), `comment` and Yes.
    bool saveAll(const AreaResults& results, const QString& comment = "test run") {
        if (state.archivePath.isEmpty())
            prompter.queueSaveFile(path);
        prompter.queueInput(comment);
        prompter.queueMessage(MsgAnswer::Yes);
        return archive.saveResults(results, state, prompter);
    }

    QTemporaryDir dir;
    QString path;
    ProgramState state;
    ScriptedPrompter prompter;
    std::vector<QList<double>> offered;
    int pick = 0;
    ResultsArchive archive{[this](const QList<double>& levels, Prompter&) {
        offered.push_back(levels);
        return pick;
    }};
};

// ---- Packing ----

// ---- Texts ----

// ---- Saves ----

// Regression: the texts stored are those of the run, whatever the form shows at the save.
TEST_F(ResultsArchiveTest, YesStoresOneRunWithItsOwnTextsAndEveryActiveLevel) {
    AreaInputs run;
    run.frequencyMHz = 450;
    const AreaResults results = makeResults({50, 90, 10}, run);
    ASSERT_TRUE(saveAll(results));

    EXPECT_EQ(state.archivePath, path);
    EXPECT_EQ(prompter.messages.at(1).text, "Data Stored");

    const auto runs = test::archiveRows(
        path, "SELECT ID, Model, Parameters, Comment, Date_Time, DataSetType FROM ModelRun");
    ASSERT_EQ(runs.size(), 1u);
    const qint64 id = runs[0][0].toLongLong();
    EXPECT_EQ(id, archive.currentRunId());
    EXPECT_EQ(runs[0][1].toString(), "Verdan Area Mode: test run");
    EXPECT_EQ(runs[0][2].toString(), "Verdan:450MHz,dh:90,h1:3,h2:3,50%T,50%L");
    EXPECT_EQ(runs[0][3].toString(), "Frq: 450,Refrac: 301,Diel: 15,Cond: .005,,Vert");
    EXPECT_FALSE(runs[0][4].toString().isEmpty());
    EXPECT_EQ(runs[0][5].toInt(), 2);

    const auto sets = test::archiveRows(
        path, "SELECT ID, Legend, Comment, PointCount, DataSet FROM DataSets ORDER BY rowid");
    ASSERT_EQ(sets.size(), 3u);
    const QStringList levels{"50", "90", "10"};
    for (std::size_t s = 0; s < sets.size(); ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(sets[s][0].toLongLong(), id);
        EXPECT_EQ(sets[s][1].toString(),
                  results.archiveParameters + "," + levels[static_cast<qsizetype>(s)] + "%C");
        EXPECT_EQ(sets[s][2].toString(), "test run");
        // Every distance of the table is stored.
        EXPECT_EQ(sets[s][3].toInt(), 22);
        const auto points = unpackPairs(sets[s][4].toByteArray());
        ASSERT_EQ(points.size(), 22u);
        for (std::size_t row = 0; row < points.size(); ++row) {
            EXPECT_EQ(points[row].first, results.graphDist[row]);
            EXPECT_EQ(points[row].second, results.graphLoss[row][s]);
        }
    }
}

// Regression: a save without a normal run was "stored" with nothing in it.
TEST_F(ResultsArchiveTest, SaveWithoutANormalRunIsRefused) {
    EXPECT_FALSE(archive.saveResults(AreaResults{}, state, prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text, "Data Stored");
    EXPECT_TRUE(prompter.messages[0].text.contains("run a calculation"));
    EXPECT_TRUE(prompter.saveRequests.empty());
}

// Regression: two levels that round to the same whole number stored the wrong series.
TEST_F(ResultsArchiveTest, PickedOptionSelectsTheSeriesEvenWhenRoundedLevelsAreEqual) {
    AreaResults results = makeResults({50.2, 49.8});
    pick = 0;
    prompter.queueSaveFile(path);
    prompter.queueMessage(MsgAnswer::No);
    ASSERT_TRUE(archive.saveResults(results, state, prompter));
    EXPECT_EQ(offered.at(0), (QList<double>{50.2, 49.8}));
    pick = 1;
    prompter.queueMessage(MsgAnswer::No);
    ASSERT_TRUE(archive.saveResults(results, state, prompter));
    const auto sets =
        test::archiveRows(path, "SELECT Legend, DataSet FROM DataSets ORDER BY rowid");
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_TRUE(sets[0][0].toString().endsWith(",50%C"));
    EXPECT_EQ(unpackPairs(sets[0][1].toByteArray())[0].second, results.graphLoss[0][0]);
    EXPECT_EQ(unpackPairs(sets[1][1].toByteArray())[0].second, results.graphLoss[0][1]);
}

// ---- Failures: a clear message, no "Data Stored", the file unchanged ----

void expectFailedSave(const ScriptedPrompter& prompter, const QString& expectedWords) {
    ASSERT_FALSE(prompter.messages.empty());
    const QString last = prompter.messages.back().text;
    EXPECT_TRUE(last.contains(expectedWords)) << last.toStdString();
    EXPECT_FALSE(prompter.messageTexts().contains("Data Stored"));
    EXPECT_FALSE(prompter.busy);
}

TEST_F(ResultsArchiveTest, FileThatIsNotADatabaseIsLeftAlone) {
    ASSERT_TRUE(test::writeContent(
        path, QByteArray("This is a text file, not an archive.\n").repeated(200)));
    const QByteArray before = test::fileContent(path);
    EXPECT_FALSE(saveAll(makeResults()));
    expectFailedSave(prompter, "not an SQLite database");
    EXPECT_EQ(test::fileContent(path), before);
    EXPECT_TRUE(state.archivePath.isEmpty());
}

TEST_F(ResultsArchiveTest, FullDiskStopsTheSaveAndLeavesTheFileAsItWas) {
    ASSERT_TRUE(saveAll(makeResults()));
    const QByteArray before = test::fileContent(path);
    // Many rows, so the save needs new pages in the file; the file may not grow at all.
    AreaResults big = makeResults();
    for (int k = 0; k < 4000; ++k) {
        big.graphDist.push_back(600 + k);
        big.graphLoss.push_back(big.graphLoss.back());
    }
    big.graphLastPoint = static_cast<int>(big.graphDist.size()) - 1;
    prompter.messages.clear();
    {
        const test::FileSizeLimit limit(static_cast<rlim_t>(before.size()));
        EXPECT_FALSE(saveAll(big));
    }
    expectFailedSave(prompter, "not stored");
    EXPECT_EQ(test::fileContent(path), before);
}

// Regression: a failing curve used to leave the run record behind and still say "Data Stored".
TEST_F(ResultsArchiveTest, FailureHalfwayRollsBackTheWholeSave) {
    test::archiveRows(path, "CREATE TABLE ModelRun (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
                            "Model TEXT, Parameters TEXT, Comment TEXT, Date_Time TEXT, "
                            "DataSetType INTEGER)");
    test::archiveRows(path, "CREATE TABLE DataSets (ID INTEGER, Legend TEXT, Comment TEXT)");
    const QByteArray before = test::fileContent(path);
    EXPECT_FALSE(saveAll(makeResults()));
    expectFailedSave(prompter, "DataSets");
    EXPECT_EQ(test::fileContent(path), before);
    EXPECT_TRUE(test::archiveRows(path, "SELECT ID FROM ModelRun").empty());
}

// ---- The program's level picker ----

// Regression: the program's picker ended its list at a level that rounds to 0, so that level
// and every later one could not be chosen.
TEST_F(ResultsArchiveTest, ConfLevelPickerOffersALevelThatRoundsToZero) {
    ResultsArchive withPicker(confLevelPicker(state));
    prompter.queueSaveFile(path);
    prompter.queueMessage(MsgAnswer::No);
    prompter.queueModal("frmConfLevel", [](ScreenModel& screen) {
        auto& picker = dynamic_cast<FrmConfLevelModel&>(screen);
        ASSERT_EQ(picker.shownOptions(), 3);
        EXPECT_EQ(picker.optConfLev(1).caption, "0 %");
        picker.optConfLev_Click(2);
        picker.cmdOK_Click();
    });
    AreaResults results = makeResults({50, 0.4, 10});
    ASSERT_TRUE(withPicker.saveResults(results, state, prompter));
    const auto sets = test::archiveRows(path, "SELECT Legend, DataSet FROM DataSets");
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_TRUE(sets[0][0].toString().endsWith(",10%C"));
    EXPECT_EQ(unpackPairs(sets[0][1].toByteArray())[0].second, results.graphLoss[0][2]);
}

// Regression: Escape in the level picker still stored a run without curves. Cancel, Escape
// and the close box store nothing at all.
TEST_F(ResultsArchiveTest, RegressionLeavingTheLevelPickerWithoutAChoiceStoresNothing) {
    using Leave = std::function<void(FrmConfLevelModel&)>;
    const std::vector<std::pair<const char*, Leave>> ways{
        {"Cancel", [](FrmConfLevelModel& p) { p.cmdCancel_Click(); }},
        {"Escape or close box", [](FrmConfLevelModel& p) { p.closeBoxClicked(); }},
        {"OK without a selection, then Cancel",
         [](FrmConfLevelModel& p) {
             p.cmdOK_Click();
             p.cmdCancel_Click();
         }},
    };
    for (const auto& [name, leave] : ways) {
        SCOPED_TRACE(name);
        ResultsArchive withPicker(confLevelPicker(state));
        state.archivePath = path;
        prompter.queueInput("comment");
        prompter.queueMessage(MsgAnswer::No);
        prompter.queueModal("frmConfLevel", [&leave](ScreenModel& screen) {
            leave(dynamic_cast<FrmConfLevelModel&>(screen));
        });
        EXPECT_FALSE(withPicker.saveResults(makeResults(), state, prompter));
        EXPECT_FALSE(QFileInfo::exists(path)) << "no archive, no run";
    }
}

// ---- Without questions (verdan-cli) ----

} // namespace
// A save reported as stored survives the program dying right after it, while the program
// still holds the archive open between saves.
TEST_F(ResultsArchiveTest, StoredRunsSurviveACrashRightAfterTheSave) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool stored = saveAll(makeResults()) && saveAll(makeResults());
        if (stored)
            raise(SIGKILL);
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child's saves failed";
    EXPECT_EQ(test::archiveRows(path, "SELECT ID FROM ModelRun").size(), 2u);
    EXPECT_EQ(test::archiveRows(path, "SELECT ID FROM DataSets").size(), 6u);
}

} // namespace verdan
