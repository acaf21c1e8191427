#include "FrmConfLevelModel.h"
#include "FrmDC_CondModel.h"
#include "FrmDeltaHModel.h"
#include "FrmSurfRefModel.h"
#include "ModeForms.h"

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

// What a pick-list leaves behind: the texts written into the two mode forms, or for the
// confidence level picker the level chosen.
struct Written {
    QString area;
    QString pointToPoint;
    bool operator==(const Written&) const = default;
};

void PrintTo(const Written& w, std::ostream* os) {
    *os << '{' << w.area.toStdString() << ", " << w.pointToPoint.toStdString() << '}';
}

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
    const auto text = [](const auto& written, const QString& name) {
        const auto it = written.find(name);
        return it == written.end() ? QString() : it->second;
    };
    return {text(forms.area.written, field), text(forms.pointToPoint.written, pointToPointField)};
}

struct PickCase {
    List list;
    int option;
    Close close;
    Written written;
};

class PickList : public ::testing::TestWithParam<PickCase> {};

TEST_P(PickList, WritesTheValueOfTheOptionPicked) {
    const PickCase& c = GetParam();
    EXPECT_EQ(pick(c.list, c.option, c.close), c.written);
}

INSTANTIATE_TEST_SUITE_P(AllLists, PickList,
                         ::testing::Values(
                             // Delta h is an area parameter only.
                             PickCase{List::DeltaH, -1, Close::Ok, {"90", ""}},
                             PickCase{List::DeltaH, 4, Close::Ok, {"500", ""}},
                             PickCase{List::DeltaH, 5, Close::Ok, {"90", ""}}, // no such option
                             PickCase{List::DeltaH, 4, Close::Cancel, {"", ""}},
                             PickCase{List::SurfRef, -1, Close::Ok, {"301", "301"}},
                             PickCase{List::SurfRef, 2, Close::Ok, {"370", "370"}},
                             PickCase{List::SurfRef, 0, Close::Cancel, {"", ""}},
                             PickCase{List::Conductivity, -1, Close::Ok, {"0.005", "0.005"}},
                             PickCase{List::Conductivity, 1, Close::Ok, {"0.001", "0.001"}},
                             PickCase{List::Conductivity, 4, Close::Ok, {"5", "5"}},
                             PickCase{List::Dielectric, -1, Close::Ok, {"15", "15"}},
                             PickCase{List::Dielectric, 4, Close::Ok, {"81", "81"}},
                             PickCase{List::Dielectric, 3, Close::Cancel, {"", ""}},
                             PickCase{List::ConfLevel, 2, Close::Ok, {"10", ""}},
                             PickCase{List::ConfLevel, 1, Close::Cancel, {"0", ""}},
                             PickCase{List::ConfLevel, 1, Close::CloseBox, {"0", ""}}));

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

TEST(GroundPickList, AnotherTargetWritesNothing) {
    EXPECT_EQ(pick(List::Conductivity, 1, Close::Ok, "txtNs"), (Written{"", ""}));
}

} // namespace
