#pragma once

#include "ModeForms.h"
#include "ProgramState.h"
#include "ScreenModel.h"

#include <QStringList>

namespace verdan {

/// The ground constants pick-list "frmDC_Cond": five typical grounds for the conductivity or
/// the dielectric constant. The opening form sets ProgramState::PickTarget ("txtsgm" or
/// "txteps"), the caption and the five option captions; OK writes the chosen value into that
/// field of both mode forms.
class FrmDC_CondModel : public ScreenModel {
    Q_OBJECT
public:
    /// `state` and `forms` must outlive the pick-list.
    FrmDC_CondModel(ProgramState& state, ModeForms& forms, QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmDC_Cond"); }

    /// The frame's caption.
    static QString frameCaption() { return QStringLiteral("Selections"); }
    /// The label under the options.
    static QString labelText() { return QStringLiteral("For Most Purposes Select Average Ground"); }
    /// The option captions the dialog has before the opening form sets its own.
    static QStringList designCaptions();
    /// Caption and option captions for conductivity ("txtsgm") and for the dielectric
    /// constant ("txteps"); each option caption ends in its value.
    static QString conductivityCaption() { return QStringLiteral("Conductivity of Ground"); }
    static QStringList conductivityOptions();
    static QString dielectricCaption() { return QStringLiteral("Dielectric Constant of Ground"); }
    static QStringList dielectricOptions();

    /// The captions of optChartSelect(0) to optChartSelect(4).
    QStringList optChartSelectCaptions() const { return m_captions; }
    /// Replaces the five option captions (the opening form does this before showing).
    void setOptChartSelectCaptions(const QStringList& captions);
    /// The selected option, -1 for none.
    int optChartSelect() const { return m_selected; }
    /// The value OK writes.
    double chosenValue() const { return m_chosen; }

    /// The chosen value is that of Average Ground for the target (15 for "txteps", 0.005 for
    /// "txtsgm", and option 0 is shown selected); any other target leaves it 0.
    void Form_Load();
    /// Selects option `index` (0 to 4); its value is the number at the start of the last five
    /// characters of its caption, leading blanks skipped. Other indices are ignored.
    void optChartSelect_Click(int index);
    /// Writes the chosen value into the target field of both mode forms ("txteps" or
    /// "txtsgm"; any other target writes nothing) and closes.
    void cmdOK_Click();
    /// Closes without writing.
    void cmdCancel_Click() { requestClose(); }

private:
    ProgramState& m_state;
    ModeForms& m_forms;
    QStringList m_captions;
    int m_selected = -1;
    double m_chosen = 0;
};

} // namespace verdan
