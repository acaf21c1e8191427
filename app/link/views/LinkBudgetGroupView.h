#pragma once

#include "LinkBudgetModel.h"

#include <QGroupBox>
#include <QHash>

class QComboBox;
class QLabel;
class QRadioButton;

namespace verdan {

class AntennaPolarWidget;

/// The link budget group of the planning map: the model's fields with their unit boxes, the
/// choice of a fixed gain or an antenna file, and the polar preview of the file's pattern.
class LinkBudgetGroupView : public QGroupBox {
    Q_OBJECT
public:
    explicit LinkBudgetGroupView(LinkBudgetModel& model, QWidget* parent = nullptr);

    /// The widget of a control by its name ("txtPower", "cmbPowerUnit", "polAntenna", ...).
    QWidget* control(const QString& name) const { return m_controls.value(name); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildTransmitter();
    QWidget* buildReceiver();
    QWidget* edit(LinkBudgetModel::Field field, const QString& tip);
    QComboBox* units(const QString& name, const QStringList& items, void (LinkBudgetModel::*set)(int));
    void refresh();

    LinkBudgetModel& m_model;
    QHash<QString, QWidget*> m_controls;
    QHash<QObject*, LinkBudgetModel::Field> m_fields;
    QComboBox* m_powerUnit = nullptr;
    QComboBox* m_gainUnit = nullptr;
    QComboBox* m_thresholdUnit = nullptr;
    QRadioButton* m_fixedGain = nullptr;
    QRadioButton* m_antennaFile = nullptr;
    QLabel* m_antenna = nullptr;
    AntennaPolarWidget* m_polar = nullptr;
};

} // namespace verdan
