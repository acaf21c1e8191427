#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace verdan::numfmt;

namespace {

struct ReadCase {
    const char* text;
    double expected;
};

class LeadingNumber : public ::testing::TestWithParam<ReadCase> {};

TEST_P(LeadingNumber, ReadsTheLongestNumberPrefix) {
    const ReadCase c = GetParam();
    EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(c.text)), c.expected)
        << "text: '" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumber,
    ::testing::Values(ReadCase{"12abc", 12}, ReadCase{"", 0}, ReadCase{"abc", 0},
                      ReadCase{"301.0", 301}, ReadCase{"  45.5  ", 45.5}, ReadCase{" 1 2.5", 12.5},
                      ReadCase{"\t-3.25\n", -3.25}, ReadCase{"+7", 7}, ReadCase{".5", 0.5},
                      ReadCase{"5.", 5}, ReadCase{"1e3", 1000}, ReadCase{"1E-2x", 0.01},
                      ReadCase{"2e+", 2}, ReadCase{"-.", 0}, ReadCase{"1,5", 1},
                      ReadCase{"0.0050", 0.005}, ReadCase{"1.2.3", 1.2},
                      ReadCase{"\xc3\xa9"
                               "5",
                               0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(LeadingNumberLimits, OverflowGivesInfinity) {
    EXPECT_EQ(leadingNumber(u"1e999"), std::numeric_limits<double>::infinity());
}

struct GeneralCase {
    double value;
    const char* expected;
};

class GeneralNumber : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralNumber, WritesFifteenSignificantDigitsWithoutTrailingZeros) {
    const GeneralCase c = GetParam();
    EXPECT_EQ(generalNumber(c.value).toStdString(), c.expected) << "value " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, GeneralNumber,
    ::testing::Values(GeneralCase{301.0, "301"}, GeneralCase{0.0050, "0.005"},
                      GeneralCase{45.5, "45.5"}, GeneralCase{-3.2, "-3.2"}, GeneralCase{0.0, "0"},
                      GeneralCase{-0.0, "0"}, GeneralCase{0.1 + 0.2, "0.3"},
                      GeneralCase{1.0 / 3.0, "0.333333333333333"},
                      GeneralCase{123456789012345.0, "123456789012345"}, GeneralCase{1e15, "1E+15"},
                      GeneralCase{0.0001, "0.0001"}, GeneralCase{0.00001, "1E-05"},
                      GeneralCase{20000, "20000"}));

struct PatternCase {
    double value;
    const char* pattern;
    const char* paddedText;
    const char* trimmedText;
};

class Patterns : public ::testing::TestWithParam<PatternCase> {};

TEST_P(Patterns, PaddedAndTrimmedForms) {
    const PatternCase c = GetParam();
    const QString pattern = QString::fromLatin1(c.pattern);
    EXPECT_EQ(padded(c.value, pattern).toStdString(), c.paddedText)
        << c.value << " with '" << c.pattern << "'";
    EXPECT_EQ(trimmed(c.value, pattern).toStdString(), c.trimmedText)
        << c.value << " with '" << c.pattern << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Reports, Patterns,
    ::testing::Values(PatternCase{100, "000000000000", "         100", "100"},
                      PatternCase{0.5, "000000.0", "      .5", ".5"},
                      PatternCase{-3.2, "00000.0", "-00003.2", "-00003.2"},
                      PatternCase{90.6, "000000000000", "          91", "91"},
                      // A zero in an integer pattern keeps one digit; with decimals it shows ".0".
                      PatternCase{0, "000000000000", "           0", "0"},
                      PatternCase{0, "000000.0", "      .0", ".0"},
                      PatternCase{123.25, "0000000.0", "    123.3", "123.3"},
                      PatternCase{0.005, "00.000", "  .005", ".005"},
                      PatternCase{15, "000", " 15", "15"},
                      PatternCase{99.95, "000.0", "100.0", "100.0"},
                      // Numbers wider than the pattern keep all their digits.
                      PatternCase{123456789, "0000.0", "123456789.0", "123456789.0"},
                      // Rounding is half away from zero on the decimal value shown to the user.
                      PatternCase{2.5, "0", "3", "3"}, PatternCase{0.15, "0.0", " .2", ".2"},
                      PatternCase{-0.04, "0.0", " .0", ".0"},
                      PatternCase{1.005, "0.00", "1.01", "1.01"},
                      PatternCase{0.25, "#####0.000", " .250", ".250"},
                      // Regression: NaN columns of a report ran together as "NaNNaNNaN".
                      PatternCase{NAN, "00000.0", "    NaN", "NaN"},
                      PatternCase{NAN, "00", " NaN", "NaN"},
                      PatternCase{-INFINITY, "0000.0", "  -Inf", "-Inf"}));

TEST(FormatPattern, HashPlacesAreNotPadded) {
    EXPECT_EQ(formatPattern(301.4, u"#####").toStdString(), "301");
    EXPECT_EQ(formatPattern(0, u"#####").toStdString(), "0");
    EXPECT_EQ(formatPattern(0.5, u"#.0").toStdString(), ".5");
    EXPECT_EQ(formatPattern(0.25, u"#####0.000").toStdString(), "0.250");
}

TEST(FormatPattern, NonFiniteValuesAreNamed) {
    EXPECT_EQ(formatPattern(std::numeric_limits<double>::quiet_NaN(), u"000.0").toStdString(),
              "NaN");
    EXPECT_EQ(formatPattern(-std::numeric_limits<double>::infinity(), u"0").toStdString(), "-Inf");
}

} // namespace
