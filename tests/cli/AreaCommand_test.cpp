#include "AreaCommand.h"
#include "CliPrompter.h"
#include "CliRun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
    EXPECT_EQ(outcome.out.find('\r'), std::string::npos) << "LF line ends only";
    // The last row's line end, the empty line and the three line ends of the closing text.
    const QString out = QString::fromStdString(outcome.out);
    EXPECT_TRUE(out.endsWith("\n\n\n\n\n"));
    EXPECT_FALSE(out.endsWith("\n\n\n\n\n\n"));
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

TEST(AreaCommand, CsvHasAHeaderAndOneRowPerDistance) {
    const Outcome outcome = runCommand(areaCommand, {"--format", "csv"});
    ASSERT_EQ(outcome.status, ExitOk) << outcome.err;
    QStringList lines = linesOf(outcome.out);
    ASSERT_EQ(lines.takeLast(), "");
    ASSERT_EQ(lines.size(), 1 + 22);
    EXPECT_EQ(lines[0], "distance_km,free_space_db,conf_50_pct_db,conf_90_pct_db,conf_10_pct_db");
    EXPECT_TRUE(lines[1].startsWith("10.000,92.4"));
    EXPECT_TRUE(lines[22].startsWith("500.000,"));

    // The same numbers as the report, to its one decimal.
    const QStringList report = linesOf(runCommand(areaCommand, {}).out);
    for (int row = 0; row < 22; ++row) {
        const QStringList csv = lines[row + 1].split(u',');
        const QStringList text = report[14 + row].split(u',');
        ASSERT_EQ(csv.size(), 5);
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(csv[i].toDouble(), text[i].toDouble(), 0.05 + 1e-9)
                << "row " << row << " column " << i;
    }
}

TEST(AreaCommand, JsonHoldsTheTableAndTheSummaries) {
    const Outcome outcome =
        runCommand(areaCommand, {"--format", "json", "--conf", "50,90", "--h1", "0.5"});
    ASSERT_EQ(outcome.status, ExitOk) << outcome.err;
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(outcome.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject root = document.object();
    EXPECT_EQ(root["command"].toString(), "area");
    EXPECT_EQ(root["confidenceLevelsPct"].toArray(), (QJsonArray{50, 90}));
    EXPECT_TRUE(root["title1"].toString().startsWith("Frq 100MHz,Ant Hghts .5,3.0m"));
    EXPECT_TRUE(root["title2"].toString().startsWith("Continental Temperate, Ns=301"));
    EXPECT_NE(root["warningCode"].toInt(), 0) << "a 0.5 m antenna draws a warning";
    EXPECT_EQ(root["warnings"].toArray().size(), 2);
    const QJsonArray rows = root["rows"].toArray();
    ASSERT_EQ(rows.size(), 22);
    EXPECT_DOUBLE_EQ(rows[0].toObject()["distanceKm"].toDouble(), 10);
    EXPECT_DOUBLE_EQ(rows[21].toObject()["distanceKm"].toDouble(), 500);
    for (const QJsonValue& row : rows) {
        EXPECT_GT(row.toObject()["freeSpaceDb"].toDouble(), 90);
        EXPECT_EQ(row.toObject()["lossDb"].toArray().size(), 2);
    }
}

TEST(AreaCommand, CsvWarningsGoToStandardError) {
    const Outcome outcome = runCommand(areaCommand, {"--format", "csv", "--h1", "0.5"});
    ASSERT_EQ(outcome.status, ExitOk);
    EXPECT_NE(outcome.err.find("verdan-cli: warning: !Warning!"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.out.find("Warning"), std::string::npos);
}

TEST(InverseCommand, CsvAndJsonGiveOneDistancePerLevel) {
    const Outcome csv =
        runCommand(inverseCommand, {"--loss", "0", "--conf", "50,90", "--format", "csv"});
    ASSERT_EQ(csv.status, ExitOk) << csv.err;
    EXPECT_EQ(csv.out, "confidence_pct,distance_km\n50,0.100\n90,0.100\n");

    const Outcome json = runCommand(inverseCommand, {"--loss=125.5", "--format=json"});
    ASSERT_EQ(json.status, ExitOk) << json.err;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(root["command"].toString(), "inverse");
    EXPECT_DOUBLE_EQ(root["lossLevelDb"].toDouble(), 125.5);
    const QJsonArray results = root["results"].toArray();
    ASSERT_EQ(results.size(), 3);
    EXPECT_DOUBLE_EQ(results[1].toObject()["confidencePct"].toDouble(), 90);
    for (const QJsonValue& result : results) {
        EXPECT_GT(result.toObject()["distanceKm"].toDouble(), 1);
        EXPECT_LT(result.toObject()["distanceKm"].toDouble(), 50);
    }
}

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
        BadInput{"FrequencyBelow", false, {"--freq", "19.9"}, "20 <= --freq <= 20000"},
        BadInput{"FrequencyNotANumber",
                 false,
                 {"--freq", "12abc"},
                 "--freq: \"12abc\" is not a number; valid range is 20 <= --freq <= 20000"},
        BadInput{"FrequencyDecimalComma", false, {"--freq", "100,5"}, "--freq"},
        BadInput{"HeightBelow", false, {"--h1", "0.2"}, "0.5 <= --h1 <= 3000 (m)"},
        BadInput{"HeightAbove", false, {"--h2", "3001"}, "0.5 <= --h2 <= 3000 (m)"},
        BadInput{"TimeAbove", false, {"--time", "100"}, "0.1 <= --time <= 99.9 (%)"},
        BadInput{"LocationBelow", false, {"--location", "0"}, "0.1 <= --location <= 99.9 (%)"},
        BadInput{"FirstLevelZero",
                 false,
                 {"--conf", "0,50"},
                 "--conf: expected 1 to 4 comma-separated numbers, the first from 0.1 to 99.9, "
                 "the others from 0 to 99.9"},
        BadInput{"LevelAbove", false, {"--conf", "50,100"}, "--conf"},
        BadInput{"FiveLevels", false, {"--conf", "50,90,10,20,30"}, "--conf: expected 1 to 4"},
        BadInput{"EmptyLevel", false, {"--conf", "50,,10"}, "--conf"},
        BadInput{"Polarization", false, {"--pol", "X"}, "--pol: expected one of H|V; got X"},
        BadInput{"Climate", false, {"--climate", "8"}, "1 <= --climate <= 7"},
        BadInput{"ClimateNotWhole", false, {"--climate", "5.5"}, "--climate"},
        BadInput{"Variability", false, {"--variability", "4"}, "0 <= --variability <= 3"},
        BadInput{"Siting", false, {"--site2", "-1"}, "0 <= --site2 <= 2"},
        BadInput{"Format", false, {"--format", "xml"}, "--format: expected one of text|csv|json"},
        BadInput{"Infinite", false, {"--dh", "inf"}, "--dh: \"inf\" is not a number"},
        BadInput{"Unknown", false, {"--bogus", "1"}, "unknown option --bogus"},
        BadInput{"MissingValue", false, {"--freq"}, "--freq: a value is required"},
        BadInput{
            "Twice", false, {"--freq", "100", "--freq", "200"}, "--freq: given more than once"},
        BadInput{"Stray", false, {"100"}, "unexpected argument \"100\""},
        BadInput{"TooManyRows",
                 false,
                 {"--d1", "1000", "--ds1", "0.001"},
                 "--d0, --d1, --ds1, --d2, --ds2: The distances entered would need more than "
                 "32768 rows"},
        BadInput{"InverseWithoutLoss", true, {}, "--loss: required"},
        BadInput{"InverseLossNotANumber", true, {"--loss", "x"}, "--loss: \"x\" is not a number"},
        BadInput{
            "InverseHasNoDistances", true, {"--loss", "120", "--d0", "5"}, "unknown option --d0"}),
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

// ---- The executable ----

QString cliPath() {
    return executableFolder() + "/verdan-cli";
}

TEST(VerdanCli, PrintsTheSameReportAsTheCommand) {
    QProcess process;
    process.start(cliPath(), {"area", "--freq", "450", "--pol", "h"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), ExitOk);
    EXPECT_EQ(process.readAllStandardOutput().toStdString(),
              runCommand(areaCommand, {"--freq", "450", "--pol", "H"}).out);
    EXPECT_EQ(process.readAllStandardError(), QByteArray());
}

TEST(VerdanCli, RefusesBadInputWithStatus2AndNothingOnStandardOutput) {
    const std::vector<QStringList> cases{{"area", "--freq", "25000"}, {"inverse"}, {"nosuch"}, {}};
    for (const QStringList& args : cases) {
        QProcess process;
        process.start(cliPath(), args);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), ExitUsage) << args.join(' ').toStdString();
        EXPECT_EQ(process.readAllStandardOutput(), QByteArray()) << args.join(' ').toStdString();
        EXPECT_FALSE(process.readAllStandardError().isEmpty());
    }
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

// Errors are one short line whatever was typed; an unknown command points to --help.
TEST(VerdanCli, ErrorsAreOneShortLine) {
    const std::vector<QStringList> cases{{"area", "--freq", "450\n--h1 3"},
                                         {"area", "--pol", QString(120000, 'x')},
                                         {"no\nsuch"}};
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

TEST(VerdanCli, HelpGoesToStandardOutput) {
    QProcess process;
    process.start(cliPath(), {"--help"});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), ExitOk);
    EXPECT_TRUE(process.readAllStandardOutput().startsWith("usage: verdan-cli COMMAND"));
}

} // namespace
