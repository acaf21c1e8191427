#include "FrmDeltaHModel.h"

#include "NumberFormat.h"

#include <array>

namespace verdan {

namespace {
constexpr std::array<double, 5> kValuesM{0, 30, 90, 200, 500};
} // namespace

FrmDeltaHModel::FrmDeltaHModel(ModeForms& forms, QObject* parent)
    : ScreenModel(parent), m_forms(forms) {
    setCaption(QStringLiteral("delta h - Terrain Irregularity Parameter"));
}

QStringList FrmDeltaHModel::optionCaptions() {
    return {QStringLiteral("Flat or Water  0 m"), QStringLiteral("Plains  30 m"),
            QStringLiteral("Hills (Use for Avg. Terrain)  90 m"),
            QStringLiteral("Mountains  200 m"), QStringLiteral("Rugged Mountains  500 m")};
}

double FrmDeltaHModel::optionValueM(int index) {
    return kValuesM.at(static_cast<std::size_t>(index));
}

void FrmDeltaHModel::Form_Load() {
    m_chosenM = 90;
    m_selected = 2;
    emit changed();
}

void FrmDeltaHModel::Option1_Click(int index) {
    if (index < 0 || index >= static_cast<int>(kValuesM.size()))
        return;
    m_selected = index;
    m_chosenM = optionValueM(index);
    emit changed();
}

void FrmDeltaHModel::cmdOK_Click() {
    m_forms.areaForm().setFieldText(QStringLiteral("txtDH"), numfmt::generalNumber(m_chosenM));
    requestClose();
}

} // namespace verdan
