#include "FrmListEditModel.h"

#include <gtest/gtest.h>

using namespace verdan;

namespace {

TEST(ListEdit, OkAndTheCloseBoxTakeTheEditsBack) {
    PathState path;
    path.ListEditHead2 = QStringLiteral("   ");
    path.ListEditCol1 = {0, 25.6, 51.2};
    path.ListEditCol2 = {1692, 1693.5, -2};
    FrmListEditModel editor{path};
    editor.Form_Load();
    ASSERT_EQ(editor.rowCount(), 3);
    EXPECT_EQ(editor.cellText(3, 2), "-2.000");
    EXPECT_EQ(editor.heading(2), "B") << "a blank heading keeps the grid's own";
    ASSERT_TRUE(editor.setCellText(2, 2, "1700.25"));
    ASSERT_TRUE(editor.setCellText(1, 1, "5"));
    EXPECT_TRUE(editor.setCellText(3, 2, ""));
    EXPECT_FALSE(editor.setCellText(2, 2, "high"));
    EXPECT_FALSE(editor.setCellText(4, 2, "1"));
    EXPECT_FALSE(editor.setCellText(1, 3, "1"));
    editor.closeBoxClicked();
    EXPECT_TRUE(editor.closeRequested());
    EXPECT_TRUE(path.ListEditAccepted);
    EXPECT_EQ(path.ListEditCol2, (std::vector<double>{1692, 1700.25, 0}));
    EXPECT_EQ(path.ListEditCol1, (std::vector<double>{5, 25.6, 51.2}));
}

} // namespace
