#include "FrmDC_CondModel.h"
#include "PickListForms.h"

#include <gtest/gtest.h>

using namespace verdan;
using verdan::test::RecordingForms;

namespace {

class GroundPickList : public ::testing::Test {
protected:
    /// The pick-list as the area form opens it for `target`.
    std::unique_ptr<FrmDC_CondModel> openFor(const QString& target) {
        state.PickTarget = target;
        auto pick = std::make_unique<FrmDC_CondModel>(state, forms);
        pick->Form_Load();
        const bool conductivity = target == "txtsgm";
        pick->setCaption(conductivity ? FrmDC_CondModel::conductivityCaption()
                                      : FrmDC_CondModel::dielectricCaption());
        pick->setOptChartSelectCaptions(conductivity ? FrmDC_CondModel::conductivityOptions()
                                                     : FrmDC_CondModel::dielectricOptions());
        return pick;
    }

    ProgramState state;
    RecordingForms forms;
};

TEST_F(GroundPickList, DesignCaptions) {
    FrmDC_CondModel pick(state, forms);
    EXPECT_EQ(pick.caption(), "Dielectric Constant");
    EXPECT_EQ(
        pick.optChartSelectCaptions(),
        (QStringList{"Average Ground", "Poor Ground", "Good Ground", "Fresh Water", "Sea Water"}));
    EXPECT_EQ(FrmDC_CondModel::frameCaption(), "Selections");
    EXPECT_EQ(FrmDC_CondModel::labelText(), "For Most Purposes Select Average Ground");
}

TEST_F(GroundPickList, OkWithoutAClickWritesAverageGroundIntoBothForms) {
    auto pick = openFor("txtsgm");
    EXPECT_EQ(pick->chosenValue(), 0.005);
    pick->cmdOK_Click();
    EXPECT_EQ(forms.area.written.at("txtsgm"), "0.005");
    EXPECT_EQ(forms.pointToPoint->written.at("txtsgm"), "0.005");

    auto dielectric = openFor("txteps");
    EXPECT_EQ(dielectric->chosenValue(), 15);
    dielectric->cmdOK_Click();
    EXPECT_EQ(forms.area.written.at("txteps"), "15");
    EXPECT_EQ(forms.pointToPoint->written.at("txteps"), "15");
}

TEST_F(GroundPickList, ValuesComeFromTheLastFiveCharactersOfTheCaptions) {
    struct Case {
        const char* target;
        int option;
        const char* written;
    };
    const Case cases[] = {
        {"txtsgm", 0, "0.005"}, {"txtsgm", 1, "0.001"}, {"txtsgm", 2, "0.02"},
        {"txtsgm", 3, "0.01"},  {"txtsgm", 4, "5"},     {"txteps", 0, "15"},
        {"txteps", 1, "4"},     {"txteps", 2, "25"},    {"txteps", 3, "81"},
        {"txteps", 4, "81"},
    };
    for (const Case& c : cases) {
        auto pick = openFor(c.target);
        pick->optChartSelect_Click(c.option);
        pick->cmdOK_Click();
        EXPECT_EQ(forms.area.written.at(c.target), c.written) << c.target << " " << c.option;
        EXPECT_EQ(forms.pointToPoint->written.at(c.target), c.written);
    }
}

TEST_F(GroundPickList, AnotherTargetWritesNothing) {
    state.PickTarget = "txtNs";
    FrmDC_CondModel pick(state, forms);
    pick.Form_Load();
    EXPECT_EQ(pick.chosenValue(), 0);
    EXPECT_EQ(pick.optChartSelect(), -1);
    pick.cmdOK_Click();
    EXPECT_TRUE(forms.area.written.empty());
    EXPECT_TRUE(pick.closeRequested());
}

TEST_F(GroundPickList, CancelWritesNothing) {
    auto pick = openFor("txteps");
    pick->optChartSelect_Click(3);
    pick->cmdCancel_Click();
    EXPECT_TRUE(forms.area.written.empty());
    EXPECT_TRUE(forms.pointToPoint->written.empty());
}

} // namespace
