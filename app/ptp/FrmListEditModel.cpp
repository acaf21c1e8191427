#include "FrmListEditModel.h"

#include "NumberFormat.h"

#include <cmath>

namespace verdan {

FrmListEditModel::FrmListEditModel(PathState& path, QObject* parent)
    : ScreenModel(parent), m_path(path) {
    setCaption(QStringLiteral("Edit List"));
}

void FrmListEditModel::Form_Load() {
    m_path.ListEditAccepted = true;
    if (!m_path.ListEditHead1.trimmed().isEmpty())
        m_heading1 = m_path.ListEditHead1;
    if (!m_path.ListEditHead2.trimmed().isEmpty())
        m_heading2 = m_path.ListEditHead2;
    const std::size_t n = m_path.ListEditCol1.size();
    m_cells.assign(n, {0.0, 0.0});
    for (std::size_t k = 0; k < n; ++k) {
        m_cells[k][0] = m_path.ListEditCol1[k];
        m_cells[k][1] = k < m_path.ListEditCol2.size() ? m_path.ListEditCol2[k] : 0.0;
    }
    setCaption(m_path.ListEditTitle);
}

QString FrmListEditModel::heading(int column) const {
    return column == 1 ? m_heading1 : m_heading2;
}

double FrmListEditModel::cellValue(int row, int column) const {
    return m_cells.at(static_cast<std::size_t>(row - 1)).at(static_cast<std::size_t>(column - 1));
}

QString FrmListEditModel::cellText(int row, int column) const {
    return numfmt::formatPattern(cellValue(row, column), cellPattern());
}

bool FrmListEditModel::columnEditable(int column) const {
    return (column == 1 || column == 2) && m_editable.at(static_cast<std::size_t>(column - 1));
}

void FrmListEditModel::setColumnEditable(int column, bool editable) {
    if (column == 1 || column == 2)
        m_editable.at(static_cast<std::size_t>(column - 1)) = editable;
    emit changed();
}

bool FrmListEditModel::setCellText(int row, int column, const QString& text) {
    if (row < 1 || row > rowCount() || !columnEditable(column))
        return false;
    const QString t = text.trimmed();
    double value = 0;
    if (!t.isEmpty()) {
        bool ok = false;
        value = t.toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return false;
    }
    m_cells[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] = value;
    emit changed();
    return true;
}

void FrmListEditModel::readBack() {
    const std::size_t n = m_cells.size();
    m_path.ListEditCol1.resize(n);
    m_path.ListEditCol2.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        m_path.ListEditCol1[k] = m_cells[k][0];
        m_path.ListEditCol2[k] = m_cells[k][1];
    }
}

void FrmListEditModel::cmdClose_Click() {
    m_path.ListEditAccepted = true;
    readBack();
    requestClose();
}

void FrmListEditModel::cmdCancel_Click() {
    m_path.ListEditAccepted = false;
    requestClose();
}

void FrmListEditModel::closeBoxClicked() {
    if (m_path.ListEditAccepted)
        readBack();
    requestClose();
}

} // namespace verdan
