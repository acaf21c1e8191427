#include "FrmDC_CondModel.h"

#include "NumberFormat.h"

namespace verdan {

namespace {
const QString kConductivity = QStringLiteral("txtsgm");
const QString kDielectric = QStringLiteral("txteps");
} // namespace

FrmDC_CondModel::FrmDC_CondModel(ProgramState& state, ModeForms& forms, QObject* parent)
    : ScreenModel(parent), m_state(state), m_forms(forms), m_captions(designCaptions()) {
    setCaption(QStringLiteral("Dielectric Constant"));
}

QStringList FrmDC_CondModel::designCaptions() {
    return {QStringLiteral("Average Ground"), QStringLiteral("Poor Ground"),
            QStringLiteral("Good Ground"), QStringLiteral("Fresh Water"),
            QStringLiteral("Sea Water")};
}

QStringList FrmDC_CondModel::conductivityOptions() {
    return {QStringLiteral("Average Ground   0.005"), QStringLiteral("Poor Ground   0.001"),
            QStringLiteral("Good Ground   0.020"), QStringLiteral("Fresh Water   0.010"),
            QStringLiteral("Sea Water     5.0  ")};
}

QStringList FrmDC_CondModel::dielectricOptions() {
    return {QStringLiteral("Average Ground      15"), QStringLiteral("Poor Ground       4"),
            QStringLiteral("Good Ground      25"), QStringLiteral("Fresh Water      81"),
            QStringLiteral("Sea Water        81")};
}

void FrmDC_CondModel::setOptChartSelectCaptions(const QStringList& captions) {
    m_captions = captions;
    emit changed();
}

void FrmDC_CondModel::Form_Load() {
    m_chosen = 0;
    m_selected = -1;
    if (m_state.PickTarget == kDielectric) {
        m_chosen = 15;
        m_selected = 0;
    } else if (m_state.PickTarget == kConductivity) {
        m_chosen = 0.005;
        m_selected = 0;
    }
    emit changed();
}

void FrmDC_CondModel::optChartSelect_Click(int index) {
    if (index < 0 || index >= m_captions.size())
        return;
    m_selected = index;
    m_chosen = numfmt::leadingNumber(m_captions.at(index).right(5));
    emit changed();
}

void FrmDC_CondModel::cmdOK_Click() {
    const QString& target = m_state.PickTarget;
    if (target == kDielectric || target == kConductivity) {
        const QString value = numfmt::generalNumber(m_chosen);
        m_forms.areaForm().setFieldText(target, value);
        if (ModeFormFields* pointToPoint = m_forms.pointToPointForm())
            pointToPoint->setFieldText(target, value);
    }
    requestClose();
}

} // namespace verdan
