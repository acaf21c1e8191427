#pragma once

#include "Prompter.h"
#include "ViewRegistry.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace verdan {

/// The folders file dialogs were last left in, per kind of dialog (its caption, and whether it
/// chooses a folder), for this session.
class RecentFolders {
public:
    /// Where a dialog for `request` starts: the folder last used for its kind while that
    /// folder exists, else the request's own start folder.
    QString startFolder(const FileRequest& request) const;
    /// The user chose `path` in a dialog for `request` (an empty path, a cancel, is ignored):
    /// its folder, or the chosen folder itself, is where the next dialog of the kind starts.
    void remember(const FileRequest& request, const QString& path);

private:
    static QString kind(const FileRequest& request);
    QHash<QString, QString> m_folders;
};

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
    /// A file dialog (`acceptMode` a QFileDialog::AcceptMode) that starts where
    /// RecentFolders says.
    FileAnswer fileDialog(const FileRequest& request, int acceptMode);

    const ViewRegistry& m_views;
    RecentFolders m_recentFolders;
    QPointer<QWidget> m_owner;
    int m_busyDepth = 0;
};

} // namespace verdan
