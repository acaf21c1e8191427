#pragma once

#include <QHash>
#include <QString>

namespace verdan {

/// The per-user settings store: text values addressed by application name, section and key.
/// Reading an absent key gives an empty text; saving creates what is needed.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString get(const QString& app, const QString& section, const QString& key) = 0;
    virtual void save(const QString& app, const QString& section, const QString& key,
                      const QString& value) = 0;
    virtual void remove(const QString& app, const QString& section, const QString& key) = 0;
};

/// The store on disk: one INI file per application name,
/// `$XDG_CONFIG_HOME/<app>/<app>.ini` (by default under ~/.config), a section per INI group,
/// every value text in the C locale. Sibling programs read and write the same files. A file
/// that is not a regular file of at most 1 MiB (a FIFO, a device, a huge file) reads as empty
/// and is never written.
class IniSettingsStore final : public SettingsStore {
public:
    /// `configFolder` empty: the user's configuration folder ($XDG_CONFIG_HOME or ~/.config).
    explicit IniSettingsStore(QString configFolder = {});
    QString get(const QString& app, const QString& section, const QString& key) override;
    void save(const QString& app, const QString& section, const QString& key,
              const QString& value) override;
    void remove(const QString& app, const QString& section, const QString& key) override;

    /// The file that holds an application's settings.
    QString fileFor(const QString& app) const;

private:
    QString m_folder;
};

/// A store in memory, for tests and for runs that must leave the user's settings alone.
class MemorySettingsStore final : public SettingsStore {
public:
    QString get(const QString& app, const QString& section, const QString& key) override;
    void save(const QString& app, const QString& section, const QString& key,
              const QString& value) override;
    void remove(const QString& app, const QString& section, const QString& key) override;
    /// Number of stored values, all applications together.
    int size() const { return static_cast<int>(m_values.size()); }

private:
    static QString address(const QString& app, const QString& section, const QString& key);
    QHash<QString, QString> m_values;
};

} // namespace verdan
