#include "CliOptions.h"

#include <gtest/gtest.h>

using namespace verdan::cli;

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
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"30", 30}, {"30dBW", 30}, {"60 dBm", 30}, {"-10DBM", -40}, {"0.5dbw", 0.5},
        {"230dBm", 200},   {"30 W", std::nullopt}, {"dBm", std::nullopt}, {"250", std::nullopt},
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

} // namespace
