#include "FrmConfLevelModel.h"

namespace verdan {

FrmConfLevelModel::FrmConfLevelModel(ProgramState& state, QObject* parent)
    : ScreenModel(parent), m_state(state) {
    setCaption(QStringLiteral("Confidence Level"));
}

void FrmConfLevelModel::Form_Load() {
    m_state.ConfLevelChosen = 0;
    m_shown = 0;
    for (std::size_t i = 0; i < m_options.size(); ++i) {
        Option& option = m_options[i];
        option.value = false;
        option.visible = false;
        if (m_shown == static_cast<int>(i) && m_state.ConfLevelChoices[i] != 0) {
            option.caption =
                QString::number(qRound(m_state.ConfLevelChoices[i])) + QStringLiteral(" %");
            option.visible = true;
            ++m_shown;
        }
    }
    emit changed();
}

void FrmConfLevelModel::optConfLev_Click(int index) {
    if (index < 0 || index >= m_shown)
        return;
    for (std::size_t i = 0; i < m_options.size(); ++i)
        m_options[i].value = static_cast<int>(i) == index;
    emit changed();
}

bool FrmConfLevelModel::cmdOKEnabled() const {
    for (int i = 0; i < m_shown; ++i) {
        if (m_options.at(i).value)
            return true;
    }
    return false;
}

void FrmConfLevelModel::cmdOK_Click() {
    for (int i = 0; i < m_shown; ++i) {
        if (m_options.at(i).value) {
            m_state.ConfLevelChosen = m_state.ConfLevelChoices.at(i);
            requestClose();
            return;
        }
    }
}

} // namespace verdan
