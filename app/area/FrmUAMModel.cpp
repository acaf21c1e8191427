#include "FrmUAMModel.h"

#include "AreaCalculation.h"
#include "FrmAboutModel.h"
#include "FrmDC_CondModel.h"
#include "FrmDeltaHModel.h"
#include "FrmSurfRefModel.h"
#include "HelpSystem.h"
#include "NumberFormat.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace verdan {

namespace {

const QString kSection = QStringLiteral("Verdan");

/// Fields filled from the shared Kethra parameters, with the parameter's name.
struct KethraPair {
    const char* control;
    const char* global;
};
constexpr KethraPair kKethraFields[] = {
    {"txtH1", "TxHt_m"},        {"txtH2", "RxHt_m"},     {"txtFrq", "TxFreq_MHz"},
    {"txtNs", "Refrac_Nunits"}, {"txteps", "GrndDiel"},  {"txtsgm", "GrndCond_Sm"},
    {"txtQT", "PctTime_pct"},   {"txtQL", "PctLoc_pct"}, {"txtDH", "DeltaH_m"},
};

/// Own settings of the radio fields (read only when no Kethra program is active).
struct SettingPair {
    const char* key;
    const char* control;
};
constexpr SettingPair kOwnRadioSettings[] = {
    {"TxHt", "txtH1"},    {"RxHt", "txtH2"},    {"ReFrac", "txtNs"},
    {"Freq", "txtFrq"},   {"DIELEC", "txteps"}, {"GCONDUCT", "txtsgm"},
    {"PCTTIME", "txtQT"}, {"PCTLOC", "txtQL"},  {"DELTAH", "txtDH"},
};
/// Own settings of the other fields (read in both cases).
constexpr SettingPair kOwnOtherSettings[] = {
    {"InversedBLossLevel", "txtdBLossLevel"},
    {"CONFLEV1", "txtQC1"},
    {"CONFLEV2", "txtQC2"},
    {"CONFLEV3", "txtQC3"},
    {"CONFLEV4", "txtQC4"},
    {"INITDIST", "txtd0"},
    {"ENDIST1", "txtd1"},
    {"STEPDIST1", "txtds1"},
    {"ENDIST2", "txtd2"},
    {"STEPDIST2", "txtds2"},
};

QString str(const char* text) {
    return QString::fromLatin1(text);
}

} // namespace

bool ComboField::select(const QString& itemText) {
    const auto index = items.indexOf(itemText);
    if (index < 0)
        return false;
    listIndex = static_cast<int>(index);
    return true;
}

const std::vector<FrmUAMModel::FieldInfo>& FrmUAMModel::fieldInfos() {
    static const std::vector<FieldInfo> infos{
        {"txtFrq", "Frequency", "MHz", "100.0", "20 MHz to 20 GHz"},
        {"txtH1", "Trans", "m", "3.0", "0.5 m to 3000 m"},
        {"txtH2", "Rec", "m", "3.0", "0.5 m to 3000 m"},
        {"txtDH", "delta h", "m", "90.0", "Size of Terrain Irregularities", true},
        {"txtNs", "Surface Refractivity", "N-units", "301.0", "250 to 400 N-units", true},
        {"txteps", "Dielectric Constant of Ground", "", "15.0", "Relative Permittivity", true},
        {"txtsgm", "Conductivity of Ground", "S/m", "0.005", "Conductivity of Ground", true},
        {"txtQT", "Percent of time", "%", "50.0", "0.1% to 99.9%"},
        {"txtQL", "Percent of Locations", "%", "50.0", "0.1% to 99.9%"},
        {"txtQC1", "1", "", "50.0", "0.1% to 99.9%"},
        {"txtQC2", "2", "", "90.0", "0.0% to 99.9%"},
        {"txtQC3", "3", "", "10.0", "0.0% to 99.9%"},
        {"txtQC4", "4", "", "0.0", "0.0% to 99.9%"},
        {"txtd0", "Initial Distance", "km", "10.0", "Starting distance"},
        {"txtd1", "End Distance 1", "km", "150.0", "Distance 1"},
        {"txtds1", "Dist Inc 1", "km", "10.0", "Step Rate to distance 1"},
        {"txtd2", "End Distance 2", "km", "500.0", "Distance 2 (greater than distance 1)"},
        {"txtds2", "Dist Inc 2", "km", "50.0", "Step rate from distance 1 to distance 2"},
        {"txtdBLossLevel", "dB Loss Calculation Level", "dB", "125.5", ""},
    };
    return infos;
}

bool FrmUAMModel::hasEntryAndLeavingSteps(const QString& name) {
    return name != u"txtdBLossLevel";
}

FrmUAMModel::FrmUAMModel(ProgramState& state, SettingsStore& store, Prompter& prompter,
                         const AppInfo& info, PropagationModel& model, ModeForms& forms,
                         Extensions extensions, QObject* parent)
    : ScreenModel(parent), m_state(state), m_prompter(prompter), m_info(info), m_model(model),
      m_forms(forms), m_extensions(std::move(extensions)), m_registry(store) {
    setCaption(QStringLiteral("Area Prediction Mode"));
    for (const FieldInfo& info : fieldInfos())
        m_fields.emplace(info.name, TextField{info.designText, info.toolTip});
    m_cmbClim.items = climateItems();
    m_cmbClim.toolTip = QStringLiteral("Characterizes atmosphere and it's variability in time");
    m_cmbVAR.items = variabilityItems();
    m_cmbVAR.toolTip = QStringLiteral("Methode Type for combining Statistics");
    m_cmbSit1.items = sitingItems();
    m_cmbSit2.items = sitingItems();
    m_cmbSit1.toolTip = QStringLiteral("Care for siting terminal on higher ground");
    m_cmbSit2.toolTip = m_cmbSit1.toolTip;
}

TextField& FrmUAMModel::field(const QString& name) {
    const auto it = m_fields.find(name);
    if (it == m_fields.end())
        throw std::out_of_range("FrmUAM has no field " + name.toStdString());
    return it->second;
}

const TextField& FrmUAMModel::field(const QString& name) const {
    const auto it = m_fields.find(name);
    if (it == m_fields.end())
        throw std::out_of_range("FrmUAM has no field " + name.toStdString());
    return it->second;
}

void FrmUAMModel::setText(const QString& name, const QString& text) {
    TextField& target = field(name);
    target.text = text;
    target.selStart = static_cast<int>(text.size());
    target.selLength = 0;
    emit changed();
}

void FrmUAMModel::setFieldText(const QString& control, const QString& text) {
    if (m_fields.count(control) != 0)
        setText(control, text);
}

void FrmUAMModel::selectListItem(const QString& name, int index) {
    ComboField* list = name == u"cmbClim"   ? &m_cmbClim
                       : name == u"cmbVAR"  ? &m_cmbVAR
                       : name == u"cmbSit1" ? &m_cmbSit1
                       : name == u"cmbSit2" ? &m_cmbSit2
                                            : nullptr;
    if (!list || index < 0 || index >= list->items.size())
        return;
    list->listIndex = index;
    emit changed();
}

void FrmUAMModel::optPol_Click(int index) {
    if (index != 0 && index != 1)
        return;
    m_optPol[0] = index == 0;
    m_optPol[1] = index == 1;
    emit changed();
}

// ---- Load and unload ----

void FrmUAMModel::Form_Load() {
    m_cmbSit1.select(QStringLiteral("Random"));
    m_cmbSit2.select(QStringLiteral("Random"));
    m_cmbClim.select(QStringLiteral("Continental Temperate"));
    m_cmbVAR.select(QStringLiteral("Broadcast"));
    SetInverseMode(false);

    m_state.area = AreaResults{};
    m_state.model.prop.mdp = 1;
    m_ds1Km = 10;

    m_mnuReportView.enabled = false;
    m_cmdReport.enabled = false;
    m_mnuGraphView.enabled = false;
    m_cmdGraph.enabled = false;

    field(QStringLiteral("txtH1")).text = numfmt::generalNumber(3);
    field(QStringLiteral("txtH2")).text = numfmt::generalNumber(3);
    field(QStringLiteral("txtFrq")).text = numfmt::generalNumber(100);
    m_optPol = {false, true};

    if (!m_state.log)
        m_state.log = std::make_unique<RLogClass>(m_prompter);
    m_state.log->setTitle(QStringLiteral("Report Log"));

    m_registry.setAppname(m_info.title);
    m_registry.setSection(kSection);
    m_kethraFlag = m_registry.KethraActive();
    if (m_kethraFlag)
        loadFromKethra();
    else
        loadOwnFields();

    const QString climate = ownSetting(QStringLiteral("RadClim"));
    if (!climate.isEmpty())
        m_cmbClim.select(climate);
    const QString site1 = ownSetting(QStringLiteral("SITECRIT1"));
    if (!site1.isEmpty())
        m_cmbSit1.select(site1);
    const QString site2 = ownSetting(QStringLiteral("SITECRIT2"));
    if (!site2.isEmpty())
        m_cmbSit2.select(site2);
    const QString variability = ownSetting(QStringLiteral("MODEVAR"));
    if (!variability.isEmpty())
        m_cmbVAR.select(variability);
    for (const SettingPair& pair : kOwnOtherSettings)
        applySetting(str(pair.key), str(pair.control));

    loadLogFile();

    m_cmdSaveData.enabled = false;
    m_cmdSaveData.visible = false;
    emit changed();
}

void FrmUAMModel::loadFromKethra() {
    for (const KethraPair& pair : kKethraFields) {
        const QVariant value = m_registry.kethraGlobal(str(pair.global));
        field(str(pair.control)).text = numfmt::generalNumber(value.toDouble());
    }
    if (m_registry.kethraGlobal(QStringLiteral("TxPolar_HV")).toString() == u"H")
        m_optPol = {true, false};
    else
        m_optPol = {false, true};
    m_registry.setKethraActive(false);
    m_registry.SaveKethraGlobals();
}

void FrmUAMModel::loadOwnFields() {
    for (const SettingPair& pair : kOwnRadioSettings)
        applySetting(str(pair.key), str(pair.control));
    if (ownSetting(QStringLiteral("POLARIZATION")) == u"H")
        m_optPol = {true, false};
    else
        m_optPol = {false, true};
}

void FrmUAMModel::loadLogFile() {
    bool taken = false;
    m_logFileName = m_state.log->takeFile(ownSetting(QStringLiteral("TempLogName")), taken);
    m_mnuReportView.enabled = taken;
    m_cmdReport.enabled = taken;
}

void FrmUAMModel::Form_Unload() {
    if (m_kethraFlag)
        saveToKethra();

    for (const SettingPair& pair : kOwnRadioSettings)
        m_registry.setParam(str(pair.key), text(str(pair.control)));
    m_registry.setParam(QStringLiteral("RadClim"), m_cmbClim.text());
    m_registry.setParam(QStringLiteral("SITECRIT1"), m_cmbSit1.text());
    m_registry.setParam(QStringLiteral("SITECRIT2"), m_cmbSit2.text());
    m_registry.setParam(QStringLiteral("MODEVAR"), m_cmbVAR.text());
    for (const SettingPair& pair : kOwnOtherSettings)
        m_registry.setParam(str(pair.key), text(str(pair.control)));
    m_registry.setParam(QStringLiteral("POLARIZATION"),
                        m_optPol[0] ? QStringLiteral("H") : QStringLiteral("V"));

    const MsgAnswer retain =
        m_prompter.message(QStringLiteral("Retain Output Log?"), QStringLiteral("Output Log"),
                           MsgButtons::YesNo, MsgIcon::Question);
    // Only an explicit No discards the log; Escape or the close box keep it.
    if (retain != MsgAnswer::No) {
        m_registry.setParam(QStringLiteral("TempLogName"), m_logFileName);
        return;
    }
    const QString name = m_logFileName.trimmed();
    if (!name.isEmpty() && QFileInfo::exists(name))
        QFile::remove(name);
    if (m_state.log)
        m_state.log->Clear();
    m_registry.setParam(QStringLiteral("TempLogName"), QString());
}

void FrmUAMModel::saveToKethra() {
    for (const KethraPair& pair : kKethraFields)
        m_registry.setKethraGlobal(str(pair.global), text(str(pair.control)));
    m_registry.setKethraGlobal(QStringLiteral("TxPolar_HV"),
                               m_optPol[0] ? QStringLiteral("H") : QStringLiteral("V"));
    m_registry.SaveKethraGlobals();
}

QString FrmUAMModel::ownSetting(const QString& key) {
    return m_registry.Param(key);
}

void FrmUAMModel::applySetting(const QString& key, const QString& control) {
    const QString stored = ownSetting(key);
    if (!stored.isEmpty())
        field(control).text = stored;
}

// ---- Focus and leaving steps ----

void FrmUAMModel::fieldGotFocus(const QString& name) {
    m_focusedField = name;
    if (m_fields.count(name) != 0 && hasEntryAndLeavingSteps(name)) {
        SelectAllText(field(name));
        emit changed();
    }
}

void FrmUAMModel::fieldLostFocus() {
    const QString name = m_focusedField;
    m_focusedField.clear();
    if (!name.isEmpty())
        leaveField(name);
}

bool FrmUAMModel::leaveField(const QString& name) {
    using Step = bool (FrmUAMModel::*)();
    static const std::map<QString, Step> steps{
        {QStringLiteral("txtFrq"), &FrmUAMModel::txtFrq_LostFocus},
        {QStringLiteral("txtH1"), &FrmUAMModel::txtH1_LostFocus},
        {QStringLiteral("txtH2"), &FrmUAMModel::txtH2_LostFocus},
        {QStringLiteral("txtQT"), &FrmUAMModel::txtQT_LostFocus},
        {QStringLiteral("txtQL"), &FrmUAMModel::txtQL_LostFocus},
        {QStringLiteral("txtQC1"), &FrmUAMModel::txtQC1_LostFocus},
        {QStringLiteral("txtQC2"), &FrmUAMModel::txtQC2_LostFocus},
        {QStringLiteral("txtQC3"), &FrmUAMModel::txtQC3_LostFocus},
        {QStringLiteral("txtQC4"), &FrmUAMModel::txtQC4_LostFocus},
        {QStringLiteral("txtd0"), &FrmUAMModel::txtd0_LostFocus},
        {QStringLiteral("txtds1"), &FrmUAMModel::txtds1_LostFocus},
    };
    const auto step = steps.find(name);
    if (step != steps.end())
        return (this->*step->second)();
    if (m_fields.count(name) != 0 && hasEntryAndLeavingSteps(name))
        normalise(name);
    return true;
}

bool FrmUAMModel::checkFocusedField() {
    if (m_focusedField.isEmpty())
        return true;
    const bool passed = leaveField(m_focusedField);
    // The field keeps the focus: after a message its (replaced) text is selected again.
    if (!passed && m_fields.count(m_focusedField) != 0) {
        SelectAllText(field(m_focusedField));
        emit changed();
    }
    return passed;
}

void FrmUAMModel::normalise(const QString& name) {
    TextField& target = field(name);
    target.text = numfmt::generalNumber(numfmt::leadingNumber(target.text));
    emit changed();
}

bool FrmUAMModel::txtFrq_LostFocus() {
    const QString name = QStringLiteral("txtFrq");
    normalise(name);
    const double frequencyMHz = numfmt::leadingNumber(text(name));
    if (WarnIfOutOfRange(m_prompter, QStringLiteral("Frequency"), frequencyMHz, 20, 20000))
        return true;
    setText(name, QStringLiteral("100"));
    return false;
}

bool FrmUAMModel::txtH1_LostFocus() {
    const QString name = QStringLiteral("txtH1");
    const double heightM = numfmt::leadingNumber(text(name));
    const bool passed =
        WarnIfOutOfRange(m_prompter, QStringLiteral("Antenna Height"), heightM, 0.5, 3000);
    if (!passed)
        setText(name, QStringLiteral("10"));
    normalise(name);
    return passed;
}

bool FrmUAMModel::txtH2_LostFocus() {
    const QString name = QStringLiteral("txtH2");
    const double heightM = numfmt::leadingNumber(text(name));
    const bool passed =
        WarnIfOutOfRange(m_prompter, QStringLiteral("Antenna Height"), heightM, 0.5, 3000);
    if (!passed)
        setText(name, QStringLiteral("10"));
    normalise(name);
    return passed;
}

bool FrmUAMModel::txtQT_LostFocus() {
    const QString name = QStringLiteral("txtQT");
    const bool passed =
        CheckRange(m_prompter, field(name), 0.1, 99.9, QStringLiteral("Percent Time"));
    if (!passed)
        setText(name, QStringLiteral("0.5"));
    normalise(name);
    return passed;
}

bool FrmUAMModel::txtQL_LostFocus() {
    const QString name = QStringLiteral("txtQL");
    const bool passed =
        CheckRange(m_prompter, field(name), 0.1, 99.9, QStringLiteral("Percent Location"));
    if (!passed)
        setText(name, QStringLiteral("0.5"));
    normalise(name);
    return passed;
}

bool FrmUAMModel::txtQC1_LostFocus() {
    double levelPct = numfmt::leadingNumber(text(QStringLiteral("txtQC1")));
    if (levelPct <= 0) {
        levelPct = 50;
        setText(QStringLiteral("txtQC2"), QStringLiteral("0"));
    }
    setText(QStringLiteral("txtQC1"), numfmt::generalNumber(levelPct));
    return true;
}

bool FrmUAMModel::txtQC2_LostFocus() {
    return leaveConfidenceLevel(QStringLiteral("txtQC2"), QStringLiteral("Confidence Level 2"));
}

bool FrmUAMModel::txtQC3_LostFocus() {
    return leaveConfidenceLevel(QStringLiteral("txtQC3"), QStringLiteral("Confidence Level 3"));
}

bool FrmUAMModel::txtQC4_LostFocus() {
    return leaveConfidenceLevel(QStringLiteral("txtQC4"), QStringLiteral("Confidence Level 4"));
}

bool FrmUAMModel::leaveConfidenceLevel(const QString& name, const QString& title) {
    const bool passed = CheckRange(m_prompter, field(name), 0, 99.9, title);
    if (!passed)
        setText(name, QStringLiteral("0"));
    normalise(name);
    return passed;
}

bool FrmUAMModel::txtd0_LostFocus() {
    double d0Km = numfmt::leadingNumber(text(QStringLiteral("txtd0")));
    if (d0Km <= 0)
        d0Km = m_ds1Km;
    if (d0Km <= 0)
        d0Km = 2;
    setText(QStringLiteral("txtd0"), numfmt::generalNumber(d0Km));
    return true;
}

bool FrmUAMModel::txtds1_LostFocus() {
    normalise(QStringLiteral("txtds1"));
    m_ds1Km = numfmt::leadingNumber(text(QStringLiteral("txtds1")));
    return true;
}

// ---- Modes ----

void FrmUAMModel::SetInverseMode(bool inverse) {
    m_modeIndicator = inverse ? 0 : 1;
    for (const char* name : {"txtd0", "txtd1", "txtds1", "txtd2", "txtds2"})
        field(str(name)).visible = !inverse;
    field(QStringLiteral("txtdBLossLevel")).visible = inverse;
    emit changed();
}

void FrmUAMModel::mnuModeInverse_Click() {
    SetInverseMode(true);
    disableNormalRunCommands();
    emit changed();
}

// ---- Runs ----

AreaInputs FrmUAMModel::runInputs() const {
    const auto number = [this](const char* name) { return numfmt::leadingNumber(text(str(name))); };
    AreaInputs in;
    in.frequencyMHz = number("txtFrq");
    in.h1M = number("txtH1");
    in.h2M = number("txtH2");
    in.deltaHM = number("txtDH");
    in.nsNUnits = number("txtNs");
    in.eps = number("txteps");
    in.sgmSPerM = number("txtsgm");
    in.timePct = number("txtQT");
    in.locationPct = number("txtQL");
    in.confLevelsPct = {number("txtQC1"), number("txtQC2"), number("txtQC3"), number("txtQC4")};
    in.d0Km = number("txtd0");
    in.d1Km = number("txtd1");
    in.ds1Km = number("txtds1");
    in.d2Km = number("txtd2");
    in.ds2Km = number("txtds2");
    in.lossLevelDb = number("txtdBLossLevel");
    in.horizontal = m_optPol[0];
    in.climateText = m_cmbClim.text();
    in.variabilityText = m_cmbVAR.text();
    in.site1Text = m_cmbSit1.text();
    in.site2Text = m_cmbSit2.text();
    return in;
}

void FrmUAMModel::cmdCalc_Click() {
    // A refused run leaves the previous table in the log: it is not shown as the result.
    if (mnuReportRun_Click())
        cmdReport_Click();
}

bool FrmUAMModel::mnuReportRun_Click() {
    if (!checkFocusedField())
        return false;
    return m_modeIndicator == 0 ? RunInverseCalculation() : RunNormalCalculation();
}

bool FrmUAMModel::RunNormalCalculation() {
    m_prompter.setBusy(true);
    const AreaInputs in = runInputs();
    m_ds1Km = in.ds1Km;
    const AreaRunStatus status =
        runAreaCalculation(in, m_model, m_state.model, *m_state.log, m_state.area);
    if (status == AreaRunStatus::TooManyRows) {
        m_prompter.setBusy(false);
        inform(m_prompter, tooManyRowsMessage(), QStringLiteral("Verdan"), MsgIcon::Warning);
        return false;
    }
    if (status == AreaRunStatus::ModelMissing) {
        m_prompter.setBusy(false);
        return false;
    }
    m_mnuReportView.enabled = true;
    m_cmdReport.enabled = true;
    m_mnuGraphView.enabled = true;
    m_cmdGraph.enabled = true;
    m_cmdSaveData.enabled = true;
    finishRun();
    return true;
}

bool FrmUAMModel::RunInverseCalculation() {
    m_prompter.setBusy(true);
    const AreaRunStatus status =
        runInverseCalculation(runInputs(), m_model, m_state.model, *m_state.log);
    if (status != AreaRunStatus::Done) {
        m_prompter.setBusy(false);
        return false;
    }
    m_mnuReportView.enabled = true;
    m_cmdReport.enabled = true;
    disableNormalRunCommands();
    finishRun();
    return true;
}

void FrmUAMModel::finishRun() {
    m_state.model.prop.mdp = 0;
    m_state.log->SaveFile(m_logFileName);
    m_prompter.setBusy(false);
    emit changed();
}

void FrmUAMModel::disableNormalRunCommands() {
    // The graph and the archive hold the table of a normal run, which an inverse run lacks.
    m_mnuGraphView.enabled = false;
    m_cmdGraph.enabled = false;
    m_cmdSaveData.enabled = false;
}

// ---- Other commands ----

void FrmUAMModel::cmdReport_Click() {
    if (m_state.log && checkFocusedField())
        m_state.log->Show();
}

void FrmUAMModel::mnuGraphView_Click() {
    if (m_extensions.showGraph)
        m_extensions.showGraph(*this);
    else
        inform(m_prompter,
               QStringLiteral("The results graph is not available in this version of Verdan."),
               QStringLiteral("Verdan"));
}

void FrmUAMModel::cmdSaveData_Click() {
    if (m_extensions.saveToArchive)
        m_extensions.saveToArchive(*this);
    else
        inform(m_prompter,
               QStringLiteral("The results archive is not available in this version of Verdan."),
               QStringLiteral("Verdan"));
}

void FrmUAMModel::mnuReportEnableSave_Click() {
    m_cmdSaveData.visible = true;
    emit changed();
}

void FrmUAMModel::cmdSurfRef_Click() {
    FrmSurfRefModel pick(m_forms);
    pick.Form_Load();
    m_prompter.runModal(pick);
}

void FrmUAMModel::cmdConductGround_Click() {
    openGroundConstants(QStringLiteral("txtsgm"));
}

void FrmUAMModel::cmdDielectric_Click() {
    openGroundConstants(QStringLiteral("txteps"));
}

void FrmUAMModel::openGroundConstants(const QString& target) {
    m_state.PickTarget = target;
    FrmDC_CondModel pick(m_state, m_forms);
    pick.Form_Load();
    const bool conductivity = target == u"txtsgm";
    pick.setCaption(conductivity ? FrmDC_CondModel::conductivityCaption()
                                 : FrmDC_CondModel::dielectricCaption());
    pick.setOptChartSelectCaptions(conductivity ? FrmDC_CondModel::conductivityOptions()
                                                : FrmDC_CondModel::dielectricOptions());
    m_prompter.runModal(pick);
}

void FrmUAMModel::cmdDeltaH_Click() {
    FrmDeltaHModel pick(m_forms);
    pick.Form_Load();
    m_prompter.runModal(pick);
}

void FrmUAMModel::mnuHelpHelpSystem_Click() {
    HelpSystem(m_info, m_prompter).ShowHelp(1, 1);
}

void FrmUAMModel::mnuHelpAbout_Click() {
    FrmAboutModel about(m_info, m_prompter);
    about.Form_Load();
    m_prompter.runModal(about);
}

} // namespace verdan
