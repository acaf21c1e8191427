#include "SettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace verdan {

namespace {

// Settings files hold a few hundred short values; anything larger is not one.
constexpr qint64 kLargestSettingsFileBytes = 1024 * 1024;

// True when `file` is absent or a regular file of a settings file's size. A FIFO would block
// the reader, a device or a huge file would grow its memory without end, and writing would
// replace what is there: such a file is neither read nor written.
bool usable(const QString& file) {
    const QFileInfo info(file);
    return !info.exists() || (info.isFile() && info.size() <= kLargestSettingsFileBytes);
}

} // namespace

IniSettingsStore::IniSettingsStore(QString configFolder) : m_folder(std::move(configFolder)) {
    if (m_folder.isEmpty())
        m_folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString IniSettingsStore::fileFor(const QString& app) const {
    return m_folder + u'/' + app + u'/' + app + QStringLiteral(".ini");
}

QString IniSettingsStore::get(const QString& app, const QString& section, const QString& key) {
    if (!usable(fileFor(app)))
        return {};
    QSettings ini(fileFor(app), QSettings::IniFormat);
    const QVariant value = ini.value(section + u'/' + key);
    // A text with commas written unquoted by another program reads as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

void IniSettingsStore::save(const QString& app, const QString& section, const QString& key,
                            const QString& value) {
    if (!usable(fileFor(app)))
        return;
    QSettings ini(fileFor(app), QSettings::IniFormat);
    ini.setValue(section + u'/' + key, value);
    ini.sync();
}

void IniSettingsStore::remove(const QString& app, const QString& section, const QString& key) {
    if (!usable(fileFor(app)))
        return;
    QSettings ini(fileFor(app), QSettings::IniFormat);
    ini.remove(section + u'/' + key);
    ini.sync();
}

QString MemorySettingsStore::address(const QString& app, const QString& section,
                                     const QString& key) {
    return app + u'\x1f' + section + u'\x1f' + key;
}

QString MemorySettingsStore::get(const QString& app, const QString& section, const QString& key) {
    return m_values.value(address(app, section, key));
}

void MemorySettingsStore::save(const QString& app, const QString& section, const QString& key,
                               const QString& value) {
    m_values.insert(address(app, section, key), value);
}

void MemorySettingsStore::remove(const QString& app, const QString& section, const QString& key) {
    m_values.remove(address(app, section, key));
}

} // namespace verdan
