#include "SitesTableView.h"

#include "AntennaPolarWidget.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace verdan {

SitesTableView::SitesTableView(SitesTableModel& model, QWidget* parent)
    : QWidget(parent), m_model(model), m_grid(new QTableWidget(this)), m_antenna(new QLabel(this)),
      m_polar(new AntennaPolarWidget(this)) {
    m_grid->setColumnCount(SitesTableModel::columnCount());
    QStringList headers;
    for (int c = 0; c < SitesTableModel::columnCount(); ++c)
        headers << SitesTableModel::columnName(c);
    m_grid->setHorizontalHeaderLabels(headers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_antenna->setWordWrap(true);
    m_controls.insert(QStringLiteral("grdSites"), m_grid);
    m_controls.insert(QStringLiteral("lblAntenna"), m_antenna);
    m_controls.insert(QStringLiteral("polAntenna"), m_polar);
    connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_filling)
            m_model.setCell(item->row(), item->column(), item->text());
    });
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!m_filling && row != m_model.selectedRow())
            m_model.setSelectedRow(row);
    });
    auto* column = new QVBoxLayout(this);
    column->addWidget(buildButtons());
    column->addWidget(m_grid, 1);
    column->addWidget(m_antenna);
    column->addWidget(m_polar);
    connect(&m_model, &ScreenModel::changed, this, &SitesTableView::refresh);
    connect(&m_model, &SitesTableModel::sitesChanged, this, &SitesTableView::refresh);
    refresh();
}

QWidget* SitesTableView::buildButtons() {
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    int placed = 0;
    // Two rows of three: the table stays narrow enough to dock beside the map.
    const auto button = [&](const char* name, const QString& text, auto handler) {
        auto* b = new QPushButton(text, panel);
        m_controls.insert(QString::fromLatin1(name), b);
        connect(b, &QPushButton::clicked, this, handler);
        grid->addWidget(b, placed / 3, placed % 3);
        ++placed;
    };
    button("cmdOpen", QStringLiteral("&Open..."), [this] { m_model.mnuOpen_Click(); });
    button("cmdSave", QStringLiteral("&Save"), [this] { m_model.mnuSave_Click(); });
    button("cmdSaveAs", QStringLiteral("Save &As..."), [this] { m_model.mnuSaveAs_Click(); });
    button("cmdAdd", QStringLiteral("A&dd"), [this] { m_model.cmdAdd_Click(); });
    button("cmdRemove", QStringLiteral("Re&move"), [this] { m_model.removeSite(m_model.selectedRow()); });
    return panel;
}

void SitesTableView::refresh() {
    m_filling = true;
    m_grid->setRowCount(m_model.rowCount());
    for (int r = 0; r < m_model.rowCount(); ++r) {
        for (int c = 0; c < SitesTableModel::columnCount(); ++c) {
            QTableWidgetItem* item = m_grid->item(r, c);
            if (!item)
                m_grid->setItem(r, c, item = new QTableWidgetItem);
            if (item->text() != m_model.cell(r, c))
                item->setText(m_model.cell(r, c));
        }
    }
    if (m_model.selectedRow() != m_grid->currentRow() && m_model.selectedRow() >= 0)
        m_grid->setCurrentCell(m_model.selectedRow(), std::max(0, m_grid->currentColumn()));
    m_filling = false;
    m_controls.value(QStringLiteral("cmdRemove"))->setEnabled(m_model.selectedRow() >= 0);
    m_antenna->setText(m_model.lblAntenna());
    m_polar->setPattern(m_model.pattern(), m_model.pointing());
    setWindowTitle(m_model.caption() + (m_model.dirty() ? QStringLiteral(" *") : QString()));
}

} // namespace verdan
