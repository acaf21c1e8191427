#pragma once

#include "SettingsStore.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace verdan {

/// One parameter shared with the Kethra programs: its name (also its key in the store) and
/// its value, whose type is fixed by the default it was created with.
struct KethraGlobal {
    QString ID;
    QVariant Value;
};

/// A screen's access to the settings store: its own settings one key at a time, and an
/// in-memory copy of the 37 parameters shared with the Kethra programs (application
/// "Ombrel_Kethra", section "Global Parameters"), loaded at creation and written back only by
/// SaveKethraGlobals.
class Registry {
public:
    /// Creates the shared parameters with their defaults, then loads the stored ones.
    explicit Registry(SettingsStore& store);

    static constexpr const char* KethraApp = "Ombrel_Kethra";
    static constexpr const char* KethraSection = "Global Parameters";

    QString Appname() const { return m_appname; }
    void setAppname(const QString& name) { m_appname = name; }
    QString Section() const { return m_section; }
    void setSection(const QString& section) { m_section = section; }
    QString Key() const { return m_key; }
    void setKey(const QString& key) { m_key = key; }
    QString Setting() const { return m_setting; }
    void setSetting(const QString& setting) { m_setting = setting; }

    /// Setting = the stored text of (Appname, Section, Key), empty when absent.
    void RegGet();
    /// Stores Setting under (Appname, Section, Key).
    void RegSave();
    /// Deletes (Appname, Section, Key).
    void RegDel();

    /// Reads `key` when Appname, Section and the key are all non-empty (then Key = key and
    /// Setting = the stored text, which is returned); otherwise returns "" and changes nothing.
    QString Param(const QString& key);
    /// Stores `value` under `key` when Appname, Section and the key are all non-empty (then
    /// Key = key and Setting = value); otherwise does nothing.
    void setParam(const QString& key, const QString& value);

    /// The shared parameter "CalledFromKethra": a Kethra program started this program and left
    /// its values in the shared section.
    bool KethraActive() const;
    void setKethraActive(bool active);

    /// The value of a shared parameter; an empty QVariant for a name not in the collection.
    QVariant kethraGlobal(const QString& name) const;
    /// Converts `value` to the type of the parameter's value and keeps it in memory; a name
    /// not in the collection or a value that does not convert changes nothing.
    void setKethraGlobal(const QString& name, const QVariant& value);

    /// Writes every shared parameter, in creation order, as text (numbers in the general
    /// number format, Booleans as True or False) into the shared section.
    void SaveKethraGlobals();

    /// The shared parameters in creation order.
    const std::vector<KethraGlobal>& kethraGlobals() const { return m_globals; }

    /// Converts `value` to the type of `templ`: 16- and 32-bit integers, single, double,
    /// string, Boolean, byte. Returns false (and leaves `out` alone) when it does not convert.
    static bool CoerceToType(const QVariant& templ, const QVariant& value, QVariant& out);
    /// The text a shared value is stored as.
    static QString valueText(const QVariant& value);

private:
    void AddGlobal(const QString& name, const QVariant& defaultValue);
    void LoadKethraGlobals();
    KethraGlobal* find(const QString& name);
    const KethraGlobal* find(const QString& name) const;

    SettingsStore& m_store;
    QString m_appname;
    QString m_section;
    QString m_key;
    QString m_setting;
    std::vector<KethraGlobal> m_globals;
};

} // namespace verdan
