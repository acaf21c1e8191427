#include "LinkBudgetModel.h"

#include "FileNameBytes.h"
#include "NumberFormat.h"

#include <verdan/radio/Units.h>

#include <QFileInfo>

namespace verdan {

namespace {

const QString Section = QStringLiteral("Link Budget");
const QString Title = QStringLiteral("Link Budget");

/// A field's control name, the name its messages use and its settings key.
struct FieldSpec {
    const char* control;
    const char* name;
    const char* key;
};

constexpr std::array<FieldSpec, LinkBudgetModel::FieldCount> Specs = {{
    {"txtPower", "Transmitter power", "Power"},
    {"txtTxLoss", "Transmitter line loss", "TxLoss_dB"},
    {"txtGain", "Antenna gain", "Gain"},
    {"txtAntennaFile", "Antenna file", "AntennaFile"},
    {"txtAzimuth", "Antenna azimuth", "Azimuth_deg"},
    {"txtTilt", "Antenna downtilt", "Tilt_deg"},
    {"txtRxGain", "Receiver antenna gain", "RxGain_dBi"},
    {"txtRxLoss", "Receiver line loss", "RxLoss_dB"},
    {"txtThreshold", "Threshold", "Threshold"},
}};

std::string utf8(const QString& text) {
    return text.trimmed().toStdString();
}

/// An angle field: empty reads 0; otherwise a number within `minimum`..`maximum`.
std::optional<double> angle(const QString& text, double minimum, double maximum) {
    if (text.trimmed().isEmpty())
        return 0.0;
    const std::optional<double> value = radio::parseDecimal(utf8(text));
    if (!value || *value < minimum || *value > maximum)
        return std::nullopt;
    return value;
}

QString angleError(double minimum, double maximum) {
    return QStringLiteral("degrees from %1 to %2")
        .arg(numfmt::generalNumber(minimum), numfmt::generalNumber(maximum));
}

} // namespace

LinkBudgetModel::LinkBudgetModel(SettingsStore& store, Prompter& prompter, QString app,
                                 QObject* parent)
    : ScreenModel(parent), m_store(store), m_prompter(prompter), m_app(std::move(app)) {
    setCaption(Title);
}

QString LinkBudgetModel::controlName(Field field) {
    return QString::fromLatin1(Specs.at(field).control);
}

QStringList LinkBudgetModel::powerUnits() {
    return {QStringLiteral("W"), QStringLiteral("dBm"), QStringLiteral("dBW")};
}

QStringList LinkBudgetModel::gainUnits() {
    return {QStringLiteral("dBi"), QStringLiteral("dBd")};
}

QStringList LinkBudgetModel::thresholdUnits() {
    return {QStringLiteral("dBm"), QStringLiteral("dBµV/m")};
}

void LinkBudgetModel::setText(Field field, const QString& text) {
    if (m_text.at(field) == text)
        return;
    m_text.at(field) = text;
    emit changed();
}

void LinkBudgetModel::setCmbPowerUnit(int unit) {
    m_powerUnit = std::clamp(unit, 0, static_cast<int>(UnitDbw));
    emit changed();
}

void LinkBudgetModel::setCmbGainUnit(int unit) {
    m_gainUnit = unit == UnitDbd ? UnitDbd : UnitDbi;
    emit changed();
}

void LinkBudgetModel::setCmbThresholdUnit(int unit) {
    m_thresholdUnit = unit == UnitThresholdDbuvm ? UnitThresholdDbuvm : UnitThresholdDbm;
    emit changed();
}

void LinkBudgetModel::setOptAntennaFile(bool useFile) {
    m_useFile = useFile;
    loadPattern();
    emit changed();
}

radio::AntennaPointing LinkBudgetModel::pointing() const {
    return {angle(m_text[txtAzimuth], 0, 360).value_or(0), angle(m_text[txtTilt], -90, 90).value_or(0)};
}

QString LinkBudgetModel::unitText(Field field) const {
    switch (field) {
    case txtPower:
        return m_powerUnit == UnitW ? QStringLiteral("W") : m_powerUnit == UnitDbm ? QStringLiteral("dBm") : QStringLiteral("dBW");
    case txtGain:
        return m_gainUnit == UnitDbd ? QStringLiteral("dBd") : QStringLiteral("dBi");
    case txtThreshold:
        return m_thresholdUnit == UnitThresholdDbuvm ? QStringLiteral("dBuV/m") : QStringLiteral("dBm");
    default:
        return {};
    }
}

QString LinkBudgetModel::fieldError(Field field) const {
    const QString& text = m_text.at(field);
    const bool empty = text.trimmed().isEmpty();
    std::string message;
    switch (field) {
    case txtPower:
        if (!empty)
            message = radio::parsePowerDbm(utf8(text + unitText(field))).message;
        break;
    case txtThreshold:
        if (!empty)
            message = radio::parseThreshold(utf8(text + unitText(field))).message;
        break;
    case txtGain:
        if (!empty && !m_useFile)
            radio::parseGainDbi(utf8(text + unitText(field)), message);
        break;
    case txtRxGain:
        if (!empty)
            radio::parseGainDbi(utf8(text), message);
        break;
    case txtTxLoss:
    case txtRxLoss:
        if (!empty)
            radio::parseLossDb(utf8(text), message);
        break;
    case txtAntennaFile:
        if (m_useFile && empty)
            return QStringLiteral("Antenna file: choose a pattern file, or use a fixed gain");
        if (m_useFile && !m_pattern)
            return m_antennaLine;
        break;
    case txtAzimuth:
        if (!angle(text, 0, 360))
            return QString::fromLatin1(Specs.at(field).name) + QStringLiteral(": ") + angleError(0, 360);
        break;
    case txtTilt:
        if (!angle(text, -90, 90))
            return QString::fromLatin1(Specs.at(field).name) + QStringLiteral(": ") + angleError(-90, 90);
        break;
    case FieldCount:
        break;
    }
    if (message.empty())
        return {};
    return QString::fromLatin1(Specs.at(field).name) + QStringLiteral(": ") + QString::fromStdString(message);
}

bool LinkBudgetModel::lostFocus(Field field) {
    if (field == txtAntennaFile) {
        loadPattern();
        emit changed();
    }
    const QString error = fieldError(field);
    if (error.isEmpty())
        return true;
    inform(m_prompter, error, Title, MsgIcon::Warning);
    return false;
}

void LinkBudgetModel::Form_Load() {
    for (int f = 0; f < FieldCount; ++f)
        m_text.at(f) = m_store.get(m_app, Section, QString::fromLatin1(Specs.at(f).key));
    m_powerUnit = std::clamp(static_cast<int>(numfmt::leadingNumber(m_store.get(m_app, Section, QStringLiteral("PowerUnit")))), 0, 2);
    m_gainUnit = m_store.get(m_app, Section, QStringLiteral("GainUnit")) == QLatin1String("1") ? UnitDbd : UnitDbi;
    m_thresholdUnit = m_store.get(m_app, Section, QStringLiteral("ThresholdUnit")) == QLatin1String("1") ? UnitThresholdDbuvm : UnitThresholdDbm;
    m_useFile = m_store.get(m_app, Section, QStringLiteral("UseAntennaFile")) == QLatin1String("True");
    loadPattern();
    emit changed();
}

void LinkBudgetModel::remember() {
    for (int f = 0; f < FieldCount; ++f)
        m_store.save(m_app, Section, QString::fromLatin1(Specs.at(f).key), m_text.at(f));
    m_store.save(m_app, Section, QStringLiteral("PowerUnit"), QString::number(m_powerUnit));
    m_store.save(m_app, Section, QStringLiteral("GainUnit"), QString::number(m_gainUnit));
    m_store.save(m_app, Section, QStringLiteral("ThresholdUnit"), QString::number(m_thresholdUnit));
    m_store.save(m_app, Section, QStringLiteral("UseAntennaFile"), m_useFile ? QStringLiteral("True") : QStringLiteral("False"));
}

void LinkBudgetModel::loadPattern() {
    const QString path = m_text[txtAntennaFile].trimmed();
    if (path == m_patternFor && (m_pattern || !m_antennaLine.isEmpty()))
        return;
    m_patternFor = path;
    m_pattern.reset();
    m_antennaLine.clear();
    if (path.isEmpty())
        return;
    radio::PatternRead read = radio::readPatternFile(fileNameBytes(path).toStdString());
    if (!read.pattern) {
        m_antennaLine = QStringLiteral("Antenna file: ") + QString::fromStdString(read.message);
        return;
    }
    m_pattern = std::move(read.pattern);
    const QString name = m_pattern->name.empty() ? QFileInfo(path).fileName() : QString::fromStdString(m_pattern->name);
    m_antennaLine = name + QStringLiteral(", ") + radio::formatFixed(m_pattern->gainDbi, 2).c_str() +
                    QStringLiteral(" dBi");
    if (m_pattern->electricalTiltDeg != 0)
        m_antennaLine += QStringLiteral(", electrical tilt ") + numfmt::generalNumber(m_pattern->electricalTiltDeg) + QStringLiteral("°");
}

void LinkBudgetModel::cmdBrowseAntenna_Click() {
    FileRequest request;
    request.caption = QStringLiteral("Antenna Pattern");
    request.startFolder = QFileInfo(m_text[txtAntennaFile]).path();
    request.filters = {QStringLiteral("Antenna Patterns (*.msi *.pln *.MSI *.PLN)"), QStringLiteral("All Files (*)")};
    const FileAnswer answer = m_prompter.openFile(request);
    if (answer.path.isEmpty())
        return;
    m_text[txtAntennaFile] = answer.path;
    m_useFile = true;
    loadPattern();
    emit changed();
    if (!m_pattern)
        inform(m_prompter, m_antennaLine, Title, MsgIcon::Warning);
}

std::optional<LinkBudgetInputs> LinkBudgetModel::inputs() {
    loadPattern();
    for (int f = 0; f < FieldCount; ++f) {
        const QString error = fieldError(static_cast<Field>(f));
        if (!error.isEmpty()) {
            inform(m_prompter, error, Title, MsgIcon::Warning);
            return std::nullopt;
        }
    }
    const auto optional = [&](Field field) { return !m_text.at(field).trimmed().isEmpty(); };
    std::string ignored;
    LinkBudgetInputs in;
    if (optional(txtPower))
        in.tx.powerDbm = radio::parsePowerDbm(utf8(m_text[txtPower] + unitText(txtPower))).dbm;
    if (optional(txtTxLoss))
        in.tx.lineLossDb = *radio::parseLossDb(utf8(m_text[txtTxLoss]), ignored);
    if (m_useFile) {
        in.tx.pattern = m_pattern;
        in.tx.gainDbi = m_pattern->gainDbi;
        in.tx.pointing = pointing();
        in.antennaFile = m_text[txtAntennaFile].trimmed();
    } else if (optional(txtGain)) {
        in.tx.gainDbi = *radio::parseGainDbi(utf8(m_text[txtGain] + unitText(txtGain)), ignored);
    }
    if (optional(txtRxGain))
        in.rx.gainDbi = *radio::parseGainDbi(utf8(m_text[txtRxGain]), ignored);
    if (optional(txtRxLoss))
        in.rx.lineLossDb = *radio::parseLossDb(utf8(m_text[txtRxLoss]), ignored);
    if (optional(txtThreshold))
        in.rx.threshold = radio::parseThreshold(utf8(m_text[txtThreshold] + unitText(txtThreshold))).threshold;
    remember();
    return in;
}

} // namespace verdan
