#pragma once

#include "LinkBudgetModel.h"
#include "ScreenModel.h"

#include <optional>

namespace verdan {

/// The point-to-point form's "Link Budget..." dialog "frmLinkBudget": the link budget group
/// (remembered between runs in the settings store, section "Link Budget" of application
/// `app`) with OK and Cancel. OK takes the inputs when every field is good and a transmitter
/// power is given (the block starts from it), and closes; a fault is told in a message box and
/// the dialog stays open. Cancel closes without inputs.
class FrmLinkBudgetModel : public ScreenModel {
    Q_OBJECT
public:
    FrmLinkBudgetModel(SettingsStore& store, Prompter& prompter, QString app,
                       QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmLinkBudget"); }

    LinkBudgetModel& group() { return m_group; }
    /// Reads the remembered texts.
    void Form_Load() { m_group.Form_Load(); }
    void cmdOK_Click();
    void cmdCancel_Click() { requestClose(); }

    /// The inputs OK took; empty after Cancel or the close box.
    const std::optional<LinkBudgetInputs>& accepted() const { return m_accepted; }

private:
    Prompter& m_prompter;
    LinkBudgetModel m_group;
    std::optional<LinkBudgetInputs> m_accepted;
};

} // namespace verdan
