#include "FrmConfLevelModel.h"

#include <gtest/gtest.h>

using namespace verdan;

namespace {

TEST(ConfLevelPicker, TwoLevelsShowTwoOptions) {
    ProgramState state;
    state.ConfLevelChoices = {50, 90, 0, 0, 0};
    state.ConfLevelChosen = 77;
    FrmConfLevelModel pick(state);
    pick.Form_Load();
    EXPECT_EQ(pick.caption(), "Confidence Level");
    EXPECT_EQ(FrmConfLevelModel::labelText(), "Select Confidence Level");
    EXPECT_EQ(state.ConfLevelChosen, 0) << "reset on load";
    EXPECT_EQ(pick.shownOptions(), 2);
    EXPECT_EQ(pick.optConfLev(0).caption, "50 %");
    EXPECT_EQ(pick.optConfLev(1).caption, "90 %");
    EXPECT_TRUE(pick.optConfLev(0).visible);
    EXPECT_TRUE(pick.optConfLev(1).visible);
    EXPECT_FALSE(pick.optConfLev(2).visible);
    EXPECT_FALSE(pick.optConfLev(3).visible);
}

TEST(ConfLevelPicker, OkWithoutASelectionReturnsTheFirstLevel) {
    ProgramState state;
    state.ConfLevelChoices = {50, 90, 0, 0, 0};
    FrmConfLevelModel pick(state);
    pick.Form_Load();
    pick.cmdOK_Click();
    EXPECT_EQ(state.ConfLevelChosen, 50);
    EXPECT_TRUE(pick.closeRequested());
}

TEST(ConfLevelPicker, OkReturnsTheSelectedLevel) {
    ProgramState state;
    state.ConfLevelChoices = {50, 90, 10, 0, 0};
    FrmConfLevelModel pick(state);
    pick.Form_Load();
    pick.optConfLev_Click(2);
    pick.cmdOK_Click();
    EXPECT_EQ(state.ConfLevelChosen, 10);
}

TEST(ConfLevelPicker, TheCloseBoxReturnsZero) {
    ProgramState state;
    state.ConfLevelChoices = {50, 90, 0, 0, 0};
    FrmConfLevelModel pick(state);
    pick.Form_Load();
    pick.optConfLev_Click(1);
    pick.closeBoxClicked();
    EXPECT_EQ(state.ConfLevelChosen, 0);
    EXPECT_TRUE(pick.closeRequested());
}

TEST(ConfLevelPicker, OptionsShownByNumberOfLevels) {
    struct Case {
        std::array<double, 5> choices;
        int shown;
    };
    const Case cases[] = {
        {{50, 0, 0, 0, 0}, 1},     {{50, 90, 10, 0, 0}, 3}, {{50, 90, 10, 95, 0}, 4},
        {{50, 90, 10, 95, 99}, 4}, {{50, 0, 10, 0, 0}, 1},  {{0, 0, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        ProgramState state;
        state.ConfLevelChoices = c.choices;
        FrmConfLevelModel pick(state);
        pick.Form_Load();
        EXPECT_EQ(pick.shownOptions(), c.shown) << c.shown;
    }
}

TEST(ConfLevelPicker, HiddenOptionsCannotBeSelected) {
    ProgramState state;
    state.ConfLevelChoices = {50, 90, 0, 0, 0};
    FrmConfLevelModel pick(state);
    pick.Form_Load();
    pick.optConfLev_Click(3);
    pick.cmdOK_Click();
    EXPECT_EQ(state.ConfLevelChosen, 50);
}

} // namespace
