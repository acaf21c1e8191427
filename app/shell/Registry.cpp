#include "Registry.h"

#include "NumberFormat.h"

#include <cmath>
#include <limits>

namespace verdan {

namespace {

// A number written as text, as the shared parameters' owners write them: surrounding blanks
// allowed, a point as decimal separator, nothing else after the number.
bool parseNumber(const QString& text, double& out) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok); // QString::toDouble always uses the C locale
    if (!ok || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

bool toNumber(const QVariant& value, double& out) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        out = value.toBool() ? -1.0 : 0.0; // the Kethra programs' True is -1
        return true;
    case QMetaType::QString:
        return parseNumber(value.toString(), out);
    default: {
        bool ok = false;
        out = value.toDouble(&ok);
        return ok && std::isfinite(out);
    }
    }
}

// Integer conversion rounds half to even, as the Kethra programs' own conversion does.
bool toInteger(const QVariant& value, double minimum, double maximum, qint64& out) {
    double v = 0;
    if (!toNumber(value, v))
        return false;
    const double r = std::nearbyint(v);
    if (r < minimum || r > maximum)
        return false;
    out = static_cast<qint64>(r);
    return true;
}

} // namespace

Registry::Registry(SettingsStore& store) : m_store(store) {
    const QString two = QStringLiteral("  ");
    const QString three = QStringLiteral("   ");
    AddGlobal("TxLatDeg_DD", two);
    AddGlobal("TxLatMin_MM", two);
    AddGlobal("TxLatSec_SS", two);
    AddGlobal("TxLatH_NS", QStringLiteral("N"));
    AddGlobal("TxLonDeg_DDD", three);
    AddGlobal("TxLonMin_MM", two);
    AddGlobal("TxLonSec_SS", two);
    AddGlobal("TxLonH_EW", QStringLiteral("W"));
    AddGlobal("RxLatDeg_DD", two);
    AddGlobal("RxLatMin_MM", two);
    AddGlobal("RxLatSec_SS", two);
    AddGlobal("RxLatH_NS", QStringLiteral("N"));
    AddGlobal("RxLonDeg_DDD", three);
    AddGlobal("RxLonMin_MM", two);
    AddGlobal("RxLonSec_SS", two);
    AddGlobal("RxLonH_EW", QStringLiteral("W"));
    AddGlobal("TxHt_m", 0.0);
    AddGlobal("RxHt_m", 0.0);
    AddGlobal("TxLoss_dB", 0.0);
    AddGlobal("RxLoss_dB", 0.0);
    AddGlobal("TxGain_dBi", 0.0);
    AddGlobal("RxGain_dBi", 0.0);
    AddGlobal("TxPower_w", 0.0);
    AddGlobal("TxPolar_HV", QStringLiteral("H"));
    AddGlobal("RxPolar_HV", QStringLiteral("H"));
    AddGlobal("TxFreq_MHz", 100.0);
    AddGlobal("Refrac_Nunits", 301.0);
    AddGlobal("Humidity_gm3", 10.0);
    AddGlobal("GrndCond_Sm", 0.005);
    AddGlobal("GrndDiel", 15.0);
    AddGlobal("DeltaH_m", 90.0);
    AddGlobal("PctTime_pct", 0.5);
    AddGlobal("PctLoc_pct", 0.5);
    AddGlobal("Dist_Km", 1.0);
    AddGlobal("Quarn_Drive", QVariant::fromValue<qint16>(1));
    AddGlobal("Dorvex", QStringLiteral("Quarn"));
    AddGlobal("CalledFromKethra", false);
    LoadKethraGlobals();
}

void Registry::RegGet() {
    m_setting = m_store.get(m_appname, m_section, m_key);
}

void Registry::RegSave() {
    m_store.save(m_appname, m_section, m_key, m_setting);
}

void Registry::RegDel() {
    m_store.remove(m_appname, m_section, m_key);
}

QString Registry::Param(const QString& key) {
    if (m_appname.isEmpty() || m_section.isEmpty() || key.isEmpty())
        return {};
    m_key = key;
    RegGet();
    return m_setting;
}

void Registry::setParam(const QString& key, const QString& value) {
    if (m_appname.isEmpty() || m_section.isEmpty() || key.isEmpty())
        return;
    m_key = key;
    m_setting = value;
    RegSave();
}

bool Registry::KethraActive() const {
    return kethraGlobal("CalledFromKethra").toBool();
}

void Registry::setKethraActive(bool active) {
    setKethraGlobal("CalledFromKethra", active);
}

QVariant Registry::kethraGlobal(const QString& name) const {
    const KethraGlobal* g = find(name);
    return g ? g->Value : QVariant();
}

void Registry::setKethraGlobal(const QString& name, const QVariant& value) {
    KethraGlobal* g = find(name);
    if (!g)
        return;
    QVariant converted;
    if (CoerceToType(g->Value, value, converted))
        g->Value = converted;
}

void Registry::SaveKethraGlobals() {
    for (const KethraGlobal& g : m_globals)
        m_store.save(KethraApp, KethraSection, g.ID, valueText(g.Value));
}

bool Registry::CoerceToType(const QVariant& templ, const QVariant& value, QVariant& out) {
    switch (templ.typeId()) {
    case QMetaType::QString:
        if (value.typeId() == QMetaType::Bool)
            out = value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
            out = numfmt::generalNumber(value.toDouble());
        else
            out = value.toString();
        return true;
    case QMetaType::Double: {
        double v = 0;
        if (!toNumber(value, v))
            return false;
        out = v;
        return true;
    }
    case QMetaType::Float: {
        double v = 0;
        if (!toNumber(value, v) || std::fabs(v) > std::numeric_limits<float>::max())
            return false;
        out = static_cast<float>(v);
        return true;
    }
    case QMetaType::Short: {
        qint64 v = 0;
        if (!toInteger(value, -32768, 32767, v))
            return false;
        out = QVariant::fromValue<qint16>(static_cast<qint16>(v));
        return true;
    }
    case QMetaType::Int: {
        qint64 v = 0;
        if (!toInteger(value, -2147483648.0, 2147483647.0, v))
            return false;
        out = static_cast<int>(v);
        return true;
    }
    case QMetaType::UChar: {
        qint64 v = 0;
        if (!toInteger(value, 0, 255, v))
            return false;
        out = QVariant::fromValue<uchar>(static_cast<uchar>(v));
        return true;
    }
    case QMetaType::Bool: {
        if (value.typeId() == QMetaType::QString) {
            const QString t = value.toString().trimmed();
            if (t.compare(u"True", Qt::CaseInsensitive) == 0) {
                out = true;
                return true;
            }
            if (t.compare(u"False", Qt::CaseInsensitive) == 0) {
                out = false;
                return true;
            }
        }
        double v = 0;
        if (!toNumber(value, v))
            return false;
        out = v != 0.0;
        return true;
    }
    default:
        out = value;
        return true;
    }
}

QString Registry::valueText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float:
        return numfmt::generalNumber(value.toDouble());
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::UChar:
        return QString::number(value.toLongLong());
    default:
        return value.toString();
    }
}

void Registry::AddGlobal(const QString& name, const QVariant& defaultValue) {
    m_globals.push_back({name, defaultValue});
}

void Registry::LoadKethraGlobals() {
    for (KethraGlobal& g : m_globals) {
        const QString text = m_store.get(KethraApp, KethraSection, g.ID);
        if (text.isEmpty())
            continue;
        QVariant converted;
        if (CoerceToType(g.Value, text, converted))
            g.Value = converted;
    }
}

KethraGlobal* Registry::find(const QString& name) {
    for (KethraGlobal& g : m_globals)
        if (g.ID == name)
            return &g;
    return nullptr;
}

const KethraGlobal* Registry::find(const QString& name) const {
    for (const KethraGlobal& g : m_globals)
        if (g.ID == name)
            return &g;
    return nullptr;
}

} // namespace verdan
