#include "FrmDriveSelectModel.h"

#include "DriveMap.h"

namespace verdan {

FrmDriveSelectModel::FrmDriveSelectModel(int currentDrive, QObject* parent)
    : ScreenModel(parent), m_currentDrive(currentDrive) {
    setCaption(QStringLiteral("Quarn Drive Select"));
}

void FrmDriveSelectModel::Form_Load() {
    m_items.clear();
    m_index = -1;
    const QString root = driveMapRoot();
    for (const QString& letter : driveLetters()) {
        if (driveNumber(letter) == m_currentDrive)
            m_index = static_cast<int>(m_items.size());
        m_items << letter + QStringLiteral(":  ") + root + u'/' + letter + u'/';
    }
    if (m_index < 0 && !m_items.isEmpty())
        m_index = 0;
    emit changed();
}

void FrmDriveSelectModel::setDrvQuarnIndex(int index) {
    m_index = index >= 0 && index < m_items.size() ? index : -1;
    emit changed();
}

int FrmDriveSelectModel::driveNumber(const QString& driveText) {
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    if (driveText.isEmpty())
        return -1;
    const auto p = letters.indexOf(driveText.at(0).toLower()) + 1;
    return p < 3 || p > 26 ? -1 : static_cast<int>(p) - 2;
}

void FrmDriveSelectModel::cmdOK_Click() {
    m_quarnDrive = driveNumber(m_index >= 0 ? m_items.at(m_index) : QString());
    requestClose();
}

void FrmDriveSelectModel::cmdCancel_Click() {
    m_quarnDrive = -1;
    requestClose();
}

} // namespace verdan
