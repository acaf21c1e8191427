#include "CliPrompter.h"

#include "CliOptions.h"

namespace verdan::cli {

MsgAnswer CliPrompter::message(const QString& text, const QString& title, MsgButtons buttons,
                               MsgIcon) {
    const QString line = oneLine(text);
    m_err << "verdan-cli: "
          << (title.isEmpty() ? QString() : title + QStringLiteral(": ")).toStdString()
          << line.toStdString() << '\n';
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
        break;
    }
    return MsgAnswer::Cancel;
}

bool CliPrompter::input(const QString&, const QString&, QString&) {
    return false;
}

FileAnswer CliPrompter::saveFile(const FileRequest&) {
    return {};
}

FileAnswer CliPrompter::openFile(const FileRequest&) {
    return {};
}

void CliPrompter::runModal(ScreenModel&) {}

void CliPrompter::setBusy(bool) {}

void CliPrompter::showHelp(const QString&, int) {}

bool CliPrompter::openDocument(const QString&) {
    return false;
}

bool CliPrompter::startProgram(const QString&) {
    return false;
}

} // namespace verdan::cli
