#include "FrmConfLevelModel.h"
#include "FrmDC_CondModel.h"
#include "FrmDeltaHModel.h"
#include "FrmSurfRefModel.h"
#include "ModeForms.h"
#include "RecordingSink.h" // texts shown as text in failure messages

#include <gtest/gtest.h>
#include <map>

using namespace verdan;
namespace {

/// A mode form that only records what the pick-lists write into it.
struct RecordingForm : ModeFormFields {
    std::map<QString, QString> written;
    void setFieldText(const QString& control, const QString& text) override {
        written[control] = text;
    }
};

/// The two mode forms as the pick-lists see them.
struct RecordingForms : ModeForms {
    RecordingForm area;
    RecordingForm pointToPoint;
    ModeFormFields& areaForm() override { return area; }
    ModeFormFields* pointToPointForm() override { return &pointToPoint; }
};

enum class List { DeltaH, SurfRef, Conductivity, Dielectric, ConfLevel };

// What a pick-list leaves behind: the texts written into the area and point-to-point forms,
// or for the confidence level picker the level chosen.
using Written = std::pair<QString, QString>;

enum class Close { Ok, Cancel, CloseBox };

// Loads the pick-list, clicks `option` (none when negative) and closes it.
template <class Pick, class Click> void choose(Pick& pick, int option, Close close, Click click) {
    pick.Form_Load();
    if (option >= 0)
        click(pick, option);
    if (close == Close::CloseBox)
        pick.closeBoxClicked();
    else if (close == Close::Ok)
        pick.cmdOK_Click();
    else if constexpr (requires { pick.cmdCancel_Click(); })
        pick.cmdCancel_Click();
    EXPECT_TRUE(pick.closeRequested());
}

// Opens `list` as its form button does (for the ground lists on `target`), picks and closes.
Written pick(List list, int option, Close close, const char* target = nullptr) {
    RecordingForms forms;
    ProgramState state;
    state.ConfLevelChoices = {50, 90, 10, 0, 0};
    QString field;
    if (list == List::DeltaH) {
        FrmDeltaHModel p(forms);
        choose(p, option, close, [](auto& q, int i) { q.Option1_Click(i); });
        field = "txtDH";
    } else if (list == List::SurfRef) {
        FrmSurfRefModel p(forms);
        choose(p, option, close, [](auto& q, int i) { q.Option1_Click(i); });
        field = "txtNs";
    } else if (list == List::ConfLevel) {
        FrmConfLevelModel p(state);
        choose(p, option, close, [](auto& q, int i) { q.optConfLev_Click(i); });
        return {QString::number(state.ConfLevelChosen), {}};
    } else {
        const bool sgm = list == List::Conductivity;
        state.PickTarget = target ? target : (sgm ? "txtsgm" : "txteps");
        FrmDC_CondModel p(state, forms);
        p.setOptChartSelectCaptions(sgm ? FrmDC_CondModel::conductivityOptions()
                                        : FrmDC_CondModel::dielectricOptions());
        choose(p, option, close, [](auto& q, int i) { q.optChartSelect_Click(i); });
        field = state.PickTarget;
    }
    // The point-to-point form names its refractivity field txtns.
    const QString pointToPointField = field == "txtNs" ? QStringLiteral("txtns") : field;
    return {forms.area.written[field], forms.pointToPoint.written[pointToPointField]};
}

TEST(PickList, WritesTheValueOfTheOptionPicked) {
    const struct {
        List list;
        int option;
        Close close;
        Written written;
        const char* target = nullptr; ///< the field a ground list was opened for
    } cases[] = {
        // Delta h is an area parameter only.
        {List::DeltaH, -1, Close::Ok, {"90", ""}},
        {List::DeltaH, 4, Close::Ok, {"500", ""}},
        {List::DeltaH, 5, Close::Ok, {"90", ""}}, // no such option
        {List::DeltaH, 4, Close::Cancel, {"", ""}},
        {List::SurfRef, -1, Close::Ok, {"301", "301"}},
        {List::SurfRef, 2, Close::Ok, {"370", "370"}},
        {List::SurfRef, 0, Close::Cancel, {"", ""}},
        {List::Conductivity, -1, Close::Ok, {"0.005", "0.005"}},
        {List::Conductivity, 1, Close::Ok, {"0.001", "0.001"}},
        {List::Conductivity, 4, Close::Ok, {"5", "5"}},
        {List::Conductivity, 1, Close::Ok, {"", ""}, "txtNs"}, // another target: nothing
        {List::Dielectric, -1, Close::Ok, {"15", "15"}},
        {List::Dielectric, 4, Close::Ok, {"81", "81"}},
        {List::Dielectric, 3, Close::Cancel, {"", ""}},
        {List::ConfLevel, 2, Close::Ok, {"10", ""}},
        {List::ConfLevel, 1, Close::Cancel, {"0", ""}},
        {List::ConfLevel, 1, Close::CloseBox, {"0", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        EXPECT_EQ(pick(c.list, c.option, c.close, c.target), c.written);
    }
}

// Regression: OK without a selection chose the first level silently. OK now needs a
// selection (a hidden option cannot be selected): the picker stays open, nothing chosen.
TEST(ConfLevelPickList, RegressionOkWithoutASelectionChoosesNothing) {
    for (const int option : {-1, 3}) {
        ProgramState state;
        state.ConfLevelChoices = {50, 90, 10, 0, 0};
        FrmConfLevelModel pick(state);
        pick.Form_Load();
        pick.optConfLev_Click(option);
        EXPECT_FALSE(pick.cmdOKEnabled()) << option;
        pick.cmdOK_Click();
        EXPECT_FALSE(pick.closeRequested()) << option;
        EXPECT_EQ(state.ConfLevelChosen, 0) << option;
    }
}

} // namespace
