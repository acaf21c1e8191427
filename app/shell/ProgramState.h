#pragma once

#include "ModelRecords.h"

#include <QString>

namespace verdan {

/// The state the screens share for the whole run of the program. One object, owned by the
/// program and handed to every screen, so that nothing lives in hidden globals and every test
/// starts from a clean state.
struct ProgramState {
    /// The intro screen is shown at start-up.
    bool ShowIntro = true;
    /// Path of the results archive chosen in this run; empty until the user picks one.
    QString archivePath;
    /// Number of points of the last extracted terrain profile.
    int ProfilePoints = 0;
    /// The records exchanged with the propagation model.
    ModelRecords model;

    /// Back to the state of a fresh start of the program.
    void resetForStart() {
        archivePath.clear();
        ProfilePoints = 0;
        model.clearMessage();
    }
};

} // namespace verdan
