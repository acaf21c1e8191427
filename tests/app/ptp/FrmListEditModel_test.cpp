#include "FrmListEditModel.h"

#include <gtest/gtest.h>

using namespace verdan;

namespace {

class ListEdit : public ::testing::Test {
protected:
    ListEdit() {
        path.ListEditTitle = QStringLiteral("Profile Points");
        path.ListEditHead1 = QStringLiteral("Dist(m)");
        path.ListEditHead2 = QStringLiteral("Height(m)");
        path.ListEditCol1 = {0, 25.6, 51.2};
        path.ListEditCol2 = {1692, 1693.5, -2};
        path.ListEditAccepted = false;
    }
    PathState path;
};

TEST_F(ListEdit, OpensWithCaptionHeadingsAndOneRowPerElement) {
    FrmListEditModel editor(path);
    EXPECT_EQ(editor.caption(), "Edit List");
    editor.Form_Load();
    EXPECT_TRUE(path.ListEditAccepted);
    EXPECT_EQ(editor.caption(), "Profile Points");
    EXPECT_EQ(editor.heading(1), "Dist(m)");
    EXPECT_EQ(editor.heading(2), "Height(m)");
    EXPECT_EQ(editor.rowCount(), 3);
    EXPECT_EQ(editor.cellText(1, 1), "0.000");
    EXPECT_EQ(editor.cellText(2, 1), "25.600");
    EXPECT_EQ(editor.cellText(2, 2), "1693.500");
    EXPECT_EQ(editor.cellText(3, 2), "-2.000");
}

TEST_F(ListEdit, BlankHeadingsKeepTheGridsOwn) {
    path.ListEditHead1 = QStringLiteral("   ");
    path.ListEditHead2.clear();
    FrmListEditModel editor(path);
    editor.Form_Load();
    EXPECT_EQ(editor.heading(1), "A");
    EXPECT_EQ(editor.heading(2), "B");
}

TEST_F(ListEdit, OkTakesTheEditsBack) {
    FrmListEditModel editor(path);
    editor.Form_Load();
    ASSERT_TRUE(editor.setCellText(2, 2, "1700.25"));
    ASSERT_TRUE(editor.setCellText(1, 1, "5"));
    editor.cmdClose_Click();
    EXPECT_TRUE(editor.closeRequested());
    EXPECT_TRUE(path.ListEditAccepted);
    EXPECT_EQ(path.ListEditCol2, (std::vector<double>{1692, 1700.25, -2}));
    EXPECT_EQ(path.ListEditCol1, (std::vector<double>{5, 25.6, 51.2}));
}

TEST_F(ListEdit, CancelLeavesBothArraysAndRefuses) {
    FrmListEditModel editor(path);
    editor.Form_Load();
    editor.setCellText(1, 2, "9999");
    editor.cmdCancel_Click();
    EXPECT_TRUE(editor.closeRequested());
    EXPECT_FALSE(path.ListEditAccepted);
    EXPECT_EQ(path.ListEditCol2, (std::vector<double>{1692, 1693.5, -2}));
}

TEST_F(ListEdit, CloseBoxAfterEditingBehavesLikeOk) {
    FrmListEditModel editor(path);
    editor.Form_Load();
    editor.setCellText(3, 2, "12");
    editor.closeBoxClicked();
    EXPECT_TRUE(editor.closeRequested());
    EXPECT_TRUE(path.ListEditAccepted);
    EXPECT_EQ(path.ListEditCol2[2], 12);
}

TEST_F(ListEdit, EmptiedCellReadsZeroAndTextIsRefused) {
    FrmListEditModel editor(path);
    editor.Form_Load();
    EXPECT_TRUE(editor.setCellText(1, 2, ""));
    EXPECT_FALSE(editor.setCellText(2, 2, "high"));
    EXPECT_FALSE(editor.setCellText(4, 2, "1"));
    EXPECT_FALSE(editor.setCellText(1, 3, "1"));
    EXPECT_EQ(editor.cellText(2, 2), "1693.500");
    editor.cmdClose_Click();
    EXPECT_EQ(path.ListEditCol2, (std::vector<double>{0, 1693.5, -2}));
    EXPECT_EQ(path.ListEditCol1.size(), 3U);
}

TEST_F(ListEdit, EightHundredPointsOpenWithEightHundredRows) {
    path.ListEditCol1.assign(800, 1.0);
    path.ListEditCol2.assign(800, 2.0);
    FrmListEditModel editor(path);
    editor.Form_Load();
    EXPECT_EQ(editor.rowCount(), 800);
}

} // namespace
