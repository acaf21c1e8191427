#pragma once

#include "Prompter.h"

#include <functional>
#include <utility>

namespace verdan {

/// A prompter for a run that shows nothing and asks no one (benchmarks, the tools the build
/// runs): every message is handed to `tell`, when given, and answered OK; every dialog is
/// cancelled and nothing is opened or started.
class SilentPrompter final : public Prompter {
public:
    explicit SilentPrompter(std::function<void(const QString& text)> tell = {})
        : m_tell(std::move(tell)) {}

    MsgAnswer message(const QString& text, const QString&, MsgButtons, MsgIcon) override {
        if (m_tell)
            m_tell(text);
        return MsgAnswer::Ok;
    }
    bool input(const QString&, const QString&, QString&) override { return false; }
    FileAnswer saveFile(const FileRequest&) override { return {}; }
    FileAnswer openFile(const FileRequest&) override { return {}; }
    void runModal(ScreenModel&) override {}
    void setBusy(bool) override {}
    void showHelp(const QString&, int) override {}
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&) override { return false; }

private:
    std::function<void(const QString&)> m_tell;
};

} // namespace verdan
