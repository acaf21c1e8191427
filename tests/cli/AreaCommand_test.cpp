#include "AreaCommand.h"
#include "CliRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace verdan;
using namespace verdan::cli;

using verdan::test::Outcome;
using verdan::test::runCommand;

namespace {

TEST(AreaCommand, DefaultReportsAreTheGoldenReports) {
    const struct {
        int (*command)(const QStringList&, CliContext&);
        QStringList args;
        const char* golden;
    } cases[] = {{areaCommand, {}, "area_default.txt"},
                 {inverseCommand, {"--loss", "125.5"}, "inverse_default.txt"}};
    for (const auto& c : cases) {
        const Outcome outcome = runCommand(c.command, c.args);
        ASSERT_EQ(outcome.status, ExitOk) << outcome.err;
        EXPECT_EQ(outcome.err, "");
        const QString golden = QStringLiteral(VERDAN_TEST_DATA_DIR "/cli/") + c.golden;
        EXPECT_EQ(outcome.out, test::fileContent(golden).toStdString()) << c.golden;
    }
}

// ---- The published reference cases ----

struct ReferenceCase {
    QStringList args;
    double lossDb = 0;
    QString row;
};

std::vector<ReferenceCase> referenceCases() {
    std::vector<ReferenceCase> cases;
    const QStringList lines =
        QString::fromUtf8(test::fileContent(VERDAN_TEST_DATA_DIR "/reference/area_cases.csv"))
            .split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        // h_tx,h_rx,delta_h,mdvar,d,tx_siting,rx_siting,epsilon,sigma,N_0,f,pol,climate,
        // time,location,situation,A
        const QStringList f = lines[i].trimmed().split(u',');
        if (f.size() != 17)
            continue;
        static const char* const options[] = {"--h1",      "--h2",    "--dh",       "--variability",
                                              "--d0",      "--site1", "--site2",    "--eps",
                                              "--sgm",     "--ns",    "--freq",     "--pol",
                                              "--climate", "--time",  "--location", "--conf"};
        ReferenceCase c{{"--format", "csv", "--ds1", "0", "--d2", "0"}, f[16].toDouble(), lines[i]};
        for (int k = 0; k < 16; ++k)
            c.args << options[k] << (k != 11 ? f[k] : f[k] == "0" ? "H" : "V");
        cases.push_back(c);
    }
    return cases;
}

TEST(AreaCommand, ReproducesThePublishedAreaCases) {
    const std::vector<ReferenceCase> cases = referenceCases();
    ASSERT_GE(cases.size(), 6u) << "tests/data/reference/area_cases.csv";
    for (const ReferenceCase& c : cases) {
        const Outcome outcome = runCommand(areaCommand, c.args);
        ASSERT_EQ(outcome.status, ExitOk) << outcome.err;
        // A header and one row: distance, free space, the loss.
        const QString row = QString::fromStdString(outcome.out).section(u'\n', 1, 1);
        EXPECT_NEAR(row.section(u',', 2).toDouble(), c.lossDb, 0.1) << c.row.toStdString();
    }
}

// Regression: area runs took values outside the ranges of the area form and the man page
// and printed "Delta H -000000000005 m" and NaN tables.
TEST(AreaCommand, RefusesGroundAndAirOutOfRange) {
    const struct {
        QStringList args;
        const char* option;
    } cases[] = {{{"--ns", "100"}, "--ns"},   {{"--ns", "1e-300"}, "--ns"},
                 {{"--eps", "0.5"}, "--eps"}, {{"--sgm", "1000"}, "--sgm"},
                 {{"--sgm", "0"}, "--sgm"},   {{"--dh", "-5"}, "--dh"},
                 {{"--dh", "1e9"}, "--dh"}};
    for (const auto& c : cases) {
        for (auto command : {areaCommand, inverseCommand}) {
            QStringList args = c.args;
            if (command == inverseCommand)
                args << "--loss"
                     << "120";
            const Outcome outcome = runCommand(command, args);
            EXPECT_EQ(outcome.status, ExitUsage) << c.args.join(' ').toStdString();
            EXPECT_NE(outcome.err.find(c.option), std::string::npos) << outcome.err;
            EXPECT_TRUE(outcome.out.empty()) << outcome.out;
        }
    }
    EXPECT_EQ(
        runCommand(areaCommand, {"--ns", "250", "--eps", "80", "--sgm", "5", "--dh", "0"}).status,
        ExitOk);
}

// Regression: output that could not be written still exited 0. An unknown command is one
// short line that points to --help.
TEST(VerdanCli, UnwritableOutputAndUnknownCommandFailWithOneLine) {
    const struct {
        const char* script;
        int status;
        const char* says;
    } cases[] = {{"exec \"$0\" area > /dev/full", ExitFailure, "cannot write the output"},
                 {"exec >&-; exec \"$0\" area", ExitFailure, "cannot write the output"},
                 {"exec \"$0\" 'no\nsuch'", ExitUsage, "--help"}};
    for (const auto& c : cases) {
        const Outcome outcome = test::runCliScript(c.script);
        EXPECT_EQ(outcome.status, c.status) << c.script;
        EXPECT_EQ(outcome.err.rfind("verdan-cli: ", 0), 0u) << outcome.err;
        EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    }
}

} // namespace
