#pragma once

#include "ProgramState.h"
#include "ScreenModel.h"

#include <array>

namespace verdan {

/// The confidence level picker "frmConfLevel": offers the levels of
/// ProgramState::ConfLevelChoices (percent, shown as whole numbers; a 0 ends the list) and returns
/// the one picked in ProgramState::ConfLevelChosen; 0 when the window was closed with Cancel,
/// Escape or its close box.
class FrmConfLevelModel : public ScreenModel {
    Q_OBJECT
public:
    /// One option of optConfLev.
    struct Option {
        QString caption;
        bool visible = false;
        bool value = false; ///< selected
    };
    /// `state` must outlive the picker.
    explicit FrmConfLevelModel(ProgramState& state, QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmConfLevel"); }

    static QString labelText() { return QStringLiteral("Select Confidence Level"); }

    const Option& optConfLev(int index) const { return m_options.at(index); }
    /// Number of options shown.
    int shownOptions() const { return m_shown; }

    /// ConfLevelChosen = 0; options 0 to 3 show the choices up to the first 0 as
    /// "<level> %"; the rest are hidden (the dialog's layout then leaves them out).
    void Form_Load();
    /// Selects option `index` (a shown one) and clears the others.
    void optConfLev_Click(int index);
    /// True when an option is selected, so that OK can choose it.
    bool cmdOKEnabled() const;
    /// ConfLevelChosen = the level of the selected option; then closes. Without a selection
    /// nothing happens: the picker stays open.
    void cmdOK_Click();
    /// Cancel closes without choosing: ConfLevelChosen stays 0.
    void cmdCancel_Click() { requestClose(); }
    /// The close box and Escape close without choosing, as Cancel does.
    void closeBoxClicked() override { cmdCancel_Click(); }

private:
    ProgramState& m_state;
    std::array<Option, 4> m_options{};
    int m_shown = 0;
};

} // namespace verdan
