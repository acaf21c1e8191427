#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <functional>

namespace verdan {

class ScreenModel;

/// Buttons offered by a message box.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
/// Icon of a message box.
enum class MsgIcon { None, Information, Warning, Critical, Question };
/// The button the user pressed; Cancel also when the box was closed without a choice.
enum class MsgAnswer { Ok, Cancel, Yes, No };

/// A file dialog request: `filters` are "Text Files (*.txt)" entries, `filterIndex` the
/// one preselected (0-based).
struct FileRequest {
    QString caption;
    QString startFolder;
    QStringList filters;
    int filterIndex = 0;
    QString proposedName;
    /// Open dialogs: choose an existing folder instead of a file (filters are not used).
    bool folder = false;
};

/// The answer of a file dialog: an empty `path` means the user cancelled.
struct FileAnswer {
    QString path;
    int filterIndex = 0;
};

/// Everything a screen model asks of the user or of the desktop goes through this interface:
/// message boxes, input boxes, file dialogs, modal screens, the busy cursor, help and
/// documents. The program implements it with Qt widgets; tests script it.
class Prompter {
public:
    virtual ~Prompter() = default;

    /// A message box with `text`, titled `title`; returns the button pressed.
    virtual MsgAnswer message(const QString& text, const QString& title, MsgButtons buttons,
                              MsgIcon icon) = 0;
    /// An input box; returns false when the user cancelled (then `value` is unchanged).
    virtual bool input(const QString& prompt, const QString& title, QString& value) = 0;
    /// A save-file dialog.
    virtual FileAnswer saveFile(const FileRequest& request) = 0;
    /// An open-file dialog.
    virtual FileAnswer openFile(const FileRequest& request) = 0;
    /// Shows `screen` modally until it asks to close. The screen's own load and unload steps
    /// are run by whoever opens it, before and after this call.
    virtual void runModal(ScreenModel& screen) = 0;
    /// Shows `screen` as a normal window beside the one that opens it and returns at once;
    /// `closed` is called when the window has gone (the screen asked to close, or the window
    /// that opened it closed). By default the screen runs modally.
    virtual void showModeless(ScreenModel& screen, std::function<void()> closed) {
        runModal(screen);
        closed();
    }
    /// The hourglass pointer on or off.
    virtual void setBusy(bool busy) = 0;
    /// Opens an HTML help file at the anchor of a context number.
    virtual void showHelp(const QString& helpFile, int context) = 0;
    /// Opens a document with the desktop's associated application; false when that failed.
    virtual bool openDocument(const QString& path) = 0;
    /// Starts a program without waiting for it; false when it could not be started.
    virtual bool startProgram(const QString& path) = 0;
};

/// Convenience: a message box with an OK button only.
inline void inform(Prompter& prompter, const QString& text, const QString& title,
                   MsgIcon icon = MsgIcon::Information) {
    prompter.message(text, title, MsgButtons::Ok, icon);
}

/// Convenience: true when `path` does not exist or the user answers Yes to replacing it. For
/// a name the program completed (a suffix added), which the file dialog did not ask about.
inline bool mayReplace(Prompter& prompter, const QString& path, const QString& title) {
    if (!QFileInfo::exists(path))
        return true;
    return prompter.message(QDir::toNativeSeparators(path) +
                                QStringLiteral(" already exists.\nDo you want to replace it?"),
                            title, MsgButtons::YesNo, MsgIcon::Warning) == MsgAnswer::Yes;
}

} // namespace verdan
