#include "ScriptedPrompter.h"

#include "ScreenModel.h"

namespace verdan::test {

QStringList ScriptedPrompter::messageTexts() const {
    QStringList texts;
    for (const Message& shown : messages)
        texts << shown.text;
    return texts;
}

bool ScriptedPrompter::allAnswersUsed() const {
    bool scriptsUsed = true;
    for (const auto& [name, scripts] : modalScripts)
        scriptsUsed = scriptsUsed && scripts.empty();
    return scriptsUsed && messageAnswers.empty() && inputAnswers.empty() && saveAnswers.empty() &&
           openAnswers.empty();
}

MsgAnswer ScriptedPrompter::message(const QString& text, const QString& title, MsgButtons buttons,
                                    MsgIcon icon) {
    messages.push_back(Message{text, title, buttons, icon});
    if (messageShown)
        messageShown(messages.back());
    if (!messageAnswers.empty()) {
        const MsgAnswer answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok
                                                                        : MsgAnswer::Yes;
}

bool ScriptedPrompter::input(const QString& prompt, const QString& title, QString& value) {
    inputs.push_back(Input{prompt, title, value});
    if (inputAnswers.empty())
        return false;
    const std::optional<QString> answer = inputAnswers.front();
    inputAnswers.pop_front();
    if (!answer)
        return false;
    value = *answer;
    return true;
}

FileAnswer ScriptedPrompter::saveFile(const FileRequest& request) {
    saveRequests.push_back(request);
    if (saveAnswers.empty())
        return FileAnswer{};
    const FileAnswer answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

FileAnswer ScriptedPrompter::openFile(const FileRequest& request) {
    openRequests.push_back(request);
    if (openAnswers.empty())
        return FileAnswer{};
    const FileAnswer answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

void ScriptedPrompter::runModal(ScreenModel& screen) {
    const QString name = screen.screenName();
    screensShown << name;
    const auto scripts = modalScripts.find(name);
    if (scripts == modalScripts.end() || scripts->second.empty())
        return;
    const ModalScript script = std::move(scripts->second.front());
    scripts->second.pop_front();
    script(screen);
}

void ScriptedPrompter::showModeless(ScreenModel& screen, std::function<void()> closed) {
    screensShown << screen.screenName();
    modelessClosed = std::move(closed);
}

void ScriptedPrompter::setBusy(bool on) {
    busy = on;
    (on ? busyOnCount : busyOffCount) += 1;
}

void ScriptedPrompter::showHelp(const QString& helpFile, int context) {
    helpRequests.push_back(Help{helpFile, context});
}

bool ScriptedPrompter::openDocument(const QString& path) {
    documentsOpened << path;
    return documentResult;
}

bool ScriptedPrompter::startProgram(const QString& path) {
    programsStarted << path;
    return programResult;
}

} // namespace verdan::test
