#include "FrmSurfRefModel.h"

#include "NumberFormat.h"

namespace verdan {

FrmSurfRefModel::FrmSurfRefModel(ModeForms& forms, QObject* parent)
    : ScreenModel(parent), m_forms(forms) {
    setCaption(QStringLiteral("Surface Refractivity"));
}

QStringList FrmSurfRefModel::optionCaptions() {
    return {QStringLiteral("Equatorial  (Congo)   360"),
            QStringLiteral("Continental Subtropical  (Sudan)   320"),
            QStringLiteral("Maritime Subtropical  (West Coast of Africa)   370"),
            QStringLiteral("Desert  (Sahara)   280"),
            QStringLiteral("Continental Temperate  (Use for Avg. Atmospheric Conditions)   301"),
            QStringLiteral("Maritime Temperate, Over Land  (UK and Continental West Coast)   320"),
            QStringLiteral("Maritime Temperate,  Over Sea  350")};
}

void FrmSurfRefModel::Form_Load() {
    m_chosenN = 301;
    m_selected = 4;
    emit changed();
}

void FrmSurfRefModel::Option1_Click(int index) {
    const QStringList captions = optionCaptions();
    if (index < 0 || index >= captions.size())
        return;
    m_selected = index;
    m_chosenN = numfmt::leadingNumber(captions.at(index).right(3));
    emit changed();
}

void FrmSurfRefModel::cmdOK_Click() {
    const QString value = numfmt::generalNumber(m_chosenN);
    m_forms.areaForm().setFieldText(QStringLiteral("txtNs"), value);
    if (ModeFormFields* pointToPoint = m_forms.pointToPointForm())
        pointToPoint->setFieldText(QStringLiteral("txtns"), value);
    requestClose();
}

} // namespace verdan
