#include "AreaCommand.h"
#include "CliOptions.h"
#include "CliRun.h"
#include "P2pCommand.h"

#include <gtest/gtest.h>

using namespace verdan::cli;

using verdan::test::Outcome;
using verdan::test::ReferenceProfile;
using verdan::test::runCommand;

namespace {

struct NumberCase {
    const char* text;
    std::optional<double> value;
};

class ParseNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumberTest, ReadsWholeFiniteDecimalNumbers) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(parseNumber(QString::fromLatin1(c.text)), c.value) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, ParseNumberTest,
    ::testing::Values(NumberCase{"100", 100.0}, NumberCase{"0.005", 0.005}, NumberCase{".5", 0.5},
                      NumberCase{"5.", 5.0}, NumberCase{"-3.5", -3.5}, NumberCase{"+20", 20.0},
                      NumberCase{"1e3", 1000.0}, NumberCase{"1E-2", 0.01},
                      NumberCase{"", std::nullopt}, NumberCase{"12abc", std::nullopt},
                      NumberCase{"100,5", std::nullopt}, NumberCase{" 5", std::nullopt},
                      NumberCase{"+-5", std::nullopt}, NumberCase{"inf", std::nullopt},
                      NumberCase{"nan", std::nullopt}, NumberCase{"1e999", std::nullopt},
                      NumberCase{"0x10", std::nullopt}));

// A transmitter power is read in dBW, or in the unit written after it.
TEST(CliOptions, PowerIsReadInTheUnitWrittenAfterIt) {
    const std::pair<const char*, std::optional<double>> cases[] = {{"30", 30},
                                                                   {"30dBW", 30},
                                                                   {"60 dBm", 30},
                                                                   {"230dBm", 200},
                                                                   {"30 W", std::nullopt},
                                                                   {"dBm", std::nullopt},
                                                                   {"250", std::nullopt},
                                                                   {"260dBm", std::nullopt}};
    for (const auto& [text, dbw] : cases) {
        const CliOptions options({QStringLiteral("--erp"), QString::fromLatin1(text)},
                                 {QStringLiteral("erp")});
        if (dbw)
            EXPECT_EQ(options.powerDbw(QStringLiteral("erp"), -200, 200), dbw) << text;
        else
            EXPECT_THROW(options.powerDbw(QStringLiteral("erp"), -200, 200), UsageError) << text;
    }
    EXPECT_EQ(CliOptions({}, {QStringLiteral("erp")}).powerDbw(QStringLiteral("erp"), -200, 200),
              std::nullopt);
}

struct BadInput {
    const char* name;
    int (*command)(const QStringList&, CliContext&);
    QStringList args;
    const char* message; ///< a part of the one-line message
};

class BadInputTest : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, IsRefusedWithOneLineNamingTheOption) {
    const BadInput& c = GetParam();
    const Outcome outcome = runCommand(c.command, c.args);
    EXPECT_EQ(outcome.status, ExitUsage);
    EXPECT_EQ(outcome.out, "") << "nothing on standard output";
    EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("verdan-cli: ", 0), 0u) << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_LT(outcome.err.size(), 400u) << "short whatever was typed";
}

INSTANTIATE_TEST_SUITE_P(
    Cli, BadInputTest,
    ::testing::Values(
        BadInput{"FrequencyAbove",
                 areaCommand,
                 {"--freq", "25000"},
                 "--freq: valid range is 20 <= --freq <= 20000 (MHz); got 25000"},
        BadInput{"LineEndInAValue", areaCommand, {"--freq", "450\n--h1 3"}, "--freq"},
        BadInput{"HugeValue", areaCommand, {"--pol", QString(120000, 'x')}, "--pol"},
        BadInput{"FirstLevelZero",
                 areaCommand,
                 {"--conf", "0,50"},
                 "--conf: expected 1 to 4 comma-separated numbers, the first from 0.1 to 99.9, "
                 "the others from 0 to 99.9"},
        BadInput{"Polarization", areaCommand, {"--pol", "X"}, "--pol: expected one of H|V; got X"},
        BadInput{"Unknown", areaCommand, {"--bogus", "1"}, "unknown option --bogus"},
        BadInput{"InverseWithoutLoss", inverseCommand, {}, "--loss: required"},
        BadInput{"P2pWithoutProfile", p2pCommand, {"--freq", "100"}, "--profile"},
        BadInput{
            "P2pFrequency", p2pCommand, {"--profile", ReferenceProfile, "--freq", "5"}, "--freq"},
        BadInput{"P2pEightValues",
                 p2pCommand,
                 {"--profile", ReferenceProfile, "--rel", "1,2,3,4,5,6,7,8"},
                 "--rel"},
        BadInput{"P2pPercentage",
                 p2pCommand,
                 {"--profile", ReferenceProfile, "--conf", "99.5"},
                 "--conf"},
        BadInput{"P2pOneEnd", p2pCommand, {"--tx", "39,-76"}, "--tx"},
        BadInput{
            "P2pMissingFile", p2pCommand, {"--profile", "/nonexistent/p.pfl"}, "cannot be read"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
