#include "AreaCommand.h"
#include "CliPrompter.h"
#include "CliRun.h"

#include "LibraryBinding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

using namespace verdan;
using namespace verdan::cli;

using verdan::test::Outcome;
using verdan::test::runCommand;

namespace {

// The values of the first column of `sql` in the archive at `path`.
QVariantList column(const QString& path, const QString& sql) {
    const QString name = QStringLiteral("check-") + QUuid::createUuid().toString(QUuid::Id128);
    QVariantList values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
        while (query.next())
            values << query.value(0);
    }
    QSqlDatabase::removeDatabase(name);
    return values;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class AreaArchiveOption : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("cli.sqlite"));
    }
    QTemporaryDir dir;
    QString path;
};

TEST_F(AreaArchiveOption, StoresEveryLevelAndPrintsTheRunId) {
    const Outcome first =
        runCommand(areaCommand, {QStringLiteral("--archive"), path, QStringLiteral("--comment"),
                                 QStringLiteral("batch run")});
    ASSERT_EQ(first.status, ExitOk) << first.err;
    EXPECT_NE(first.out.find("Estimated Quantiles of Basic Transmission Loss"), std::string::npos);
    EXPECT_NE(first.err.find("ModelRun ID 1\n"), std::string::npos) << first.err;
    EXPECT_EQ(column(path, QStringLiteral("SELECT Model FROM ModelRun")),
              QVariantList{QStringLiteral("Verdan Area Mode: batch run")});
    EXPECT_EQ(column(path, QStringLiteral("SELECT Parameters FROM ModelRun")),
              QVariantList{QStringLiteral("Verdan:100MHz,dh:90,h1:3,h2:3,50%T,50%L")});
    const QVariantList legends =
        column(path, QStringLiteral("SELECT Legend FROM DataSets ORDER BY rowid"));
    ASSERT_EQ(legends.size(), 3);
    EXPECT_TRUE(legends[0].toString().endsWith(QStringLiteral(",50%C")));
    EXPECT_TRUE(legends[1].toString().endsWith(QStringLiteral(",90%C")));
    EXPECT_TRUE(legends[2].toString().endsWith(QStringLiteral(",10%C")));
    EXPECT_EQ(column(path, QStringLiteral("SELECT DISTINCT PointCount FROM DataSets")),
              QVariantList{22});

    const Outcome second =
        runCommand(areaCommand, {QStringLiteral("--archive"), path, QStringLiteral("--freq"),
                                 QStringLiteral("450")});
    ASSERT_EQ(second.status, ExitOk) << second.err;
    EXPECT_NE(second.err.find("ModelRun ID 2\n"), std::string::npos) << second.err;
    EXPECT_EQ(column(path, QStringLiteral("SELECT Model FROM ModelRun WHERE ID = 2")),
              QVariantList{QStringLiteral("Verdan Area Mode: ")});
}

TEST_F(AreaArchiveOption, FileThatIsNotAnArchiveFailsAndStaysAsItWas) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a database at all, just text\n");
    file.close();
    const QByteArray before = fileBytes(path);
    const Outcome outcome = runCommand(areaCommand, {QStringLiteral("--archive"), path});
    EXPECT_EQ(outcome.status, ExitFailure);
    EXPECT_NE(outcome.err.find("not an SQLite database"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find("ModelRun ID"), std::string::npos);
    EXPECT_EQ(fileBytes(path), before);
}

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
    std::set<qint64> ids;
    for (const auto& writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(60000));
        const QString err = QString::fromUtf8(writer->readAllStandardError());
        EXPECT_EQ(writer->exitCode(), ExitOk) << err.toStdString();
        const qsizetype at = err.indexOf(QStringLiteral("ModelRun ID "));
        if (at >= 0)
            ids.insert(err.mid(at + 12).trimmed().toLongLong());
    }
    EXPECT_EQ(ids.size(), std::size_t{kWriters});
    EXPECT_EQ(column(path, QStringLiteral("SELECT COUNT(*) FROM ModelRun")),
              QVariantList{kWriters});
    EXPECT_EQ(column(path, QStringLiteral("SELECT COUNT(DISTINCT ID) FROM DataSets")),
              QVariantList{kWriters});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("cli.sqlite")});
}

// A failing writer removes nothing: neither a symbolic link given as the archive nor its
// target.
TEST_F(AreaArchiveOption, FailingWriterLeavesLinksAndTheirTargets) {
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not an archive\n");
    file.close();
    for (const QString& target : {text, dir.filePath(QStringLiteral("missing.sqlite"))}) {
        const QString link = dir.filePath(QStringLiteral("link.sqlite"));
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(target, link));
        const Outcome outcome = runCommand(areaCommand, {QStringLiteral("--archive"), link});
        EXPECT_EQ(outcome.status, ExitFailure) << target.toStdString();
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(QFileInfo::exists(target), target == text);
    }
    EXPECT_EQ(fileBytes(text), "not an archive\n");
}

TEST_F(AreaArchiveOption, CommentNeedsAnArchive) {
    const Outcome outcome =
        runCommand(areaCommand, {QStringLiteral("--comment"), QStringLiteral("x")});
    EXPECT_EQ(outcome.status, ExitUsage);
    EXPECT_NE(outcome.err.find("--comment"), std::string::npos);
    EXPECT_TRUE(outcome.out.empty());
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
