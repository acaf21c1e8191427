#include "AreaCommand.h"
#include "CliPrompter.h"
#include "CliRun.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

using namespace verdan;
using namespace verdan::cli;

using verdan::test::Outcome;
using verdan::test::runCommand;

namespace {

QStringList linesOf(const std::string& text) {
    return QString::fromStdString(text).split(u'\n');
}

QString readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

void expectSameLines(const QString& expected, const std::string& actual) {
    const QStringList want = expected.split(u'\n');
    const QStringList got = linesOf(actual);
    EXPECT_EQ(got.size(), want.size()) << "number of lines (LF-separated)";
    for (qsizetype i = 0; i < std::min(want.size(), got.size()); ++i)
        EXPECT_EQ(got[i].toStdString(), want[i].toStdString()) << "line " << i + 1;
}

TEST(AreaCommand, DefaultReportIsTheGoldenReport) {
    const Outcome outcome = runCommand(areaCommand, {});
    ASSERT_EQ(outcome.status, ExitOk) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    expectSameLines(readFile(VERDAN_TEST_DATA_DIR "/cli/area_default.txt"), outcome.out);
}

TEST(InverseCommand, DefaultReportIsTheGoldenReport) {
    const Outcome outcome = runCommand(inverseCommand, {"--loss", "125.5"});
    ASSERT_EQ(outcome.status, ExitOk) << outcome.err;
    expectSameLines(readFile(VERDAN_TEST_DATA_DIR "/cli/inverse_default.txt"), outcome.out);
}

// ---- The published reference cases ----

struct ReferenceCase {
    QStringList args;
    double lossDb = 0;
    QString row;
};

std::vector<ReferenceCase> referenceCases() {
    std::vector<ReferenceCase> cases;
    QFile file(VERDAN_TEST_DATA_DIR "/reference/area_cases.csv");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return cases;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        // h_tx,h_rx,delta_h,mdvar,d,tx_siting,rx_siting,epsilon,sigma,N_0,f,pol,climate,
        // time,location,situation,A
        const QStringList f = lines[i].trimmed().split(u',');
        if (f.size() != 17)
            continue;
        ReferenceCase c;
        c.row = lines[i];
        c.args = QStringList{
            "--format",  "csv",        "--h1",
            f[0],        "--h2",       f[1],
            "--dh",      f[2],         "--variability",
            f[3],        "--d0",       f[4],
            "--ds1",     "0",          "--d2",
            "0",         "--site1",    f[5],
            "--site2",   f[6],         "--eps",
            f[7],        "--sgm",      f[8],
            "--ns",      f[9],         "--freq",
            f[10],       "--pol",      f[11] == "0" ? QStringLiteral("H") : QStringLiteral("V"),
            "--climate", f[12],        "--time",
            f[13],       "--location", f[14],
            "--conf",    f[15]};
        c.lossDb = f[16].toDouble();
        cases.push_back(c);
    }
    return cases;
}

TEST(AreaCommand, ReproducesThePublishedAreaCases) {
    const std::vector<ReferenceCase> cases = referenceCases();
    ASSERT_GE(cases.size(), 6u) << "tests/data/reference/area_cases.csv";
    bool horizontal = false;
    bool vertical = false;
    for (const ReferenceCase& c : cases) {
        const Outcome outcome = runCommand(areaCommand, c.args);
        ASSERT_EQ(outcome.status, ExitOk) << outcome.err;
        const QStringList lines = linesOf(outcome.out);
        ASSERT_EQ(lines.size(), 3) << outcome.out << "header, one row, end";
        const QStringList fields = lines[1].split(u',');
        ASSERT_EQ(fields.size(), 3) << lines[1].toStdString();
        EXPECT_NEAR(fields[2].toDouble(), c.lossDb, 0.1) << c.row.toStdString();
        horizontal = horizontal || c.args.contains("H");
        vertical = vertical || c.args.contains("V");
    }
    EXPECT_TRUE(horizontal && vertical) << "both polarizations are covered";
}

// ---- Machine-readable output ----

// ---- Bad input ----

struct BadInput {
    const char* name;
    bool inverse;
    QStringList args;
    const char* message; ///< a part of the one-line message
};

class BadInputTest : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, IsRefusedWithOneLineNamingTheOption) {
    const BadInput& c = GetParam();
    const Outcome outcome = runCommand(c.inverse ? inverseCommand : areaCommand, c.args);
    EXPECT_EQ(outcome.status, ExitUsage);
    EXPECT_EQ(outcome.out, "") << "nothing on standard output";
    EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("verdan-cli: ", 0), 0u) << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, BadInputTest,
    ::testing::Values(
        BadInput{"FrequencyAbove",
                 false,
                 {"--freq", "25000"},
                 "--freq: valid range is 20 <= --freq <= 20000 (MHz); got 25000"},
        BadInput{"FrequencyDecimalComma", false, {"--freq", "100,5"}, "--freq"},
        BadInput{"HeightBelow", false, {"--h1", "0.2"}, "0.5 <= --h1 <= 3000 (m)"},
        BadInput{"FirstLevelZero",
                 false,
                 {"--conf", "0,50"},
                 "--conf: expected 1 to 4 comma-separated numbers, the first from 0.1 to 99.9, "
                 "the others from 0 to 99.9"},
        BadInput{"Polarization", false, {"--pol", "X"}, "--pol: expected one of H|V; got X"},
        BadInput{"Climate", false, {"--climate", "8"}, "1 <= --climate <= 7"},
        BadInput{"Unknown", false, {"--bogus", "1"}, "unknown option --bogus"},
        BadInput{"InverseWithoutLoss", true, {}, "--loss: required"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AreaCommand, AMissingModelRoutineFailsWithNothingOnStandardOutput) {
    QTemporaryDir dir(QDir::tempPath() + "/fakelib-XXXXXX");
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(
        QFile::copy(executableFolder() + "/libfake_pmverdan.so", dir.path() + "/libpmverdan.so"));
    for (const bool inverse : {false, true}) {
        const Outcome outcome = inverse ? runCommand(inverseCommand, {"--loss", "120"}, dir.path())
                                        : runCommand(areaCommand, {}, dir.path());
        EXPECT_EQ(outcome.status, ExitFailure);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("qlrps"), std::string::npos) << outcome.err;
    }
}

QString cliPath() {
    return executableFolder() + "/verdan-cli";
}

// Regression: output that could not be written still exited 0.
TEST(VerdanCli, UnwritableOutputFailsWithOneLine) {
    for (const bool closed : {false, true}) {
        QProcess process;
        if (closed) {
            process.start("/bin/sh", {"-c", "exec >&-; exec \"$0\" area", cliPath()});
        } else {
            process.setStandardOutputFile("/dev/full");
            process.start(cliPath(), {"area"});
        }
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), ExitFailure) << closed;
        const QByteArray err = process.readAllStandardError();
        EXPECT_TRUE(err.startsWith("verdan-cli: cannot write the output")) << err.toStdString();
        EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    }
}

// A file name whose bytes are not text in the locale is refused; it used to be turned into
// another name (the byte replaced by U+FFFD) and that other file was written.
TEST(VerdanCli, RegressionANameThatIsNotTextIsRefused) {
    QTemporaryDir dir;
    QProcess process;
    process.start("/bin/sh", {"-c", "exec \"$0\" area --archive \"$1/$(printf 'caf\\351.db')\"",
                              cliPath(), dir.path()});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), ExitUsage) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

// Errors are one short line whatever was typed; an unknown command points to --help.
TEST(VerdanCli, ErrorsAreOneShortLine) {
    const std::vector<QStringList> cases{
        {"area", "--freq", "450\n--h1 3"}, {"area", "--pol", QString(120000, 'x')}, {"no\nsuch"}};
    for (const QStringList& args : cases) {
        QProcess process;
        process.start(cliPath(), args);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), ExitUsage);
        const QByteArray err = process.readAllStandardError();
        EXPECT_EQ(err.count('\n'), 1) << err.left(400).toStdString();
        EXPECT_LT(err.size(), 400) << err.left(400).toStdString();
        EXPECT_EQ(err.contains("--help"), args.size() == 1) << err.toStdString();
    }
}

} // namespace
