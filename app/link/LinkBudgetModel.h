#pragma once

#include "Prompter.h"
#include "ScreenModel.h"
#include "SettingsStore.h"

#include <verdan/radio/LinkBudget.h>

#include <QStringList>
#include <array>
#include <optional>

namespace verdan {

/// The link budget as the planning map runs it: the transmitter side (a power, or nothing for
/// a map of loss only) and the receiver side (with an optional threshold).
struct LinkBudgetInputs {
    radio::TransmitterSide tx;
    radio::ReceiverSide rx;
    /// The pattern file's path when the transmitter uses one; empty for a fixed gain.
    QString antennaFile;
};

/// The planning map's link budget group "grpLinkBudget": transmitter power with its unit,
/// line loss, a fixed antenna gain (dBi or dBd) or an antenna pattern file with its azimuth
/// and mechanical downtilt, the receiver's gain and line loss, and a threshold as received
/// power or field strength. Each field is checked when it loses the focus and all of them
/// before a run, with a one-line message naming the field; the texts are remembered in the
/// settings store (application `app`, section "Link Budget") between runs of the program.
class LinkBudgetModel : public ScreenModel {
    Q_OBJECT
public:
    /// The group's text fields, in the order they are checked.
    enum Field {
        txtPower,       ///< transmitter output in the unit of cmbPowerUnit; empty: none
        txtTxLoss,      ///< transmitter line loss, dB
        txtGain,        ///< transmitting antenna gain in the unit of cmbGainUnit
        txtAntennaFile, ///< pattern file (Planet/MSI) used instead of the gain
        txtAzimuth,     ///< antenna azimuth, degrees clockwise from true north
        txtTilt,        ///< mechanical downtilt, degrees, positive down
        txtRxGain,      ///< receiving antenna gain, dBi
        txtRxLoss,      ///< receiver line loss, dB
        txtThreshold,   ///< threshold in the unit of cmbThresholdUnit; empty: none
        FieldCount
    };
    enum PowerUnit { UnitW, UnitDbm, UnitDbw };
    enum GainUnit { UnitDbi, UnitDbd };
    enum ThresholdUnit { UnitThresholdDbm, UnitThresholdDbuvm };

    LinkBudgetModel(SettingsStore& store, Prompter& prompter, QString app,
                    QObject* parent = nullptr);
    QString screenName() const override { return QStringLiteral("grpLinkBudget"); }

    // ---- Controls ----
    QString text(Field field) const { return m_text.at(field); }
    void setText(Field field, const QString& text);
    static QString controlName(Field field);
    int cmbPowerUnit() const { return m_powerUnit; }
    void setCmbPowerUnit(int unit);
    int cmbGainUnit() const { return m_gainUnit; }
    void setCmbGainUnit(int unit);
    int cmbThresholdUnit() const { return m_thresholdUnit; }
    void setCmbThresholdUnit(int unit);
    /// The antenna pattern file is used instead of a fixed gain.
    bool optAntennaFile() const { return m_useFile; }
    void setOptAntennaFile(bool useFile);
    static QStringList powerUnits();
    static QStringList gainUnits();
    static QStringList thresholdUnits();
    /// The gain box is used with a fixed gain; the file, azimuth and tilt with a pattern.
    bool txtGainEnabled() const { return !m_useFile; }
    bool antennaFieldsEnabled() const { return m_useFile; }
    /// One line on the pattern shown: its name, peak gain and electrical tilt; or why the
    /// file could not be read.
    QString lblAntenna() const { return m_antennaLine; }

    // ---- Handlers ----
    /// Reads the remembered texts and the pattern file they name.
    void Form_Load();
    /// Checks one field; a bad value is told and the field keeps the user's text.
    bool lostFocus(Field field);
    /// "Browse...": picks a pattern file and shows its two cuts.
    void cmdBrowseAntenna_Click();

    /// Every field checked in order; the first fault is told and nothing is returned. On
    /// success the texts are remembered.
    std::optional<LinkBudgetInputs> inputs();
    /// The fault of one field, empty when it is good.
    QString fieldError(Field field) const;

    /// The pattern the file names, for the polar preview; empty without one.
    const std::optional<radio::AntennaPattern>& pattern() const { return m_pattern; }
    /// How the pattern is mounted, as the azimuth and tilt fields say now (0 for a bad text).
    radio::AntennaPointing pointing() const;

private:
    void loadPattern();
    void remember();
    QString unitText(Field field) const;

    SettingsStore& m_store;
    Prompter& m_prompter;
    QString m_app;
    std::array<QString, FieldCount> m_text;
    int m_powerUnit = UnitW;
    int m_gainUnit = UnitDbi;
    int m_thresholdUnit = UnitThresholdDbm;
    bool m_useFile = false;
    std::optional<radio::AntennaPattern> m_pattern;
    QString m_patternFor;
    QString m_antennaLine;
};

} // namespace verdan
