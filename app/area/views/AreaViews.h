#pragma once

#include "FrmConfLevelModel.h"
#include "FrmDC_CondModel.h"
#include "FrmDeltaHModel.h"
#include "FrmSurfRefModel.h"
#include "FrmUAMModel.h"
#include "ViewRegistry.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <map>

class QAction;
class QButtonGroup;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace verdan {

/// The area-mode parameter form. Every control bears its control name as object name. The
/// view tells the model when a field is entered and left (fieldFocusStep()): focus that
/// leaves for a menu or another window (a message box) is not a leaving, so a run from the
/// menu uses the text as typed; focus that comes back to another field, also with the
/// window's re-activation, leaves the previous field and enters the new one.
class FrmUAMView : public QDialog {
    Q_OBJECT
public:
    explicit FrmUAMView(FrmUAMModel& model, QWidget* parent = nullptr);

    /// The line edit of the field `name`, nullptr for none.
    QLineEdit* edit(const QString& name) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// A field with its label (or labelling button) and unit label.
    struct FieldWidgets {
        QLineEdit* edit = nullptr;
        QWidget* label = nullptr;
        QLabel* unit = nullptr;
    };

    QLineEdit* makeEdit(const FrmUAMModel::FieldInfo& info);
    QComboBox* makeCombo(const QString& name, const ComboField& list);
    void addField(QGridLayout* grid, int row, const QString& name, QWidget* label);
    void buildMenus(QMenuBar* bar);
    void refresh();

    FrmUAMModel& m_model;
    std::map<QString, FieldWidgets> m_fields;
    std::map<QString, QComboBox*> m_combos;
    std::array<QRadioButton*, 2> m_optPol{};
    QPushButton* m_cmdCalc = nullptr;
    QPushButton* m_cmdReport = nullptr;
    QPushButton* m_cmdGraph = nullptr;
    QPushButton* m_cmdSaveData = nullptr;
    QAction* m_mnuReportView = nullptr;
    QAction* m_mnuGraphView = nullptr;
};

/// The terrain irregularity pick-list.
class FrmDeltaHView : public QDialog {
    Q_OBJECT
public:
    explicit FrmDeltaHView(FrmDeltaHModel& model, QWidget* parent = nullptr);

private:
    FrmDeltaHModel& m_model;
};

/// The ground constants pick-list.
class FrmDC_CondView : public QDialog {
    Q_OBJECT
public:
    explicit FrmDC_CondView(FrmDC_CondModel& model, QWidget* parent = nullptr);

private:
    FrmDC_CondModel& m_model;
};

/// The surface refractivity pick-list.
class FrmSurfRefView : public QDialog {
    Q_OBJECT
public:
    explicit FrmSurfRefView(FrmSurfRefModel& model, QWidget* parent = nullptr);

private:
    FrmSurfRefModel& m_model;
};

/// The confidence level picker, sized to the options it shows.
class FrmConfLevelView : public QDialog {
    Q_OBJECT
public:
    explicit FrmConfLevelView(FrmConfLevelModel& model, QWidget* parent = nullptr);

private:
    FrmConfLevelModel& m_model;
};

/// Registers the views of the area mode's screens.
void registerAreaViews(ViewRegistry& views);

} // namespace verdan
