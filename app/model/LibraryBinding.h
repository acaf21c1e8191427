#pragma once

#include "Prompter.h"

#include <QString>

namespace verdan {

/// A shared library bound by name at the first call of each of its routines: looked for
/// beside the executable first, then by the system's library search. A library or routine
/// that cannot be found is shown in a message box that names it; the caller then does
/// nothing else.
class LibraryBinding {
public:
    /// `fileName` like "libpmverdan.so"; `description` names the library for the user
    /// ("propagation model library"); `folder` empty: the executable's folder.
    LibraryBinding(QString fileName, QString description, Prompter& prompter, QString folder = {});
    ~LibraryBinding();
    LibraryBinding(const LibraryBinding&) = delete;
    LibraryBinding& operator=(const LibraryBinding&) = delete;

    /// The routine `name`, loading the library when needed; nullptr after telling the user.
    template <typename Function> Function* resolve(const char* name) {
        return reinterpret_cast<Function*>(resolveSymbol(name));
    }

    /// The file the library was loaded from, empty before the first successful load.
    QString loadedPath() const { return m_loadedPath; }
    /// The folder searched first.
    QString folder() const { return m_folder; }

private:
    void* resolveSymbol(const char* name);
    bool load();

    QString m_fileName;
    QString m_description;
    Prompter& m_prompter;
    QString m_folder;
    QString m_loadedPath;
    void* m_handle = nullptr;
};

/// The folder of the running executable.
QString executableFolder();

} // namespace verdan
