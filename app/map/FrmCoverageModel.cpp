#include "FrmCoverageModel.h"

#include "MapSitesTools.h"

#include "Coordinates.h"
#include "FieldChecks.h"
#include "HelpSystem.h"
#include "ModelChoices.h"
#include "NumberFormat.h"
#include "ProgramCoverage.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace verdan {

using numfmt::formatPattern;
using numfmt::generalNumber;
using numfmt::leadingNumber;

namespace {

const QString OwnSection = QStringLiteral("Verdan");
// The settings section of the map's layers.
const QString LayersSection = QStringLiteral("Planning Map");
const QString WindowTitle = QStringLiteral("Coverage Map");
/// Help context of the coverage map section.
constexpr int CoverageHelpContext = 20;

/// A numeric field: settings key, first text, valid range and the name its messages use, and
/// the text that replaces a value out of range.
struct FieldSpec {
    const char* control;
    const char* key;
    const char* initial;
    double minimum;
    double maximum;
    const char* name;
    const char* replacement;
};

constexpr std::array<FieldSpec, FrmCoverageModel::FieldCount> Specs = {{
    {"txtRadius", "CovRadius_km", "30", 1, 500, "Radius", "30"},
    {"txtResolution", "CovResolution_sec", "30", 1, 600, "Resolution", "30"},
    {"txtRxHt", "CovRxHt_m", "", 0.5, 3000, "Antenna Height", "10"},
    {"txtRel", "CovRel_pct", "50", 0.1, 99.9, "Reliability", "50"},
    {"txtConf", "CovConf_pct", "50", 0.1, 99.9, "Confidence", "50"},
    {"txtERP", "CovERP", "", -60, 90, "ERP", ""},
    {"txtLossLevels", "CovLossLevels_dB", "", 0, 0, "Loss Levels", ""},
    {"txtFieldLevels", "CovFieldLevels_dBuVm", "", 0, 0, "Field Levels", ""},
    {"txtPowerLevels", "CovPowerLevels_dBm", "", 0, 0, "Power Levels", ""},
    {"txtMarginLevels", "CovMarginLevels_dB", "", 0, 0, "Margin Levels", ""},
}};

// The ERP range above is in dBW; a value in dBm is 30 higher.
constexpr double DbmPerDbw = 30;

using coverage::MapQuantity;

// The quantity whose levels `field` holds; empty for the other fields.
std::optional<MapQuantity> levelsQuantity(FrmCoverageModel::Field field) {
    for (MapQuantity quantity : coverage::AllMapQuantities) {
        if (FrmCoverageModel::levelsField(quantity) == field)
            return quantity;
    }
    return std::nullopt;
}

QString defaultLevelsText(MapQuantity quantity) {
    return QString::fromStdString(coverage::levelsText(coverage::defaultLevels(quantity)));
}

// Comma-separated levels in any order, repetitions dropped, best first; empty unless the text
// holds 1..MaxStyleLevels numbers the engine accepts.
std::optional<std::vector<double>> readLevels(const QString& text, MapQuantity quantity) {
    std::vector<double> read;
    for (const QString& part : text.split(u',')) {
        const coverage::LevelsRead one = coverage::parseLevels(part.toStdString());
        if (!one.levels || one.levels->size() != 1)
            return std::nullopt;
        read.push_back(one.levels->front());
    }
    std::sort(read.begin(), read.end());
    read.erase(std::unique(read.begin(), read.end()), read.end());
    if (read.size() > static_cast<std::size_t>(coverage::MaxStyleLevels))
        return std::nullopt;
    return coverage::MapStyle(quantity, std::move(read)).levels();
}

/// One end of the path from the shared coordinates: decimal degrees when they were entered
/// so, else degrees, minutes and seconds; the hemisphere box gives the sign, as in the path
/// coordinates form.
double pathCoordinate(const PathState& path, int first, const QString& dd, bool latitude) {
    const QString& hemisphere = path.coords.at(static_cast<std::size_t>(first + 3));
    const double sign = latitude ? (hemisphere == QLatin1String("N") ? 1.0 : -1.0)
                                 : (hemisphere == QLatin1String("W") ? -1.0 : 1.0);
    if (path.CoordsInDD)
        return std::fabs(leadingNumber(dd)) * sign;
    const auto number = [&](int i) {
        return leadingNumber(path.coords.at(static_cast<std::size_t>(first + i)));
    };
    return DmsToDegrees(number(0), number(1), number(2), sign);
}

terrain::GeoPoint transmitterOf(const PathState& path) {
    return {pathCoordinate(path, PathState::TxLatDeg_DD, path.TxLatDD, true),
            pathCoordinate(path, PathState::TxLonDeg_DDD, path.TxLonDD, false)};
}

terrain::GeoPoint receiverOf(const PathState& path) {
    return {pathCoordinate(path, PathState::RxLatDeg_DD, path.RxLatDD, true),
            pathCoordinate(path, PathState::RxLonDeg_DDD, path.RxLonDD, false)};
}

} // namespace

QString positionText(const terrain::GeoPoint& at) {
    return formatPattern(std::fabs(at.latDeg), u"#0.00000") +
           (at.latDeg < 0 ? QStringLiteral(" S ") : QStringLiteral(" N ")) +
           formatPattern(std::fabs(at.lonDeg), u"##0.00000") +
           (at.lonDeg < 0 ? QStringLiteral(" W") : QStringLiteral(" E"));
}

namespace {

QString oneDecimal(double value) {
    return formatPattern(value, u"0.0");
}

// " (model warning 3: ...)" for a cell of a site's map whose path the model warned about.
QString warningAt(const MapResult& shown, double latDeg, double lonDeg) {
    const coverage::CoverageGrid& grid = *shown.grid;
    const double column = std::floor((lonDeg - grid.westLonDeg) / grid.cellDeg);
    const double row = std::floor((grid.northLatDeg - latDeg) / grid.cellDeg);
    if (column < 0 || row < 0 || column >= grid.columns || row >= grid.rows)
        return {};
    const auto cell = static_cast<std::size_t>(row * grid.columns + column);
    if (cell >= grid.warning.size() || grid.warning[cell] == 0)
        return {};
    const auto cause =
        cell < grid.warningCause.size() ? grid.warningCause[cell] : coverage::WarningCause::Other;
    return QStringLiteral(" (model warning ") + QString::number(grid.warning[cell]) +
           QStringLiteral(": ") + QString::fromStdString(coverage::warningCauseText(cause)) + u')';
}

} // namespace

FrmCoverageModel::FrmCoverageModel(ProgramState& state, SettingsStore& store, Prompter& prompter,
                                   const AppInfo& info, CoverageServices services,
                                   std::function<PointToPointInputs()> radio, QString logFileName,
                                   QObject* parent)
    : ScreenModel(parent), m_state(state), m_store(store), m_registry(store), m_prompter(prompter), m_info(info),
      m_services(std::move(services)), m_radio(std::move(radio)),
      m_logFileName(std::move(logFileName)), m_run(m_services.engine) {
    setCaption(QStringLiteral("Verdan Planning Map"));
    m_registry.setAppname(info.title);
    m_registry.setSection(OwnSection);
    for (int f = 0; f < FieldCount; ++f)
        m_text.at(static_cast<std::size_t>(f)) = QString::fromLatin1(Specs.at(f).initial);
    m_text[txtRxHt] = generalNumber(m_radio().h2M);
    for (MapQuantity quantity : coverage::AllMapQuantities)
        m_text[levelsField(quantity)] = defaultLevelsText(quantity);
    connect(&m_run, &CoverageRun::stateChanged, this, &FrmCoverageModel::runStateChanged);
    connect(&m_run, &CoverageRun::progressChanged, this, &FrmCoverageModel::progressChanged);
    connect(&m_layers, &LayerStack::changed, this, &FrmCoverageModel::layersChanged);
}

QString FrmCoverageModel::controlName(Field field) {
    return QString::fromLatin1(Specs.at(field).control);
}

void FrmCoverageModel::setText(Field field, const QString& text) {
    if (m_text.at(field) == text)
        return;
    m_text.at(field) = text;
    emit changed();
}

void FrmCoverageModel::setChkHatch(bool hatch) {
    if (m_hatch == hatch)
        return;
    m_hatch = hatch;
    restyleCurrent();
}

FrmCoverageModel::Field FrmCoverageModel::levelsField(MapQuantity quantity) {
    switch (quantity) {
    case MapQuantity::LossDb:
        return txtLossLevels;
    case MapQuantity::PowerDbm:
        return txtPowerLevels;
    case MapQuantity::FieldDbuvm:
        return txtFieldLevels;
    case MapQuantity::MarginDb:
        break;
    }
    return txtMarginLevels;
}

namespace {

std::vector<MapQuantity> quantitiesOf(const coverage::CoverageGrid& grid) {
    std::vector<MapQuantity> offered;
    for (MapQuantity quantity : coverage::AllMapQuantities) {
        if (coverage::hasQuantity(grid, quantity))
            offered.push_back(quantity);
    }
    return offered;
}

bool offers(const coverage::CoverageGrid& grid, MapQuantity quantity) {
    return coverage::hasQuantity(grid, quantity);
}

bool sameColours(const coverage::MapStyle& a, const coverage::MapStyle& b) {
    return a.quantity() == b.quantity() && a.levels() == b.levels() &&
           a.palette() == b.palette() && a.hatch() == b.hatch();
}

} // namespace

std::vector<MapQuantity> FrmCoverageModel::quantities() const {
    const MapResult* shown = currentResult();
    if (!shown)
        return {MapQuantity::LossDb};
    return shown->band == ResultBand::Site ? quantitiesOf(*shown->grid) : std::vector<MapQuantity>{};
}

MapQuantity FrmCoverageModel::quantity() const {
    const MapResult* shown = currentResult();
    return shown ? shown->style.quantity() : MapQuantity::LossDb;
}

void FrmCoverageModel::setQuantity(MapQuantity quantity) {
    const MapResult* shown = currentResult();
    if (!shown || shown->band != ResultBand::Site || quantity == this->quantity() ||
        !offers(*shown->grid, quantity))
        return;
    m_chosenQuantity = quantity;
    restyleCurrent(quantity);
}

void FrmCoverageModel::setPalette(coverage::Palette palette) {
    if (m_palette == palette)
        return;
    m_palette = palette;
    restyleCurrent();
}

const MapResult* FrmCoverageModel::result(const QString& source) const {
    const auto found = m_results.find(source);
    return found == m_results.end() ? nullptr : &found->second;
}

const MapResult* FrmCoverageModel::currentResult() const {
    const int index = m_layers.legendLayer();
    return index < 0 ? nullptr : result(m_layers.at(index).source);
}

MapResult* FrmCoverageModel::currentResultToChange() {
    const int index = m_layers.legendLayer();
    const auto found = index < 0 ? m_results.end() : m_results.find(m_layers.at(index).source);
    return found == m_results.end() ? nullptr : &found->second;
}

coverage::MapStyle FrmCoverageModel::styleOf(MapQuantity quantity) const {
    std::vector<double> levels = readLevels(m_text[levelsField(quantity)], quantity)
                                     .value_or(coverage::defaultLevels(quantity));
    return coverage::MapStyle(quantity, std::move(levels), m_palette, m_hatch);
}

// The current result takes the window's colours: `quantity` (else its own), the levels of
// that quantity, the palette and the hatch.
void FrmCoverageModel::restyleCurrent(std::optional<MapQuantity> quantity) {
    ++m_mapRevision;
    const int index = m_layers.legendLayer();
    MapResult* shown = currentResultToChange();
    const coverage::MapStyle style =
        styleOf(quantity.value_or(shown ? shown->style.quantity() : MapQuantity::LossDb));
    if (shown && !sameColours(shown->style, style)) {
        shown->style = style;
        ++shown->revision;
        m_layers.add(shown->layer(m_layers.at(index).source));
    }
    emit changed();
}

// Forgets the data of the result layers removed.
void FrmCoverageModel::layersChanged() {
    std::erase_if(m_results, [this](const auto& entry) {
        return m_layers.find(LayerKind::Result, entry.first) < 0;
    });
    emit changed();
}

void FrmCoverageModel::setCmbERPUnit(int index) {
    m_erpUnit = index == 1 ? 1 : 0;
    emit changed();
}

bool FrmCoverageModel::profileFromFile() const {
    return m_state.path.ProfileReady && !m_state.path.ProfileFile.isEmpty();
}

std::optional<terrain::GeoPoint> FrmCoverageModel::transmitter() const {
    if (!profileFromFile())
        return transmitterOf(m_state.path);
    if (m_enteredFor == m_state.path.ProfileFile)
        return m_enteredTx;
    return std::nullopt;
}

QString FrmCoverageModel::lblSource() const {
    const PathState& path = m_state.path;
    const PointToPointInputs radio = m_radio();
    QString terrain = path.TerrainSource;
    if (terrain == QLatin1String("Raster") && !path.RasterPath.isEmpty())
        terrain += QStringLiteral(" (") + QFileInfo(QDir::cleanPath(path.RasterPath)).fileName() + u')';
    const std::optional<terrain::GeoPoint> tx = transmitter();
    QString site = tx ? QStringLiteral("Transmitter ") + positionText(*tx)
                      : QStringLiteral("Transmitter not known");
    if (profileFromFile())
        site += QStringLiteral(" (the profile comes from ") +
                QFileInfo(path.ProfileFile).fileName() +
                (tx ? QStringLiteral(", position entered)") : QStringLiteral(", which has no position: Run asks for one)"));
    return site + QStringLiteral(", ") + generalNumber(radio.h1M) + QStringLiteral(" m; terrain ") +
           terrain + QStringLiteral("\n") + generalNumber(radio.frequencyMHz) +
           QStringLiteral(" MHz, ") +
           (radio.horizontal ? QStringLiteral("horizontal") : QStringLiteral("vertical")) +
           QStringLiteral(", eps ") + generalNumber(radio.eps) + QStringLiteral(", sgm ") +
           generalNumber(radio.sgmSPerM) + QStringLiteral(" S/m, Ns ") +
           generalNumber(radio.nsNUnits) + QStringLiteral(", ") + radio.climateText;
}

QString FrmCoverageModel::lblInputsChanged() const {
    if (!m_run.hasMap() || lblSource() == m_mapSource)
        return {};
    return QStringLiteral("The point-to-point form's path, terrain or radio parameters changed "
                          "since this map was computed: Run uses the new ones.");
}

bool FrmCoverageModel::askTransmitter() {
    QString text = m_enteredTx ? formatPattern(m_enteredTx->latDeg, u"0.00000") +
                                     QStringLiteral(", ") +
                                     formatPattern(m_enteredTx->lonDeg, u"0.00000")
                               : QString();
    if (!m_prompter.input(QStringLiteral("The profile of the point-to-point form comes from a "
                                         "file and has no position. Transmitter latitude and "
                                         "longitude in decimal degrees (north and east positive), "
                                         "e.g. 45.5, -7.25:"),
                          WindowTitle, text))
        return false;
    static const QRegularExpression pair(QStringLiteral(
        R"(^\s*([-+]?(\d+\.?\d*|\.\d+))\s*,\s*([-+]?(\d+\.?\d*|\.\d+))\s*$)"));
    const QRegularExpressionMatch match = pair.match(text);
    const double latDeg = match.hasMatch() ? leadingNumber(match.captured(1)) : 100;
    const double lonDeg = match.hasMatch() ? leadingNumber(match.captured(3)) : 200;
    if (std::fabs(latDeg) > 89 || std::fabs(lonDeg) > 180) {
        inform(m_prompter,
               QStringLiteral("Warning: the transmitter position is a latitude from -89 to 89 "
                              "and a longitude from -180 to 180, separated by a comma"),
               WindowTitle);
        return false;
    }
    m_enteredTx = terrain::GeoPoint{latDeg, lonDeg};
    m_enteredFor = m_state.path.ProfileFile;
    return true;
}

QString FrmCoverageModel::lblStatus() const {
    switch (m_run.state()) {
    case RunState::Running:
        return QStringLiteral("Computing the map...");
    case RunState::Cancelling:
        return QStringLiteral("Cancelling...");
    case RunState::Done: {
        const bool network = m_run.networkRun();
        const auto& grid = m_run.grid();
        return generalNumber(network ? static_cast<double>(m_run.networkCells())
                                     : static_cast<double>(grid.columns) * grid.rows) +
               QStringLiteral(" cells in ") +
               formatPattern(network ? m_run.networkElapsedSec() : m_run.elapsedSec(), u"0.0") +
               QStringLiteral(" s");
    }
    case RunState::Failed:
        return m_run.message();
    case RunState::Idle:
        break;
    }
    if (!m_cancelled)
        return {};
    return m_run.networkRun()
               ? QStringLiteral("Cancelled: no map of the network or its sites is kept.")
               : QStringLiteral("Cancelled.");
}

void FrmCoverageModel::Form_Load() {
    for (int f = 0; f < FieldCount; ++f) {
        const QString stored = m_registry.Param(QLatin1String(Specs.at(f).key));
        if (!stored.isEmpty())
            m_text.at(static_cast<std::size_t>(f)) = stored;
    }
    m_erpUnit = m_registry.Param(QStringLiteral("CovERPUnit")) == QLatin1String("dBm") ? 1 : 0;
    m_hatch = m_registry.Param(QStringLiteral("CovHatchWarnings")) != QLatin1String("FALSE");
    m_palette = coverage::paletteNamed(m_registry.Param(QStringLiteral("CovPalette")).toStdString())
                    .value_or(coverage::DefaultPalette);
    m_layoutState = m_registry.Param(QStringLiteral("MapLayout"));
    m_layers.load(m_store, m_info.title, LayersSection);
    emit changed();
}

void FrmCoverageModel::Form_Unload() {
    for (int f = 0; f < FieldCount; ++f)
        m_registry.setParam(QLatin1String(Specs.at(f).key), m_text.at(static_cast<std::size_t>(f)));
    m_registry.setParam(QStringLiteral("CovERPUnit"),
                        m_erpUnit == 1 ? QStringLiteral("dBm") : QStringLiteral("dBW"));
    m_registry.setParam(QStringLiteral("CovHatchWarnings"),
                        m_hatch ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    m_registry.setParam(QStringLiteral("CovPalette"),
                        QString::fromStdString(coverage::paletteName(m_palette)));
    m_registry.setParam(QStringLiteral("MapLayout"), m_layoutState);
    m_layers.save(m_store, m_info.title, LayersSection);
}

bool FrmCoverageModel::checkField(Field field) {
    const FieldSpec& rule = Specs.at(field);
    const QString name = QString::fromLatin1(rule.name);
    if (const std::optional<MapQuantity> quantity = levelsQuantity(field)) {
        if (const auto levels = readLevels(m_text[field], *quantity)) {
            m_text[field] = QString::fromStdString(coverage::levelsText(*levels));
            restyleCurrent();
            return true;
        }
        inform(m_prompter,
               QStringLiteral("Warning: ") + name + QStringLiteral(" are 1 to ") +
                   QString::number(coverage::MaxStyleLevels) +
                   QStringLiteral(" numbers from -500 to 500, separated by commas"),
               name);
        setText(field, defaultLevelsText(*quantity));
        return false;
    }
    if (field == txtERP && m_text[field].trimmed().isEmpty())
        return true;
    const double offset = field == txtERP && m_erpUnit == 1 ? DbmPerDbw : 0;
    TextField checked{m_text[field], {}, 0, 0, true};
    if (CheckRange(m_prompter, checked, rule.minimum + offset, rule.maximum + offset, name))
        return true;
    setText(field, QString::fromLatin1(rule.replacement));
    return false;
}

void FrmCoverageModel::lostFocus(Field field) {
    checkField(field);
}

bool FrmCoverageModel::checkFields() {
    for (int f = 0; f < FieldCount; ++f) {
        if (!checkField(static_cast<Field>(f)))
            return false;
    }
    return true;
}

std::optional<coverage::CoverageInputs> FrmCoverageModel::buildInputs() {
    if (!checkFields() || (profileFromFile() && !transmitter() && !askTransmitter()))
        return std::nullopt;
    return windowInputs(*transmitter());
}

std::optional<coverage::CoverageInputs> FrmCoverageModel::windowInputs(terrain::GeoPoint tx) {
    const PointToPointInputs radio = m_radio();
    coverage::CoverageInputs in;
    in.tx = tx;
    in.txHeightM = radio.h1M;
    in.rxHeightM = leadingNumber(m_text[txtRxHt]);
    in.freqMHz = radio.frequencyMHz;
    in.polarization = radio.horizontal ? 0 : 1;
    in.epsRel = radio.eps;
    in.sgmSPerM = radio.sgmSPerM;
    in.surfRefN = radio.nsNUnits;
    in.climate = ClimateCode(radio.climateText);
    in.reliabilityPct = leadingNumber(m_text[txtRel]);
    in.confidencePct = leadingNumber(m_text[txtConf]);
    in.radiusKm = leadingNumber(m_text[txtRadius]);
    in.resolutionSec = leadingNumber(m_text[txtResolution]);
    if (!m_text[txtERP].trimmed().isEmpty())
        in.erpDbw = leadingNumber(m_text[txtERP]) - (m_erpUnit == 1 ? DbmPerDbw : 0);
    if (m_services.linkBudget && !m_services.linkBudget(in))
        return std::nullopt;
    return in;
}

bool FrmCoverageModel::cmdRun_Click() {
    if (busy())
        return false;
    const std::optional<coverage::CoverageInputs> in = buildInputs();
    if (!in)
        return false;
    QString error;
    std::shared_ptr<const terrain::TerrainSource> terrain =
        m_services.terrain ? m_services.terrain(m_state.path, error) : nullptr;
    if (!terrain) {
        inform(m_prompter, QStringLiteral("The terrain cannot be read: ") + error, WindowTitle,
               MsgIcon::Critical);
        return false;
    }
    m_cancelled = false;
    const QString source = lblSource();
    if (!m_run.start(*in, std::move(terrain)))
        return false;
    m_runClimate = m_radio().climateText;
    m_runSource = source;
    return true;
}

void FrmCoverageModel::runStateChanged() {
    switch (m_run.state()) {
    case RunState::Done:
        if (m_run.networkRun())
            addNetworkResults();
        else
            addRunResult();
        break;
    case RunState::Failed:
        inform(m_prompter,
               (m_run.networkRun() ? QStringLiteral("The network was not computed. ")
                                   : QStringLiteral("The coverage map was not computed. ")) +
                   m_run.message(),
               WindowTitle, MsgIcon::Critical);
        break;
    case RunState::Idle:
        m_cancelled = true;
        break;
    case RunState::Running:
    case RunState::Cancelling:
        break;
    }
    emit changed();
}

// The finished run becomes the top result layer, or replaces the layer of a run of the same
// inputs over the same terrain.
void FrmCoverageModel::addRunResult() {
    ++m_mapRevision;
    m_hover.clear();
    m_warnings = QString::fromStdString(
        coverage::warningSummary(m_run.grid(), coverage::MapStyle::WarningLevel));
    m_mapSource = m_runSource;
    MapResult made;
    made.grid = m_run.sharedGrid();
    made.inputs = m_run.inputs();
    const MapQuantity quantity = m_chosenQuantity && offers(*made.grid, *m_chosenQuantity)
                                     ? *m_chosenQuantity
                                     : coverage::defaultQuantity(m_run.inputs());
    made.style = styleOf(quantity);
    made.caption = runCaption();
    made.name = QStringLiteral("Tx ") + positionText(m_run.inputs().tx) + QStringLiteral(", ") +
                QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"));
    const QString source = runInputsText();
    const MapLayer layer = made.layer(source);
    m_results.insert_or_assign(source, std::move(made));
    m_layers.add(layer);
    reportLine(QStringLiteral("Coverage map: ") + m_results.at(source).caption);
}

QString FrmCoverageModel::runCaption() const {
    return runInputsText() + QStringLiteral(": ") + lblStatus() +
           (m_warnings.isEmpty() ? QString() : QStringLiteral("; ") + m_warnings);
}

QString FrmCoverageModel::runInputsText() const {
    return inputsText(m_run.inputs(), m_runClimate,
                      QString::fromStdString(m_run.terrain()->displayName()));
}

namespace {

// A power converted from watts to dBm ("50W" is 46.98970004336019 dBm) to a thousandth of a dB.
QString powerText(double powerDbm) {
    return numfmt::formatPattern(powerDbm, u"0.###");
}

} // namespace

QString inputsText(const coverage::CoverageInputs& in, const QString& climate,
                   const QString& terrainName) {
    const radio::TransmitterSide& tx = in.transmitter;
    return QStringLiteral("Tx ") + positionText(in.tx) + u' ' +
           generalNumber(in.txHeightM) + QStringLiteral(" m, Rx ") + generalNumber(in.rxHeightM) +
           QStringLiteral(" m, ") + generalNumber(in.freqMHz) + QStringLiteral(" MHz, ") +
           (in.polarization == 0 ? QStringLiteral("horizontal") : QStringLiteral("vertical")) +
           QStringLiteral(", eps ") + generalNumber(in.epsRel) + QStringLiteral(", sgm ") +
           generalNumber(in.sgmSPerM) + QStringLiteral(" S/m, Ns ") + generalNumber(in.surfRefN) +
           QStringLiteral(", ") + climate + QStringLiteral(", reliability ") +
           generalNumber(in.reliabilityPct) + QStringLiteral(" %, confidence ") +
           generalNumber(in.confidencePct) + QStringLiteral(" %, radius ") +
           generalNumber(in.radiusKm) + QStringLiteral(" km, resolution ") +
           generalNumber(in.resolutionSec) + QStringLiteral(" sec, terrain ") +
           terrainName +
           (in.erpDbw ? QStringLiteral(", ERP ") + generalNumber(*in.erpDbw) + QStringLiteral(" dBW")
                      : QString()) +
           (tx.powerDbm ? QStringLiteral(", power ") + powerText(*tx.powerDbm) +
                              QStringLiteral(" dBm, gain ") + generalNumber(tx.gainDbi) +
                              QStringLiteral(" dBi")
                        : QString());
}

void FrmCoverageModel::reportLine(const QString& line) {
    if (!m_state.log) {
        m_state.log = std::make_unique<RLogClass>(m_prompter);
        m_state.log->setTitle(QStringLiteral("Report Log"));
    }
    m_state.log->AddLine(line);
    if (!m_logFileName.isEmpty())
        m_state.log->SaveFile(m_logFileName);
}

void FrmCoverageModel::closeBoxClicked() {
    if (m_sitesTools && !m_sitesTools->sites().confirmClose())
        return;
    m_run.cancel();
    m_run.wait();
    requestClose();
}

coverage::MapStyle FrmCoverageModel::mapStyle() const {
    const MapResult* shown = currentResult();
    return shown ? shown->style : styleOf(MapQuantity::LossDb);
}

QString FrmCoverageModel::mapCaption() const {
    const MapResult* shown = currentResult();
    return shown ? shown->caption : QString();
}

std::optional<terrain::GeoPoint> FrmCoverageModel::receiver() const {
    if (profileFromFile())
        return std::nullopt;
    const terrain::GeoPoint rx = receiverOf(m_state.path);
    const terrain::GeoPoint tx = m_run.inputs().tx;
    if (greatCircleDistanceM(tx.latDeg, tx.lonDeg, rx.latDeg, rx.lonDeg) >
        m_run.inputs().radiusKm * 1000)
        return std::nullopt;
    return rx;
}

void FrmCoverageModel::mapHover(double latDeg, double lonDeg) {
    if (m_run.terrain() == nullptr)
        return;
    m_hover = hoverLines(latDeg, lonDeg);
    emit changed();
}

// The point, its distance from the last run's transmitter and its terrain height, then one
// line per visible result layer, top first.
QString FrmCoverageModel::hoverLines(double latDeg, double lonDeg) const {
    const terrain::GeoPoint tx = m_run.inputs().tx;
    QString text = positionText({latDeg, lonDeg});
    if (m_run.hasMap())
        text += QStringLiteral("   ") +
                oneDecimal(greatCircleDistanceM(tx.latDeg, tx.lonDeg, latDeg, lonDeg) / 1000) +
                QStringLiteral(" km");
    double elevationM = 0;
    if (m_run.terrain()->elevationAt({latDeg, lonDeg}, elevationM).ok)
        text += QStringLiteral("   terrain ") + formatPattern(elevationM, u"0") + QStringLiteral(" m");
    for (const MapLayer& layer : m_layers.layers()) {
        const MapResult* shown = layer.visible ? result(layer.source) : nullptr;
        if (layer.kind == LayerKind::Result && shown)
            text += u'\n' + shown->name + QStringLiteral(": ") + shown->valueAt(latDeg, lonDeg) +
                    warningAt(*shown, latDeg, lonDeg);
    }
    return text;
}

void FrmCoverageModel::mapLeft() {
    m_hover.clear();
    emit changed();
}

QStringList FrmCoverageModel::mapFilters() {
    return {QStringLiteral("GeoTIFF (*.tif)"), QStringLiteral("PNG with legend (*.png)"),
            QStringLiteral("KML for Google Earth (*.kml)"), QStringLiteral("PDF (*.pdf)")};
}

bool FrmCoverageModel::writeMap(MapFileFormat format, const QString& path, QStringList& written,
                                QString& error) {
    if (format == MapFileFormat::Png || format == MapFileFormat::Pdf) {
        written = {path};
        if (m_output)
            return m_output->saveImage(path, format, error);
        error = QStringLiteral("the map is not shown");
        return false;
    }
    if (!m_services.write) {
        error = QStringLiteral("no map writer is available");
        return false;
    }
    return m_services.write(format, *currentResult(), path, written, error);
}

void FrmCoverageModel::mnuFileSaveMap_Click() {
    if (!currentResult()) {
        inform(m_prompter, QStringLiteral("No coverage map is shown."),
               QStringLiteral("Save Map"));
        return;
    }
    const FileAnswer answer = m_prompter.saveFile({QStringLiteral("Save Map"), QDir::homePath(),
                                                   mapFilters(), 0, QStringLiteral("coverage.tif")});
    if (answer.path.isEmpty())
        return;
    static const std::array<QString, 4> suffixes = {QStringLiteral("tif"), QStringLiteral("png"),
                                                    QStringLiteral("kml"), QStringLiteral("pdf")};
    QString path = answer.path;
    const QString suffix = QFileInfo(path).suffix().toLower();
    auto found = std::find(suffixes.begin(), suffixes.end(),
                           suffix == QLatin1String("tiff") ? QStringLiteral("tif") : suffix);
    if (found == suffixes.end()) {
        found = suffixes.begin() + std::clamp(answer.filterIndex, 0, 3);
        path += u'.' + *found;
    }
    const auto format = static_cast<MapFileFormat>(found - suffixes.begin());
    // A KML brings its overlay picture and, for a site's map, its legend picture.
    const QString title = QStringLiteral("Save Map");
    const bool kml = format == MapFileFormat::Kml;
    if ((path != answer.path && !mayReplace(m_prompter, path, title)) ||
        (kml && !mayReplace(m_prompter, overlayPathOf(path), title)) ||
        (kml && !currentResult()->network && !mayReplace(m_prompter, legendPathOf(path), title)))
        return;
    QStringList written;
    QString error;
    if (!writeMap(format, path, written, error)) {
        inform(m_prompter, QStringLiteral("The map was not saved to ") + path + QStringLiteral(": ") +
                               error,
               QStringLiteral("Save Map"), MsgIcon::Critical);
        return;
    }
    reportLine(QStringLiteral("Coverage map saved: ") + written.join(QStringLiteral(", ")));
}

void FrmCoverageModel::mnuFilePrint_Click() {
    if (!currentResult()) {
        inform(m_prompter, QStringLiteral("No coverage map is shown."),
               QStringLiteral("Print"));
        return;
    }
    if (m_output)
        m_output->print();
}

void FrmCoverageModel::mnuHelpCoverage_Click() {
    HelpSystem(m_info, m_prompter).ShowHelp(1, CoverageHelpContext);
}

} // namespace verdan
