#pragma once

#include "FrmProfileModel.h"
#include "ViewRegistry.h"

#include <QDialog>
#include <QHash>
#include <array>
#include <vector>

class QLabel;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

namespace verdan {

/// The path coordinates form's window: mirrors FrmProfileModel and forwards the user's
/// events. A box that gets the focus selects its text; leaving it runs the model's rule.
/// Each box has a heading and a tooltip; the hemisphere boxes stay in view with the
/// decimal-degree boxes. F1 opens the help.
class FrmProfileView : public QDialog {
    Q_OBJECT
public:
    explicit FrmProfileView(FrmProfileModel& model, QWidget* parent = nullptr);

    /// The widget of a control by its name ("txtTransLat0", "txtTLat", "optDorvex1",
    /// "cmdCalc", ...).
    QWidget* control(const QString& name) const { return m_controls.value(name); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* addBox(const QString& name, int width);
    /// The raster file or folder line and its two choosers, under the source options.
    void addRasterChooser(QVBoxLayout& layout, QWidget& frame);
    void refresh();

    FrmProfileModel& m_model;
    QHash<QString, QWidget*> m_controls;
    std::array<std::array<QLineEdit*, 4>, FrmProfileModel::CoordinateCount> m_boxes{};
    std::array<QLineEdit*, FrmProfileModel::CoordinateCount> m_dd{};
    std::array<QRadioButton*, 3> m_dorvex{};
    std::vector<QLabel*> m_dmsHeadings;
    QLabel* m_raster = nullptr;
    bool m_refreshing = false;
};

/// Registers the views of "frmProfile" and "frmDriveSelect".
void registerProfileViews(ViewRegistry& views);

} // namespace verdan
