#include "WidgetPrompter.h"

#include "HelpWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include <functional>

namespace verdan {

namespace {

// Hands Escape (`escape` true) and the close box of a window to `handle` instead of the
// window's own reaction, while `active()` is true.
class EscapeOrCloseFilter : public QObject {
public:
    EscapeOrCloseFilter(QWidget& window, std::function<bool()> active,
                        std::function<void(bool escape)> handle)
        : QObject(&window), m_window(window), m_active(std::move(active)),
          m_handle(std::move(handle)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool escape = event->type() == QEvent::KeyPress &&
                            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
        if (watched != &m_window || (!escape && event->type() != QEvent::Close) || !m_active())
            return QObject::eventFilter(watched, event);
        event->ignore();
        m_handle(escape);
        return true;
    }

private:
    QWidget& m_window;
    std::function<bool()> m_active;
    std::function<void(bool escape)> m_handle;
};

// Window managers cut a title that is wider than its window: a window needs its caption's
// width in a bold title font, with room for the window's icon and buttons.
int titleRoomPx(const QWidget& window) {
    constexpr int kDecorationPx = 150;
    QFont titleFont = window.font();
    titleFont.setBold(true);
    return QFontMetrics(titleFont).horizontalAdvance(window.windowTitle()) + kDecorationPx;
}

// A message box sizes itself to its text when it is shown: a spacer as wide as the title
// room keeps it from coming out narrower than its title.
void reserveTitleRoom(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    grid->addItem(new QSpacerItem(titleRoomPx(box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// A screen opens at least as wide as its title room.
class TitleRoomFilter : public QObject {
public:
    explicit TitleRoomFilter(QDialog& dialog) : QObject(&dialog), m_dialog(dialog) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_dialog && event->type() == QEvent::Show) {
            const int widthPx = titleRoomPx(m_dialog);
            if (m_dialog.width() < widthPx)
                m_dialog.resize(widthPx, m_dialog.height());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QDialog& m_dialog;
};

// The dynamic property that marks a mode form's window.
constexpr char kModeFormProperty[] = "verdanModeForm";

FileAnswer runFileDialog(QWidget* owner, const FileRequest& request, const QString& startFolder,
                         QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, request.caption, startFolder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                       : request.folder                ? QFileDialog::Directory
                                                       : QFileDialog::ExistingFile);
    // The program asks its own overwrite question where it needs one.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.filters.isEmpty()) {
        dialog.setNameFilters(request.filters);
        dialog.selectNameFilter(request.filters.value(request.filterIndex));
    }
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    FileAnswer answer;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return answer;
    answer.path = dialog.selectedFiles().constFirst();
    answer.filterIndex = static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter()));
    if (answer.filterIndex < 0)
        answer.filterIndex = request.filterIndex;
    return answer;
}

} // namespace

void markAsModeForm(QDialog& dialog) {
    dialog.setProperty(kModeFormProperty, true);
}

bool isModeForm(const QDialog& dialog) {
    return dialog.property(kModeFormProperty).toBool();
}

void bindDialogToModel(QDialog& dialog, ScreenModel& model) {
    dialog.setWindowTitle(model.caption());
    QObject::connect(&model, &ScreenModel::closing, &dialog, &QDialog::accept);
    QObject::connect(&model, &ScreenModel::changed, &dialog,
                     [&dialog, &model] { dialog.setWindowTitle(model.caption()); });
    // The close box and Escape ask the model instead of closing the dialog directly.
    // A mode form ignores Escape: it closes by its menu or close box only.
    dialog.installEventFilter(new EscapeOrCloseFilter(
        dialog, [&model] { return !model.closeRequested(); },
        [&dialog, &model](bool escape) {
            if (!escape || !isModeForm(dialog))
                model.closeBoxClicked();
        }));
    dialog.installEventFilter(new TitleRoomFilter(dialog));
}

MsgAnswer WidgetPrompter::message(const QString& text, const QString& title, MsgButtons buttons,
                                  MsgIcon icon) {
    QMessageBox box(m_owner);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        // Escape and the close box answer with neither Yes nor No: the caller keeps things
        // as they are (a message box would otherwise take them for its No button).
        box.installEventFilter(new EscapeOrCloseFilter(
            box, [] { return true; }, [&box](bool) { box.done(QMessageBox::Cancel); }));
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    reserveTitleRoom(box);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    QApplication::restoreOverrideCursor();
    switch (result) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
}

bool WidgetPrompter::input(const QString& prompt, const QString& title, QString& value) {
    QInputDialog dialog(m_owner);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    dialog.installEventFilter(new TitleRoomFilter(dialog));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}

FileAnswer WidgetPrompter::saveFile(const FileRequest& request) {
    return fileDialog(request, QFileDialog::AcceptSave);
}

FileAnswer WidgetPrompter::openFile(const FileRequest& request) {
    return fileDialog(request, QFileDialog::AcceptOpen);
}

FileAnswer WidgetPrompter::fileDialog(const FileRequest& request, int acceptMode) {
    const FileAnswer answer = runFileDialog(m_owner, request, m_recentFolders.startFolder(request),
                                            static_cast<QFileDialog::AcceptMode>(acceptMode));
    m_recentFolders.remember(request, answer.path);
    return answer;
}

QString RecentFolders::kind(const FileRequest& request) {
    return request.caption + (request.folder ? QStringLiteral("/folder") : QString());
}

QString RecentFolders::startFolder(const FileRequest& request) const {
    const QString last = m_folders.value(kind(request));
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : request.startFolder;
}

void RecentFolders::remember(const FileRequest& request, const QString& path) {
    if (path.isEmpty())
        return;
    const QFileInfo chosen(path);
    m_folders.insert(kind(request), request.folder && chosen.isDir() ? chosen.absoluteFilePath()
                                                                     : chosen.absolutePath());
}

void WidgetPrompter::runModal(ScreenModel& screen) {
    QWidget* previousOwner = m_owner;
    QDialog* dialog = m_views.create(screen, m_owner);
    if (!dialog) {
        message(QStringLiteral("This screen is not available in this version: ") +
                    screen.screenName(),
                QStringLiteral("Verdan"), MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    screen.resetCloseRequest();
    m_owner = dialog;
    // Modal screens run with the normal pointer even when opened from a busy run.
    const bool wasBusy = m_busyDepth > 0;
    if (wasBusy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    dialog->exec();
    if (wasBusy)
        QApplication::restoreOverrideCursor();
    m_owner = previousOwner;
    delete dialog;
    // A screen that closes right after a message of its own leaves no active window behind:
    // the keyboard goes back to the screen that opened it.
    if (previousOwner && previousOwner->isVisible())
        previousOwner->activateWindow();
}

void WidgetPrompter::showModeless(ScreenModel& screen, std::function<void()> closed) {
    QDialog* dialog = m_views.create(screen, m_owner);
    if (!dialog) {
        message(QStringLiteral("This screen is not available in this version: ") +
                    screen.screenName(),
                QStringLiteral("Verdan"), MsgButtons::Ok, MsgIcon::Warning);
        closed();
        return;
    }
    screen.resetCloseRequest();
    dialog->setModal(false);
    // The view goes first; `closed` may then unload the screen it showed.
    QObject::connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    QObject::connect(dialog, &QObject::destroyed, dialog, [closed = std::move(closed)] { closed(); });
    dialog->show();
}

void WidgetPrompter::setBusy(bool busy) {
    if (busy) {
        if (m_busyDepth++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0) {
        if (--m_busyDepth == 0)
            QApplication::restoreOverrideCursor();
    }
}

void WidgetPrompter::showHelp(const QString& helpFile, int context) {
    HelpWindow window(helpFile, context, m_owner);
    window.exec();
}

bool WidgetPrompter::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool WidgetPrompter::startProgram(const QString& path) {
    return QProcess::startDetached(path, {});
}

} // namespace verdan
