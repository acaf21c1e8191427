#include "FieldChecks.h"
#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::ScriptedPrompter;

namespace {

TEST(FieldChecks, SelectAllTextSelectsTheWholeText) {
    TextField field;
    field.text = "12.5";
    field.selStart = 3;
    SelectAllText(field);
    EXPECT_EQ(field.selStart, 0);
    EXPECT_EQ(field.selLength, 4);
}

TEST(FieldChecks, CheckRangeInsideIsSilent) {
    ScriptedPrompter prompter;
    TextField field;
    field.text = "99.9abc";
    EXPECT_TRUE(CheckRange(prompter, field, 0.1, 99.9, "Percent Time"));
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(field.selLength, 0);
}

TEST(FieldChecks, CheckRangeOutsideWarnsAndSelects) {
    ScriptedPrompter prompter;
    TextField field;
    field.text = "150";
    EXPECT_FALSE(CheckRange(prompter, field, 0, 99.9, "Confidence Level 3"));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Warning: Valid Range is 0 <= Confidence Level 3 <= 99.9");
    EXPECT_EQ(prompter.messages[0].title, "Confidence Level 3");
    EXPECT_EQ(prompter.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(prompter.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(field.text, "150") << "the text is the caller's to replace";
    EXPECT_EQ(field.selLength, 3);
}

TEST(FieldChecks, CheckRangeOfAnEmptyFieldReadsZeroAndSelectsNothing) {
    ScriptedPrompter prompter;
    TextField field;
    field.selStart = 0;
    EXPECT_FALSE(CheckRange(prompter, field, 0.1, 99.9, "Percent Location"));
    EXPECT_EQ(field.selLength, 0);
}

TEST(FieldChecks, WarnIfOutOfRangeNamesTheBoundCrossed) {
    struct Case {
        double number;
        bool inside;
        const char* message;
    };
    const Case cases[] = {
        {19.999, false, "Warning: Range 20 <= Frequency"},
        {20, true, ""},
        {20000, true, ""},
        {20000.5, false, "Warning: Range Frequency <= 20000"},
    };
    for (const Case& c : cases) {
        ScriptedPrompter prompter;
        EXPECT_EQ(WarnIfOutOfRange(prompter, "Frequency", c.number, 20, 20000), c.inside)
            << c.number;
        if (c.inside) {
            EXPECT_TRUE(prompter.messages.empty());
        } else {
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_EQ(prompter.messages[0].text, c.message);
            EXPECT_EQ(prompter.messages[0].title, "Frequency");
        }
    }
}

TEST(FieldChecks, NormaliseNumberText) {
    const std::pair<const char*, const char*> cases[] = {
        {"301.0", "301"}, {"0.0050", "0.005"}, {"abc", "0"},    {"", "0"},
        {" 12abc", "12"}, {"-2.50", "-2.5"},   {"1e3", "1000"}, {"  4 5 ", "45"},
    };
    for (const auto& [text, normalised] : cases)
        EXPECT_EQ(NormaliseNumberText(text), normalised) << "'" << text << "'";
}

} // namespace
