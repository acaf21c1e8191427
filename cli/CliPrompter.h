#pragma once

#include "Prompter.h"

#include <ostream>

namespace verdan::cli {

/// The Prompter of verdan-cli: there is nobody to ask. Every message goes to `err` as one line;
/// the answers are those of a user who declines: Ok for a box with only an OK button, No for
/// Yes/No, Cancel otherwise; input boxes and file dialogs are cancelled, nothing is opened or
/// started, and the busy pointer is ignored.
class CliPrompter : public Prompter {
public:
    explicit CliPrompter(std::ostream& err) : m_err(err) {}

    MsgAnswer message(const QString& text, const QString& title, MsgButtons buttons,
                      MsgIcon icon) override;
    bool input(const QString& prompt, const QString& title, QString& value) override;
    FileAnswer saveFile(const FileRequest& request) override;
    FileAnswer openFile(const FileRequest& request) override;
    void runModal(ScreenModel& screen) override;
    void setBusy(bool busy) override;
    void showHelp(const QString& helpFile, int context) override;
    bool openDocument(const QString& path) override;
    bool startProgram(const QString& path) override;

private:
    std::ostream& m_err;
};

} // namespace verdan::cli
