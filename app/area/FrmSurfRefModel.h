#pragma once

#include "ModeForms.h"
#include "ScreenModel.h"

#include <QStringList>

namespace verdan {

/// The surface refractivity pick-list "frmSurfRef": seven typical values of Ns by radio
/// climate; OK writes the chosen one into txtNs of the area form and txtns of the
/// point-to-point form.
class FrmSurfRefModel : public ScreenModel {
    Q_OBJECT
public:
    /// `forms` must outlive the pick-list.
    explicit FrmSurfRefModel(ModeForms& forms, QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("frmSurfRef"); }

    /// The frame's caption.
    static QString frameCaption() { return QStringLiteral("Ns  (N-Units)"); }
    /// The captions of the options Option1(0) to Option1(6); each ends in its value.
    static QStringList optionCaptions();

    /// The selected option, -1 for none.
    int Option1() const { return m_selected; }
    /// The value OK writes, in N-units.
    double chosenValueN() const { return m_chosenN; }

    /// The chosen value is 301 N-units (option 4, the average atmosphere, is shown selected).
    void Form_Load();
    /// Selects option `index` (0 to 6); its value is the number formed by the last three
    /// characters of its caption. Other indices are ignored.
    void Option1_Click(int index);
    /// Writes the chosen value into the refractivity fields of both mode forms and closes.
    void cmdOK_Click();
    /// Closes without writing.
    void cmdCancel_Click() { requestClose(); }

private:
    ModeForms& m_forms;
    int m_selected = -1;
    double m_chosenN = 0;
};

} // namespace verdan
