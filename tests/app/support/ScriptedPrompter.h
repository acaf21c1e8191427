#pragma once

#include "Prompter.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace verdan::test {

/// A Prompter for tests of screen models: it shows nothing. Answers are queued beforehand
/// and consumed in order; every request is recorded so a test can check what the user would
/// have seen.
///
/// When nothing is queued: a message box answers with its first button (Ok for Ok and
/// OkCancel, Yes for YesNo and YesNoCancel), an input box and the file dialogs answer as if
/// cancelled, runModal() returns at once (the screen is recorded as shown), openDocument()
/// and startProgram() return `documentResult` / `programResult` (true by default).
///
/// Typical use:
///     ScriptedPrompter prompter;
///     prompter.queueSaveFile("/tmp/x.rtf", 2);
///     prompter.queueMessage(MsgAnswer::No);
///     model.cmdFile_Click();
///     EXPECT_EQ(prompter.messages.at(0).text, "...");
class ScriptedPrompter : public Prompter {
public:
    /// A message box that was shown.
    struct Message {
        QString text;
        QString title;
        MsgButtons buttons = MsgButtons::Ok;
        MsgIcon icon = MsgIcon::None;
    };
    /// An input box that was shown, with the value it started with.
    struct Input {
        QString prompt;
        QString title;
        QString initialValue;
    };
    /// A help request.
    struct Help {
        QString helpFile;
        int context = 0;
    };
    /// What runModal() does with a screen: the script may change the model's state and call
    /// its handlers, like a user would while the screen is open.
    using ModalScript = std::function<void(ScreenModel&)>;

    // ---- Queuing answers ----
    /// The next message box answers `answer`.
    void queueMessage(MsgAnswer answer) { messageAnswers.push_back(answer); }
    /// The next input box answers `value` (OK).
    void queueInput(const QString& value) { inputAnswers.emplace_back(value); }
    /// The next input box is cancelled.
    void queueInputCancel() { inputAnswers.emplace_back(std::nullopt); }
    /// The next save-file dialog returns `path` with the filter `filterIndex` (0-based)
    /// selected; an empty `path` is a cancel.
    void queueSaveFile(const QString& path, int filterIndex = 0) {
        saveAnswers.push_back(FileAnswer{path, filterIndex});
    }
    /// The next open-file dialog returns `path` with the filter `filterIndex` selected.
    void queueOpenFile(const QString& path, int filterIndex = 0) {
        openAnswers.push_back(FileAnswer{path, filterIndex});
    }
    /// The next runModal() of the screen named `screenName` runs `script`.
    void queueModal(const QString& screenName, ModalScript script) {
        modalScripts[screenName].push_back(std::move(script));
    }

    // ---- Queues (left-overs show answers that were never asked for) ----
    std::deque<MsgAnswer> messageAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<FileAnswer> saveAnswers;
    std::deque<FileAnswer> openAnswers;
    std::map<QString, std::deque<ModalScript>> modalScripts;
    /// What to call when the last screen shown by showModeless() goes (a test calls it).
    std::function<void()> modelessClosed;
    /// Called with each message box as it is shown, before it is answered.
    std::function<void(const Message&)> messageShown;

    // ---- Records ----
    std::vector<Message> messages;
    std::vector<Input> inputs;
    std::vector<FileRequest> saveRequests;
    std::vector<FileRequest> openRequests;
    /// screenName() of every screen run modally, in order.
    QStringList screensShown;
    /// How often the busy pointer was switched on and off, and whether it is on now.
    int busyOnCount = 0;
    int busyOffCount = 0;
    bool busy = false;
    std::vector<Help> helpRequests;
    QStringList documentsOpened;
    QStringList programsStarted;
    bool documentResult = true;
    bool programResult = true;

    /// The texts of all messages shown, in order.
    QStringList messageTexts() const;
    /// True when every queued answer and script was used.
    bool allAnswersUsed() const;

    // ---- Prompter ----
    MsgAnswer message(const QString& text, const QString& title, MsgButtons buttons,
                      MsgIcon icon) override;
    bool input(const QString& prompt, const QString& title, QString& value) override;
    FileAnswer saveFile(const FileRequest& request) override;
    FileAnswer openFile(const FileRequest& request) override;
    void runModal(ScreenModel& screen) override;
    /// Records the screen in screensShown and keeps `closed` in modelessClosed; returns at once.
    void showModeless(ScreenModel& screen, std::function<void()> closed) override;
    void setBusy(bool on) override;
    void showHelp(const QString& helpFile, int context) override;
    bool openDocument(const QString& path) override;
    bool startProgram(const QString& path) override;
};

} // namespace verdan::test
