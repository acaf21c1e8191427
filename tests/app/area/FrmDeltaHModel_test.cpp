#include "FrmDeltaHModel.h"
#include "PickListForms.h"

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::RecordingForms;

namespace {

TEST(DeltaHPickList, CaptionsAndLoadState) {
    RecordingForms forms;
    FrmDeltaHModel pick(forms);
    pick.Form_Load();
    EXPECT_EQ(pick.caption(), "delta h - Terrain Irregularity Parameter");
    EXPECT_EQ(FrmDeltaHModel::frameCaption(), "delta h");
    EXPECT_EQ(
        FrmDeltaHModel::optionCaptions(),
        (QStringList{"Flat or Water  0 m", "Plains  30 m", "Hills (Use for Avg. Terrain)  90 m",
                     "Mountains  200 m", "Rugged Mountains  500 m"}));
    EXPECT_EQ(pick.Option1(), 2);
    EXPECT_EQ(pick.chosenValueM(), 90);
}

TEST(DeltaHPickList, OkAtOnceWrites90) {
    RecordingForms forms;
    FrmDeltaHModel pick(forms);
    pick.Form_Load();
    pick.cmdOK_Click();
    EXPECT_EQ(forms.area.written.at("txtDH"), "90");
    EXPECT_TRUE(forms.pointToPoint->written.empty()) << "delta h is an area parameter only";
    EXPECT_TRUE(pick.closeRequested());
}

TEST(DeltaHPickList, EachOptionWritesItsFixedValue) {
    const char* expected[] = {"0", "30", "90", "200", "500"};
    for (int i = 0; i < 5; ++i) {
        RecordingForms forms;
        FrmDeltaHModel pick(forms);
        pick.Form_Load();
        pick.Option1_Click(i);
        EXPECT_EQ(pick.Option1(), i);
        pick.cmdOK_Click();
        EXPECT_EQ(forms.area.written.at("txtDH"), expected[i]) << "option " << i;
    }
}

TEST(DeltaHPickList, CancelWritesNothing) {
    RecordingForms forms;
    FrmDeltaHModel pick(forms);
    pick.Form_Load();
    pick.Option1_Click(4);
    pick.cmdCancel_Click();
    EXPECT_TRUE(forms.area.written.empty());
    EXPECT_TRUE(pick.closeRequested());
}

TEST(DeltaHPickList, OptionsOutsideTheArrayAreIgnored) {
    RecordingForms forms;
    FrmDeltaHModel pick(forms);
    pick.Form_Load();
    pick.Option1_Click(5);
    pick.Option1_Click(-1);
    EXPECT_EQ(pick.Option1(), 2);
    EXPECT_EQ(pick.chosenValueM(), 90);
}

} // namespace
