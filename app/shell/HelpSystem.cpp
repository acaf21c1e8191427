#include "HelpSystem.h"

namespace verdan {

QString HelpSystem::HelpFileName(int kind) const {
    if (kind != 1)
        return {};
    return m_info.dataFolder + QStringLiteral("/help/verdan-help.html");
}

void HelpSystem::ShowHelp(int kind, int context) {
    const QString file = HelpFileName(kind);
    if (file.isEmpty())
        return;
    m_prompter.showHelp(file, context);
}

QString HelpSystem::userGuideFileName() const {
    return m_info.dataFolder + QStringLiteral("/help/user-guide.html");
}

QString HelpSystem::overviewDocumentName() const {
    return m_info.dataFolder + QStringLiteral("/verdan-overview.html");
}

} // namespace verdan
