#include "FrmVerdanHeaderModel.h"

namespace verdan {

FrmVerdanHeaderModel::FrmVerdanHeaderModel(ProgramState& state, QObject* parent)
    : ScreenModel(parent), m_state(state) {
    setCaption(QStringLiteral("Solvane (Verdan)"));
}

QString FrmVerdanHeaderModel::introText() {
    const QString nl = QStringLiteral("\n");
    return QStringLiteral("SOLVANE (VERDAN)") + nl + nl +
           QStringLiteral(
               "Verdan estimates radio propagation losses over irregular terrain for VHF, "
               "UHF and SHF frequencies as a function of distance and the variability "
               "of signal in time and space.  The model is based on electromagnetic theory "
               "and signal loss variability expressions derived from extensive sets of "
               "measurements.   The Verdan algorithm works in two modes: 1) area prediction "
               "mode, "
               "and 2) point-to-point mode.  The input parameters include frequency, distance, "
               "antenna heights, polarization, surface refractivity, electrical ground "
               "constants, climate, reliability and confidence levels, percent time and "
               "location"
               ", and siting criteria.   For the area prediction mode, terrain irregularity "
               "parameter is needed and the output is either a table of transmission losses "
               "in "
               "dB vs. distance for several confidence levels or graphs of dB loss vs. distance "
               "for specified confidence levels.  For the point-to-point mode, the model "
               "requires "
               "terrain data and the path coordinates are specified.  The output is a list of "
               "estimated transmission losses for specifies values of reliability and "
               "confidence "
               "levels.  The output screen also contains a snapshot of the terrain profile.") +
           nl + nl + QStringLiteral("Valid ranges of input parameters:") + nl + nl +
           QStringLiteral("Frequency        20 MHz to 20 GHz.") + nl + nl +
           QStringLiteral("Distance          1 km to 2000 km.") + nl + nl +
           QStringLiteral("Antenna heights  0.5 m to 3000 m.");
}

void FrmVerdanHeaderModel::setChkShow(bool checked) {
    m_show = checked;
    emit changed();
}

void FrmVerdanHeaderModel::Form_Load() {
    m_show = m_state.ShowIntro;
    m_intro = introText();
    emit changed();
}

void FrmVerdanHeaderModel::Form_Unload() {
    m_state.ShowIntro = m_show;
}

} // namespace verdan
