// verdan-cli coverage over an elevation raster written by GDAL: single runs merged by
// coverage-merge; terrain errors; an interrupted run.
#include "CoverageCommand.h"

#include "CliRun.h"
#include "CoverageJobsFixture.h"
#include "GeoTiffMap.h"
#include "LibraryBinding.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>

using namespace verdan;
using namespace verdan::cli;
using namespace verdan::test;

namespace {

// coverage-merge keeps, in every cell, the lowest loss of the single maps and the number of the
// map that gave it.
TEST_F(CoverageJobs, MergeKeepsTheLowestLossOfSingleRuns) {
    QStringList inputs;
    std::vector<Map> singles;
    for (const char* tx : {"45.10,7.10", "45.12,7.16", "45.17,7.12"}) {
        inputs << dir.filePath(QStringLiteral("single-%1").arg(inputs.size()));
        const Outcome o = runCommand(
            coverageCommand, mapOptions() + QStringList{"--tx", tx, "--out", inputs.last()});
        ASSERT_EQ(o.status, ExitOk) << o.err;
        inputs.last() += QStringLiteral(".tif");
        singles.push_back(readMap(inputs.last().toStdString()));
    }
    const QString merged = dir.filePath(QStringLiteral("merged.tif"));
    const Outcome merge = runCommand(coverageMergeCommand, QStringList{"--out", merged} + inputs);
    ASSERT_EQ(merge.status, ExitOk) << merge.err;
    EXPECT_GT(expectBestOfSingles(singles, readMap(merged.toStdString()), 0, false), 4000);
}

// Regression: a signal while the files were written killed the process and left
// PREFIX.tif.part and PREFIX.png.part behind. A signal at any phase now ends the run either
// cancelled with no file (exit 1) or, when it comes after the renames, complete.
TEST_F(CoverageJobs, InterruptedRunLeavesNoFileAtAnyPhase) {
    const QString out = dir.filePath(QStringLiteral("big"));
    const QStringList args = QStringList{"coverage", "--tx", "45.15,7.15", "--threads",  "1",
                                         "--out",    out,    "--formats",  "tif,png,kml"} +
                             mapOptions({"--radius", "7", "--resolution", "0.5"}).mid(0, 12);
    QElapsedTimer clock;
    QProcess whole;
    clock.start();
    whole.start(executableFolder() + QStringLiteral("/verdan-cli"), args);
    ASSERT_TRUE(whole.waitForFinished(60000));
    ASSERT_EQ(whole.exitCode(), ExitOk) << whole.readAllStandardError().toStdString();
    const qint64 wholeMs = clock.elapsed();
    int cancelled = 0;
    for (const double fraction : {0.3, 0.75, 0.85, 0.92, 0.97}) {
        for (const QString& name : QDir(dir.path()).entryList({QStringLiteral("big*")}))
            QFile::remove(dir.filePath(name));
        QProcess cli;
        cli.start(executableFolder() + QStringLiteral("/verdan-cli"), args);
        ASSERT_TRUE(cli.waitForStarted());
        cli.waitForFinished(static_cast<int>(fraction * static_cast<double>(wholeMs)));
        // A run that has ended already (a loaded machine) has no process id to signal: kill(0)
        // would stop the test's own process group, and there is nothing to wait for.
        if (cli.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(cli.processId()), fraction < 0.5 ? SIGINT : SIGTERM);
            ASSERT_TRUE(cli.waitForFinished(30000));
        }
        const QStringList left = QDir(dir.path()).entryList({QStringLiteral("big*")}); // by name
        const QStringList every{"big-legend.png", "big.kml", "big.png", "big.tif"};
        // A signal before the run has begun or after its files are published meets no handler
        // and ends the process: then there must be no file or every file, never a part.
        if (cli.exitStatus() == QProcess::CrashExit) {
            EXPECT_TRUE(left.isEmpty() || left == every)
                << fraction << ": " << left.join(u' ').toStdString();
            continue;
        }
        if (cli.exitCode() == ExitOk) {
            EXPECT_EQ(left, every) << fraction << ": " << left.join(u' ').toStdString();
            continue;
        }
        ++cancelled;
        EXPECT_EQ(cli.exitCode(), ExitFailure) << fraction;
        EXPECT_NE(cli.readAllStandardError().indexOf("cancelled"), -1) << fraction;
        EXPECT_TRUE(left.isEmpty()) << fraction << ": " << left.join(u' ').toStdString();
    }
    EXPECT_GE(cancelled, 1);
}

} // namespace
