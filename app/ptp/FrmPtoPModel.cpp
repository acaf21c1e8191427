#include "FrmPtoPModel.h"

#include "FieldChecks.h"
#include "FrmAboutModel.h"
#include "FrmLinkBudgetModel.h"
#include "FrmListEditModel.h"
#include "HelpSystem.h"
#include "NumberFormat.h"
#include "ProfileFile.h"
#include "ProfilePlot.h"

#include <verdan/radio/PathLinkReport.h>
#include <verdan/terrain/RasterSource.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace verdan {

using numfmt::generalNumber;
using numfmt::leadingNumber;

namespace {

const QString OwnSection = QStringLiteral("Verdan");

std::vector<double> listNumbers(const QStringList& items) {
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(items.size()));
    for (const QString& item : items)
        values.push_back(leadingNumber(item));
    return values;
}

QStringList profileFileFilters() {
    return {QStringLiteral("Profile Files (*.pfl)"), QStringLiteral("Text Files (*.txt)"),
            QStringLiteral("All Files (*)")};
}

} // namespace

FrmPtoPModel::FrmPtoPModel(ProgramState& state, SettingsStore& store, Prompter& prompter,
                           const AppInfo& info, PropagationModel& model, Openers openers,
                           PictureRenderer renderer, QObject* parent)
    : ScreenModel(parent), m_state(state), m_store(store), m_registry(store), m_prompter(prompter),
      m_info(info), m_model(model), m_openers(std::move(openers)), m_renderer(std::move(renderer)) {
    setCaption(formCaption());
    m_registry.setAppname(info.title);
    m_registry.setSection(OwnSection);
}

void FrmPtoPModel::setText(QString& field, const QString& text) {
    if (field == text)
        return;
    field = text;
    emit changed();
}

void FrmPtoPModel::optPol_Click(int index) {
    m_optPol = index == 0 ? 0 : 1;
    emit changed();
}

void FrmPtoPModel::setCmbClim(const QString& text) {
    if (!cmbClimItems().contains(text))
        return;
    m_cmbClim = text;
    emit changed();
}

void FrmPtoPModel::setLstValuesIndex(int i, int index) {
    const auto n = m_lstValues.at(idx(i)).size();
    m_lstIndex.at(idx(i)) = index >= 0 && index < n ? index : -1;
    emit changed();
}

QString FrmPtoPModel::backgroundPicturePath() const {
    return m_info.dataFolder + QStringLiteral("/pback.jpg");
}

void FrmPtoPModel::setFieldText(const QString& control, const QString& text) {
    if (control == QLatin1String("txteps"))
        setTxteps(text);
    else if (control == QLatin1String("txtsgm"))
        setTxtsgm(text);
    else if (control == QLatin1String("txtns"))
        setTxtns(text);
}

RLogClass& FrmPtoPModel::log() {
    if (!m_state.log) {
        m_state.log = std::make_unique<RLogClass>(m_prompter);
        m_state.log->setTitle(QStringLiteral("Report Log"));
    }
    return *m_state.log;
}

void FrmPtoPModel::showBackground() {
    m_picBackground = true;
    m_picElevations.clear();
    emit changed();
}

void FrmPtoPModel::setDorvexLabel() {
    if (m_state.path.TerrainSource == QLatin1String("Quarn"))
        m_lblDorvex = QStringLiteral("Quarn");
    else if (m_state.path.TerrainSource == QLatin1String("GLOBE"))
        m_lblDorvex = QStringLiteral("GLOBE");
    else if (m_state.path.TerrainSource == QLatin1String("Raster"))
        m_lblDorvex = QString::fromLocal8Bit(
            terrain::rasterDisplayName(QFile::encodeName(m_state.path.RasterPath).toStdString()));
    emit changed();
}

namespace {

// Own settings of the value lists (reliability, confidence) and of the decimal-degree view of
// the path: Verdan's alone, the sibling programs know none of them.
const std::array<const char*, 2> kListKeys{"ReliabilityList", "ConfidenceList"};
const std::array<const char*, 4> kDecimalKeys{"TxLatDD", "TxLonDD", "RxLatDD", "RxLonDD"};
const QString kCoordsInDDKey = QStringLiteral("CoordsInDD");

// A stored list: its numbers separated by blanks. Values a list cannot hold (outside
// 0 .. 100, repeated, beyond the seventh) are dropped, as adding them by hand would refuse.
QStringList listFromSetting(const QString& stored) {
    QStringList items;
    for (const QString& word : stored.split(u' ', Qt::SkipEmptyParts)) {
        const double valuePct = leadingNumber(word);
        const QString item = generalNumber(valuePct);
        if (valuePct > 0 && valuePct < 100 && !items.contains(item) && items.size() < MaxListValues)
            items.append(item);
    }
    return items;
}

} // namespace

void FrmPtoPModel::loadOwnPathAndLists() {
    for (std::size_t i = 0; i < kListKeys.size(); ++i) {
        m_lstValues[i] = listFromSetting(m_registry.Param(QLatin1String(kListKeys[i])));
        m_remEnabled[i] = !m_lstValues[i].isEmpty();
    }
    PathState& path = m_state.path;
    const std::array<QString*, 4> decimals{&path.TxLatDD, &path.TxLonDD, &path.RxLatDD,
                                           &path.RxLonDD};
    for (std::size_t c = 0; c < decimals.size(); ++c) {
        const QString stored = m_registry.Param(QLatin1String(kDecimalKeys[c]));
        if (!stored.isEmpty())
            *decimals[c] = stored;
    }
    // A path handed over by a Kethra program comes as degrees, minutes and seconds.
    path.CoordsInDD = !m_kethra && m_registry.Param(kCoordsInDDKey) == u"True";
}

void FrmPtoPModel::saveOwnPathAndLists() {
    for (std::size_t i = 0; i < kListKeys.size(); ++i)
        m_registry.setParam(QLatin1String(kListKeys[i]), m_lstValues[i].join(u' '));
    const PathState& path = m_state.path;
    const std::array<QString, 4> decimals{path.TxLatDD, path.TxLonDD, path.RxLatDD, path.RxLonDD};
    for (std::size_t c = 0; c < decimals.size(); ++c)
        m_registry.setParam(QLatin1String(kDecimalKeys[c]), decimals[c]);
    m_registry.setParam(kCoordsInDDKey,
                        path.CoordsInDD ? QStringLiteral("True") : QStringLiteral("False"));
}

void FrmPtoPModel::fillDefaultLists() {
    const std::array<QStringList, 2> defaults = {
        QStringList{QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("50"),
                    QStringLiteral("90"), QStringLiteral("99")},
        QStringList{QStringLiteral("50"), QStringLiteral("90"), QStringLiteral("10")}};
    for (std::size_t i = 0; i < 2; ++i) {
        if (m_lstValues[i].isEmpty()) {
            m_lstValues[i] = defaults[i];
            m_remEnabled[i] = true;
        }
    }
}

void FrmPtoPModel::Form_Load() {
    PathState& path = m_state.path;
    path.pfl.assign(803, 0.0);
    m_cmbClim = QStringLiteral("Continental Temperate");
    m_mnuReportViewEnabled = false;
    m_cmdReportEnabled = false;
    m_cmdEditProfileEnabled = false;
    m_picBackground = true;
    m_picElevations.clear();
    path.ProfileReady = false;

    log();
    m_kethra = m_registry.KethraActive();
    if (m_kethra) {
        const auto number = [this](const char* name) {
            return generalNumber(m_registry.kethraGlobal(QLatin1String(name)).toDouble());
        };
        path.TerrainSource = m_registry.kethraGlobal(QStringLiteral("Dorvex")).toString();
        if (path.TerrainSource.trimmed().isEmpty())
            path.TerrainSource = QStringLiteral("Quarn");
        m_txtH1 = number("TxHt_m");
        m_txtH2 = number("RxHt_m");
        m_txtFrq = number("TxFreq_MHz");
        m_txtns = number("Refrac_Nunits");
        m_txteps = number("GrndDiel");
        m_txtsgm = number("GrndCond_Sm");
        for (int c = 0; c < PathState::CoordCount; ++c)
            path.coords[static_cast<std::size_t>(c)] =
                m_registry.kethraGlobal(PathState::kethraCoordKey(c)).toString();
        path.QuarnDrive = m_registry.kethraGlobal(QStringLiteral("Quarn_Drive")).toInt();
        path.GlobePath = m_registry.kethraGlobal(QStringLiteral("GlobePath")).toString();
        if (path.GlobePath.isEmpty())
            path.GlobePath = PathState::defaultGlobePath();
        m_optPol =
            m_registry.kethraGlobal(QStringLiteral("TxPolar_HV")).toString() == QLatin1String("H")
                ? 0
                : 1;
    } else {
        const auto apply = [this](const char* key, QString& field) {
            const QString value = m_registry.Param(QLatin1String(key));
            if (!value.isEmpty())
                field = value;
        };
        apply("TxHt", m_txtH1);
        apply("RxHt", m_txtH2);
        apply("ReFrac", m_txtns);
        apply("Freq", m_txtFrq);
        apply("DIELEC", m_txteps);
        apply("GCONDUCT", m_txtsgm);
        const QString drive = m_registry.Param(QStringLiteral("Quarn_Drive"));
        path.QuarnDrive = drive.isEmpty() ? 1 : static_cast<int>(leadingNumber(drive));
        m_optPol = m_registry.Param(QStringLiteral("POLARIZATION")) == QLatin1String("H") ? 0 : 1;
        for (int c = 0; c < PathState::CoordCount; ++c) {
            const QString value = m_registry.Param(PathState::coordKey(c));
            if (!value.isEmpty())
                path.coords[static_cast<std::size_t>(c)] = value;
        }
        path.TerrainSource = m_registry.Param(QStringLiteral("Dorvex"));
        if (path.TerrainSource.isEmpty())
            path.TerrainSource = QStringLiteral("Quarn");
    }

    path.GlobePath = m_registry.Param(QStringLiteral("GlobePath"));
    if (path.GlobePath.isEmpty())
        path.GlobePath = PathState::defaultGlobePath();
    path.RasterPath = m_registry.Param(QStringLiteral("RasterPath"));
    const QString climate = m_registry.Param(QStringLiteral("RadClim"));
    if (!climate.isEmpty() && cmbClimItems().contains(climate))
        m_cmbClim = climate;
    bool taken = false;
    m_logFileName = log().takeFile(m_registry.Param(QStringLiteral("TempLogName")), taken);
    m_mnuReportViewEnabled = taken;
    m_cmdReportEnabled = taken;
    loadOwnPathAndLists();
    fillDefaultLists();
    setDorvexLabel();
}

void FrmPtoPModel::Form_Unload() {
    PathState& path = m_state.path;
    const QString polarization = m_optPol == 0 ? QStringLiteral("H") : QStringLiteral("V");
    if (m_kethra) {
        const auto number = [this](const char* name, const QString& text) {
            m_registry.setKethraGlobal(QLatin1String(name), leadingNumber(text));
        };
        number("TxHt_m", m_txtH1);
        number("RxHt_m", m_txtH2);
        number("TxFreq_MHz", m_txtFrq);
        number("Refrac_Nunits", m_txtns);
        number("GrndDiel", m_txteps);
        number("GrndCond_Sm", m_txtsgm);
        m_registry.setKethraGlobal(QStringLiteral("Quarn_Drive"), path.QuarnDrive);
        m_registry.setKethraGlobal(QStringLiteral("GlobePath"), path.GlobePath);
        m_registry.setKethraGlobal(QStringLiteral("TxPolar_HV"), polarization);
        for (int c = 0; c < PathState::CoordCount; ++c)
            m_registry.setKethraGlobal(PathState::kethraCoordKey(c),
                                       path.coords[static_cast<std::size_t>(c)]);
        // The Kethra programs know the two databases only.
        if (path.TerrainSource != QLatin1String("Raster"))
            m_registry.setKethraGlobal(QStringLiteral("Dorvex"), path.TerrainSource);
        m_registry.SaveKethraGlobals();
    }

    m_registry.setParam(QStringLiteral("TxHt"), m_txtH1);
    m_registry.setParam(QStringLiteral("RxHt"), m_txtH2);
    m_registry.setParam(QStringLiteral("ReFrac"), m_txtns);
    m_registry.setParam(QStringLiteral("Freq"), m_txtFrq);
    m_registry.setParam(QStringLiteral("DIELEC"), m_txteps);
    m_registry.setParam(QStringLiteral("GCONDUCT"), m_txtsgm);
    m_registry.setParam(QStringLiteral("GlobePath"), path.GlobePath);
    m_registry.setParam(QStringLiteral("RasterPath"), path.RasterPath);
    m_registry.setParam(QStringLiteral("Quarn_Drive"), QString::number(path.QuarnDrive));
    m_registry.setParam(QStringLiteral("RadClim"), m_cmbClim);
    m_registry.setParam(QStringLiteral("POLARIZATION"), polarization);
    for (int c = 0; c < PathState::CoordCount; ++c)
        m_registry.setParam(PathState::coordKey(c), path.coords[static_cast<std::size_t>(c)]);
    m_registry.setParam(QStringLiteral("Dorvex"), path.TerrainSource);
    saveOwnPathAndLists();

    const MsgAnswer answer =
        m_prompter.message(QStringLiteral("Retain Output Log?"), QStringLiteral("Output Log"),
                           MsgButtons::YesNo, MsgIcon::Question);
    // Only an explicit No discards the log; Escape or the close box keep it.
    if (answer != MsgAnswer::No) {
        m_registry.setParam(QStringLiteral("TempLogName"), m_logFileName);
    } else {
        if (!m_logFileName.trimmed().isEmpty() && QFileInfo::exists(m_logFileName))
            QFile::remove(m_logFileName);
        log().Clear();
        m_registry.setParam(QStringLiteral("TempLogName"), QString());
    }
}

bool FrmPtoPModel::checkField(const QString& field, const QString& control, double minimum,
                              double maximum, const QString& name) {
    TextField checked;
    checked.text = field;
    if (CheckRange(m_prompter, checked, minimum, maximum, name))
        return true;
    if (checked.selLength > 0)
        emit selectAllRequested(control);
    return false;
}

void FrmPtoPModel::normalise(QString& field) {
    setText(field, generalNumber(leadingNumber(field)));
}

bool FrmPtoPModel::txtFrq_LostFocus() {
    if (checkField(m_txtFrq, QStringLiteral("txtFrq"), 20, 20000, QStringLiteral("Frequency")))
        return true;
    setTxtFrq(QStringLiteral("10000"));
    return false;
}

bool FrmPtoPModel::txtH1_LostFocus() {
    if (checkField(m_txtH1, QStringLiteral("txtH1"), 0.5, 3000, QStringLiteral("Antenna Height")))
        return true;
    setTxtH1(QStringLiteral("100"));
    return false;
}

bool FrmPtoPModel::txtH2_LostFocus() {
    if (checkField(m_txtH2, QStringLiteral("txtH2"), 0.5, 3000, QStringLiteral("Antenna Height")))
        return true;
    setTxtH2(QStringLiteral("10"));
    return false;
}

bool FrmPtoPModel::txteps_LostFocus() {
    normalise(m_txteps);
    return true;
}

bool FrmPtoPModel::txtsgm_LostFocus() {
    normalise(m_txtsgm);
    return true;
}

bool FrmPtoPModel::txtns_LostFocus() {
    normalise(m_txtns);
    return true;
}

bool FrmPtoPModel::txtNewVal_LostFocus(int i) {
    if (checkField(m_txtNewVal.at(idx(i)), QStringLiteral("txtNewVal"), 1, 99,
                   QStringLiteral("Percentage")))
        return true;
    setTxtNewVal(i, QStringLiteral("50"));
    return false;
}

void FrmPtoPModel::txtNewVal_Enter(int i) {
    txtNewVal_LostFocus(i);
    cmdAddToList_Click(i);
}

void FrmPtoPModel::cmdAddToList_Click(int i) {
    const std::size_t n = idx(i);
    const double v = leadingNumber(m_txtNewVal[n]);
    setText(m_txtNewVal[n], generalNumber(v));
    if (v == 0)
        return;
    QStringList& list = m_lstValues[n];
    if (list.size() >= MaxListValues) {
        inform(m_prompter, QStringLiteral("Error: Maximum of Seven Values"),
               QStringLiteral("Add Item"), MsgIcon::None);
        return;
    }
    for (const QString& item : list) {
        if (leadingNumber(item) == v)
            return;
    }
    list.append(generalNumber(v));
    m_remEnabled[n] = true;
    emit changed();
}

void FrmPtoPModel::cmdRemFromList_Click(int i) {
    const std::size_t n = idx(i);
    QStringList& list = m_lstValues[n];
    if (m_lstIndex[n] >= 0 && m_lstIndex[n] < list.size()) {
        list.removeAt(m_lstIndex[n]);
        m_lstIndex[n] = -1;
    }
    m_remEnabled[n] = !list.isEmpty();
    emit changed();
}

PointToPointInputs FrmPtoPModel::currentInputs() const {
    PointToPointInputs in;
    in.frequencyMHz = leadingNumber(m_txtFrq);
    in.h1M = leadingNumber(m_txtH1);
    in.h2M = leadingNumber(m_txtH2);
    in.horizontal = m_optPol == 0;
    in.eps = leadingNumber(m_txteps);
    in.sgmSPerM = leadingNumber(m_txtsgm);
    in.nsNUnits = leadingNumber(m_txtns);
    in.climateText = m_cmbClim;
    in.confidencePct = listNumbers(m_lstValues[1]);
    in.reliabilityPct = listNumbers(m_lstValues[0]);
    return in;
}

void FrmPtoPModel::cmdCalc_Click() {
    mnuReportCalculations_Click();
    if (m_state.path.ProfileReady)
        cmdReport_Click();
}

PointToPointStatus FrmPtoPModel::mnuReportCalculations_Click() {
    PointToPointInputs in = currentInputs();
    if (m_state.path.ProfileReady && m_renderer) {
        in.picturePng =
            m_renderer(profileElevations(m_state.path.pfl), picProfileWidthPx, picProfileHeightPx);
        in.pictureWidthPx = picProfileWidthPx;
        in.pictureHeightPx = picProfileHeightPx;
    }
    RLogClass& report = log();
    PointToPointResult result;
    const PointToPointStatus status =
        runPointToPointCalculation(in, m_state.path, m_state.ProfilePoints, m_model, m_state.model,
                                   m_prompter, report, &result);
    if (status == PointToPointStatus::Done) {
        in.picturePng.clear();
        m_lastRun =
            LastRun{std::move(in), m_state.path.pfl, std::move(result), pathEnds(m_state.path)};
        m_mnuReportViewEnabled = true;
        m_cmdReportEnabled = true;
        report.SaveFile(m_logFileName);
        emit changed();
    }
    return status;
}

void FrmPtoPModel::cmdReport_Click() {
    log().Show();
}

void FrmPtoPModel::cmdconduct_Click() {
    if (!m_openers.groundConstants)
        return;
    m_openers.groundConstants(
        {QStringLiteral("txtsgm"), QStringLiteral("Conductivity of Ground"),
         QStringList{QStringLiteral("Average Ground   0.005"),
                     QStringLiteral("Poor Ground   0.001"), QStringLiteral("Good Ground   0.020"),
                     QStringLiteral("Fresh Water   0.010"),
                     QStringLiteral("Sea Water     5.0  ")}});
}

void FrmPtoPModel::cmddielect_Click() {
    if (!m_openers.groundConstants)
        return;
    m_openers.groundConstants(
        {QStringLiteral("txteps"), QStringLiteral("Dielectric Constant of Ground"),
         QStringList{QStringLiteral("Average Ground      15"),
                     QStringLiteral("Poor Ground       4"), QStringLiteral("Good Ground      25"),
                     QStringLiteral("Fresh Water      81"),
                     QStringLiteral("Sea Water        81")}});
}

void FrmPtoPModel::cmdSurfRef_Click() {
    if (m_openers.surfaceRefractivity)
        m_openers.surfaceRefractivity();
}

void FrmPtoPModel::cmdProfile_Click() {
    if (m_openers.pathCoordinates) {
        m_openers.pathCoordinates();
    } else {
        inform(m_prompter,
               QStringLiteral("Path coordinates and terrain extraction are not available in this "
                              "version. Use File > Load Profile..."),
               QStringLiteral("Verdan"));
    }
    setDorvexLabel();
    if (m_state.path.ProfileReady) {
        DrawProfile();
        m_cmdEditProfileEnabled = true;
    } else {
        // A failed extraction leaves no profile to edit or to show.
        m_cmdEditProfileEnabled = false;
        showBackground();
    }
    emit changed();
}

void FrmPtoPModel::cmdEditProfile_Click() {
    PathState& path = m_state.path;
    if (path.pfl.size() < 3)
        return;
    const std::size_t m = path.pfl.size() - 3;
    path.ListEditCol1.assign(m + 1, 0.0);
    path.ListEditCol2.assign(m + 1, 0.0);
    double distM = 0;
    for (std::size_t k = 0; k <= m; ++k) {
        path.ListEditCol1[k] = distM;
        path.ListEditCol2[k] = path.pfl[k + 2];
        distM += path.pfl[1];
    }
    path.ListEditTitle = QStringLiteral("Profile Points");
    path.ListEditHead1 = QStringLiteral("Dist(m)");
    path.ListEditHead2 = QStringLiteral("Height(m)");
    FrmListEditModel editor(path);
    editor.Form_Load();
    // The distances follow from the profile's spacing: only the heights can be edited.
    editor.setColumnEditable(1, false);
    m_prompter.runModal(editor);
    if (!path.ListEditAccepted)
        return;
    for (std::size_t k = 0; k <= m && k < path.ListEditCol2.size(); ++k)
        path.pfl[k + 2] = path.ListEditCol2[k];
    DrawProfile();
}

void FrmPtoPModel::mnuFileLoadProfile_Click() {
    FileRequest request;
    request.caption = QStringLiteral("Load Profile");
    request.startFolder = QDir::homePath();
    request.filters = profileFileFilters();
    const FileAnswer answer = m_prompter.openFile(request);
    if (answer.path.isEmpty())
        return;
    std::vector<double> pfl;
    QString error;
    if (!readProfileFile(answer.path, pfl, error)) {
        inform(m_prompter, QStringLiteral("The profile was not loaded. ") + error,
               QStringLiteral("Load Profile"), MsgIcon::Critical);
        return;
    }
    PathState& path = m_state.path;
    path.pfl = std::move(pfl);
    path.ProfileReady = true;
    path.ProfileFile = answer.path;
    m_state.ProfilePoints = static_cast<int>(path.pfl.size() - 2);
    m_cmdEditProfileEnabled = true;
    DrawProfile();
}

void FrmPtoPModel::mnuFileSaveProfile_Click() {
    const PathState& path = m_state.path;
    if (!path.ProfileReady) {
        inform(m_prompter, QStringLiteral("No profile is loaded."), QStringLiteral("Save Profile"));
        return;
    }
    FileRequest request;
    request.caption = QStringLiteral("Save Profile");
    request.startFolder = QDir::homePath();
    request.filters = profileFileFilters();
    request.proposedName = QStringLiteral("profile.pfl");
    const FileAnswer answer = m_prompter.saveFile(request);
    if (answer.path.isEmpty())
        return;
    QString error;
    if (!writeProfileFile(answer.path, path.pfl, error)) {
        inform(m_prompter, QStringLiteral("The profile was not saved. ") + error,
               QStringLiteral("Save Profile"), MsgIcon::Critical);
    }
}

void FrmPtoPModel::mnuReportLinkBudget_Click() {
    if (!m_lastRun) {
        inform(m_prompter,
               QStringLiteral("Run the calculations first: the link budget is reckoned over the "
                              "profile and the table of the last run."),
               QStringLiteral("Link Budget"));
        return;
    }
    FrmLinkBudgetModel dialog(m_store, m_prompter, m_info.title);
    dialog.Form_Load();
    m_prompter.runModal(dialog);
    const std::optional<LinkBudgetInputs>& inputs = dialog.accepted();
    if (!inputs)
        return;
    const LastRun& run = *m_lastRun;
    const radio::PathLink link = radio::computePathLink(
        inputs->tx, inputs->rx, pointToPointPath(run.pfl, run.inputs, run.result, run.ends),
        pointToPointLossTable(run.result));
    RLogClass& report = log();
    QStringList lines = QString::fromStdString(radio::pathLinkReportText(link)).split(u'\n');
    lines.removeLast(); // the text ends with a line break
    for (const QString& line : lines)
        report.AddLine(line);
    report.SaveFile(m_logFileName);
    m_mnuReportViewEnabled = true;
    m_cmdReportEnabled = true;
    emit changed();
}

void FrmPtoPModel::mnuViewFresnel_Click() {
    m_showFresnel = !m_showFresnel;
    emit changed();
}

std::optional<ProfileOverlay> FrmPtoPModel::picProfileOverlay() const {
    if (!m_showFresnel || m_picBackground)
        return std::nullopt;
    const PointToPointInputs in = currentInputs();
    const std::vector<double>& pfl = m_state.path.pfl;
    return ProfileOverlay{pfl.size() > 1 ? pfl[1] : 0, in.h1M, in.h2M, in.frequencyMHz,
                          profileCurvatureK(in.nsNUnits, pfl)};
}

void FrmPtoPModel::mnuCoverageMap_Click() {
    if (m_openers.coverageMap)
        m_openers.coverageMap();
    else
        inform(m_prompter, QStringLiteral("Coverage maps are not available in this version."),
               QStringLiteral("Verdan"));
}

void FrmPtoPModel::mnuHelpHelpSystem_Click() {
    HelpSystem(m_info, m_prompter).ShowHelp(1, 1);
}

void FrmPtoPModel::mnuHelpAbout_Click() {
    FrmAboutModel about(m_info, m_prompter);
    about.Form_Load();
    m_prompter.runModal(about);
}

void FrmPtoPModel::DrawProfile() {
    m_picElevations = profileElevations(m_state.path.pfl);
    m_picBackground = false;
    emit changed();
}

} // namespace verdan
