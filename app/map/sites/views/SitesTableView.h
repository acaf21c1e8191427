#pragma once

#include "SitesTableModel.h"

#include <QHash>
#include <QWidget>

class QLabel;
class QTableWidget;

namespace verdan {

class AntennaPolarWidget;

/// The sites table beside the planning map: a row per site with every column of the sites
/// file, edited in place; Open, Save, Save As, Add and Remove; the selected site's antenna
/// as polar plots below.
class SitesTableView : public QWidget {
    Q_OBJECT
public:
    explicit SitesTableView(SitesTableModel& model, QWidget* parent = nullptr);

    /// The widget of a control by its name ("grdSites", "cmdAdd", "polAntenna", ...).
    QWidget* control(const QString& name) const { return m_controls.value(name); }

private:
    QWidget* buildButtons();
    void refresh();

    SitesTableModel& m_model;
    QHash<QString, QWidget*> m_controls;
    QTableWidget* m_grid;
    QLabel* m_antenna;
    AntennaPolarWidget* m_polar;
    bool m_filling = false;
};

} // namespace verdan
