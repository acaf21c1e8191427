#include <verdan/radio/Units.h>

#include <gtest/gtest.h>

using namespace verdan::radio;

TEST(Units, PowersInEveryUnitGiveDbm) {
    const struct {
        const char* text;
        double dbm;
    } cases[] = {{"50W", 46.9897},   {"47dBm", 47}, {"17dBW", 47},      {"17 dbw", 47},
                 {"500mW", 26.9897}, {"1kW", 60},   {"+3.5e1 dBm", 35}, {"-30dBm", -30}};
    for (const auto& c : cases) {
        const PowerValue power = parsePowerDbm(c.text);
        ASSERT_TRUE(power.dbm) << c.text << ": " << power.message;
        EXPECT_NEAR(*power.dbm, c.dbm, 1e-4) << c.text;
    }
}

TEST(Units, PowersWithoutUnitOrOfNoSizeAreRefused) {
    for (const char* text :
         {"30", "0W", "-5W", "W", "1,5W", "nanW", "infdBm", "5 V", "+-5W", "200dBW"})
        EXPECT_FALSE(parsePowerDbm(text).dbm) << text;
    EXPECT_NE(parsePowerDbm("30").message.find("unit"), std::string::npos);
}

TEST(Units, ThresholdsArePowerOrFieldStrength) {
    const struct {
        const char* text;
        ThresholdKind kind;
        double value;
    } cases[] = {{"-130 dBW", ThresholdKind::PowerDbm, -100},
                 {"40dBuV/m", ThresholdKind::FieldDbuvm, 40},
                 {"40dB\xc2\xb5V/m", ThresholdKind::FieldDbuvm, 40},
                 {"54 DBUV/M", ThresholdKind::FieldDbuvm, 54}};
    for (const auto& c : cases) {
        const ThresholdValue parsed = parseThreshold(c.text);
        ASSERT_TRUE(parsed.threshold) << c.text << ": " << parsed.message;
        EXPECT_EQ(parsed.threshold->kind, c.kind) << c.text;
        EXPECT_DOUBLE_EQ(parsed.threshold->value, c.value) << c.text;
    }
    for (const char* text : {"-100", "40dBuV", "dBm", "40 dB"})
        EXPECT_FALSE(parseThreshold(text).threshold) << text;
}

TEST(Units, GainsInDbdAreDipoleReferenced) {
    std::string message;
    EXPECT_DOUBLE_EQ(*parseGainDbi("10dBd", message), 12.15);
    EXPECT_DOUBLE_EQ(*parseGainDbi("12 dBi", message), 12);
    EXPECT_DOUBLE_EQ(*parseGainDbi("-3", message), -3);
    EXPECT_FALSE(parseGainDbi("12 dB", message));
    EXPECT_FALSE(parseLossDb("-1", message));
    EXPECT_DOUBLE_EQ(*parseLossDb("2.5dB", message), 2.5);
}

TEST(Units, FormattingRoundsAndDropsTheSignOfZero) {
    EXPECT_EQ(formatFixed(-0.004, 2), "0.00");
    EXPECT_EQ(formatFixed(106.9212, 2), "106.92");
    EXPECT_EQ(formatFixed(-100.125, 1), "-100.1");
}
