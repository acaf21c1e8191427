#include "LibraryBinding.h"

#include <QFileInfo>
#include <dlfcn.h>

namespace verdan {

QString executableFolder() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

LibraryBinding::LibraryBinding(QString fileName, QString description, Prompter& prompter,
                               QString folder)
    : m_fileName(std::move(fileName)), m_description(std::move(description)), m_prompter(prompter),
      m_folder(folder.isEmpty() ? executableFolder() : std::move(folder)) {}

LibraryBinding::~LibraryBinding() {
    if (m_handle)
        dlclose(m_handle);
}

bool LibraryBinding::load() {
    if (m_handle)
        return true;
    const QString beside = m_folder + u'/' + m_fileName;
    QString error;
    if (QFileInfo::exists(beside)) {
        m_handle = dlopen(QFile::encodeName(beside).constData(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle) {
            m_loadedPath = beside;
            return true;
        }
        error = QString::fromLocal8Bit(dlerror());
    }
    m_handle = dlopen(QFile::encodeName(m_fileName).constData(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle) {
        m_loadedPath = m_fileName;
        return true;
    }
    if (error.isEmpty())
        error = QString::fromLocal8Bit(dlerror());
    m_prompter.message(QStringLiteral("The %1 %2 could not be loaded.\n\n%3")
                           .arg(m_description, m_fileName, error),
                       QStringLiteral("Verdan"), MsgButtons::Ok, MsgIcon::Critical);
    return false;
}

void* LibraryBinding::resolveSymbol(const char* name) {
    if (!load())
        return nullptr;
    dlerror();
    void* symbol = dlsym(m_handle, name);
    if (!symbol) {
        m_prompter.message(QStringLiteral("The routine %1 was not found in the %2 %3.")
                               .arg(QString::fromLatin1(name), m_description, m_loadedPath),
                           QStringLiteral("Verdan"), MsgButtons::Ok, MsgIcon::Critical);
    }
    return symbol;
}

} // namespace verdan
