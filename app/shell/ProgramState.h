#pragma once

#include "AreaResults.h"
#include "ModelRecords.h"
#include "PathState.h"
#include "RLogClass.h"

#include <QString>
#include <array>
#include <memory>

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
    /// The shared point-to-point state: profile, terrain source, path coordinates.
    PathState path;
    /// The table of the last normal area run, for the graph and the archive.
    AreaResults area;
    /// The report log: created by the first mode form that loads, kept to the end of the run.
    std::unique_ptr<RLogClass> log;
    /// Field the ground constants pick-list fills: "txtsgm" or "txteps".
    QString PickTarget;
    /// Confidence levels (percent) the level picker offers, captioned as whole numbers; a 0
    /// ends the list (an offered level is always above 0, even when it rounds to 0).
    std::array<double, 5> ConfLevelChoices{};
    /// Level the level picker returned; 0 when none was.
    double ConfLevelChosen = 0;

    /// Back to the state of a fresh start of the program.
    void resetForStart() {
        archivePath.clear();
        ProfilePoints = 0;
        path = PathState();
        model.clearMessage();
    }
};

} // namespace verdan
