#pragma once

#include "AppInfo.h"
#include "Prompter.h"

namespace verdan {

/// Opens the program's help for every screen.
class HelpSystem {
public:
    HelpSystem(const AppInfo& info, Prompter& prompter) : m_info(info), m_prompter(prompter) {}

    /// Kind 1: the program's HTML help file in the data folder; any other kind: "".
    QString HelpFileName(int kind) const;
    /// Opens the help file of `kind` at `context` (every "&Help System" item uses 1, 1).
    void ShowHelp(int kind, int context);
    /// The second help file, the user guide.
    QString userGuideFileName() const;
    /// The overview document opened with the desktop's document viewer.
    QString overviewDocumentName() const;

private:
    const AppInfo& m_info;
    Prompter& m_prompter;
};

} // namespace verdan
