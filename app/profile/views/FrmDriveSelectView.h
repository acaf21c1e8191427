#pragma once

#include "FrmDriveSelectModel.h"

#include <QDialog>

class QComboBox;

namespace verdan {

/// The drive picker's window: the drive list drvQuarn, "OK" and "Cancel".
class FrmDriveSelectView : public QDialog {
    Q_OBJECT
public:
    explicit FrmDriveSelectView(FrmDriveSelectModel& model, QWidget* parent = nullptr);

    QComboBox* drvQuarn() const { return m_drives; }

private:
    FrmDriveSelectModel& m_model;
    QComboBox* m_drives;
};

} // namespace verdan
