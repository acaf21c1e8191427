#include "FrmListEditView.h"

#include "ViewRegistry.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace verdan {

FrmListEditView::FrmListEditView(FrmListEditModel& model, QWidget* parent)
    : QDialog(parent), m_model(model), m_grid(new QTableWidget(this)) {
    bindDialogToModel(*this, model);
    // Runs before the close-box handling of bindDialogToModel: the typed value is kept.
    installEventFilter(this);
    m_grid->setObjectName(QStringLiteral("F1BListEdit"));
    m_grid->setColumnCount(2);
    m_grid->setRowCount(model.rowCount());
    m_grid->setHorizontalHeaderLabels({model.heading(1), model.heading(2)});
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_filling = true;
    for (int row = 1; row <= model.rowCount(); ++row) {
        for (int column = 1; column <= 2; ++column) {
            auto* item = new QTableWidgetItem(model.cellText(row, column));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!model.columnEditable(column))
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            m_grid->setItem(row - 1, column - 1, item);
        }
    }
    m_filling = false;
    connect(m_grid, &QTableWidget::itemChanged, this, &FrmListEditView::cellEdited);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("cmdClose"));
    auto* cancel = new QPushButton(QStringLiteral("C&ancel"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] {
        finishEdit();
        m_model.cmdClose_Click();
    });
    connect(cancel, &QPushButton::clicked, &m_model, &FrmListEditModel::cmdCancel_Click);
    resize(360, 480);
}

void FrmListEditView::finishEdit() {
    // The open cell editor is the visible widget on the grid's viewport.
    const auto editors = m_grid->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* editor : editors) {
        if (!editor->isVisible())
            continue;
        QMetaObject::invokeMethod(m_grid, "commitData", Q_ARG(QWidget*, editor));
        QMetaObject::invokeMethod(
            m_grid, "closeEditor", Q_ARG(QWidget*, editor),
            Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
    }
}

bool FrmListEditView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this && event->type() == QEvent::Close)
        finishEdit();
    // Escape discards the edits as Cancel does (a cell being typed in takes its own Escape).
    if (watched == this && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_model.cmdCancel_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmListEditView::cellEdited(QTableWidgetItem* item) {
    if (m_filling)
        return;
    const int row = item->row() + 1;
    const int column = item->column() + 1;
    if (row > m_model.rowCount())
        return;
    m_model.setCellText(row, column, item->text());
    m_filling = true;
    item->setText(m_model.cellText(row, column));
    m_filling = false;
}

} // namespace verdan
