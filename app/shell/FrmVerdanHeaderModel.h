#pragma once

#include "ProgramState.h"
#include "ScreenModel.h"

namespace verdan {

/// The intro screen: the program's description and the "Show Next Time" choice.
class FrmVerdanHeaderModel : public ScreenModel {
    Q_OBJECT
public:
    explicit FrmVerdanHeaderModel(ProgramState& state, QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmVerdanHeader"); }

    /// The text shown in `txtIntro`, lines separated by "\n".
    static QString introText();

    QString Label1() const { return QStringLiteral("Solvane"); }
    QString txtIntro() const { return m_intro; }
    bool chkShow() const { return m_show; }
    void setChkShow(bool checked);

    /// Fills the text and sets the check box from ShowIntro.
    void Form_Load();
    /// ShowIntro follows the check box; nothing is written to the settings here.
    void Form_Unload();
    void cmdOK_Click() { requestClose(); }

private:
    ProgramState& m_state;
    QString m_intro;
    bool m_show = false;
};

} // namespace verdan
