#include "ResultsArchive.h"

#include "AreaCalculation.h"
#include "FrmConfLevelModel.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>
#include <QtEndian>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace verdan {
namespace {

using test::ScriptedPrompter;

// A table shaped like the default run: 22 rows (10 .. 150 km by 10, 200 .. 500 km by 50),
// the given levels, then free space. Losses are made up but distinct per series and row.
AreaResults makeResults(std::vector<double> levels = {50, 90, 10}) {
    AreaResults results;
    results.valid = true;
    for (int d = 10; d <= 150; d += 10)
        results.graphDist.push_back(d);
    for (int d = 200; d <= 500; d += 50)
        results.graphDist.push_back(d);
    results.graphLastPoint = static_cast<int>(results.graphDist.size()) - 1;
    results.graphLastLevel = static_cast<int>(levels.size()) - 1;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        results.graphConfLevels[i] = levels[i];
        results.graphLabels << QString::number(levels[i], 'f', 1) + QStringLiteral("% Confidence");
    }
    results.graphLabels << QStringLiteral("Free Space");
    for (std::size_t row = 0; row < results.graphDist.size(); ++row) {
        std::vector<double> losses;
        for (std::size_t s = 0; s <= levels.size(); ++s)
            losses.push_back(100.0 + 0.25 * static_cast<double>(row) +
                             10.0 * static_cast<double>(s));
        results.graphLoss.push_back(losses);
    }
    results.graphTitle1 = QStringLiteral("Frq 100MHz,...");
    results.graphTitle2 = QStringLiteral("Continental Temperate, ...");
    results.archiveParameters = archiveParameterSummary(AreaInputs{});
    results.archiveGround = archiveGroundSummary(AreaInputs{});
    return results;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Reads the archive through a connection of its own.
class ArchiveReader {
public:
    explicit ArchiveReader(const QString& path)
        : m_name(QStringLiteral("reader-") + QUuid::createUuid().toString(QUuid::Id128)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        m_open = db.open();
    }
    ~ArchiveReader() {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool open() const { return m_open; }
    // Every row of `sql`, each as a list of its values.
    std::vector<QVariantList> rows(const QString& sql) const {
        std::vector<QVariantList> result;
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        EXPECT_TRUE(query.exec(sql))
            << sql.toStdString() << ": " << query.lastError().text().toStdString();
        while (query.next()) {
            QVariantList values;
            for (int c = 0; c < query.record().count(); ++c)
                values << query.value(c);
            result.push_back(values);
        }
        return result;
    }
    bool exec(const QString& sql) const {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        return query.exec(sql);
    }

private:
    QString m_name;
    bool m_open = false;
};

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
        path = dir.filePath(QStringLiteral("runs.sqlite"));
    }
    // A save answered with `path` (when the dialog comes), `comment` and Yes.
    bool saveAll(const AreaResults& results, const QString& comment = QStringLiteral("test run")) {
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

TEST(PackPairs, LittleEndianDoublesAndOneTrailingZero) {
    const std::vector<double> x{10, 20.5};
    const std::vector<double> y{120.25, -3};
    const QByteArray bytes = PackPairs(2, x, y);
    ASSERT_EQ(bytes.size(), 33);
    EXPECT_EQ(bytes.back(), '\0');
    EXPECT_EQ(bytes.left(8), QByteArray::fromHex("0000000000002440")); // 10.0
    EXPECT_EQ(qFromLittleEndian<double>(bytes.constData() + 8), 120.25);
    EXPECT_EQ(qFromLittleEndian<double>(bytes.constData() + 16), 20.5);
    EXPECT_EQ(qFromLittleEndian<double>(bytes.constData() + 24), -3.0);
}

TEST(PackPairs, CountIsLimitedToTheArrays) {
    const std::vector<double> x{1, 2, 3};
    const std::vector<double> y{4, 5};
    EXPECT_EQ(PackPairs(0, x, y).size(), 1);
    EXPECT_EQ(PackPairs(1, x, y).size(), 17);
    EXPECT_EQ(PackPairs(9, x, y).size(), 33);
    EXPECT_EQ(PackPairs(-1, x, y).size(), 1);
}

TEST(PackTriples, TwentyFourBytesPerPoint) {
    const std::vector<double> x{1, 2};
    const std::vector<double> y{3, 4};
    const std::vector<double> z{5, 6};
    const QByteArray bytes = PackTriples(2, x, y, z);
    ASSERT_EQ(bytes.size(), 49);
    EXPECT_EQ(bytes.back(), '\0');
    EXPECT_EQ(qFromLittleEndian<double>(bytes.constData() + 16), 5.0);
    EXPECT_EQ(qFromLittleEndian<double>(bytes.constData() + 40), 6.0);
}

// ---- Texts ----

TEST(ArchiveTexts, BlankLedNumbers) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{100, " 100"}, {0.005, " .005"}, {-0.5, "-.5"}, {301, " 301"},
                 {15, " 15"},   {0, " 0"},        {-20, "-20"},  {1.5, " 1.5"}};
    for (const auto& c : cases)
        EXPECT_EQ(blankLedNumber(c.value).toStdString(), c.text) << c.value;
}

TEST(ArchiveTexts, SummariesOfTheDefaultRun) {
    AreaInputs in;
    EXPECT_EQ(archiveParameterSummary(in),
              QStringLiteral("Verdan:100MHz,dh:90,h1:3,h2:3,50%T,50%L"));
    EXPECT_EQ(archiveGroundSummary(in),
              QStringLiteral("Frq: 100,Refrac: 301,Diel: 15,Cond: .005,,Vert"));
    in.horizontal = true;
    in.frequencyMHz = 1234.5;
    in.h1M = 0.5;
    in.timePct = 90;
    EXPECT_EQ(archiveParameterSummary(in),
              QStringLiteral("Verdan:1234.5MHz,dh:90,h1:0.5,h2:3,90%T,50%L"));
    EXPECT_EQ(archiveGroundSummary(in),
              QStringLiteral("Frq: 1234.5,Refrac: 301,Diel: 15,Cond: .005,,Horz"));
}

// ---- Saves ----

TEST_F(ResultsArchiveTest, YesStoresOneRunAndEveryActiveLevel) {
    const AreaResults results = makeResults();
    ASSERT_TRUE(saveAll(results));

    ASSERT_EQ(prompter.saveRequests.size(), 1u);
    EXPECT_EQ(prompter.saveRequests[0].proposedName, QStringLiteral("*.sqlite"));
    EXPECT_EQ(state.archivePath, path);
    ASSERT_EQ(prompter.inputs.size(), 1u);
    EXPECT_EQ(prompter.inputs[0].prompt, QStringLiteral("Comments for plot"));
    EXPECT_EQ(prompter.inputs[0].title, QStringLiteral("Area Mode Data Save"));
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Store all confidence levels?"));
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Store Results"));
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompter.messages[1].text, QStringLiteral("Data Stored"));
    EXPECT_EQ(prompter.messages[1].title, QStringLiteral("Add Data to Archive"));
    EXPECT_FALSE(prompter.busy);

    ArchiveReader reader(path);
    ASSERT_TRUE(reader.open());
    const auto runs = reader.rows(QStringLiteral(
        "SELECT ID, Model, Parameters, Comment, Date_Time, DataSetType FROM ModelRun"));
    ASSERT_EQ(runs.size(), 1u);
    const qint64 id = runs[0][0].toLongLong();
    EXPECT_EQ(id, archive.currentRunId());
    EXPECT_EQ(runs[0][1].toString(), QStringLiteral("Verdan Area Mode: test run"));
    EXPECT_EQ(runs[0][2].toString(), QStringLiteral("Verdan:100MHz,dh:90,h1:3,h2:3,50%T,50%L"));
    EXPECT_EQ(runs[0][3].toString(),
              QStringLiteral("Frq: 100,Refrac: 301,Diel: 15,Cond: .005,,Vert"));
    EXPECT_FALSE(runs[0][4].toString().isEmpty());
    EXPECT_EQ(runs[0][5].toInt(), 2);

    const auto sets = reader.rows(QStringLiteral(
        "SELECT ID, Legend, Comment, PointCount, DataSet FROM DataSets ORDER BY rowid"));
    ASSERT_EQ(sets.size(), 3u);
    const QStringList levels{QStringLiteral("50"), QStringLiteral("90"), QStringLiteral("10")};
    for (std::size_t s = 0; s < sets.size(); ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(sets[s][0].toLongLong(), id);
        EXPECT_EQ(sets[s][1].toString(), results.archiveParameters + QStringLiteral(",") +
                                             levels[static_cast<qsizetype>(s)] +
                                             QStringLiteral("%C"));
        EXPECT_EQ(sets[s][2].toString(), QStringLiteral("test run"));
        // Every distance of the table is stored.
        EXPECT_EQ(sets[s][3].toInt(), 22);
        const QByteArray blob = sets[s][4].toByteArray();
        ASSERT_EQ(blob.size(), 22 * 16 + 1);
        EXPECT_EQ(blob.back(), '\0');
        const auto points = unpackPairs(blob);
        ASSERT_EQ(points.size(), 22u);
        for (std::size_t row = 0; row < points.size(); ++row) {
            EXPECT_EQ(points[row].first, results.graphDist[row]);
            EXPECT_EQ(points[row].second, results.graphLoss[row][s]);
        }
    }
}

TEST_F(ResultsArchiveTest, SecondSaveUsesTheSameFileAndAddsANewRun) {
    const AreaResults results = makeResults();
    ASSERT_TRUE(saveAll(results));
    const qint64 first = archive.currentRunId();
    ASSERT_TRUE(saveAll(results, QStringLiteral("again")));
    EXPECT_EQ(prompter.saveRequests.size(), 1u);
    EXPECT_GT(archive.currentRunId(), first);
    ArchiveReader reader(path);
    EXPECT_EQ(reader.rows(QStringLiteral("SELECT ID FROM ModelRun")).size(), 2u);
    EXPECT_EQ(reader.rows(QStringLiteral("SELECT ID FROM DataSets")).size(), 6u);
    EXPECT_TRUE(prompter.allAnswersUsed());
}

TEST_F(ResultsArchiveTest, EmptyCommentGivesTheBareModelText) {
    ASSERT_TRUE(saveAll(makeResults(), QStringLiteral("   ")));
    ArchiveReader reader(path);
    const auto runs = reader.rows(QStringLiteral("SELECT Model FROM ModelRun"));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0][0].toString(), QStringLiteral("Verdan Area Mode: "));
    EXPECT_EQ(reader.rows(QStringLiteral("SELECT Comment FROM DataSets"))[0][0].toString(),
              QString());
}

TEST_F(ResultsArchiveTest, CancelledFileDialogStoresNothingAndAsksAgain) {
    prompter.queueSaveFile(QString());
    EXPECT_FALSE(archive.saveResults(makeResults(), state, prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("Cannot Open Access Database *.sqlite"));
    EXPECT_EQ(prompter.messages[0].title, QStringLiteral("Add to Archive"));
    EXPECT_TRUE(state.archivePath.isEmpty());
    EXPECT_TRUE(prompter.inputs.empty());
    EXPECT_FALSE(QFile::exists(path));

    ASSERT_TRUE(saveAll(makeResults()));
    EXPECT_EQ(prompter.saveRequests.size(), 2u);
}

TEST_F(ResultsArchiveTest, NameWithAWildcardCountsAsCancelled) {
    prompter.queueSaveFile(dir.filePath(QStringLiteral("*.sqlite")));
    EXPECT_FALSE(archive.saveResults(makeResults(), state, prompter));
    EXPECT_TRUE(
        prompter.messages.at(0).text.startsWith(QStringLiteral("Cannot Open Access Database ")));
    EXPECT_TRUE(state.archivePath.isEmpty());
}

// Regression: a save without a normal run was "stored" with nothing in it.
TEST_F(ResultsArchiveTest, SaveWithoutANormalRunIsRefused) {
    EXPECT_FALSE(archive.saveResults(AreaResults{}, state, prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_NE(prompter.messages[0].text, QStringLiteral("Data Stored"));
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("run a calculation")));
    EXPECT_TRUE(prompter.saveRequests.empty());
}

TEST_F(ResultsArchiveTest, NoOffersTheRoundedLevelsAndStoresThePickedOne) {
    AreaResults results = makeResults({50.5, 91.5, 10});
    pick = 1;
    prompter.queueSaveFile(path);
    prompter.queueInput(QStringLiteral("one"));
    prompter.queueMessage(MsgAnswer::No);
    ASSERT_TRUE(archive.saveResults(results, state, prompter));
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0], (QList<double>{50.5, 91.5, 10}));
    ArchiveReader reader(path);
    const auto sets = reader.rows(QStringLiteral("SELECT Legend, DataSet FROM DataSets"));
    ASSERT_EQ(sets.size(), 1u);
    // The legend rounds the level, halves to the even number.
    EXPECT_EQ(sets[0][0].toString(), results.archiveParameters + QStringLiteral(",92%C"));
    const auto points = unpackPairs(sets[0][1].toByteArray());
    ASSERT_EQ(points.size(), 22u);
    EXPECT_EQ(points[5].second, results.graphLoss[5][1]);
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
    ArchiveReader reader(path);
    const auto sets =
        reader.rows(QStringLiteral("SELECT Legend, DataSet FROM DataSets ORDER BY rowid"));
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_TRUE(sets[0][0].toString().endsWith(QStringLiteral(",50%C")));
    EXPECT_EQ(unpackPairs(sets[0][1].toByteArray())[0].second, results.graphLoss[0][0]);
    EXPECT_EQ(unpackPairs(sets[1][1].toByteArray())[0].second, results.graphLoss[0][1]);
}

// Regression: a level below one half rounds to 0 and must still be offered.
TEST_F(ResultsArchiveTest, LevelRoundingToZeroIsStillOffered) {
    pick = 1;
    prompter.queueSaveFile(path);
    prompter.queueMessage(MsgAnswer::No);
    ASSERT_TRUE(archive.saveResults(makeResults({50, 0.4}), state, prompter));
    EXPECT_EQ(offered.at(0), (QList<double>{50, 0.4}));
    ArchiveReader reader(path);
    EXPECT_TRUE(
        reader.rows(QStringLiteral("SELECT Legend FROM DataSets"))[0][0].toString().endsWith(
            QStringLiteral(",0%C")));
}

TEST_F(ResultsArchiveTest, NoLevelPickedStoresTheRunWithoutCurves) {
    pick = -1;
    prompter.queueSaveFile(path);
    prompter.queueMessage(MsgAnswer::No);
    ASSERT_TRUE(archive.saveResults(makeResults(), state, prompter));
    ArchiveReader reader(path);
    EXPECT_EQ(reader.rows(QStringLiteral("SELECT ID FROM ModelRun")).size(), 1u);
    EXPECT_TRUE(reader.rows(QStringLiteral("SELECT ID FROM DataSets")).empty());
}

// Regression: the texts stored are those of the run, whatever the form shows at the save.
TEST_F(ResultsArchiveTest, StoresTheTextsOfTheRunItself) {
    AreaResults results = makeResults();
    AreaInputs run;
    run.frequencyMHz = 450;
    results.archiveParameters = archiveParameterSummary(run);
    results.archiveGround = archiveGroundSummary(run);
    ASSERT_TRUE(saveAll(results));
    ArchiveReader reader(path);
    const auto runs = reader.rows(QStringLiteral("SELECT Parameters, Comment FROM ModelRun"));
    EXPECT_TRUE(runs.at(0)[0].toString().startsWith(QStringLiteral("Verdan:450MHz,")));
    EXPECT_TRUE(runs.at(0)[1].toString().startsWith(QStringLiteral("Frq: 450,")));
}

// ---- Failures: a clear message, no "Data Stored", the file unchanged ----

void expectFailedSave(const ScriptedPrompter& prompter, const QString& expectedWords) {
    ASSERT_FALSE(prompter.messages.empty());
    const QString last = prompter.messages.back().text;
    EXPECT_TRUE(last.contains(expectedWords)) << last.toStdString();
    EXPECT_FALSE(prompter.messageTexts().contains(QStringLiteral("Data Stored")));
    EXPECT_FALSE(prompter.busy);
}

TEST_F(ResultsArchiveTest, FileThatIsNotADatabaseIsLeftAlone) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("This is a text file, not an archive.\n").repeated(200));
    file.close();
    const QByteArray before = fileBytes(path);
    EXPECT_FALSE(saveAll(makeResults()));
    expectFailedSave(prompter, QStringLiteral("not an SQLite database"));
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(state.archivePath.isEmpty());
}

TEST_F(ResultsArchiveTest, DamagedDatabaseIsLeftAlone) {
    ASSERT_TRUE(saveAll(makeResults()));
    QByteArray bytes = fileBytes(path);
    ASSERT_GT(bytes.size(), 200);
    // Keep the header, wreck the rest.
    for (qsizetype i = 100; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(0xA5);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    prompter.messages.clear();
    EXPECT_FALSE(saveAll(makeResults()));
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_EQ(prompter.messages.back().icon, MsgIcon::Critical);
    EXPECT_FALSE(prompter.messageTexts().contains(QStringLiteral("Data Stored")));
    EXPECT_EQ(fileBytes(path), bytes);
}

TEST_F(ResultsArchiveTest, ReadOnlyFileIsLeftAlone) {
    ASSERT_TRUE(saveAll(makeResults()));
    const QByteArray before = fileBytes(path);
    ASSERT_TRUE(
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    prompter.messages.clear();
    EXPECT_FALSE(saveAll(makeResults()));
    expectFailedSave(prompter, QStringLiteral("read-only"));
    EXPECT_EQ(fileBytes(path), before);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(ResultsArchiveTest, LockedDatabaseIsLeftAlone) {
    ASSERT_TRUE(saveAll(makeResults()));
    const QByteArray before = fileBytes(path);
    archive.setBusyTimeoutMs(50);
    {
        ArchiveReader other(path);
        ASSERT_TRUE(other.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        prompter.messages.clear();
        EXPECT_FALSE(saveAll(makeResults()));
        expectFailedSave(prompter, QStringLiteral("locked"));
        ASSERT_TRUE(other.exec(QStringLiteral("ROLLBACK")));
    }
    EXPECT_EQ(fileBytes(path), before);
    // Once the other program lets go, the next save asks for the file again and works.
    EXPECT_TRUE(saveAll(makeResults()));
}

TEST_F(ResultsArchiveTest, FullDiskStopsTheSaveAndLeavesTheFileAsItWas) {
    ASSERT_TRUE(saveAll(makeResults()));
    const QByteArray before = fileBytes(path);
    // Many rows, so the save needs new pages in the file; the file may not grow at all.
    AreaResults big = makeResults();
    for (int k = 0; k < 4000; ++k) {
        big.graphDist.push_back(600 + k);
        big.graphLoss.push_back(big.graphLoss.back());
    }
    big.graphLastPoint = static_cast<int>(big.graphDist.size()) - 1;
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old;
    limit.rlim_cur = static_cast<rlim_t>(before.size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    prompter.messages.clear();
    const bool stored = saveAll(big);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(stored);
    expectFailedSave(prompter, QStringLiteral("not stored"));
    EXPECT_EQ(fileBytes(path), before);
}

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
    ArchiveReader reader(path);
    ASSERT_TRUE(reader.open());
    EXPECT_EQ(reader.rows(QStringLiteral("SELECT ID FROM ModelRun")).size(), 2u);
    EXPECT_EQ(reader.rows(QStringLiteral("SELECT ID FROM DataSets")).size(), 6u);
}

TEST_F(ResultsArchiveTest, MissingFolderIsReported) {
    prompter.queueSaveFile(dir.filePath(QStringLiteral("no/such/folder/runs.sqlite")));
    prompter.queueMessage(MsgAnswer::Yes);
    EXPECT_FALSE(archive.saveResults(makeResults(), state, prompter));
    expectFailedSave(prompter, QStringLiteral("folder does not exist"));
}

TEST_F(ResultsArchiveTest, ExistingArchiveWithOtherTablesAndColumnsIsUsedAsItIs) {
    {
        ArchiveReader setup(path);
        ASSERT_TRUE(setup.open());
        ASSERT_TRUE(setup.exec(QStringLiteral(
            "CREATE TABLE ModelRun (ID INTEGER PRIMARY KEY AUTOINCREMENT, Model TEXT, "
            "Parameters TEXT, Comment TEXT, Date_Time TEXT, DataSetType INTEGER, Owner TEXT)")));
        ASSERT_TRUE(setup.exec(QStringLiteral("CREATE TABLE DataSets (ID INTEGER, Legend TEXT, "
                                              "Comment TEXT, PointCount INTEGER, DataSet BLOB, "
                                              "Colour INTEGER)")));
        ASSERT_TRUE(setup.exec(QStringLiteral("CREATE TABLE Notes (Text TEXT)")));
        ASSERT_TRUE(setup.exec(QStringLiteral("INSERT INTO Notes VALUES ('keep me')")));
        ASSERT_TRUE(setup.exec(QStringLiteral(
            "INSERT INTO ModelRun (ID, Model, Owner) VALUES (41, 'older run', 'someone')")));
    }
    ASSERT_TRUE(saveAll(makeResults()));
    EXPECT_EQ(archive.currentRunId(), 42);
    ArchiveReader reader(path);
    EXPECT_EQ(reader.rows(QStringLiteral("SELECT Text FROM Notes")).at(0)[0].toString(),
              QStringLiteral("keep me"));
    EXPECT_EQ(reader.rows(QStringLiteral("SELECT ID FROM DataSets WHERE ID = 42")).size(), 3u);
}

TEST_F(ResultsArchiveTest, ArchiveWhoseIdIsAPlainColumnGetsTheNextNumber) {
    {
        ArchiveReader setup(path);
        ASSERT_TRUE(setup.exec(QStringLiteral(
            "CREATE TABLE ModelRun (ID INTEGER, Model TEXT, Parameters TEXT, Comment TEXT, "
            "Date_Time TEXT, DataSetType INTEGER)")));
        ASSERT_TRUE(setup.exec(QStringLiteral("CREATE TABLE DataSets (ID INTEGER, Legend TEXT, "
                                              "Comment TEXT, PointCount INTEGER, DataSet BLOB)")));
        ASSERT_TRUE(setup.exec(QStringLiteral("INSERT INTO ModelRun (ID) VALUES (7)")));
    }
    ASSERT_TRUE(saveAll(makeResults()));
    EXPECT_EQ(archive.currentRunId(), 8);
}

TEST_F(ResultsArchiveTest, DatabaseWithoutTheTablesIsRefused) {
    {
        ArchiveReader setup(path);
        ASSERT_TRUE(setup.exec(QStringLiteral("CREATE TABLE Other (A TEXT)")));
    }
    const QByteArray before = fileBytes(path);
    EXPECT_FALSE(saveAll(makeResults()));
    expectFailedSave(prompter, QStringLiteral("no table ModelRun"));
    EXPECT_EQ(fileBytes(path), before);
}

// Regression: a failing curve used to leave the run record behind and still say "Data Stored".
TEST_F(ResultsArchiveTest, FailureHalfwayRollsBackTheWholeSave) {
    {
        ArchiveReader setup(path);
        ASSERT_TRUE(setup.exec(QStringLiteral(
            "CREATE TABLE ModelRun (ID INTEGER PRIMARY KEY AUTOINCREMENT, Model TEXT, "
            "Parameters TEXT, Comment TEXT, Date_Time TEXT, DataSetType INTEGER)")));
        ASSERT_TRUE(setup.exec(
            QStringLiteral("CREATE TABLE DataSets (ID INTEGER, Legend TEXT, Comment TEXT)")));
    }
    const QByteArray before = fileBytes(path);
    EXPECT_FALSE(saveAll(makeResults()));
    expectFailedSave(prompter, QStringLiteral("DataSets"));
    EXPECT_EQ(fileBytes(path), before);
    ArchiveReader reader(path);
    EXPECT_TRUE(reader.rows(QStringLiteral("SELECT ID FROM ModelRun")).empty());
}

TEST_F(ResultsArchiveTest, EmptyExistingFileBecomesAnArchive) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(saveAll(makeResults()));
    ArchiveReader reader(path);
    EXPECT_EQ(reader.rows(QStringLiteral("SELECT ID FROM DataSets")).size(), 3u);
}

// ---- The program's level picker ----

TEST_F(ResultsArchiveTest, ConfLevelPickerReturnsTheOptionPicked) {
    ResultsArchive withPicker(confLevelPicker(state));
    prompter.queueSaveFile(path);
    prompter.queueMessage(MsgAnswer::No);
    prompter.queueModal(QStringLiteral("frmConfLevel"), [](ScreenModel& screen) {
        auto& picker = dynamic_cast<FrmConfLevelModel&>(screen);
        EXPECT_EQ(picker.shownOptions(), 3);
        EXPECT_EQ(picker.optConfLev(2).caption, QStringLiteral("10 %"));
        picker.optConfLev_Click(2);
        picker.cmdOK_Click();
    });
    ASSERT_TRUE(withPicker.saveResults(makeResults(), state, prompter));
    EXPECT_EQ(state.ConfLevelChosen, 10);
    ArchiveReader reader(path);
    const auto sets = reader.rows(QStringLiteral("SELECT Legend FROM DataSets"));
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_TRUE(sets[0][0].toString().endsWith(QStringLiteral(",10%C")));
}

// Regression: the program's picker ended its list at a level that rounds to 0, so that level
// and every later one could not be chosen.
TEST_F(ResultsArchiveTest, ConfLevelPickerOffersALevelThatRoundsToZero) {
    ResultsArchive withPicker(confLevelPicker(state));
    prompter.queueSaveFile(path);
    prompter.queueMessage(MsgAnswer::No);
    prompter.queueModal(QStringLiteral("frmConfLevel"), [](ScreenModel& screen) {
        auto& picker = dynamic_cast<FrmConfLevelModel&>(screen);
        ASSERT_EQ(picker.shownOptions(), 3);
        EXPECT_EQ(picker.optConfLev(1).caption, QStringLiteral("0 %"));
        picker.optConfLev_Click(2);
        picker.cmdOK_Click();
    });
    AreaResults results = makeResults({50, 0.4, 10});
    ASSERT_TRUE(withPicker.saveResults(results, state, prompter));
    ArchiveReader reader(path);
    const auto sets = reader.rows(QStringLiteral("SELECT Legend, DataSet FROM DataSets"));
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_TRUE(sets[0][0].toString().endsWith(QStringLiteral(",10%C")));
    EXPECT_EQ(unpackPairs(sets[0][1].toByteArray())[0].second, results.graphLoss[0][2]);
}

TEST_F(ResultsArchiveTest, ConfLevelPickerClosedStoresNoCurve) {
    ResultsArchive withPicker(confLevelPicker(state));
    prompter.queueSaveFile(path);
    prompter.queueMessage(MsgAnswer::No);
    prompter.queueModal(QStringLiteral("frmConfLevel"),
                        [](ScreenModel& screen) { screen.closeBoxClicked(); });
    ASSERT_TRUE(withPicker.saveResults(makeResults(), state, prompter));
    ArchiveReader reader(path);
    EXPECT_TRUE(reader.rows(QStringLiteral("SELECT ID FROM DataSets")).empty());
}

// ---- Without questions (verdan-cli) ----

TEST_F(ResultsArchiveTest, StoreAllLevelsWithoutQuestions) {
    QString error;
    const auto id = ResultsArchive::storeAllLevels(makeResults({50, 90, 10, 99}), path,
                                                   QStringLiteral(" batch "), error);
    ASSERT_TRUE(id.has_value()) << error.toStdString();
    ArchiveReader reader(path);
    EXPECT_EQ(reader.rows(QStringLiteral("SELECT Model FROM ModelRun")).at(0)[0].toString(),
              QStringLiteral("Verdan Area Mode: batch"));
    EXPECT_EQ(reader.rows(QStringLiteral("SELECT ID FROM DataSets")).size(), 4u);

    const QString bad = dir.filePath(QStringLiteral("bad.sqlite"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("garbage garbage garbage");
    file.close();
    EXPECT_FALSE(ResultsArchive::storeAllLevels(makeResults(), bad, {}, error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("not an SQLite database")));
}

} // namespace
} // namespace verdan
