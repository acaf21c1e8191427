#pragma once

#include "ScreenModel.h"

#include <QStringList>

namespace verdan {

/// The drive picker "frmDriveSelect" ("Quarn Drive Select"): the drive list drvQuarn shows
/// the drive folders of the drive map ("c:  /home/.../drives/c/"); OK turns the chosen
/// drive's letter into a drive number (C = 1 .. Z = 24), Cancel gives -1.
class FrmDriveSelectModel : public ScreenModel {
    Q_OBJECT
public:
    /// `currentDrive` (1 = C .. 24 = Z) is preselected when its folder is listed.
    explicit FrmDriveSelectModel(int currentDrive, QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmDriveSelect"); }

    /// The items of drvQuarn: each starts with its drive letter.
    QStringList drvQuarn() const { return m_items; }
    /// The drive shown in drvQuarn (index into drvQuarn(), -1 for none).
    int drvQuarnIndex() const { return m_index; }
    void setDrvQuarnIndex(int index);
    /// The label beside the list.
    static QString lblQuarnDrive() { return QStringLiteral("Quarn Drive"); }

    /// Fills drvQuarn from the drive map.
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void closeBoxClicked() override { cmdCancel_Click(); }

    /// The result: 1..24 after OK with a drive C..Z, -1 after Cancel or for drives A and B.
    int QuarnDrive() const { return m_quarnDrive; }

    /// Drive number of the first character of `driveText`: its position p in the alphabet
    /// less 2, or -1 when p is below 3 (A, B, no letter) or above 26.
    static int driveNumber(const QString& driveText);

private:
    QStringList m_items;
    int m_index = -1;
    int m_currentDrive;
    int m_quarnDrive = -1;
};

} // namespace verdan
