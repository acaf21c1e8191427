#include "FrmSurfRefModel.h"
#include "PickListForms.h"

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::RecordingForms;

namespace {

TEST(SurfRefPickList, CaptionsAndLoadState) {
    RecordingForms forms;
    FrmSurfRefModel pick(forms);
    pick.Form_Load();
    EXPECT_EQ(pick.caption(), "Surface Refractivity");
    EXPECT_EQ(FrmSurfRefModel::frameCaption(), "Ns  (N-Units)");
    EXPECT_EQ(FrmSurfRefModel::optionCaptions().size(), 7);
    EXPECT_EQ(FrmSurfRefModel::optionCaptions().at(2),
              "Maritime Subtropical  (West Coast of Africa)   370");
    EXPECT_EQ(pick.chosenValueN(), 301);
}

TEST(SurfRefPickList, EachOptionTakesTheLastThreeCharactersOfItsCaption) {
    const double expected[] = {360, 320, 370, 280, 301, 320, 350};
    RecordingForms forms;
    FrmSurfRefModel pick(forms);
    pick.Form_Load();
    for (int i = 0; i < 7; ++i) {
        pick.Option1_Click(i);
        EXPECT_EQ(pick.chosenValueN(), expected[i]) << "option " << i;
    }
}

TEST(SurfRefPickList, OverSeaWrites350IntoBothForms) {
    RecordingForms forms;
    FrmSurfRefModel pick(forms);
    pick.Form_Load();
    pick.Option1_Click(6);
    pick.cmdOK_Click();
    EXPECT_EQ(forms.area.written.at("txtNs"), "350");
    EXPECT_EQ(forms.pointToPoint->written.at("txtns"), "350");
    EXPECT_TRUE(pick.closeRequested());
}

TEST(SurfRefPickList, WithoutAPointToPointFormOnlyTheAreaFormIsWritten) {
    RecordingForms forms;
    forms.pointToPoint.reset();
    FrmSurfRefModel pick(forms);
    pick.Form_Load();
    pick.cmdOK_Click();
    EXPECT_EQ(forms.area.written.at("txtNs"), "301");
}

TEST(SurfRefPickList, CancelWritesNothing) {
    RecordingForms forms;
    FrmSurfRefModel pick(forms);
    pick.Form_Load();
    pick.Option1_Click(0);
    pick.cmdCancel_Click();
    EXPECT_TRUE(forms.area.written.empty());
    EXPECT_TRUE(forms.pointToPoint->written.empty());
}

} // namespace
