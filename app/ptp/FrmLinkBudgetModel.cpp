#include "FrmLinkBudgetModel.h"

namespace verdan {

FrmLinkBudgetModel::FrmLinkBudgetModel(SettingsStore& store, Prompter& prompter, QString app,
                                       QObject* parent)
    : ScreenModel(parent), m_prompter(prompter), m_group(store, prompter, std::move(app)) {
    setCaption(QStringLiteral("Link Budget"));
    connect(&m_group, &ScreenModel::changed, this, &ScreenModel::changed);
}

void FrmLinkBudgetModel::cmdOK_Click() {
    // Refused before the group remembers anything.
    if (m_group.text(LinkBudgetModel::txtPower).trimmed().isEmpty()) {
        inform(m_prompter,
               QStringLiteral("Transmitter power: give the transmitter's power; the receiver's "
                              "values and the threshold are reckoned from it"),
               caption(), MsgIcon::Warning);
        return;
    }
    std::optional<LinkBudgetInputs> inputs = m_group.inputs();
    if (!inputs)
        return;
    m_accepted = std::move(inputs);
    requestClose();
}

} // namespace verdan
