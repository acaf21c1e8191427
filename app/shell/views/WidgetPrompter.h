#pragma once

#include "Prompter.h"
#include "ViewRegistry.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace verdan {

/// The program's Prompter: Qt message boxes, input and file dialogs, modal screens built by
/// the view registry, the busy cursor, the help window and the desktop's document opener.
class WidgetPrompter final : public Prompter {
public:
    explicit WidgetPrompter(const ViewRegistry& views) : m_views(views) {}

    /// The window that owns dialogs opened from now on (the top-most modal screen).
    void setOwner(QWidget* owner) { m_owner = owner; }

    MsgAnswer message(const QString& text, const QString& title, MsgButtons buttons,
                      MsgIcon icon) override;
    bool input(const QString& prompt, const QString& title, QString& value) override;
    FileAnswer saveFile(const FileRequest& request) override;
    FileAnswer openFile(const FileRequest& request) override;
    void runModal(ScreenModel& screen) override;
    void showModeless(ScreenModel& screen, std::function<void()> closed) override;
    void setBusy(bool busy) override;
    void showHelp(const QString& helpFile, int context) override;
    bool openDocument(const QString& path) override;
    bool startProgram(const QString& path) override;

private:
    /// A file dialog (`acceptMode` a QFileDialog::AcceptMode) that starts in the folder last
    /// used for dialogs of the same caption, else in the request's start folder.
    FileAnswer fileDialog(const FileRequest& request, int acceptMode);

    const ViewRegistry& m_views;
    QHash<QString, QString> m_lastFolders;
    QPointer<QWidget> m_owner;
    int m_busyDepth = 0;
};

} // namespace verdan
