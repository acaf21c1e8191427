#pragma once

#include "FrmListEditModel.h"

#include <QDialog>

class QTableWidget;
class QTableWidgetItem;

namespace verdan {

/// The profile point editor's window: a two-column QTableWidget with "&OK" and "C&ancel".
/// Escape discards the edits as "C&ancel" does; the close box keeps them as "&OK" does.
class FrmListEditView : public QDialog {
    Q_OBJECT
public:
    explicit FrmListEditView(FrmListEditModel& model, QWidget* parent = nullptr);

    /// The grid ("F1BListEdit").
    QTableWidget* grid() const { return m_grid; }
    /// Finishes the edit in progress so that the cell being typed into holds its new value.
    void finishEdit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cellEdited(QTableWidgetItem* item);

    FrmListEditModel& m_model;
    QTableWidget* m_grid;
    bool m_filling = false;
};

} // namespace verdan
