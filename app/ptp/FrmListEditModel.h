#pragma once

#include "PathState.h"
#include "ScreenModel.h"

#include <QString>
#include <array>
#include <vector>

namespace verdan {

/// The profile point editor: two parallel columns of numbers in a grid, taken from and given
/// back to the hand-over values of PathState (ListEditTitle, ListEditHead1/2, ListEditCol1/2,
/// ListEditAccepted). Rows and columns count from 1, as the grid shows them.
class FrmListEditModel : public ScreenModel {
    Q_OBJECT
public:
    explicit FrmListEditModel(PathState& path, QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmListEdit"); }

    /// The number format of the grid's cells.
    static QString cellPattern() { return QStringLiteral("#####0.000"); }

    /// Opening: accepted True, headings and caption from the hand-over, one grid row per
    /// element of the columns.
    void Form_Load();
    /// "&OK": the cells are read back into the columns and the screen closes.
    void cmdClose_Click();
    /// "C&ancel": the columns keep their values, ListEditAccepted is False.
    void cmdCancel_Click();
    /// The close box: like OK unless Cancel was pressed.
    void closeBoxClicked() override;

    /// Heading of grid column `column` (1 or 2): the grid's own "A" / "B" unless the caller
    /// gave a heading that is not blank.
    QString heading(int column) const;
    /// Number of grid rows.
    int rowCount() const { return static_cast<int>(m_cells.size()); }
    /// The number in cell (row, column), rows 1..rowCount(), columns 1..2.
    double cellValue(int row, int column) const;
    /// The cell's text as the grid shows it ("#####0.000").
    QString cellText(int row, int column) const;
    /// True when the user may type into column `column` (1 or 2); both may after loading.
    bool columnEditable(int column) const;
    /// Lets the user type into column `column` (1 or 2), or not: the column is shown only.
    void setColumnEditable(int column, bool editable);
    /// The user typed `text` into the cell: an empty text reads 0; a number (C locale) is
    /// taken; anything else, and a cell of a column that is not editable, is refused (false)
    /// and the cell keeps its value.
    bool setCellText(int row, int column, const QString& text);

    /// Cancel was not pressed.
    bool accepted() const { return m_path.ListEditAccepted; }

private:
    void readBack();

    PathState& m_path;
    QString m_heading1 = QStringLiteral("A");
    QString m_heading2 = QStringLiteral("B");
    std::vector<std::array<double, 2>> m_cells;
    std::array<bool, 2> m_editable{true, true};
};

} // namespace verdan
