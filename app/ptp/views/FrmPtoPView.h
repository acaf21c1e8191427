#pragma once

#include "FrmPtoPModel.h"
#include "ViewRegistry.h"

#include <QDialog>
#include <QHash>
#include <array>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QAction;

namespace verdan {

/// The point-to-point form's window: mirrors FrmPtoPModel and forwards the user's events.
/// Leaving a field runs the model's _LostFocus handler once (fieldFocusStep(): focus that
/// goes to a menu or a message box is no leaving). No button is a default button; Enter in
/// a value box adds the value to its list.
class FrmPtoPView : public QDialog {
    Q_OBJECT
public:
    explicit FrmPtoPView(FrmPtoPModel& model, QWidget* parent = nullptr);

    /// The widget of a control by its name ("txtFrq", "cmdCalc", "picProfile", ...).
    QWidget* control(const QString& name) const { return m_controls.value(name); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* addField(const QString& name, const QString& toolTip);
    QPushButton* addButton(const QString& name, const QString& caption, const QString& toolTip);
    /// Runs the leaving step of field `name`; false when it showed a range message.
    bool leaveField(const QString& name);
    /// Runs the focused field's leaving step, if a field has the focus, without taking the
    /// focus away; false when it showed a range message.
    bool checkFocusedField();
    /// Runs `command` of the model when checkFocusedField() passes.
    void afterFieldCheck(void (FrmPtoPModel::*command)());
    void refresh();
    void refreshPicture();

    FrmPtoPModel& m_model;
    QHash<QString, QWidget*> m_controls;
    QHash<QObject*, QString> m_fieldNames;
    std::array<QLineEdit*, 2> m_newVal{};
    std::array<QListWidget*, 2> m_lists{};
    std::array<QPushButton*, 2> m_remove{};
    QLabel* m_picture = nullptr;
    QLabel* m_dorvex = nullptr;
    QComboBox* m_climate = nullptr;
    std::array<QRadioButton*, 2> m_pol{};
    QPushButton* m_editProfile = nullptr;
    QPushButton* m_report = nullptr;
    QAction* m_reportView = nullptr;
    QString m_focusedField;
    bool m_refreshing = false;
    bool m_pictureShown = false;
    bool m_backgroundShown = false;
    std::vector<float> m_shownElevations;
    std::optional<ProfileOverlay> m_shownOverlay;
    QAction* m_viewFresnel = nullptr;
};

/// Registers the views of the point-to-point screens ("frmPtoP", "frmListEdit").
void registerPtpViews(ViewRegistry& views);

} // namespace verdan
