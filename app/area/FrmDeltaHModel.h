#pragma once

#include "ModeForms.h"
#include "ScreenModel.h"

#include <QStringList>

namespace verdan {

/// The terrain irregularity pick-list "frmDeltaH": five typical values of delta h; OK
/// writes the chosen one into txtDH of the area form.
class FrmDeltaHModel : public ScreenModel {
    Q_OBJECT
public:
    /// `forms` must outlive the pick-list.
    explicit FrmDeltaHModel(ModeForms& forms, QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmDeltaH"); }

    /// The frame's caption.
    static QString frameCaption() { return QStringLiteral("delta h"); }
    /// The captions of the options Option1(0) to Option1(4).
    static QStringList optionCaptions();
    /// The value of option `index` in metres (0, 30, 90, 200, 500).
    static double optionValueM(int index);

    /// The selected option, -1 for none.
    int Option1() const { return m_selected; }
    /// The value OK writes, in metres.
    double chosenValueM() const { return m_chosenM; }

    /// The chosen value is 90 m and option 2 is selected.
    void Form_Load();
    /// Selects option `index` (0 to 4) and takes its value; other indices are ignored.
    void Option1_Click(int index);
    /// Writes the chosen value into txtDH of the area form and closes.
    void cmdOK_Click();
    /// Closes without writing.
    void cmdCancel_Click() { requestClose(); }

private:
    ModeForms& m_forms;
    int m_selected = -1;
    double m_chosenM = 0;
};

} // namespace verdan
