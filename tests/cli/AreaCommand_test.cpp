#include "AreaCommand.h"
#include "CliRun.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace verdan;
using namespace verdan::cli;
using namespace verdan::test;

namespace {

TEST(AreaCommand, DefaultReportIsTheGoldenReport) {
    const Outcome outcome = runCommand(areaCommand, {});
    ASSERT_EQ(outcome.status, ExitOk) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out,
              test::fileContent(VERDAN_TEST_DATA_DIR "/cli/area_default.txt").toStdString());
}

TEST(InverseCommand, DefaultReportIsTheGoldenReport) {
    const Outcome outcome = runCommand(inverseCommand, {"--loss", "125.5"});
    ASSERT_EQ(outcome.status, ExitOk) << outcome.err;
    EXPECT_EQ(outcome.out,
              test::fileContent(VERDAN_TEST_DATA_DIR "/cli/inverse_default.txt").toStdString());
}

// The published reference cases, one per row of area_cases.csv after its header: h_tx, h_rx,
// delta_h, mdvar, d, tx_siting, rx_siting, epsilon, sigma, N_0, f, pol, climate, time,
// location, situation and the loss A.
TEST(AreaCommand, ReproducesThePublishedAreaCases) {
    const QStringList options = words("--h1 --h2 --dh --variability --d0 --site1 --site2 --eps "
                                      "--sgm --ns --freq --pol --climate --time --location --conf");
    const QStringList lines =
        QString::fromUtf8(test::fileContent(VERDAN_TEST_DATA_DIR "/reference/area_cases.csv"))
            .split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 7) << "tests/data/reference/area_cases.csv";
    for (const QString& line : lines.mid(1)) {
        const QStringList f = line.trimmed().split(u',');
        ASSERT_EQ(f.size(), 17) << line.toStdString();
        QStringList args{"--format", "csv", "--ds1", "0", "--d2", "0"};
        for (int k = 0; k < 16; ++k)
            args << options[k] << (k != 11 ? f[k] : f[k] == "0" ? "H" : "V");
        const Outcome outcome = runCommand(areaCommand, args);
        ASSERT_EQ(outcome.status, ExitOk) << outcome.err;
        // A header and one row: distance, free space, the loss.
        const QString row = QString::fromStdString(outcome.out).section(u'\n', 1, 1);
        EXPECT_NEAR(row.section(u',', 2).toDouble(), f[16].toDouble(), 0.1) << line.toStdString();
    }
}

// Regression: area runs took values outside the ranges of the area form and the man page
// and printed "Delta H -000000000005 m" and NaN tables.
TEST(AreaCommand, RefusesGroundAndAirOutOfRange) {
    const QStringList cases[] = {{"--ns", "100"},   {"--ns", "1e-300"}, {"--eps", "0.5"},
                                 {"--sgm", "1000"}, {"--sgm", "0"},     {"--dh", "-5"},
                                 {"--dh", "1e9"}};
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        for (const QStringList& loss : {QStringList(), QStringList{"--loss", "120"}}) {
            const auto command = loss.isEmpty() ? areaCommand : inverseCommand;
            const Outcome outcome = runCommand(command, args + loss);
            EXPECT_EQ(outcome.status, ExitUsage);
            EXPECT_NE(outcome.err.find(args[0].toStdString()), std::string::npos) << outcome.err;
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
