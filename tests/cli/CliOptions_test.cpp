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

} // namespace
