#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace verdan::numfmt;

namespace {

TEST(LeadingNumber, ReadsTheLongestNumberPrefix) {
    // "\u00e95" is an e with an acute accent, then 5.
    const std::pair<const char*, double> cases[] = {
        {"12abc", 12},      {"", 0},          {"abc", 0},           {"301.0", 301},
        {"  45.5  ", 45.5}, {" 1 2.5", 12.5}, {"\t-3.25\n", -3.25}, {"+7", 7},
        {".5", 0.5},        {"5.", 5},        {"1e3", 1000},        {"1E-2x", 0.01},
        {"2e+", 2},         {"-.", 0},        {"1,5", 1},           {"0.0050", 0.005},
        {"1.2.3", 1.2},     {"\u00e95", 0},   {"1e999", INFINITY}};
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(text)), expected)
            << "text: '" << text << "'";
}

TEST(GeneralNumber, WritesFifteenSignificantDigitsWithoutTrailingZeros) {
    const std::pair<double, const char*> cases[] = {{301.0, "301"},
                                                    {0.0050, "0.005"},
                                                    {45.5, "45.5"},
                                                    {-3.2, "-3.2"},
                                                    {0.0, "0"},
                                                    {-0.0, "0"},
                                                    {0.1 + 0.2, "0.3"},
                                                    {1.0 / 3.0, "0.333333333333333"},
                                                    {123456789012345.0, "123456789012345"},
                                                    {1e15, "1E+15"},
                                                    {0.0001, "0.0001"},
                                                    {0.00001, "1E-05"},
                                                    {20000, "20000"}};
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(generalNumber(value).toStdString(), expected) << "value " << value;
}

TEST(Patterns, PaddedAndTrimmedForms) {
    const struct {
        double value;
        const char* pattern;
        const char* paddedText;
        const char* trimmedText;
    } cases[] = {
        {100, "000000000000", "         100", "100"},
        {0.5, "000000.0", "      .5", ".5"},
        {-3.2, "00000.0", "-00003.2", "-00003.2"},
        {90.6, "000000000000", "          91", "91"},
        // A zero in an integer pattern keeps one digit; with decimals it shows ".0".
        {0, "000000000000", "           0", "0"},
        {0, "000000.0", "      .0", ".0"},
        {123.25, "0000000.0", "    123.3", "123.3"},
        {0.005, "00.000", "  .005", ".005"},
        {15, "000", " 15", "15"},
        {99.95, "000.0", "100.0", "100.0"},
        // Numbers wider than the pattern keep all their digits.
        {123456789, "0000.0", "123456789.0", "123456789.0"},
        // Rounding is half away from zero on the decimal value shown to the user.
        {2.5, "0", "3", "3"},
        {0.15, "0.0", " .2", ".2"},
        {-0.04, "0.0", " .0", ".0"},
        {1.005, "0.00", "1.01", "1.01"},
        {0.25, "#####0.000", " .250", ".250"},
        // Regression: NaN columns of a report ran together as "NaNNaNNaN".
        {NAN, "00000.0", "    NaN", "NaN"},
        {NAN, "00", " NaN", "NaN"},
        {-INFINITY, "0000.0", "  -Inf", "-Inf"},
    };
    for (const auto& c : cases) {
        const QString pattern = QString::fromLatin1(c.pattern);
        EXPECT_EQ(padded(c.value, pattern).toStdString(), c.paddedText)
            << c.value << " with '" << c.pattern << "'";
        EXPECT_EQ(trimmed(c.value, pattern).toStdString(), c.trimmedText)
            << c.value << " with '" << c.pattern << "'";
    }
}

// Hash places are not padded; values that are not finite are named.
TEST(FormatPattern, HashPlacesAndNonFiniteValues) {
    const std::tuple<double, const char16_t*, const char*> cases[] = {
        {301.4, u"#####", "301"},       {0, u"#####", "0"},     {0.5, u"#.0", ".5"},
        {0.25, u"#####0.000", "0.250"}, {NAN, u"000.0", "NaN"}, {-INFINITY, u"0", "-Inf"}};
    for (const auto& [value, pattern, expected] : cases)
        EXPECT_EQ(formatPattern(value, pattern).toStdString(), expected) << value;
}

} // namespace
