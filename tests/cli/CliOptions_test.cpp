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

QString usageMessage(const QStringList& args, const std::function<void(const CliOptions&)>& read) {
    try {
        const CliOptions options(args, Known);
        read(options);
    } catch (const UsageError& error) {
        return error.message;
    }
    return QString();
}

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

TEST(CliOptions, RangesAreInclusive) {
    const CliOptions low({"--freq", "20"}, Known);
    EXPECT_DOUBLE_EQ(low.number("freq", 100, 20, 20000, "MHz"), 20);
    const CliOptions high({"--freq", "20000"}, Known);
    EXPECT_DOUBLE_EQ(high.number("freq", 100, 20, 20000, "MHz"), 20000);
    const CliOptions climate({"--climate", "7"}, Known);
    EXPECT_EQ(climate.integer("climate", 5, 1, 7), 7);
}

TEST(CliOptions, ListsHoldOneToFourLevels) {
    const CliOptions options({"--conf", "50, 90,0,10"}, Known);
    EXPECT_EQ(options.list("conf", {}, 4, 0.1, 0, 99.9), (std::vector<double>{50, 90, 0, 10}));
    const CliOptions one({"--conf", "99.9"}, Known);
    EXPECT_EQ(one.list("conf", {}, 4, 0.1, 0, 99.9), (std::vector<double>{99.9}));
    const CliOptions none({}, Known);
    EXPECT_EQ(none.list("conf", {50, 90, 10}, 4, 0.1, 0, 99.9), (std::vector<double>{50, 90, 10}));
}

TEST(CliOptions, MessagesNameTheOptionAndWhatItAccepts) {
    EXPECT_EQ(usageMessage({"--freq", "5"},
                           [](const CliOptions& o) { o.number("freq", 100, 20, 20000, "MHz"); }),
              "--freq: valid range is 20 <= --freq <= 20000 (MHz); got 5");
    EXPECT_EQ(usageMessage({"--climate", "x"},
                           [](const CliOptions& o) { o.integer("climate", 5, 1, 7); }),
              "--climate: valid values are the whole numbers 1 <= --climate <= 7; got x");
    EXPECT_EQ(usageMessage({"--conf", ""},
                           [](const CliOptions& o) { o.list("conf", {}, 4, 0.1, 0, 99.9); }),
              "--conf: expected 1 to 4 comma-separated numbers, the first from 0.1 to 99.9, the "
              "others from 0 to 99.9; got ");
    EXPECT_EQ(usageMessage({"--pol", "x"},
                           [](const CliOptions& o) {
                               o.choice("pol", "V", {"H", "V"});
                           }),
              "--pol: expected one of H|V; got x");
    EXPECT_EQ(usageMessage({"--nope=1"}, [](const CliOptions&) {}), "unknown option --nope");
    EXPECT_EQ(usageMessage({"--"}, [](const CliOptions&) {}), "unexpected argument \"--\"");
    EXPECT_EQ(usageMessage({"--conf"}, [](const CliOptions&) {}), "--conf: a value is required");
}

} // namespace
