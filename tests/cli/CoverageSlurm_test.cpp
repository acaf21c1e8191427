// verdan-cli coverage jobs run as a job array by a real single-node Slurm cluster (MUNGE,
// slurmctld and slurmd started for the test in a private configuration, stopped after), each
// map and their merge checked bit for bit against single runs on this host.
#include "CoverageCommand.h"

#include "CliRun.h"
#include "CoverageJobsFixture.h"
#include "GeoTiffMap.h"
#include "LibraryBinding.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

#include <cstring>

using namespace verdan;
using namespace verdan::cli;
using verdan::test::CoverageJobs;
using verdan::test::Map;
using verdan::test::Outcome;
using verdan::test::readMap;
using verdan::test::runCommand;

namespace {

const QString clusterScript = QStringLiteral(VERDAN_SOURCE_DIR "/tests/cli/slurm-cluster.sh");

// Runs a program in `folder` with the cluster's configuration and verdan-cli on the path;
// its exit code, or -1 when it did not end within `timeoutMs`.
int runWithCluster(const QString& folder, const QString& program, const QStringList& arguments,
                   int timeoutMs, QString* output) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SLURM_CONF"), folder + QStringLiteral("/cluster/slurm.conf"));
    env.insert(QStringLiteral("PATH"),
               executableFolder() + u':' + env.value(QStringLiteral("PATH")));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(timeoutMs);
    *output = QString::fromLocal8Bit(process.readAll());
    if (!ended) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The private cluster, up for the lifetime of the object.
class SlurmCluster {
public:
    explicit SlurmCluster(QString folder) : folder_(std::move(folder)) {
        QDir(folder_).mkpath(QStringLiteral("cluster"));
        status_ =
            runWithCluster(folder_, QStringLiteral("bash"),
                           {clusterScript, QStringLiteral("start"), clusterFolder()}, 60000, &log_);
    }
    ~SlurmCluster() {
        QString ignored;
        runWithCluster(folder_, QStringLiteral("bash"),
                       {clusterScript, QStringLiteral("stop"), clusterFolder()}, 30000, &ignored);
    }
    SlurmCluster(const SlurmCluster&) = delete;
    SlurmCluster& operator=(const SlurmCluster&) = delete;

    bool started() const { return status_ == 0; }
    /// The machine cannot run Slurm's node daemon at all (no cgroup file system, as in a
    /// bare chroot); anywhere else a failed start fails the test.
    bool unavailable() const { return status_ == 77; }
    const QString& log() const { return log_; }

private:
    QString clusterFolder() const { return folder_ + QStringLiteral("/cluster"); }

    QString folder_;
    QString log_;
    int status_ = -1;
};

void expectSameBands(const Map& actual, const Map& expected, const char* what) {
    ASSERT_EQ(actual.width, expected.width) << what;
    ASSERT_EQ(actual.height, expected.height) << what;
    EXPECT_EQ(actual.westDeg, expected.westDeg) << what;
    EXPECT_EQ(actual.northDeg, expected.northDeg) << what;
    for (const auto& [a, e] :
         {std::pair{&actual.band1, &expected.band1}, std::pair{&actual.band2, &expected.band2}}) {
        ASSERT_EQ(a->size(), e->size()) << what;
        EXPECT_EQ(std::memcmp(a->data(), e->data(), a->size() * sizeof(float)), 0) << what;
    }
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

    QString output;
    {
        const SlurmCluster cluster(dir.path());
        if (cluster.unavailable())
            GTEST_SKIP() << cluster.log().toStdString();
        ASSERT_TRUE(cluster.started()) << cluster.log().toStdString();
        const int status = runWithCluster(
            dir.path(), QStringLiteral("sbatch"),
            {"--wait", "--array=1-3", "--output=" + dir.filePath("task-%a.log"),
             QStringLiteral(VERDAN_SOURCE_DIR "/scripts/coverage-slurm.sh"), "jobs.txt"},
            240000, &output);
        ASSERT_EQ(status, 0) << output.toStdString();
    }

    QStringList slurmMaps;
    QStringList singleMaps;
    const char* const runs[][3] = {
        {"A", "45.10,7.10", "30"}, {"B", "45.12,7.16", "20"}, {"C", "45.17,7.12", "15"}};
    for (const auto& [name, tx, h1] : runs) {
        const QString single = dir.filePath(QStringLiteral("single-") + name);
        const Outcome o = runCommand(coverageCommand, mapOptions({"--h1", h1}) +
                                                          QStringList{"--tx", tx, "--out", single});
        ASSERT_EQ(o.status, ExitOk) << o.err;
        singleMaps << single + QStringLiteral(".tif");
        slurmMaps << dir.filePath(QStringLiteral("slurm-") + name + QStringLiteral(".tif"));
        expectSameBands(readMap(slurmMaps.back().toStdString()),
                        readMap(singleMaps.back().toStdString()), name);
    }
    const QString slurmMerged = dir.filePath(QStringLiteral("slurm-best.tif"));
    const QString singleMerged = dir.filePath(QStringLiteral("single-best.tif"));
    for (const auto& [out, inputs] :
         {std::pair{slurmMerged, slurmMaps}, std::pair{singleMerged, singleMaps}}) {
        const Outcome merge = runCommand(coverageMergeCommand, QStringList{"--out", out} + inputs);
        ASSERT_EQ(merge.status, ExitOk) << merge.err;
    }
    expectSameBands(readMap(slurmMerged.toStdString()), readMap(singleMerged.toStdString()),
                    "merge");
}

} // namespace
