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

const QStringList Known{"freq", "conf", "pol", "climate"};

TEST(CliOptions, TakesValuesAfterTheNameOrAfterAnEqualsSign) {
    const CliOptions options({"--freq", "450", "--pol=h"}, Known);
    EXPECT_TRUE(options.has("freq"));
    EXPECT_FALSE(options.has("conf"));
    EXPECT_DOUBLE_EQ(options.number("freq", 100, 20, 20000), 450);
    EXPECT_EQ(options.choice("pol", "V", {"H", "V"}), "H");
    EXPECT_DOUBLE_EQ(options.number("conf", 7), 7) << "absent: the fallback";
    EXPECT_EQ(options.integer("climate", 5, 1, 7), 5);
    EXPECT_EQ(options.valueOf("pol"), "h");
    EXPECT_EQ(options.valueOf("conf"), "");
}

} // namespace
