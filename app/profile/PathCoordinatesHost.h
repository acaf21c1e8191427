#pragma once

#include "FrmProfileModel.h"
#include "TerrainLibrary.h"

#include <memory>

namespace verdan {

/// Keeps the path coordinates form for the program: it is loaded at its first opening, only
/// hidden when the user leaves it, and unloaded when the mode selector closes. Owns the
/// binding of the terrain library.
class PathCoordinatesHost {
public:
    /// `libraryFolder` empty: the terrain library is looked for beside the executable.
    PathCoordinatesHost(ProgramState& state, Prompter& prompter, const AppInfo& info,
                        QString libraryFolder = {});

    /// "Path Coordinates": loads the form unless it is loaded, then shows it modally.
    void open();
    /// Unloads the form (the next opening loads it again from the shared coordinates).
    void unload() { m_form.reset(); }
    /// The form while it is loaded, else nullptr.
    FrmProfileModel* loadedForm() { return m_form.get(); }
    TerrainLibrary& terrain() { return m_terrain; }

private:
    ProgramState& m_state;
    Prompter& m_prompter;
    const AppInfo& m_info;
    TerrainLibrary m_terrain;
    std::unique_ptr<FrmProfileModel> m_form;
};

} // namespace verdan
