// verdan-cli coverage jobs run as a job array by a real single-node Slurm cluster (MUNGE,
// slurmctld and slurmd started for the test in a private configuration, stopped after), each
// map and their merge checked bit for bit against single runs on this host.
#include "CoverageCommand.h"

#include "CliRun.h"
#include "CoverageJobsFixture.h"
#include "GeoTiffMap.h"
#include "TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace verdan;
using namespace verdan::cli;
using namespace verdan::test;

namespace {

// Starts the private cluster in ./cluster with verdan-cli on the path, runs the job array and
// stops the cluster whatever happened; exits with the start's 77 where the node daemon cannot
// run at all (no cgroup file system, as in a bare chroot).
const QString clusterRun =
    QStringLiteral("trap \"bash '%1' stop cluster\" EXIT; mkdir -p cluster && export "
                   "SLURM_CONF=$PWD/cluster/slurm.conf PATH=$(dirname \"$0\"):$PATH && bash '%1' "
                   "start cluster && sbatch --wait --array=1-3 --output=task-%a.log '%2' jobs.txt")
        .arg(VERDAN_SOURCE_DIR "/tests/cli/slurm-cluster.sh",
             VERDAN_SOURCE_DIR "/scripts/coverage-slurm.sh");

// Regressions: a jobs line with a Windows line end ran, writing a file named "other\r"; a FIFO
// as the jobs file kept the task waiting for ever.
TEST_F(CoverageJobs, RegressionSlurmTaskRefusesWindowsLineEndsAndAFifo) {
    ASSERT_TRUE(test::writeContent(dir.filePath("jobs.txt"), "echo > first\r\necho > other\r\n"));
    const std::pair<const char*, const char*> cases[] = {
        {"jobs.txt", "line 2 of jobs.txt ends in a carriage return"},
        {"fifo", "fifo is not a regular file"}};
    for (const auto& [jobs, error] : cases) {
        const Outcome task = test::runCliScript(
            QStringLiteral("mkfifo fifo; SLURM_ARRAY_TASK_ID=2 bash " VERDAN_SOURCE_DIR
                           "/scripts/coverage-slurm.sh ") + jobs, dir.path(), 10000);
        EXPECT_EQ(task.status, 2) << jobs;
        EXPECT_NE(task.err.find(error), std::string::npos) << task.err;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("other\r")));
}

TEST_F(CoverageJobs, SlurmJobArrayMapsAndMergeEqualSingleRuns) {
    const QString sites = dir.filePath(QStringLiteral("sites.csv"));
    ASSERT_TRUE(test::writeContent(sites, "name,lat,lon,height_m\nA,45.10,7.10,30\n"
                                          "B,45.12,7.16,\nC,45.17,7.12,15\n"));
    // No --threads: the Slurm script gives each task the cores Slurm allotted it.
    const Outcome jobs =
        runCommand(coverageCommand, QStringList{"--sites", sites, "--print-jobs", "--out",
                                                dir.filePath(QStringLiteral("slurm"))} +
                                        mapOptions());
    ASSERT_EQ(jobs.status, ExitOk) << jobs.err;
    ASSERT_TRUE(test::writeContent(dir.filePath(QStringLiteral("jobs.txt")),
                                   QByteArray::fromStdString(jobs.out)));

    const Outcome cluster = test::runCliScript(clusterRun, dir.path(), 280000);
    if (cluster.status == 77)
        GTEST_SKIP() << cluster.err;
    ASSERT_EQ(cluster.status, 0) << cluster.out << cluster.err;

    // Each task's map bit for bit as a run on this host (coverage-merge, deterministic, then
    // gives the same merge too).
    const char* const runs[][3] = {
        {"A", "45.10,7.10", "30"}, {"B", "45.12,7.16", "20"}, {"C", "45.17,7.12", "15"}};
    for (const auto& [name, tx, h1] : runs) {
        const QString single = dir.filePath(QStringLiteral("single-") + name);
        const Outcome o = runCommand(coverageCommand, mapOptions({"--h1", h1}) +
                                                          QStringList{"--tx", tx, "--out", single});
        ASSERT_EQ(o.status, ExitOk) << o.err;
        expectSameBands(
            readMap(dir.filePath(QStringLiteral("slurm-%1.tif").arg(name)).toStdString()),
            readMap((single + QStringLiteral(".tif")).toStdString()), name);
    }
}

} // namespace
